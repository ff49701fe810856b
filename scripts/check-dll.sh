#!/usr/bin/env bash
# Checks a built Vestrano.dll, or the tab strip module Zandrelix.ocx, before it goes anywhere near
# Excel: exactly the four COM server exports, undecorated; imports from Windows system DLLs only
# (no mingw runtime DLL, which Excel would not find); for a 32-bit file, no function that Windows
# XP SP3 lacks (Excel 2003 and 2007 ran there, and one missing import keeps the whole DLL from
# loading); no process-wide DPI setting, which belongs to Excel, not to a DLL inside it, neither
# imported nor looked up by name; and the version record.
# Usage: scripts/check-dll.sh DLL OBJDUMP   (OBJDUMP: i686-w64-mingw32-objdump or the x86_64 one)
set -euo pipefail

if [[ $# -ne 2 ]]; then
  echo "usage: $0 DLL OBJDUMP" >&2
  exit 2
fi
dll=$1
objdump=$2
[[ -f $dll ]] || { echo "check-dll: $dll: no such file" >&2; exit 1; }
command -v "$objdump" >/dev/null || { echo "check-dll: $objdump: not found" >&2; exit 1; }

failures=0
fail() {
  echo "check-dll: $dll: $*" >&2
  failures=$((failures + 1))
}

headers=$("$objdump" -p "$dll")

# The name table of the export directory, one "[   0] DllCanUnloadNow" line per exported name.
exports=$(awk '/^\[Ordinal\/Name Pointer\] Table/ { in_table = 1; next }
               in_table && /^[[:space:]]*\[/ { print $NF; next }
               in_table { exit }' <<<"$headers" | sort)
expected=$(printf '%s\n' DllCanUnloadNow DllGetClassObject DllRegisterServer DllUnregisterServer)
if [[ $exports != "$expected" ]]; then
  fail "exports are not exactly the four COM server entry points; found: ${exports//$'\n'/ }"
fi

# Windows system DLLs that the add-in may import. Anything else, the mingw runtimes above all,
# would have to be shipped beside the DLL.
allowed_import() {
  case ${1,,} in
    kernel32.dll | user32.dll | gdi32.dll | advapi32.dll | ole32.dll | oleaut32.dll | oleacc.dll | \
      shell32.dll | comctl32.dll | msvcrt.dll | api-ms-win-crt-*.dll) return 0 ;;
    *) return 1 ;;
  esac
}
imports=$(awk '/^[[:space:]]*DLL Name:/ { print $3 }' <<<"$headers")
if [[ -z $imports ]]; then
  fail "no import table found"
fi
for name in $imports; do
  allowed_import "$name" || fail "imports $name, which is not a Windows system DLL"
done

# Functions that Windows XP SP3's system DLLs do not export, compiled by hand from the minimum
# Windows version that Microsoft's documentation gives for each function (Vista, Server 2003 or
# later, or XP x64 only), with no way to check them against XP's own DLLs here. It covers what a
# mingw-w64 build of code like ours can plausibly pull in, directly or through the C and C++
# runtimes; it is not every post-XP function. A name missing here passes unnoticed, so add to it
# whenever a call's documentation says Vista or later.
post_xp_kernel32=(
  GetTickCount64 QueryUnbiasedInterruptTime GetSystemTimePreciseAsFileTime
  CompareStringOrdinal CompareStringEx FindNLSString FindNLSStringEx LCMapStringEx
  GetLocaleInfoEx SetLocaleInfoEx GetUserDefaultLocaleName GetSystemDefaultLocaleName
  LocaleNameToLCID LCIDToLocaleName IsValidLocaleName ResolveLocaleName EnumSystemLocalesEx
  GetDateFormatEx GetTimeFormatEx GetNumberFormatEx GetCurrencyFormatEx GetCalendarInfoEx
  GetUserPreferredUILanguages GetThreadPreferredUILanguages SetThreadPreferredUILanguages
  GetProcessPreferredUILanguages SetProcessPreferredUILanguages GetSystemPreferredUILanguages
  GetFileMUIPath GetFileMUIInfo GetStringScripts NormalizeString IsNormalizedString
  InitializeSRWLock AcquireSRWLockExclusive AcquireSRWLockShared ReleaseSRWLockExclusive
  ReleaseSRWLockShared TryAcquireSRWLockExclusive TryAcquireSRWLockShared
  InitializeConditionVariable SleepConditionVariableCS SleepConditionVariableSRW
  WakeConditionVariable WakeAllConditionVariable
  InitOnceInitialize InitOnceExecuteOnce InitOnceBeginInitialize InitOnceComplete
  FlsAlloc FlsFree FlsGetValue FlsSetValue
  CreateEventExA CreateEventExW CreateMutexExA CreateMutexExW CreateSemaphoreExA CreateSemaphoreExW
  CreateWaitableTimerExW InitializeCriticalSectionEx
  WaitOnAddress WakeByAddressSingle WakeByAddressAll
  CreateThreadpoolWork SubmitThreadpoolWork WaitForThreadpoolWorkCallbacks CloseThreadpoolWork
  CreateThreadpoolTimer SetThreadpoolTimer CloseThreadpoolTimer CreateThreadpoolWait
  SetThreadpoolWait CloseThreadpoolWait TrySubmitThreadpoolCallback
  GetCurrentProcessorNumber GetCurrentProcessorNumberEx GetLogicalProcessorInformationEx
  GetThreadId GetProcessIdOfThread QueryFullProcessImageNameA QueryFullProcessImageNameW
  GetFinalPathNameByHandleA GetFinalPathNameByHandleW GetFileInformationByHandleEx
  SetFileInformationByHandle CreateSymbolicLinkA CreateSymbolicLinkW CancelIoEx
  CancelSynchronousIo GetQueuedCompletionStatusEx SetFileCompletionNotificationModes
  GetProductInfo GetErrorMode GetThreadErrorMode SetThreadErrorMode FlushProcessWriteBuffers
  Wow64DisableWow64FsRedirection Wow64RevertWow64FsRedirection SetThreadStackGuarantee
  AddDllDirectory RemoveDllDirectory SetDefaultDllDirectories CreateRemoteThreadEx
  GetDynamicTimeZoneInformation GetTimeZoneInformationForYear RaiseFailFastException
  InterlockedCompareExchange64 CopyFile2 CreateFile2 GetNamedPipeClientProcessId
)
post_xp_user32=(
  SetProcessDPIAware IsProcessDPIAware SetProcessDpiAwarenessContext GetDpiForWindow
  GetDpiForSystem GetSystemMetricsForDpi SystemParametersInfoForDpi AdjustWindowRectExForDpi
  EnableNonClientDpiScaling SetThreadDpiAwarenessContext GetThreadDpiAwarenessContext
  GetWindowDpiAwarenessContext LogicalToPhysicalPoint PhysicalToLogicalPoint
  LogicalToPhysicalPointForPerMonitorDPI PhysicalToLogicalPointForPerMonitorDPI
  ChangeWindowMessageFilter ChangeWindowMessageFilterEx
  AddClipboardFormatListener RemoveClipboardFormatListener GetUpdatedClipboardFormats
  RegisterPowerSettingNotification UnregisterPowerSettingNotification
  ShutdownBlockReasonCreate ShutdownBlockReasonDestroy ShutdownBlockReasonQuery
  SetWindowDisplayAffinity GetWindowDisplayAffinity CalculatePopupWindowPosition
  RegisterTouchWindow UnregisterTouchWindow IsTouchWindow GetTouchInputInfo
  CloseTouchInputHandle GetGestureInfo CloseGestureInfoHandle SetGestureConfig
  EnableMouseInPointer GetPointerType GetPointerInfo UpdateLayeredWindowIndirect
  SetCoalescableTimer GetDisplayConfigBufferSizes QueryDisplayConfig DisplayConfigGetDeviceInfo
  SetDisplayConfig RegisterSuspendResumeNotification
)
post_xp_gdi32=(
  D3DKMTOpenAdapterFromHdc D3DKMTCloseAdapter D3DKMTQueryAdapterInfo D3DKMTWaitForVerticalBlankEvent
)
post_xp_advapi32=(
  RegDeleteKeyExA RegDeleteKeyExW RegGetValueA RegGetValueW RegDeleteTreeA RegDeleteTreeW
  RegCopyTreeA RegCopyTreeW RegSetKeyValueA RegSetKeyValueW RegDeleteKeyValueA RegDeleteKeyValueW
  RegLoadMUIStringA RegLoadMUIStringW RegLoadAppKeyA RegLoadAppKeyW RegOpenKeyTransactedA
  RegOpenKeyTransactedW RegCreateKeyTransactedA RegCreateKeyTransactedW RegDeleteKeyTransactedA
  RegDeleteKeyTransactedW RegDisableReflectionKey RegEnableReflectionKey RegQueryReflectionKey
  RegDisablePredefinedCacheEx
  EventRegister EventUnregister EventEnabled EventProviderEnabled EventWrite EventWriteString
  EventWriteTransfer EventActivityIdControl AddMandatoryAce
)
post_xp_ole32=(
  CoGetApartmentType CoDisconnectContext CoWaitForMultipleObjects CoCreateInstanceFromApp
  RoGetAgileReference CoDecodeProxy CoAllowUnmarshalerCLSID
)
post_xp_oleaut32=(
  RegisterTypeLibForUser UnRegisterTypeLibForUser OaEnablePerUserTLibRegistration
)
post_xp_oleacc=(
  GetProcessHandleFromHwnd AccSetRunningUtilityState AccNotifyTouchInteraction
)
# comctl32 5.8 (XP without a manifest) exports these by ordinal only or not at all.
post_xp_comctl32=(
  TaskDialog TaskDialogIndirect LoadIconMetric LoadIconWithScaleDown ImageList_CoCreateInstance
  ImageList_ReadEx ImageList_WriteEx SetWindowSubclass GetWindowSubclass RemoveWindowSubclass
  DefSubclassProc DrawShadowText
)
post_xp_shell32=(
  SHGetKnownFolderPath SHGetKnownFolderIDList SHSetKnownFolderPath SHGetKnownFolderItem
  SHGetFolderPathEx SHCreateItemFromParsingName SHCreateItemFromIDList SHCreateItemWithParent
  SHCreateItemInKnownFolder SHCreateShellItemArrayFromShellItem SHGetIDListFromObject
  SHGetNameFromIDList SHGetPropertyStoreFromParsingName SHBindToObject SHGetStockIconInfo
  SHOpenWithDialog SHCreateDefaultContextMenu SHQueryUserNotificationState SHGetLocalizedName
  SHGetDriveMedia SetCurrentProcessExplicitAppUserModelID GetCurrentProcessExplicitAppUserModelID
  Shell_NotifyIconGetRect
)
# XP's msvcrt.dll (7.0) predates the secure and the locale-taking functions of Visual C++ 2005;
# every "_s" function is refused by its suffix below, these by name.
post_xp_msvcrt=(
  _create_locale _free_locale _get_current_locale _configthreadlocale
  _strtod_l _strtol_l _strtoul_l _wcstod_l _wcstol_l _wcstoul_l _atof_l _vsnprintf_l
  _vsnwprintf_l _stricmp_l _strnicmp_l _wcsicmp_l _wcsnicmp_l _strcoll_l _wcscoll_l
  _tolower_l _toupper_l _towlower_l _towupper_l _isctype_l _iswctype_l _strftime_l
  _wcsftime_l _mbstowcs_l _wcstombs_l
  _get_errno _set_errno _set_invalid_parameter_handler _get_invalid_parameter_handler
  _fseeki64 _ftelli64
)

# "dll function" for each function imported by name; the functions come after their DLL's
# "DLL Name:" line as "<tab>vma<tab> hint  name".
imported_functions=$(awk '/^[[:space:]]*DLL Name:/ { dll = tolower($3); next }
                          /^[[:space:]]*vma:/ { next }
                          dll != "" && /^\t[0-9a-fA-F]+\t/ { print dll, $NF; next }
                          /^[^\t]/ { dll = "" }' <<<"$headers")

is_post_xp() {
  local from=$1 function=$2 name
  local -n list=post_xp_${from%.dll}
  [[ $from == msvcrt.dll && $function == *_s ]] && return 0
  for name in "${list[@]}"; do
    [[ $name == "$function" ]] && return 0
  done
  return 1
}

# The 64-bit DLL may need Vista: 64-bit Office 2010, the first 64-bit Excel, needs it anyway.
magic=$(awk '$1 == "Magic" { print $2; exit }' <<<"$headers")
case $magic in
  010b) bits=32 ;;
  020b) bits=64 ;;
  *) bits=""; fail "neither a 32-bit nor a 64-bit PE file (optional header magic \"$magic\")" ;;
