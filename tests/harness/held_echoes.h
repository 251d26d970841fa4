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

// A fixture's TearDown over the fake ICMP library: runs shutDown (the base fixture's TearDown)
// with every held echo released meanwhile, then empties the fake's record and scenario, so that
// the next test in this process starts from neither.
template <typename ShutDown> void TearDownOverTheFakeIcmp(ShutDown shutDown) {
    {
        HeldEchoReleaser releaser;
        shutDown();
    }
    FakeIcmpReset();
}
