// platform/SystemOwnReasonLinux.cpp - SystemOwnReason.h on Linux: disk quotas.
#include "platform/SystemOwnReason.h"

#include <cerrno>

namespace fc::platform {

std::string SystemOwnReason(int error) { return error == EDQUOT ? "超出磁盘配额" : ""; }

}  // namespace fc::platform
