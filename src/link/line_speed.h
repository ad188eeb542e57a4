#pragma once

// The line rate of the open terminal device `fd` in bit/s. Any rate may be set, not only those
// the classic terminal settings name. SetLineSpeed is true when the device took the rate;
// LineSpeed is -1 when the device cannot tell.
bool SetLineSpeed(int fd, int rate);
int LineSpeed(int fd);
