#include "report/HtmlReport.h"

#include <algorithm>

#include "report/ReportModel.h"
#include "text/VisibleText.h"

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

// A text of the run as the page shows it: its controls and direction marks
// as visible escapes, its markup characters as references.
std::string Shown(std::string_view text) { return HtmlEscape(text::VisibleText(text)); }

const char* ToneClass(Tone tone) {
  switch (tone) {
    case Tone::Pass: return "ok";
    case Tone::Fail: return "bad";
    case Tone::Incomplete: return "incomplete";
    case Tone::Unknown: break;
  }
  return "none";
}

// A cell's class: its tone's, or its column's.
const char* CellClass(const Column& column, const Cell& cell) {
  if (cell.tone) return ToneClass(*cell.tone);
  switch (column.kind) {
    case Kind::Number: return "num";
    case Kind::Time: return "time";
    case Kind::Checksum: return "sum";
    case Kind::Text:
    case Kind::FileName: break;
  }
  return nullptr;
}

const char* RowClass(Change change) {
  switch (change) {
    case Change::Added: return "new";
    case Change::Changed: return "changed";
    case Change::Gone: return "gone";
    case Change::Unchecked: return "unchecked";
    case Change::None: break;
  }
  return nullptr;
}

std::string Td(std::string_view text, const char* cls = nullptr) {
  return std::string("<td") + (cls ? std::string(" class=\"") + cls + "\"" : "") + ">" + Shown(text) + "</td>";
}

std::string Th(std::string_view text) { return "<th>" + Shown(text) + "</th>"; }

// A column's heading: a field's meaning with its code beneath.
std::string HeadCell(const Column& c) {
  if (c.code.empty()) return Th(c.heading);
  return "<th>" + Shown(c.heading) + "<small>" + Shown(c.code) + "</small></th>";
}

std::string Lay(const Table& t) {
  std::string html = t.title.empty() ? "" : "<h3>" + Shown(t.title) + "</h3>";
  html += t.shape == Shape::Facts ? "<table class=\"facts\">" : "<table>";
  if (t.shape != Shape::Facts) {
    html += "<tr>";
    for (const Column& c : t.columns) html += HeadCell(c);
    html += "</tr>";
  }
  for (const Row& row : t.rows) {
    const char* cls = RowClass(row.change);
    html += cls ? std::string("<tr class=\"") + cls + "\">" : std::string("<tr>");
    for (size_t i = 0; i < row.cells.size(); ++i)
      html += i == 0 && t.shape != Shape::Grid ? Th(row.cells[i].text) : Td(row.cells[i].text, CellClass(t.columns[i], row.cells[i]));
    html += "</tr>";
  }
  return html + "</table>";
}

std::string Lay(const Paragraph& p) {
  const char* cls = "note";
  if (p.voice == Voice::Plain) cls = nullptr;
  else if (p.voice == Voice::Detail) cls = p.tone ? "desc bad" : "desc";
  else if (p.voice == Voice::Closing && p.tone) cls = ToneClass(*p.tone);
  return (cls ? std::string("<p class=\"") + cls + "\">" : std::string("<p>")) + Shown(p.text) + "</p>";
}

// Red for problems; green only for a table checked whole without any; grey otherwise.
const char* BarColour(const TableCount& c) {
  if (c.problems) return "#c0392b";
  return c.unfinished ? "#bbbbbb" : "#8fbf8f";
}

std::string Lay(const Bars& bars) {
  std::string html = "<h3>" + Shown(bars.title) + "</h3>";
  if (bars.counts.empty()) return html;
  int most = 1;
  for (const TableCount& c : bars.counts) most = std::max(most, c.problems);
  constexpr int kLabel = 190, kBar = 360, kRow = 24;
  const int height = static_cast<int>(bars.counts.size()) * kRow + 8;
  std::string svg = "<svg class=\"chart\" xmlns=\"http://www.w3.org/2000/svg\" width=\"" + std::to_string(kLabel + kBar + 50) +
                    "\" height=\"" + std::to_string(height) + "\" role=\"img\" aria-label=\"各数据表问题数\">";
  int y = 4;
  for (const TableCount& c : bars.counts) {
    const int width = c.problems * kBar / most;
    svg += "<text x=\"0\" y=\"" + std::to_string(y + 15) + "\">" + Shown(c.table) + "</text>";
    svg += "<rect x=\"" + std::to_string(kLabel) + "\" y=\"" + std::to_string(y + 2) + "\" width=\"" + std::to_string(std::max(width, 1)) +
           "\" height=\"16\" fill=\"" + BarColour(c) + "\"/>";
    svg += "<text x=\"" + std::to_string(kLabel + width + 6) + "\" y=\"" + std::to_string(y + 15) + "\">" + std::to_string(c.problems) + "</text>";
    y += kRow;
  }
  return html + svg + "</svg>";
}

std::string Lay(const Group& g) {
  std::string html = "<div class=\"finding\"><h3>" + Shown(g.title) + "</h3>";
  for (const auto& part : g.parts) html += std::visit([](const auto& p) { return Lay(p); }, part);
  return html + "</div>";
}

const char* VerdictClass(Tone tone) {
  switch (tone) {
    case Tone::Pass: return "pass";
    case Tone::Fail: return "fail";
    case Tone::Incomplete: return "incomplete";
    case Tone::Unknown: break;
  }
  return "unknown";
}

// The verdict as the report's headline: its word large, its reason beside
// it, framed in its colour (never the colour alone); then the title and
// whose data it is.
std::string Lay(const Headline& head) {
  return std::string("<div class=\"verdict ") + VerdictClass(head.tone) + "\"><b>检查结论：" + head.word + "</b>" +
         Shown(store::VerdictReason(head.line)) + "</div><h1>" + Shown(head.title) + "</h1><p class=\"note\">" +
         Shown(head.whose) + "</p>";
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
  const ReportModel model = BuildReportModel(data);
  std::string html = "<!DOCTYPE html>\n<html lang=\"zh-CN\"><head><meta charset=\"utf-8\">"
                     "<meta http-equiv=\"Content-Security-Policy\" content=\"default-src 'none'; style-src 'unsafe-inline'\">"
                     "<title>" + Shown(model.headline.document) + "</title><style>" + kStyle + "</style></head><body>";
  html += Lay(model.headline);
  for (const Section& section : model.sections) {
    html += "<h2>" + Shown(section.title) + "</h2>";
    for (const Part& part : section.parts) html += std::visit([](const auto& p) { return Lay(p); }, part);
  }
  return html + "</body></html>\n";
}

}  // namespace fc::report
