#include "report/HtmlReport.h"

#include <algorithm>
#include <cstdio>
#include <map>

namespace fc::report {

namespace {

constexpr const char* kStyle = R"(
body{font-family:"WenQuanYi Micro Hei","Microsoft YaHei","PingFang SC",sans-serif;font-size:10.5pt;color:#222;margin:24px;}
h1{font-size:17pt;margin:0 0 4px 0;}h2{font-size:13pt;border-bottom:2px solid #3a6ea5;padding-bottom:2px;margin-top:22px;}
h3{font-size:11pt;margin:14px 0 4px 0;}
table{border-collapse:collapse;margin:4px 0 10px 0;}th,td{border:1px solid #bbb;padding:2px 6px;text-align:left;vertical-align:top;}
th{background:#e8eef5;white-space:nowrap;}td.time{white-space:nowrap;}td.num{text-align:right;}td.sum{font-family:monospace;font-size:8pt;word-break:break-all;}
table.facts th{width:9em;}.ok{color:#17692a;}.bad{color:#b00020;font-weight:bold;}.none{color:#777;}
tr.new td{background:#fde4e4;}tr.gone td{background:#e2f5e4;}
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
  html += Fact("数据日期", SlashedDate(f.dataDate));
  if (f.submission == "identity") html += Fact("比对文件日期", SlashedDate(f.comparisonDate));
  if (f.submission == "account") {
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

std::string TableChart(const std::vector<std::pair<std::string, int>>& counts, int most) {
  std::string html = "<table class=\"chart\" cellspacing=\"0\">";
  for (const auto& [table, n] : counts) {
    const int filled = std::max(n * 360 / most, 4);
    html += "<tr><td>" + HtmlEscape(table) + "</td><td width=\"" + Num(filled) + "\" bgcolor=\"" +
            (n ? "#c0392b" : "#8fbf8f") + "\"></td><td width=\"" + Num(364 - filled) + "\">" + Num(n) + "</td></tr>";
  }
  return html + "</table>";
}

std::string Chart(const history::Run& run, ChartStyle style) {
  const auto counts = FindingsPerTable(run);
  if (counts.empty()) return "";
  int most = 1;
  for (const auto& c : counts) most = std::max(most, c.second);
  if (style == ChartStyle::Table) return TableChart(counts, most);
  constexpr int kLabel = 190, kBar = 360, kRow = 24;
  const int height = static_cast<int>(counts.size()) * kRow + 8;
  std::string svg = "<svg class=\"chart\" xmlns=\"http://www.w3.org/2000/svg\" width=\"" + Num(kLabel + kBar + 50) +
                    "\" height=\"" + Num(height) + "\" role=\"img\" aria-label=\"各数据表问题数\">";
  int y = 4;
  for (const auto& [table, n] : counts) {
    const int width = n * kBar / most;
    svg += "<text x=\"0\" y=\"" + Num(y + 15) + "\">" + HtmlEscape(table) + "</text>";
    svg += "<rect x=\"" + Num(kLabel) + "\" y=\"" + Num(y + 2) + "\" width=\"" + Num(std::max(width, 1)) +
           "\" height=\"16\" fill=\"" + (n ? "#c0392b" : "#8fbf8f") + "\"/>";
    svg += "<text x=\"" + Num(kLabel + width + 6) + "\" y=\"" + Num(y + 15) + "\">" + Num(n) + "</text>";
    y += kRow;
  }
  return svg + "</svg>";
}

std::string Summary(const ReportData& data, ChartStyle style) {
  const history::RunSummary s = history::Summarize(data.run);
  std::string html = "<h2>检查概况</h2><table>" + Head({"应有文件", "存在文件", "通过检查", "问题"}) + "<tr>";
  for (int n : {s.expected, s.present, s.passed, s.findings}) html += Cell(Num(n), "num");
  html += "</tr></table><h3>各数据表问题数</h3>" + Chart(data.run, style);
  return html;
}

std::string Files(const history::Run& run) {
  std::string html = "<h2>文件清单</h2><table>" +
                     Head({"序号", "文件描述", "文件名", "大小（字节）", "修改时间", "记录数", "SHA-256", "结果"});
  for (const store::FileFacts& f : run.facts.files) {
    html += "<tr>" + Cell(Num(f.groupno), "num") + Cell(f.filecat) + Cell(f.filename) +
            Cell(f.size ? Num(*f.size) : "", "num") + Cell(f.mtime, "time") + Cell(f.records ? Num(*f.records) : "", "num") +
            Cell(f.sha256, "sum") + Cell(FileResult(f), f.isok ? "ok" : "bad") + "</tr>";
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

std::string Records(const store::FindingRecords& r) {
  std::string html = "<table><tr><th>记录号</th>";
  for (const std::string& field : r.fields) html += "<th>" + HtmlEscape(field) + "</th>";
  html += "</tr>";
  for (const store::FindingRecords::Record& record : r.records) {
    html += "<tr>" + Cell(Num(record.recno), "num");
    for (const std::string& v : record.values) html += Cell(v);
    html += "</tr>";
  }
  return html + "</table>";
}

std::string Findings(const ReportData& data) {
  std::string html = "<h2>问题明细</h2>";
  if (data.run.findings.empty()) return html + "<p class=\"ok\">没有发现问题。</p>";
  if (!data.recordsKept) html += "<p class=\"note\">记录明细只保存在最近一次检查中，此处只列出问题及其取值分布。</p>";
  for (const history::Finding& f : data.run.findings) {
    html += "<div class=\"finding\"><h3>" + HtmlEscape(f.filename) + "　错误编号 " + HtmlEscape(f.errid) + "</h3>";
    html += "<p class=\"desc\">" + HtmlEscape(f.errdesc) + "</p>";
    if (f.total > 0) html += "<p class=\"desc\">涉及记录 " + Num(f.total) + " 条</p>";
    html += ValueCounts(f);
    auto records = data.records.find({f.fileid, f.finding});
    if (records != data.records.end() && !records->second.records.empty()) {
      html += "<p class=\"desc\">前 " + Num(static_cast<int64_t>(records->second.records.size())) + " 条记录：</p>";
      html += Records(records->second);
    }
    html += "</div>";
  }
  return html;
}

std::string ChangeRows(const std::vector<history::FindingChange>& changes, const char* cls, bool after) {
  std::string html;
  for (const history::FindingChange& c : changes)
    html += std::string("<tr class=\"") + cls + "\">" + Cell(c.filename) + Cell(c.errid) +
            Cell(after ? c.errdescAfter : c.errdescBefore) + Cell(Num(c.countBefore), "num") +
            Cell(Num(c.countAfter), "num") + "</tr>";
  return html;
}

std::string Comparison(const ReportData& data) {
  std::string html = "<h2>与上次检查比较</h2>";
  if (!data.comparison || !data.previous)
    return html + "<p class=\"note\">没有同一证券公司、同一数据日期的上次检查记录。</p>";
  const history::Comparison& c = *data.comparison;
  html += "<p>上次检查：编号 " + Num(data.previous->id) + "，开始时间 " + HtmlEscape(data.previous->facts.started) +
          "。新增问题 " + Num(static_cast<int64_t>(c.added.size())) + " 个，消除问题 " +
          Num(static_cast<int64_t>(c.gone.size())) + " 个，记录数变化 " +
          Num(static_cast<int64_t>(c.changed.size())) + " 个，内容变化的文件 " +
          Num(static_cast<int64_t>(c.files.size())) + " 个。</p>";
  if (c.added.size() + c.gone.size() + c.changed.size() > 0) {
    html += "<table>" + Head({"文件名", "错误编号", "错误描述", "上次记录数", "本次记录数"});
    html += ChangeRows(c.added, "new", true) + ChangeRows(c.changed, "changed", true) + ChangeRows(c.gone, "gone", false);
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

std::string HtmlReport(const ReportData& data, ChartStyle chart) {
  const store::RunFacts& f = data.run.facts;
  const std::string title = "检查报告 " + f.companyCode + " " + SlashedDate(f.dataDate);
  std::string html = "<!DOCTYPE html>\n<html lang=\"zh-CN\"><head><meta charset=\"utf-8\">"
                     "<meta http-equiv=\"Content-Security-Policy\" content=\"default-src 'none'; style-src 'unsafe-inline'\">"
                     "<title>" + HtmlEscape(title) + "</title><style>" + kStyle + "</style></head><body>";
  html += "<h1>" + HtmlEscape(SubmissionTitle(f.submission)) + "报告</h1>";
  html += "<p class=\"note\">" + HtmlEscape(f.companyCode + " " + f.companyName) + "　数据日期 " +
          HtmlEscape(SlashedDate(f.dataDate)) + "　检查时间 " + HtmlEscape(f.started) + "</p>";
  html += Facts(data) + Summary(data, chart) + Files(data.run) + Findings(data) + Comparison(data);
  return html + "</body></html>\n";
}

}  // namespace fc::report
