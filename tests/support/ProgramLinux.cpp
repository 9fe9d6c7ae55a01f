// support/ProgramLinux.cpp - RunProgram with posix_spawnp, its outputs in
// unnamed temporary files.
#include "support/Program.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <sstream>

namespace fc::test {

namespace {

using File = std::unique_ptr<std::FILE, int (*)(std::FILE*)>;

File TemporaryFile() { return File(std::tmpfile(), std::fclose); }

// What the child wrote through its copy of the file's descriptor.
std::string WrittenTo(std::FILE* file) {
  std::rewind(file);
  std::string bytes;
  char buffer[65536];
  for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, file)) > 0;) bytes.append(buffer, n);
  return bytes;
}

}  // namespace

ProgramRun RunProgram(const std::vector<std::string>& args) {
  File out = TemporaryFile(), err = TemporaryFile();
  if (args.empty() || !out || !err) return {};
  std::vector<char*> argv;
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, fileno(out.get()), STDOUT_FILENO);
  posix_spawn_file_actions_adddup2(&actions, fileno(err.get()), STDERR_FILENO);
  posix_spawn_file_actions_addclose(&actions, fileno(out.get()));
  posix_spawn_file_actions_addclose(&actions, fileno(err.get()));
  pid_t pid = 0;
  const int failed = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (failed) return {};
  int raw = 0;
  while (waitpid(pid, &raw, 0) < 0)
    if (errno != EINTR) return {};
  return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, WrittenTo(out.get()), WrittenTo(err.get())};
}

bool HasProgram(const std::string& name) {
  const char* path = std::getenv("PATH");
  std::istringstream dirs(path ? path : "");
  for (std::string dir; std::getline(dirs, dir, ':');)
    if (::access(((dir.empty() ? "." : dir) + "/" + name).c_str(), X_OK) == 0) return true;
  return false;
}

}  // namespace fc::test
