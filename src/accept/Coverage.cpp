#include "accept/Coverage.h"

#include <algorithm>
#include <map>
#include <set>

namespace fc::accept {

namespace {

constexpr size_t kKeysNamed = 3;  // records named in a reason, the rest counted

std::string Id(int64_t id) { return "接受" + std::to_string(id); }

// Why `a` ends with this run, or "" when it stays in force.
std::string LapseReason(const Acceptance& a, const CoverContext& context) {
  if (a.until < context.today) return Id(a.id) + "已于" + DayText(a.until) + "到期";
  const std::optional<std::string> digest = context.terms->digestOf(a.rule);
  if (!digest) return Id(a.id) + "的规则" + a.rule + "已不在本次检查的规则集中";
  if (*digest != a.ruleSha256) return Id(a.id) + "接受后规则" + a.rule + "已改变";
  return "";
}

// The acceptances of one rule that stand for this run.
struct RuleAcceptances {
  std::vector<const Acceptance*> all;    // every record, at most N
  std::vector<const Acceptance*> keyed;  // named records
  std::string ended;                     // why ones of the rule lapsed, for a finding they leave uncovered
};

// Covers `f` by keyed acceptances; sets why not otherwise.
void CoverByKeys(const RunFinding& f, const RuleAcceptances& rule, FindingCover& cover) {
  std::map<std::string, int64_t> named;  // key → acceptance
  for (const Acceptance* a : rule.keyed)
    for (const std::string& k : a->keys) named.emplace(k, a->id);
  if (static_cast<int64_t>(f.keys.size()) < f.total) {
    cover.why = "只保留了" + std::to_string(f.total) + "条记录中的" + std::to_string(f.keys.size()) +
                "条，其余记录无法逐条核对是否已接受";
    return;
  }
  std::vector<std::string> missing;
  int64_t keyless = 0;
  std::map<int64_t, int64_t> used;  // acceptance → records it covers
  for (size_t i = 0; i < f.keys.size(); ++i) {
    const std::optional<std::string>& k = f.keys[i];
    if (!k) ++keyless;
    else if (auto at = named.find(*k); at == named.end()) missing.push_back(i < f.shown.size() ? f.shown[i] : *k);
    else ++used[at->second];
  }
  if (keyless) {
    cover.why = std::to_string(keyless) + "条记录没有可核对的键";
    return;
  }
  if (!missing.empty()) {
    std::string list;
    for (size_t i = 0; i < std::min(missing.size(), kKeysNamed); ++i) list += (i ? "、" : "") + missing[i];
    if (missing.size() > kKeysNamed) list += "等" + std::to_string(missing.size()) + "条";
    cover.why = "记录" + list + "未被接受";
    return;
  }
  cover.covered = true;
  cover.records = f.total;
  cover.acceptances = std::move(used);
}

}  // namespace

std::string DayText(const std::string& digits) {
  if (digits.size() != 8) return digits;
  return digits.substr(0, 4) + "-" + digits.substr(4, 2) + "-" + digits.substr(6, 2);
}

Coverage Cover(const std::vector<Acceptance>& acceptances, const std::vector<RunFinding>& findings,
               const CoverContext& context) {
  Coverage coverage;
  std::map<std::string, RuleAcceptances> rules;
  for (const Acceptance& a : acceptances) {
    if (a.state != State::InForce || a.submission != context.submission || a.companyCode != context.companyCode)
      continue;
    RuleAcceptances& rule = rules[a.rule];
    if (const std::string reason = LapseReason(a, context); !reason.empty()) {
      coverage.lapses.push_back({a.id, reason});
      rule.ended += (rule.ended.empty() ? "" : "；") + reason;
      continue;
    }
    (a.allRecords() ? rule.all : rule.keyed).push_back(&a);
  }
  // An "at most" weighs every record of its rule in the run at once.
  std::map<std::string, int64_t> ruleRecords;
  for (const RunFinding& f : findings) ruleRecords[f.errid] += f.total;
  for (auto& [code, rule] : rules) {
    const int64_t records = ruleRecords[code];
    auto outgrown = [&](const Acceptance* a) { return records > a->atMost; };
    for (const Acceptance* a : rule.all)
      if (outgrown(a)) {
        const std::string reason = Id(a->id) + "最多接受" + std::to_string(a->atMost) + "条记录，本次有" +
                                   std::to_string(records) + "条";
        coverage.lapses.push_back({a->id, reason});
        rule.ended += (rule.ended.empty() ? "" : "；") + reason;
      }
    rule.all.erase(std::remove_if(rule.all.begin(), rule.all.end(), outgrown), rule.all.end());
  }

  std::set<int64_t> used;
  for (const RunFinding& f : findings) {
    FindingCover& cover = coverage.findings.emplace_back();
    cover.fileid = f.fileid;
    cover.finding = f.finding;
    cover.errid = f.errid;
    const auto rule = rules.find(f.errid);
    if (rule == rules.end() || !context.terms->digestOf(f.errid)) continue;
    if (!rule->second.all.empty()) {
      cover.covered = true;
      cover.records = f.total;
      cover.acceptances[rule->second.all.front()->id] = f.total;
    } else if (!rule->second.keyed.empty()) {
      CoverByKeys(f, rule->second, cover);
    }
    if (!cover.covered && cover.why.empty()) cover.why = rule->second.ended;
    else if (!cover.covered && !rule->second.ended.empty()) cover.why += "；" + rule->second.ended;
    for (const auto& entry : cover.acceptances) used.insert(entry.first);
  }
  for (const auto& [code, rule] : rules)
    for (const auto* group : {&rule.all, &rule.keyed})
      for (const Acceptance* a : *group)
        if (!used.count(a->id)) coverage.unused.push_back(a->id);
  std::sort(coverage.unused.begin(), coverage.unused.end());
  return coverage;
}

}  // namespace fc::accept
