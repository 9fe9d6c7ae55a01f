// The asks to stop, as real signals to this process: the first reaches the
// callback and the process goes on, the second ends it, and the handling
// from before comes back when the StopSignals goes.
#include "platform/StopSignals.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>

namespace fc::platform {
namespace {

void SetFlag(void* flag) noexcept { static_cast<std::atomic<bool>*>(flag)->store(true); }

TEST(StopSignalsDeathTest, FirstSignalAsksToStopAndTheSecondEndsTheProcess) {
  for (int signal : {SIGINT, SIGTERM}) {
    EXPECT_EXIT(
        {
          std::atomic<bool> asked{false};
          StopSignals signals(SetFlag, &asked);
          ::raise(signal);
          if (!asked.load()) ::_exit(1);
          ::raise(signal);
          ::_exit(0);
        },
        testing::KilledBySignal(signal), "");
  }
}

TEST(StopSignals, TheEarlierHandlingComesBack) {
  struct sigaction ignore {}, before {}, after {};
  ignore.sa_handler = SIG_IGN;
  sigaction(SIGTERM, &ignore, &before);
  std::atomic<bool> asked{false};
  { StopSignals signals(SetFlag, &asked); }
  ::raise(SIGTERM);
  sigaction(SIGTERM, &before, &after);
  EXPECT_EQ(after.sa_handler, SIG_IGN);
  EXPECT_FALSE(asked.load());
}

}  // namespace
}  // namespace fc::platform
