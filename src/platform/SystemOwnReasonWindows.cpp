// platform/SystemOwnReasonWindows.cpp - SystemOwnReason.h on Windows: the
// errno values the Windows units give for what the C runtime has no text of
// its own for (WindowsError.h): a link or reparse point not followed, a lock
// another holder has.
#include "platform/SystemOwnReason.h"

#include <cerrno>

namespace fc::platform {

std::string SystemOwnReason(int error) {
  switch (error) {
    case ELOOP: return "路径是一个链接（符号链接或重解析点），没有跟随";
    case EWOULDBLOCK: return "文件已被锁定";
    default: return "";
  }
}

}  // namespace fc::platform
