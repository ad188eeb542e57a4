#pragma once

// Ctrl-C (SIGINT) and SIGTERM ask the program to end instead of killing it, so that it can
// reset the device and finish its output. Install once, before the event loop runs; a stop
// asked for wakes the event loop.
void InstallStopSignals();
// True once SIGINT or SIGTERM has arrived, or RequestStop() was called.
bool StopRequested();
// Ends the program as a stop signal would: for an output that is gone (a reader of the pipe
// that ended; SIGPIPE is ignored once the signals are installed, so writes fail instead).
void RequestStop();
