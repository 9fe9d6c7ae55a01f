// platform/ProgramArgumentsWindows.cpp - ProgramArguments.h on Windows: the
// wide command line (GetCommandLineW), split as the C runtime splits it
// (CommandLineToArgvW), each argument turned into UTF-8; the console's output
// code page set to UTF-8.
#include "platform/ProgramArguments.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <cwchar>

namespace fc::platform {

namespace {

std::string Utf8(const wchar_t* text) {
  const int wide = static_cast<int>(wcslen(text));
  const int size = WideCharToMultiByte(CP_UTF8, 0, text, wide, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, wide, out.data(), size, nullptr, nullptr);
  return out;
}

}  // namespace

std::vector<std::string> ProgramArguments(int argc, char** argv) {
  int count = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
  if (!wide) return {argv, argv + argc};  // the system's own copy is all there is
  std::vector<std::string> args;
  for (int i = 0; i < count; ++i) args.push_back(Utf8(wide[i]));
  LocalFree(wide);
  return args;
}

void ShowUtf8OnConsole() {
  // Lines end in "\n" as on Linux, so that a results file is the same bytes
  // on both systems; the console shows them either way.
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
  DWORD mode = 0;
  if (GetConsoleMode(GetStdHandle(STD_OUTPUT_HANDLE), &mode) || GetConsoleMode(GetStdHandle(STD_ERROR_HANDLE), &mode))
    SetConsoleOutputCP(CP_UTF8);
}

}  // namespace fc::platform
