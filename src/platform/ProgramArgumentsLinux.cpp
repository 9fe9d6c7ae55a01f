// platform/ProgramArgumentsLinux.cpp - ProgramArguments.h on Linux: argv as
// it is, and a terminal needs nothing.
#include "platform/ProgramArguments.h"

namespace fc::platform {

std::vector<std::string> ProgramArguments(int argc, char** argv) { return {argv, argv + argc}; }

void ShowUtf8OnConsole() {}

}  // namespace fc::platform
