; Redoviri's Windows installer, built on Linux by the setup target:
;   makensis -DVERSION=.. -DFILE_VERSION=a.b.c.d -DREDOVIRI_EXE=.. -DCLI_EXE=..
;            -DHELPER_EXE=.. -DICON=.. -DOUTFILE=.. Redoviri.nsi
;
; Where things go (fixed, there is no folder page):
;   C:\Program Files\Redoviri by DUZOVU          the data folder: Redoviri.ini,
;       and its Redoviri.ini.new and Redoviri.ini.lock. Users (S-1-5-32-545)
;       may create and modify files directly in it (grant_users.exe).
;   C:\Program Files\Redoviri by DUZOVU\bin      Redoviri.exe, redoviri-cli.exe,
;       the icon, uninstall.exe and setup-permissions.txt (the helper's
;       record). No program code lies where users may write: bin keeps the
;       ordinary Program Files permissions (the Users ACE of the data folder
;       does not reach subfolders).
; The program reads its events from the literal path "c:\program files\
; Redoviri by DUZOVU\Redoviri.ini", so the installer names that folder
; literally: on 64-bit Windows a 32-bit installer's $PROGRAMFILES would be
; "Program Files (x86)", which the program never looks at.
;
; Silent: Redoviri-setup.exe /S, and uninstall.exe /S. Neither install,
; reinstall nor uninstall touches the event file.
;
; A running Redoviri (its mutex "Redoviri" exists) is asked to quit before
; any file is copied or removed: the registered message "Redoviri.Quit",
; posted to its hidden window of that class, which the program takes as its
; Quit menu command. Interactive, the user is asked first (Cancel changes
; nothing); silent, it is asked to quit at once. Still running after 10 s:
; interactive, Retry or Cancel; silent, the setup fails (exit code 2)
; without changing anything.

Unicode true
!include MUI2.nsh
!include LogicLib.nsh

!define DATADIR "C:\Program Files\Redoviri by DUZOVU"
!define UNINST_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Redoviri"
!define RECORD "setup-permissions.txt"
!define INSTANCE_MUTEX "Redoviri"
!define QUIT_MESSAGE "Redoviri.Quit"
!define QUIT_WINDOW "Redoviri.Quit"

Name "Redoviri ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "${DATADIR}\bin"
RequestExecutionLevel admin
ShowInstDetails show
ShowUninstDetails show
SetCompressor /SOLID lzma

