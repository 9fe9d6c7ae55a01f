#include "report/ReportData.h"

#include <memory>

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

// The meanings of the fields in the agreement of the run's rule set; a
// report stands without them.
void LoadMeanings(const settings::AppHome& home, ReportData& data) {
  std::optional<ruleset::RuleSet> set = ruleset::RunRuleSet(home, data.run.facts);
  if (!set) return;
  auto layouts = std::make_shared<const naming::InterfaceLayouts>(std::move(set->layouts));
  data.meaningOf = [layouts](const std::string& table, const std::string& field) {
    return layouts->meaningOf(table, field);
  };
}

}  // namespace

std::optional<ReportData> LoadReport(const fs::path& home, const fs::path& dataDir, std::optional<int64_t> id,
                                     std::string& error, privacy::Masking masking) {
  try {
    if (!fs::exists(history::HistoryFile(home))) {
      error = "没有检查历史记录：" + history::HistoryFile(home).string();
      return std::nullopt;
    }
    auto history = history::History::open(home);
    if (!id) id = history->latest();
    std::optional<history::Run> run = id ? history->read(*id) : std::nullopt;
    if (!run) {
      error = id ? "检查历史中没有编号为" + std::to_string(*id) + "的检查" : "检查历史中还没有检查记录";
      return std::nullopt;
    }
    ReportData data{std::move(*run), {}, {}, false, {}, {}};
    LoadMeanings(settings::AppHome{home, dataDir}, data);
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
