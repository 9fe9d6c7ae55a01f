#include "pipeline/SourceFiles.h"
#include "platform/Utf8Paths.h"

namespace fc::pipeline {

FileIdentity IdentityOf(const platform::FileFacts& facts) {
  return {facts.device, facts.inode, facts.size, facts.modified.seconds * 1000000000 + facts.modified.nanoseconds};
}

std::optional<FileIdentity> IdentityOf(const std::filesystem::path& path) {
  const std::optional<platform::FileFacts> facts = platform::FactsAt(path);
  if (!facts) return std::nullopt;
  return IdentityOf(*facts);
}

bool CheckedFile::sameAs(int fd) const {
  const std::optional<platform::FileFacts> facts = platform::FactsOf(fd);
  return identity && facts && IdentityOf(*facts) == *identity;
}

int OpenRegularFile(const std::filesystem::path& path) {
  // A named pipe would otherwise wait for a writer.
  return platform::OpenForReading(path, platform::Links::Follow);
}

std::optional<std::string> UnreadableDirText(const std::string& dir) {
  std::error_code ec;
  std::filesystem::directory_iterator listing(platform::PathFromUtf8(dir), ec);
  if (!ec) return std::nullopt;
  std::string why;
  if (ec == std::errc::no_such_file_or_directory) why = "目录不存在";
  else if (ec == std::errc::not_a_directory) why = "路径中有一项不是目录";
  else if (ec == std::errc::permission_denied) why = "没有读取权限";
  else if (ec == std::errc::filename_too_long) why = "路径太长";
  else if (ec == std::errc::too_many_symbolic_link_levels) why = "符号链接太多或成环";
  else why = ec.message();
  return "无法读取目录" + dir + "：" + why;
}

}  // namespace fc::pipeline
