#include "ruleset/RuleSets.h"

#include <algorithm>
#include <tuple>

#include "platform/SystemReason.h"
#include "platform/Utf8Paths.h"
#include "text/Text.h"

namespace fc::ruleset {

namespace fs = std::filesystem;

namespace {

// "interface@1（PATH）"
std::string Named(const Manifest& m) { return m.id() + "（" + platform::Utf8Of(m.folder) + "）"; }

std::string Listed(const std::vector<Manifest>& sets) {
  std::string list;
  for (const Manifest& m : sets) list += (list.empty() ? "" : "、") + m.id();
  return list.empty() ? "无" : list;
}

// The sets of one place, each folder of `dir` with its manifest.
void FindIn(const fs::path& dir, bool own, std::vector<Manifest>& sets) {
  std::error_code ec;
  const fs::file_status status = fs::symlink_status(dir, ec);
  if (ec || !fs::exists(status)) return;
  if (!fs::is_directory(status)) throw RuleSetError("规则集目录 " + platform::Utf8Of(dir) + " 不是目录（或是符号链接），不予使用");
  std::vector<fs::path> folders;
  for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
    const fs::file_status entry = it->symlink_status(ec);
    if (ec) break;
    if (fs::is_symlink(entry)) throw RuleSetError("规则集目录中的 " + platform::Utf8Of(it->path()) + " 是符号链接，不予使用");
    if (fs::is_directory(entry)) folders.push_back(it->path());
  }
  if (ec) throw RuleSetError("规则集目录 " + platform::Utf8Of(dir) + " 无法读取：" + platform::SystemReason(ec));
  std::sort(folders.begin(), folders.end());
  for (const fs::path& folder : folders) sets.push_back(ReadManifest(folder, own));
}

}  // namespace

fs::path RuleSetsDir(const fs::path& dataOrHome) { return dataOrHome / "rulesets"; }

RuleSets RuleSets::find(const settings::AppHome& home) { return find(home.data, home.home); }

RuleSets RuleSets::find(const fs::path& shipped, const fs::path& own) {
  RuleSets found;
  std::vector<Manifest>& sets = found.sets_;
  FindIn(RuleSetsDir(shipped), false, sets);
  if (!own.empty()) FindIn(RuleSetsDir(own), true, sets);
  std::stable_sort(sets.begin(), sets.end(), [](const Manifest& a, const Manifest& b) {
    return std::tuple(a.from, a.own, a.id()) < std::tuple(b.from, b.own, b.id());
  });
  for (size_t i = 0; i < sets.size(); ++i)
    for (size_t j = i + 1; j < sets.size(); ++j) {
      if (sets[i].id() == sets[j].id())
        throw RuleSetError("有两个规则集都叫 " + sets[i].id() + "：" + platform::Utf8Of(sets[i].folder) + " 和 " +
                           platform::Utf8Of(sets[j].folder) + "，请改动其中一个的版本");
      // Names differing only in case would read as one set in every list and result.
      if (text::EqualsNoCase(sets[i].id(), sets[j].id()))
        throw RuleSetError("规则集 " + sets[i].id() + " 和 " + sets[j].id() + " 的名字只差大小写：" +
                           platform::Utf8Of(sets[i].folder) + " 和 " + platform::Utf8Of(sets[j].folder) +
                           "，分不清是哪一个，请改动其中一个的名字");
    }
  return found;
}

const Manifest* RuleSets::named(const std::string& id) const {
  for (const Manifest& m : sets_)
    if (m.id() == id) return &m;
  return nullptr;
}

const Manifest& RuleSets::choose(const std::string& dataDate, const std::string& id) const {
  if (!id.empty()) {
    if (const Manifest* m = named(id)) return *m;
    throw RuleSetError("没有名为 " + id + " 的规则集；现有的规则集：" + Listed(sets_));
  }
  // sets_ is sorted by date, the own after the shipped of one date.
  const Manifest* chosen = nullptr;
  for (const Manifest& m : sets_)
    if (m.from <= dataDate) chosen = &m;
  if (!chosen)
    throw RuleSetError("没有适用于数据日期" + text::DashedDate(dataDate) + "的规则集；现有的规则集：" + Listed(sets_));
  for (const Manifest& m : sets_)
    if (&m != chosen && m.from == chosen->from && m.own == chosen->own)
      throw RuleSetError("数据日期" + text::DashedDate(dataDate) + "适用的规则集有两个：" + Named(m) + "和" +
                         Named(*chosen) + "，它们的起用日期相同，请选定其中一个");
  return *chosen;
}

RuleSet LoadRuleSetFor(const settings::AppHome& home, const std::string& dataDate, const std::string& id) {
  return LoadRuleSet(RuleSets::find(home).choose(dataDate, id));
}

std::optional<RuleSet> RunRuleSet(const settings::AppHome& home, const store::RunFacts& run) {
  try {
    const RuleSets sets = RuleSets::find(home);
    if (!run.ruleSet.known()) return LoadRuleSet(sets.choose(run.dataDate, ""));
    const Manifest* named = sets.named(store::RuleSetName(run.ruleSet));
    if (!named) return std::nullopt;
    RuleSet set = LoadRuleSet(*named);
    // Rules edited since would explain the findings by texts that did not judge them.
    if (set.sha256 != run.ruleSet.sha256) return std::nullopt;
    return set;
  } catch (const RuleSetError&) {
    return std::nullopt;
  }
}

std::optional<RuleSet> LatestRunRuleSet(const settings::AppHome& home) {
  std::optional<store::RunFacts> facts;
  try {
    facts = store::ReadLatestRunFacts(home.storeFile());
  } catch (const std::exception&) {
    return std::nullopt;
  }
  if (!facts) return std::nullopt;
  return RunRuleSet(home, *facts);
}

}  // namespace fc::ruleset
