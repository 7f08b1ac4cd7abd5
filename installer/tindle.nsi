; tindle.exe, the installation program of Tindle Advent.  It has to fit on a
; 1.4 MB floppy disk: the settings dialog's Duplicate button copies it there
; from the installation directory so that the saver can be handed on.
;
; The build passes OUTFILE (the installer to write), SAVER (tindle.scr) and
; FILES (an include that defines the macros InstallFiles and RemoveFiles and
; the list CONTENT_FILES for the pictures and clips).
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
!define SESSION_KEY "SYSTEM\CurrentControlSet\Control\Session Manager"
!define PENDING "PendingFileRenameOperations"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES\${PRODUCT}"
; Where the last installation went, from a key that only administrators may
; change: the saver's own key was once open to every user.
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
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
; What an installation writes into its directory, as "name|name|...".
!define OWN_FILES "${CONTENT_FILES}|tindle.scr|tindle.exe|uninstall.exe"

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

; Versions before this one let the Users group (S-1-5-32-545) set values and
; create subkeys under the key, whose InstallDir tells every user's saver and
; the next installation where the product lives.  That entry of the group's
; own goes; the key keeps what it inherits and every other entry.
Function TakeBackUsersWriteRights
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
      ; $5 is the entry looked at, $9 counts those taken out.
      StrCpy $5 0
      StrCpy $9 0
      ${Do}
        System::Call 'advapi32::GetAce(i r2, i r5, *i .r6) i .r7'
        ${IfThen} $7 == 0 ${|} ${ExitDo} ${|}
        ; ACE_HEADER (type, flags, size), the rights, then the SID.
        System::Call '*$6(&i1 .r7, &i1 .r8, &i2, i .R0)'
        IntOp $6 $6 + 8
        System::Call 'advapi32::EqualSid(i r6, i r4) i .R1'
        ; Not INHERITED_ACE; KEY_SET_VALUE, KEY_CREATE_SUB_KEY, GENERIC_WRITE or GENERIC_ALL.
        IntOp $8 $8 & 0x10
        IntOp $R0 $R0 & 0x50000006
        ${If} $7 == 0
        ${AndIf} $8 == 0
        ${AndIf} $R0 != 0
        ${AndIf} $R1 != 0
          System::Call 'advapi32::DeleteAce(i r2, i r5)'
          IntOp $9 $9 + 1
        ${Else}
          IntOp $5 $5 + 1
        ${EndIf}
      ${Loop}
      ${If} $9 != 0
        System::Call 'advapi32::SetSecurityInfo(i r0, i 4, i 4, i 0, i 0, i r2, i 0) i .r1'
      ${EndIf}
      System::Call 'kernel32::LocalFree(i r4)'
      System::Call 'kernel32::LocalFree(i r3)'
    ${EndIf}
    System::Call 'advapi32::RegCloseKey(i r0)'
  ${EndIf}
  ${If} $1 != 0
    MessageBox MB_OK|MB_ICONSTOP "Cannot take from the users of this computer the right to change HKEY_LOCAL_MACHINE\${PREFS_KEY}." /SD IDOK
    Abort
  ${EndIf}
FunctionEnd

