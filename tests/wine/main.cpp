// vestrano_wine_test: takes Vestrano.dll through its life in a process of its own, as Excel
// would, and checks each step: registration with regsvr32, creation from its ProgID, its COM
// interfaces, connection to a small Excel of the test's own and disconnection, unloading, and
// unregistration; and our tab strip module that it carries. With --right-edge, only where the tab
// strip ends against the bar (run once per screen resolution); with --screenshots, the scenes of
// scripts/screenshots.sh. Usage: vestrano_wine_test.exe <path of Vestrano.dll> [--right-edge|
// --screenshots]
#include <cstdio>
#include <string_view>

#include "addin/win32/vestrano_ids.h"
#include "tests/wine/checks.h"
#include "tests/wine/com_checks.h"
#include "tests/wine/connection_checks.h"
#include "tests/wine/excel_windows.h"
#include "tests/wine/fake_excel.h"
#include "tests/wine/gdi_checks.h"
#include "tests/wine/kept_registration_checks.h"
#include "tests/wine/menu_checks.h"
#include "tests/wine/registry_checks.h"
#include "tests/wine/ribbon_dialog_checks.h"
#include "tests/wine/screenshots.h"
#include "tests/wine/startup_install_checks.h"
#include "tests/wine/subclass_chain_checks.h"
#include "tests/wine/tab_strip_checks.h"
#include "tests/wine/teardown_checks.h"
#include "tests/wine/typelib_checks.h"

