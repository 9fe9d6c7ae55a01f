// pipeline/FieldContent.h - what the stored value of an agreed character or
// numeric field may hold, as the structure check judges it record by record.
//
// Blanks pad a value and nothing else does, which is how the rules read it
// too (query/PaddedText.h). A numeric field (N, F) holds what
// query::ParseField reads as a number with the field's decimals, the reading
// the rules compute with. A character field holds no control bytes (NUL,
// tab, CR, LF and the rest below 0x20: no code page we read uses them inside
// a character), and not ideographic spaces alone, which look blank to an
// operator and to the receiver but are filled in to a rule.
//
//   const ContentCheck check(*field, table.encoding());
//   if (check.flawOf(table.raw(i, *field)) != ContentFlaw::None) ...
//
// NULL is no value of the field at all; the check of the records tells it
// from the _NullFlags bits, and it is named here beside the flaws of values.
#pragma once

#include <string_view>

namespace fc::dbf { struct Field; }

namespace fc::pipeline {

enum class ContentFlaw { None, Null, NotANumber, ControlCharacter, IdeographicBlank };

class ContentCheck {
 public:
  // `codePage`: the table's (dbf::Table::encoding()), which says what an
  // ideographic space is.
  ContentCheck(const dbf::Field& field, unsigned codePage);
  // What is wrong with the stored bytes of one value (never Null).
  ContentFlaw flawOf(std::string_view value) const;

 private:
  bool numeric_ = false;
  int decimals_ = 0;
  std::string_view ideographicSpace_;  // its bytes in the code page; empty when it has none
};

}  // namespace fc::pipeline
