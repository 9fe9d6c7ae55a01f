#include "report/PdfReport.h"

#include <cairo-pdf.h>
#include <cairo.h>
#include <pango/pangocairo.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <optional>
#include <vector>

#include "naming/Submission.h"
#include "platform/FileReplace.h"
#include "report/Headline.h"
#include "text/Text.h"

namespace fc::report {

namespace fs = std::filesystem;

namespace {

constexpr double kPageWidth = 595.28;   // A4 in points
constexpr double kPageHeight = 841.89;
constexpr double kMargin = 40;          // about 14 mm on every side
constexpr double kFooterHeight = 16;    // below the body, inside the bottom margin's line
constexpr double kBodySize = 9;         // points
constexpr double kSmallestSize = 5.5;   // a wide table is set smaller down to this
constexpr double kMonoScale = 0.8;      // checksums beside the body text
constexpr double kPad = 2.5;            // inside a cell
constexpr double kWidestUnbroken = 70;  // a wrapping cell's longest unbroken run counts at most this
constexpr double kImageScale = 96.0 / 72;  // page images at 96 dots per inch
constexpr const char* kSans = "WenQuanYi Micro Hei";
constexpr const char* kMono = "WenQuanYi Micro Hei Mono";
constexpr const char* kBreak = "\u200B";  // a place a line may break, drawn as nothing

struct Rgb {
  double r, g, b;
};
constexpr Rgb kInk{0.13, 0.13, 0.13}, kGrey{0.4, 0.4, 0.4}, kGreen{0.09, 0.41, 0.16}, kRed{0.69, 0, 0.13},
    kAmber{0.7, 0.35, 0}, kRule{0.23, 0.43, 0.65}, kHeadFill{0.91, 0.93, 0.96}, kBorder{0.73, 0.73, 0.73},
    kBarFill{0.75, 0.22, 0.17}, kNewFill{0.99, 0.89, 0.89}, kGoneFill{0.89, 0.96, 0.89};

struct Font {
  double size = kBodySize;
  bool bold = false;
  bool mono = false;
};

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

// Never broken across lines: record numbers, counts, amounts, dates.
bool LooksNumeric(std::string_view text) {
  return !text.empty() && text.find_first_not_of("0123456789.-+ ") == std::string_view::npos;
}

// Where the pages go: a PDF file, or PNG images.
class Canvas {
 public:
  virtual ~Canvas() = default;
  virtual cairo_t* cr() = 0;
  // Ends the page drawn and starts the next one.
  virtual void nextPage() = 0;
  // Ends the last page; false with `error` when the output failed.
  virtual bool finish(std::string& error) = 0;
};

bool CairoOk(cairo_status_t status, std::string& error) {
  if (status == CAIRO_STATUS_SUCCESS) return true;
  error = cairo_status_to_string(status);
  return false;
}

class PdfCanvas final : public Canvas {
 public:
  // To `file`, or nowhere (a trial layout that counts the pages) when empty.
  PdfCanvas(const fs::path& file, const std::string& title) {
    surface_ = file.empty()
                   ? cairo_pdf_surface_create_for_stream([](void*, const unsigned char*, unsigned) {
                       return CAIRO_STATUS_SUCCESS;
                     }, nullptr, kPageWidth, kPageHeight)
                   : cairo_pdf_surface_create(file.c_str(), kPageWidth, kPageHeight);
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
    CairoOk(cairo_surface_write_to_png(surface_, file.c_str()), error_);
    if (!error_.empty()) error_ = file.string() + "：" + error_;
  }

  fs::path dir_;
  std::string prefix_;
  int pages_;
  int page_ = 1;
  std::string error_;
  cairo_surface_t* surface_ = nullptr;
  cairo_t* cr_ = nullptr;
};

using Layout = std::unique_ptr<PangoLayout, decltype(&g_object_unref)>;

struct Column {
  std::string heading;
  bool numeric = false;  // right-aligned, never broken
  bool mono = false;     // small monospace (checksums)
  bool whole = false;    // kept on one line while the table fits (file names)
};

struct Table {
  std::vector<Column> columns;
  std::vector<std::vector<std::string>> rows;
  std::vector<std::optional<Rgb>> fills = {};  // per row, when some rows are marked
  bool stretch = false;                        // the last column takes the room left
  bool headingColumn = false;                  // the first column is shaded like the heading row
};

// Lays the report out top to bottom, page after page.
class Writer {
 public:
  Writer(Canvas& canvas, std::string footer, int totalPages)
      : canvas_(canvas), footer_(std::move(footer)), totalPages_(totalPages) {
    PangoFontMap* fonts = pango_cairo_font_map_get_default();
    context_ = pango_font_map_create_context(fonts);
    pango_cairo_context_set_resolution(context_, 72);  // sizes in points, the page's unit
    cairo_font_options_t* options = cairo_font_options_create();
    // Metrics unhinted: a PDF and its page images break their lines alike.
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
    pango_cairo_context_set_font_options(context_, options);
    cairo_font_options_destroy(options);
  }
  ~Writer() { g_object_unref(context_); }

