#pragma once

// The USB multiplexer that carries every connection to an iPhone. On Windows it is Apple's program
// "usbmuxd.exe", which the program starts (and stops) itself; on Linux and macOS it is the system's
// usbmuxd service, which the program leaves alone.

// Starts the multiplexer hidden, without waiting for it; a failure is ignored (one may already run).
void launchMultiplexer();
// Ends the first running multiplexer program.
void stopMultiplexer();
// Ends whatever owns the multiplexer's TCP port 27015, waits two seconds and starts the multiplexer
// again, remembering it so that it is ended when the program exits. False when it could not be started
// or, on a system service, is not the program's to restart.
bool restartMultiplexer();
