; Where Vestrano goes, for whom, and what stops a setup before it changes anything: the exit codes,
; the two install modes and their folders, the administrator check, the refusal to go back to an
; older version, and the refusal to replace files that a running Excel holds.

; Exit codes of the setup program and the uninstaller (1 and 2 are NSIS's own: the user cancelled,
; or the work was aborted).
!define EXIT_OK 0
!define EXIT_FAILED 2
!define EXIT_IN_USE 3
!define EXIT_NEWER_INSTALLED 4
!define EXIT_NEEDS_ADMINISTRATOR 5
!define EXIT_UNSUPPORTED 6

; The version record's CompanyName.
!define PUBLISHER "Vestrano"
; The entry in the list of installed programs: under HKCU per user, under HKLM machine-wide.
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Vestrano"

Var MachineWide     ; 1: for every user of the machine (/ALLUSERS); empty: for this user
Var RemoveSettings  ; 1: an uninstall removes the user's own settings key too
Var Failures        ; registration steps that failed
Var ExitCode        ; what a removal ended with
Var MadeProgramsFolder ; 1: the per-user "Programs" folder was made for Vestrano, and goes with it

; Sets $0 to the file when it exists and cannot be opened for writing.
!macro FILE_IN_USE file
  ${If} ${FileExists} "$INSTDIR\${file}"
    ClearErrors
    FileOpen $1 "$INSTDIR\${file}" a
    ${If} ${Errors}
      StrCpy $0 "$INSTDIR\${file}"
    ${Else}
      FileClose $1
    ${EndIf}
  ${EndIf}
!macroend

!macro DEFINE_LAYOUT un
  ; Machine-wide files and keys need an administrator's elevated process; a standard user or a
  ; non-elevated administrator gets a message instead of a half installation.
  Function ${un}RequireAdministratorWhenMachineWide
    ${If} $MachineWide == 1
      UserInfo::GetAccountType
      Pop $0
      ${If} $0 != "Admin"
        ; A continued line keeps its indentation: long messages continue at the margin.
        MessageBox MB_ICONSTOP \
"Installing or removing Vestrano for all users needs an administrator: run it from an elevated \
command prompt (Run as administrator)." \
          /SD IDOK
        SetErrorLevel ${EXIT_NEEDS_ADMINISTRATOR}
        Quit
      ${EndIf}
    ${EndIf}
  FunctionEnd

  ; An Excel that has the add-in loaded holds its files: Windows refuses to open them for
  ; writing. Nothing is changed then, and the user is asked to close Excel and try again, so that
  ; an upgrade never leaves the old DLL beside a new module, and no restart is needed.
  Function ${un}FilesInUse
    StrCpy $0 ""
    !insertmacro FILE_IN_USE x86\Vestrano.dll
    !insertmacro FILE_IN_USE x86\Zandrelix.ocx
    !insertmacro FILE_IN_USE x64\Vestrano.dll
    !insertmacro FILE_IN_USE x64\Zandrelix.ocx
    Push $0
  FunctionEnd
!macroend
!insertmacro DEFINE_LAYOUT ""
!insertmacro DEFINE_LAYOUT "un."

; Per user, under the user's local (not roaming) application data, where Windows 7 and later
; keep per-user programs ("Programs"); Windows XP has no such folder, and gets the same path under
; its "Local Settings\Application Data", so that one rule holds everywhere. Machine-wide, both
; bitnesses share one folder in the native Program Files: a 32-bit DLL loads from there as well,
; and one product folder is what an administrator looks for.
Function ChooseLayout
  ${If} $MachineWide == 1
    SetShellVarContext all
    ${If} ${RunningX64}
      StrCpy $INSTDIR "$PROGRAMFILES64\Vestrano"
    ${Else}
      StrCpy $INSTDIR "$PROGRAMFILES\Vestrano"
    ${EndIf}
  ${Else}
    SetShellVarContext current
    StrCpy $INSTDIR "$LOCALAPPDATA\Programs\Vestrano"
    ; Windows XP never has the folder, later Windows only once a program put something there.
    ReadRegDWORD $MadeProgramsFolder HKCU "${UNINSTALL_KEY}" "MadeProgramsFolder"
    ${IfNot} ${FileExists} "$LOCALAPPDATA\Programs\*.*"
      StrCpy $MadeProgramsFolder 1
    ${EndIf}
  ${EndIf}
FunctionEnd

Function RefuseFilesInUse
  Call FilesInUse
  Pop $0
  ${If} $0 != ""
    MessageBox MB_ICONSTOP "Excel is using Vestrano ($0). Close Excel and run the setup again." /SD IDOK
    SetErrorLevel ${EXIT_IN_USE}
    Quit
  ${EndIf}
FunctionEnd

; The installed add-in's version record against this setup's: a newer one is kept, since going
; back could meet settings or keys that the older version does not know.
Function RefuseDowngrade
  ${IfNot} ${FileExists} "$INSTDIR\x86\Vestrano.dll"
    Return
  ${EndIf}
  ClearErrors
  GetDLLVersion "$INSTDIR\x86\Vestrano.dll" $0 $1
  ${If} ${Errors}
    Return
  ${EndIf}
  IntOp $2 $0 >> 16
  IntOp $3 $0 & 0xFFFF
  IntOp $4 $1 >> 16
  IntOp $5 $1 & 0xFFFF
  StrCpy $6 "$2.$3.$4.$5"
  ${VersionCompare} "$6" "${VERSION}" $7
  ${If} $7 == 1
    MessageBox MB_ICONSTOP \
"Vestrano $6 is installed, which is newer than this setup's ${VERSION}. To go back to \
${VERSION}, uninstall Vestrano first." \
      /SD IDOK
    SetErrorLevel ${EXIT_NEWER_INSTALLED}
    Quit
  ${EndIf}
FunctionEnd

; The uninstaller runs from a copy of itself, with $INSTDIR set to the folder it was installed in;
; it is the machine-wide installation when the machine's uninstall entry names that folder.
Function un.ChooseLayoutOfThisCopy
  ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $0 == $INSTDIR
    StrCpy $MachineWide 1
    SetShellVarContext all
  ${Else}
    SetShellVarContext current
    ReadRegDWORD $MadeProgramsFolder HKCU "${UNINSTALL_KEY}" "MadeProgramsFolder"
  ${EndIf}
FunctionEnd
