// naming/PortableNames.h - what Windows makes of a file name: whether it
// writes the name as it stands, and which names it takes for one another.
// Archives made on Linux are opened on Windows and a source folder may be
// shared by both, so both systems judge names by these rules.
//
//   if (!fc::naming::IsPortableFileName(entry)) refuse(entry);  // "C:x", "CON.DBF", "X.DBF "
//   if (fc::naming::SameNameOnWindows(file, "X.DBF")) ...         // "x.dbf", "X.DBF.", "X.DBF "
//
// A name is one component of a path, without "/" or "\". Letters fold in
// ASCII alone, as everywhere a submission's name is matched.
#pragma once

#include <string_view>

namespace fc::naming {

// False for a name that Windows would not write as it stands: empty; with a
// colon (a drive, "C:x", which lands in that drive's current folder, or a
// stream of a file, "X.DBF:s"); ending in a dot or blank, which Windows
// drops; or a device's (CON, PRN, AUX, NUL, COM1-9, LPT1-9, in any case and
// with any extension, "nul.txt", "Com1 .DBF"), which opens the device.
bool IsPortableFileName(std::string_view name);

// True when Windows opens one file by either name: they differ at most in
// the case of ASCII letters and in trailing dots and blanks.
bool SameNameOnWindows(std::string_view a, std::string_view b);

}  // namespace fc::naming
