#include "ruleset/RuleSet.h"

#include <algorithm>
#include <optional>
#include <string_view>
#include <vector>

#include "platform/Sha256Digest.h"
#include "platform/SystemReason.h"
#include "platform/Utf8Paths.h"
#include "ruleset/QueryTrial.h"
#include "ruleset/SetFile.h"

namespace fc::ruleset {

namespace fs = std::filesystem;

namespace {

// "规则集 interface@2（PATH）无法使用：" before what went wrong.
std::string Unusable(const Manifest& m) {
  return "规则集 " + m.id() + "（" + platform::Utf8Of(m.folder) + "）无法使用：";
}

std::vector<fs::path> FilesOf(const fs::path& folder) {
  std::vector<fs::path> files;
  std::error_code ec;
  fs::recursive_directory_iterator it(folder, ec), end;
  for (; !ec && it != end; it.increment(ec)) {
    const fs::file_status status = it->symlink_status(ec);
    if (ec) break;
    if (fs::is_symlink(status))
      throw RuleSetError("规则集目录 " + platform::Utf8Of(folder) + " 中的 " + platform::Utf8Of(it->path()) +
                         " 是符号链接，不予使用");
    if (fs::is_regular_file(status)) files.push_back(it->path());
    else if (!fs::is_directory(status)) throw RuleSetError(SetFileRefusal(it->path(), std::make_error_code(std::errc::is_a_directory)));
  }
  if (ec) throw RuleSetError("规则集目录 " + platform::Utf8Of(folder) + " 无法读取：" + platform::SystemReason(ec));
  std::sort(files.begin(), files.end());
  return files;
}

// A file of a set, by its path inside the set ('/' between folders, so
// the same set gives the same digest on every system), with its bytes.
struct SetFile {
  std::string name;
  std::string bytes;
};

// Every file of the set, each read once: the digest and the parsers take
// the same bytes, so a file rewritten while the set loads cannot be judged
// by one version and recorded as another.
std::vector<SetFile> ReadSet(const fs::path& folder) {
  std::vector<SetFile> files;
  for (const fs::path& file : FilesOf(folder)) {
    std::string bytes = ReadSetFile(file);
    std::string name = platform::Utf8Of(file.lexically_relative(folder));
    std::replace(name.begin(), name.end(), '\\', '/');
    files.push_back({std::move(name), std::move(bytes)});
  }
  return files;
}

std::string DigestOf(const std::vector<SetFile>& files) {
  platform::Sha256Digest digest;
  if (!digest.ready()) throw RuleSetError("无法计算规则集的SHA-256：系统的加密服务不可用");
  for (const SetFile& file : files) {
    const std::string head = file.name + '\0' + std::to_string(file.bytes.size()) + '\0';
    digest.add(head.data(), head.size());
    digest.add(file.bytes.data(), file.bytes.size());
  }
  return digest.hex();
}

// The bytes of the set's file `name`; nothing when the set has none.
std::optional<std::string_view> BytesOf(const std::vector<SetFile>& files, std::string_view name) {
  for (const SetFile& file : files)
    if (file.name == name) return file.bytes;
  return std::nullopt;
}

}  // namespace

std::string RuleSetDigest(const fs::path& folder) { return DigestOf(ReadSet(folder)); }

RuleSet LoadRuleSet(const Manifest& manifest) {
  try {
    const fs::path& folder = manifest.folder;
    const std::vector<SetFile> files = ReadSet(folder);
    std::string sha256 = DigestOf(files);
    naming::InterfaceLayouts layouts = naming::InterfaceLayouts::parse(folder / kLayoutsFile, BytesOf(files, kLayoutsFile));
    rules::RuleBook rules = rules::RuleBook::parse(folder, BytesOf(files, rules::kAccountRulesFile),
                                                   BytesOf(files, rules::kIdentityRulesFile));
    TryRuleQueries(layouts, rules, folder);
    return RuleSet{manifest, std::move(sha256), std::move(layouts), std::move(rules)};
  } catch (const std::runtime_error& e) {
    throw RuleSetError(Unusable(manifest) + e.what());
  }
}

}  // namespace fc::ruleset
