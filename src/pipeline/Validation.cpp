#include "pipeline/Validation.h"

#include <charconv>
#include <cstdlib>
#include <filesystem>

#include "naming/CompanyCode.h"
#include "naming/FileNames.h"
#include "platform/Files.h"
#include "platform/SystemReason.h"
#include "platform/Utf8Paths.h"
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

// `dir` (as typed, not empty) is `scratch` in any letter case, or the same
// directory reached another way.
bool SameDirectory(const std::string& dir, const std::filesystem::path& scratch) {
  const std::filesystem::path path = platform::PathFromUtf8(dir);
  std::error_code ec;
  if (std::filesystem::equivalent(path, scratch, ec)) return true;
  auto spelled = [](const std::filesystem::path& p) {
    std::error_code absoluteEc;
    return text::ToLower(platform::Utf8Of((std::filesystem::absolute(p, absoluteEc) / "").lexically_normal()));
  };
  return spelled(path) == spelled(scratch);
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

std::optional<std::string> FinishTypedDate(std::string_view typed) {
  std::string t(Trim(typed));
  if (t.find('-') == std::string::npos) {
    if (t.size() != 8) return std::nullopt;
    t = t.substr(0, 4) + "-" + t.substr(4, 2) + "-" + t.substr(6, 2);
  }
  const std::size_t first = t.find('-'), second = t.find('-', first + 1);
  if (first != 4 || second == std::string::npos) return std::nullopt;
  auto twoDigits = [](std::string part) { return part.size() == 1 ? "0" + part : part; };
  return ParseDateText(t.substr(0, 5) + twoDigits(t.substr(5, second - 5)) + "-" + twoDigits(t.substr(second + 1)));
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

std::optional<InputProblem> CheckOutputDir(const RawRunInputs& raw) {
  const std::string dir(Trim(raw.targetDir));
  if (raw.checkType != CheckType::Dbf || !raw.packs || dir.empty()) return std::nullopt;
  std::error_code ec;
  const std::string named = raw.targetCaption + dir;
  const std::filesystem::path path = platform::PathFromUtf8(dir);
  if (!std::filesystem::exists(path, ec)) return InputProblem{named + "不存在", InputField::TargetDir};
  if (!std::filesystem::is_directory(path, ec)) return InputProblem{named + "不是目录", InputField::TargetDir};
  if (const std::error_code refused = platform::MayCreateIn(path))
    return InputProblem{named + "无法写入：" + platform::SystemReason(refused.value()), InputField::TargetDir};
  return std::nullopt;
}

std::optional<InputProblem> CheckScratchDirs(const RawRunInputs& raw, const settings::AppHome& home) {
  const std::string source(Trim(raw.sourceDir)), target(Trim(raw.targetDir));
  const bool packs = raw.checkType == CheckType::Dbf && raw.packs && !target.empty();
  for (const std::filesystem::path& scratch : home.scratchDirs()) {
    if (!source.empty() && SameDirectory(source, scratch))
      return InputProblem{raw.sourceCaption + source + "与该软件工作目录冲突，请选择其它目录！", InputField::SourceDir};
    if (packs && SameDirectory(target, scratch))
      return InputProblem{raw.targetCaption + target + "与该软件工作目录冲突，请选择其它目录！", InputField::TargetDir};
  }
  return std::nullopt;
}

std::string RunDirectory(std::string_view text) {
  std::string dir(Trim(text));
  if (!dir.empty() && dir.back() != '/') dir += '/';
  return dir;
}

RunInputs MakeRunInputs(const RawRunInputs& raw, RunInputs rest) {
  rest.submission = raw.submission;
  rest.companyCode = text::Trim(raw.companyCode);
  rest.sourceDir = RunDirectory(raw.sourceDir);
  rest.targetDir = RunDirectory(raw.targetDir);
  rest.checkType = raw.checkType;
  if (raw.submission != Submission::Account) return rest;
  rest.beginNo = ParseSequenceNumber(raw.beginNo).value_or(0);
  rest.endNo = ParseSequenceNumber(raw.endNo).value_or(0);
  return rest;
}

}  // namespace fc::pipeline
