; tindle.exe, the installation program of Tindle Advent.  It has to fit on a
; 1.4 MB floppy disk: the settings dialog's Duplicate button copies it there
; from the installation directory so that the saver can be handed on.
;
; The build passes OUTFILE (the installer to write), SAVER (tindle.scr) and
; FILES (an include that defines the macros InstallFiles and RemoveFiles for
; the pictures and clips).
;
; Command line: /S installs silently; /ACTIVATE makes a silent installation
; the current screen saver too; /D=dir (last) chooses the directory.

Unicode false
SetCompressor /SOLID /FINAL lzma
RequestExecutionLevel admin

!define PRODUCT "Tindle Advent"
!define PREFS_KEY "Software\Brackwell\Tindle"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tindle Advent"
!define DESKTOP_KEY "Control Panel\Desktop"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES\${PRODUCT}"
InstallDirRegKey HKLM "${PREFS_KEY}" "InstallDir"
BrandingText "Brackwell"

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include x64.nsh

!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_SHOWREADME
!define MUI_FINISHPAGE_SHOWREADME_TEXT "Make ${PRODUCT} the current screen saver"
!define MUI_FINISHPAGE_SHOWREADME_FUNCTION MakeCurrentSaver
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; NSIS's English texts read the same in British English; the version
; resource is marked English (United Kingdom), like the saver's.
VIProductVersion "1.0.0.0"
VIAddVersionKey /LANG=2057 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=2057 "CompanyName" "Brackwell"
VIAddVersionKey /LANG=2057 "FileDescription" "${PRODUCT} Screen Saver installation"
VIAddVersionKey /LANG=2057 "FileVersion" "1.0"
VIAddVersionKey /LANG=2057 "ProductVersion" "1.0"
VIAddVersionKey /LANG=2057 "LegalCopyright" "Brackwell"

!include "${FILES}"

; The desktop lists the screen savers of the Windows system directory; a
; 32-bit installer on 64-bit Windows must write past the WOW64 redirection to
; reach the directory that the desktop reads.
!macro SystemDirectory ACTION
  ${If} ${RunningX64}
    ${${ACTION}X64FSRedirection}
  ${EndIf}
!macroend

Section
  SetOutPath "$INSTDIR"
  File "/oname=tindle.scr" "${SAVER}"
  !insertmacro InstallFiles

  ; Duplicate hands on the installer from here.  Installing again from that
  ; copy must not copy it onto itself.
  GetFullPathName $0 "$EXEPATH"
  GetFullPathName $1 "$INSTDIR\tindle.exe"
  ${If} $0 != $1
    ClearErrors
    CopyFiles /SILENT "$EXEPATH" "$INSTDIR\tindle.exe"
    ${If} ${Errors}
      MessageBox MB_OK|MB_ICONSTOP "Cannot copy the installation program to $INSTDIR." /SD IDOK
      Abort
    ${EndIf}
  ${EndIf}

  !insertmacro SystemDirectory Disable
  SetOutPath "$SYSDIR"
  File "/oname=tindle.scr" "${SAVER}"
  !insertmacro SystemDirectory Enable
  SetOutPath "$INSTDIR"

  WriteRegStr HKLM "${PREFS_KEY}" "InstallDir" "$INSTDIR"

  WriteUninstaller "$INSTDIR\uninstall.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT} Screen Saver"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Brackwell"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "1.0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Function MakeCurrentSaver
  WriteRegStr HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE" "$SYSDIR\tindle.scr"
  ; SPI_SETSCREENSAVEACTIVE, saved and broadcast, so that the desktop takes
  ; the new saver without a new logon.
  System::Call "user32::SystemParametersInfoA(i 17, i 1, i 0, i 3)"
FunctionEnd

Function .onInstSuccess
  ${If} ${Silent}
    ${GetParameters} $0
    ClearErrors
    ${GetOptions} $0 "/ACTIVATE" $1
    ${IfNot} ${Errors}
      Call MakeCurrentSaver
    ${EndIf}
  ${EndIf}
FunctionEnd

Section "Uninstall"
  ; Only a saver setting that names this saver goes; the desktop then has
  ; none, as after removing a saver in the display settings.
  ReadRegStr $0 HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
  ${If} $0 == "$SYSDIR\tindle.scr"
    DeleteRegValue HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
  ${EndIf}

  !insertmacro SystemDirectory Disable
  Delete "$SYSDIR\tindle.scr"
  !insertmacro SystemDirectory Enable

  !insertmacro RemoveFiles
  Delete "$INSTDIR\tindle.scr"
  Delete "$INSTDIR\tindle.exe"
  Delete "$INSTDIR\uninstall.exe"
  ; Not recursive: whatever the user put there stays.
  RMDir "$INSTDIR"

  DeleteRegKey HKLM "${PREFS_KEY}"
  DeleteRegKey /ifempty HKLM "Software\Brackwell"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
