#pragma once

#include <functional>

// A place in a long operation where a test can stop the program and interrupt it there, instead of
// guessing with a timer. Does nothing unless the environment variable FERROWYN_PAUSE_AT names the point:
// then the program creates the file named by FERROWYN_PAUSE_MARKER and waits until interrupted() turns
// true (at most a minute). With FERROWYN_PAUSE_HOLD set it then creates "<marker>.interrupted" and keeps
// waiting, so that the test can send a second interrupt while the program is still at the point.
void pausePoint(const char* name, const std::function<bool()>& interrupted);
