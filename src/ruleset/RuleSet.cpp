#include "ruleset/RuleSet.h"

#include <algorithm>
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

void AddFile(platform::Sha256Digest& digest, const fs::path& folder, const fs::path& file) {
  const std::string bytes = ReadSetFile(file);
  // The same set gives the same digest on every system: '/' between folders.
  std::string head = platform::Utf8Of(file.lexically_relative(folder));
  std::replace(head.begin(), head.end(), '\\', '/');
  head += '\0' + std::to_string(bytes.size()) + '\0';
  digest.add(head.data(), head.size());
  digest.add(bytes.data(), bytes.size());
}

}  // namespace

std::string RuleSetDigest(const fs::path& folder) {
  platform::Sha256Digest digest;
  if (!digest.ready()) throw RuleSetError("无法计算规则集的SHA-256：系统的加密服务不可用");
  for (const fs::path& file : FilesOf(folder)) AddFile(digest, folder, file);
  return digest.hex();
}

RuleSet LoadRuleSet(const Manifest& manifest) {
  try {
    std::string sha256 = RuleSetDigest(manifest.folder);
    naming::InterfaceLayouts layouts = naming::InterfaceLayouts::load(manifest.folder / kLayoutsFile);
    rules::RuleBook rules = rules::RuleBook::load(manifest.folder);
    TryRuleQueries(layouts, rules, manifest.folder);
    return RuleSet{manifest, std::move(sha256), std::move(layouts), std::move(rules)};
  } catch (const std::runtime_error& e) {
    throw RuleSetError(Unusable(manifest) + e.what());
  }
}

}  // namespace fc::ruleset
