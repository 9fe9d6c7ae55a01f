// support/Sha256Sum.h - the SHA-256 of a file as the system's `sha256sum`
// prints it, the independent reference the checksum tests compare with (a
// Linux tool: on Windows there is none, and the digest is "").
#pragma once

#include <filesystem>
#include <string>

namespace fc::test {

// The hex digest, or "" when sha256sum cannot read the file.
std::string Sha256Sum(const std::filesystem::path& file);

}  // namespace fc::test
