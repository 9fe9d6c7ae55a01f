#include "report/ReportData.h"

#include <memory>

#include "platform/Utf8Paths.h"
#include "ruleset/RuleSets.h"
#include "settings/AppHome.h"
#include "store/RunFacts.h"

namespace fc::report {

namespace fs = std::filesystem;

namespace {

// The records of the run when the store's latest facts are this run's. The
// history keeps value counts masked; unmasked, they are the store's.
void LoadRecords(const fs::path& home, const fs::path& dataDir, privacy::Masking masking, ReportData& data) {
  const fs::path storeFile = home / settings::kStoreFileName;
  std::error_code ec;
  if (!fs::exists(storeFile, ec)) return;
  std::optional<store::RunFacts> latest = store::ReadLatestRunFacts(storeFile);
  if (!latest || latest->runKey != data.run.facts.runKey) return;
  auto store = store::Store::open(home, dataDir);
  data.recordsKept = true;
  for (history::Finding& f : data.run.findings) {
    std::optional<store::FindingRecords> records = store->readFindingRecords(f.fileid, f.finding, masking, kReportRecords);
    if (!records) continue;
    if (masking == privacy::Masking::Off) {
      f.valueCounts.clear();
      for (const store::FindingRecords::ValueCount& v : records->valueCounts)
        f.valueCounts.push_back({v.field, v.value, v.count});
    }
    data.records.emplace(std::make_pair(f.fileid, f.finding), std::move(*records));
  }
}

// The meanings of the fields and what the rules say about their findings,
// from the run's rule set; a report stands without them.
void LoadRuleSet(const settings::AppHome& home, ReportData& data) {
  std::optional<ruleset::RuleSet> loaded = ruleset::RunRuleSet(home, data.run.facts);
  if (!loaded && data.run.facts.ruleSet.known())
    data.ruleSetNote = "这次检查所用的规则集 " + store::RuleSetText(data.run.facts.ruleSet) +
                       " 此后已改动、移走或无法读取，报告中没有它的字段含义、规则说明和处理办法";
  if (!loaded) return;
  auto set = std::make_shared<const ruleset::RuleSet>(std::move(*loaded));
  data.meaningOf = [set](const std::string& table, const std::string& field) {
    return set->layouts.meaningOf(table, field);
  };
  data.adviceOf = [set, submission = data.run.facts.submission](const std::string& errid, const std::string& errdesc) {
    return set->rules.adviceFor(submission, errid, errdesc);
  };
}

}  // namespace

std::optional<ReportData> LoadReport(const fs::path& home, const fs::path& dataDir, std::optional<int64_t> id,
                                     std::string& error, privacy::Masking masking) {
  try {
    if (!fs::exists(history::HistoryFile(home))) {
      error = "没有检查历史记录：" + platform::Utf8Of(history::HistoryFile(home));
      return std::nullopt;
    }
    auto history = history::History::open(home);
    if (!id) id = history->latest();
    std::optional<history::Run> run = id ? history->read(*id) : std::nullopt;
    if (!run) {
      error = id ? "检查历史中没有编号为" + std::to_string(*id) + "的检查" : "检查历史中还没有检查记录";
      return std::nullopt;
    }
    ReportData data{std::move(*run), {}, {}, false, {}, {}, {}};
    LoadRuleSet(settings::AppHome{home, dataDir}, data);
    if (std::optional<int64_t> before = history->previous(data.run.id)) {
      data.previous = history->read(*before);
      if (data.previous) data.comparison = history::Compare(*data.previous, data.run);
    }
    try {
      LoadRecords(home, dataDir, masking, data);
    } catch (const std::exception&) {
      data.recordsKept = false;  // the report stands without the records
      data.records.clear();
    }
    return data;
  } catch (const std::exception& e) {
    error = e.what();
    return std::nullopt;
  }
}

}  // namespace fc::report
