// platform/SystemReason.h - why a system call failed, in Chinese, for the
// operator's messages (strerror speaks the C locale's English).
//
//   if (open(path, ...) < 0) return "无法写入" + path + "：" + fc::platform::SystemReason(errno);
//
// The reasons a file operation meets in practice have their own text; any
// other keeps the system's text beside its number, so nothing is hidden.
#pragma once

#include <string>

namespace fc::platform {

std::string SystemReason(int error);

}  // namespace fc::platform
