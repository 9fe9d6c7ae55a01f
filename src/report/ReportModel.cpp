#include "report/ReportModel.h"

#include <algorithm>
#include <cstdio>

#include "naming/Submission.h"
#include "text/Text.h"

namespace fc::report {

namespace {

std::string Num(int64_t n) { return std::to_string(n); }

template <typename List>
std::string CountOf(const List& list) {
  return Num(static_cast<int64_t>(list.size()));
}

std::string Seconds(double s) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2f", s);
  return text;
}

Tone ToneOf(store::Verdict verdict) {
  switch (verdict) {
    case store::Verdict::Pass: return Tone::Pass;
    case store::Verdict::Fail: return Tone::Fail;
    case store::Verdict::Incomplete: return Tone::Incomplete;
    // Findings there are, explained: told in the tone that asks for a look, never in a pass's.
    case store::Verdict::Accepted: return Tone::Incomplete;
    case store::Verdict::Unknown: break;
  }
  return Tone::Unknown;
}

// A file's verdict with its reason ("通过", "不通过：文件不存在"); for a run
// kept before verdicts, what it kept ("结构正常", "未通过", "文件不存在").
std::string FileResult(const store::FileFacts& file) {
  if (file.verdict == store::Verdict::Pass) return store::VerdictWord(file.verdict);
  if (file.verdict != store::Verdict::Unknown) return store::VerdictWord(file.verdict) + ("：" + file.verdictText);
  if (!file.isexist) return "文件不存在";
  return file.isok ? "结构正常" : "未通过";
}

std::string FileNameOf(const store::RunFacts& f, int fileid) {
  auto file = std::find_if(f.files.begin(), f.files.end(), [&](const store::FileFacts& x) { return x.fileid == fileid; });
  return file == f.files.end() ? "" : file->filename;
}

Headline MakeHeadline(const ReportData& data) {
  const store::RunFacts& f = data.run.facts;
  Headline head{store::VerdictWord(f.verdict), f.verdictText, ToneOf(f.verdict), naming::SubmissionTitle(f.submission) + "报告",
                f.companyCode + " " + f.companyName + "　数据日期 " + text::DashedDate(f.dataDate) + "　检查时间 " + f.started +
                    "　规则集 " + store::RuleSetText(f.ruleSet),
                "检查报告 " + f.companyCode + " " + text::DashedDate(f.dataDate), data.run.id};
  if (f.verdict == store::Verdict::Unknown) head.line = "这次检查由旧版本程序记录，没有检查结论";
  return head;
}

// The facts only one submission has; the one place the report tells the
// submissions apart.
void SubmissionFacts(const store::RunFacts& f, std::vector<Row>& rows) {
  if (f.submission == naming::Submission::Identity) {
    rows.push_back({{{"比对文件日期"}, {text::DashedDate(f.comparisonDate)}}});
  } else if (f.submission == naming::Submission::Account) {
    rows.push_back({{{"传输模式"}, {f.fullTransfer ? "全量传输" : "增量传输"}}});
    rows.push_back({{{"文件序号"}, {Num(f.beginNo) + " - " + Num(f.endNo)}}});
  }
}

Section Facts(const ReportData& data) {
  const store::RunFacts& f = data.run.facts;
  std::string kinds;
  for (const std::string& k : f.kinds) kinds += (kinds.empty() ? "" : "、") + k;
  Table t{"", Shape::Facts, {{"项目"}, {"内容"}}, {}};
  auto fact = [&](const char* name, const std::string& value) { t.rows.push_back({{{name}, {value}}}); };
  fact("检查编号", Num(data.run.id));
  fact("证券公司编码", f.companyCode);
  fact("证券公司名称", f.companyName);
  fact("数据日期", text::DashedDate(f.dataDate));
  SubmissionFacts(f, t.rows);
  fact("报送文件", kinds);
  fact("文件类型", f.fileType);
  fact("源文件目录", f.sourceDir);
  fact("ZIP生成目录", f.targetDir);
  fact("开始时间", f.started);
  fact("结束时间", f.ended);
  fact("用时（秒）", Seconds(f.seconds));
  fact("程序版本", f.version);
  fact("规则集", store::RuleSetText(f.ruleSet));
  if (f.ruleSet.known()) fact("规则集SHA-256", f.ruleSet.sha256);
  if (!data.ruleSetNote.empty()) fact("规则集现状", data.ruleSetNote);
  fact("检查状态", f.completed ? "检查完成" : "检查未能完成：" + f.message);
  return {"检查信息", {std::move(t)}};
}

// Per table description, in the order the files were listed.
std::vector<TableCount> ProblemsPerTable(const history::Run& run) {
  std::vector<TableCount> counts;
  for (const store::FileFacts& file : run.facts.files) {
    auto it = std::find_if(counts.begin(), counts.end(), [&](const TableCount& c) { return c.table == file.filecat; });
    if (it == counts.end()) it = counts.insert(counts.end(), {file.filecat, 0, false});
    it->problems += !file.isexist + static_cast<int>(std::count_if(run.findings.begin(), run.findings.end(),
                                                     [&](const history::Finding& f) { return f.fileid == file.fileid; }));
    it->unfinished |= file.verdict == store::Verdict::Incomplete || file.verdict == store::Verdict::Unknown;
  }
  return counts;
}

Section Summary(const ReportData& data) {
  const history::RunSummary s = history::Summarize(data.run);
  const int missing = s.listed - s.present;  // of a stopped run, only those it reached
  const int notChecked = static_cast<int>(std::count_if(data.run.facts.skipped.begin(), data.run.facts.skipped.end(),
      [](const store::RuleSkip& r) { return r.state == store::RuleState::NotChecked; }));
  Table counts{"", Shape::Grid, {}, {{}}};
  const std::pair<const char*, int> numbers[] = {{"应有文件", s.expected}, {"存在文件", s.present}, {"缺少文件", missing},
                                                 {"通过检查", s.passed},   {"问题", s.findings + missing},
                                                 {"未检查规则", notChecked}};
  for (const auto& [name, n] : numbers) {
    counts.columns.push_back({name, Kind::Number});
    counts.rows[0].cells.push_back({Num(n)});
  }
  return {"检查概况",
          {std::move(counts),
           Paragraph{"问题包括缺少的文件；“通过检查”指文件存在、结构正常、规则全部运行且未发现问题的文件。", Voice::Legend},
           Bars{"各数据表问题数", ProblemsPerTable(data.run)}}};
}

Section Files(const history::Run& run) {
  Table files{"", Shape::Grid,
              {{"序号", Kind::Number}, {"文件描述"}, {"文件名", Kind::FileName, "", true}, {"大小（字节）", Kind::Number},
               {"修改时间", Kind::Time}, {"记录数", Kind::Number}, {"SHA-256", Kind::Checksum}, {"结果"}},
              {}};
  for (const store::FileFacts& f : run.facts.files)
    files.rows.push_back({{{Num(f.groupno)}, {f.filecat}, {f.filename}, {f.size ? Num(*f.size) : ""}, {f.mtime},
                           {f.records ? Num(*f.records) : ""}, {f.sha256}, {FileResult(f), ToneOf(f.verdict)}}});
  Section section{"文件清单", {std::move(files)}};
  // Records marked deleted are no problem of the file, but a reader that
  // keeps them sees more than the check did: said under the list, file by file.
  for (const store::FileFacts& f : run.facts.files)
    if (f.deletedRecords)
      section.parts.push_back(Group{f.filename, {Paragraph{store::DeletedRecordsText(*f.deletedRecords)}}});
  if (run.facts.packs.empty()) return section;
  Table packs{"生成的ZIP压缩文件", Shape::Grid,
              {{"文件名", Kind::FileName}, {"大小（字节）", Kind::Number}, {"SHA-256", Kind::Checksum}}, {}};
  for (const store::PackFacts& p : run.facts.packs) packs.rows.push_back({{{p.archive}, {Num(p.size)}, {p.sha256}}});
  section.parts.push_back(std::move(packs));
  return section;
}

// The first records behind a finding, headed by the agreement's meaning of
// each field with its code beneath.
Table Records(const ReportData& data, const store::FindingRecords& r) {
  Table t{"", Shape::Grid, {{"记录号", Kind::Number}}, {}};
  for (const std::string& field : r.fields) {
    const std::string meaning = data.meaningOf ? data.meaningOf(r.table, field) : std::string();
    t.columns.push_back(meaning.empty() ? Column{field} : Column{meaning, Kind::Text, field});
  }
  for (const store::FindingRecords::Record& record : r.records) {
    Row& row = t.rows.emplace_back();
    row.cells.push_back({Num(record.recno)});
    for (const std::string& v : record.values) row.cells.push_back({v});
  }
  return t;
}

Group Finding(const ReportData& data, const history::Finding& f) {
  Group g{f.filename + "　错误编号 " + f.errid, {Paragraph{f.errdesc, Voice::Detail}}};
  if (f.total > 0) g.parts.push_back(Paragraph{"涉及记录 " + Num(f.total) + " 条", Voice::Detail});
  const rules::RuleAdvice advice = data.adviceOf ? data.adviceOf(f.errid, f.errdesc) : rules::RuleAdvice{};
  if (!advice.explain.empty()) g.parts.push_back(Paragraph{"说明：" + advice.explain, Voice::Plain});
  if (!advice.remedy.empty()) g.parts.push_back(Paragraph{"处理办法：" + advice.remedy, Voice::Plain});
  if (!f.valueCounts.empty()) {
    Table counts{"", Shape::Grid, {{"字段"}, {"值"}, {"记录数", Kind::Number}}, {}};
    for (const history::ValueCount& v : f.valueCounts) counts.rows.push_back({{{v.field}, {v.value}, {Num(v.count)}}});
    g.parts.push_back(std::move(counts));
  }
  auto kept = data.records.find({f.fileid, f.finding});
  if (kept == data.records.end() || kept->second.records.empty()) return g;
  g.parts.push_back(Paragraph{"前 " + CountOf(kept->second.records) + " 条记录：", Voice::Detail});
  g.parts.push_back(Records(data, kept->second));
  return g;
}

Section Findings(const ReportData& data) {
  Section section{"问题明细", {}};
  // The files the run expected and did not find: problems like the findings.
  for (const store::FileFacts& f : data.run.facts.files)
    if (!f.isexist) section.parts.push_back(Group{f.filename, {Paragraph{"文件不存在", Voice::Detail, Tone::Fail}}});
  if (data.run.findings.empty()) {
    // "No problem" is said only of a run that passed.
    if (data.run.facts.verdict == store::Verdict::Pass)
      section.parts.push_back(Paragraph{"没有发现问题。", Voice::Closing, Tone::Pass});
    else
      section.parts.push_back(Paragraph{"问题记录中没有规则发现的问题；检查结论见报告开头。", Voice::Closing});
    return section;
  }
  if (!data.recordsKept)
    section.parts.push_back(Paragraph{"记录明细只保存在最近一次检查中，此处只列出问题及其取值分布。", Voice::Remark});
  for (const history::Finding& f : data.run.findings) section.parts.push_back(Finding(data, f));
  return section;
}

// The rules that did not run, file by file, with why.
std::optional<Section> Skipped(const store::RunFacts& f) {
  if (f.skipped.empty()) return std::nullopt;
  Table t{"", Shape::Grid, {{"文件名", Kind::FileName}, {"错误编号"}, {"状态"}, {"原因"}}, {}};
  for (const store::RuleSkip& r : f.skipped)
    t.rows.push_back({{{FileNameOf(f, r.fileid)}, {r.errid},
                       {store::RuleStateWord(r.state), r.state == store::RuleState::NotChecked ? Tone::Incomplete : Tone::Unknown},
                       {r.reason}}});
  return Section{"未运行的规则",
                 {Paragraph{"未检查：规则应当运行但无法运行，检查不能算通过；不适用：按传输模式不做的核对，不影响结论。",
                            Voice::Legend},
                  std::move(t)}};
}

void Changes(Table& t, const std::vector<history::FindingChange>& changes, const char* kind, Change change, bool after) {
  for (const history::FindingChange& c : changes)
    t.rows.push_back({{{kind}, {c.filename}, {c.errid}, {after ? c.errdescAfter : c.errdescBefore}, {Num(c.countBefore)},
                       {Num(c.countAfter)}},
                      change});
}

Row RunLine(const char* which, const history::Run& run) {
  return {{{which}, {Num(run.id)}, {run.facts.started}, {run.facts.fileType}, {run.facts.sourceDir},
           {store::VerdictWord(run.facts.verdict)}, {store::RuleSetText(run.facts.ruleSet)}}};
}

Section Comparison(const ReportData& data) {
  Section section{"与上次检查比较", {}};
  if (!data.comparison || !data.previous) {
    section.parts.push_back(Paragraph{kNoPreviousRun, Voice::Remark});
    return section;
  }
  const history::Comparison& c = *data.comparison;
  section.parts.push_back(Table{"", Shape::Labelled,
                                {{""}, {"编号", Kind::Number}, {"开始时间", Kind::Time}, {"文件类型"}, {"源文件目录"}, {"结论"},
                                 {"规则集"}},
                                {RunLine("上次", *data.previous), RunLine("本次", data.run)}});
  if (!c.ruleSetWarning.empty()) section.parts.push_back(Paragraph{c.ruleSetWarning, Voice::Plain, Tone::Incomplete});
  section.parts.push_back(Paragraph{"新增问题 " + CountOf(c.added) + " 个，消除问题 " + CountOf(c.gone) + " 个，本次未检查 " +
                                    CountOf(c.unchecked) + " 个，记录数变化 " + CountOf(c.changed) + " 个，本次缺少的文件 " +
                                    CountOf(c.missing) + " 个，内容变化的文件 " + CountOf(c.files) + " 个。"});
  if (c.added.size() + c.gone.size() + c.changed.size() + c.unchecked.size() > 0) {
    Table t{"", Shape::Grid,
            {{"变化"}, {"文件名", Kind::FileName}, {"错误编号"}, {"错误描述"}, {"上次记录数", Kind::Number},
             {"本次记录数", Kind::Number}},
            {}};
    Changes(t, c.added, "新增", Change::Added, true);
    Changes(t, c.changed, "记录数变化", Change::Changed, true);
    Changes(t, c.gone, "消除", Change::Gone, false);
    Changes(t, c.unchecked, "未检查", Change::Unchecked, false);
    section.parts.push_back(std::move(t));
  }
  if (!c.missing.empty()) {
    Table missing{"本次缺少的文件", Shape::Grid, {{"文件名", Kind::FileName}}, {}};
    for (const std::string& name : c.missing) missing.rows.push_back({{{name, Tone::Fail}}});
    section.parts.push_back(std::move(missing));
  }
  if (c.files.empty()) return section;
  Table files{"内容变化的文件", Shape::Grid,
              {{"文件名", Kind::FileName}, {"上次SHA-256", Kind::Checksum}, {"本次SHA-256", Kind::Checksum}}, {}};
  auto sum = [](const std::string& sha256) { return sha256.empty() ? "（不存在）" : sha256; };
  for (const history::FileChange& f : c.files)
    files.rows.push_back({{{f.filename}, {sum(f.sha256Before)}, {sum(f.sha256After)}}});
  section.parts.push_back(std::move(files));
  return section;
}

Table HeadlineFacts(const ReportData& data, const Headline& head) {
  const store::RunFacts& f = data.run.facts;
  Table t{"", Shape::Facts, {{"项目"}, {"内容"}}, {}};
  const std::pair<const char*, std::string> facts[] = {
      {"检查", naming::SubmissionTitle(f.submission)},      {"检查结论", head.word},
      {"结论说明", head.line},                      {"证券公司", f.companyCode + " " + f.companyName},
      {"数据日期", text::DashedDate(f.dataDate)},         {"检查时间", f.started},
      {"检查编号", Num(data.run.id)}};
  for (const auto& [name, value] : facts) t.rows.push_back({{{name}, {value}}});
  return t;
}

Table FindingList(const history::Run& run) {
  Table t{"", Shape::Grid, {{"文件名", Kind::FileName}, {"错误编号"}, {"错误描述"}, {"涉及记录数", Kind::Number}}, {}};
  for (const history::Finding& f : run.findings) t.rows.push_back({{{f.filename}, {f.errid}, {f.errdesc}, {Num(f.total)}}});
  return t;
}

}  // namespace

ReportModel BuildReportModel(const ReportData& data) {
  ReportModel model{MakeHeadline(data), {}, {}, FindingList(data.run)};
  model.headlineFacts = HeadlineFacts(data, model.headline);
  model.sections = {Facts(data), Summary(data), Files(data.run), Findings(data)};
  if (std::optional<Section> skipped = Skipped(data.run.facts)) model.sections.push_back(std::move(*skipped));
  model.sections.push_back(Comparison(data));
  return model;
}

}  // namespace fc::report