VIProductVersion "${FILE_VERSION}"
VIAddVersionKey /LANG=1033 "ProductName" "Redoviri"
VIAddVersionKey /LANG=1033 "CompanyName" "DUZOVU"
VIAddVersionKey /LANG=1033 "FileDescription" "Redoviri setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "DUZOVU"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_COMPONENTSPAGE_NODESC
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; $R0: 1 when Redoviri runs in this session (its mutex exists, also when
; it is another user's and cannot be opened), else 0.
!macro RUNNING_FUNCTION UN
Function ${UN}IsRunning
  System::Call 'kernel32::OpenMutexW(i 0x00100000, i 0, w "${INSTANCE_MUTEX}") p .R1 ?e'
  Pop $R2
  StrCpy $R0 1
  ${If} $R1 P<> 0
    System::Call 'kernel32::CloseHandle(p R1)'
  ${ElseIf} $R2 = 2  ; ERROR_FILE_NOT_FOUND
    StrCpy $R0 0
  ${EndIf}
FunctionEnd

; Asks a running Redoviri to quit and waits up to 10 s for it to end: its
; mutex gone and its process ended. The request is posted again on each
; look, for a program still starting when the first one went. Aborts
; (nothing changed) when the user cancels or, silent, when it still runs.
Function ${UN}CloseRunning
  Call ${UN}IsRunning
  ${If} $R0 = 0
    Return
  ${EndIf}
  MessageBox MB_OKCANCEL|MB_ICONEXCLAMATION "Redoviri is running. Close it to go on?" /SD IDOK IDOK ask
  Abort "Cancelled: Redoviri is still running."
ask:
  DetailPrint "Asking Redoviri to quit"
  System::Call 'user32::RegisterWindowMessageW(w "${QUIT_MESSAGE}") i .R3'
  StrCpy $R5 0  ; the process, once its window is found
  StrCpy $R6 0
  ${Do}
    System::Call 'user32::FindWindowW(w "${QUIT_WINDOW}", p 0) p .R4'
    ${If} $R4 P<> 0
      ${If} $R5 P= 0
        System::Call 'user32::GetWindowThreadProcessId(p R4, *i .R7)'
        System::Call 'kernel32::OpenProcess(i 0x00100000, i 0, i R7) p .R5'
      ${EndIf}
      System::Call 'user32::PostMessageW(p R4, i R3, p 0, p 0)'
    ${EndIf}
    Sleep 250
    IntOp $R6 $R6 + 1
    Call ${UN}IsRunning
    ${If} $R0 = 0
    ${AndIf} $R5 P<> 0
      ; Its files are free only when the process has ended.
      System::Call 'kernel32::WaitForSingleObject(p R5, i 0) i .R7'
      ${If} $R7 <> 0
        StrCpy $R0 1
      ${EndIf}
    ${EndIf}
    ${If} $R0 = 0
      ${Break}
    ${EndIf}
    ${If} $R6 >= 40
      MessageBox MB_RETRYCANCEL|MB_ICONSTOP "Redoviri did not close. Close it yourself, then Retry." /SD IDCANCEL IDCANCEL stop
      StrCpy $R6 0
    ${EndIf}
  ${Loop}
  ${If} $R5 P<> 0
    System::Call 'kernel32::CloseHandle(p R5)'
  ${EndIf}
  DetailPrint "Redoviri has ended"
  Return
stop:
  ${If} $R5 P<> 0
    System::Call 'kernel32::CloseHandle(p R5)'
  ${EndIf}
  SetErrorLevel 2
  Abort "Redoviri is still running: nothing was changed."
FunctionEnd
!macroend
!insertmacro RUNNING_FUNCTION ""
!insertmacro RUNNING_FUNCTION "un."

Section "Redoviri (program and command-line tool)" SecProgram
  SectionIn RO
  Call CloseRunning

  ; The data folder and the permission for Users on it.
  CreateDirectory "${DATADIR}"
  SetOutPath "$INSTDIR"
  File "/oname=Redoviri.exe" "${REDOVIRI_EXE}"
  File "/oname=redoviri-cli.exe" "${CLI_EXE}"
  File "/oname=redoviri.ico" "${ICON}"

  InitPluginsDir
  File "/oname=$PLUGINSDIR\grant_users.exe" "${HELPER_EXE}"
  Delete "$INSTDIR\${RECORD}"
  DetailPrint "Letting Users (S-1-5-32-545) create and modify files in ${DATADIR}"
  ; Its output (the DACL as SDDL) goes to the details and to the record.
  nsExec::ExecToLog '"$PLUGINSDIR\grant_users.exe" "${DATADIR}" "$INSTDIR\${RECORD}"'
  Pop $0
  ${If} $0 != 0
    DetailPrint "grant_users.exe failed: $0"
    Abort "Users could not be given write access to ${DATADIR}"
  ${EndIf}

  WriteUninstaller "$INSTDIR\uninstall.exe"

  SetShellVarContext all
  CreateShortcut "$SMPROGRAMS\Redoviri.lnk" "$INSTDIR\Redoviri.exe" "" "$INSTDIR\Redoviri.exe" 0
  ; The next section puts the Startup shortcut back when it is chosen.
  SetShellVarContext current
  Delete "$SMSTARTUP\Redoviri.lnk"

  WriteRegStr HKLM "${UNINST_KEY}" "DisplayName" "Redoviri"
  WriteRegStr HKLM "${UNINST_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINST_KEY}" "DisplayIcon" "$INSTDIR\redoviri.ico"
  WriteRegStr HKLM "${UNINST_KEY}" "Publisher" "DUZOVU"
  WriteRegStr HKLM "${UNINST_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINST_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINST_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINST_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINST_KEY}" "NoRepair" 1
SectionEnd

; The user's Startup folder; the program itself stores no settings.
Section "Start Redoviri with Windows" SecStartup
  SetShellVarContext current
  CreateShortcut "$SMSTARTUP\Redoviri.lnk" "$INSTDIR\Redoviri.exe" "" "$INSTDIR\Redoviri.exe" 0
SectionEnd

; The program, its shortcuts and its registry entry go; the data folder stays
; with the event file in it (it is removed only when empty).
Section "Uninstall"
  Call un.CloseRunning
  SetShellVarContext all
  Delete "$SMPROGRAMS\Redoviri.lnk"
  SetShellVarContext current
  Delete "$SMSTARTUP\Redoviri.lnk"

  Delete "$INSTDIR\Redoviri.exe"
  Delete "$INSTDIR\redoviri-cli.exe"
  Delete "$INSTDIR\redoviri.ico"
  Delete "$INSTDIR\${RECORD}"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  RMDir "${DATADIR}"

  DeleteRegKey HKLM "${UNINST_KEY}"
SectionEnd
