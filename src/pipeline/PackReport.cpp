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

std::string PackQuestion::text() const {
  std::string text = "文件结构和数据检查完成,是否生成zip压缩文件?\n检查结论：" + verdictText;
  if (tablesWithFindings.empty()) return text;
  text += "\n以下" + std::to_string(tablesWithFindings.size()) + "个数据表通过了结构检查，但有规则检查问题，也会被压缩：";
  for (size_t i = 0; i < tablesWithFindings.size(); ++i) text += (i ? "、" : "") + tablesWithFindings[i];
  return text;
}

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
