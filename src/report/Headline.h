// report/Headline.h - the conclusion a report and a workbook open with: the
// run's verdict as one word, the reason that decided it, and whether it is
// the one clean outcome. Every export takes its conclusion from here, so the
// PDF's headline and the workbook's summary never disagree.
//
//   const fc::report::Headline head = fc::report::RunHeadline(data.run);
//   draw(head.word + "：" + head.reason, head.pass ? green : red);
#pragma once

#include <string>

#include "history/History.h"

namespace fc::report {

struct Headline {
  std::string word;    // 通过, 不通过 or 未完成
  std::string reason;  // what decided it, counted ("应报文件10个，缺少1个；...")
  bool pass = false;   // true only for a run whose every expected file was checked and was clean
};

Headline RunHeadline(const history::Run& run);

}  // namespace fc::report
