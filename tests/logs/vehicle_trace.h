#pragma once

#include "session/frame_store.h"

// A made-up but realistic vehicle bus recording of `frameCount` frames: a passenger car's
// periodic standard frames with counters and changing signals, J1939 extended frames of a
// truck gateway, a few response (remote) frames, brief frames and a length above 8, in device
// time (0.5 us ticks, odd ones included) over about ten seconds.
FrameStore VehicleTrace(size_t frameCount);
