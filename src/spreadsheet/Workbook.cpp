#include "spreadsheet/Workbook.h"

#include <xlsxwriter.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <set>

#include "platform/Files.h"
#include "platform/FileReplace.h"
#include "report/ReportModel.h"
#include "spreadsheet/Csv.h"
#include "text/Text.h"
#include "text/Utf8.h"

namespace fc::spreadsheet {

namespace fs = std::filesystem;

namespace {

constexpr size_t kSheetNameCharacters = 31;  // the longest name a spreadsheet accepts
constexpr int kSignificantDigits = 15;       // digits a spreadsheet's number keeps exactly
constexpr double kWidestColumn = 60;         // characters; a longer text runs over its cell

// The formats of one workbook, made once.
class Formats {
 public:
  explicit Formats(lxw_workbook* book) : book_(book) {
    heading_ = workbook_add_format(book);
    format_set_bold(heading_);
    format_set_bg_color(heading_, 0xE8EEF5);
    format_set_border(heading_, LXW_BORDER_THIN);
    text_ = workbook_add_format(book);
    format_set_num_format(text_, "@");  // typed-in values stay text too
  }
  lxw_format* heading() const { return heading_; }
  lxw_format* text() const { return text_; }
  // "0", "0.00", ...: the number shown with the field's decimals.
  lxw_format* number(int decimals) {
    lxw_format*& format = numbers_[decimals];
    if (!format) {
      format = workbook_add_format(book_);
      const std::string pattern = decimals > 0 ? "0." + std::string(static_cast<size_t>(decimals), '0') : "0";
      format_set_num_format(format, pattern.c_str());
    }
    return format;
  }

 private:
  lxw_workbook* book_;
  lxw_format* heading_;
  lxw_format* text_;
  std::map<int, lxw_format*> numbers_;
};

// A sheet name a spreadsheet accepts and no other sheet of the book has:
// without the characters names may not hold, at most 31 characters, and
// numbered " (2)", " (3)", ... when taken (letter case ignored, as the
// spreadsheet compares them).
class SheetNames {
 public:
  std::string take(const std::string& wanted) {
    std::string clean;
    for (char c : wanted)
      if (std::string_view("[]:*?/\\").find(c) == std::string_view::npos) clean += c;
    if (clean.empty()) clean = "Sheet";
    for (int n = 1;; ++n) {
      const std::string suffix = n == 1 ? "" : " (" + std::to_string(n) + ")";
      std::string name = clean.substr(0, text::SkipCharacters(clean, kSheetNameCharacters - suffix.size())) + suffix;
      std::string key = name;
      for (char& c : key) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
      if (taken_.insert(key).second) return name;
    }
  }

 private:
  std::set<std::string> taken_;
};

// How a cell of a records column is written.
struct Column {
  std::string heading;        // "营业部代码 YYBDM"
  bool numeric = false;       // an N field: numbers where the value is one
  int decimals = 0;           // its decimals
  double width = 0;           // characters, for the column's width
};

bool FitsNumber(std::string_view value) {
  int digits = 0;
  for (char c : value) digits += c >= '0' && c <= '9';
  return IsPlainNumber(value) && digits <= kSignificantDigits;
}

double TextWidth(std::string_view text) {
  return std::min(kWidestColumn, static_cast<double>(fc::text::DisplayWidth(text)) + 2);
}

std::vector<Column> RecordColumns(const FindingSheet& sheet, const naming::InterfaceLayouts* agreement) {
  const naming::TableLayout* layout = agreement ? agreement->find(sheet.records.table) : nullptr;
  std::vector<Column> columns{{"记录号", true, 0, TextWidth("记录号")}};
  for (const std::string& field : sheet.records.fields) {
    Column& column = columns.emplace_back();
    column.heading = naming::FieldHeading(agreement, sheet.records.table, field);
    column.width = TextWidth(column.heading);
    if (!layout) continue;
    for (const naming::LayoutField& f : layout->fields) {
      if (!text::EqualsNoCase(f.name, field)) continue;
      column.numeric = f.type == 'N';
      column.decimals = f.decimals;
    }
  }
  for (const store::FindingRecords::Record& record : sheet.records.records)
    for (size_t k = 0; k < record.values.size() && k + 1 < columns.size(); ++k)
      columns[k + 1].width = std::max(columns[k + 1].width, TextWidth(record.values[k]));
  return columns;
}

// One worksheet of records: a finding's records [begin, end).
struct RecordsPart {
  const FindingSheet* sheet;
  size_t begin, end;
  std::string name;  // the sheet's name
};

// Writes the workbook's sheets in order: the summary, then the records. Rows
// go out one after another (the library keeps no sheet in memory), so every
// width is known before a sheet's first row.
class BookWriter {
 public:
  BookWriter(lxw_workbook* book, const Workbook& content) : book_(book), content_(content), formats_(book) {}

