#include "rules/RuleText.h"

#include "query/Session.h"
#include "text/Text.h"

namespace fc::rules {

namespace {

constexpr std::string_view kDateSlot = "{date}";
constexpr std::string_view kCodeSlot = "{code}";

bool IsSlotChar(char c) { return text::IsDigit(c) || text::FoldLower(c) != text::FoldUpper(c) || c == '_'; }

void RefuseQuote(std::string_view value) {
  if (value.find('\'') != std::string_view::npos)
    throw query::QueryError("查询条件中含有单引号，无法组成查询: " + std::string(value));
}

}  // namespace

std::string SpliceQuery(std::string_view pattern, std::string_view date, std::string_view code) {
  RefuseQuote(date);
  RefuseQuote(code);
  std::string sql;
  sql.reserve(pattern.size() + 16);
  while (!pattern.empty()) {
    if (pattern.starts_with(kDateSlot)) {
      sql += date;
      pattern.remove_prefix(kDateSlot.size());
    } else if (pattern.starts_with(kCodeSlot)) {
      sql += code;
      pattern.remove_prefix(kCodeSlot.size());
    } else {
      sql += pattern.front();
      pattern.remove_prefix(1);
    }
  }
  return sql;
}

std::string UnknownSlot(std::string_view pattern) {
  for (size_t open = pattern.find('{'); open != std::string_view::npos; open = pattern.find('{', open + 1)) {
    size_t end = open + 1;
    while (end < pattern.size() && IsSlotChar(pattern[end]))
      ++end;
    if (end == open + 1 || end == pattern.size() || pattern[end] != '}') continue;
    const std::string_view slot = pattern.substr(open, end + 1 - open);
    if (slot != kDateSlot && slot != kCodeSlot) return std::string(slot);
  }
  return {};
}

std::string CountMessage(std::string_view label, std::string_view date, int total, int n,
                         std::string_view tail) {
  std::string text(label);
  text += date;
  text += "的记录有";
  text += text::CountText(total);
  text += "条,其中";
  text += text::CountText(n);
  text += tail;
  return text;
}

std::string DateMessage(std::string_view label, std::string_view date, int total, int n) {
  std::string text(label);
  text += date;
  text += "的记录有";
  text += text::CountText(total);
  text += "条,此外";
  text += text::CountText(n);
  text += "条记录数据日期不是";
  text += date;
  return text;
}

std::string CompanyMessage(std::string_view label, std::string_view date, int total, int n,
                           std::string_view code) {
  return CountMessage(label, date, total, n, "条记录证券公司代码不是" + std::string(code));
}

}  // namespace fc::rules
