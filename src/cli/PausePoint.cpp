#include "cli/PausePoint.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

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
  int fd = open(pipe_.c_str(), O_RDONLY | O_CLOEXEC);  // returns once the test holds the other end
  if (fd < 0) return;
  char buffer[64];
  for (ssize_t n; (n = read(fd, buffer, sizeof buffer)) != 0;)
    if (n < 0 && errno != EINTR) break;
  close(fd);
}

}  // namespace fc::cli
