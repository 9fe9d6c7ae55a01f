#include "naming/FileNames.h"

#include <stdexcept>
#include <vector>

#include "text/Text.h"
#include "text/Utf8.h"

namespace fc::naming {

namespace {

using Characters = std::vector<std::string_view>;

using text::IsDigit;

bool IsDigit(std::string_view character) { return character.size() == 1 && IsDigit(character[0]); }

// Characters `from` to `to` of a name, counted from 1 as the naming rules count.
std::string Slice(const Characters& chars, std::size_t from, std::size_t to) {
  std::string out;
  for (std::size_t i = from; i <= to; ++i) out += chars[i - 1];
  return out;
}

// The date text "YYYY-MM-DD" of a name whose year begins at character
// L - yearFromEnd (L the name's length).
std::string DateText(const Characters& chars, std::size_t yearFromEnd) {
  const std::size_t y = chars.size() - yearFromEnd;
  return Slice(chars, y, y + 3) + "-" + Slice(chars, y + 4, y + 5) + "-" + Slice(chars, y + 6, y + 7);
}

int Number(std::string_view digits) {
  int n = 0;
  for (char c : digits) n = n * 10 + (c - '0');
  return n;
}

bool MalformedAccountName(const Characters& chars, bool full) {
  const std::size_t length = chars.size();
  if (full) {
    if (length != 31) return true;
  } else if (length != 27 && length != 28) {
    return true;
  }
  if (!IsDigit(chars[length - 5])) return true;
  // The extension's dot passes; anything above "_" (a lower-case letter, a
  // character beyond ASCII) does not.
  const std::string_view dot = chars[length - 4];
  return dot.size() > 1 || static_cast<unsigned char>(dot[0]) > '_';
}

// The six characters after the company code: the kind's infix without its
// leading "_" ("KHJBXX", "YYBXX_").
std::string_view KindField(const Kind& kind) { return kind.infix.substr(1, 6); }

void ClassifyKind(AccountName& a) {
  for (std::size_t i = 0; i < kAccountKinds.size(); ++i) {
    const std::string_view field = KindField(kAccountKinds[i]);
    if (a.kindField == field) {
      a.kindClass = KindClass::Known;
      a.kindIndex = static_cast<int>(i);
      return;
    }
    if (a.kindField == text::ToLower(field)) {
      a.kindClass = KindClass::LowerCase;
      return;
    }
  }
}

// How many digits the sequence number before the four-character extension
// has: more than one only when they all are digits with a "_" before them,
// as the run writes the names (a one-digit number keeps the old reading).
std::size_t SequenceDigitCount(const Characters& chars) {
  const std::size_t length = chars.size();
  for (std::size_t n = kSequenceDigits; n > 1; --n) {
    if (length < n + 6) continue;
    bool digits = chars[length - 5 - n] == "_";
    for (std::size_t i = length - 4 - n; digits && i < length - 4; ++i) digits = IsDigit(chars[i]);
    if (digits) return n;
  }
  return 1;
}

}  // namespace

std::string ExpectedFileName(Submission submission, int kindIndex, bool fullTransfer, std::string_view code,
                             std::string_view date, int sequence, FileType type) {
  const std::span<const Kind> kinds = Kinds(submission);
  if (kindIndex < 0 || static_cast<std::size_t>(kindIndex) >= kinds.size())
    throw std::out_of_range("no file kind " + std::to_string(kindIndex));
  const Kind& kind = kinds[static_cast<std::size_t>(kindIndex)];
  std::string name = fullTransfer && kind.fullPrefix ? "QL_" : "";
  name.append(code).append(kind.infix).append(date);
  if (submission == Submission::Account) name += "_" + std::to_string(sequence);
  return name + (type == FileType::Zip ? ".ZIP" : ".DBF");
}

bool IsCalendarDate(std::string_view text) {
  if (text.size() != 10 || text[4] != '-' || text[7] != '-') return false;
  for (std::size_t i : {0, 1, 2, 3, 5, 6, 8, 9})
    if (!IsDigit(text[i])) return false;
  const int year = Number(text.substr(0, 4)), month = Number(text.substr(5, 2)), day = Number(text.substr(8, 2));
  if (year < 1900 || month < 1 || month > 12 || day < 1) return false;
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return day <= kDays[month - 1] + (month == 2 && leap);
}

std::optional<std::string> RecogniseCompanyCode(std::string_view name, bool allowFullPrefix) {
  auto codeAt = [&](std::size_t at) -> std::optional<std::string> {
    if (name.size() < at + 7 || name.substr(at, 3) != "100" || name[at + 6] != '_') return std::nullopt;
    for (std::size_t i = at + 3; i < at + 6; ++i)
      if (!IsDigit(name[i])) return std::nullopt;
    return std::string(name.substr(at, 6));
  };
  if (auto code = codeAt(0)) return code;
  if (allowFullPrefix && name.starts_with("QL_")) return codeAt(3);
  return std::nullopt;
}

IdentityName AnalyseIdentityFileName(std::string_view name) {
  const Characters chars = text::SplitCharacters(name);
  if (chars.size() != 27) return {};
  IdentityName result{NameOutcome::BadDate, DateText(chars, 11)};
  if (IsCalendarDate(text::Trim(result.dateText))) result.outcome = NameOutcome::Ok;
  return result;
}

AccountName AnalyseAccountFileName(std::string_view name) {
  Characters chars = text::SplitCharacters(name);
  if (chars.size() < 5) return {};
  const std::size_t digits = SequenceDigitCount(chars);
  const std::size_t firstDigit = chars.size() - 4 - digits;
  const int sequence = Number(Slice(chars, firstDigit + 1, firstDigit + digits));
  // Judged with the number's last digit alone, the shape a one-digit number gives.
  chars.erase(chars.begin() + static_cast<std::ptrdiff_t>(firstDigit),
              chars.begin() + static_cast<std::ptrdiff_t>(firstDigit + digits - 1));
  const bool full = name.starts_with("QL_");
  AccountName a;
  if (MalformedAccountName(chars, full)) return a;
  a.dateText = DateText(chars, 13);
  if (!IsCalendarDate(text::Trim(a.dateText))) {
    a.outcome = NameOutcome::BadDate;
    return a;
  }
  a.outcome = NameOutcome::Ok;
  a.mode = full ? TransferMode::Full : chars.size() == 28 ? TransferMode::Incremental : TransferMode::Pending;
  a.kindField = Slice(chars, full ? 11 : 8, full ? 16 : 13);
  ClassifyKind(a);
  a.sequence = sequence;
  a.dateDigits = a.dateText.substr(0, 4) + a.dateText.substr(5, 2) + a.dateText.substr(8, 2);
  return a;
}

std::string_view ModeText(TransferMode mode) {
  switch (mode) {
    case TransferMode::Incremental: return "增量";
    case TransferMode::Full: return "全量";
    case TransferMode::Pending: break;
  }
  return "模式待定";
}

std::string OutcomeText(NameViewer viewer, NameOutcome outcome, std::string_view dateText) {
  const std::string date(dateText);
  if (outcome == NameOutcome::Ok) return "[数据日期]为:" + date;
  const bool badName = outcome == NameOutcome::BadName;
  switch (viewer) {
    case NameViewer::Submission:
      return badName ? "错误：所选文件命名格式不符合接口规范！" : "错误：[数据日期]非法:" + date + "！";
    case NameViewer::Comparison:
      return badName ? "所选文件命名格式不符合接口规范！" : "[数据日期]非法:" + date;
    case NameViewer::PreciseSelection: break;
  }
  return badName ? "错误:所选文件命名格式不符合接口规范！" : "错误:[数据日期]非法:" + date + "！";
}

std::string ModeLine(NameOutcome outcome, TransferMode mode) {
  if (outcome != NameOutcome::Ok) return "[传输模式]为:命名不符合接口约定无法判断";
  return "[传输模式]为:" + std::string(ModeText(mode));
}

}  // namespace fc::naming
