// Holds the echo worker inside an echo's completion (the EchoCompletionHook seam), with
// EchoLock taken, for tests of what must wait for a completion under way.
#pragma once
#include "echo/echo_service.h"
#include <windows.h>
#include <atomic>
#include <thread>

// Holds the echo worker inside an echo's completion, after it has taken the target out of the
// slot and before it updates the target's statistics, until released.
class HeldCompletion {
  public:
    HeldCompletion() {
        ResetEvent(Held());
        ResetEvent(Go());
        EchoCompletionHook = Hold;
    }
    ~HeldCompletion() {
        EchoCompletionHook = nullptr;
        Release();
    }
    bool WaitUntilHeld() { return WaitForSingleObject(Held(), 5000) == WAIT_OBJECT_0; }
    static void Release() { SetEvent(Go()); }

  private:
    // Never closed: the worker may still be on its way out of Hold.
    static HANDLE Held() {
        static HANDLE event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        return event;
    }
    static HANDLE Go() {
        static HANDLE event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        return event;
    }
    static void Hold() {
        SetEvent(Held());
        WaitForSingleObject(Go(), 10000);
    }
};

// Lets the held completion go from another thread after a while, noting that it did.
class DelayedLetGo {
  public:
    DelayedLetGo()
        : thread([this] {
              Sleep(200);
              released = true;
              HeldCompletion::Release();
          }) {}
    ~DelayedLetGo() { thread.join(); }
    std::atomic<bool> released{false};

  private:
    std::thread thread;
};
