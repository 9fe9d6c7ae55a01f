// platform/WindowsError.h - a Windows error (GetLastError) as the errno-style
// std::error_code the platform interfaces return, so that callers compare
// one set of values on every system. For the Windows units only.
//
//   if (!MoveFileExW(from, to, flags)) return fc::platform::LastWindowsError();
//
// An error no errno value stands for stays the system's own (its category is
// std::system_category()); SystemReason gives it with the system's text.
#pragma once

#include <system_error>

namespace fc::platform {

std::error_code WindowsError(unsigned long code);
std::error_code LastWindowsError();  // WindowsError(GetLastError())

}  // namespace fc::platform
