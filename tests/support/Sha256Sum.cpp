#include "support/Sha256Sum.h"

#include "support/Program.h"
#include "platform/Utf8Paths.h"

namespace fc::test {

std::string Sha256Sum(const std::filesystem::path& file) {
  const ProgramRun run = RunProgram({"sha256sum", platform::Utf8Of(file)});
  return run.status == 0 && run.out.size() >= 64 ? run.out.substr(0, 64) : "";
}

}  // namespace fc::test
