// Message pumping for in-process tests: the test thread is the program's UI thread.
#pragma once
#include <functional>

// Dispatches messages until done() holds or timeout_ms have passed; returns done().
// done() is looked at after each message; the wait sleeps while the queue is empty.
bool PumpUntil(const std::function<bool()>& done, unsigned timeout_ms = 5000);

// Dispatches every message already queued (and those they post) for up to settle_ms.
void PumpFor(unsigned settle_ms);
