// settings/AppHome.h - where the program keeps its state and finds its data.
//
// The application home holds chkcfg.ini, recordslimit.ini, dravmel.mdb and the
// working directories workdir, dbfdir, lchkdir and histview. The data directory holds what ships
// with the program: zqgs.csv (the company list of a new store) and rulesets/
// (the interface agreement and the data rules, one folder per version,
// ruleset/RuleSets.h); the home's own rulesets/ sits beside them.
#pragma once

#include <array>
#include <filesystem>

namespace fc::settings {

// The check-run store's file in the home. Operators find and hand over their
// results by this name and the stores of earlier versions sit under it, so it
// never changes.
inline constexpr const char* kStoreFileName = "dravmel.mdb";

struct AppHome {
  std::filesystem::path home;  // application home
  std::filesystem::path data;  // shipped data files

  std::filesystem::path settingsFile() const { return home / "chkcfg.ini"; }
  // The identity window's own inputs, in chkcfg.ini's form (settings/Settings.h).
  std::filesystem::path identitySettingsFile() const { return home / "identitycfg.ini"; }
  std::filesystem::path recordsLimitFile() const { return home / "recordslimit.ini"; }
  std::filesystem::path threadsFile() const { return home / "threads.ini"; }
  std::filesystem::path storeFile() const { return home / kStoreFileName; }
  std::filesystem::path workdir() const { return home / "workdir"; }
  std::filesystem::path dbfdir() const { return home / "dbfdir"; }
  std::filesystem::path lchkdir() const { return home / "lchkdir"; }
  // A past check's results laid into a store while the desktop program shows them.
  std::filesystem::path historyViewDir() const { return home / "histview"; }
  // The folders above that the program empties as it pleases.
  std::array<std::filesystem::path, 4> scratchDirs() const { return {workdir(), dbfdir(), lchkdir(), historyViewDir()}; }
};

// Where an installed program in `exeDir` (say /usr/bin) finds its data:
// `exeDir`/../share/filingcheck, so that an installation under any prefix or
// root works.
std::filesystem::path InstalledDataDir(const std::filesystem::path& exeDir);

// The data directory for a program in `exeDir`: `exeDir`/data when it exists
// (the build tree), else InstalledDataDir when that exists, else the source
// tree's data directory.
std::filesystem::path LocateDataDir(const std::filesystem::path& exeDir);

}  // namespace fc::settings
