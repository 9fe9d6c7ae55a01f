#include "report/PdfLayout.h"

#include <cairo-pdf.h>

#include <algorithm>

#include "platform/Utf8Paths.h"

namespace fc::report::pdf {

namespace fs = std::filesystem;

namespace {

constexpr double kPageWidth = 595.28;   // A4 in points
constexpr double kPageHeight = 841.89;
constexpr double kMargin = 40;          // about 14 mm on every side
constexpr double kSmallestSize = 5.5;   // a wide table is set smaller down to this
constexpr double kMonoScale = 0.8;      // checksums beside the body text
constexpr double kPad = 2.5;            // inside a cell
constexpr double kWidestUnbroken = 70;  // a wrapping cell's longest unbroken run counts at most this
constexpr double kImageScale = 96.0 / 72;  // page images at 96 dots per inch
constexpr double kBodyWidth = kPageWidth - 2 * kMargin;
constexpr double kBottom = kPageHeight - kMargin;
constexpr const char* kSans = "WenQuanYi Micro Hei";
constexpr const char* kMono = "WenQuanYi Micro Hei Mono";
constexpr Rgb kRule{0.23, 0.43, 0.65}, kHeadFill{0.91, 0.93, 0.96}, kBorder{0.73, 0.73, 0.73}, kBarFill{0.75, 0.22, 0.17};

// Never broken across lines: record numbers, counts, amounts, dates.
bool LooksNumeric(std::string_view text) {
  return !text.empty() && text.find_first_not_of("0123456789.-+ ") == std::string_view::npos;
}

bool CairoOk(cairo_status_t status, std::string& error) {
  if (status == CAIRO_STATUS_SUCCESS) return true;
  error = cairo_status_to_string(status);
  return false;
}

double Width(PangoLayout* layout) {
  int w = 0, h = 0;
  pango_layout_get_size(layout, &w, &h);
  return static_cast<double>(w) / PANGO_SCALE;
}

double Height(PangoLayout* layout) {
  int w = 0, h = 0;
  pango_layout_get_size(layout, &w, &h);
  return static_cast<double>(h) / PANGO_SCALE;
}

// The bytes of the lines of `layout` that end within `room` from its top.
size_t BytesWithin(PangoLayout* layout, double room) {
  size_t end = 0;
  PangoLayoutIter* line = pango_layout_get_iter(layout);
  do {
    PangoRectangle extent;
    pango_layout_iter_get_line_extents(line, nullptr, &extent);
    if (static_cast<double>(extent.y + extent.height) / PANGO_SCALE > room) break;
    const PangoLayoutLine* shown = pango_layout_iter_get_line_readonly(line);
    end = static_cast<size_t>(shown->start_index + shown->length);
  } while (pango_layout_iter_next_line(line));
  pango_layout_iter_free(line);
  return end;
}

// A layout taller than `room` keeps the lines that fit, the last one ending
// in "…" so that the reader sees the text goes on; what is cut is not in the
// file at all (a copy of the text is what the page shows).
void Cut(PangoLayout* layout, double room) {
  if (Height(layout) <= room) return;
  std::string text(pango_layout_get_text(layout), BytesWithin(layout, room));
  do {
    while (!text.empty() && (static_cast<unsigned char>(text.back()) & 0xC0) == 0x80) text.pop_back();
    if (!text.empty()) text.pop_back();  // the last character, whole
    pango_layout_set_text(layout, (text + "…").c_str(), -1);
  } while (!text.empty() && Height(layout) > room);
}

class PdfCanvas final : public Canvas {
 public:
  PdfCanvas(const fs::path& file, const std::string& title) {
    surface_ = file.empty()
                   ? cairo_pdf_surface_create_for_stream([](void*, const unsigned char*, unsigned) {
                       return CAIRO_STATUS_SUCCESS;
                     }, nullptr, kPageWidth, kPageHeight)
                   : cairo_pdf_surface_create(platform::Utf8Of(file).c_str(), kPageWidth, kPageHeight);
    cairo_pdf_surface_set_metadata(surface_, CAIRO_PDF_METADATA_TITLE, title.c_str());
    cairo_pdf_surface_set_metadata(surface_, CAIRO_PDF_METADATA_CREATOR, "filingcheck");
    cr_ = cairo_create(surface_);
  }
  ~PdfCanvas() override {
    cairo_destroy(cr_);
    cairo_surface_destroy(surface_);
  }
  cairo_t* cr() override { return cr_; }
  void nextPage() override { cairo_show_page(cr_); }
  bool finish(std::string& error) override {
    cairo_show_page(cr_);
    cairo_surface_finish(surface_);
    return CairoOk(cairo_status(cr_), error) && CairoOk(cairo_surface_status(surface_), error);
  }

