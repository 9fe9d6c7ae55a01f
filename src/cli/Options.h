// cli/Options.h - the "--name value" options of the check commands and the
// application home they work in.
//
//   fc::cli::Options opts;
//   std::string error;
//   if (!opts.parse(args, {"home", "source"}, {"full"}, error)) return Fail(error);
//   fc::settings::AppHome home = fc::cli::HomeAt(opts.value("home"));
#pragma once

#include <cstdint>
#include <initializer_list>
#include <map>
#include <optional>
#include <set>
#include <string>

#include "cli/Commands.h"
#include "settings/AppHome.h"

namespace fc::cli {

// The forms a command prints its answer in, as --format names them.
enum class OutputFormat { Table, Tsv, Csv, Json, Xlsx };

class Options {
 public:
  // Accepts "--name value", "--name=value" and bare "--flag"s of the given
  // names; anything else, a repeated option or a missing value is an error.
  bool parse(const Args& args, std::initializer_list<const char*> valued,
             std::initializer_list<const char*> flags, std::string& error);
  // The value of a valued option, or nothing when it was not given.
  std::optional<std::string> value(const std::string& name) const;
  bool flag(const std::string& name) const { return flags_.count(name) != 0; }
  // Sets `error` when one of `names` was not given.
  bool require(std::initializer_list<const char*> names, std::string& error) const;
  // --format when it names one of `offered` (the first when not given);
  // otherwise nothing, with `error` naming them ("--format 只能取 table、tsv 或 json").
  std::optional<OutputFormat> format(std::initializer_list<OutputFormat> offered, std::string& error) const;

 private:
  std::map<std::string, std::string> values_;
  std::set<std::string> flags_;
};

// `text` as a whole number from `least` to `most`, written out in full
// (digits only: "1O0", "2abc" and "1e9" are no numbers); nothing otherwise.
std::optional<int64_t> WholeNumber(const std::string& text, int64_t least, int64_t most);

// The data files that ship with this program (data/ in the build tree).
std::filesystem::path ProgramDataDir();

// The application home `dir` with the data files that ship with this program.
// A home holding a store that others may read is narrowed (NarrowHomeOnce).
settings::AppHome HomeAt(const std::string& dir);

// Reading commands never make a home or a file in it: they call this first
// and, when `file` of the home is not there, fail with the line "应用目录…
// 中还没有`what`". False then; a link or a directory in the file's place is
// refused when it is opened.
bool RequireHomeFile(const settings::AppHome& home, const std::filesystem::path& file, const std::string& what);

// Makes an existing `home` that others may read or enter private, with a line on stderr.
void NarrowHomeOnce(const std::filesystem::path& home);

// Prints `text` as a line on stderr and returns exit status 2.
int Fail(const std::string& text);

}  // namespace fc::cli
