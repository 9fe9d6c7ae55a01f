// naming/FileNames.h - submission file names: the names a check run expects,
// and the analyses the dialogs run on a name the operator picks.
//
// Names of the settlement-fund account data:
//   100001_KHJBXX_20080808_1.ZIP      incremental transfer, sequence number 1
//   QL_100001_KHJBXX_20080808_1.ZIP   full transfer (only the six-letter kinds)
//   100001_YYBXX_20080808_1.ZIP       five-letter kinds, either mode
// and of the identity re-check data:
//   100001_SFZFCJG_20080808.ZIP       the submission; SFZHCQK the comparison table
//
//   std::string n = ExpectedFileName(Submission::Account, 0, false, "100001", "20080808", 1, FileType::Zip);
//   AccountName a = AnalyseAccountFileName(picked);
//   label = OutcomeText(NameViewer::PreciseSelection, a.outcome, a.dateText);
//
// The analyses count characters (not bytes) and compare by character code;
// they never fail, every name gets an outcome.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "naming/Kinds.h"

namespace fc::naming {

// The name a run expects for kind `kindIndex` of `submission`: "QL_" in full
// transfer for the kinds that take it, code, infix, `date` (YYYYMMDD; the
// caller passes the comparison date for a kind with comparisonDate), then for
// the settlement-fund data "_" and `sequence`, then ".ZIP" or ".DBF". Throws
// std::out_of_range for an index that names no kind.
std::string ExpectedFileName(Submission submission, int kindIndex, bool fullTransfer, std::string_view code,
                             std::string_view date, int sequence, FileType type);

// True for "YYYY-MM-DD" naming a real day. Years run from 1900 (no data date
// lies earlier; older texts are more likely typing errors) to 9999.
bool IsCalendarDate(std::string_view text);

// RecogniseCompanyCode: the company code a picked name starts with: "100ddd_"
// gives 100ddd; with allowFullPrefix also "QL_100ddd_". Any other name: none.
std::optional<std::string> RecogniseCompanyCode(std::string_view name, bool allowFullPrefix);

enum class NameOutcome { BadName, BadDate, Ok };

struct IdentityName {
  NameOutcome outcome = NameOutcome::BadName;
  std::string dateText;  // "YYYY-MM-DD" as read from the name; empty for a bad name
};

// AnalyseIdentityFileName: a 27-character name with a valid date.
IdentityName AnalyseIdentityFileName(std::string_view name);

enum class TransferMode { Incremental, Full, Pending };  // "增量", "全量", "模式待定"
enum class KindClass { Known, LowerCase, None };

struct AccountName {
  NameOutcome outcome = NameOutcome::BadName;
  std::string dateText;                  // "YYYY-MM-DD" as read; empty for a bad name
  std::string dateDigits;                // "YYYYMMDD" (Ok only)
  TransferMode mode = TransferMode::Pending;  // (Ok only)
  std::string kindField;                 // the six characters at the kind's place, "YYBXX_" for a five-letter kind (Ok only)
  KindClass kindClass = KindClass::None;  // (Ok only)
  int kindIndex = -1;                    // settlement-fund kind index when kindClass is Known
  int sequence = 0;                      // the sequence number, 0-999 (Ok only)
};

// The most digits a sequence number has: the sequence fields of the
// settlement-fund window take as many characters.
inline constexpr std::size_t kSequenceDigits = 3;

// AnalyseAccountFileName: shape, date, transfer mode, kind and sequence
// number. A number of one to kSequenceDigits digits is read alike: the name
// is judged as if it had the number's last digit alone.
AccountName AnalyseAccountFileName(std::string_view name);

std::string_view ModeText(TransferMode mode);

// Where an outcome is shown: the identity window's two file viewers and the
// precise selection dialog, each with its own wording.
enum class NameViewer { Submission, Comparison, PreciseSelection };

std::string OutcomeText(NameViewer viewer, NameOutcome outcome, std::string_view dateText);

// The precise selection dialog's second line, "[传输模式]为:...".
std::string ModeLine(NameOutcome outcome, TransferMode mode);

inline constexpr std::string_view kLowerCaseKindText = "文件名字母为小写！按接口要求文件名字母应该大写。";

}  // namespace fc::naming
