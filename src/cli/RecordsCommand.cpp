// records --home DIR [--file NAME] [--rule CODE] [--format table|tsv|csv|json|xlsx]
//         [--output FILE.xlsx] [--no-mask]:
// the records behind the findings of the latest run, all or those chosen;
// identity numbers masked unless --no-mask.
//
// table: per finding a heading (file, code, message, what its rule says about
//        it and what to do, the count when capped), its most frequent values,
//        then 记录号 and the fields in columns;
// tsv, csv: one line per record: fileid, filename, errid, finding, recno and
//        a column per field of the chosen findings (empty where a finding has
//        no such field); csv is UTF-8 with a byte-order mark, which
//        spreadsheets need to read the Chinese text, its fields guarded
//        against formulas (spreadsheet/Csv.h);
// xlsx:  an Excel workbook written to --output, a sheet per finding
//        (spreadsheet/Workbook.h);
// json:  an array of {"fileid", "filename", "errid", "finding", "recno",
//        "key", "values": {FIELD: text}}, one per record; "key" is what an
//        acceptance names the record by (ruleset/RecordKeys.h), masked as
//        the values are, null when the set names no key for its table.
#include <algorithm>
#include <cstdio>

#include <nlohmann/json.hpp>

#include "cli/Commands.h"
#include "cli/Options.h"
#include "cli/TextOutput.h"
#include "platform/Utf8Paths.h"
#include "ruleset/RecordKeys.h"
#include "ruleset/RuleSets.h"
#include "spreadsheet/Csv.h"
#include "spreadsheet/Workbook.h"
#include "store/RunFacts.h"
#include "store/Store.h"
#include "text/Json.h"
#include "text/Text.h"

namespace fc::cli {

namespace {

using Chosen = spreadsheet::FindingSheet;
using text::JsonText;

std::vector<Chosen> Choose(store::Store& store, const Options& opts) {
  return spreadsheet::ReadFindingSheets(
      store, opts.flag("no-mask") ? privacy::Masking::Off : privacy::Masking::Numbers,
      [&](const store::FindingRow& row) {
        return (!opts.value("file") || text::EqualsNoCase(row.filename, *opts.value("file"))) &&
               (!opts.value("rule") || text::EqualsNoCase(row.errid, *opts.value("rule")));
      });
}

// The latest run and the rule set that judged it, for what its rules say
// about the findings and the fields' meanings; the set may be missing.
struct JudgedRun {
  std::optional<store::RunFacts> facts;
  std::optional<ruleset::RuleSet> set;
  ruleset::RecordKeys keys = {};  // the set's; none without it

