// text/DataFile.h - the one reader of the program's own data files: the
// rules, the interface layouts, the company list and the support lines.
//
// An ordinary editor or a spreadsheet may have written them, so a UTF-8
// byte-order mark at the start, CR LF line ends and blank lines are accepted
// everywhere, and lines whose first non-blank character is "#" are comments.
// CSV files take fields quoted as spreadsheets write them (RFC 4180: a field
// in double quotes may hold commas, line breaks and "" for a quote). Every
// fault names the file and the line in one way, built by fault().
//
//   fc::text::DataFile file(path, "规则文件");             // DataFileError when unreadable
//   for (const fc::text::DataLine& line : file.lines()) ...
//   throw MyError(file.fault(line.number, "缺少 table"));   // "规则文件 PATH 第3行：缺少 table"
//   for (const fc::text::CsvRecord& r : file.csvRecords()) ...   // DataFileError on an open quote
#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace fc::text {

// A data file that cannot be read, or a fault the reader itself finds.
class DataFileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct DataLine {
  int number = 0;    // 1-based, counting every line of the file
  std::string text;  // without its line end
};

struct CsvRecord {
  int number = 0;                   // the line it starts on
  std::vector<std::string> fields;  // quotes removed, blanks kept
};

class DataFile {
 public:
  // `what` names the kind of file in messages ("规则文件", "接口规范文件").
  DataFile(const std::filesystem::path& path, std::string what);
  // The file's `content`, already read from `path` (which names it in faults).
  DataFile(const std::filesystem::path& path, std::string what, std::string_view content);

  const std::filesystem::path& path() const { return path_; }
  // The lines that hold something other than a comment, in file order.
  const std::vector<DataLine>& lines() const { return lines_; }
  // The lines read as CSV records.
  std::vector<CsvRecord> csvRecords() const;
  // The number of the last line of the file.
  int lastLine() const { return lastLine_; }

  // "WHAT PATH 第N行：FAULT", the one form of every data file's faults.
  std::string fault(int line, std::string_view fault) const { return Fault(what_, path_, line, fault); }
  static std::string Fault(std::string_view what, const std::filesystem::path& path, int line, std::string_view fault);

 private:
  std::filesystem::path path_;
  std::string what_;
  std::vector<DataLine> lines_;
  std::vector<DataLine> all_;  // every line, blank and comment ones too, for quoted line breaks
  int lastLine_ = 0;
};

}  // namespace fc::text
