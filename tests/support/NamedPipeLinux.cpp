// support/NamedPipeLinux.cpp - MakeNamedPipe with mkfifo.
#include "support/NamedPipe.h"

#include <sys/stat.h>

namespace fc::test {

bool MakeNamedPipe(const std::filesystem::path& path) { return ::mkfifo(path.c_str(), 0600) == 0; }

}  // namespace fc::test
