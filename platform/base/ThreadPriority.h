// Scheduling priority of the calling thread, for background work that must
// yield to replay and the window.
#pragma once

// Lowers the calling thread's priority by `increment` nice steps (at most
// to the lowest); threads it starts later inherit it. False when the system
// refused.
bool LowerCurrentThreadPriority(int increment);
// The calling thread's nice value (0 normal, 19 the lowest).
int CurrentThreadNice();
