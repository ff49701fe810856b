; Vestrano's entry in the list of installed programs (Programs and Features, Add or Remove
; Programs on Windows XP): per user under HKCU, machine-wide under HKLM (SHCTX follows the mode).

!macro DEFINE_UNINSTALL_ENTRY un
  Function ${un}DeleteUninstallEntry
    DeleteRegKey SHCTX "${UNINSTALL_KEY}"
  FunctionEnd
!macroend
!insertmacro DEFINE_UNINSTALL_ENTRY ""
!insertmacro DEFINE_UNINSTALL_ENTRY "un."

; Adds the size of a file, when it is there, to $0.
!macro ADD_FILE_SIZE file
  ClearErrors
  FileOpen $1 "${file}" r
  ${IfNot} ${Errors}
    FileSeek $1 0 END $2
    FileClose $1
    IntOp $0 $0 + $2
  ${EndIf}
!macroend

Function WriteUninstallEntry
  ; The size of what the setup put there, in KB as Windows shows it.
  StrCpy $0 0
  !insertmacro ADD_FILE_SIZE "$INSTDIR\Uninstall.exe"
  !insertmacro ADD_FILE_SIZE "$INSTDIR\x86\Vestrano.dll"
  !insertmacro ADD_FILE_SIZE "$INSTDIR\x86\Zandrelix.ocx"
  !insertmacro ADD_FILE_SIZE "$INSTDIR\x64\Vestrano.dll"
  !insertmacro ADD_FILE_SIZE "$INSTDIR\x64\Zandrelix.ocx"
  IntOp $0 $0 / 1024
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayName" "Vestrano"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "VersionMajor" ${VERSION_1}
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "VersionMinor" ${VERSION_2}
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\x86\Vestrano.dll,0"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "EstimatedSize" $0
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoRepair" 1
  ${If} $MadeProgramsFolder == 1
    WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "MadeProgramsFolder" 1
  ${EndIf}
FunctionEnd
