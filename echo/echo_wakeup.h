// Wakes the echo worker for each submitted echo (and for the stop), like a semaphore of at
// most one count: wake-ups given while the worker is busy fold into one.
#pragma once

// Makes the wake-up; false when it cannot be had.
bool OpenEchoWakeup();
void CloseEchoWakeup();
void WakeEchoWorker();
// The worker's sleep until the next wake-up, which it takes.
void WaitForEchoWakeup();
