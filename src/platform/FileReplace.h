// platform/FileReplace.h - writes a file whole or not at all: the content goes
// to a temporary file beside it, which reaches the disk and then takes the
// file's name in one step, so a reader sees the earlier file or the new one,
// never a part, and a write that fails or is killed leaves the earlier file
// as it was.
//
// A link at the file's place is refused and left as it is (ELOOP), and the
// temporary is never reached through a link either. The file gets the owner's
// rights alone (Access::OwnerOnly, the application home) or what the umask
// leaves (Access::Umask, the operator's outputs). Existing::Keep never
// replaces a file that is already there: the first writer's file stays.
//
//   fc::platform::WriteResult r = fc::platform::WriteFile(path, bytes, {});
//   if (!r) fail(fc::platform::WriteFailureText(path, r));
//   r = fc::platform::WriteFileThrough(path, [&](fc::platform::Output& out, std::string& reason) {
//     return out.write(chunk.data(), chunk.size());
//   }, {.access = fc::platform::Access::OwnerOnly});
//   r = fc::platform::WriteFileByName(path, [&](const std::filesystem::path& temp, std::string& reason) {
//     return library_save(temp.c_str()) == 0 || (reason = library_error(), false);
//   }, {});
//
// What differs between systems (how the temporary is made, how the bytes and
// the name are made durable) lives behind these calls alone.
#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>

#include "platform/Files.h"  // FileTime

namespace fc::platform {

enum class Access { OwnerOnly, Umask };  // 0600 whatever the umask / 0666 less the umask
enum class Existing { Replace, Keep };   // a file already at the place is replaced / stays, nothing written

// The temporary's name beside the file NAME.
enum class TempName {
  Hidden,  // ".NAME.<random>.tmp", or none at all where the system has unnamed files and the writer writes the bytes
  Beside,  // "NAME.<random>.tmp"
  Fixed,   // "NAME.tmp", a leftover of an interrupted write reused
};

struct WriteOptions {
  Access access = Access::Umask;
  Existing existing = Existing::Replace;
  TempName tempName = TempName::Hidden;
  std::optional<FileTime> modified = {};  // the file's modification time; the time of writing when none
};

struct WriteResult {
  std::error_code error;         // the system's failure
  std::string reason;            // or the content writer's own
  std::filesystem::path at;      // the path the failure concerns (the file or its temporary)
  bool kept = false;             // Existing::Keep found a file there: it stays, nothing was written
  explicit operator bool() const { return !error && reason.empty(); }
  bool linkRefused() const { return error == std::errc::too_many_symbolic_link_levels; }
  std::string why() const;  // the content writer's reason, or the system's in the operator's words
};

// Where a content writer puts the bytes; false once a write failed (the
// writer stops there, its failure is the system's).
class Output {
 public:
  virtual bool write(const void* bytes, size_t size) = 0;

 protected:
  ~Output() = default;
};

// Writes the content; false, with `reason` set unless an Output write failed, when it cannot.
using Content = std::function<bool(Output& out, std::string& reason)>;
// Makes the content at `temp` by name (for libraries that open their file
// themselves); false with `reason` set when it cannot.
using ContentByName = std::function<bool(const std::filesystem::path& temp, std::string& reason)>;

WriteResult WriteFile(const std::filesystem::path& file, std::string_view bytes, const WriteOptions& options);
WriteResult WriteFileThrough(const std::filesystem::path& file, const Content& content, const WriteOptions& options);
// The temporary exists, empty, when `content` is called; a content writer
// that throws leaves no temporary behind and the exception goes on.
WriteResult WriteFileByName(const std::filesystem::path& file, const ContentByName& content,
                            const WriteOptions& options);

// "无法写入文件FILE：WHY", the operator's line for a failed write of an output file.
std::string WriteFailureText(const std::filesystem::path& file, const WriteResult& result);

}  // namespace fc::platform
