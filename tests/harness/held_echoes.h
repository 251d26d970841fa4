// Releases every echo the fake ICMP library holds, for as long as it lives: the program's
// shutdown waits for the echo in flight, and a test may end while one is held.
#pragma once
#include "fake_icmp_control.h"
#include <atomic>
#include <thread>

class HeldEchoReleaser {
  public:
    HeldEchoReleaser()
        : thread([this] {
              while (!done) {
                  if (FakeIcmpWaitForHeld(50) > 0)
                      FakeIcmpReleaseHeld();
              }
          }) {}
    ~HeldEchoReleaser() {
        done = true;
        thread.join();
    }

  private:
    std::atomic<bool> done{false};
    std::thread thread;
};
