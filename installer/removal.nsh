; Taking Vestrano away: the registration (by the DLLs' own unregistration per user, by the keys
; the setup wrote machine-wide), every file and folder the setup made, the uninstall entry and, when
; asked, the user's own settings. Shared by the uninstaller and the setup program's /UNINSTALL.

; The add-in's settings, the user's own: kept unless asked for (machine-wide, that is the settings
; of the user who runs the uninstall; other users' settings stay in their own profiles).
!define SETTINGS_KEY "SOFTWARE\Microsoft\Shared Tools\Vestrano"

!macro DEFINE_REMOVAL un
  Function ${un}RemoveFiles
    ; A folder that is the current one cannot be removed.
    SetOutPath "$TEMP"
    Delete "$INSTDIR\x86\Vestrano.dll"
    Delete "$INSTDIR\x86\Zandrelix.ocx"
    Delete "$INSTDIR\x64\Vestrano.dll"
    Delete "$INSTDIR\x64\Zandrelix.ocx"
    Delete "$INSTDIR\Uninstall.exe"
    RMDir "$INSTDIR\x86"
    RMDir "$INSTDIR\x64"
    RMDir "$INSTDIR"
    ; The per-user "Programs" folder goes too when the setup made it and nothing else is in it.
    ${If} $MadeProgramsFolder == 1
      RMDir "$LOCALAPPDATA\Programs"
    ${EndIf}
  FunctionEnd

  ; Sets $ExitCode.
  Function ${un}RemoveInstallation
    Call ${un}FilesInUse
    Pop $0
    ${If} $0 != ""
      MessageBox MB_ICONSTOP "Excel is using Vestrano ($0). Close Excel and uninstall again." /SD IDOK
      StrCpy $ExitCode ${EXIT_IN_USE}
      Return
    ${EndIf}
    Call ${un}Unregister
    Call ${un}RemoveFiles
    Call ${un}DeleteUninstallEntry
    ${If} $RemoveSettings == 1
      DeleteRegKey HKCU "${SETTINGS_KEY}"
    ${EndIf}
    StrCpy $ExitCode ${EXIT_OK}
    ${If} $Failures != 0
    ${OrIf} ${FileExists} "$INSTDIR\*.*"
      MessageBox MB_ICONEXCLAMATION \
"Vestrano was not removed completely: run the uninstall again, as administrator if it was \
installed by one." \
        /SD IDOK
      StrCpy $ExitCode ${EXIT_FAILED}
    ${EndIf}
  FunctionEnd
!macroend
!insertmacro DEFINE_REMOVAL ""
!insertmacro DEFINE_REMOVAL "un."
