#include "report/ReportData.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <random>

#include "naming/InterfaceLayouts.h"
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

// The agreement's meanings of the fields; a report stands without them.
void LoadMeanings(const fs::path& dataDir, ReportData& data) {
  try {
    auto layouts = std::make_shared<const naming::InterfaceLayouts>(
        naming::InterfaceLayouts::load(dataDir / "interface" / "layouts.csv"));
    data.meaningOf = [layouts](const std::string& table, const std::string& field) {
      return layouts->meaningOf(table, field);
    };
  } catch (const std::exception&) {
  }
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
    LoadMeanings(dataDir, data);
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

std::string SubmissionTitle(const std::string& submission) {
  return submission == "identity" ? "证券公司投资者身份信息复查数据检查" : "证券公司客户交易结算资金账户数据文件检查";
}

std::string DashedDate(const std::string& date) {
  if (date.size() != 8) return date;
  return date.substr(0, 4) + "-" + date.substr(4, 2) + "-" + date.substr(6, 2);
}

bool WriteReportFile(const fs::path& file, const std::string& bytes, std::string& error) {
  return ReplaceFileThrough(file, [&](const fs::path& temp, std::string& failure) {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.flush();
    if (out) return true;
    failure = std::strerror(errno);
    return false;
  }, error);
}

bool ReplaceFileThrough(const fs::path& file, const FileWriter& write, std::string& error) {
  std::random_device rd;
  const fs::path temp = file.parent_path() / ("." + file.filename().string() + "." + std::to_string(rd()) + ".tmp");
  std::string failure;
  std::error_code ec;
  if (write(temp, failure)) {
    fs::rename(temp, file, ec);
    if (!ec) return true;
    failure = ec.message();
  }
  error = "无法写入文件" + file.string() + "：" + failure;
  fs::remove(temp, ec);
  return false;
}

}  // namespace fc::report