  int pages() const { return page_; }

  void finish() { drawFooter(); }

  // A paragraph across the body's width.
  void text(const std::string& text, Font font, Rgb color, double after = 3) {
    Layout layout = make(text, font, kBodyWidth);
    const double height = Height(layout.get());
    place(height);
    draw(layout.get(), kMargin, y_, color);
    y_ += height + after;
  }

  // A heading kept with what follows it: drawn when that is placed.
  void heading(const std::string& text, double size, bool rule) {
    Layout layout = make(text, {size, true}, kBodyWidth);
    pending_.push_back({std::move(layout), rule});
  }

  void table(const Table& table);

  // One bar per table, its length in proportion to its problems (none for
  // 0); grey where a table was not checked whole.
  void bars(const std::vector<TableCount>& counts) {
    int most = 1;
    for (const TableCount& c : counts) most = std::max(most, c.problems);
    constexpr double kLabel = 150, kLongest = 300, kRow = 15;
    for (const TableCount& c : counts) {
      place(kRow);
      Layout label = make(c.table, {}, kLabel - 6);
      draw(label.get(), kMargin, y_ + 1, kInk);
      const double length = kLongest * c.problems / most;
      if (c.problems > 0) {
        fill(kBarFill);
        cairo_rectangle(cr(), kMargin + kLabel, y_ + 2, length, kRow - 5);
        cairo_fill(cr());
      }
      Layout count = make(std::to_string(c.problems) + (c.unfinished ? "（未检查完整）" : ""), {}, -1);
      draw(count.get(), kMargin + kLabel + length + 4, y_ + 1, kInk);
      y_ += kRow;
    }
    y_ += 4;
  }

 private:
  static constexpr double kBodyWidth = kPageWidth - 2 * kMargin;
  static constexpr double kBottom = kPageHeight - kMargin;

  struct Pending {
    Layout layout;
    bool rule;  // a line under it
  };

  cairo_t* cr() { return canvas_.cr(); }
  void fill(Rgb c) { cairo_set_source_rgb(cr(), c.r, c.g, c.b); }

