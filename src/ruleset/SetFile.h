// ruleset/SetFile.h - the bytes of one file of a rule set, taken only from
// an ordinary file of modest size that stands at its path itself.
//
//   std::string bytes = fc::ruleset::ReadSetFile(folder / "manifest.txt");  // RuleSetError
//
// Anyone who can write to the home can put a folder, a named pipe, a device
// or a link where a set's file should be; each is refused with one line
// naming it, never waited for, never followed and never read past the limit.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <system_error>

#include "ruleset/Manifest.h"

namespace fc::ruleset {

// No file of a set comes near it: the largest, the cases, are some hundred KB.
inline constexpr uint64_t kSetFileLimit = 16u << 20;

std::string ReadSetFile(const std::filesystem::path& file);

// "规则集文件 PATH 不是普通文件（而是目录、管道或设备），不予使用" and the
// like: why the entry at `file`, as the system told (`error`), is refused.
std::string SetFileRefusal(const std::filesystem::path& file, const std::error_code& error);

}  // namespace fc::ruleset
