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

Unicode true
!include MUI2.nsh
!include LogicLib.nsh

!define DATADIR "C:\Program Files\Redoviri by DUZOVU"
!define UNINST_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Redoviri"
!define RECORD "setup-permissions.txt"

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

Section "Redoviri (program and command-line tool)" SecProgram
  SectionIn RO

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
