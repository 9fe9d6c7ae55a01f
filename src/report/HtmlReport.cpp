#include "report/HtmlReport.h"

#include <algorithm>
#include <cstdio>
#include <map>

#include "naming/Submission.h"
#include "text/Text.h"

namespace fc::report {

namespace {

constexpr const char* kStyle = R"(
body{font-family:"WenQuanYi Micro Hei","Microsoft YaHei","PingFang SC",sans-serif;font-size:10.5pt;color:#222;margin:24px;}
h1{font-size:17pt;margin:0 0 4px 0;}h2{font-size:13pt;border-bottom:2px solid #3a6ea5;padding-bottom:2px;margin-top:22px;}
h3{font-size:11pt;margin:14px 0 4px 0;}
table{border-collapse:collapse;margin:4px 0 10px 0;}th,td{border:1px solid #bbb;padding:2px 6px;text-align:left;vertical-align:top;}
th{background:#e8eef5;white-space:nowrap;}td.time{white-space:nowrap;}td.num{text-align:right;}td.sum{font-family:monospace;font-size:8pt;word-break:break-all;}
table.facts th{width:9em;}.ok{color:#17692a;}.bad{color:#b00020;font-weight:bold;}.none{color:#777;}
tr.new td{background:#fde4e4;}tr.gone td{background:#e2f5e4;}tr.unchecked td{background:#eeeeee;}
.verdict{border:2px solid;padding:6px 10px;margin:0 0 12px 0;font-size:12pt;}.verdict b{font-size:16pt;margin-right:10px;}
.verdict.pass{border-color:#17692a;color:#17692a;}.verdict.fail{border-color:#b00020;color:#b00020;}
.verdict.incomplete,.verdict.unknown{border-color:#8a6d00;color:#6b5500;}.incomplete{color:#6b5500;}
th small{display:block;font-weight:normal;color:#555;}
.finding{page-break-inside:avoid;margin-bottom:12px;}.desc{margin:2px 0;}.note{color:#555;}
.chart text{font-size:11px;}
@page{size:A4;margin:14mm;}
@media print{body{margin:0;font-size:9pt;}h2{page-break-after:avoid;}tr{page-break-inside:avoid;}}
)";

std::string Num(int64_t n) { return std::to_string(n); }

std::string Seconds(double s) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2f", s);
  return text;
}

std::string Cell(std::string_view text, const char* cls = nullptr) {
  return std::string("<td") + (cls ? std::string(" class=\"") + cls + "\"" : "") + ">" + HtmlEscape(text) + "</td>";
}

std::string Head(std::initializer_list<const char*> names) {
  std::string row = "<tr>";
  for (const char* n : names) row += std::string("<th>") + n + "</th>";
  return row + "</tr>";
}

std::string Fact(const char* name, std::string_view value) {
  return std::string("<tr><th>") + name + "</th>" + Cell(value) + "</tr>";
}

std::string Facts(const ReportData& data) {
  const store::RunFacts& f = data.run.facts;
  std::string kinds;
  for (const std::string& k : f.kinds) kinds += (kinds.empty() ? "" : "、") + k;
  std::string html = "<h2>检查信息</h2><table class=\"facts\">";
  html += Fact("检查编号", Num(data.run.id));
  html += Fact("证券公司编码", f.companyCode);
  html += Fact("证券公司名称", f.companyName);
  html += Fact("数据日期", text::DashedDate(f.dataDate));
  if (f.submission == naming::Submission::Identity) html += Fact("比对文件日期", text::DashedDate(f.comparisonDate));
  if (f.submission == naming::Submission::Account) {
    html += Fact("传输模式", f.fullTransfer ? "全量传输" : "增量传输");
    html += Fact("文件序号", Num(f.beginNo) + " - " + Num(f.endNo));
  }
  html += Fact("报送文件", kinds);
  html += Fact("文件类型", f.fileType);
  html += Fact("源文件目录", f.sourceDir);
  html += Fact("ZIP生成目录", f.targetDir);
  html += Fact("开始时间", f.started);
  html += Fact("结束时间", f.ended);
  html += Fact("用时（秒）", Seconds(f.seconds));
  html += Fact("程序版本", f.version);
  html += Fact("检查状态", f.completed ? "检查完成" : "检查未能完成：" + f.message);
  return html + "</table>";
}

// The verdict as the report's headline: its word large, its reason beside
// it, framed in its colour (never the colour alone).
std::string Headline(const store::RunFacts& f) {
  const char* cls = f.verdict == store::Verdict::Pass   ? "pass"
                    : f.verdict == store::Verdict::Fail ? "fail"
                    : f.verdict == store::Verdict::Incomplete ? "incomplete" : "unknown";
  const std::string reason = f.verdict == store::Verdict::Unknown ? "这次检查由旧版本程序记录，没有检查结论"
                                                                  : std::string(store::VerdictReason(f.verdictText));
  return std::string("<div class=\"verdict ") + cls + "\"><b>检查结论：" + store::VerdictWord(f.verdict) + "</b>" +
         HtmlEscape(reason) + "</div>";
}

// Red for problems; green only for a table checked whole without any; grey otherwise.
const char* BarColour(const TableCount& c) {
  if (c.problems) return "#c0392b";
  return c.unfinished ? "#bbbbbb" : "#8fbf8f";
}

std::string Chart(const history::Run& run) {
  const auto counts = ProblemsPerTable(run);
  if (counts.empty()) return "";
  int most = 1;
  for (const TableCount& c : counts) most = std::max(most, c.problems);
  constexpr int kLabel = 190, kBar = 360, kRow = 24;
  const int height = static_cast<int>(counts.size()) * kRow + 8;
  std::string svg = "<svg class=\"chart\" xmlns=\"http://www.w3.org/2000/svg\" width=\"" + Num(kLabel + kBar + 50) +
                    "\" height=\"" + Num(height) + "\" role=\"img\" aria-label=\"各数据表问题数\">";
  int y = 4;
  for (const TableCount& c : counts) {
    const int width = c.problems * kBar / most;
    svg += "<text x=\"0\" y=\"" + Num(y + 15) + "\">" + HtmlEscape(c.table) + "</text>";
    svg += "<rect x=\"" + Num(kLabel) + "\" y=\"" + Num(y + 2) + "\" width=\"" + Num(std::max(width, 1)) +
           "\" height=\"16\" fill=\"" + BarColour(c) + "\"/>";
    svg += "<text x=\"" + Num(kLabel + width + 6) + "\" y=\"" + Num(y + 15) + "\">" + Num(c.problems) + "</text>";
    y += kRow;
  }
  return svg + "</svg>";
}

std::string Summary(const ReportData& data) {
  const history::RunSummary s = history::Summarize(data.run);
  const int missing = s.expected - s.present;
  const int notChecked = static_cast<int>(std::count_if(data.run.facts.skipped.begin(), data.run.facts.skipped.end(),
      [](const store::RuleSkip& r) { return r.state == store::RuleState::NotChecked; }));
  std::string html = "<h2>检查概况</h2><table>" +
                     Head({"应有文件", "存在文件", "缺少文件", "通过检查", "问题", "未检查规则"}) + "<tr>";
  for (int n : {s.expected, s.present, missing, s.passed, s.findings + missing, notChecked}) html += Cell(Num(n), "num");
  html += "</tr></table><p class=\"note\">问题包括缺少的文件；“通过检查”指文件存在、结构正常、规则全部运行且未发现问题的文件。</p>";
  html += "<h3>各数据表问题数</h3>" + Chart(data.run);
  return html;
}

std::string Files(const history::Run& run) {
  std::string html = "<h2>文件清单</h2><table>" +
                     Head({"序号", "文件描述", "文件名", "大小（字节）", "修改时间", "记录数", "SHA-256", "结果"});
  for (const store::FileFacts& f : run.facts.files) {
    html += "<tr>" + Cell(Num(f.groupno), "num") + Cell(f.filecat) + Cell(f.filename) +
            Cell(f.size ? Num(*f.size) : "", "num") + Cell(f.mtime, "time") + Cell(f.records ? Num(*f.records) : "", "num") +
            Cell(f.sha256, "sum") + Cell(FileResult(f), ResultClass(f)) + "</tr>";
  }
  html += "</table>";
  if (run.facts.packs.empty()) return html;
  html += "<h3>生成的ZIP压缩文件</h3><table>" + Head({"文件名", "大小（字节）", "SHA-256"});
  for (const store::PackFacts& p : run.facts.packs)
    html += "<tr>" + Cell(p.archive) + Cell(Num(p.size), "num") + Cell(p.sha256, "sum") + "</tr>";
  return html + "</table>";
}

std::string ValueCounts(const history::Finding& f) {
  if (f.valueCounts.empty()) return "";
  std::string html = "<table>" + Head({"字段", "值", "记录数"});
  for (const history::ValueCount& v : f.valueCounts)
    html += "<tr>" + Cell(v.field) + Cell(v.value) + Cell(Num(v.count), "num") + "</tr>";
  return html + "</table>";
}

// A field's heading: the agreement's meaning, the code beneath it.
std::string FieldHeading(const ReportData& data, const std::string& table, const std::string& field) {
  const std::string meaning = data.meaningOf ? data.meaningOf(table, field) : std::string();
  if (meaning.empty()) return "<th>" + HtmlEscape(field) + "</th>";
  return "<th>" + HtmlEscape(meaning) + "<small>" + HtmlEscape(field) + "</small></th>";
}

std::string Records(const ReportData& data, const store::FindingRecords& r) {
  std::string html = "<table><tr><th>记录号</th>";
  for (const std::string& field : r.fields) html += FieldHeading(data, r.table, field);
  html += "</tr>";
  for (const store::FindingRecords::Record& record : r.records) {
    html += "<tr>" + Cell(Num(record.recno), "num");
    for (const std::string& v : record.values) html += Cell(v);
    html += "</tr>";
  }
  return html + "</table>";
}

// The files the run expected and did not find: problems like the findings.
std::string MissingFiles(const history::Run& run) {
  std::string html;
  for (const store::FileFacts& f : run.facts.files)
    if (!f.isexist)
      html += "<div class=\"finding\"><h3>" + HtmlEscape(f.filename) + "</h3><p class=\"desc bad\">文件不存在</p></div>";
  return html;
}

std::string Findings(const ReportData& data) {
  std::string html = "<h2>问题明细</h2>" + MissingFiles(data.run);
  if (data.run.findings.empty()) {
    // "No problem" is said only of a run that passed.
    if (data.run.facts.verdict == store::Verdict::Pass) return html + "<p class=\"ok\">没有发现问题。</p>";
    return html + "<p class=\"note\">问题记录中没有规则发现的问题；检查结论见报告开头。</p>";
  }
  if (!data.recordsKept) html += "<p class=\"note\">记录明细只保存在最近一次检查中，此处只列出问题及其取值分布。</p>";
  for (const history::Finding& f : data.run.findings) {
    html += "<div class=\"finding\"><h3>" + HtmlEscape(f.filename) + "　错误编号 " + HtmlEscape(f.errid) + "</h3>";
    html += "<p class=\"desc\">" + HtmlEscape(f.errdesc) + "</p>";
    if (f.total > 0) html += "<p class=\"desc\">涉及记录 " + Num(f.total) + " 条</p>";
    html += ValueCounts(f);
    auto records = data.records.find({f.fileid, f.finding});
    if (records != data.records.end() && !records->second.records.empty()) {
      html += "<p class=\"desc\">前 " + Num(static_cast<int64_t>(records->second.records.size())) + " 条记录：</p>";
      html += Records(data, records->second);
    }
    html += "</div>";
  }
  return html;
}

// The rules that did not run, file by file, with why.
std::string Skipped(const history::Run& run) {
  const store::RunFacts& f = run.facts;
  if (f.skipped.empty()) return "";
  std::string html = "<h2>未运行的规则</h2><p class=\"note\">未检查：规则应当运行但无法运行，检查不能算通过；"
                     "不适用：按传输模式不做的核对，不影响结论。</p><table>" +
                     Head({"文件名", "错误编号", "状态", "原因"});
  for (const store::RuleSkip& r : f.skipped) {
    auto file = std::find_if(f.files.begin(), f.files.end(), [&](const store::FileFacts& x) { return x.fileid == r.fileid; });
    html += "<tr>" + Cell(file == f.files.end() ? "" : file->filename) + Cell(r.errid) +
            Cell(store::RuleStateWord(r.state), r.state == store::RuleState::NotChecked ? "incomplete" : "none") +
            Cell(r.reason) + "</tr>";
  }
  return html + "</table>";
}

std::string ChangeRows(const std::vector<history::FindingChange>& changes, const char* cls, bool after) {
  std::string html;
  for (const history::FindingChange& c : changes)
    html += std::string("<tr class=\"") + cls + "\">" + Cell(c.filename) + Cell(c.errid) +
            Cell(after ? c.errdescAfter : c.errdescBefore) + Cell(Num(c.countBefore), "num") +
            Cell(Num(c.countAfter), "num") + "</tr>";
  return html;
}

std::string RunLine(const char* which, const history::Run& run) {
  return std::string("<tr><th>") + which + "</th>" + Cell(Num(run.id), "num") + Cell(run.facts.started, "time") +
         Cell(run.facts.fileType) + Cell(run.facts.sourceDir) + Cell(store::VerdictWord(run.facts.verdict)) + "</tr>";
}

std::string Comparison(const ReportData& data) {
  std::string html = "<h2>与上次检查比较</h2>";
  if (!data.comparison || !data.previous)
    return html + "<p class=\"note\">" + kNoPreviousRun + "</p>";
  const history::Comparison& c = *data.comparison;
  html += "<table>" + Head({"", "编号", "开始时间", "文件类型", "源文件目录", "结论"}) + RunLine("上次", *data.previous) +
          RunLine("本次", data.run) + "</table>";
  html += "<p>新增问题 " + Num(static_cast<int64_t>(c.added.size())) + " 个，消除问题 " +
          Num(static_cast<int64_t>(c.gone.size())) + " 个，本次未检查 " + Num(static_cast<int64_t>(c.unchecked.size())) +
          " 个，记录数变化 " + Num(static_cast<int64_t>(c.changed.size())) + " 个，本次缺少的文件 " +
          Num(static_cast<int64_t>(c.missing.size())) + " 个，内容变化的文件 " +
          Num(static_cast<int64_t>(c.files.size())) + " 个。</p>";
  if (c.added.size() + c.gone.size() + c.changed.size() + c.unchecked.size() > 0) {
    html += "<table>" + Head({"变化", "文件名", "错误编号", "错误描述", "上次记录数", "本次记录数"});
    html += ChangeRows(c.added, "new", true) + ChangeRows(c.changed, "changed", true) +
            ChangeRows(c.gone, "gone", false) + ChangeRows(c.unchecked, "unchecked", false);
    html += "</table>";
  }
  if (!c.missing.empty()) {
    html += "<h3>本次缺少的文件</h3><table>" + Head({"文件名"});
    for (const std::string& name : c.missing) html += "<tr>" + Cell(name, "bad") + "</tr>";
    html += "</table>";
  }
  if (!c.files.empty()) {
    html += "<h3>内容变化的文件</h3><table>" + Head({"文件名", "上次SHA-256", "本次SHA-256"});
    for (const history::FileChange& f : c.files)
      html += "<tr>" + Cell(f.filename) + Cell(f.sha256Before.empty() ? "（不存在）" : f.sha256Before, "sum") +
              Cell(f.sha256After.empty() ? "（不存在）" : f.sha256After, "sum") + "</tr>";
    html += "</table>";
  }
  return html;
}

}  // namespace

std::string HtmlEscape(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      case '\'': out += "&#39;"; break;
      default: out += c;
    }
  }
  return out;
}

std::string HtmlReport(const ReportData& data) {
  const store::RunFacts& f = data.run.facts;
  const std::string title = "检查报告 " + f.companyCode + " " + text::DashedDate(f.dataDate);
  std::string html = "<!DOCTYPE html>\n<html lang=\"zh-CN\"><head><meta charset=\"utf-8\">"
                     "<meta http-equiv=\"Content-Security-Policy\" content=\"default-src 'none'; style-src 'unsafe-inline'\">"
                     "<title>" + HtmlEscape(title) + "</title><style>" + kStyle + "</style></head><body>";
  html += Headline(f);
  html += "<h1>" + HtmlEscape(naming::SubmissionTitle(f.submission)) + "报告</h1>";
  html += "<p class=\"note\">" + HtmlEscape(f.companyCode + " " + f.companyName) + "　数据日期 " +
          HtmlEscape(text::DashedDate(f.dataDate)) + "　检查时间 " + HtmlEscape(f.started) + "</p>";
  html += Facts(data) + Summary(data) + Files(data.run) + Findings(data) + Skipped(data.run) + Comparison(data);
  return html + "</body></html>\n";
}

}  // namespace fc::report
