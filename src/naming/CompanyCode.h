// naming/CompanyCode.h - the company code check and the company lookup that
// the check windows and the directory choosers share.
//
//   if (auto message = CheckCompanyCode(field)) { show *message under "错误提示"; }
//
//   CompanyConfirmation c = PrepareCompanyConfirmation(code, store.findCompany(code));
//   ask c.question under kConfirmTitle; on OK set ZQGSDM = c.code, ZQGSMC = c.name.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace fc::naming {

inline constexpr std::string_view kCodeNotDigitsText = "证券公司编码不正确，有非数字字符";
inline constexpr std::string_view kCodeLengthText = "证券公司编码必须6位";
inline constexpr std::string_view kConfirmTitle = "文件名分析";
inline constexpr std::string_view kUnknownCompanyName = "未能匹配到公司名称";

// CheckCompanyCode: nothing when the trimmed code is six characters "0"-"9";
// else the message to show. The digit test comes first, so "1000A" gets the
// non-digit message, and only ASCII digits count (full-width ones do not).
std::optional<std::string_view> CheckCompanyCode(std::string_view code);

struct CompanyConfirmation {
  std::string code;      // for ZQGSDM, trimmed
  std::string name;      // for ZQGSMC, trimmed; kUnknownCompanyName when not in zqgs
  std::string question;  // "确认将证券公司代码设置为:[code] [name] 吗?"
};

// The wording half of ConfirmCompanyCode: the question for a recognised code
// and the company `name` the caller looked up in zqgs (nothing when it is not
// there); the caller asks it.
CompanyConfirmation PrepareCompanyConfirmation(std::string_view code, std::optional<std::string> name);

}  // namespace fc::naming
