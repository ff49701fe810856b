; Registering the installed files with Excel, in the registry view of each bitness.
;
; Per user, the files register themselves: the system's regsvr32 of each bitness (the 32-bit one
; from this 32-bit setup's system folder, the 64-bit one with the file system redirection off)
; runs DllRegisterServer, which writes the classes, the ProgIDs, the type library and Excel's
; add-in record for the current user; uninstalling runs DllUnregisterServer, which removes exactly
; what it wrote.
;
; Machine-wide, the DLLs' own registration cannot serve: it writes Excel's add-in record and the
; tab strip's class for the current user only (for the administrator who runs the setup, not for
; every user). So the setup writes the same keys itself under HKLM, in each view, where every
; user's Excel and an elevated one look. scripts/test-installer.sh checks that they are exactly the
; keys that regsvr32 writes per user.

!define ADDIN_CLSID "{E97D5E8A-D225-4BF9-9877-C78A39ED3FD2}"
!define ADDIN_PROGID "ExcelOrlendix.Vestranov3"
!define TAB_STRIP_CLSID "{4B516A82-9537-463A-ABEE-31811B641E99}"
!define TAB_STRIP_PROGID "Zandrelix.TabStrip"
!define ADDINS_KEY "Software\Microsoft\Office\Excel\Addins"

!macro UNREGISTER_FILE un folder file
  ${If} ${FileExists} "$INSTDIR\${folder}\${file}"
    StrCpy $R8 ${folder}
    StrCpy $R9 ${file}
    Call ${un}Regsvr32
  ${EndIf}
!macroend

!macro DEFINE_UNREGISTRATION un
  ; regsvr32 $R7 (empty or /u) on $INSTDIR\$R8\$R9, silently; a failure counts in $Failures.
  Function ${un}Regsvr32
    ${If} $R8 == x64
      ${DisableX64FSRedirection}
    ${EndIf}
    ClearErrors
    ExecWait '"$SYSDIR\regsvr32.exe" /s $R7 "$INSTDIR\$R8\$R9"' $0
    ${If} $R8 == x64
      ${EnableX64FSRedirection}
    ${EndIf}
    ${If} ${Errors}
    ${OrIf} $0 != 0
      DetailPrint "regsvr32 $R7 $INSTDIR\$R8\$R9 failed ($0)"
      IntOp $Failures $Failures + 1
    ${EndIf}
  FunctionEnd

  ; Removes one view's class keys where they name this installation's files, as the DLLs'
  ; unregistration does: a class that another copy took over since stays, and then $6 (the tab
  ; strip's) or $7 (the add-in's) is cleared.
  Function ${un}DeleteMachineClasses
    ReadRegStr $1 HKLM "Software\Classes\CLSID\${TAB_STRIP_CLSID}\InprocServer32" ""
    ${If} $1 == "$INSTDIR\$0\Zandrelix.ocx"
      DeleteRegKey HKLM "Software\Classes\CLSID\${TAB_STRIP_CLSID}"
    ${ElseIf} $1 != ""
      StrCpy $6 0
    ${EndIf}
    ReadRegStr $1 HKLM "Software\Classes\CLSID\${ADDIN_CLSID}\InprocServer32" ""
    ${If} $1 == "$INSTDIR\$0\Vestrano.dll"
      DeleteRegKey HKLM "Software\Classes\CLSID\${ADDIN_CLSID}"
    ${ElseIf} $1 != ""
      StrCpy $7 0
    ${EndIf}
  FunctionEnd

  ; One view's ProgIDs and add-in record, once no view has the class any more ($6, $7).
  Function ${un}DeleteMachineSharedKeys
    ${If} $6 == 1
      DeleteRegKey HKLM "Software\Classes\${TAB_STRIP_PROGID}"
    ${EndIf}
    ${If} $7 == 1
      DeleteRegKey HKLM "Software\Classes\${ADDIN_PROGID}"
      DeleteRegKey HKLM "${ADDINS_KEY}\${ADDIN_PROGID}"
    ${EndIf}
  FunctionEnd

  ; Sets $Failures to the steps that failed; a file that is not there has nothing registered.
  Function ${un}Unregister
    StrCpy $Failures 0
    ${If} $MachineWide == 1
      StrCpy $6 1
      StrCpy $7 1
      SetRegView 32
      StrCpy $0 x86
      Call ${un}DeleteMachineClasses
      ${If} ${RunningX64}
        SetRegView 64
        StrCpy $0 x64
        Call ${un}DeleteMachineClasses
        Call ${un}DeleteMachineSharedKeys
        SetRegView 32
      ${EndIf}
      Call ${un}DeleteMachineSharedKeys
      SetRegView default
      Return
    ${EndIf}
    ; The add-in before its module, the reverse of the registration.
    StrCpy $R7 /u
    !insertmacro UNREGISTER_FILE "${un}" x86 Vestrano.dll
    !insertmacro UNREGISTER_FILE "${un}" x86 Zandrelix.ocx
    ${If} ${RunningX64}
      !insertmacro UNREGISTER_FILE "${un}" x64 Vestrano.dll
      !insertmacro UNREGISTER_FILE "${un}" x64 Zandrelix.ocx
    ${EndIf}
  FunctionEnd
