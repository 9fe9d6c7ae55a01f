// sql --dir DIR "QUERY": runs one query on the DBF tables of DIR with the
// rules' meaning and prints the result tab-separated, header line first.
#include <cstdio>
#include <string>

#include "cli/Commands.h"
#include "cli/Options.h"
#include "platform/Utf8Paths.h"
#include "query/Session.h"

namespace fc::cli {
namespace {

// A tab or line break inside a value would shift the columns.
std::string Cell(std::string s) {
  for (char& c : s)
    if (c == '\t' || c == '\n' || c == '\r') c = ' ';
  return s;
}

void PrintLine(const std::vector<std::string>& cells) {
  std::string line;
  for (size_t i = 0; i < cells.size(); ++i) {
    if (i > 0) line += '\t';
    line += Cell(cells[i]);
  }
  std::printf("%s\n", line.c_str());
}

}  // namespace

int SqlCommand(const Args& args) {
  const char* usage = "用法: filingcheck-cli sql --dir DIR \"QUERY\"";
  std::string dir, sql;
  bool haveDir = false, haveSql = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--dir" && i + 1 < args.size() && !haveDir) {
      dir = args[++i];
      haveDir = true;
    } else if (a.rfind("--dir=", 0) == 0 && !haveDir) {
      dir = a.substr(6);
      haveDir = true;
    } else if (a.rfind("--", 0) != 0 && !haveSql) {
      sql = a;
      haveSql = true;
    } else {
      return Fail(usage);
    }
  }
  if (!haveDir || !haveSql) return Fail(usage);

  query::Session session;
  std::string error;
  if (!session.open(platform::PathFromUtf8(dir), error)) return Fail(error);
  try {
    query::ResultSet result = session.run(sql);
    PrintLine(result.columns);
    for (const auto& row : result.rows) PrintLine(row);
  } catch (const std::exception& e) {  // QueryError, or memory exhausted by a huge result
    return Fail(e.what());
  }
  return 0;
}

}  // namespace fc::cli
