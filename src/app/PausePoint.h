#pragma once

// Named places inside writes and reads of user data where a test stops the process to kill it there, so
// that what a crash leaves behind can be checked at exactly that moment. When the environment variable
// FERROWYN_PAUSE_AT holds a point's name, the first arrival there writes "paused at <name>" to standard
// error and waits until a line arrives on standard input or it ends. Without the variable a point costs
// one comparison.
namespace PausePoint {

void reach(const char* name);

} // namespace PausePoint
