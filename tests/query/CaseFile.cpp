#include "query/CaseFile.h"

#include <charconv>
#include <fstream>
#include <iterator>
#include <optional>

namespace fc::query::test {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trimmed(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

// The text's lines, a carriage return before a line end dropped.
std::vector<std::string_view> Lines(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.push_back(line);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
  }
  return lines;
}

// Reads one file's lines block by block, knowing where each line is.
class Reader {
 public:
  Reader(std::string_view text, std::string file) : lines_(Lines(text)), file_(std::move(file)) {}

  // Steps over blank and comment lines; false at the end.
  bool nextBlock() {
    while (at_ < lines_.size() && (Trimmed(lines_[at_]).empty() || isComment(lines_[at_]))) ++at_;
    return at_ < lines_.size();
  }
  // The next line of the current block, comments skipped; nothing at its end.
  std::optional<std::string_view> line() {
    while (at_ < lines_.size() && isComment(lines_[at_])) ++at_;
    if (at_ == lines_.size() || Trimmed(lines_[at_]).empty()) return std::nullopt;
    return lines_[at_++];
  }
  int lineNumber() const { return static_cast<int>(at_) + 1; }
  [[noreturn]] void fail(int line, const std::string& what) const {
    throw CaseFileError(file_ + ":" + std::to_string(line) + ": " + what);
  }

 private:
  static bool isComment(std::string_view line) { return !line.empty() && line.front() == '#'; }

  std::vector<std::string_view> lines_;
  std::string file_;
  size_t at_ = 0;
};

// The values of a record or result line: bare words, quoted texts, NULL.
std::vector<dbf::Value> Values(std::string_view line, const Reader& reader, int lineNumber) {
  std::vector<dbf::Value> values;
  for (size_t i = 0; i < line.size();) {
    if (IsBlank(line[i])) {
      ++i;
      continue;
    }
    if (line[i] != '\'') {
      size_t end = i;
      while (end < line.size() && !IsBlank(line[end])) ++end;
      std::string_view word = line.substr(i, end - i);
      values.push_back(word == "NULL" ? dbf::Value() : dbf::Value(std::string(word)));
      i = end;
      continue;
    }
    std::string text;
    for (++i;; ++i) {
      if (i == line.size()) reader.fail(lineNumber, "a quoted value is not closed");
      if (line[i] != '\'') {
        text += line[i];
      } else if (i + 1 < line.size() && line[i + 1] == '\'') {
        text += '\'';
        ++i;
      } else {
        break;
      }
    }
    ++i;
    if (i < line.size() && !IsBlank(line[i])) reader.fail(lineNumber, "a blank must follow a quoted value");
    values.push_back(std::move(text));
  }
  return values;
}

int64_t Number(std::string_view text, const Reader& reader, int lineNumber) {
  text = Trimmed(text);
  int64_t n = 0;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), n);
  if (ec != std::errc() || end != text.data() + text.size() || text.empty())
    reader.fail(lineNumber, "not a whole number: " + std::string(text));
  return n;
}

// "CODE C(6)", "JE N(10,2)", "BZ C(4) NULL".
dbf::FieldSpec Field(std::string_view text, const Reader& reader, int lineNumber) {
  text = Trimmed(text);
  const size_t open = text.find('('), close = text.find(')');
  const size_t blank = text.find_first_of(" \t");
  if (blank == std::string_view::npos || open == std::string_view::npos || close < open || open < blank)
    reader.fail(lineNumber, "a field is NAME C(LENGTH) or NAME N(LENGTH,DECIMALS): " + std::string(text));
  dbf::FieldSpec field;
  field.name = std::string(text.substr(0, blank));
  std::string_view type = Trimmed(text.substr(blank, open - blank));
  if (type != "C" && type != "N") reader.fail(lineNumber, "a field type is C or N: " + std::string(text));
  field.type = type[0];
  std::string_view size = text.substr(open + 1, close - open - 1);
  const size_t comma = size.find(',');
  const int64_t length = Number(size.substr(0, comma), reader, lineNumber);
  const int64_t decimals = comma == std::string_view::npos ? 0 : Number(size.substr(comma + 1), reader, lineNumber);
  if (length < 1 || length > 254 || decimals < 0 || decimals >= length)
    reader.fail(lineNumber, "a field's size is 1 to 254 bytes, its decimals fewer: " + std::string(text));
  field.length = static_cast<uint8_t>(length);
  field.decimals = static_cast<uint8_t>(decimals);
  std::string_view rest = Trimmed(text.substr(close + 1));
  if (rest != "" && rest != "NULL") reader.fail(lineNumber, "after a field's size only NULL: " + std::string(text));
  field.nullable = rest == "NULL";
  return field;
}

bool Closed(std::string_view fields) {
  int depth = 0;
  for (char c : fields) depth += c == '(' ? 1 : c == ')' ? -1 : 0;
  return depth == 0;
}