  rules::RuleAdvice adviceFor(const store::FindingRow& finding) const {
    if (!facts || !set) return {};
    return set->rules.adviceFor(facts->submission, finding.errid, finding.errdesc);
  }
};

void PrintTable(const std::vector<Chosen>& chosen, const JudgedRun& run, std::FILE* out) {
  for (const Chosen& c : chosen) {
    const store::FindingRecords& f = c.records;
    std::fprintf(out, "%s%s  %s  %s\n", &c == &chosen.front() ? "" : "\n", VisibleText(c.finding.filename).c_str(),
                 VisibleText(c.finding.errid).c_str(), VisibleText(c.finding.errdesc).c_str());
    const rules::RuleAdvice advice = run.adviceFor(c.finding);
    if (!advice.explain.empty()) std::fprintf(out, "说明：%s\n", VisibleText(advice.explain).c_str());
    if (!advice.remedy.empty()) std::fprintf(out, "处理办法：%s\n", VisibleText(advice.remedy).c_str());
    if (static_cast<int64_t>(f.records.size()) < f.total)
      std::fprintf(out, "共 %lld 条，显示前 %zu 条\n", static_cast<long long>(f.total), f.records.size());
    for (const auto& v : f.valueCounts)
      std::fprintf(out, "  %s %s × %lld\n", VisibleText(v.field).c_str(), VisibleText(v.value).c_str(),
                   static_cast<long long>(v.count));
    std::vector<std::vector<std::string>> lines(1, {"记录号"});
    lines[0].insert(lines[0].end(), f.fields.begin(), f.fields.end());
    for (const auto& r : f.records) {
      auto& line = lines.emplace_back(1, std::to_string(r.recno));
      line.insert(line.end(), r.values.begin(), r.values.end());
    }
    PrintAligned(lines, out);
  }
}

// Every field of the chosen findings, in the order first met.
std::vector<std::string> AllFields(const std::vector<Chosen>& chosen) {
  std::vector<std::string> fields;
  for (const Chosen& c : chosen)
    for (const std::string& f : c.records.fields)
      if (std::find(fields.begin(), fields.end(), f) == fields.end()) fields.push_back(f);
  return fields;
}

void PrintSeparated(const std::vector<Chosen>& chosen, bool csv, std::FILE* out) {
  auto printLine = [&](const std::vector<std::string>& cells) {
    std::string line;
    if (csv) line = spreadsheet::CsvLine(cells);
    else {
      for (size_t i = 0; i < cells.size(); ++i) line += (i ? "\t" : "") + TsvCell(cells[i]);
      line += '\n';
    }
    std::fputs(line.c_str(), out);
  };
  if (csv) std::fputs(std::string(spreadsheet::kUtf8Bom).c_str(), out);
  const std::vector<std::string> fields = AllFields(chosen);
  std::vector<std::string> header = {"fileid", "filename", "errid", "finding", "recno"};
  header.insert(header.end(), fields.begin(), fields.end());
  printLine(header);
  for (const Chosen& c : chosen) {
    for (const auto& r : c.records.records) {
      std::vector<std::string> cells = {std::to_string(c.finding.fileid), c.finding.filename, c.finding.errid,
                                        std::to_string(c.finding.finding), std::to_string(r.recno)};
      for (const std::string& field : fields) {
        auto at = std::find(c.records.fields.begin(), c.records.fields.end(), field);
        cells.push_back(at == c.records.fields.end() ? "" : r.values.at(static_cast<size_t>(at - c.records.fields.begin())));
      }
      printLine(cells);
    }
  }
}

// The workbook at --output, headed by the agreement's meanings.
int WriteXlsx(std::vector<Chosen> chosen, const JudgedRun& run, const std::filesystem::path& output) {
  spreadsheet::Workbook book;
  book.findings = std::move(chosen);
  book.agreement = run.set ? &run.set->layouts : nullptr;
  std::string error;
  if (!spreadsheet::WriteWorkbook(output, book, error)) return Fail(error);
  std::fprintf(stderr, "记录已导出到%s\n", platform::Utf8Of(output).c_str());
  return 0;
}

void PrintJson(const std::vector<Chosen>& chosen, const ruleset::RecordKeys& keys, std::FILE* out) {
  bool first = true;
  std::fprintf(out, "[");
  for (const Chosen& c : chosen) {
    const std::string head = "{\"fileid\": " + std::to_string(c.finding.fileid) + ", \"filename\": " +
                             JsonText(c.finding.filename) + ", \"errid\": " + JsonText(c.finding.errid) +
                             ", \"finding\": " + std::to_string(c.finding.finding);
    for (const auto& r : c.records.records) {
      const std::optional<std::string> key = keys.keyOf(c.records.table, c.records.fields, r.values);
      std::string object = head + ", \"recno\": " + std::to_string(r.recno) +
                           ", \"key\": " + (key ? JsonText(*key) : std::string("null")) + ", \"values\": {";
      for (size_t k = 0; k < c.records.fields.size(); ++k)
        object += std::string(k ? ", " : "") + JsonText(c.records.fields[k]) + ": " + JsonText(r.values.at(k));
      std::fprintf(out, "%s\n %s}}", first ? "" : ",", object.c_str());
      first = false;
    }
  }
  std::fprintf(out, first ? "]\n" : "\n]\n");
}

}  // namespace

int RecordsCommand(const Args& args) {
  Options opts;
  std::string error;
  if (!opts.parse(args, {"home", "file", "rule", "format", "output"}, {"no-mask"}, error) ||
      !opts.require({"home"}, error))
    return Fail(error);
  const std::optional<OutputFormat> format = opts.format(
      {OutputFormat::Table, OutputFormat::Tsv, OutputFormat::Csv, OutputFormat::Json, OutputFormat::Xlsx}, error);
  if (!format) return Fail(error);
  const std::optional<std::string> output = opts.value("output");
  if ((format == OutputFormat::Xlsx) != output.has_value()) return Fail("--output FILE.xlsx 只与 --format xlsx 同用，且 --format xlsx 必须有它");
  settings::AppHome home = HomeAt(*opts.value("home"));
  if (!RequireHomeFile(home, home.storeFile(), "检查结果")) return 2;
  try {
    auto store = store::Store::open(home.home, home.data);
    std::vector<Chosen> chosen = Choose(*store, opts);
    JudgedRun run{store::ReadLatestRunFacts(home.storeFile()), std::nullopt};
    if (run.facts) run.set = ruleset::RunRuleSet(home, *run.facts);
    try {
      if (run.set) run.keys = ruleset::RecordKeys::load(run.set->manifest.folder, run.set->layouts);
    } catch (const ruleset::RuleSetError&) {
      // A set whose keys do not read names none: the records stand without them.
    }
    if (format == OutputFormat::Xlsx) return WriteXlsx(std::move(chosen), run, platform::PathFromUtf8(*output));
    if (format == OutputFormat::Table) PrintTable(chosen, run, stdout);
    else if (format == OutputFormat::Json) PrintJson(chosen, run.keys, stdout);
    else PrintSeparated(chosen, format == OutputFormat::Csv, stdout);
    return 0;
  } catch (const std::exception& e) {
    return Fail(e.what());
  }
}

}  // namespace fc::cli
