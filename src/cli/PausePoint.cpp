#include "cli/PausePoint.h"

#include <cstdlib>

#include "platform/Files.h"

namespace fc::cli {

PausePoint PausePoint::FromEnvironment() {
  PausePoint pause;
#ifdef FC_TEST_HOOKS
  const char* at = std::getenv("FILINGCHECK_PAUSE_AT");
  const char* pipe = std::getenv("FILINGCHECK_PAUSE_PIPE");
  if (at && pipe) {
    pause.at_ = at;
    pause.pipe_ = pipe;
  }
#endif
  return pause;
}

void PausePoint::reached(const std::string& status) {
  if (at_.empty() || status.find(at_) == std::string::npos) return;
  at_.clear();
  const int fd = platform::OpenToWait(pipe_);  // returns once the test holds the other end
  if (fd < 0) return;
  char buffer[64];
  while (platform::ReadSome(fd, buffer, sizeof buffer) > 0) continue;  // until the test lets go
  platform::CloseFile(fd);
}

}  // namespace fc::cli
