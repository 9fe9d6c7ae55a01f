// The folders the system gives the program: its own, and the user's data
// folder the desktop program's home falls back to.
#include "platform/ProgramPlaces.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

namespace fc::platform {
namespace {

// Sets an environment variable for one scope, and puts it back.
class ScopedVariable {
 public:
  ScopedVariable(const char* name, const char* value) : name_(name) {
    if (const char* was = std::getenv(name)) earlier_ = was;
    if (value) ::setenv(name, value, 1);
    else ::unsetenv(name);
  }
  ~ScopedVariable() {
    if (earlier_) ::setenv(name_, earlier_->c_str(), 1);
    else ::unsetenv(name_);
  }

 private:
  const char* name_;
  std::optional<std::string> earlier_;
};

TEST(ProgramPlaces, TheTestsOwnFolderAndTheUsersDataFolderByTheXdgRules) {
  EXPECT_TRUE(std::filesystem::exists(ExecutableDir() / "test_platform"));

  ScopedVariable home("HOME", "/home/operator");
  {
    ScopedVariable data("XDG_DATA_HOME", "/srv/data");
    EXPECT_EQ(UserDataDir(), "/srv/data");
  }
  for (const char* unset : {static_cast<const char*>(nullptr), ""}) {
    ScopedVariable data("XDG_DATA_HOME", unset);
    EXPECT_EQ(UserDataDir(), "/home/operator/.local/share");
  }
}

}  // namespace
}  // namespace fc::platform
