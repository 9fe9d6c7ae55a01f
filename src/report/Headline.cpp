#include "report/Headline.h"

namespace fc::report {

Headline RunHeadline(const history::Run& run) {
  const store::RunFacts& f = run.facts;
  switch (f.verdict) {
    case store::Verdict::Pass: return {store::VerdictWord(f.verdict), f.verdictText, Tone::Pass};
    case store::Verdict::Fail: return {store::VerdictWord(f.verdict), f.verdictText, Tone::Fail};
    case store::Verdict::Incomplete: return {store::VerdictWord(f.verdict), f.verdictText, Tone::Incomplete};
    case store::Verdict::Unknown: break;
  }
  return {store::VerdictWord(f.verdict), "这次检查由旧版本程序记录，没有检查结论", Tone::Unknown};
}

}  // namespace fc::report