// "table T (fields...) [codepage 0xNN]", the fields perhaps over several lines.
CaseTable TableHead(std::string head, Reader& reader, int lineNumber) {
  if (head.find('(') == std::string::npos) reader.fail(lineNumber, "a table is: table NAME (FIELDS)");
  while (!Closed(head)) {
    std::optional<std::string_view> more = reader.line();
    if (!more) reader.fail(lineNumber, "the field list is not closed by )");
    head += " ";
    head += *more;
  }
  const size_t open = head.find('('), close = head.rfind(')');
  CaseTable table;
  table.name = std::string(Trimmed(std::string_view(head).substr(5, open - 5)));
  if (table.name.empty()) reader.fail(lineNumber, "a table is: table NAME (FIELDS)");
  std::string_view fields = std::string_view(head).substr(open + 1, close - open - 1);
  for (size_t from = 0; from <= fields.size();) {
    // A comma inside N(10,2) does not end the field.
    size_t end = from;
    for (int depth = 0; end < fields.size() && (fields[end] != ',' || depth > 0); ++end)
      depth += fields[end] == '(' ? 1 : fields[end] == ')' ? -1 : 0;
    table.fields.push_back(Field(fields.substr(from, end - from), reader, lineNumber));
    from = end + 1;
  }
  std::string_view tail = Trimmed(std::string_view(head).substr(close + 1));
  if (tail.empty()) return table;
  if (tail.substr(0, 8) != "codepage") reader.fail(lineNumber, "after the fields only codepage 0xNN");
  std::string_view byte = Trimmed(tail.substr(8));
  unsigned value = 0;
  auto [end, ec] = std::from_chars(byte.data() + (byte.substr(0, 2) == "0x" ? 2 : 0), byte.data() + byte.size(),
                                   value, 16);
  if (ec != std::errc() || end != byte.data() + byte.size() || value > 0xFF)
    reader.fail(lineNumber, "a code page is one byte, 0xNN");
  table.codePage = static_cast<uint8_t>(value);
  return table;
}

CaseTable Table(std::string_view head, Reader& reader, int lineNumber) {
  CaseTable table = TableHead(std::string(head), reader, lineNumber);
  while (std::optional<std::string_view> line = reader.line()) {
    const int at = reader.lineNumber() - 1;
    CaseTable::Record record;
    std::string_view values = Trimmed(*line);
    if (values.substr(0, 8) == "deleted " || values == "deleted") {
      record.deleted = true;
      values.remove_prefix(7);
    }
    record.values = Values(values, reader, at);
    if (record.values.size() > table.fields.size()) reader.fail(at, "more values than fields");
    table.records.push_back(std::move(record));
  }
  return table;
}

CaseQuery Query(std::string_view head, Reader& reader, int lineNumber) {
  CaseQuery query;
  const size_t blank = head.find(' ');
  const std::string_view keyword = head.substr(0, blank), rest = blank == head.npos ? "" : head.substr(blank + 1);
  if (keyword == "count" || keyword == "rows") {
    query.kind = keyword == "count" ? CaseQuery::Count : CaseQuery::Rows;
    query.number = Number(rest, reader, lineNumber);
  } else if (keyword == "error") {
    query.kind = CaseQuery::Error;
    query.message = std::string(Trimmed(rest));
    if (query.message.empty()) reader.fail(lineNumber, "error needs the message expected");
  } else if (keyword == "query") {
    query.kind = CaseQuery::Result;
    for (const dbf::Value& column : Values(rest, reader, lineNumber)) query.columns.push_back(column.value_or("NULL"));
  } else {
    reader.fail(lineNumber, "a block starts with table, count, rows, query or error: " + std::string(head));
  }
  bool dashes = false;
  while (std::optional<std::string_view> line = reader.line()) {
    if (Trimmed(*line) == "----") {
      dashes = true;
      break;
    }
    if (!query.sql.empty()) query.sql += ' ';
    query.sql += Trimmed(*line);
  }
  if (query.sql.empty()) reader.fail(lineNumber, "no query after " + std::string(keyword));
  if (dashes != (query.kind == CaseQuery::Result))
    reader.fail(lineNumber, dashes ? "only query has result rows after ----" : "query needs ---- before its rows");
  while (dashes) {
    std::optional<std::string_view> line = reader.line();
    if (!line) break;
    std::vector<std::string>& row = query.rows.emplace_back();
    for (const dbf::Value& v : Values(*line, reader, reader.lineNumber() - 1)) row.push_back(v.value_or("NULL"));
  }
  return query;
}

}  // namespace

std::vector<CaseStep> ParseCases(std::string_view text, const std::string& file) {
  Reader reader(text, file);
  std::vector<CaseStep> steps;
  while (reader.nextBlock()) {
    const int lineNumber = reader.lineNumber();
    const std::string_view head = Trimmed(*reader.line());
    if (head.substr(0, 6) == "table ") steps.push_back({lineNumber, Table(head, reader, lineNumber)});
    else steps.push_back({lineNumber, Query(head, reader, lineNumber)});
  }
  return steps;
}

std::vector<CaseStep> ReadCaseFile(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) throw CaseFileError(file.string() + ": cannot be read");
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  return ParseCases(text, file.string());
}

void WriteCaseTable(const std::filesystem::path& dir, const CaseTable& table) {
  bool nullable = false;
  for (const dbf::FieldSpec& f : table.fields) nullable |= f.nullable;
  dbf::Writer writer(dir / (table.name + ".DBF"), nullable ? dbf::Format::VisualFoxPro : dbf::Format::DBase3,
                     table.fields, table.codePage);
  for (const CaseTable::Record& record : table.records) {
    std::vector<dbf::Value> values = record.values;
    values.resize(table.fields.size(), std::string());
    writer.add(values, record.deleted);
  }
  writer.finish();
}

std::string CaseRow(const std::vector<std::string>& values) {
  std::string line;
  for (const std::string& v : values) {
    if (!line.empty()) line += ' ';
    const bool bare = !v.empty() && v.find_first_of(" \t'") == std::string::npos;
    if (bare) {
      line += v;
      continue;
    }
    line += '\'';
    for (char c : v) line += c == '\'' ? std::string("''") : std::string(1, c);
    line += '\'';
  }
  return line;
}

}  // namespace fc::query::test
