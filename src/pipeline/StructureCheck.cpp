#include "pipeline/StructureCheck.h"

#include <algorithm>

#include "pipeline/WorkDirs.h"
#include "store/Store.h"
#include "text/Text.h"
#include "text/Utf8.h"

namespace fc::pipeline {

namespace {

constexpr std::string_view kFieldWord = "字段";
constexpr std::string_view kDateWord = "日期";
constexpr size_t kFieldSectionStart = 3;  // characters before it: "字段" and a separator
constexpr int kCodeToErrid = 3;           // the library's field codes sit 3 below the errids
constexpr long kLargestCode = 999999999;  // keeps absurd codes from overflowing

// The leading decimal number of `text` (an optional sign, then digits), 0
// when it has none.
long LeadingNumber(std::string_view text) {
  size_t at = 0;
  bool negative = false;
  if (at < text.size() && (text[at] == '-' || text[at] == '+')) negative = text[at++] == '-';
  long value = 0;
  for (; at < text.size() && text::IsDigit(text[at]); ++at)
    value = std::min(kLargestCode, value * 10 + (text[at] - '0'));
  return negative ? -value : value;
}

std::string FieldErrorText(long errid, std::string_view name) {
  std::string n(name);
  switch (errid) {
    case 4: return "字段" + n + "长度不符合接口规范";
    case 5: return "接口约定字段" + n + "不存在";
    case 6: return "字段" + n + "不是接口约定字段";
    case 9: return "从字段" + n + "开始字段顺序与接口约定不一致";
    case 10: return "字段" + n + "类型不符合接口规范";
    default: return {};
  }
}

}  // namespace

FileOutcome CheckDbfStructure(StructureContext& ctx, const std::filesystem::path& dbf, int fileId) {
  std::string answer = CHECKDBF(ctx.layouts, dbf, ctx.dataDate, ctx.threads);
  std::string_view text = answer;
  if (size_t nul = text.find('\0'); nul != std::string_view::npos) text = text.substr(0, nul);
  text = text::Trim(text);
  if (text.empty()) return kFilePassed;
  DecodeDbfResult(ctx.store, text, fileId);
  return kStructureProblems;
}

FileOutcome CheckDbfFile(StructureContext& ctx, const std::string& sourceDir, const std::string& fileName,
                         int fileId) {
  std::filesystem::path dbf =
      FindFileNoCase(sourceDir, fileName).value_or(std::filesystem::path(sourceDir) / fileName);
  return CheckDbfStructure(ctx, dbf, fileId);
}

void DecodeDbfResult(store::Store& store, std::string_view text, int fileId) {
  size_t f = text.find(kFieldWord);
  size_t d = text.find(kDateWord);
  if (f == std::string_view::npos && d == std::string_view::npos) {
    store.insertFinding(fileId, "8", text);
    return;
  }
  std::string_view fields;
  if (f != std::string_view::npos) {
    size_t start = text::SkipCharacters(text, kFieldSectionStart);
    size_t end = d == std::string_view::npos ? text.size() : d;
    if (start < end) fields = text::Trim(text.substr(start, end - start));
  }
  for (size_t blank; !fields.empty() && (blank = fields.find(' ')) != std::string_view::npos;) {
    std::string_view item = fields.substr(0, blank);
    fields = text::Trim(fields.substr(blank + 1));
    AddFieldError(store, fileId, item);
  }
  if (!fields.empty()) AddFieldError(store, fileId, fields);
  if (d == std::string_view::npos) return;
  std::string_view dates = text::Trim(text.substr(d + kDateWord.size()));
  if (!dates.empty()) AddDateError(store, fileId, dates);
}

void AddFieldError(store::Store& store, int fileId, std::string_view item) {
  size_t at = item.find('@');
  if (at == std::string_view::npos) return;
  std::string_view name = item.substr(0, at);
  long errid = LeadingNumber(text::Trim(item.substr(at + 1))) + kCodeToErrid;
  store.insertFinding(fileId, std::to_string(errid), FieldErrorText(errid, name));
}

void AddDateError(store::Store& store, int fileId, std::string_view dateInfo) {
  store.insertFinding(fileId, "7", "存在非指定日期" + std::string(dateInfo) + "的数据");
}

}  // namespace fc::pipeline
