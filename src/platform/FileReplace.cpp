// platform/FileReplace.cpp - the parts of FileReplace.h every system shares:
// the temporary's name, the whole-buffer write, and the operator's words for
// a failure. The writing itself is FileReplaceLinux.cpp / FileReplaceWindows.cpp.
#include "platform/FileReplace.h"

#include <random>
#include <sstream>

#include "platform/SystemReason.h"
#include "platform/TempPath.h"

namespace fc::platform {

namespace fs = std::filesystem;

namespace {

// UTF-8, as every text of the program (a path's own narrow form is the ANSI
// code page on Windows).
std::string Utf8(const fs::path& path) {
  const std::u8string text = path.u8string();
  return {reinterpret_cast<const char*>(text.data()), text.size()};
}

}  // namespace

fs::path TempPath(const fs::path& file, TempName name) {
  if (name == TempName::Fixed) return fs::path(file) += ".tmp";
  std::random_device random;
  std::ostringstream part;
  part << std::hex << random() << random();
  fs::path stem = name == TempName::Hidden ? fs::path(".") += file.filename() : file.filename();
  return file.parent_path() / (stem += "." + part.str() + ".tmp");
}

WriteResult WriteFile(const fs::path& file, std::string_view bytes, const WriteOptions& options) {
  return WriteFileThrough(file, [bytes](Output& out, std::string&) { return out.write(bytes.data(), bytes.size()); },
                          options);
}

std::string WriteResult::why() const { return reason.empty() ? SystemReason(error) : reason; }

std::string WriteFailureText(const fs::path& file, const WriteResult& result) {
  return "无法写入文件" + Utf8(file) + "：" + result.why();
}

}  // namespace fc::platform
