#include "ruleset/SetFile.h"

#include <cerrno>
#include <optional>

#include "platform/SystemReason.h"
#include "platform/Utf8Paths.h"
#include "platform/WholeFile.h"

namespace fc::ruleset {

std::string SetFileRefusal(const std::filesystem::path& file, const std::error_code& error) {
  const std::string head = "规则集文件 " + platform::Utf8Of(file);
  if (error == std::errc::too_many_symbolic_link_levels) return head + " 是符号链接，不予使用";
  if (error == std::errc::is_a_directory) return head + " 不是普通文件（而是目录、管道或设备），不予使用";
  if (error == std::errc::file_too_large)
    return head + " 超过" + std::to_string(kSetFileLimit >> 20) + "MB，不像规则集文件，不予使用";
  return head + " 无法读取：" + platform::SystemReason(error);
}

std::string ReadSetFile(const std::filesystem::path& file) {
  std::error_code error;
  std::optional<std::string> bytes = platform::ReadWholeFile(file, kSetFileLimit, error);
  if (!bytes) throw RuleSetError(SetFileRefusal(file, error));
  return std::move(*bytes);
}

}  // namespace fc::ruleset
