#include "text/DataFile.h"

#include <fstream>
#include <iterator>

#include "platform/Utf8Paths.h"
#include "text/Text.h"

namespace fc::text {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool Skipped(std::string_view line) {
  const std::string_view content = Trim(line, " \t");
  return content.empty() || content.front() == '#';
}

}  // namespace

namespace {

std::string ContentOf(const std::filesystem::path& path, const std::string& what) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw DataFileError("无法读取" + what + "：" + platform::Utf8Of(path));
  std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) throw DataFileError("无法读取" + what + "：" + platform::Utf8Of(path));
  return content;
}

}  // namespace

DataFile::DataFile(const std::filesystem::path& path, std::string what)
    : DataFile(path, what, ContentOf(path, what)) {}

DataFile::DataFile(const std::filesystem::path& path, std::string what, std::string_view content)
    : path_(path), what_(std::move(what)) {
  std::string_view rest = content;
  if (rest.starts_with(kByteOrderMark)) rest.remove_prefix(kByteOrderMark.size());
  while (!rest.empty()) {
    const size_t end = rest.find('\n');
    std::string_view line = rest.substr(0, end);
    rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
    if (line.ends_with('\r')) line.remove_suffix(1);
    all_.push_back({++lastLine_, std::string(line)});
    if (!Skipped(line)) lines_.push_back(all_.back());
  }
}

std::string DataFile::Fault(std::string_view what, const std::filesystem::path& path, int line,
                            std::string_view fault) {
  return std::string(what) + " " + platform::Utf8Of(path) + " 第" + std::to_string(line) + "行：" + std::string(fault);
}

std::vector<CsvRecord> DataFile::csvRecords() const {
  std::vector<CsvRecord> records;
  for (size_t i = 0; i < all_.size(); ++i) {
    if (Skipped(all_[i].text)) continue;
    CsvRecord record{all_[i].number, {}};
    std::string field;
    bool quoted = false;     // inside a quoted field
    bool wasQuoted = false;  // the field being read began with a quote
    for (std::string_view line = all_[i].text;;) {
      for (size_t k = 0; k < line.size(); ++k) {
        const char c = line[k];
        if (quoted) {
          if (c != '"') field += c;
          else if (k + 1 < line.size() && line[k + 1] == '"') field += line[++k];
          else quoted = false;
        } else if (c == '"' && Trim(field, " \t").empty() && !wasQuoted) {
          field.clear();
          quoted = wasQuoted = true;
        } else if (c == ',') {
          record.fields.push_back(wasQuoted ? field : std::string(Trim(field, " \t")));
          field.clear();
          wasQuoted = false;
        } else if (!wasQuoted) {
          field += c;
        } else if (c != ' ' && c != '\t') {
          throw DataFileError(fault(all_[i].number, "引号之后应是逗号或行尾"));
        }
      }
      if (!quoted) break;
      if (++i == all_.size()) throw DataFileError(fault(record.number, "引号没有结束"));
      field += '\n';
      line = all_[i].text;
    }
    record.fields.push_back(wasQuoted ? field : std::string(Trim(field, " \t")));
    records.push_back(std::move(record));
  }
  return records;
}

}  // namespace fc::text
