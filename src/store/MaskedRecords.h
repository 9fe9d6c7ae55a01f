// store/MaskedRecords.h - the records behind a finding masked as an output asks
// (privacy/Masking.h says which values are masked and how).
//
//   fc::store::MaskFindingRecords(records, fc::privacy::Masking::NumbersAndNames);
#pragma once

#include "privacy/Masking.h"

namespace fc::store {

struct FindingRecords;

// Masks the records and value counts of `records` in place, by its `personal`.
void MaskFindingRecords(FindingRecords& records, privacy::Masking masking);

}  // namespace fc::store
