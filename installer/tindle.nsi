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

!macro DefaultValue NAME VALUE
  ClearErrors
  ReadRegDWORD $0 HKLM "${PREFS_KEY}" "${NAME}"
  ${If} ${Errors}
    WriteRegDWORD HKLM "${PREFS_KEY}" "${NAME}" ${VALUE}
  ${EndIf}
!macroend

; Every run of the saver records the calendar's progress under the machine's
; key, also for users without administrator rights.  Their group (Users,
; S-1-5-32-545) gets the right to read, set and create values there, beside
; the rights the key already has.
Function LetUsersWritePreferences
  ; Each call's result is compared as text, since a call that cannot be made
  ; at all gives "error"; $1 is "0" while all goes well.
  ; RegOpenKeyExA(HKEY_LOCAL_MACHINE, key, 0, READ_CONTROL | WRITE_DAC, &key)
  System::Call 'advapi32::RegOpenKeyExA(i 0x80000002, t "${PREFS_KEY}", i 0, i 0x60000, *i .r0) i .r1'
  ${If} $1 == 0
    ; GetSecurityInfo(key, SE_REGISTRY_KEY, DACL_SECURITY_INFORMATION, ..., &dacl, ..., &sd)
    System::Call 'advapi32::GetSecurityInfo(i r0, i 4, i 4, i 0, i 0, *i .r2, i 0, *i .r3) i .r1'
    ${If} $1 == 0
      System::Call 'advapi32::ConvertStringSidToSidA(t "S-1-5-32-545", *i .r4) i .r5'
      ${IfThen} $5 != 1 ${|} StrCpy $1 "no SID" ${|}
    ${EndIf}
    ${If} $1 == 0
      ; EXPLICIT_ACCESS: KEY_READ | KEY_SET_VALUE | KEY_CREATE_SUB_KEY,
      ; SET_ACCESS (installing again leaves one entry), inherited by subkeys,
      ; for a well-known group by SID.
      System::Call '*(i 0x2001F, i 2, i 3, i 0, i 0, i 0, i 5, i r4) i .r6'
      System::Call 'advapi32::SetEntriesInAclA(i 1, i r6, i r2, *i .r7) i .r1'
      ${If} $1 == 0
        System::Call 'advapi32::SetSecurityInfo(i r0, i 4, i 4, i 0, i 0, i r7, i 0) i .r1'
        System::Call 'kernel32::LocalFree(i r7)'
      ${EndIf}
      System::Free $6
      System::Call 'kernel32::LocalFree(i r4)'
      System::Call 'kernel32::LocalFree(i r3)'
    ${EndIf}
    System::Call 'advapi32::RegCloseKey(i r0)'
  ${EndIf}
  ${If} $1 != 0
    MessageBox MB_OK|MB_ICONSTOP "Cannot let the users of this computer keep their progress in HKEY_LOCAL_MACHINE\${PREFS_KEY}." /SD IDOK
    Abort
  ${EndIf}
FunctionEnd

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
  ; The saver only ever writes values that exist.  Installing again keeps the
  ; doors a user has opened and the seasons someone has forced.
  !insertmacro DefaultValue "LastChecked" 0
  !insertmacro DefaultValue "LastCheckedYear" 96
  !insertmacro DefaultValue "Advent" 0
  !insertmacro DefaultValue "Twelve" 0
  Call LetUsersWritePreferences

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

  ; A saver or preview that still runs holds its files: they go at the next
  ; restart, and the user is told.
  !insertmacro SystemDirectory Disable
  Delete /REBOOTOK "$SYSDIR\tindle.scr"
  !insertmacro SystemDirectory Enable

  !insertmacro RemoveFiles
  Delete /REBOOTOK "$INSTDIR\tindle.scr"
  Delete /REBOOTOK "$INSTDIR\tindle.exe"
  Delete /REBOOTOK "$INSTDIR\uninstall.exe"
  ; Not recursive: whatever the user put there stays.
  RMDir /REBOOTOK "$INSTDIR"

  DeleteRegKey HKLM "${PREFS_KEY}"
  DeleteRegKey /ifempty HKLM "Software\Brackwell"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"

  ${If} ${RebootFlag}
    MessageBox MB_OK|MB_ICONINFORMATION "Some files of ${PRODUCT} are still in use. They will be removed when you restart the computer." /SD IDOK
  ${EndIf}
SectionEnd
