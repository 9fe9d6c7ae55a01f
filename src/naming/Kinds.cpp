#include "naming/Kinds.h"

namespace fc::naming {

std::span<const Kind> Kinds(Submission submission) {
  if (submission == Submission::Identity) return kIdentityKinds;
  return kAccountKinds;
}

std::optional<int> FindKindByFilecat(Submission submission, std::string_view filecat) {
  const std::span<const Kind> kinds = Kinds(submission);
  for (std::size_t i = 0; i < kinds.size(); ++i)
    if (kinds[i].filecat == filecat) return static_cast<int>(i);
  return std::nullopt;
}

}  // namespace fc::naming
