#include "ruleset/LayoutTables.h"

#include <stdexcept>
#include <system_error>

#include "dbf/Writer.h"
#include "platform/SystemReason.h"

namespace fc::ruleset {

namespace fs = std::filesystem;

void WriteLayoutTable(const naming::TableLayout& layout, const fs::path& file, const std::vector<LayoutRecord>& records,
                      std::string_view company, std::string_view date, std::string_view shortenedField) {
  std::vector<dbf::FieldSpec> fields;
  for (const naming::LayoutField& f : layout.fields) {
    int length = f.name == shortenedField ? f.length - 20 : f.length;
    fields.push_back({f.name, f.type, static_cast<uint8_t>(length), static_cast<uint8_t>(f.decimals)});
  }
  dbf::Writer writer(file, dbf::Format::DBase3, fields);
  for (LayoutRecord record : records) {
    record.emplace("ZQGSDM", company);
    if (layout.dateField) record.emplace(*layout.dateField, date);
    std::vector<dbf::Value> values;
    for (const naming::LayoutField& f : layout.fields) values.push_back(record.count(f.name) ? record[f.name] : "");
    writer.add(values);
  }
  writer.finish();
}

void ScratchTables::add(const naming::TableLayout& layout, const std::vector<LayoutRecord>& records,
                        std::string_view company, std::string_view date) {
  std::error_code ec;
  const fs::path file = files_.create(layout.kind, ec);
  if (ec) throw std::runtime_error("无法建立" + layout.kind + "表：" + platform::SystemReason(ec));
  WriteLayoutTable(layout, file, records, company, date);
  for (query::TableFile& table : tables_)
    if (table.name == layout.kind) {
      table.file = file;
      return;
    }
  tables_.push_back({layout.kind, file});
}

}  // namespace fc::ruleset