esac
if [[ $bits == 32 ]]; then
  [[ -n $imported_functions ]] || fail "no imported functions found"
  while read -r from function; do
    case $from in
      api-ms-win-*) fail "imports $from, which Windows XP does not have" ;;
      kernel32.dll | user32.dll | gdi32.dll | advapi32.dll | ole32.dll | oleaut32.dll | \
        oleacc.dll | shell32.dll | comctl32.dll | msvcrt.dll)
        if is_post_xp "$from" "$function"; then
          fail "imports $function from $from, which Windows XP SP3 does not export"
        fi
        ;;
    esac
  done <<<"$imported_functions"
fi

# The target's own strings when it is there (it comes with the objdump), the host's otherwise.
strings_tool=${objdump%objdump}strings
command -v "$strings_tool" >/dev/null || strings_tool="strings"

# The process's DPI awareness is Excel's to declare: the add-in's windows follow the system DPI.
process_dpi='^(SetProcessDPIAware|SetProcessDpiAwareness|SetProcessDpiAwarenessContext)$'
while read -r from function; do
  if [[ $function =~ $process_dpi ]]; then
    fail "imports $function from $from, which changes Excel's DPI awareness"
  fi
done <<<"$imported_functions"
if "$strings_tool" -a "$dll" | grep -Eq "${process_dpi//[\^\$]/}"; then
  fail "names a process-wide DPI function, as a lookup by name would"
fi
if ! "$strings_tool" -el "$dll" | grep -qx 'Vestrano v3.01'; then
  fail "the version record with the product name \"Vestrano v3.01\" is missing"
fi

if ((failures > 0)); then
  exit 1
fi
xp_note=""
[[ $bits == 32 ]] && xp_note="; nothing that Windows XP SP3 lacks"
echo "check-dll: $dll: OK (exports: ${exports//$'\n'/ }; imports: ${imports//$'\n'/ }$xp_note)"
