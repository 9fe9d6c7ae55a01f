; The Windows setup program: installs the staged program folder into Program
; Files (or, for a user who is not an administrator, into that user's own
; programs folder), adds the Start-menu folder, the desktop shortcut and the
; entry in the system's list of installed programs, and writes an uninstaller
; that removes exactly the files it installed. The application home (the
; results, the history, the settings) is never removed: when the program
; folder is writable it lives there, beside the installed files, otherwise in
; %LOCALAPPDATA%\filingcheck.
;
; Made by scripts/windows-package.sh, which stages the files and writes the
; two lists this script includes:
;   makensis -DVERSION=0.1 -DFILE_VERSION=0.1.0.0 -DSTAGE=DIR -DLISTS=DIR -DOUTFILE=FILE
;            -DINSTALLED_KB=N filingcheck.nsi
; `setup.exe /S` installs silently (`/AllUsers` or `/CurrentUser` choose the
; mode; without either an administrator installs for all users).
; A 64-bit setup: Windows runs it only where the 64-bit program can run.
Target amd64-unicode
SetCompressor /SOLID lzma

!define PRODUCT "报送数据文件检查软件"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\filingcheck"

!define MULTIUSER_EXECUTIONLEVEL Highest
!define MULTIUSER_MUI
!define MULTIUSER_INSTALLMODE_COMMANDLINE
!define MULTIUSER_USE_PROGRAMFILES64
!define MULTIUSER_INSTALLMODE_INSTDIR "filingcheck"
!define MULTIUSER_INSTALLMODE_INSTDIR_REGISTRY_KEY "${UNINSTALL_KEY}"
!define MULTIUSER_INSTALLMODE_INSTDIR_REGISTRY_VALUENAME "InstallLocation"
!include MultiUser.nsh
!include MUI2.nsh

Name "${PRODUCT}"
OutFile "${OUTFILE}"
BrandingText "${PRODUCT} ${VERSION}"
!define MUI_ICON "${STAGE}\filingcheck.ico"
!define MUI_UNICON "${STAGE}\filingcheck.ico"

!insertmacro MUI_PAGE_WELCOME
!insertmacro MULTIUSER_PAGE_INSTALLMODE
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\filingcheck.exe"
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "SimpChinese"

VIProductVersion "${FILE_VERSION}"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "FileDescription" "${PRODUCT} 安装程序"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "LegalCopyright" "filingcheck developers"

Function .onInit
  !insertmacro MULTIUSER_INIT
FunctionEnd

Function un.onInit
  !insertmacro MULTIUSER_UNINIT
FunctionEnd

Section "Install"
  !include "${LISTS}\install.nsh"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  CreateDirectory "$SMPROGRAMS\${PRODUCT}"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}\${PRODUCT}.lnk" "$INSTDIR\filingcheck.exe"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}\使用手册.lnk" "$INSTDIR\manual\filingcheck.html"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}\卸载${PRODUCT}.lnk" "$INSTDIR\uninstall.exe"
  CreateShortcut "$DESKTOP\${PRODUCT}.lnk" "$INSTDIR\filingcheck.exe"

  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "Publisher" "filingcheck developers"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\filingcheck.exe"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe" /$MultiUser.InstallMode'
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /$MultiUser.InstallMode /S'
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoRepair" 1
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "EstimatedSize" ${INSTALLED_KB}
SectionEnd

; Only the installed files go, and each folder only once it is empty: a
; program folder the operator could write to holds the application home too.
Section "Uninstall"
  Delete "$SMPROGRAMS\${PRODUCT}\${PRODUCT}.lnk"
  Delete "$SMPROGRAMS\${PRODUCT}\使用手册.lnk"
  Delete "$SMPROGRAMS\${PRODUCT}\卸载${PRODUCT}.lnk"
  RMDir "$SMPROGRAMS\${PRODUCT}"
  Delete "$DESKTOP\${PRODUCT}.lnk"
  !include "${LISTS}\uninstall.nsh"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey SHCTX "${UNINSTALL_KEY}"

  ${If} ${FileExists} "$INSTDIR\*.*"
    MessageBox MB_ICONINFORMATION "${PRODUCT}已卸载。检查结果、历史记录和设置仍保留在$\r$\n$INSTDIR$\r$\n如不再需要，可自行删除该文件夹。" /SD IDOK
  ${ElseIf} ${FileExists} "$LOCALAPPDATA\filingcheck\*.*"
    MessageBox MB_ICONINFORMATION "${PRODUCT}已卸载。检查结果、历史记录和设置仍保留在$\r$\n$LOCALAPPDATA\filingcheck$\r$\n如不再需要，可自行删除该文件夹。" /SD IDOK
  ${EndIf}
SectionEnd
