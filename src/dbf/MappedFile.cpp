#include "dbf/MappedFile.h"

#include "platform/Utf8Paths.h"

namespace fc::dbf {

namespace {

std::string FailureText(platform::MapFailure failure, const std::string& name) {
  switch (failure) {
    case platform::MapFailure::Open: return "无法打开文件" + name;
    case platform::MapFailure::NotRegular: return "无法读取文件" + name + "：不是普通文件";
    case platform::MapFailure::TooMany: return "无法读取文件" + name + "：同时打开的文件太多";
    default: return "无法读取文件" + name;
  }
}

}  // namespace

std::unique_ptr<MappedFile> MappedFile::open(const std::filesystem::path& path, std::string& error) {
  platform::MapFailure failure = platform::MapFailure::None;
  std::unique_ptr<platform::FileMap> map = platform::FileMap::open(path, failure);
  if (!map) {
    error = FailureText(failure, platform::Utf8Of(path.filename()));
    return nullptr;
  }
  return std::unique_ptr<MappedFile>(new MappedFile(std::move(map)));
}

}  // namespace fc::dbf
