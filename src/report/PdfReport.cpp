#include "report/PdfReport.h"

#include "platform/FileReplace.h"
#include "report/PdfLayout.h"
#include "report/ReportModel.h"
#include "text/VisibleText.h"

namespace fc::report {

namespace fs = std::filesystem;

namespace {

using pdf::Bar;
using pdf::Canvas;
using pdf::kBreak;
using pdf::Rgb;
using pdf::Writer;

// A file name that may break after its "_" and "." (never inside a code).
std::string BreakableName(std::string_view name) {
  std::string out;
  for (char c : name) {
    out += c;
    if (c == '_' || c == '.') out += kBreak;
  }
  return out;
}

// A checksum that may break between groups of 16 digits.
std::string BreakableSum(std::string_view sum) {
  std::string out;
  for (size_t i = 0; i < sum.size(); i += 16) out += (i ? kBreak : "") + std::string(sum.substr(i, 16));
  return out;
}

Rgb Colour(Tone tone) {
  switch (tone) {
    case Tone::Pass: return pdf::kGreen;
    case Tone::Fail: return pdf::kRed;
    case Tone::Incomplete: return pdf::kAmber;
    case Tone::Unknown: break;
  }
  return pdf::kGrey;
}

// A text of the run as the page shows it: controls and direction marks as
// visible escapes, so that none reorders or hides what follows.
std::string Shown(std::string_view text) { return text::VisibleText(text); }

std::string CellText(const Column& column, const Cell& cell) {
  if (column.kind == Kind::FileName) return BreakableName(Shown(cell.text));
  if (column.kind == Kind::Checksum) return BreakableSum(Shown(cell.text));
  return Shown(cell.text);
}

std::optional<Rgb> Fill(Change change) {
  if (change == Change::Added) return pdf::kNewFill;
  if (change == Change::Gone) return pdf::kGoneFill;
  return std::nullopt;
}

pdf::Table Laid(const Table& t) {
  pdf::Table out;
  out.stretch = out.headingColumn = t.shape == Shape::Facts;
  for (const Column& c : t.columns)
    out.columns.push_back({c.code.empty() ? Shown(c.heading) : Shown(c.heading) + "\n" + Shown(c.code), c.kind == Kind::Number,
                           c.kind == Kind::Checksum, c.whole});
  for (const Row& row : t.rows) {
    std::vector<std::string>& cells = out.rows.emplace_back();
    for (size_t i = 0; i < row.cells.size(); ++i) cells.push_back(CellText(t.columns[i], row.cells[i]));
    out.fills.push_back(Fill(row.change));
  }
  return out;
}

void Say(Writer& w, const Paragraph& paragraph) {
  const Paragraph p{Shown(paragraph.text), paragraph.voice, paragraph.tone};
  switch (p.voice) {
    case Voice::Detail:
      if (p.tone) w.text(p.text, {pdf::kBodySize, true}, Colour(*p.tone));
      else w.text(p.text, {}, pdf::kInk);
      return;
    case Voice::Plain: w.text(p.text, {}, pdf::kInk, 4); return;
    case Voice::Legend: w.text(p.text, {8}, pdf::kGrey, 4); return;
    case Voice::Remark: w.text(p.text, {}, pdf::kGrey); return;
    case Voice::Closing: w.text(p.text, {}, p.tone ? Colour(*p.tone) : pdf::kGrey, 6); return;
  }
}

void Put(Writer& w, const Table& t) {
  if (!t.title.empty()) w.heading(Shown(t.title), 10, false);
  w.table(Laid(t));
}

// The bars of the tables with problems; grey ones say they were not checked whole.
void Put(Writer& w, const Bars& b) {
  if (b.counts.empty()) return;
  std::vector<Bar> bars;
  for (const TableCount& c : b.counts)
    bars.push_back({Shown(c.table), static_cast<double>(c.problems),
                    std::to_string(c.problems) + (c.unfinished ? "（未检查完整）" : "")});
  w.heading(b.title, 10, false);
  w.bars(bars);
}

void Put(Writer& w, const Paragraph& p) { Say(w, p); }

void Put(Writer& w, const Group& g) {
  w.heading(Shown(g.title), 10, false);
  for (const auto& part : g.parts) std::visit([&](const auto& p) { Put(w, p); }, part);
}

// The verdict first, then the title and whose data it is.
void Opening(Writer& w, const Headline& head) {
  const Rgb colour = Colour(head.tone);
  w.text("检查结论：" + head.word, {15, true}, colour, 1);
  w.text(Shown(head.line), {10}, colour, 8);
  w.text(Shown(head.title), {14, true}, pdf::kInk, 2);
  w.text(Shown(head.whose), {}, pdf::kGrey, 6);
}

// Lays the whole report out on `canvas`; the number of pages it took.
int LayOut(const ReportModel& model, Canvas& canvas, PangoFontMap* fonts, int totalPages) {
  Writer w(canvas, fonts, "检查编号 " + std::to_string(model.headline.id) + "　" + Shown(model.headline.whose), totalPages);
  Opening(w, model.headline);
  for (const Section& section : model.sections) {
    w.heading(section.title, 12, true);
    for (const Part& part : section.parts) std::visit([&](const auto& p) { Put(w, p); }, part);
  }
  w.finish();
  return w.pages();
}

// The number of pages, from a layout that is thrown away.
int CountPages(const ReportModel& model, PangoFontMap* fonts) {
  return LayOut(model, *pdf::PdfFile({}, model.headline.document), fonts, 0);
}

}  // namespace

bool WritePdfReport(const ReportData& data, const fs::path& file, std::string& error) {
  const pdf::FontMap fonts = pdf::ReportFonts(error);
  if (!fonts) return false;
  const ReportModel model = BuildReportModel(data);
  const int pages = CountPages(model, fonts.get());
  const platform::WriteResult written = platform::WriteFileByName(file, [&](const fs::path& temp, std::string& failure) {
    const std::unique_ptr<Canvas> canvas = pdf::PdfFile(temp, model.headline.document);
    LayOut(model, *canvas, fonts.get(), pages);
    return canvas->finish(failure);
  }, {});
  if (!written) error = platform::WriteFailureText(file, written);
  return static_cast<bool>(written);
}

bool WriteReportPageImages(const ReportData& data, const fs::path& dir, const std::string& prefix, int pages,
                           std::string& error) {
  const pdf::FontMap fonts = pdf::ReportFonts(error);
  if (!fonts) return false;
  const ReportModel model = BuildReportModel(data);
  const std::unique_ptr<Canvas> canvas = pdf::PageImages(dir, prefix, pages);
  LayOut(model, *canvas, fonts.get(), CountPages(model, fonts.get()));
  return canvas->finish(error);
}

}  // namespace fc::report
