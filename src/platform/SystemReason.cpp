// platform/SystemReason.cpp - SystemReason.h: the texts both systems share;
// an error only one system has takes its text from SystemOwnReason.
#include "platform/SystemReason.h"

#include <cerrno>
#include <cstring>

#include "platform/SystemOwnReason.h"

namespace fc::platform {

std::string SystemReason(int error) {
  switch (error) {
    case EROFS: return "只读文件系统";
    case EACCES:
    case EPERM: return "没有权限";
    case ENOENT: return "文件或目录不存在";
    case ENOTDIR: return "不是目录";
    case EISDIR: return "是一个目录";
    case ENOSPC: return "磁盘空间不足";
    case EIO: return "输入输出错误";
    case EEXIST: return "文件已存在";
    case ENAMETOOLONG: return "文件名过长";
    case EMFILE:
    case ENFILE: return "打开的文件过多";
    case ENOMEM: return "内存不足";
    case EBUSY: return "设备或资源忙";
    case EXDEV: return "不能跨文件系统操作";
    case ETXTBSY: return "文件正被使用";
    default: break;
  }
  if (std::string own = SystemOwnReason(error); !own.empty()) return own;
  return "系统错误" + std::to_string(error) + "（" + std::strerror(error) + "）";
}

std::string SystemReason(const std::error_code& error) {
  if (error.category() == std::generic_category()) return SystemReason(error.value());
  return "系统错误" + std::to_string(error.value()) + "（" + error.message() + "）";
}

}  // namespace fc::platform