 private:
  cairo_surface_t* surface_;
  cairo_t* cr_;
};

class ImageCanvas final : public Canvas {
 public:
  ImageCanvas(fs::path dir, std::string prefix, int pages) : dir_(std::move(dir)), prefix_(std::move(prefix)), pages_(pages) {
    start();
  }
  ~ImageCanvas() override { end(); }
  cairo_t* cr() override { return cr_; }
  void nextPage() override {
    save();
    end();
    ++page_;
    start();
  }
  bool finish(std::string& error) override {
    save();
    error = error_;
    return error_.empty();
  }

 private:
  void start() {
    surface_ = cairo_image_surface_create(CAIRO_FORMAT_RGB24, static_cast<int>(kPageWidth * kImageScale),
                                          static_cast<int>(kPageHeight * kImageScale));
    cr_ = cairo_create(surface_);
    cairo_set_source_rgb(cr_, 1, 1, 1);
    cairo_paint(cr_);
    cairo_scale(cr_, kImageScale, kImageScale);
  }
  void end() {
    cairo_destroy(cr_);
    cairo_surface_destroy(surface_);
  }
  void save() {
    if (page_ > pages_ || !error_.empty()) return;
    const fs::path file = dir_ / (prefix_ + "-" + std::to_string(page_) + ".png");
    CairoOk(cairo_surface_write_to_png(surface_, platform::Utf8Of(file).c_str()), error_);
    if (!error_.empty()) error_ = platform::Utf8Of(file) + "：" + error_;
  }

