// store/Verdict.h - what a check run concludes: one verdict per run and per
// file, in three words (通过, 不通过, 未完成) with a one-line reason, and the
// rules that did not run on a file (未检查: they could not; 不适用: the
// transfer mode leaves them out by design).
//
// The verdict is judged once, when the run ends (pipeline/Judge.h), and kept
// with the run's facts (store/RunFacts.h); every view shows the kept one.
// A run recorded before verdicts were kept has none: Verdict::Unknown,
// shown as "—", never as a pass.
//
//   fc::store::VerdictWord(facts.verdict);   // "不通过"
//   fc::store::VerdictCode(facts.verdict);   // "fail", for scripts
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace fc::store {

enum class Verdict {
  Unknown,     // recorded before verdicts were kept
  Pass,        // every expected file present, every applicable check ran, nothing found
  Fail,        // a file missing, an archive, structure or date problem, or a rule finding
  Incomplete,  // the run stopped, or an applicable check did not run
  Accepted,    // as Pass, but for rule findings every one of which an acceptance in force covers
};

// "pass", "fail", "incomplete", "accepted"; "" for Unknown.
const char* VerdictCode(Verdict verdict);
// "通过", "不通过", "未完成", "已接受"; "—" for Unknown.
const char* VerdictWord(Verdict verdict);
// The verdict of a code VerdictCode gives; Unknown for any other text.
Verdict ParseVerdict(std::string_view code);

// How a rule that did not run on a file is counted.
enum class RuleState {
  NotChecked,     // 未检查: it should have run and could not; the run cannot pass
  NotApplicable,  // 不适用: left out by design (the transfer mode); no effect on the verdict
};

// A verdict's reason without the word it starts with: "应报文件10个，缺少1个"
// of "不通过：应报文件10个，缺少1个", for a line that shows the word already.
std::string_view VerdictReason(std::string_view verdictText);

// "unchecked", "notapplicable" and back (NotChecked for any other text).
const char* RuleStateCode(RuleState state);
RuleState ParseRuleState(std::string_view code);
// "未检查", "不适用".
const char* RuleStateWord(RuleState state);

// One rule that did not run on one file of the run.
struct RuleSkip {
  int fileid = 0;      // the file the rule would have checked (filelist.fileid)
  std::string errid;   // the rule's number, as its findings carry it ("R04")
  RuleState state = RuleState::NotChecked;
  std::string reason;  // why, for the operator ("同组证券营业部信息表YYBXX不存在或未通过检查")
  bool operator==(const RuleSkip&) const = default;
};

}  // namespace fc::store
