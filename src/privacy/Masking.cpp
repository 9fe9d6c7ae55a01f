#include "privacy/Masking.h"

#include <vector>

#include "text/Text.h"
#include "text/Utf8.h"

namespace fc::privacy {

namespace {

constexpr size_t kKeptHead = 6;  // characters of an identity number left as they are
constexpr size_t kKeptTail = 4;

std::string Joined(const std::vector<std::string_view>& characters, size_t from, size_t to) {
  std::string text;
  for (size_t i = from; i < to; ++i) text += characters[i];
  return text;
}

std::string MaskIdentityNumber(const std::vector<std::string_view>& characters) {
  const size_t n = characters.size();
  if (n <= kKeptHead + kKeptTail) return std::string(n, '*');
  return Joined(characters, 0, kKeptHead) + std::string(n - kKeptHead - kKeptTail, '*') +
         Joined(characters, n - kKeptTail, n);
}

std::string MaskName(const std::vector<std::string_view>& characters) {
  if (characters.empty()) return {};
  return std::string(characters.front()) + "*";
}

}  // namespace

bool Masks(Personal personal, Masking masking) {
  if (personal == Personal::IdentityNumber) return masking != Masking::Off;
  return personal == Personal::Name && masking == Masking::NumbersAndNames;
}

std::string_view PersonalName(Personal personal) {
  switch (personal) {
    case Personal::IdentityNumber: return "id";
    case Personal::Name: return "name";
    case Personal::None: break;
  }
  return "";
}

std::optional<Personal> PersonalNamed(std::string_view name) {
  for (Personal p : {Personal::None, Personal::IdentityNumber, Personal::Name})
    if (PersonalName(p) == name) return p;
  return std::nullopt;
}

void PersonalFields::mark(std::string_view kind, std::string_view field, Personal personal) {
  marks_[text::ToUpper(kind) + "." + text::ToUpper(field)] = personal;
}

Personal PersonalFields::of(std::string_view kind, std::string_view field) const {
  auto found = marks_.find(text::ToUpper(kind) + "." + text::ToUpper(field));
  return found == marks_.end() ? Personal::None : found->second;
}

std::string MaskValue(std::string_view value, Personal personal, Masking masking) {
  if (!Masks(personal, masking)) return std::string(value);
  const size_t end = value.find_last_not_of(' ');
  const std::vector<std::string_view> characters =
      text::SplitCharacters(end == std::string_view::npos ? std::string_view() : value.substr(0, end + 1));
  return personal == Personal::IdentityNumber ? MaskIdentityNumber(characters) : MaskName(characters);
}

}  // namespace fc::privacy
