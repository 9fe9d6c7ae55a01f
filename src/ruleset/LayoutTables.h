// ruleset/LayoutTables.h - DBF tables laid out as an interface agreement
// says, written by the project's DBF writer: for the sample submission, the
// tests and the benchmark (WriteLayoutTable), and for the queries a rule set
// runs without a submission (ScratchTables: `rules check` on empty tables,
// `rules test` on the tables of its cases).
//
//   fc::ruleset::WriteLayoutTable(*layouts.find("KHJBXX"), file, {{{"ZJZH", "1"}}}, "100001", "20080808");
//
//   fc::ruleset::ScratchTables tables;
//   tables.add(*layouts.find("KHJBXX"), records, "100001", "20080808");  // std::runtime_error
//   std::string error;
//   if (!tables.open(session, error)) fail(error);
//
// ScratchTables keeps its files in scratch storage (in memory on Linux,
// nothing left behind) and must outlive the session that has them open.
#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "naming/InterfaceLayouts.h"
#include "platform/ScratchFiles.h"
#include "query/Session.h"

namespace fc::ruleset {

// One record: field name (as the layout spells it) -> value; fields left out
// are blank, except ZQGSDM (the company) and the date field (the date).
using LayoutRecord = std::map<std::string, std::string>;

// Writes a dBase III table of `layout` (GBK text) holding `records`; a field
// named `shortenedField` is written 20 bytes shorter than agreed.
void WriteLayoutTable(const naming::TableLayout& layout, const std::filesystem::path& file,
                      const std::vector<LayoutRecord>& records, std::string_view company, std::string_view date,
                      std::string_view shortenedField = {});

class ScratchTables {
 public:
  ScratchTables() = default;
  ScratchTables(const ScratchTables&) = delete;
  ScratchTables& operator=(const ScratchTables&) = delete;

  // Writes `layout`'s table, named by its kind, holding `records`; a table
  // of that kind added before is replaced.
  void add(const naming::TableLayout& layout, const std::vector<LayoutRecord>& records, std::string_view company,
           std::string_view date);
  // Opens `session` on the tables added.
  bool open(query::Session& session, std::string& error) const { return session.open(tables_, error); }

 private:
  platform::ScratchFiles files_;
  std::vector<query::TableFile> tables_;
};

}  // namespace fc::ruleset
