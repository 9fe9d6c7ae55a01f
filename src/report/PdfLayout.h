// report/PdfLayout.h - A4 pages laid out top to bottom with Cairo and Pango:
// paragraphs, headings kept with what follows them, tables across the
// body's width, bars, and a footer on every page naming the document and
// numbering the page. It knows nothing of checks; PdfReport lays the report
// out with it.
//
//   fc::report::pdf::FontMap fonts = fc::report::pdf::ReportFonts(error);
//   std::unique_ptr<fc::report::pdf::Canvas> canvas = fc::report::pdf::PdfFile(file, "检查报告 100001 2008-08-08");
//   fc::report::pdf::Writer w(*canvas, fonts.get(), "footer text", pages);
//   w.heading("文件清单", 12, true);
//   w.table(table);
//   w.finish();
//   if (!canvas->finish(error)) fail(error);
//
// Tables: columns share the width by their texts, long texts wrap (at
// blanks and at kBreak, which draws as nothing), numbers never; a table too
// wide at the body's size is set smaller. A table that runs over a page
// goes on with its heading row repeated; a heading never ends a page. A
// paragraph or a cell taller than a page is cut where the page ends, its
// last line ending in "…". Pango breaks the Chinese lines and picks the
// glyphs from WenQuanYi Micro Hei (ReportFonts). A layout drawn on a canvas
// that goes nowhere counts the pages, for a footer that says "of N".
#pragma once

#include <cairo.h>
#include <pango/pangocairo.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace fc::report::pdf {

inline constexpr double kBodySize = 9;  // points
inline constexpr const char* kBreak = "\u200B";  // a place a line may break, drawn as nothing

struct Rgb {
  double r, g, b;
};
inline constexpr Rgb kInk{0.13, 0.13, 0.13}, kGrey{0.4, 0.4, 0.4}, kGreen{0.09, 0.41, 0.16}, kRed{0.69, 0, 0.13},
    kAmber{0.7, 0.35, 0}, kNewFill{0.99, 0.89, 0.89}, kGoneFill{0.89, 0.96, 0.89};

struct Font {
  double size = kBodySize;
  bool bold = false;
  bool mono = false;
};

using FontMap = std::unique_ptr<PangoFontMap, decltype(&g_object_unref)>;

// The fonts a report is set in: the system's where the package brings the
// font, else the ones shipped with the program and no others; null with
// `error` when those cannot be found. One a report, as Pango's font maps are
// not shared between threads.
FontMap ReportFonts(std::string& error);

// Where the pages go.
class Canvas {
 public:
  virtual ~Canvas() = default;
  virtual cairo_t* cr() = 0;
  // Ends the page drawn and starts the next one.
  virtual void nextPage() = 0;
  // Ends the last page; false with `error` when the output failed.
  virtual bool finish(std::string& error) = 0;
};

// A PDF file titled `title`, or nowhere (a trial layout that counts the
// pages) when `file` is empty.
std::unique_ptr<Canvas> PdfFile(const std::filesystem::path& file, const std::string& title);

// The first `pages` pages as PNG images `dir`/`prefix`-1.png, ..., at 96 dots per inch.
std::unique_ptr<Canvas> PageImages(const std::filesystem::path& dir, const std::string& prefix, int pages);

struct Column {
  std::string heading;
  bool numeric = false;  // right-aligned, never broken
  bool mono = false;     // small monospace (checksums)
  bool whole = false;    // kept on one line while the table fits
};

struct Table {
  std::vector<Column> columns;
  std::vector<std::vector<std::string>> rows;
  std::vector<std::optional<Rgb>> fills = {};  // per row, when some rows are marked
  bool stretch = false;                        // the last column takes the room left
  bool headingColumn = false;                  // the first column is shaded like the heading row
};

// One bar of a chart: its length in proportion to `value` (none for 0),
// `caption` after it.
struct Bar {
  std::string label;
  double value = 0;
  std::string caption;
};

class Writer {
 public:
  Writer(Canvas& canvas, PangoFontMap* fonts, std::string footer, int totalPages);
  ~Writer();
  Writer(const Writer&) = delete;
  Writer& operator=(const Writer&) = delete;

  int pages() const { return page_; }
  // Draws the last page's footer.
  void finish() { drawFooter(); }

  // A paragraph across the body's width, `after` points above the next.
  void text(const std::string& text, Font font, Rgb color, double after = 3);
  // A heading kept with what follows it: drawn when that is placed.
  void heading(const std::string& text, double size, bool rule);
  void table(const Table& table);
  void bars(const std::vector<Bar>& bars);

 private:
  using Layout = std::unique_ptr<PangoLayout, decltype(&g_object_unref)>;
  struct Pending {
    Layout layout;
    bool rule;  // a line under it
  };

  cairo_t* cr() { return canvas_.cr(); }
  void fill(Rgb c) { cairo_set_source_rgb(cr(), c.r, c.g, c.b); }
  Layout make(const std::string& text, Font font, double width, PangoAlignment align = PANGO_ALIGN_LEFT);
  void draw(PangoLayout* layout, double x, double y, Rgb color);
  void place(double height);
  void newPage();
  void drawFooter();
  std::optional<std::vector<double>> widths(const Table& t, double size);
  // Draws a row whose cells are cut to `room` (on a new page, under the
  // heading row again, when it does not fit on this one); its height.
  double row(const Table& t, const std::vector<std::string>& cells, const std::vector<double>& widths, double size,
             bool heading, std::optional<Rgb> fillColor, double room);

  Canvas& canvas_;
  std::string footer_;
  int totalPages_;
  PangoContext* context_;
  int page_ = 1;
  double y_;
  std::vector<Pending> pending_;
};

}  // namespace fc::report::pdf
