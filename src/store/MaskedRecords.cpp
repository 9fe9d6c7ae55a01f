#include "store/MaskedRecords.h"

#include "store/Store.h"

namespace fc::store {

using privacy::Masks;
using privacy::MaskValue;
using privacy::Personal;

void MaskFindingRecords(FindingRecords& records, privacy::Masking masking) {
  auto personalOf = [&](const std::string& field) {
    auto found = records.personal.find(field);
    return found == records.personal.end() ? Personal::None : found->second;
  };
  for (size_t i = 0; i < records.fields.size(); ++i) {
    const Personal personal = personalOf(records.fields[i]);
    if (!Masks(personal, masking)) continue;
    for (FindingRecords::Record& record : records.records)
      if (i < record.values.size()) record.values[i] = MaskValue(record.values[i], personal, masking);
  }
  for (FindingRecords::ValueCount& count : records.valueCounts)
    count.value = MaskValue(count.value, personalOf(count.field), masking);
}

}  // namespace fc::store
