// A later copy's registration, made by hand the way regsvr32 on another copy of the DLL would
// leave it: the class's InprocServer32 names the other file. Wine keeps one view of the per-user
// classes for both bitnesses, so the other bitness's class cannot be planted here apart from ours;
// the decision it rests on (a class is still registered, so the shared keys stay) is the same.
#include "tests/wine/kept_registration_checks.h"

#include "addin/win32/vestrano_ids.h"
#include "host/win32/com_ptr.h"
#include "tests/wine/registry_checks.h"
#include "tests/wine/typelib_checks.h"

namespace wine_test {

void CheckUnregistrationKeepsLaterCopy(Checks& checks, const std::wstring& dll_path) {
  const std::wstring other_copy = L"C:\\Vestrano elsewhere\\Vestrano.dll";
  const auto registered = RunRegsvr32(dll_path, false);
  if (!checks.Check(registered == 0u, "regsvr32 registers the DLL again")) return;
  const bool machine_copy = KeyExists(HKEY_LOCAL_MACHINE, kClassKey, OwnView());
  checks.Check(WriteString(HKEY_CURRENT_USER, kServerKey, nullptr, other_copy, OwnView()),
               "pointed the class at another copy, as that copy's registration would");

  const auto unregistered = RunRegsvr32(dll_path, true);
  checks.Check(unregistered == 0u, "regsvr32 /u succeeds when another copy owns the class",
               unregistered ? Format("exit code %lu", *unregistered) : "regsvr32 did not start");
  const auto server = ReadString(HKEY_CURRENT_USER, kServerKey, nullptr, OwnView());
  checks.Check(server == other_copy &&
                   ReadString(HKEY_CURRENT_USER, kClassKey + L"\\ProgID", nullptr, OwnView()) ==
                       std::wstring(L"ExcelOrlendix.Vestranov3"),
               "unregistration kept the class that names another copy",
               server ? Narrow(*server) : "missing");
  checks.Check(ReadString(HKEY_CURRENT_USER, kProgIdKey + L"\\CLSID", nullptr) ==
                   std::wstring(vestrano::win32::kClsidText),
               "unregistration kept the ProgID key that the other copy needs");
  checks.Check(
      ReadString(HKEY_CURRENT_USER, kAddinKey, L"FriendlyName") == std::wstring(L"Vestrano v3.0"),
      "unregistration kept Excel's add-in record that the other copy needs");
  CheckTypeLibUnregistered(checks);
  if (machine_copy) {
    checks.Check(!KeyExists(HKEY_LOCAL_MACHINE, kClassKey, OwnView()) &&
                     !KeyExists(HKEY_LOCAL_MACHINE, kProgIdKey),
                 "unregistration removed its own machine-wide copy all the same");
  }

  // Back to this DLL, whose unregistration then removes everything.
  WriteString(HKEY_CURRENT_USER, kServerKey, nullptr, dll_path, OwnView());
  const auto cleaned = RunRegsvr32(dll_path, true);
  checks.Check(cleaned == 0u, "regsvr32 /u unregisters the DLL once the class is its own again");
  CheckUnregistered(checks);
}

}  // namespace wine_test