  fs::path dir_;
  std::string prefix_;
  int pages_;
  int page_ = 1;
  std::string error_;
  cairo_surface_t* surface_ = nullptr;
  cairo_t* cr_ = nullptr;
};

}  // namespace

std::unique_ptr<Canvas> PdfFile(const fs::path& file, const std::string& title) {
  return std::make_unique<PdfCanvas>(file, title);
}

std::unique_ptr<Canvas> PageImages(const fs::path& dir, const std::string& prefix, int pages) {
  return std::make_unique<ImageCanvas>(dir, prefix, pages);
}

Writer::Writer(Canvas& canvas, PangoFontMap* fonts, std::string footer, int totalPages)
    : canvas_(canvas), footer_(std::move(footer)), totalPages_(totalPages), y_(kMargin) {
  context_ = pango_font_map_create_context(fonts);
  pango_cairo_context_set_resolution(context_, 72);  // sizes in points, the page's unit
  cairo_font_options_t* options = cairo_font_options_create();
  // Metrics unhinted: a PDF and its page images break their lines alike.
  cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
  pango_cairo_context_set_font_options(context_, options);
  cairo_font_options_destroy(options);
}

Writer::~Writer() { g_object_unref(context_); }

void Writer::text(const std::string& text, Font font, Rgb color, double after) {
  Layout layout = make(text, font, kBodyWidth);
  double room = kBottom - kMargin;  // a page below the headings it is kept with
  for (const Pending& p : pending_) room -= Height(p.layout.get()) + 8;
  Cut(layout.get(), room);
  const double height = Height(layout.get());
  place(height);
  draw(layout.get(), kMargin, y_, color);
  y_ += height + after;
}

void Writer::heading(const std::string& text, double size, bool rule) {
  Layout layout = make(text, {size, true}, kBodyWidth);
  pending_.push_back({std::move(layout), rule});
}

void Writer::bars(const std::vector<Bar>& bars) {
  double most = 1;
  for (const Bar& b : bars) most = std::max(most, b.value);
  constexpr double kLabel = 150, kLongest = 300, kRow = 15;
  for (const Bar& b : bars) {
    place(kRow);
    Layout label = make(b.label, {}, kLabel - 6);
    draw(label.get(), kMargin, y_ + 1, kInk);
    const double length = kLongest * b.value / most;
    if (b.value > 0) {
      fill(kBarFill);
      cairo_rectangle(cr(), kMargin + kLabel, y_ + 2, length, kRow - 5);
      cairo_fill(cr());
    }
    Layout caption = make(b.caption, {}, -1);
    draw(caption.get(), kMargin + kLabel + length + 4, y_ + 1, kInk);
    y_ += kRow;
  }
  y_ += 4;
}

Writer::Layout Writer::make(const std::string& text, Font font, double width, PangoAlignment align) {
  Layout layout(pango_layout_new(context_), g_object_unref);
  PangoFontDescription* description = pango_font_description_new();
  pango_font_description_set_family(description, font.mono ? kMono : kSans);
  pango_font_description_set_absolute_size(description, (font.mono ? font.size * kMonoScale : font.size) * PANGO_SCALE);
  if (font.bold) pango_font_description_set_weight(description, PANGO_WEIGHT_BOLD);
  pango_layout_set_font_description(layout.get(), description);
  pango_font_description_free(description);
  if (width > 0) {
    pango_layout_set_width(layout.get(), static_cast<int>(width * PANGO_SCALE));
    pango_layout_set_wrap(layout.get(), PANGO_WRAP_WORD_CHAR);
    pango_layout_set_alignment(layout.get(), align);
  }
  pango_layout_set_text(layout.get(), text.c_str(), -1);
  return layout;
}

void Writer::draw(PangoLayout* layout, double x, double y, Rgb color) {
  fill(color);
  cairo_move_to(cr(), x, y);
  pango_cairo_show_layout(cr(), layout);
}

// Makes room for `height` below the pending headings, on a new page when
// this one has too little left, then draws the headings.
void Writer::place(double height) {
  double need = height;
  for (const Pending& p : pending_) need += Height(p.layout.get()) + 6;
  if (y_ + need > kBottom && y_ > kMargin) newPage();
  for (const Pending& p : pending_) {
    y_ += 4;
    draw(p.layout.get(), kMargin, y_, kInk);
    y_ += Height(p.layout.get()) + 1;
    if (p.rule) {
      fill(kRule);
      cairo_rectangle(cr(), kMargin, y_, kBodyWidth, 1.2);
      cairo_fill(cr());
    }
    y_ += 3;
  }
  pending_.clear();
}

void Writer::newPage() {
  drawFooter();
  canvas_.nextPage();
  ++page_;
  y_ = kMargin;
}

void Writer::drawFooter() {
  const double y = kPageHeight - kMargin + 6;
  fill(kBorder);
  cairo_rectangle(cr(), kMargin, y - 2, kBodyWidth, 0.5);
  cairo_fill(cr());
  const std::string number = "第 " + std::to_string(page_) + " 页" +
                             (totalPages_ > 0 ? "，共 " + std::to_string(totalPages_) + " 页" : "");
  Layout right = make(number, {7}, kBodyWidth, PANGO_ALIGN_RIGHT);
  Layout left = make(footer_, {7}, kBodyWidth - Width(make(number, {7}, -1).get()) - 12);
  draw(left.get(), kMargin, y, kGrey);
  draw(right.get(), kMargin, y, kGrey);
}

// Column widths for the table at font size `size`: the natural widths when
// they fit, else each column's narrowest (numbers whole, other texts their
// longest unbroken run) with the room left shared in proportion to what
// each would like more; nothing when even the narrowest do not fit.
std::optional<std::vector<double>> Writer::widths(const Table& t, double size) {
  const size_t n = t.columns.size();
  std::vector<double> natural(n, 0), narrowest(n, 0);
  auto measure = [&](size_t c, const std::string& text, bool bold) {
    const Column& column = t.columns[c];
    const Font font{size, bold, column.mono && !bold};
    const double whole = Width(make(text, font, -1).get()) + 2 * kPad;
    natural[c] = std::max(natural[c], whole);
    if (!bold && (column.numeric || column.whole || LooksNumeric(text))) {
      narrowest[c] = std::max(narrowest[c], whole);
      return;
    }
    // The longest run without a break: between blanks and marked breaks.
    std::string run;
    auto flush = [&] {
      if (!run.empty()) narrowest[c] = std::max(narrowest[c], std::min(kWidestUnbroken, Width(make(run, font, -1).get())) + 2 * kPad);
      run.clear();
    };
    for (size_t i = 0; i < text.size(); ++i) {
      if (text[i] == ' ') flush();
      else if (text.compare(i, 3, kBreak) == 0) {
        flush();
        i += 2;
      } else run += text[i];
    }
    flush();
  };
  for (size_t c = 0; c < n; ++c) measure(c, t.columns[c].heading, true);
  for (const auto& cells : t.rows)
    for (size_t c = 0; c < n && c < cells.size(); ++c) measure(c, cells[c], false);
  double sumNatural = 0, sumNarrowest = 0;
  for (size_t c = 0; c < n; ++c) {
    sumNatural += natural[c];
    sumNarrowest += narrowest[c];
  }
  if (sumNatural <= kBodyWidth) {
    if (t.stretch) natural.back() += kBodyWidth - sumNatural;
    return natural;
  }
  if (sumNarrowest > kBodyWidth) return std::nullopt;
  const double share = (kBodyWidth - sumNarrowest) / (sumNatural - sumNarrowest);
  std::vector<double> out(n);
  for (size_t c = 0; c < n; ++c) out[c] = narrowest[c] + (natural[c] - narrowest[c]) * share;
  return out;
}

double Writer::row(const Table& t, const std::vector<std::string>& cells, const std::vector<double>& widths,
                   double size, bool heading, std::optional<Rgb> fillColor, double room) {
  std::vector<Layout> layouts;
  double height = 0;
  for (size_t c = 0; c < widths.size(); ++c) {
    const Column& column = t.columns[c];
    const std::string& text = c < cells.size() ? cells[c] : std::string();
    const bool numeric = !heading && column.numeric;
    const Font font{size, heading, column.mono && !heading};
    layouts.push_back(make(text, font, widths[c] - 2 * kPad, numeric ? PANGO_ALIGN_RIGHT : PANGO_ALIGN_LEFT));
    Cut(layouts.back().get(), room - 2 * kPad);
    height = std::max(height, Height(layouts.back().get()) + 2 * kPad);
  }
  if (y_ + height > kBottom) {
    newPage();
    if (!heading) row(t, [&] {
      std::vector<std::string> names;
      for (const Column& column : t.columns) names.push_back(column.heading);
      return names;
    }(), widths, size, true, std::nullopt, kBottom - kMargin);
  }
  double x = kMargin;
  for (size_t c = 0; c < widths.size(); ++c) {
    std::optional<Rgb> background = heading || (t.headingColumn && c == 0) ? std::optional<Rgb>(kHeadFill) : fillColor;
    if (background) {
      fill(*background);
      cairo_rectangle(cr(), x, y_, widths[c], height);
      cairo_fill(cr());
    }
    fill(kBorder);
    cairo_set_line_width(cr(), 0.5);
    cairo_rectangle(cr(), x, y_, widths[c], height);
    cairo_stroke(cr());
    draw(layouts[c].get(), x + kPad, y_ + kPad, kInk);
    x += widths[c];
  }
  y_ += height;
  return height;
}

void Writer::table(const Table& t) {
  if (t.columns.empty()) return;
  double size = kBodySize;
  std::optional<std::vector<double>> fitted = widths(t, size);
  while (!fitted && size > kSmallestSize) fitted = widths(t, size -= 0.5);
  if (!fitted) {  // still too wide: every column in proportion, texts broken anywhere
    fitted = std::vector<double>(t.columns.size(), kBodyWidth / static_cast<double>(t.columns.size()));
  }
  std::vector<std::string> names;
  for (const Column& column : t.columns) names.push_back(column.heading);
  // The heading row stays with the first row.
  place(Height(make(names.front(), {size, true}, -1).get()) * 3 + 4 * kPad);
  // A row fits on a page under the heading row repeated.
  const double room = kBottom - kMargin - row(t, names, *fitted, size, true, std::nullopt, kBottom - kMargin);
  for (size_t r = 0; r < t.rows.size(); ++r)
    row(t, t.rows[r], *fitted, size, false, r < t.fills.size() ? t.fills[r] : std::nullopt, room);
  y_ += 6;
}

}  // namespace fc::report::pdf
