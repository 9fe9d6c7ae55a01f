// support/ProgramWindows.cpp - RunProgram with CreateProcessW: the arguments
// joined into one command line quoted so that the C runtime's parser splits
// it back into the same words; the outputs in temporary files the child
// inherits, deleted when the last handle on them closes.
#include "support/Program.h"

#include <windows.h>

namespace fc::test {

namespace {

std::wstring Wide(const std::string& text) {
  if (text.empty()) return {};
  std::wstring wide(MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), static_cast<int>(wide.size()));
  return wide;
}

// One word of a command line: as it is when nothing in it needs quoting,
// otherwise in quotes, with a quote escaped and the backslashes before a
// quote (the closing one included) doubled.
std::wstring Quoted(const std::wstring& word) {
  if (!word.empty() && word.find_first_of(L" \t\n\v\"") == std::wstring::npos) return word;
  std::wstring quoted = L"\"";
  size_t backslashes = 0;
  for (wchar_t c : word) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    quoted.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
    quoted += c;
    backslashes = 0;
  }
  quoted.append(2 * backslashes, L'\\');
  return quoted + L"\"";
}

class Handle {
 public:
  explicit Handle(HANDLE h) : h_(h) {}
  ~Handle() {
    if (*this) CloseHandle(h_);
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  explicit operator bool() const { return h_ && h_ != INVALID_HANDLE_VALUE; }
  HANDLE get() const { return h_; }

 private:
  HANDLE h_;
};

SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};

HANDLE TemporaryFile() {
  wchar_t dir[MAX_PATH + 1], name[MAX_PATH + 1];
  if (!GetTempPathW(MAX_PATH + 1, dir) || !GetTempFileNameW(dir, L"fct", 0, name)) return INVALID_HANDLE_VALUE;
  return CreateFileW(name, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                     &inheritable, CREATE_ALWAYS, FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
}

// What the child wrote through its inherited handle, which shares our
// handle's file position.
std::string WrittenTo(const Handle& file) {
  SetFilePointerEx(file.get(), LARGE_INTEGER{}, nullptr, FILE_BEGIN);
  std::string bytes;
  char buffer[65536];
  for (DWORD n; ReadFile(file.get(), buffer, sizeof buffer, &n, nullptr) && n > 0;) bytes.append(buffer, n);
  return bytes;
}

}  // namespace

ProgramRun RunProgram(const std::vector<std::string>& args) {
  Handle out(TemporaryFile()), err(TemporaryFile());
  Handle in(CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inheritable, OPEN_EXISTING, 0, nullptr));
  if (args.empty() || !out || !err || !in) return {};
  std::wstring line;
  for (const std::string& a : args) line += (line.empty() ? L"" : L" ") + Quoted(Wide(a));
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = in.get();
  startup.hStdOutput = out.get();
  startup.hStdError = err.get();
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process)) return {};
  Handle child(process.hProcess), thread(process.hThread);
  DWORD code = 0;
  if (WaitForSingleObject(child.get(), INFINITE) != WAIT_OBJECT_0 || !GetExitCodeProcess(child.get(), &code)) return {};
  return {static_cast<int>(code), WrittenTo(out), WrittenTo(err)};
}

bool HasProgram(const std::string& name) {
  wchar_t found[MAX_PATH + 1];
  return SearchPathW(nullptr, Wide(name).c_str(), L".exe", MAX_PATH + 1, found, nullptr) > 0;
}

}  // namespace fc::test
