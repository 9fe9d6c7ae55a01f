#include "cli/Options.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <filesystem>
#include <vector>

#include "platform/ProgramPlaces.h"
#include "platform/Utf8Paths.h"
#include "settings/PrivateFiles.h"

namespace fc::cli {

namespace {

bool Among(const std::string& name, std::initializer_list<const char*> names) {
  for (const char* n : names)
    if (name == n) return true;
  return false;
}

}  // namespace

bool Options::parse(const Args& args, std::initializer_list<const char*> valued,
                    std::initializer_list<const char*> flags, std::string& error) {
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg.rfind("--", 0) != 0) {
      error = "多余的参数 '" + arg + "'";
      return false;
    }
    size_t eq = arg.find('=');
    std::string name = arg.substr(2, eq == std::string::npos ? std::string::npos : eq - 2);
    if (values_.count(name) || flags_.count(name)) {
      error = "选项 --" + name + " 给了两次";
      return false;
    }
    if (Among(name, flags) && eq == std::string::npos) {
      flags_.insert(name);
      continue;
    }
    if (!Among(name, valued)) {
      error = "未知的选项 '" + arg + "'";
      return false;
    }
    if (eq != std::string::npos) {
      values_[name] = arg.substr(eq + 1);
    } else if (i + 1 < args.size()) {
      values_[name] = args[++i];
    } else {
      error = "选项 --" + name + " 缺少取值";
      return false;
    }
  }
  return true;
}

std::optional<OutputFormat> Options::format(std::initializer_list<OutputFormat> offered, std::string& error) const {
  static constexpr const char* kNames[] = {"table", "tsv", "csv", "json", "xlsx"};  // by OutputFormat
  const auto name = [](OutputFormat f) { return kNames[static_cast<size_t>(f)]; };
  const std::string chosen = value("format").value_or(name(*offered.begin()));
  for (OutputFormat f : offered)
    if (chosen == name(f)) return f;
  std::string listed;
  for (size_t k = 0; k < offered.size(); ++k)
    listed += (k == 0 ? "" : k + 1 == offered.size() ? " 或 " : "、") + std::string(name(offered.begin()[k]));
  error = "--format 只能取 " + listed;
  return std::nullopt;
}

std::optional<std::string> Options::value(const std::string& name) const {
  auto it = values_.find(name);
  if (it == values_.end()) return std::nullopt;
  return it->second;
}

bool Options::require(std::initializer_list<const char*> names, std::string& error) const {
  for (const char* name : names) {
    if (values_.count(name)) continue;
    error = std::string("缺少选项 --") + name;
    return false;
  }
  return true;
}

std::optional<int64_t> WholeNumber(const std::string& text, int64_t least, int64_t most) {
  int64_t value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || ec != std::errc() || end != text.data() + text.size() || value < least || value > most)
    return std::nullopt;
  return value;
}

std::filesystem::path ProgramDataDir() {
  return settings::LocateDataDir(platform::ExecutableDir());
}

settings::AppHome HomeAt(const std::string& dir) {
  std::error_code ec;
  settings::AppHome home{platform::PathFromUtf8(dir), ProgramDataDir()};
  // A directory that holds no store yet holds no customer data: a check
  // narrows it as it makes it a home.
  if (std::filesystem::exists(home.storeFile(), ec)) NarrowHomeOnce(home.home);
  return home;
}

bool RequireHomeFile(const settings::AppHome& home, const std::filesystem::path& file, const std::string& what) {
  if (settings::EntryAt(file) != settings::HomeEntry::Missing) return true;
  Fail("应用目录" + platform::Utf8Of(home.home) + "中还没有" + what);
  return false;
}

void NarrowHomeOnce(const std::filesystem::path& home) {
  if (settings::NarrowHome(home)) std::fprintf(stderr, "%s\n", settings::NarrowedHomeText(home).c_str());
}

int Fail(const std::string& text) {
  std::fprintf(stderr, "%s\n", text.c_str());
  return 2;
}

}  // namespace fc::cli
