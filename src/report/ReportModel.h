// report/ReportModel.h - the check report once, for every format that lays
// it out: the headline (the run's verdict, judged once as the run ended and
// kept with its facts, as a word, its line and its tone), then the sections
// in the order a reader meets them (facts, summary, files, findings, rules
// not run, comparison), each a title over plain parts: paragraphs, tables of
// cells, a bar chart and groups (one per finding). HtmlReport and PdfReport
// lay the sections out; the workbook's summary sheet lays out the headline's
// facts and the list of findings. The texts are the run's as they are: each
// layout escapes or breaks them as its medium needs.
//
//   const fc::report::ReportModel model = fc::report::BuildReportModel(data);
//   for (const fc::report::Section& section : model.sections) draw(section);
#pragma once

#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "report/ReportData.h"

namespace fc::report {

// A verdict's colour, shown only beside its words.
enum class Tone { Pass, Fail, Incomplete, Unknown };

struct Headline {
  std::string word;      // 通过, 不通过, 未完成, or "—" for a run kept before verdicts
  std::string line;      // the verdict's line ("不通过：应报文件10个，缺少1个"), or why there is none
  Tone tone = Tone::Unknown;
  std::string title;     // "证券公司…检查报告"
  std::string whose;     // company, data date and time of the check, on one line
  std::string document;  // the file's own title ("检查报告 100001 2008-08-08")
  int64_t id = 0;        // the history's number of the run
};

// What a column holds, for how a layout aligns, breaks and sets it.
enum class Kind {
  Text,
  Number,    // right-aligned, never broken
  Time,      // a date and time
  Checksum,  // a SHA-256 in hex
  FileName,  // a file's name: broken, if at all, after its "_" and "."
};

struct Column {
  std::string heading;     // a record field's meaning, when the agreement gives one
  Kind kind = Kind::Text;
  std::string code = {};   // the field's code under its meaning; empty for other columns
  bool whole = false;      // kept on one line while the table fits (the names of the listed files)
};

struct Cell {
  std::string text;
  std::optional<Tone> tone = {};  // a result, a missing file, a rule's state
};

// How a row of the comparison changed from the run before.
enum class Change { None, Added, Changed, Gone, Unchecked };

struct Row {
  std::vector<Cell> cells;
  Change change = Change::None;
};

enum class Shape {
  Grid,      // a heading row over the rows
  Facts,     // pairs of a name and its value; the names are headings
  Labelled,  // a grid whose first cell names its row ("上次", "本次")
};

struct Table {
  std::string title;  // a small heading above it; empty for none
  Shape shape = Shape::Grid;
  std::vector<Column> columns;
  std::vector<Row> rows;
};

// How a paragraph speaks.
enum class Voice {
  Detail,   // what a finding says; with a tone, a problem itself ("文件不存在")
  Plain,    // a sentence of its section
  Legend,   // how to read the table beside it
  Remark,   // why something is not shown
  Closing,  // the last word of its section, in its tone
};

struct Paragraph {
  std::string text;
  Voice voice = Voice::Plain;
  std::optional<Tone> tone = {};
};

// Problems of one table description: its findings and its missing files;
// `unfinished` when a file of it was not checked whole.
struct TableCount {
  std::string table;        // the table description ("客户基本信息表")
  int problems = 0;         // findings and missing files of its files
  bool unfinished = false;  // a file of it was not checked whole (or before verdicts were kept)
};

// Problems per table description, as bars.
struct Bars {
  std::string title;
  std::vector<TableCount> counts;  // may be empty: the layout decides whether the title stands alone
};

// A finding, or a missing file: a small heading over its own parts.
struct Group {
  std::string title;
  std::vector<std::variant<Paragraph, Table>> parts;
};

using Part = std::variant<Paragraph, Table, Bars, Group>;

struct Section {
  std::string title;
  std::vector<Part> parts;
};

struct ReportModel {
  Headline headline;
  std::vector<Section> sections;  // in the report's order
  Table headlineFacts;            // the headline as pairs of name and value (a summary sheet's head)
  Table findingList;              // one row per finding, in the run's order of findings
};

ReportModel BuildReportModel(const ReportData& data);

}  // namespace fc::report
