// support/NamedPipe.h - a named pipe put where a reader expects a file, to
// show that the reader refuses it at once instead of waiting for a writer.
//
//   ASSERT_TRUE(fc::test::MakeNamedPipe(dir / "KHJBXX.DBF"));
//
// Windows has no named pipes in its file system: there it makes nothing and
// answers false.
#pragma once

#include <filesystem>

namespace fc::test {

bool MakeNamedPipe(const std::filesystem::path& path);

}  // namespace fc::test
