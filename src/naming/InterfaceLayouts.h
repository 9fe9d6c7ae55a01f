// naming/InterfaceLayouts.h - the interface agreement: the field layout of
// each table kind, read from a rule set's layouts.csv (ruleset/RuleSet.h).
#pragma once

#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "privacy/Masking.h"

namespace fc::naming {

struct LayoutField {
  std::string name;      // upper case, as the agreement spells it
  char type = 'C';       // 'C' or 'N'
  int length = 0;        // bytes
  int decimals = 0;
  std::string meaning;   // what the field holds, in the agreement's Chinese; empty when not given
  privacy::Personal personal = privacy::Personal::None;  // personal data the program masks
};

struct TableLayout {
  std::string kind;                  // KHJBXX, ..., SFZHCQK
  std::vector<LayoutField> fields;   // in agreement order
  std::optional<std::string> dateField;  // field that must hold the data date
};

// A layouts file that cannot be read or holds a fault; the text names the
// file and line for the operator.
class LayoutsError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class InterfaceLayouts {
 public:
  // Throws LayoutsError naming the file and line when it cannot be read:
  // "接口规范文件 PATH 第N行：WHAT".
  static InterfaceLayouts load(const std::filesystem::path& csv);
  // The same from `content`, the bytes of `csv` read already (nothing: unreadable).
  static InterfaceLayouts parse(const std::filesystem::path& csv, std::optional<std::string_view> content);
  // The layout of a kind (letter case ignored), or null.
  const TableLayout* find(std::string_view kind) const;
  // The kind a file name carries: the "_"-separated token equal to a known kind.
  const TableLayout* forFileName(std::string_view fileName) const;
  // The meaning of a field (letter case ignored) in the layout of `kind`, else
  // in the first layout that has a field of that name and gives its meaning;
  // empty when none does.
  std::string meaningOf(std::string_view kind, std::string_view field) const;
  // The fields the agreement marks as personal, of every kind.
  privacy::PersonalFields personalFields() const;
  const std::vector<TableLayout>& all() const { return layouts_; }

 private:
  std::vector<TableLayout> layouts_;
};

// "营业部代码 YYBDM": the meaning the agreement gives the field in `kind`
// (else in any kind), then the name; the name alone when no meaning is known
// or `agreement` is null. Heads the records wherever they are shown or exported.
std::string FieldHeading(const InterfaceLayouts* agreement, std::string_view kind, std::string_view field);

}  // namespace fc::naming
