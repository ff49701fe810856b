// The leftover checks. Hooks cannot be enumerated, so the last check guards the DLL's code pages
// and then does what would run a hook, timer or window procedure of the add-in: focus changes,
// activations, window creation, frame changes, painting and a stretch of the message loop.
#include "tests/wine/teardown_checks.h"

#include "tests/wine/dll_probes.h"
#include "tests/wine/fake_dispatch.h"

namespace wine_test {
namespace {

constexpr DISPID kEventWindowDeactivate = 0x615;
constexpr UINT kFrameChange =
    SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED;

void ExerciseExcel(const ExcelWindows& windows) {
  SetFocus(windows.Main());
  SetFocus(windows.Desk());
  const HWND popup = CreateWindowExW(0, L"STATIC", L"probe", WS_POPUP | WS_VISIBLE, 20, 20, 60, 40,
                                     nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  SetActiveWindow(popup);
  SetFocus(popup);
  SetActiveWindow(windows.Main());
  SetFocus(windows.Desk());
  DestroyWindow(popup);
  SetWindowPos(windows.Desk(), nullptr, 0, 0, 0, 0, kFrameChange);
  RedrawWindow(windows.Desk(), nullptr, nullptr,
               RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  RECT desk{};
  GetWindowRect(windows.Desk(), &desk);
  MapWindowPoints(nullptr, windows.Main(), reinterpret_cast<POINT*>(&desk), 2);
  MoveWindow(windows.Desk(), desk.left, desk.top, desk.right - desk.left,
             desk.bottom - desk.top - 10, TRUE);
  MoveWindow(windows.Desk(), desk.left, desk.top, desk.right - desk.left, desk.bottom - desk.top,
             TRUE);
  SendMessageW(windows.Desk(), WM_APP + 1, 0, 0);
  PumpMessages(150);
}

}  // namespace

void DisconnectWithWatchPending(Checks& checks, IDTExtensibility2* addin, FakeApplication* excel) {
  SAFEARRAY* custom = nullptr;
  addin->OnConnection(excel, kConnectAfterStartup, nullptr, &custom);
  PumpMessages(100);
  excel->Fire(kEventWindowDeactivate, {ObjectArg(excel->Workbook()), ObjectArg(nullptr)});
  // Past the watch's 50 ms, without running the message loop that would deliver it.
  Sleep(80);
  MSG pending{};
  const DllImage dll = DllImage::Loaded();
  const bool watching =
      PeekMessageW(&pending, nullptr, WM_TIMER, WM_TIMER, PM_NOREMOVE) && IsTimerOf(dll, pending);
  checks.Check(watching, "a window deactivation leaves the add-in a watch timer pending");
  checks.Check(addin->OnDisconnection(kDisconnectUserClosed, &custom) == S_OK,
               "disconnecting with the watch pending answers S_OK");
}

void CheckNothingLeft(Checks& checks, const char* when, const ExcelWindows& windows) {
  const DllImage dll = DllImage::Loaded();
  if (!checks.Check(static_cast<bool>(dll), Format("%s: Vestrano.dll is still loaded", when))) {
    return;
  }
  WNDCLASSEXW form_class{};
  form_class.cbSize = sizeof(form_class);
  checks.Check(!GetClassInfoExW(dll.Module(), L"ThunderRT6FormDC", &form_class),
               Format("%s: the tab bar form's window class is unregistered", when));
  const auto desk_proc = GetWindowLongPtrW(windows.Desk(), GWLP_WNDPROC);
  checks.Check(!dll.Contains(static_cast<std::uintptr_t>(desk_proc)),
               Format("%s: XLDESK's window procedure is not in the DLL", when));
  const std::string properties = PropertiesOfOurs(windows.Desk());
  checks.Check(properties.empty(), Format("%s: XLDESK keeps no window property of ours", when),
               "left:" + properties);
  const int timer_messages = TimerMessagesInto(dll, 1000);
  checks.Check(timer_messages == 0, Format("%s: no timer of the DLL fires", when),
               Format("%d WM_TIMER into the DLL", timer_messages));

  int hits = 0;
  std::uintptr_t first_hit = 0;
  bool armed = false;
  {
    const CodeGuard guard(dll);
    armed = guard.Armed();
    if (armed) ExerciseExcel(windows);
    hits = guard.Hits();
    first_hit = guard.FirstHit();
  }
  if (!checks.Check(armed, Format("%s: the DLL's code pages can be guarded", when))) return;
  checks.Check(hits == 0,
               Format("%s: focus, activation, painting and messages run no code of the DLL", when),
               Format("%d page(s) touched, first at DLL+0x%llx", hits,
                      static_cast<unsigned long long>(
                          first_hit - reinterpret_cast<std::uintptr_t>(dll.Module()))));
}

}  // namespace wine_test
