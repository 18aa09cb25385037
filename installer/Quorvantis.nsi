; The installer of Quorvantis: the program and its console front end in "Quorvantis"
; under the 64-bit Program Files folder, a Start menu shortcut, and an entry in the
; installed-programs list with an uninstaller. "/S" installs and uninstalls silently.
;
; It touches only what is its own: a chosen folder that holds something else gets a
; "Quorvantis" folder of its own inside; the uninstaller removes the files it installed,
; the folder only when the installer made it and it is empty, and the scheduled job
; only when the job starts the installed program (through the Task Scheduler, by the
; installed console program). The user's settings file stays unless the user asks for it
; to go (a silent uninstall keeps it). Neither runs while the program does: an
; interactive run asks it to close, a silent one ends with status 2 and changes nothing.
;   makensis -DBUILD_DIR=... -DOUT_FILE=... -DVERSION=... Quorvantis.nsi
Unicode true
Target amd64-unicode
!include "LogicLib.nsh"
!include "FileFunc.nsh"

!ifndef BUILD_DIR | OUT_FILE | VERSION
  !error "give -DBUILD_DIR=<build folder> -DOUT_FILE=<installer> -DVERSION=<version>"
!endif
!define PRODUCT "Quorvantis"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"
; Every copy of the program holds this named mutex while it runs.
!define RUNNING_MUTEX "Quorvantis"
!define SYNCHRONIZE 0x00100000
!define WM_CLOSE 0x0010

Name "${PRODUCT} ${VERSION}"
OutFile "${OUT_FILE}"
InstallDir "$PROGRAMFILES64\${PRODUCT}"
RequestExecutionLevel admin
SetCompressor /SOLID lzma
; A file that cannot be written (a copy of the program still running) fails the install.
AllowSkipFiles off
VIProductVersion "${VERSION}.0.0"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "FileDescription" "${PRODUCT} ${VERSION} setup"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "Copyright (C) 2026 The Quorvantis developers"

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

; Fails the run: status 2, the reason in a box (none in a silent run), nothing changed.
!macro Fail TEXT
  SetErrorLevel 2
  MessageBox MB_OK|MB_ICONSTOP "${TEXT}" /SD IDOK
  Quit
!macroend

; Waits until no copy of the program runs: an interactive run asks the user, then asks
; the program's window to close (as its close button does) and waits for it; a silent
; run fails.
!macro CloseRunningCopy UN
Function ${UN}CloseRunningCopy
  ${Do}
    System::Call 'kernel32::OpenMutexW(i ${SYNCHRONIZE}, i 0, w "${RUNNING_MUTEX}") p .r0'
    ${If} $0 P= 0
      Return
    ${EndIf}
    System::Call 'kernel32::CloseHandle(p r0)'
    ${If} ${Silent}
      !insertmacro Fail "${PRODUCT} is running; close it and run this again."
    ${EndIf}
    MessageBox MB_OKCANCEL|MB_ICONEXCLAMATION "${PRODUCT} is running. Press OK to close it and go on." IDOK +2
    !insertmacro Fail "${PRODUCT} is still running; nothing was changed."
    FindWindow $1 "" "${PRODUCT}"
    ${If} $1 <> 0
      SendMessage $1 ${WM_CLOSE} 0 0 /TIMEOUT=5000
    ${EndIf}
    ; Up to ten seconds for it to end.
    StrCpy $2 0
    ${Do}
      Sleep 500
      IntOp $2 $2 + 1
      System::Call 'kernel32::OpenMutexW(i ${SYNCHRONIZE}, i 0, w "${RUNNING_MUTEX}") p .r0'
      ${If} $0 P= 0
        Return
      ${EndIf}
      System::Call 'kernel32::CloseHandle(p r0)'
    ${LoopUntil} $2 >= 20
  ${Loop}
FunctionEnd
!macroend
!insertmacro CloseRunningCopy ""
!insertmacro CloseRunningCopy "un."

; The folder to install into: an earlier install of ours, an empty or new folder, or else
; a "Quorvantis" folder inside the one chosen. Sets $R9 to 1 when the folder is made new.
Function ChooseFolder
  StrCpy $R9 0
  ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $0 == $INSTDIR
    Return
  ${EndIf}
  ${DirState} "$INSTDIR" $1
  ${If} $1 == 1
  ${AndIfNot} ${FileExists} "$INSTDIR\Quorvantis.exe"
    StrCpy $INSTDIR "$INSTDIR\${PRODUCT}"
    ${DirState} "$INSTDIR" $1
    ${If} $1 == 1
    ${AndIfNot} ${FileExists} "$INSTDIR\Quorvantis.exe"
      !insertmacro Fail "$INSTDIR holds files of another program; choose another folder."
    ${EndIf}
  ${EndIf}
  ${If} $1 == -1
    StrCpy $R9 1
  ${EndIf}
FunctionEnd

Function .onInit
  SetRegView 64
  Call CloseRunningCopy
FunctionEnd

Section "${PRODUCT}"
  SetRegView 64
  Call ChooseFolder
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
  ; Whether the folder is ours to remove; an earlier install's answer stands.
  ${If} $R9 == 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "FolderCreated" 1
  ${EndIf}
SectionEnd

Function un.onInit
  SetRegView 64
  Call un.CloseRunningCopy
FunctionEnd

Section "Uninstall"
  SetRegView 64
  ; The job starts the program from here: it goes first, and only when it is ours.
  ExecWait '"$INSTDIR\quorvantis-cli.exe" --remove-schedule' $0
  ${If} $0 != 0
    !insertmacro Fail "The scheduled task of ${PRODUCT} could not be deleted; nothing was removed."
  ${EndIf}
  Delete "$INSTDIR\Quorvantis.exe"
  Delete "$INSTDIR\quorvantis-cli.exe"
  ${If} ${FileExists} "$INSTDIR\Quorvantis.exe"
  ${OrIf} ${FileExists} "$INSTDIR\quorvantis-cli.exe"
    !insertmacro Fail "${PRODUCT} could not be removed from $INSTDIR: a file is in use."
  ${EndIf}
  Delete "$INSTDIR\uninstall.exe"
  ReadRegDWORD $1 HKLM "${UNINSTALL_KEY}" "FolderCreated"
  ${If} $1 == 1
    RMDir "$INSTDIR" ; only when empty
  ${EndIf}
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
