// report/Headline.h - the conclusion the PDF report and the workbook open
// with: the run's verdict (judged once as the run ended and kept with its
// facts, store/Verdict.h) as a word, its reason, and its tone. Both exports
// take it from here, so that they never disagree with each other or with the
// windows.
//
//   const fc::report::Headline head = fc::report::RunHeadline(data.run);
//   draw("检查结论：" + head.word, head.tone);
#pragma once

#include <string>

#include "history/History.h"

namespace fc::report {

enum class Tone { Pass, Fail, Incomplete, Unknown };

struct Headline {
  std::string word;    // 通过, 不通过, 未完成, or "—" for a run kept before verdicts
  std::string reason;  // the verdict's line ("不通过：应报文件10个，缺少1个"), or why there is none
  Tone tone = Tone::Unknown;
};

Headline RunHeadline(const history::Run& run);

}  // namespace fc::report
