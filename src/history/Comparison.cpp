#include "history/Comparison.h"

#include <algorithm>
#include <map>
#include <set>
#include <tuple>

namespace fc::history {

namespace {

// A file name without its extension: the table, whatever the file type.
std::string TableName(const std::string& filename) {
  const size_t dot = filename.rfind('.');
  return dot == std::string::npos ? filename : filename.substr(0, dot);
}

using FindingKey = std::tuple<std::string, std::string, int>;  // table name, errid, occurrence

std::map<FindingKey, const Finding*> KeyFindings(const Run& run) {
  std::map<FindingKey, const Finding*> keyed;
  std::map<std::pair<std::string, std::string>, int> seen;
  for (const Finding& f : run.findings) {
    const std::string table = TableName(f.filename);
    keyed[{table, f.errid, ++seen[{table, f.errid}]}] = &f;
  }
  return keyed;
}

const store::FileFacts* FileNamed(const Run& run, const std::string& table) {
  for (const store::FileFacts& f : run.facts.files)
    if (TableName(f.filename) == table) return &f;
  return nullptr;
}

// Whether `later` looked for `finding` of `earlier`: its file was found and,
// for a finding of the data rules (its file passed the structure check
// then), its rule ran on the file.
bool CheckedAgain(const Run& earlier, const Run& later, const Finding& finding) {
  const std::string table = TableName(finding.filename);
  const store::FileFacts* now = FileNamed(later, table);
  if (!now || !now->isexist) return false;
  const store::FileFacts* then = FileNamed(earlier, table);
  const bool ruleFinding = then && then->isok;
  if (!ruleFinding) return true;
  if (!now->isok) return false;
  return std::none_of(later.facts.skipped.begin(), later.facts.skipped.end(), [&](const store::RuleSkip& s) {
    return s.fileid == now->fileid && s.errid == finding.errid;
  });
}

// The files' checksums by table name; "" for a file not found.
std::map<std::string, std::string> FileSums(const Run& run) {
  std::map<std::string, std::string> sums;
  for (const store::FileFacts& f : run.facts.files) sums[TableName(f.filename)] = f.isexist ? f.sha256 : "";
  return sums;
}

std::string ListedName(const Run& a, const Run& b, const std::string& table) {
  const store::FileFacts* f = FileNamed(b, table);
  if (!f) f = FileNamed(a, table);
  return f ? f->filename : table;
}

// Only the files both runs expected are compared: a table the operator left
// out of one run is neither missing from it nor changed (its findings are
// unchecked).
void CompareFiles(const Run& before, const Run& after, Comparison& c) {
  for (const store::FileFacts& f : before.facts.files) {
    const store::FileFacts* now = FileNamed(after, TableName(f.filename));
    if (f.isexist && now && !now->isexist) c.missing.push_back(now->filename);
  }
  // Archives and tables of one content never share their bytes.
  const bool sameType = before.facts.fileType == after.facts.fileType;
  const auto sumsBefore = FileSums(before);
  for (const auto& [table, sum] : FileSums(after)) {
    auto match = sumsBefore.find(table);
    if (match == sumsBefore.end()) continue;
    const std::string& old = match->second;
    const bool differ = sameType ? old != sum : old.empty() != sum.empty();
    if (differ) c.files.push_back({ListedName(before, after, table), old, sum});
  }
}

}  // namespace

std::string RuleSetWarning(const store::RuleSetFacts& before, const store::RuleSetFacts& after) {
  if (before == after) return "";
  const std::string a = store::RuleSetName(before), b = store::RuleSetName(after);
  if (!before.known() || !after.known())
    return "注意：" + std::string(before.known() ? "本次" : "上次") +
           "检查由旧版本程序记录，没有记下所用的规则集，两次检查的规则可能不同（上次 " + a + "，本次 " + b + "）。";
  if (a != b)
    return "注意：两次检查使用的规则集不同（上次 " + a + "，本次 " + b + "），问题的变化可能来自规则的改动，而不是数据。";
  return "注意：两次检查都使用规则集 " + a + "，但规则集的文件内容不同（SHA-256 不一致），问题的变化可能来自规则的改动，而不是数据。";
}

bool Comparison::worse() const {
  return !added.empty() || !missing.empty() ||
         std::any_of(changed.begin(), changed.end(), [](const FindingChange& c) { return c.countAfter > c.countBefore; });
}

Comparison Compare(const Run& before, const Run& after) {
  Comparison c{before.id, after.id, {}, {}, {}, {}, {}, {}, {}};
  const auto earlier = KeyFindings(before), later = KeyFindings(after);
  for (const auto& [key, f] : later) {
    auto match = earlier.find(key);
    if (match == earlier.end())
      c.added.push_back({f->filename, f->errid, "", f->errdesc, 0, f->total});
    else if (match->second->total != f->total)
      c.changed.push_back({f->filename, f->errid, match->second->errdesc, f->errdesc, match->second->total, f->total});
  }
  for (const auto& [key, f] : earlier) {
    if (later.count(key)) continue;
    (CheckedAgain(before, after, *f) ? c.gone : c.unchecked).push_back({f->filename, f->errid, f->errdesc, "", f->total, 0});
  }
  CompareFiles(before, after, c);
  c.ruleSetWarning = RuleSetWarning(before.facts.ruleSet, after.facts.ruleSet);
  return c;
}

}  // namespace fc::history
