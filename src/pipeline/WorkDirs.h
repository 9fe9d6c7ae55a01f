// pipeline/WorkDirs.h - the run's scratch directories and file look-ups that
// ignore letter case.
//
// A run owns workdir, dbfdir and lchkdir under the application home. It
// prepares them at its start (emptied, or created when missing; 0700, for the
// tables hold customers' data), empties them as it goes and at its end, and
// places tables in them by hard link or copy. A copy is 0600; a hard link is
// the operator's own file, whose mode is left as it is, reachable through the
// working directory by its owner alone:
//
//   std::string error;
//   if (!PrepareWorkDir(home.workdir(), error)) fail(error);
//   if (auto f = FindFileNoCase(sourceDir, "100001_KHJBXX_20080808_1.ZIP")) use(*f);
//   LinkOrCopyFile(*f, home.lchkdir() / "KHJBXX.DBF");
//   EmptyWorkDir(home.workdir());
//
// Submission names are built in upper case but the files may carry either
// case, so every look-up lists the directory and compares names with ASCII
// letters folded (bytes of other characters compare as they are).
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace fc::pipeline {

// `fileName` with `ending` in place of its last three characters: the DBF
// an archive should hold ("DBF"), the archive a DBF is packed into ("ZIP").
std::string SwapLastThree(std::string_view fileName, std::string_view ending);

// The ordinary files of `dir` that Windows would open by `name`: named so
// regardless of letter case and of trailing dots and blanks
// (naming/PortableNames.h), in order of their paths. More than one can only
// meet on a file system that tells them apart, and there Windows would show
// one of them alone.
std::vector<std::filesystem::path> FilesNamedAlike(const std::filesystem::path& dir, std::string_view name);

// The ordinary file of `dir` named `name` regardless of letter case (an exact
// spelling wins over other spellings, then the first path, so the choice does
// not depend on listing order); nothing when there is none. A name with other
// trailing dots or blanks is another file's.
std::optional<std::filesystem::path> FindFileNoCase(const std::filesystem::path& dir,
                                                    std::string_view name);

// Deletes every entry of `dir` that is not a directory, ignoring failures;
// nothing when `dir` is not a directory itself (a link in its place included).
void EmptyWorkDir(const std::filesystem::path& dir);

// Empties `dir`, or creates it when it is missing; 0700 either way. A link in
// its place is removed (what it points to is left alone) and a directory made
// instead. False with `error` set when it cannot be created or is a file.
bool PrepareWorkDir(const std::filesystem::path& dir, std::string& error);

// Removes everything in `dir`, directories included, as outside a run
// nothing belongs there; a link in its place is removed, never followed.
// False with `error` set when something stays.
bool ClearScratchDir(const std::filesystem::path& dir, std::string& error);

// Places `from` at `to` (replacing it): a hard link where the file system
// allows one, else a copy written under a temporary name and renamed, so `to`
// is never half-written. A symbolic link `from` places the file it leads to.
// False when neither worked.
bool LinkOrCopyFile(const std::filesystem::path& from, const std::filesystem::path& to);

// A fresh, empty file in `dir` for writing before a rename ("." + `stem` +
// random suffix); its path, or nothing when it cannot be created.
std::optional<std::filesystem::path> MakeTempFile(const std::filesystem::path& dir,
                                                  std::string_view stem);

}  // namespace fc::pipeline
