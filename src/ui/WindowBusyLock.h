#pragma once

class QMutex;

// The one lock of the window's operations that process events while they run (message search, export,
// print): each takes it without waiting and does nothing when it is held, so none of them starts again
// from inside another.
QMutex& windowBusyLock();
