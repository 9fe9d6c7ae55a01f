// naming/CompanyCode.h - the company code check and the company lookup that
// the check windows and the directory choosers share.
//
//   if (auto message = CheckCompanyCode(field)) { show *message under "错误提示"; }
//
//   CompanyConfirmation c = PrepareCompanyConfirmation(store, *RecogniseCompanyCode(name, true));
//   ask c.question under kConfirmTitle; on OK set ZQGSDM = c.code, ZQGSMC = c.name.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace fc::store { class Store; }

namespace fc::naming {

inline constexpr std::string_view kCodeNotDigitsText = "证券公司编码不正确，有非数字字符";
inline constexpr std::string_view kCodeLengthText = "证券公司编码必须6位";
inline constexpr std::string_view kConfirmTitle = "文件名分析";
inline constexpr std::string_view kUnknownCompanyName = "未能匹配到公司名称";

// `text` without leading and trailing blanks (" "; other white space stays).
std::string_view TrimBlanks(std::string_view text);

// CheckCompanyCode: nothing when the trimmed code is six characters "0"-"9";
// else the message to show. The digit test comes first, so "1000A" gets the
// non-digit message, and only ASCII digits count (full-width ones do not).
std::optional<std::string_view> CheckCompanyCode(std::string_view code);

struct CompanyConfirmation {
  std::string code;      // for ZQGSDM, trimmed
  std::string name;      // for ZQGSMC, trimmed; kUnknownCompanyName when not in zqgs
  std::string question;  // "确认将证券公司代码设置为:[code] [name] 吗?"
};

// The lookup half of ConfirmCompanyCode: finds the company of a recognised
// code and words the question; the caller asks it. Throws store::StoreError.
CompanyConfirmation PrepareCompanyConfirmation(store::Store& store, std::string_view code);

}  // namespace fc::naming
