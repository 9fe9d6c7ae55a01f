#include "HistoryRuns.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

namespace fc::test {

history::Run MakeRun(const std::string& key, const std::string& code, const std::string& secondSum,
                     const std::vector<std::string>& findings) {
  history::Run run;
  store::RunFacts& f = run.facts;
  f = {key, naming::Submission::Account, code, "某某证券", "20080808", "", true, 1, 1, {"KHJBXX", "ZJZQDY"}, "ZIP",
       "/in/", "/out/", "2026-12-08 10:00:00", "2026-12-08 10:00:02", 2.5, "0.1", true, "", {}, {}};
  f.files = {{1, 1, "客户基本信息表", code + "_KHJBXX_20080808_1.ZIP", 1, 1, 1234, "2026-12-08 09:00:00",
              std::string(64, 'a'), 10, 3, 0x7A},
             {2, 1, "资金证券对应表", code + "_ZJZQDY_20080808_1.ZIP", secondSum.empty() ? 0 : 1, 0,
              secondSum.empty() ? std::nullopt : std::optional<int64_t>(99), "", secondSum, {}, {}, {}}};
  f.files[0].deletedRecords = 2;
  f.packs = {{code + "_KHJBXX_20080808_1.ZIP", 1200, std::string(64, 'c')}};
  int finding = 0;
  for (const std::string& text : findings) {
    std::istringstream in(text);
    history::Finding g;
    in >> g.filename >> g.errid >> g.total;
    g.fileid = g.filename.find("KHJBXX") != std::string::npos ? 1 : 2;
    g.finding = ++finding;
    g.errdesc = "数据日期为20080808的" + std::to_string(g.total) + "条记录有问题 <" + g.errid + ">";
    if (g.total > 0) g.valueCounts = {{"KHRQ", "20080808", g.total - 1}, {"KHRQ", "", 1}};
    run.findings.push_back(g);
  }
  return run;
}

std::vector<int64_t> Ids(const std::vector<history::RunSummary>& runs) {
  std::vector<int64_t> ids;
  for (const history::RunSummary& s : runs) ids.push_back(s.id);
  return ids;
}

void ExpectWhole(history::History& history, const std::vector<history::Run>& appended) {
  for (const history::RunSummary& s : history.list(1000)) {
    std::optional<history::Run> read = history.read(s.id);
    ASSERT_TRUE(read) << s.id;
    auto original = std::find_if(appended.begin(), appended.end(),
                                 [&](const history::Run& r) { return r.facts.runKey == read->facts.runKey; });
    ASSERT_NE(original, appended.end());
    history::Run expected = *original;
    expected.id = s.id;
    EXPECT_EQ(*read, expected) << s.id;
  }
}

}  // namespace fc::test
