#include "text/Json.h"

#include <nlohmann/json.hpp>

namespace fc::text {

std::string JsonText(const Json& value, int indent) {
  constexpr bool kEscapeNonAscii = false;
  return value.dump(indent, ' ', kEscapeNonAscii, Json::error_handler_t::replace);
}

}  // namespace fc::text
