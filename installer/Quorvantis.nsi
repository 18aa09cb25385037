; The installer of Quorvantis: the program and its console front end in "Quorvantis"
; under the 64-bit Program Files folder, a Start menu shortcut, and an entry in the
; installed-programs list with an uninstaller. "/S" installs and uninstalls silently.
; The uninstaller removes the program, the shortcut, the entry and the scheduled job;
; the user's settings file stays unless the user asks for it to go (a silent
; uninstall keeps it).
;   makensis -DBUILD_DIR=... -DOUT_FILE=... Quorvantis.nsi
Unicode true
Target amd64-unicode
!include "LogicLib.nsh"

!ifndef BUILD_DIR | OUT_FILE
  !error "give -DBUILD_DIR=<build folder> -DOUT_FILE=<installer>"
!endif
!define PRODUCT "Quorvantis"
!define VERSION "1.4"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUT_FILE}"
InstallDir "$PROGRAMFILES64\${PRODUCT}"
RequestExecutionLevel admin
SetCompressor /SOLID lzma
VIProductVersion "1.4.0.0"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "FileDescription" "${PRODUCT} ${VERSION} setup"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "Copyright (C) 2026 The Quorvantis developers"

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Section "${PRODUCT}"
  SetRegView 64
  SetOutPath "$INSTDIR"
  File "${BUILD_DIR}/Quorvantis.exe"
  File "${BUILD_DIR}/quorvantis-cli.exe"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  SetShellVarContext all
  CreateShortCut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\Quorvantis.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Quorvantis.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
  SetRegView 64
  ; The job starts the program from here: it goes with the program.
  Delete "$WINDIR\Tasks\${PRODUCT}.job"
  Delete "$INSTDIR\Quorvantis.exe"
  Delete "$INSTDIR\quorvantis-cli.exe"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  SetShellVarContext all
  Delete "$SMPROGRAMS\${PRODUCT}.lnk"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  ; The settings are the user's: kept unless the user asks (a silent uninstall keeps them).
  MessageBox MB_YESNO|MB_ICONQUESTION "Remove your ${PRODUCT} settings as well?" /SD IDNO IDNO done
    SetShellVarContext current
    Delete "$APPDATA\${PRODUCT}\settings.cfg"
    RMDir "$APPDATA\${PRODUCT}"
  done:
SectionEnd