; An uninstallation while a program held some of its files left their
; removal for the next restart, which would then undo this installation.
; The system keeps a pair of texts for each file to remove or rename at the
; restart: the file ("\??\C:\...") and where it goes ("" for nowhere).  The
; pairs that name what this installation writes go; all others stay.
Function TakeBackPendingRemovals
  ; RegOpenKeyExA(HKEY_LOCAL_MACHINE, key, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, &key)
  System::Call 'advapi32::RegOpenKeyExA(i 0x80000002, t "${SESSION_KEY}", i 0, i 3, *i .r0) i .r1'
  ${If} $1 == 0
    ; The size; ERROR_FILE_NOT_FOUND (2) when nothing waits for a restart.
    System::Call 'advapi32::RegQueryValueExW(i r0, w "${PENDING}", i 0, i 0, i 0, *i .r2) i .r1'
    ${If} $1 == 0
      ; The value is a list of UTF-16 texts of the size the registry gives,
      ; an odd size taken up to a whole character.  Both buffers start
      ; zeroed, with room after that for two terminators, which end the
      ; texts that a damaged value leaves open.
      IntOp $3 $2 + 5
      System::Alloc $3
      Pop $3
      IntOp $4 $2 + 5
      System::Alloc $4
      Pop $4
      System::Call 'advapi32::RegQueryValueExW(i r0, w "${PENDING}", i 0, i 0, i r3, *i r2 r2) i .r1'
      ; A value that has grown meanwhile is not read: $2 is then its new
      ; size, not the buffer's, and the installation stops below.
      ${IfThen} $1 != 0 ${|} StrCpy $2 0 ${|}
      ; $5 reads the value ($7 is its end), $6 writes the pairs that stay,
      ; $R4 counts the pairs taken out.
      StrCpy $5 $3
      StrCpy $6 $4
      StrCpy $R4 0
      IntOp $7 $2 + 1
      IntOp $7 $7 & -2
      IntOp $7 $7 + $3
      ${DoWhile} $5 < $7
        ; $9 becomes the pair's size in bytes, both texts with their
        ; terminators.  An empty file text ends the list; so does a pair
        ; that runs past the end of the value, which is no pair.
        System::Call 'kernel32::lstrlenW(i r5) i .r8'
        ${IfThen} $8 == 0 ${|} ${ExitDo} ${|}
        IntOp $9 $8 + 1
        IntOp $9 $9 * 2
        IntOp $9 $9 + $5
        System::Call 'kernel32::lstrlenW(i r9) i .r9'
        IntOp $9 $9 + $8
        IntOp $9 $9 + 2
        IntOp $9 $9 * 2
        IntOp $8 $5 + $9
        ${IfThen} $8 > $7 ${|} ${ExitDo} ${|}
        ; The file, after its "\??\".
        System::Call 'kernel32::lstrcpynW(w .R0, i r5, i ${NSIS_MAX_STRLEN})'
        StrCpy $R0 $R0 "" 4
        ${GetParent} $R0 $R1
        ${GetFileName} $R0 $R2
        StrCpy $R3 0
        ${If} $R1 == $INSTDIR
          System::Call 'shlwapi::StrStrIA(t "|${OWN_FILES}|", t "|$R2|") i .R3'
        ${EndIf}
        ${If} $R0 == $INSTDIR
        ${OrIf} $R0 == "$SYSDIR\tindle.scr"
          StrCpy $R3 1
        ${EndIf}
        ${If} $R3 == 0
          System::Call 'kernel32::RtlMoveMemory(i r6, i r5, i r9)'
          IntOp $6 $6 + $9
        ${Else}
          IntOp $R4 $R4 + 1
        ${EndIf}
        IntOp $5 $5 + $9
      ${Loop}
      ${If} $1 == 0
      ${AndIf} $R4 != 0
        ; What follows the last pair stays as it was, up to the reported end
        ; (a last pair may have ended on the character an odd size took up).
        IntOp $8 $3 + $2
        IntOp $8 $8 - $5
        ${IfThen} $8 < 0 ${|} StrCpy $8 0 ${|}
        System::Call 'kernel32::RtlMoveMemory(i r6, i r5, i r8)'
        IntOp $8 $8 + $6
        IntOp $8 $8 - $4
        ; A list whose first text is empty holds nothing.
        System::Call 'kernel32::lstrlenW(i r4) i .r6'
        ${If} $6 == 0
          System::Call 'advapi32::RegDeleteValueW(i r0, w "${PENDING}") i .r1'
        ${Else}
          ; RegSetValueExW gives a last text left open a terminator of its own
          ; when the character after the data is 0: here it is not.
          IntOp $9 $4 + $8
          System::Call '*$9(&i2 -1)'
          ; REG_MULTI_SZ
          System::Call 'advapi32::RegSetValueExW(i r0, w "${PENDING}", i 0, i 7, i r4, i r8) i .r1'
        ${EndIf}
      ${EndIf}
      System::Free $3
      System::Free $4
    ${EndIf}
    System::Call 'advapi32::RegCloseKey(i r0)'
  ${EndIf}
  ${If} $1 != 0
  ${AndIf} $1 != 2
    MessageBox MB_OK|MB_ICONSTOP "Files of ${PRODUCT} are to be removed at the next restart. Restart the computer, then install again." /SD IDOK
    Abort
  ${EndIf}
