#include "pipeline/Validation.h"

#include <charconv>
#include <cstdlib>

#include "naming/CompanyCode.h"
#include "naming/FileNames.h"
#include "text/Text.h"

namespace fc::pipeline {

using text::AllDigits;
using text::Trim;

namespace {

int ToInt(std::string_view digits) { return std::atoi(std::string(digits).c_str()); }

// A sequence number's value as typed, fraction included (whatever the locale).
double TypedValue(std::string_view text) {
  std::string_view number = Trim(text);
  if (!number.empty() && number[0] == '+') number.remove_prefix(1);
  double value = 0;
  std::from_chars(number.data(), number.data() + number.size(), value);
  return value;
}

std::optional<InputProblem> CheckSequenceNumbers(const RawRunInputs& raw) {
  std::optional<int> begin = ParseSequenceNumber(raw.beginNo);
  if (!begin) return InputProblem{"开始序号不正确", InputField::BeginNo};
  std::optional<int> end = ParseSequenceNumber(raw.endNo);
  if (!end) return InputProblem{"结束序号不正确", InputField::EndNo};
  if (TypedValue(raw.endNo) < TypedValue(raw.beginNo))
    return InputProblem{"开始序号大于结束序号", InputField::BeginNo};
  long long files = static_cast<long long>(*end - *begin + 1) * raw.selectedKindCount;
  if (files > kMaxListedFiles)
    return InputProblem{kTooManyFilesMessage, InputField::EndNo};
  return std::nullopt;
}

}  // namespace

bool SourceDirHasBlank(std::string_view sourceDir) {
  return Trim(sourceDir).find(' ') != std::string::npos;
}

std::optional<int> ParseSequenceNumber(std::string_view text) {
  std::string t(Trim(text));
  std::string_view s = t;
  bool negative = !s.empty() && s[0] == '-';
  if (!s.empty() && (s[0] == '-' || s[0] == '+')) s.remove_prefix(1);
  size_t dot = s.find('.');
  std::string_view whole = s.substr(0, dot);
  std::string_view fraction = dot == std::string_view::npos ? "" : s.substr(dot + 1);
  if (whole.empty() && fraction.empty()) return std::nullopt;
  if ((!whole.empty() && !AllDigits(whole)) || (!fraction.empty() && !AllDigits(fraction)))
    return std::nullopt;
  size_t significant = whole.find_first_not_of('0');
  if (significant != std::string_view::npos && whole.size() - significant > 5) return std::nullopt;
  int value = whole.empty() ? 0 : ToInt(whole);
  if (value > 32767) return std::nullopt;
  return negative ? -value : value;
}

std::optional<std::string> ParseDateText(std::string_view text) {
  std::string t(Trim(text));
  if (!naming::IsCalendarDate(t)) return std::nullopt;
  return t.substr(0, 4) + t.substr(5, 2) + t.substr(8, 2);
}

std::optional<InputProblem> ValidateRunInputs(const RawRunInputs& raw,
                                              const CompanyQuestions& questions) {
  if (std::optional<std::string_view> message = naming::CheckCompanyCode(raw.companyCode))
    return InputProblem{std::string(*message), InputField::CompanyCode};
  if (!questions.findCompany(std::string(Trim(raw.companyCode))) && !questions.continueWithUnknownCode())
    return InputProblem{"", InputField::CompanyCode};
  if (raw.submission == Submission::Account)
    if (std::optional<InputProblem> problem = CheckSequenceNumbers(raw)) return problem;
  if (Trim(raw.sourceDir).empty())
    return InputProblem{raw.sourceCaption + "不能为空", InputField::SourceDir};
  if (raw.checkType == CheckType::Dbf && raw.packs && Trim(raw.targetDir).empty())
    return InputProblem{raw.targetCaption + "不能为空", InputField::TargetDir};
  return std::nullopt;
}

std::string RunDirectory(std::string_view text) {
  std::string dir(Trim(text));
  if (!dir.empty() && dir.back() != '/') dir += '/';
  return dir;
}

}  // namespace fc::pipeline
