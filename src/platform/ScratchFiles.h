// platform/ScratchFiles.h - files a program writes and reads back by path
// for a while, that leave nothing behind: in memory on Linux (memfd), in a
// folder of the user's temporary folder on Windows, all gone when the
// ScratchFiles goes.
//
//   fc::platform::ScratchFiles scratch;
//   std::error_code ec;
//   const std::filesystem::path file = scratch.create("KHJBXX", ec);
//   if (ec) fail(fc::platform::SystemReason(ec.value()));
//   write(file); read(file);
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <system_error>

namespace fc::platform {

class ScratchFiles {
 public:
  ScratchFiles();
  ~ScratchFiles();
  ScratchFiles(const ScratchFiles&) = delete;
  ScratchFiles& operator=(const ScratchFiles&) = delete;

  // A new empty file named after `name` (a plain name, for the system's
  // tools to show), its path; an empty path and errno-style `ec` when none
  // can be made.
  std::filesystem::path create(const std::string& name, std::error_code& ec);

 private:
  struct Held;  // what the system needs to drop the files
  std::unique_ptr<Held> held_;
};

}  // namespace fc::platform