  void write() {
    SheetNames names;
    const std::string summaryName = content_.run ? names.take("检查概况") : "";
    const std::vector<RecordsPart> parts = plan(names);
    if (content_.run) writeSummary(summaryName, *content_.run, parts);
    for (const RecordsPart& part : parts) writeRecords(part);
  }

 private:
  std::vector<RecordsPart> plan(SheetNames& names) const {
    const size_t perSheet = std::max<size_t>(content_.rowsPerSheet, 2) - 1;
    std::vector<RecordsPart> parts;
    for (const FindingSheet& s : content_.findings) {
      const std::string base = s.finding.errid + (s.records.table.empty() ? "" : " " + s.records.table);
      size_t begin = 0;
      do {
        const size_t end = std::min(s.records.records.size(), begin + perSheet);
        parts.push_back({&s, begin, end, names.take(base)});
        begin = end;
      } while (begin < s.records.records.size());
    }
    return parts;
  }

  lxw_worksheet* addSheet(const std::string& name) {
    lxw_worksheet* sheet = workbook_add_worksheet(book_, name.c_str());
    if (!sheet) throw std::runtime_error("工作表" + name + "无法创建");
    return sheet;
  }

  void cell(lxw_worksheet* sheet, size_t row, size_t column, const std::string& value, lxw_format* format) {
    worksheet_write_string(sheet, static_cast<lxw_row_t>(row), static_cast<lxw_col_t>(column), value.c_str(), format);
  }

  void value(lxw_worksheet* sheet, size_t row, size_t c, const Column& column, const std::string& text) {
    const std::string_view trimmed = text::Trim(text);
    if (column.numeric && FitsNumber(trimmed)) {
      worksheet_write_number(sheet, static_cast<lxw_row_t>(row), static_cast<lxw_col_t>(c),
                             std::strtod(std::string(trimmed).c_str(), nullptr), formats_.number(column.decimals));
      return;
    }
    cell(sheet, row, c, text, formats_.text());
  }

  // The heading row at `row`, frozen, filtering the `rows` rows below it.
  void table(lxw_worksheet* sheet, size_t row, size_t rows, const std::vector<Column>& columns) {
    for (size_t c = 0; c < columns.size(); ++c) {
      cell(sheet, row, c, columns[c].heading, formats_.heading());
      worksheet_set_column(sheet, static_cast<lxw_col_t>(c), static_cast<lxw_col_t>(c), columns[c].width, nullptr);
    }
    worksheet_freeze_panes(sheet, static_cast<lxw_row_t>(row + 1), 0);
    worksheet_autofilter(sheet, static_cast<lxw_row_t>(row), 0, static_cast<lxw_row_t>(row + rows),
                         static_cast<lxw_col_t>(columns.size() - 1));
  }

  void writeRecords(const RecordsPart& part) {
    const std::vector<Column> columns = RecordColumns(*part.sheet, content_.agreement);
    lxw_worksheet* sheet = addSheet(part.name);
    table(sheet, 0, part.end - part.begin, columns);
    const auto& records = part.sheet->records.records;
    for (size_t r = part.begin; r < part.end; ++r) {
      const size_t row = r - part.begin + 1;
      worksheet_write_number(sheet, static_cast<lxw_row_t>(row), 0, static_cast<double>(records[r].recno),
                             formats_.number(0));
      for (size_t k = 0; k < records[r].values.size() && k + 1 < columns.size(); ++k)
        value(sheet, row, k + 1, columns[k + 1], records[r].values[k]);
    }
  }

