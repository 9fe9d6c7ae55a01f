#include "cli/ResultsOutput.h"

#include <array>
#include <map>
#include <string>
#include <tuple>

#include <nlohmann/json.hpp>

#include "cli/TextOutput.h"
#include "store/Store.h"
#include "text/Json.h"

namespace fc::cli {

namespace {

using text::JsonText;

constexpr size_t kColumns = 7;
constexpr std::array<const char*, kColumns> kNames = {"groupno", "filecat",  "filename", "isexist",
                                                      "isok",    "errid",    "errdesc"};
constexpr std::array<const char*, kColumns> kHeaders = {"文件组号", "文件描述", "文件名", "是否存在",
                                                        "结构正常", "问题编号", "问题描述"};

using Cells = std::array<const std::optional<std::string>*, kColumns>;

Cells CellsOf(const store::ResultRow& r) {
  return {&r.groupno, &r.filecat, &r.filename, &r.isexist, &r.isok, &r.errid, &r.errdesc};
}

std::string Text(const std::optional<std::string>* cell) { return *cell ? **cell : std::string(); }

// The name of a listed file of the run, by fileid.
std::string FileName(const store::RunFacts& facts, int fileid) {
  for (const store::FileFacts& f : facts.files)
    if (f.fileid == fileid) return f.filename;
  return "";
}

void PrintSkipped(const store::RunFacts& facts, std::FILE* out) {
  if (facts.skipped.empty()) return;
  std::vector<std::vector<std::string>> lines = {{"文件名", "问题编号", "状态", "原因"}};
  for (const store::RuleSkip& r : facts.skipped)
    lines.push_back({FileName(facts, r.fileid), r.errid, store::RuleStateWord(r.state), r.reason});
  std::fprintf(out, "\n没有运行的规则：\n");
  PrintAligned(lines, out);
}

// Not problems, so not among the rows: the tables a reader that keeps
// deleted records would see more of than the check did.
void PrintDeleted(const store::RunFacts& facts, std::FILE* out) {
  std::vector<std::vector<std::string>> lines = {{"文件名", "说明"}};
  for (const store::FileFacts& f : facts.files)
    if (f.deletedRecords) lines.push_back({f.filename, store::DeletedRecordsText(*f.deletedRecords)});
  if (lines.size() == 1) return;
  std::fprintf(out, "\n含已删除记录的表：\n");
  PrintAligned(lines, out);
}

// The acceptances that covered findings of the run, and those it ended.
void PrintAcceptances(const store::RunFacts& facts, std::FILE* out) {
  std::vector<std::vector<std::string>> applied = {{"文件名", "问题编号", "接受编号", "记录数", "原因", "接受人", "有效期至"}};
  std::vector<std::vector<std::string>> lapsed = {{"接受编号", "问题编号", "原因"}};
  for (const store::RunAcceptance& a : facts.acceptances) {
    if (a.use == store::AcceptanceUse::Applied)
      applied.push_back({FileName(facts, a.fileid), a.errid, std::to_string(a.acceptance), std::to_string(a.records),
                         a.reason, a.by, a.until});
    if (a.use == store::AcceptanceUse::Lapsed) lapsed.push_back({std::to_string(a.acceptance), a.errid, a.note});
  }
  if (applied.size() > 1) {
    std::fprintf(out, "\n已接受的问题：\n");
    PrintAligned(applied, out);
  }
  if (lapsed.size() > 1) {
    std::fprintf(out, "\n本次失效的接受：\n");
    PrintAligned(lapsed, out);
  }
}

void PrintTable(const std::vector<store::ResultRow>& rows, std::FILE* out, const std::optional<store::RunFacts>& facts) {
  const std::string conclusion =
      facts ? ConclusionLine(facts->verdict, facts->verdictText) : ConclusionLine(store::Verdict::Unknown, "");
  std::fprintf(out, "%s\n", VisibleText(conclusion).c_str());
  // A shipped set goes without saying; the company's own is named, so no one takes its verdict for the shipped rules'.
  if (facts && facts->ruleSet.own) std::fprintf(out, "规则集：%s\n", store::RuleSetText(facts->ruleSet).c_str());
  std::vector<std::vector<std::string>> lines(1, std::vector<std::string>(kHeaders.begin(), kHeaders.end()));
  for (const store::ResultRow& row : rows) {
    Cells cells = CellsOf(row);
    auto& line = lines.emplace_back();
    for (size_t c = 0; c < kColumns; ++c) line.push_back(Text(cells[c]));
  }
  PrintAligned(lines, out);
  if (!facts) return;
  PrintSkipped(*facts, out);
  PrintDeleted(*facts, out);
  PrintAcceptances(*facts, out);
}

void PrintTsv(const std::vector<store::ResultRow>& rows, std::FILE* out) {
  for (size_t c = 0; c < kColumns; ++c) std::fprintf(out, "%s%c", kNames[c], c + 1 < kColumns ? '\t' : '\n');
  for (const store::ResultRow& row : rows) {
    Cells cells = CellsOf(row);
    for (size_t c = 0; c < kColumns; ++c)
      std::fprintf(out, "%s%c", TsvCell(Text(cells[c])).c_str(), c + 1 < kColumns ? '\t' : '\n');
  }
}

std::string SummaryJson(const FindingSummary& s) {
  std::string json = ", \"records\": " + std::to_string(s.records) + ", \"values\": [";
  for (size_t i = 0; i < s.values.size(); ++i)
    json += std::string(i ? ", " : "") + "{\"field\": " + JsonText(s.values[i].field) +
            ", \"value\": " + JsonText(s.values[i].value) + ", \"count\": " + std::to_string(s.values[i].count) +
            "}";
  return json + "]";
}

// The acceptances that covered the finding `s` summarises; "" when none did.
std::string AcceptedJson(const std::optional<store::RunFacts>& facts, const FindingSummary& s) {
  if (!facts) return "";
  text::Json accepted = text::Json::array();
  for (const store::RunAcceptance& a : facts->acceptances)
    if (a.use == store::AcceptanceUse::Applied && a.fileid == s.fileid && a.finding == s.finding)
      accepted.push_back({{"id", a.acceptance}, {"reason", a.reason}, {"by", a.by}, {"until", a.until}});
  return accepted.empty() ? "" : ", \"accepted\": " + JsonText(accepted);
}

std::string AcceptancesJson(const store::RunFacts& facts) {
  text::Json all = text::Json::array();
  for (const store::RunAcceptance& a : facts.acceptances)
    all.push_back({{"id", a.acceptance}, {"use", store::AcceptanceUseCode(a.use)}, {"filename", FileName(facts, a.fileid)},
                   {"errid", a.errid}, {"records", a.records}, {"reason", a.reason}, {"by", a.by},
                   {"until", a.until}, {"note", a.note}});
  return JsonText(all);
}

std::string SkippedJson(const store::RunFacts& facts) {
  std::string json = "[";
  for (size_t i = 0; i < facts.skipped.size(); ++i) {
    const store::RuleSkip& r = facts.skipped[i];
    json += std::string(i ? ",\n  " : "\n  ") + "{\"filename\": " + JsonText(FileName(facts, r.fileid)) +
            ", \"errid\": " + JsonText(r.errid) + ", \"state\": " + JsonText(store::RuleStateCode(r.state)) +
            ", \"reason\": " + JsonText(r.reason) + "}";
  }
  return json + (facts.skipped.empty() ? "]" : "\n ]");
}

// The rule set that judged the results; null for a run kept before rule sets.
std::string RuleSetJson(const std::optional<store::RunFacts>& facts) {
  if (!facts || !facts->ruleSet.known()) return "null";
  const store::RuleSetFacts& s = facts->ruleSet;
  return "{\"name\": " + JsonText(s.name) + ", \"version\": " + JsonText(s.version) + ", \"sha256\": " +
         JsonText(s.sha256) + (s.own ? ", \"own\": true}" : "}");
}

void PrintJson(const std::vector<store::ResultRow>& rows, std::FILE* out, const std::optional<store::RunFacts>& facts,
               const Summaries& summaries) {
  const store::Verdict verdict = facts ? facts->verdict : store::Verdict::Unknown;
  const std::string code = store::VerdictCode(verdict);
  std::fprintf(out, "{\"verdict\": %s,\n \"verdictText\": %s,\n \"results\": [",
               JsonText(code.empty() ? text::Json(nullptr) : text::Json(code)).c_str(),
               JsonText(facts && verdict != store::Verdict::Unknown ? facts->verdictText : store::VerdictWord(verdict)).c_str());
  for (size_t r = 0; r < rows.size(); ++r) {
    Cells cells = CellsOf(rows[r]);
    std::string object = r ? ",\n  {" : "\n  {";
    for (size_t c = 0; c < kColumns; ++c) {
      object += std::string(c ? ", " : "") + "\"" + kNames[c] + "\": ";
      object += JsonText(*cells[c] ? text::Json(**cells[c]) : text::Json(nullptr));
    }
    if (r < summaries.size() && summaries[r]) object += SummaryJson(*summaries[r]) + AcceptedJson(facts, *summaries[r]);
    std::fprintf(out, "%s}", object.c_str());
  }
  // A run that weighed no acceptance reads as it always has.
  const std::string acceptances =
      facts && !facts->acceptances.empty() ? ",\n \"acceptances\": " + AcceptancesJson(*facts) : "";
  std::fprintf(out, "%s,\n \"skipped\": %s,\n \"ruleSet\": %s%s}\n", rows.empty() ? "]" : "\n ]",
               facts ? SkippedJson(*facts).c_str() : "[]", RuleSetJson(facts).c_str(), acceptances.c_str());
}

}  // namespace

Summaries SummariesOf(store::Store& store, const std::vector<store::ResultRow>& rows) {
  // Findings by their three texts; two findings alike are taken in order.
  std::multimap<std::tuple<std::string, std::string, std::string>, store::FindingRow> findings;
  for (store::FindingRow& f : store.readFindings())
    findings.emplace(std::make_tuple(f.filename, f.errid, f.errdesc), std::move(f));
  Summaries summaries;
  for (const store::ResultRow& row : rows) {
    auto& summary = summaries.emplace_back();
    if (!row.errid) continue;
    auto it = findings.find(std::make_tuple(row.filename.value_or(""), *row.errid, row.errdesc.value_or("")));
    if (it == findings.end()) continue;
    summary.emplace();
    summary->fileid = it->second.fileid;
    summary->finding = it->second.finding;
    summary->records = it->second.recordsKept;
    if (auto records = store.readFindingSummary(it->second.fileid, it->second.finding, privacy::Masking::Numbers))
      summary->values = std::move(records->valueCounts);
    findings.erase(it);
  }
  return summaries;
}

void PrintResults(const std::vector<store::ResultRow>& rows, OutputFormat format, std::FILE* out,
                  const std::optional<store::RunFacts>& facts, const Summaries& summaries) {
  if (format == OutputFormat::Json) return PrintJson(rows, out, facts, summaries);
  if (format == OutputFormat::Tsv) return PrintTsv(rows, out);
  PrintTable(rows, out, facts);
}

std::string ConclusionLine(store::Verdict verdict, const std::string& verdictText) {
  if (verdict == store::Verdict::Unknown) return "结论：—（这次检查由旧版本程序记录，没有结论）";
  return "结论：" + verdictText;
}

int ExitStatus(store::Verdict verdict) {
  switch (verdict) {
    case store::Verdict::Pass: return 0;
    case store::Verdict::Fail: return 1;
    case store::Verdict::Accepted: return 3;
    case store::Verdict::Incomplete:
    case store::Verdict::Unknown: break;
  }
  return 2;
}

}  // namespace fc::cli
