#include "history/Comparison.h"

#include <algorithm>
#include <map>
#include <tuple>

namespace fc::history {

namespace {

using FindingKey = std::tuple<std::string, std::string, int>;  // filename, errid, occurrence

std::map<FindingKey, const Finding*> KeyFindings(const Run& run) {
  std::map<FindingKey, const Finding*> keyed;
  std::map<std::pair<std::string, std::string>, int> seen;
  for (const Finding& f : run.findings) keyed[{f.filename, f.errid, ++seen[{f.filename, f.errid}]}] = &f;
  return keyed;
}

std::map<std::string, std::string> FileSums(const Run& run) {
  std::map<std::string, std::string> sums;
  for (const store::FileFacts& f : run.facts.files) sums[f.filename] = f.isexist ? f.sha256 : "";
  return sums;
}

}  // namespace

bool Comparison::worse() const {
  return !added.empty() ||
         std::any_of(changed.begin(), changed.end(), [](const FindingChange& c) { return c.countAfter > c.countBefore; });
}

Comparison Compare(const Run& before, const Run& after) {
  Comparison c{before.id, after.id, {}, {}, {}, {}};
  const auto earlier = KeyFindings(before), later = KeyFindings(after);
  for (const auto& [key, f] : later) {
    auto match = earlier.find(key);
    if (match == earlier.end())
      c.added.push_back({f->filename, f->errid, "", f->errdesc, 0, f->total});
    else if (match->second->total != f->total)
      c.changed.push_back({f->filename, f->errid, match->second->errdesc, f->errdesc, match->second->total, f->total});
  }
  for (const auto& [key, f] : earlier)
    if (!later.count(key)) c.gone.push_back({f->filename, f->errid, f->errdesc, "", f->total, 0});
  const auto sumsBefore = FileSums(before), sumsAfter = FileSums(after);
  for (const auto& [name, sum] : sumsAfter) {
    auto match = sumsBefore.find(name);
    const std::string old = match == sumsBefore.end() ? "" : match->second;
    if (old != sum) c.files.push_back({name, old, sum});
  }
  for (const auto& [name, sum] : sumsBefore)
    if (!sumsAfter.count(name) && !sum.empty()) c.files.push_back({name, sum, ""});
  return c;
}

}  // namespace fc::history