  // The run's conclusion and facts, then every finding with the sheet of its records.
  void writeSummary(const std::string& name, const report::ReportData& data, const std::vector<RecordsPart>& parts) {
    const report::ReportModel model = report::BuildReportModel(data);
    std::vector<Column> columns;
    for (const report::Column& c : model.findingList.columns) columns.push_back({c.heading, c.kind == report::Kind::Number});
    columns.push_back({"记录所在工作表"});
    std::vector<std::vector<std::string>> findings;
    for (size_t i = 0; i < data.run.findings.size(); ++i) {
      const history::Finding& finding = data.run.findings[i];
      auto part = std::find_if(parts.begin(), parts.end(), [&](const RecordsPart& p) {
        return p.sheet->finding.fileid == finding.fileid && p.sheet->finding.finding == finding.finding;
      });
      std::vector<std::string>& texts = findings.emplace_back();
      for (const report::Cell& cell : model.findingList.rows[i].cells) texts.push_back(cell.text);
      texts.push_back(part == parts.end() ? "" : part->name);
    }
    for (size_t c = 0; c < columns.size(); ++c) {
      columns[c].width = TextWidth(columns[c].heading);
      for (const auto& texts : findings) columns[c].width = std::max(columns[c].width, TextWidth(texts[c]));
    }
    const std::vector<report::Row>& facts = model.headlineFacts.rows;
    for (const report::Row& fact : facts) columns[1].width = std::max(columns[1].width, TextWidth(fact.cells[1].text));

    lxw_worksheet* sheet = addSheet(name);
    size_t row = 0;
    for (const report::Row& fact : facts) {
      cell(sheet, row, 0, fact.cells[0].text, formats_.heading());
      cell(sheet, row++, 1, fact.cells[1].text, formats_.text());
    }
    table(sheet, ++row, findings.size(), columns);  // after a blank row
    for (const auto& texts : findings) {
      ++row;
      for (size_t c = 0; c < texts.size(); ++c) value(sheet, row, c, columns[c], texts[c]);
    }
  }

  lxw_workbook* book_;
  const Workbook& content_;
  Formats formats_;
};

// The library opens its file only as it closes the workbook, and then says
// no more than that it could not (in English, and on stderr besides): the
// file is made first, so that a failure says why in the operator's words.
}  // namespace

std::vector<FindingSheet> ReadFindingSheets(store::Store& store, privacy::Masking masking,
                                            const std::function<bool(const store::FindingRow&)>& keep) {
  std::vector<FindingSheet> sheets;
  for (store::FindingRow& row : store.readFindings()) {
    if (keep && !keep(row)) continue;
    std::optional<store::FindingRecords> records = store.readFindingRecords(row.fileid, row.finding, masking);
    if (records) sheets.push_back({std::move(row), std::move(*records)});
  }
  return sheets;
}

bool WriteWorkbook(const fs::path& file, const Workbook& book, std::string& error) {
  const platform::WriteResult written = platform::WriteFileByName(file, [&](const fs::path& temp, std::string& failure) {
    // The library's own scratch files go beside the workbook, not into /tmp.
    // The library opens its files by char* names.
    std::string scratch = platform::NarrowPathOf(temp.parent_path().empty() ? fs::path(".") : temp.parent_path());
    const std::string name = platform::NarrowPathOf(temp);
    lxw_workbook_options options{LXW_TRUE, scratch.data(), LXW_FALSE};
    lxw_workbook* workbook = name.empty() || scratch.empty() ? nullptr : workbook_new_opt(name.c_str(), &options);
    if (!workbook) {
      failure = "工作簿无法创建";
      return false;
    }
    try {
      BookWriter(workbook, book).write();
    } catch (const std::exception& e) {
      failure = e.what();
    }
    const lxw_error closed = workbook_close(workbook);
    if (failure.empty() && closed != LXW_NO_ERROR) failure = std::string("工作簿写入失败（") + lxw_strerror(closed) + "）";
    return failure.empty();
  }, {});
  if (!written) error = platform::WriteFailureText(file, written);
  return static_cast<bool>(written);
}

}  // namespace fc::spreadsheet
