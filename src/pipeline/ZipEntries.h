// pipeline/ZipEntries.h - reading a submitted ZIP archive entry by entry, as
// the intake and the prefetch thread both judge it.
//
//   fc::pipeline::ZipArchive za = fc::pipeline::OpenArchive(path);
//   for (zip_uint64_t i = 0; za && i < zip_get_num_entries(za.get(), 0); ++i)
//     if (auto file = fc::pipeline::ArchiveFileAt(za.get(), i, workdir); file && file->writable)
//       fc::pipeline::ExtractTo(za.get(), i, target);
//
// Every entry but a directory counts as a file of the archive, whatever its
// name; only one that the unpacking tool would leave directly in workdir can
// land there, and it is safe to write only when it is an ordinary,
// unencrypted file of at most 4 GiB that fits workdir's disk. An unsafe name
// is never written and is named in the archive's finding: one that is
// absolute or climbs out of workdir, and one that Windows reads otherwise
// than it stands (a drive, a colon, a device's name, a trailing dot or blank;
// naming/PortableNames.h), whichever system unpacks it.
#pragma once

#include <zip.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace fc::pipeline {

struct FileIdentity;  // pipeline/SourceFiles.h

struct ZipCloser {
  void operator()(zip_t* za) const { zip_discard(za); }
};
using ZipArchive = std::unique_ptr<zip_t, ZipCloser>;

// The archive at `path` opened for reading, or null when it cannot be read
// or is not a regular file (a named pipe put in its place is not waited
// for); `opened`, when given, gets the file as it was opened.
ZipArchive OpenArchive(const std::filesystem::path& path, FileIdentity* opened = nullptr);

// An entry that the unpacking tool would leave directly in workdir: it
// counts as a file of the archive whether or not it is safe to write.
struct ArchiveFile {
  std::string name;       // its name in workdir
  uint64_t size = 0;      // uncompressed size as stored
  bool writable = false;  // an ordinary, unencrypted file that fits the disk
};

// Entry `index` as a file of the archive; nothing for a directory, a file
// inside a folder of its own, and an unsafe name.
std::optional<ArchiveFile> ArchiveFileAt(zip_t* za, zip_uint64_t index, const std::filesystem::path& workdir);

// What an unpacking needs to judge an archive.
struct ArchiveTally {
  static constexpr size_t kUnsafeKept = 3;  // unsafe names kept to be shown

  int files = 0;                         // entries other than directories
  std::vector<std::string> unsafeNames;  // the first unsafe names, as stored
  size_t unsafeCount = 0;                // every entry with an unsafe name
  std::string landedName;                // the entry's name as stored, when it was written to workdir
};

// Counts the files of the archive and, when it holds exactly one and that
// one lands in workdir (ArchiveFileAt), calls `visit` with it. Every entry
// but a directory counts: one inside a folder, one whose name is unsafe, one
// that names a file already named (in any spelling; unpacking it over the
// first would hide one of them). So an archive of more than one file is
// never decompressed at all.
ArchiveTally VisitArchiveFiles(zip_t* za, const std::filesystem::path& workdir,
                               const std::function<void(zip_uint64_t index, const ArchiveFile& file)>& visit);

// Streams entry `index` into the existing file `target`; false when the
// entry cannot be read whole, fails its CRC or yields other than the size
// the archive states.
bool ExtractTo(zip_t* za, zip_uint64_t index, const std::filesystem::path& target);

// The bytes free for an unprivileged writer on `dir`'s disk; 0 when unknown.
uint64_t FreeSpace(const std::filesystem::path& dir);

}  // namespace fc::pipeline