FunctionEnd

Section
  ; Whatever fails after this leaves an installation that its uninstaller
  ; removes.
  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT} Screen Saver"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Brackwell"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "1.0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  Call TakeBackPendingRemovals

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
  Call TakeBackUsersWriteRights
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

; A saver or its preview that still runs holds its files, and it reads the
; program's key at every mouse move, which would create the key again once it
; has gone.  Every program started from this installation's tindle.scr or the
; system directory's ends first.
Function un.EndRunningSavers
  ; Room for 16384 process ids.
  System::Alloc 65536
  Pop $0
  ; EnumProcesses(ids, size, &used)
  System::Call 'psapi::EnumProcesses(i r0, i 65536, *i .r1) i .r2'
  ${If} $2 == error
  ${OrIf} $2 == 0
    StrCpy $1 0
  ${EndIf}
  ; $3 walks the process ids.
  StrCpy $3 0
  ${DoWhile} $3 < $1
    IntOp $4 $0 + $3
    System::Call '*$4(i .r4)'
    ; OpenProcess(PROCESS_TERMINATE | PROCESS_QUERY_INFORMATION | PROCESS_VM_READ | SYNCHRONIZE, FALSE, id)
    System::Call 'kernel32::OpenProcess(i 0x100411, i 0, i r4) i .r4'
    ${If} $4 != 0
      System::Call 'psapi::GetModuleFileNameExA(i r4, i 0, t .r5, i ${NSIS_MAX_STRLEN}) i .r6'
      ${If} $5 == "$INSTDIR\tindle.scr"
      ${OrIf} $5 == "$SYSDIR\tindle.scr"
        System::Call 'kernel32::TerminateProcess(i r4, i 0)'
        ; Its files are free once it has gone.
        System::Call 'kernel32::WaitForSingleObject(i r4, i 10000)'
      ${EndIf}
      System::Call 'kernel32::CloseHandle(i r4)'
    ${EndIf}
    IntOp $3 $3 + 4
  ${Loop}
  System::Free $0
FunctionEnd

Section "Uninstall"
  Call un.EndRunningSavers
  ; Only a saver setting that names this saver goes; the desktop then has
  ; none, as after removing a saver in the display settings.
  ReadRegStr $0 HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
  ${If} $0 == "$SYSDIR\tindle.scr"
    DeleteRegValue HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
  ${EndIf}

  ; A file that another program still holds goes at the next restart, and
  ; the user is told.
  !insertmacro SystemDirectory Disable
  Delete /REBOOTOK "$SYSDIR\tindle.scr"
  !insertmacro SystemDirectory Enable

  !insertmacro RemoveFiles
  Delete /REBOOTOK "$INSTDIR\tindle.scr"
  Delete /REBOOTOK "$INSTDIR\tindle.exe"
  Delete /REBOOTOK "$INSTDIR\uninstall.exe"
  ; Not recursive: whatever the user put there stays, and so does the
  ; directory then.  It waits for the restart only with files of ours.
  ${If} ${RebootFlag}
    RMDir /REBOOTOK "$INSTDIR"
  ${Else}
    RMDir "$INSTDIR"
  ${EndIf}

  DeleteRegKey HKLM "${PREFS_KEY}"
  DeleteRegKey /ifempty HKLM "Software\Brackwell"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"

  ${If} ${RebootFlag}
    MessageBox MB_OK|MB_ICONINFORMATION "Some files of ${PRODUCT} are still in use. They will be removed when you restart the computer." /SD IDOK
  ${EndIf}
SectionEnd
