// support/NamedPipeWindows.cpp - MakeNamedPipe where the file system has no
// named pipes.
#include "support/NamedPipe.h"

namespace fc::test {

bool MakeNamedPipe(const std::filesystem::path&) { return false; }

}  // namespace fc::test
