#include "report/JsonReport.h"

#include <nlohmann/json.hpp>

#include "naming/Submission.h"
#include "text/Json.h"

namespace fc::report {

namespace {

using json = text::Json;

json Optional(const std::optional<int64_t>& n) { return n ? json(*n) : json(nullptr); }

// "pass", "fail", "incomplete", "accepted"; null for a run kept before verdicts.
json VerdictJson(store::Verdict verdict) {
  const std::string code = store::VerdictCode(verdict);
  return code.empty() ? json(nullptr) : json(code);
}

// The reason, or "—" for a run kept before verdicts.
std::string VerdictText(store::Verdict verdict, const std::string& text) {
  return verdict == store::Verdict::Unknown ? store::VerdictWord(verdict) : text;
}

std::string FileNameOf(const store::RunFacts& f, int fileid) {
  for (const store::FileFacts& file : f.files)
    if (file.fileid == fileid) return file.filename;
  return "";
}

json SkippedJson(const store::RunFacts& f) {
  json skipped = json::array();
  for (const store::RuleSkip& r : f.skipped)
    skipped.push_back({{"fileid", r.fileid}, {"filename", FileNameOf(f, r.fileid)}, {"errid", r.errid},
                       {"state", store::RuleStateCode(r.state)}, {"reason", r.reason}});
  return skipped;
}

// The rule set that judged the run; null for a run kept before rule sets.
json RuleSetJson(const store::RuleSetFacts& s) {
  if (!s.known()) return json(nullptr);
  json set = {{"name", s.name}, {"version", s.version}, {"sha256", s.sha256}};
  if (s.own) set["own"] = true;  // the company's own set; a shipped one keeps the fields it always had
  return set;
}

json FactsJson(const history::Run& run) {
  const store::RunFacts& f = run.facts;
  json files = json::array();
  for (const store::FileFacts& file : f.files) {
    files.push_back({{"fileid", file.fileid}, {"groupno", file.groupno}, {"filecat", file.filecat},
                     {"filename", file.filename}, {"isexist", file.isexist}, {"isok", file.isok},
                     {"size", Optional(file.size)}, {"mtime", file.mtime}, {"sha256", file.sha256},
                     {"records", Optional(file.records)}, {"dbfVersion", Optional(file.dbfVersion)},
                     {"codePage", Optional(file.codePage)}, {"verdict", VerdictJson(file.verdict)},
                     {"verdictText", VerdictText(file.verdict, file.verdictText)}});
    // Only a table that holds some: a report without any keeps the fields it always had.
    if (file.deletedRecords) files.back()["deletedRecords"] = *file.deletedRecords;
  }
  json packs = json::array();
  for (const store::PackFacts& p : f.packs) packs.push_back({{"archive", p.archive}, {"size", p.size}, {"sha256", p.sha256}});
  return {{"id", run.id}, {"verdict", VerdictJson(f.verdict)}, {"verdictText", VerdictText(f.verdict, f.verdictText)},
          {"submission", std::string(naming::SubmissionCode(f.submission))}, {"companyCode", f.companyCode},
          {"companyName", f.companyName}, {"dataDate", f.dataDate}, {"comparisonDate", f.comparisonDate},
          {"fullTransfer", f.fullTransfer}, {"beginNo", f.beginNo}, {"endNo", f.endNo}, {"kinds", f.kinds},
          {"fileType", f.fileType}, {"sourceDir", f.sourceDir}, {"targetDir", f.targetDir},
          {"started", f.started}, {"ended", f.ended}, {"seconds", f.seconds}, {"version", f.version},
          {"completed", f.completed}, {"message", f.message}, {"files", files}, {"skipped", SkippedJson(f)},
          {"packs", packs}, {"ruleSet", RuleSetJson(f.ruleSet)}};
}

json RecordsJson(const store::FindingRecords& r) {
  json records = json::array();
  for (const store::FindingRecords::Record& record : r.records)
    records.push_back({{"recno", record.recno}, {"values", record.values}});
  return {{"table", r.table}, {"fields", r.fields}, {"records", records}};
}

// The acceptances that covered the finding `f`, each with its reason, who and until.
json AcceptedJson(const store::RunFacts& facts, const history::Finding& f) {
  json accepted = json::array();
  for (const store::RunAcceptance& a : facts.acceptances)
    if (a.use == store::AcceptanceUse::Applied && a.fileid == f.fileid && a.finding == f.finding)
      accepted.push_back({{"id", a.acceptance}, {"records", a.records}, {"reason", a.reason}, {"by", a.by}, {"until", a.until}});
  return accepted;
}

// Every acceptance the run weighed: applied, in force but matching nothing, or ended by it and why.
json AcceptancesJson(const store::RunFacts& facts) {
  json all = json::array();
  for (const store::RunAcceptance& a : facts.acceptances)
    all.push_back({{"id", a.acceptance}, {"use", store::AcceptanceUseCode(a.use)}, {"filename", FileNameOf(facts, a.fileid)},
                   {"errid", a.errid}, {"records", a.records}, {"reason", a.reason}, {"by", a.by}, {"until", a.until},
                   {"note", a.note}});
  return all;
}

json FindingsJson(const ReportData& data) {
  json findings = json::array();
  for (const history::Finding& f : data.run.findings) {
    json counts = json::array();
    for (const history::ValueCount& v : f.valueCounts)
      counts.push_back({{"field", v.field}, {"value", v.value}, {"count", v.count}});
    json finding = {{"fileid", f.fileid}, {"finding", f.finding}, {"filename", f.filename}, {"errid", f.errid},
                    {"errdesc", f.errdesc}, {"total", f.total}, {"valueCounts", counts}};
    auto records = data.records.find({f.fileid, f.finding});
    if (records != data.records.end()) finding["records"] = RecordsJson(records->second);
    if (json accepted = AcceptedJson(data.run.facts, f); !accepted.empty()) finding["accepted"] = std::move(accepted);
    const rules::RuleAdvice advice = data.adviceOf ? data.adviceOf(f.errid, f.errdesc) : rules::RuleAdvice{};
    if (!advice.empty()) {
      finding["explain"] = advice.explain;
      finding["remedy"] = advice.remedy;
    }
    findings.push_back(std::move(finding));
  }
  return findings;
}

json ChangesJson(const std::vector<history::FindingChange>& changes) {
  json out = json::array();
  for (const history::FindingChange& c : changes)
    out.push_back({{"filename", c.filename}, {"errid", c.errid}, {"errdescBefore", c.errdescBefore},
                   {"errdescAfter", c.errdescAfter}, {"countBefore", c.countBefore}, {"countAfter", c.countAfter}});
  return out;
}

json ComparisonJson(const history::Comparison& c) {
  json files = json::array();
  for (const history::FileChange& f : c.files)
    files.push_back({{"filename", f.filename}, {"sha256Before", f.sha256Before}, {"sha256After", f.sha256After}});
  return {{"before", c.before}, {"after", c.after}, {"added", ChangesJson(c.added)}, {"gone", ChangesJson(c.gone)},
          {"changed", ChangesJson(c.changed)}, {"unchecked", ChangesJson(c.unchecked)}, {"missing", c.missing},
          {"files", files}, {"worse", c.worse()},
          {"ruleSetWarning", c.ruleSetWarning.empty() ? json(nullptr) : json(c.ruleSetWarning)}};
}

}  // namespace

std::string JsonReport(const ReportData& data) {
  const history::RunSummary s = history::Summarize(data.run);
  json report = {{"run", FactsJson(data.run)},
                 {"summary", {{"expected", s.expected}, {"present", s.present}, {"passed", s.passed}, {"findings", s.findings}}},
                 {"recordsKept", data.recordsKept},
                 {"findings", FindingsJson(data)},
                 {"comparison", data.comparison ? ComparisonJson(*data.comparison) : json(nullptr)}};
  // A run that weighed no acceptance reads as it always has.
  if (!data.run.facts.acceptances.empty()) report["acceptances"] = AcceptancesJson(data.run.facts);
  return text::JsonText(report, 2) + "\n";
}

std::string JsonComparison(const history::Comparison& comparison) {
  return text::JsonText(ComparisonJson(comparison), 2) + "\n";
}

std::string JsonRunList(const std::vector<history::RunSummary>& runs) {
  json list = json::array();
  for (const history::RunSummary& r : runs) {
    list.push_back({{"id", r.id}, {"verdict", VerdictJson(r.verdict)}, {"verdictText", VerdictText(r.verdict, r.verdictText)},
                    {"started", r.started}, {"submission", std::string(naming::SubmissionCode(r.submission))}, {"companyCode", r.companyCode},
                    {"dataDate", r.dataDate}, {"fileType", r.fileType}, {"sourceDir", r.sourceDir},
                    {"expected", r.expected}, {"present", r.present}, {"passed", r.passed},
                    {"findings", r.findings}, {"completed", r.completed}, {"message", r.message},
                    {"ruleSet", r.ruleSet.empty() ? json(nullptr) : json(r.ruleSet)}});
    if (r.ruleSetOwn) list.back()["ruleSetOwn"] = true;
  }
  return text::JsonText(list, 2) + "\n";
}

}  // namespace fc::report
