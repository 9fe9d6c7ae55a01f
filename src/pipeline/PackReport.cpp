#include "pipeline/PackReport.h"

#include <cstddef>

namespace fc::pipeline {

namespace {

// 1234567 as "1,234,567".
std::string GroupedDigits(std::uintmax_t n) {
  std::string digits = std::to_string(n);
  for (auto at = static_cast<std::ptrdiff_t>(digits.size()) - 3; at > 0; at -= 3) digits.insert(static_cast<size_t>(at), ",");
  return digits;
}

}  // namespace

std::string PackSummaryText(const PackReport& report) {
  std::string text = report.written.empty()
                         ? std::string("没有生成zip压缩文件")
                         : "已生成" + std::to_string(report.written.size()) + "个zip压缩文件:";
  for (const PackedArchive& a : report.written) {
    text += "\n" + a.archive + " (" + GroupedDigits(a.size) + "字节)";
    if (!a.keptAs.empty()) text += "，原有的不同文件已保存为" + a.keptAs;
  }
  if (report.failures.empty()) return text;
  text += "\n\n下列文件未能生成zip压缩文件:";
  for (const PackFailure& f : report.failures) text += "\n" + f.source + " (" + f.reason + ")";
  return text;
}

}  // namespace fc::pipeline
