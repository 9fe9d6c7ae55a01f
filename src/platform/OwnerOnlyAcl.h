// platform/OwnerOnlyAcl.h - an open file made the current user's alone on
// Windows: its DACL replaced by one entry, full access for the user this
// process runs as, nothing inherited from the folder. For the Windows units
// that make private files (FileReplaceWindows.cpp, FileLockWindows.cpp).
//
//   if (!fc::platform::MakeOwnerOnly(handle)) return fc::platform::LastWindowsError();
#pragma once

namespace fc::platform {

// `handle` is a HANDLE opened with WRITE_DAC; false with the last error set.
bool MakeOwnerOnly(void* handle);

}  // namespace fc::platform
