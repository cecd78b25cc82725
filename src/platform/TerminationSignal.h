#pragma once

// Makes a request to terminate the process from outside (SIGTERM, SIGINT, SIGHUP on POSIX; a console
// close or Ctrl+C on Windows) end the event loop normally, so windows close and data is saved as on a
// normal exit instead of the process dying mid-write.
void quitApplicationOnTerminationSignal();
