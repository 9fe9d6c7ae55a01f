// text/Json.h - the one way the program writes JSON: nlohmann::ordered_json
// values, keys in the order they were put in, written by JsonText.
//
//   fc::text::Json counts = fc::text::Json::array();   // <nlohmann/json.hpp>
//   counts.push_back({{"field", "ZJZH"}, {"value", "A1"}, {"count", 2}});
//   fc::text::JsonText(counts);     // [{"field":"ZJZH","value":"A1","count":2}]
//   fc::text::JsonText(counts, 2);  // the same, one item a line, indented by two blanks
//   fc::text::JsonText("中\"");     // "中\""
//
// Text other than ASCII is written as the UTF-8 it is, not as \u escapes, so
// that an operator reading the output sees the names and messages; quotes,
// backslashes and control characters are escaped. Operator data may hold
// bytes that are not UTF-8 (a file name made on another code page): each is
// written as U+FFFD, never a failure.
#pragma once

#include <nlohmann/json_fwd.hpp>
#include <string>

namespace fc::text {

using Json = nlohmann::ordered_json;

// `value` as JSON text: on one line without blanks when `indent` is -1, else
// one item a line, indented by `indent` blanks a level.
std::string JsonText(const Json& value, int indent = -1);

}  // namespace fc::text