  Layout make(const std::string& text, Font font, double width, PangoAlignment align = PANGO_ALIGN_LEFT) {
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

  static double Width(PangoLayout* layout) {
    int w = 0, h = 0;
    pango_layout_get_size(layout, &w, &h);
    return static_cast<double>(w) / PANGO_SCALE;
  }
  static double Height(PangoLayout* layout) {
    int w = 0, h = 0;
    pango_layout_get_size(layout, &w, &h);
    return static_cast<double>(h) / PANGO_SCALE;
  }

  void draw(PangoLayout* layout, double x, double y, Rgb color) {
    fill(color);
    cairo_move_to(cr(), x, y);
    pango_cairo_show_layout(cr(), layout);
  }

  // Makes room for `height` below the pending headings, on a new page when
  // this one has too little left, then draws the headings.
  void place(double height) {
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

  void newPage() {
    drawFooter();
    canvas_.nextPage();
    ++page_;
    y_ = kMargin;
  }

  void drawFooter() {
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
  std::optional<std::vector<double>> widths(const Table& t, double size);

  void row(const Table& t, const std::vector<std::string>& cells, const std::vector<double>& widths, double size,
           bool heading, std::optional<Rgb> fillColor);

  Canvas& canvas_;
  std::string footer_;
  int totalPages_;
  PangoContext* context_;
  int page_ = 1;
  double y_ = kMargin;
  std::vector<Pending> pending_;
};

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

void Writer::row(const Table& t, const std::vector<std::string>& cells, const std::vector<double>& widths,
                 double size, bool heading, std::optional<Rgb> fillColor) {
  std::vector<Layout> layouts;
  double height = 0;
  for (size_t c = 0; c < widths.size(); ++c) {
    const Column& column = t.columns[c];
    const std::string& text = c < cells.size() ? cells[c] : std::string();
    const bool numeric = !heading && column.numeric;
    const Font font{size, heading, column.mono && !heading};
    layouts.push_back(make(text, font, widths[c] - 2 * kPad, numeric ? PANGO_ALIGN_RIGHT : PANGO_ALIGN_LEFT));
    height = std::max(height, Height(layouts.back().get()) + 2 * kPad);
  }
  if (y_ + height > kBottom) {
    newPage();
    if (!heading) row(t, [&] {
      std::vector<std::string> names;
      for (const Column& column : t.columns) names.push_back(column.heading);
      return names;
    }(), widths, size, true, std::nullopt);
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
  row(t, names, *fitted, size, true, std::nullopt);
  for (size_t r = 0; r < t.rows.size(); ++r)
    row(t, t.rows[r], *fitted, size, false, r < t.fills.size() ? t.fills[r] : std::nullopt);
  y_ += 6;
}

// ---- the report's content ----

std::string Num(int64_t n) { return std::to_string(n); }

std::string Seconds(double s) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2f", s);
  return text;
}

std::string Footer(const ReportData& data) {
  const store::RunFacts& f = data.run.facts;
  return "检查编号 " + Num(data.run.id) + "　" + f.companyCode + " " + f.companyName + "　数据日期 " +
         text::DashedDate(f.dataDate) + "　检查时间 " + f.started;
}

// The verdict first, then the title and whose data it is.
void Opening(Writer& w, const ReportData& data) {
  const store::RunFacts& f = data.run.facts;
  const Headline head = RunHeadline(data.run);
  const Rgb color = head.tone == Tone::Pass ? kGreen : head.tone == Tone::Fail ? kRed
                    : head.tone == Tone::Incomplete ? kAmber : kGrey;
  w.text("检查结论：" + head.word, {15, true}, color, 1);
  w.text(head.reason, {10}, color, 8);
  w.text(naming::SubmissionTitle(f.submission) + "报告", {14, true}, kInk, 2);
  w.text(f.companyCode + " " + f.companyName + "　数据日期 " + text::DashedDate(f.dataDate) + "　检查时间 " + f.started,
         {}, kGrey, 6);
}

void Facts(Writer& w, const ReportData& data) {
  const store::RunFacts& f = data.run.facts;
  std::string kinds;
  for (const std::string& k : f.kinds) kinds += (kinds.empty() ? "" : "、") + k;
  Table t{{{"项目"}, {"内容"}}, {}, {}, true, true};
  auto fact = [&](const char* name, const std::string& value) { t.rows.push_back({name, value}); };
  fact("检查编号", Num(data.run.id));
  fact("证券公司编码", f.companyCode);
  fact("证券公司名称", f.companyName);
  fact("数据日期", text::DashedDate(f.dataDate));
  if (f.submission == naming::Submission::Identity) fact("比对文件日期", text::DashedDate(f.comparisonDate));
  if (f.submission == naming::Submission::Account) {
    fact("传输模式", f.fullTransfer ? "全量传输" : "增量传输");
    fact("文件序号", Num(f.beginNo) + " - " + Num(f.endNo));
  }
  fact("报送文件", kinds);
  fact("文件类型", f.fileType);
  fact("源文件目录", f.sourceDir);
  fact("ZIP生成目录", f.targetDir);
  fact("开始时间", f.started);
  fact("结束时间", f.ended);
  fact("用时（秒）", Seconds(f.seconds));
  fact("程序版本", f.version);
  fact("检查状态", f.completed ? "检查完成" : "检查未能完成：" + f.message);
  w.heading("检查信息", 12, true);
  w.table(t);
}

void Summary(Writer& w, const ReportData& data) {
  const history::RunSummary s = history::Summarize(data.run);
  const int missing = s.expected - s.present;
  const int notChecked = static_cast<int>(std::count_if(data.run.facts.skipped.begin(), data.run.facts.skipped.end(),
      [](const store::RuleSkip& r) { return r.state == store::RuleState::NotChecked; }));
  w.heading("检查概况", 12, true);
  w.table({{{"应有文件", true}, {"存在文件", true}, {"缺少文件", true}, {"通过检查", true}, {"问题", true}, {"未检查规则", true}},
           {{Num(s.expected), Num(s.present), Num(missing), Num(s.passed), Num(s.findings + missing), Num(notChecked)}}});
  w.text("问题包括缺少的文件；“通过检查”的文件存在、结构正常、规则全部检查且没有发现问题。", {8}, kGrey, 4);
  const std::vector<TableCount> counts = ProblemsPerTable(data.run);
  if (counts.empty()) return;
  w.heading("各数据表问题数", 10, false);
  w.bars(counts);
}

void Files(Writer& w, const history::Run& run) {
  Table t{{{"序号", true}, {"文件描述"}, {"文件名", false, false, true}, {"大小（字节）", true}, {"修改时间"}, {"记录数", true},
           {"SHA-256", false, true}, {"结果"}}, {}};
  for (const store::FileFacts& f : run.facts.files)
    t.rows.push_back({Num(f.groupno), f.filecat, BreakableName(f.filename), f.size ? Num(*f.size) : "", f.mtime,
                      f.records ? Num(*f.records) : "", BreakableSum(f.sha256), FileResult(f)});
  w.heading("文件清单", 12, true);
  w.table(t);
  if (run.facts.packs.empty()) return;
  Table packs{{{"文件名"}, {"大小（字节）", true}, {"SHA-256", false, true}}, {}};
  for (const store::PackFacts& p : run.facts.packs)
    packs.rows.push_back({BreakableName(p.archive), Num(p.size), BreakableSum(p.sha256)});
  w.heading("生成的ZIP压缩文件", 10, false);
  w.table(packs);
}

void Finding(Writer& w, const ReportData& data, const history::Finding& f) {
  w.heading(f.filename + "　错误编号 " + f.errid, 10, false);
  w.text(f.errdesc, {}, kInk);
  if (f.total > 0) w.text("涉及记录 " + Num(f.total) + " 条", {}, kInk);
  if (!f.valueCounts.empty()) {
    Table counts{{{"字段"}, {"值"}, {"记录数", true}}, {}};
    for (const history::ValueCount& v : f.valueCounts) counts.rows.push_back({v.field, v.value, Num(v.count)});
    w.table(counts);
  }
  auto kept = data.records.find({f.fileid, f.finding});
  if (kept == data.records.end() || kept->second.records.empty()) return;
  const store::FindingRecords& r = kept->second;
  w.text("前 " + Num(static_cast<int64_t>(r.records.size())) + " 条记录：", {}, kInk);
  // Headed by the agreement's meaning with the code beneath.
  Table records{{{"记录号", true}}, {}};
  for (const std::string& field : r.fields) {
    const std::string meaning = data.meaningOf ? data.meaningOf(r.table, field) : std::string();
    records.columns.push_back({meaning.empty() ? field : meaning + "\n" + field});
  }
  for (const store::FindingRecords::Record& record : r.records) {
    std::vector<std::string>& cells = records.rows.emplace_back(1, Num(record.recno));
    cells.insert(cells.end(), record.values.begin(), record.values.end());
  }
  w.table(records);
}

void Findings(Writer& w, const ReportData& data) {
  w.heading("问题明细", 12, true);
  for (const store::FileFacts& f : data.run.facts.files) {
    if (f.isexist) continue;
    w.heading(f.filename, 10, false);
    w.text("文件不存在", {kBodySize, true}, kRed);
  }
  if (data.run.findings.empty()) {
    // "No problem" is said only of a run that passed.
    if (data.run.facts.verdict == store::Verdict::Pass) w.text("没有发现问题。", {}, kGreen, 6);
    else w.text("问题记录中没有规则发现的问题；检查结论见报告开头。", {}, kGrey, 6);
    return;
  }
  if (!data.recordsKept) w.text("记录明细只保存在最近一次检查中，此处只列出问题及其取值分布。", {}, kGrey);
  for (const history::Finding& f : data.run.findings) Finding(w, data, f);
}

// The rules that did not run, file by file, with why.
void Skipped(Writer& w, const history::Run& run) {
  const store::RunFacts& f = run.facts;
  if (f.skipped.empty()) return;
  w.heading("未运行的规则", 12, true);
  w.text("未检查：规则应当运行但无法运行，检查不能算通过；不适用：按传输模式不做的核对，不影响结论。", {8}, kGrey, 4);
  Table t{{{"文件名"}, {"错误编号"}, {"状态"}, {"原因"}}, {}};
  for (const store::RuleSkip& r : f.skipped) {
    auto file = std::find_if(f.files.begin(), f.files.end(), [&](const store::FileFacts& x) { return x.fileid == r.fileid; });
    t.rows.push_back({file == f.files.end() ? "" : BreakableName(file->filename), r.errid, store::RuleStateWord(r.state),
                      r.reason});
  }
  w.table(t);
}

void Changes(Table& t, const std::vector<history::FindingChange>& changes, const char* kind, std::optional<Rgb> fill,
             bool after) {
  for (const history::FindingChange& c : changes) {
    t.rows.push_back({kind, BreakableName(c.filename), c.errid, after ? c.errdescAfter : c.errdescBefore,
                      Num(c.countBefore), Num(c.countAfter)});
    t.fills.push_back(fill);
  }
}

std::vector<std::string> RunLine(const char* which, const history::Run& run) {
  return {which, Num(run.id), run.facts.started, run.facts.fileType, run.facts.sourceDir,
          store::VerdictWord(run.facts.verdict)};
}

void Comparison(Writer& w, const ReportData& data) {
  w.heading("与上次检查比较", 12, true);
  if (!data.comparison || !data.previous) {
    w.text(kNoPreviousRun, {}, kGrey);
    return;
  }
  const history::Comparison& c = *data.comparison;
  w.table({{{""}, {"编号", true}, {"开始时间"}, {"文件类型"}, {"源文件目录"}, {"结论"}},
           {RunLine("上次", *data.previous), RunLine("本次", data.run)}});
  auto count = [](const auto& list) { return Num(static_cast<int64_t>(list.size())); };
  w.text("新增问题 " + count(c.added) + " 个，消除问题 " + count(c.gone) + " 个，本次未检查 " + count(c.unchecked) +
             " 个，记录数变化 " + count(c.changed) + " 个，本次缺少的文件 " + count(c.missing) + " 个，内容变化的文件 " +
             count(c.files) + " 个。",
         {}, kInk, 4);
  if (c.added.size() + c.gone.size() + c.changed.size() + c.unchecked.size() > 0) {
    Table t{{{"变化"}, {"文件名"}, {"错误编号"}, {"错误描述"}, {"上次记录数", true}, {"本次记录数", true}}, {}};
    Changes(t, c.added, "新增", kNewFill, true);
    Changes(t, c.changed, "记录数变化", std::nullopt, true);
    Changes(t, c.gone, "消除", kGoneFill, false);
    Changes(t, c.unchecked, "未检查", std::nullopt, false);
    w.table(t);
  }
  if (!c.missing.empty()) {
    Table missing{{{"文件名"}}, {}};
    for (const std::string& name : c.missing) missing.rows.push_back({BreakableName(name)});
    w.heading("本次缺少的文件", 10, false);
    w.table(missing);
  }
  if (c.files.empty()) return;
  Table files{{{"文件名"}, {"上次SHA-256", false, true}, {"本次SHA-256", false, true}}, {}};
  for (const history::FileChange& f : c.files)
    files.rows.push_back({BreakableName(f.filename), f.sha256Before.empty() ? "（不存在）" : BreakableSum(f.sha256Before),
                          f.sha256After.empty() ? "（不存在）" : BreakableSum(f.sha256After)});
  w.heading("内容变化的文件", 10, false);
  w.table(files);
}

// Lays the whole report out on `canvas`; the number of pages it took.
int LayOut(const ReportData& data, Canvas& canvas, int totalPages) {
  Writer w(canvas, Footer(data), totalPages);
  Opening(w, data);
  Facts(w, data);
  Summary(w, data);
  Files(w, data.run);
  Findings(w, data);
  Skipped(w, data.run);
  Comparison(w, data);
  w.finish();
  return w.pages();
}

std::string Title(const ReportData& data) {
  return "检查报告 " + data.run.facts.companyCode + " " + text::DashedDate(data.run.facts.dataDate);
}

// The number of pages, from a layout that is thrown away.
int CountPages(const ReportData& data) {
  PdfCanvas trial({}, Title(data));
  return LayOut(data, trial, 0);
}

}  // namespace

bool WritePdfReport(const ReportData& data, const fs::path& file, std::string& error) {
  const int pages = CountPages(data);
  const platform::WriteResult written = platform::WriteFileByName(file, [&](const fs::path& temp, std::string& failure) {
    PdfCanvas canvas(temp, Title(data));
    LayOut(data, canvas, pages);
    return canvas.finish(failure);
  }, {});
  if (!written) error = platform::WriteFailureText(file, written);
  return static_cast<bool>(written);
}

bool WriteReportPageImages(const ReportData& data, const fs::path& dir, const std::string& prefix, int pages,
                           std::string& error) {
  ImageCanvas canvas(dir, prefix, pages);
  LayOut(data, canvas, CountPages(data));
  return canvas.finish(error);
}

}  // namespace fc::report