namespace wine_test {
namespace {

using DllCanUnloadNowProc = HRESULT(STDAPICALLTYPE*)();

HRESULT CanUnloadNow() {
  const HMODULE dll = GetModuleHandleW(L"Vestrano.dll");
  auto proc = dll ? reinterpret_cast<DllCanUnloadNowProc>(
                        reinterpret_cast<void*>(GetProcAddress(dll, "DllCanUnloadNow")))
                  : nullptr;
  return proc ? proc() : E_FAIL;
}

// IClassFactory::LockServer keeps the DLL loaded with no object alive, until it is undone.
void CheckServerLock(Checks& checks, const CLSID& clsid) {
  ComPtr<IClassFactory> factory;
  if (FAILED(CoGetClassObject(clsid, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory,
                              factory.PutVoid()))) {
    checks.Check(false, "CoGetClassObject gives the class factory");
    return;
  }
  factory->LockServer(TRUE);
  auto unlocker = factory;
  factory.Reset();
  const HRESULT locked = CanUnloadNow();
  unlocker->LockServer(FALSE);
  unlocker.Reset();
  checks.Check(locked == S_FALSE, "a LockServer lock keeps the DLL in use without any object");
}

// Creation, interfaces, connections, and what remains once the add-in is released.
void CheckAddinObject(Checks& checks, const std::wstring& module_path) {
  CLSID clsid{};
  checks.Check(SUCCEEDED(CLSIDFromProgID(L"ExcelOrlendix.Vestranov3", &clsid)) &&
                   clsid == vestrano::win32::kClsidVestranov3,
               "the ProgID ExcelOrlendix.Vestranov3 names the class");
  ComPtr<IDTExtensibility2> addin;
  const HRESULT created = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER,
                                           __uuidof(IDTExtensibility2), addin.PutVoid());
  if (!checks.Check(SUCCEEDED(created) && addin,
                    "CoCreateInstance makes the add-in and answers IDTExtensibility2",
                    Format("hr 0x%08lx", static_cast<unsigned long>(created)))) {
    return;
  }
  CheckAddinInterfaces(checks, addin.Get());
  {
    ExcelWindows windows;
    if (!checks.Check(windows.Main() && windows.Desk(),
                      "the test's XLMAIN window and its XLDESK child exist")) {
      return;
    }
    auto excel = ComPtr<FakeApplication>::Adopt(new FakeApplication(windows.Main()));
    CheckConnectionCycle(checks, addin.Get(), windows, excel.Get());
    CheckConnectionByInvoke(checks, addin.Get(), windows, excel.Get());
    CheckRefusedEvents(checks, addin.Get(), windows, excel.Get());
    CheckWorkbookMenus(checks, addin.Get(), excel.Get());
    CheckRibbon(checks, addin.Get(), windows, excel.Get());
    CheckDialogs(checks, addin.Get(), windows, excel.Get());
    CheckStripPaintGivesBackGdi(checks, addin.Get(), windows, excel.Get());
    CheckTabsOnTheBar(checks, addin.Get(), windows, module_path);
    CheckExternalConnection(checks, addin.Get(), windows, excel.Get());
    DisconnectWithWatchPending(checks, addin.Get(), excel.Get());
    checks.Check(CanUnloadNow() == S_FALSE, "DllCanUnloadNow says S_FALSE while the add-in lives");
    addin.Reset();
    // Before COM is asked anything: the teardown must not wait for DllCanUnloadNow.
    CheckNothingLeft(checks, "after release", windows);
    CheckServerLock(checks, clsid);
    checks.Check(CanUnloadNow() == S_OK, "DllCanUnloadNow says S_OK once everything is released");
    CoFreeUnusedLibrariesEx(0, 0);
    checks.Info(GetModuleHandleW(L"Vestrano.dll") ? "COM kept Vestrano.dll loaded"
                                                  : "COM unloaded Vestrano.dll");
    // A timer, hook or window procedure left behind in the unloaded DLL would now crash the
    // process: focus changes and a stretch of the message loop exercise all three.
    SetFocus(windows.Main());
    SetFocus(windows.Desk());
    SetWindowPos(windows.Desk(), nullptr, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_FRAMECHANGED);
    PumpMessages(300);
    checks.Check(true, "focus changes and messages after release run without the add-in");

    CheckForeignSubclass(checks, windows, excel.Get());
    CheckNothingLeft(checks, "after the chain", windows);
    CheckPassThroughDestroyed(checks);
  }
}

int Run(const std::wstring& dll_argument) {
  Checks checks;
  wchar_t full_path[MAX_PATH];
  GetFullPathNameW(dll_argument.c_str(), MAX_PATH, full_path, nullptr);
  const std::wstring dll_path = full_path;
  checks.Info(Format("%d-bit test of %s%s", static_cast<int>(sizeof(void*) * 8),
                     Narrow(dll_path).c_str(), RunningUnderWine() ? " under Wine" : ""));

  RemoveOtherAddin();
  PlantOtherAddin();
  const auto registered = RunRegsvr32(dll_path, false);
  checks.Check(registered == 0u, "regsvr32 registers the DLL",
               registered ? Format("exit code %lu", *registered) : "regsvr32 did not start");
  CheckRegistered(checks, dll_path);
  CheckTypeLibRegistered(checks, dll_path);
  if (RunningUnderWine()) MirrorClassesToMachine(checks);

  const std::wstring module_path = ModuleBeside(dll_path);
  CheckModuleCarried(checks, dll_path);
  CheckModuleRegistration(checks, module_path);
  CheckStripOnItsOwn(checks, module_path);
  // The first creation of the add-in in this process, which runs the start-up installation.
  CheckStartupInstall(checks, dll_path);
  CheckAddinObject(checks, module_path);
  RemoveInstalledModule(checks);

  if (RunningUnderWine()) RemoveMachineMirror(checks);
  const auto unregistered = RunRegsvr32(dll_path, true);
  checks.Check(unregistered == 0u, "regsvr32 /u unregisters the DLL",
               unregistered ? Format("exit code %lu", *unregistered) : "regsvr32 did not start");
  CheckUnregistered(checks);
  CheckTypeLibUnregistered(checks);
  CheckRegistrationWithoutTypeLib(checks, dll_path);
  CheckUnregistrationKeepsLaterCopy(checks, dll_path);
  RemoveOtherAddin();
  return checks.Finish();
}

// Registers the DLL, connects it at this process's screen resolution, checks where the tab strip
// ends, and takes everything away again.
int RunRightEdge(const std::wstring& dll_argument) {
  Checks checks;
  wchar_t full_path[MAX_PATH];
  GetFullPathNameW(dll_argument.c_str(), MAX_PATH, full_path, nullptr);
  const std::wstring dll_path = full_path;
  RunRegsvr32(dll_path, false);
  if (RunningUnderWine()) MirrorClassesToMachine(checks);
  // Installed before the add-in is created, so that the start-up installation leaves it alone.
  InstallModuleFile(ModuleBeside(dll_path));
  {
    ComPtr<IDTExtensibility2> addin;
    CoCreateInstance(vestrano::win32::kClsidVestranov3, nullptr, CLSCTX_INPROC_SERVER,
                     __uuidof(IDTExtensibility2), addin.PutVoid());
    ExcelWindows windows;
    if (checks.Check(addin && windows.Main(), "the add-in and the test's Excel windows exist")) {
      CheckRightEdge(checks, addin.Get(), windows, ModuleBeside(dll_path));
      auto excel = ComPtr<FakeApplication>::Adopt(new FakeApplication(windows.Main()));
      CheckDialogFits(checks, addin.Get(), windows, excel.Get());
    }
  }
  CoFreeUnusedLibrariesEx(0, 0);
  RemoveInstalledModule(checks);
  if (RunningUnderWine()) RemoveMachineMirror(checks);
  RunRegsvr32(dll_path, true);
  return checks.Finish();
}

}  // namespace
}  // namespace wine_test

int wmain(int argc, wchar_t** argv) {
  const std::wstring_view mode = argc == 3 ? argv[2] : L"";
  if (argc < 2 || argc > 3 || (argc == 3 && mode != L"--right-edge" && mode != L"--screenshots")) {
    std::fprintf(stderr,
                 "usage: vestrano_wine_test.exe <path of Vestrano.dll> "
                 "[--right-edge|--screenshots]\n");
    return 2;
  }
  if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {
    std::fprintf(stderr, "vestrano_wine_test: COM would not start\n");
    return 2;
  }
  const int result = mode == L"--right-edge"    ? wine_test::RunRightEdge(argv[1])
                     : mode == L"--screenshots" ? wine_test::RunScreenshots(argv[1])
                                                : wine_test::Run(argv[1]);
  CoUninitialize();
  return result;
}