!macroend

!insertmacro DEFINE_UNREGISTRATION ""
!insertmacro DEFINE_UNREGISTRATION "un."

; The machine-wide keys of one view; $0 is the folder of its bitness, x86 or x64.
Function WriteMachineKeys
  ClearErrors
  WriteRegStr HKLM "Software\Classes\CLSID\${TAB_STRIP_CLSID}" "" "Vestrano tab strip"
  WriteRegStr HKLM "Software\Classes\CLSID\${TAB_STRIP_CLSID}\InprocServer32" "" "$INSTDIR\$0\Zandrelix.ocx"
  WriteRegStr HKLM "Software\Classes\CLSID\${TAB_STRIP_CLSID}\InprocServer32" "ThreadingModel" "Apartment"
  WriteRegStr HKLM "Software\Classes\CLSID\${TAB_STRIP_CLSID}\ProgID" "" "${TAB_STRIP_PROGID}"
  WriteRegStr HKLM "Software\Classes\${TAB_STRIP_PROGID}\CLSID" "" "${TAB_STRIP_CLSID}"
  WriteRegStr HKLM "Software\Classes\CLSID\${ADDIN_CLSID}" "" "Vestranov3"
  WriteRegStr HKLM "Software\Classes\CLSID\${ADDIN_CLSID}\InprocServer32" "" "$INSTDIR\$0\Vestrano.dll"
  WriteRegStr HKLM "Software\Classes\CLSID\${ADDIN_CLSID}\InprocServer32" "ThreadingModel" "Apartment"
  WriteRegStr HKLM "Software\Classes\CLSID\${ADDIN_CLSID}\ProgID" "" "${ADDIN_PROGID}"
  WriteRegStr HKLM "Software\Classes\${ADDIN_PROGID}\CLSID" "" "${ADDIN_CLSID}"
  ; Excel's add-in record last, so that Excel never meets an add-in whose class is missing.
  WriteRegStr HKLM "${ADDINS_KEY}\${ADDIN_PROGID}" "FriendlyName" "Vestrano v3.0"
  WriteRegStr HKLM "${ADDINS_KEY}\${ADDIN_PROGID}" "Description" "the ComAdding of Orlendixs for Microsoft Excel "
  WriteRegDWORD HKLM "${ADDINS_KEY}\${ADDIN_PROGID}" "LoadBehavior" 3
  WriteRegDWORD HKLM "${ADDINS_KEY}\${ADDIN_PROGID}" "CommandLineSafe" 0
  ${If} ${Errors}
    DetailPrint "could not write the machine-wide keys for $0"
    IntOp $Failures $Failures + 1
  ${EndIf}
FunctionEnd

Function Register
  StrCpy $Failures 0
  ${If} $MachineWide == 1
    SetRegView 32
    StrCpy $0 x86
    Call WriteMachineKeys
    ${If} ${RunningX64}
      SetRegView 64
      StrCpy $0 x64
      Call WriteMachineKeys
    ${EndIf}
    SetRegView default
    Return
  ${EndIf}
  ; The module before the add-in: the add-in's registration writes Excel's record last.
  StrCpy $R7 ""
  StrCpy $R8 x86
  StrCpy $R9 Zandrelix.ocx
  Call Regsvr32
  StrCpy $R9 Vestrano.dll
  Call Regsvr32
  ${If} ${RunningX64}
    StrCpy $R8 x64
    StrCpy $R9 Zandrelix.ocx
    Call Regsvr32
    StrCpy $R9 Vestrano.dll
    Call Regsvr32
  ${EndIf}
FunctionEnd


