#include "naming/CompanyCode.h"

#include <utility>

#include "text/Text.h"

namespace fc::naming {

std::optional<std::string_view> CheckCompanyCode(std::string_view code) {
  code = text::Trim(code);
  if (!text::AllDigits(code)) return kCodeNotDigitsText;
  if (code.size() != 6) return kCodeLengthText;
  return std::nullopt;
}

CompanyConfirmation PrepareCompanyConfirmation(std::string_view code, std::optional<std::string> found) {
  const std::string name = std::move(found).value_or(std::string(kUnknownCompanyName));
  return {std::string(text::Trim(code)), std::string(text::Trim(name)),
          "确认将证券公司代码设置为:[" + std::string(code) + "] [" + name + "] 吗?"};
}

}  // namespace fc::naming
