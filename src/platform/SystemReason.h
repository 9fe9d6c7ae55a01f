// platform/SystemReason.h - why a system call failed, in Chinese, for the
// operator's messages (strerror speaks the C locale's English).
//
//   if (open(path, ...) < 0) return "无法写入" + path + "：" + fc::platform::SystemReason(errno);
//
// The reasons a file operation meets in practice have their own text; any
// other keeps the system's text beside its number, so nothing is hidden.
#pragma once

#include <string>
#include <system_error>

namespace fc::platform {

// `error` is an errno value.
std::string SystemReason(int error);
// An errno value (the generic category) as above; a code of the system's own
// (a Windows error no errno value stands for) with the system's text.
std::string SystemReason(const std::error_code& error);

}  // namespace fc::platform
