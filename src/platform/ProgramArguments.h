// platform/ProgramArguments.h - the command line as UTF-8 text, and a console
// that shows UTF-8, whatever code page the system runs in.
//
//   int main(int argc, char** argv) {
//     fc::platform::ShowUtf8OnConsole();
//     const std::vector<std::string> args = fc::platform::ProgramArguments(argc, argv);
//
// Linux hands a program its arguments as they were typed (UTF-8 in any
// locale the program supports) and writes its bytes as they are. Windows
// hands `argv` over in the ANSI code page, losing what it cannot hold, so
// the arguments are read again from the wide command line there; and a
// Windows console shows bytes in its own code page until told otherwise.
#pragma once

#include <string>
#include <vector>

namespace fc::platform {

// The program's arguments, argv[0] first, each UTF-8.
std::vector<std::string> ProgramArguments(int argc, char** argv);

// Makes a console the output goes to show UTF-8; output redirected to a file
// or a pipe gets the bytes as they are, lines ending in "\n" on every system.
void ShowUtf8OnConsole();

}  // namespace fc::platform
