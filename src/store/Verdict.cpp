#include "store/Verdict.h"

namespace fc::store {

const char* VerdictCode(Verdict verdict) {
  switch (verdict) {
    case Verdict::Pass: return "pass";
    case Verdict::Fail: return "fail";
    case Verdict::Incomplete: return "incomplete";
    case Verdict::Accepted: return "accepted";
    case Verdict::Unknown: break;
  }
  return "";
}

const char* VerdictWord(Verdict verdict) {
  switch (verdict) {
    case Verdict::Pass: return "通过";
    case Verdict::Fail: return "不通过";
    case Verdict::Incomplete: return "未完成";
    case Verdict::Accepted: return "已接受";
    case Verdict::Unknown: break;
  }
  return "—";
}

Verdict ParseVerdict(std::string_view code) {
  for (Verdict v : {Verdict::Pass, Verdict::Fail, Verdict::Incomplete, Verdict::Accepted})
    if (code == VerdictCode(v)) return v;
  return Verdict::Unknown;
}

std::string_view VerdictReason(std::string_view verdictText) {
  constexpr std::string_view kColon = "：";
  for (Verdict v : {Verdict::Pass, Verdict::Fail, Verdict::Incomplete, Verdict::Accepted}) {
    const std::string word = std::string(VerdictWord(v)) + std::string(kColon);
    if (verdictText.substr(0, word.size()) == word) return verdictText.substr(word.size());
  }
  return verdictText;
}

const char* RuleStateCode(RuleState state) {
  return state == RuleState::NotApplicable ? "notapplicable" : "unchecked";
}

RuleState ParseRuleState(std::string_view code) {
  return code == "notapplicable" ? RuleState::NotApplicable : RuleState::NotChecked;
}

const char* RuleStateWord(RuleState state) { return state == RuleState::NotApplicable ? "不适用" : "未检查"; }

}  // namespace fc::store
