// privacy/Masking.h - personal values masked wherever the program shows or
// keeps them.
//
// The interface agreement marks the fields that hold personal data: an
// identity-document number keeps its first 6 and last 4 characters, the rest
// each shown as "*"; a customer name keeps its first character and one "*".
// Identity numbers are masked everywhere (the store's records, the records
// window, CSV, the report, the history); names only in what leaves the
// operator's desk (the report and the history). The operator may see the
// real values in one window or one export; the history never holds them.
//
//   fc::privacy::PersonalFields marks;
//   marks.mark("KHJBXX", "ZJHM", fc::privacy::Personal::IdentityNumber);
//   std::string shown = fc::privacy::MaskValue(value, marks.of("KHJBXX", "ZJHM"), fc::privacy::Masking::Numbers);
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace fc::privacy {

// What a field holds, as far as privacy goes.
enum class Personal { None, IdentityNumber, Name };

// The name of a mark as the layouts file and the store write it: "id" for
// an identity-document number, "name" for a customer name, "" for None.
std::string_view PersonalName(Personal personal);
// The mark a name stands for; nothing for a name that is none of them.
std::optional<Personal> PersonalNamed(std::string_view name);

// How much of the personal data an output masks.
enum class Masking {
  Off,               // the operator's own look, asked for explicitly
  Numbers,           // identity numbers: the store, the records window, CSV, the records command
  NumbersAndNames,   // identity numbers and names: the report and the history
};

// The personal fields of the table kinds.
class PersonalFields {
 public:
  void mark(std::string_view kind, std::string_view field, Personal personal);
  // What `field` of `kind` holds (letter case ignored); None when unmarked.
  Personal of(std::string_view kind, std::string_view field) const;
  bool empty() const { return marks_.empty(); }

 private:
  std::map<std::string, Personal> marks_;  // by "KIND.FIELD", upper case
};

// `value` as `masking` shows a field holding `personal`. Characters are
// UTF-8 characters; trailing blanks (a DBF field's padding) are no part of
// the value. An identity number of 10 characters or fewer shows as "*"s
// alone, for there would be nothing left to hide; an empty value stays empty.
std::string MaskValue(std::string_view value, Personal personal, Masking masking);

// Whether `masking` hides the values of a field holding `personal`.
bool Masks(Personal personal, Masking masking);

}  // namespace fc::privacy
