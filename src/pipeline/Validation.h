// pipeline/Validation.h - the checks a check run's inputs pass before the run
// starts, shared by the check windows and the command line.
//
// The caller hands over the fields as typed and answers the two questions
// that need it (the company lookup and "continue with an unknown code?");
// the result is the first problem in the order the operator is told about
// them, with the field that gets the focus:
//
//   fc::pipeline::RawRunInputs raw{...};
//   auto problem = fc::pipeline::ValidateRunInputs(raw, {findCompany, askContinue});
//   if (problem) { show(problem->message); focus(problem->focus); return; }
//   fc::pipeline::RunInputs inputs = fc::pipeline::MakeRunInputs(raw, rest);  // rest: dates, kinds, limits
//
// Everything here is pure apart from the two callbacks.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "pipeline/RunInputs.h"
#include "settings/AppHome.h"

namespace fc::pipeline {

// The message of the blank guard that comes before the validation.
inline constexpr const char* kBlankInPathMessage =
    "对不起本软件不允许比对路径包含空格，请您重新填写。";
// The question asked when the code is not in the company list.
inline constexpr const char* kUnknownCompanyQuestion =
    "输入的证券公司编码在证券公司清单中没有找到，是否继续？";
// A run may list at most this many files (its file numbers are 16-bit).
inline constexpr int kMaxListedFiles = 32767;
inline constexpr const char* kTooManyFilesMessage = "序号范围过大：一次检查最多列出32767个文件";

enum class InputField { CompanyCode, BeginNo, EndNo, SourceDir, TargetDir };

struct RawRunInputs {
  Submission submission = Submission::Account;
  std::string companyCode;    // ZQGSDM as typed
  std::string beginNo;        // BeginNo as typed (account only)
  std::string endNo;          // EndNo as typed (account only)
  std::string sourceDir;      // SourceDir as typed
  std::string targetDir;      // TargetDir as typed
  CheckType checkType = CheckType::Zip;
  std::string sourceCaption;  // current caption of the source directory's label
  std::string targetCaption;  // current caption of the output directory's label
  int selectedKindCount = 1;  // kinds taking part, for the bound on listed files
  bool packs = true;          // the DBF type may pack into TargetDir, so it is required
};

struct InputProblem {
  std::string message;  // "错误提示" text; empty when the operator declined to go on
  InputField focus;     // the field to correct
};

struct CompanyQuestions {
  // FindCompany with the trimmed code: the company name or nothing.
  std::function<std::optional<std::string>(const std::string& code)> findCompany;
  // The Yes/No question kUnknownCompanyQuestion: true for Yes.
  std::function<bool()> continueWithUnknownCode;
};

// True when the trimmed source directory holds a blank (the guard before the
// validation, which then shows kBlankInPathMessage).
bool SourceDirHasBlank(std::string_view sourceDir);

// A sequence number as typed: an optionally signed decimal number, fraction
// discarded; nothing when it is not one or does not fit 16 bits.
std::optional<int> ParseSequenceNumber(std::string_view text);

// "YYYY-MM-DD" (a real calendar day, see naming::IsCalendarDate) as eight digits
// "YYYYMMDD", or nothing.
std::optional<std::string> ParseDateText(std::string_view text);

// A date as an operator types it into a date box, as eight digits
// "YYYYMMDD": "20080808", or year, month and day between dashes with one or
// two digits for the month and the day ("2008-8-8"); nothing when it is not
// a whole calendar day.
std::optional<std::string> FinishTypedDate(std::string_view typed);

// The checks of a run's inputs in order; nothing when the run may start.
std::optional<InputProblem> ValidateRunInputs(const RawRunInputs& raw,
                                              const CompanyQuestions& questions);

// The output directory of a DBF-type check that may pack, checked before
// the run (not after the whole check and the question): it must be a
// directory that takes new files. Nothing when it is, or when no archive
// would be written (ZIP type, no packing, an empty field left to
// ValidateRunInputs). Unlike the rest, this looks at the file system.
std::optional<InputProblem> CheckOutputDir(const RawRunInputs& raw);

// The source directory, and the output directory of a DBF-type check that
// may pack, must not be one of the home's scratch folders (AppHome's
// scratchDirs(), in any letter case or reached through a link): the
// program empties them, so the operator's files there would be lost and an
// archive written there deleted by the next run. A folder inside one is
// accepted. Nothing when neither is one.
std::optional<InputProblem> CheckScratchDirs(const RawRunInputs& raw, const settings::AppHome& home);

// A directory text as a run reads it: trimmed, with "/" appended when missing;
// empty when no directory was given (never the root by accident).
std::string RunDirectory(std::string_view text);

// The run's inputs from validated raw inputs, as the run reads them: the code
// trimmed, the directories as RunDirectory makes them, the sequence numbers
// of an account check parsed. What the raw inputs do not hold (the dates, the
// kinds, the limits) comes from `rest`, whose other fields are replaced.
RunInputs MakeRunInputs(const RawRunInputs& raw, RunInputs rest);

}  // namespace fc::pipeline
