// platform/SystemOwnReason.h - SystemReason's texts for the errno values one
// system alone has or reports, such as Linux's EDQUOT or the ELOOP a Windows
// unit gives for a refused reparse point. For SystemReason.cpp.
//
//   if (std::string own = SystemOwnReason(error); !own.empty()) return own;
#pragma once

#include <string>

namespace fc::platform {

// The text for `error`, or empty when this system has none of its own.
std::string SystemOwnReason(int error);

}  // namespace fc::platform
