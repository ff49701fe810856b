; Vestrano's setup program: one 32-bit NSIS installer for Windows XP to 11, which installs both
; bitnesses of the add-in and its tab strip module, so that a 32-bit and a 64-bit Excel, today's or
; one installed later, each find the files they can load.
;
; Per user by default (no administrator), machine-wide with /ALLUSERS from an elevated process.
; /S runs silently, /UNINSTALL removes instead of installing (the setup program waits for the
; work and returns its exit code, which Uninstall.exe cannot: it copies itself away first), and
; /REMOVESETTINGS with an uninstall removes the user's own settings too. The exit codes are in
; layout.nsh.
;
; Built by scripts/package.sh: makensis -DSOURCE32=<folder> -DSOURCE64=<folder> -DOUTFILE=<file>
; [-DUNINSTALLER_SIGN=<command> -DSETUP_SIGN=<command>], each folder holding Vestrano.dll and
; Zandrelix.ocx; the signing commands get the file to sign as %1.

Unicode true
RequestExecutionLevel user
SetCompressor /SOLID lzma
ManifestDPIAware true

!ifndef SOURCE32 | SOURCE64 | OUTFILE
  !error "define SOURCE32, SOURCE64 and OUTFILE (scripts/package.sh does)"
!endif

; The product's version is the add-in's version record; all four files must carry the same.
!getdllversion "${SOURCE32}\Vestrano.dll" VERSION_
!define VERSION "${VERSION_1}.${VERSION_2}.${VERSION_3}.${VERSION_4}"
!macro EXPECT_VERSION file
  !getdllversion "${file}" CHECKED_
  !if "${CHECKED_1}.${CHECKED_2}.${CHECKED_3}.${CHECKED_4}" != "${VERSION}"
    !error "${file} is version ${CHECKED_1}.${CHECKED_2}.${CHECKED_3}.${CHECKED_4}, not ${VERSION}"
  !endif
  !undef CHECKED_1 CHECKED_2 CHECKED_3 CHECKED_4
!macroend
!insertmacro EXPECT_VERSION "${SOURCE32}\Zandrelix.ocx"
!insertmacro EXPECT_VERSION "${SOURCE64}\Vestrano.dll"
!insertmacro EXPECT_VERSION "${SOURCE64}\Zandrelix.ocx"

; "= 0": a signing that fails fails the build.
!ifdef UNINSTALLER_SIGN
  !uninstfinalize '${UNINSTALLER_SIGN}' = 0
!endif
!ifdef SETUP_SIGN
  !finalize '${SETUP_SIGN}' = 0
!endif

!include LogicLib.nsh
!include x64.nsh
!include FileFunc.nsh
!include WordFunc.nsh
!include WinVer.nsh
!include MUI2.nsh

!include layout.nsh
!include registration.nsh
!include uninstall_entry.nsh
!include removal.nsh

Name "Vestrano"
OutFile "${OUTFILE}"
BrandingText "Vestrano ${VERSION}"
ShowInstDetails show
ShowUninstDetails show
; A file that cannot be written ends the setup with a failure (exit code 2), never skipped.
AllowSkipFiles off

VIProductVersion "${VERSION}"
VIAddVersionKey /LANG=1033 ProductName "Vestrano"
VIAddVersionKey /LANG=1033 CompanyName "${PUBLISHER}"
VIAddVersionKey /LANG=1033 FileDescription "Vestrano setup: workbook tabs for Microsoft Excel"
VIAddVersionKey /LANG=1033 FileVersion "${VERSION}"
VIAddVersionKey /LANG=1033 ProductVersion "${VERSION}"
VIAddVersionKey /LANG=1033 LegalCopyright "${PUBLISHER}"

!define MUI_FINISHPAGE_TEXT "Vestrano ${VERSION} is installed. Start Excel (or close and start it again) to see the workbook tabs."
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

Function .onInit
  ${IfNot} ${AtLeastWinXP}
    MessageBox MB_ICONSTOP "Vestrano needs Windows XP or later." /SD IDOK
    SetErrorLevel ${EXIT_UNSUPPORTED}
    Quit
  ${EndIf}
  ${GetParameters} $R0
  ClearErrors
  ${GetOptions} $R0 "/ALLUSERS" $R1
  ${IfNot} ${Errors}
    StrCpy $MachineWide 1
  ${EndIf}
  Call ChooseLayout
  Call RequireAdministratorWhenMachineWide

  ClearErrors
  ${GetOptions} $R0 "/UNINSTALL" $R1
  ${IfNot} ${Errors}
    ClearErrors
    ${GetOptions} $R0 "/REMOVESETTINGS" $R1
    ${IfNot} ${Errors}
      StrCpy $RemoveSettings 1
    ${EndIf}
    Call RemoveInstallation
    SetErrorLevel $ExitCode
    Quit
  ${EndIf}

  Call RefuseDowngrade
  Call RefuseFilesInUse
FunctionEnd

Section "Vestrano"
  ; An earlier installation is taken away by its own DLLs' unregistration, so that whatever keys
  ; that version wrote go with it; the user's settings are never touched here.
  ${If} ${FileExists} "$INSTDIR\x86\Vestrano.dll"
    DetailPrint "Unregistering the installed version"
    Call Unregister
  ${EndIf}
  SetOverwrite on
  SetOutPath "$INSTDIR\x86"
  File "${SOURCE32}\Vestrano.dll"
  File "${SOURCE32}\Zandrelix.ocx"
  ${If} ${RunningX64}
    SetOutPath "$INSTDIR\x64"
    File "${SOURCE64}\Vestrano.dll"
    File "${SOURCE64}\Zandrelix.ocx"
  ${EndIf}
  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\Uninstall.exe"

  Call Register
  ${If} $Failures != 0
    ; Half a registration would leave Excel with an add-in it cannot load: take it all back.
    MessageBox MB_ICONSTOP "Vestrano could not be registered for Excel, and was not installed." /SD IDOK
    Call Unregister
    Call RemoveFiles
    Call DeleteUninstallEntry
    SetErrorLevel ${EXIT_FAILED}
    Abort
  ${EndIf}
  Call WriteUninstallEntry
SectionEnd

Function un.onInit
  Call un.ChooseLayoutOfThisCopy
  Call un.RequireAdministratorWhenMachineWide
  ${GetParameters} $R0
  ClearErrors
  ${GetOptions} $R0 "/REMOVESETTINGS" $R1
  ${IfNot} ${Errors}
    StrCpy $RemoveSettings 1
  ${ElseIfNot} ${Silent}
    MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON2 \
      "Also remove your Vestrano settings (tab bar shown or hidden, its position and style)?" \
      IDNO +2
    StrCpy $RemoveSettings 1
  ${EndIf}
FunctionEnd

Section "Uninstall"
  Call un.RemoveInstallation
  SetErrorLevel $ExitCode
  ${If} $ExitCode != ${EXIT_OK}
    Abort
  ${EndIf}
SectionEnd
