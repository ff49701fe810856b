// The other add-in's subclass counts the probe messages it sees and notices a loop: a message
// that comes back into it through the chain more often than any real nesting would.
#include "tests/wine/subclass_chain_checks.h"

#include <string>

#include "addin/win32/vestrano_ids.h"
#include "tests/wine/dll_probes.h"
#include "tests/wine/office_api.h"

namespace wine_test {
namespace {

constexpr UINT kProbe = WM_APP + 0x2A;
constexpr int kStripHeight = 24;
constexpr int kLoopDepth = 32;

struct OtherSubclass {
  WNDPROC previous = nullptr;
  int probes = 0;
  int depth = 0;
  bool looped = false;
  bool destroyed = false;
  std::string properties_at_destroy;
};
OtherSubclass g_other;

LRESULT CALLBACK OtherSubclassProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == kProbe) ++g_other.probes;
  if (g_other.depth >= kLoopDepth) {
    g_other.looped = true;
    return 0;
  }
  ++g_other.depth;
  const LRESULT result = CallWindowProcW(g_other.previous, hwnd, message, wparam, lparam);
  --g_other.depth;
  // Everyone behind this subclass has had WM_NCDESTROY now.
  if (message == WM_NCDESTROY) {
    g_other.destroyed = true;
    g_other.properties_at_destroy = PropertiesOfOurs(hwnd);
  }
  return result;
}

void InstallOther(HWND desk) {
  g_other = OtherSubclass{};
  g_other.previous = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(desk, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(OtherSubclassProc)));
}

// As such a utility unsubclasses: it puts back whatever it replaced.
void RemoveOther(HWND desk) {
  SetWindowLongPtrW(desk, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_other.previous));
}

ComPtr<IDTExtensibility2> ConnectFresh(FakeApplication* excel) {
  ComPtr<IDTExtensibility2> addin;
  CoCreateInstance(vestrano::win32::kClsidVestranov3, nullptr, CLSCTX_INPROC_SERVER,
                   __uuidof(IDTExtensibility2), addin.PutVoid());
  SAFEARRAY* custom = nullptr;
  if (addin) addin->OnConnection(excel, kConnectAfterStartup, nullptr, &custom);
  PumpMessages(100);
  return addin;
}

void DisconnectAndRelease(ComPtr<IDTExtensibility2>& addin) {
  SAFEARRAY* custom = nullptr;
  if (addin) addin->OnDisconnection(kDisconnectUserClosed, &custom);
  addin.Reset();
  PumpMessages(100);
}

WNDPROC DeskProc(const ExcelWindows& windows) {
  return windows.CurrentDeskProc();
}

// Frame, paint and a message through whatever chain XLDESK has now.
void CheckAreaWorks(Checks& checks, const char* when, ExcelWindows& windows, bool other_in_front,
                    int strip_rows) {
  const HWND desk = windows.Desk();
  SetWindowPos(desk, nullptr, 0, 0, 0, 0,
               SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  const RECT window = windows.DeskWindowRect();
  const RECT client = windows.DeskClientRect();
  const int rows = (window.bottom - window.top) - (client.bottom - client.top);
  checks.Check(
      rows == strip_rows,
      Format("%s: XLDESK's client area is %d rows shorter than its window", when, strip_rows),
      Format("%d rows", rows));

  const int paints = ExcelWindows::DeskProcCalls(WM_PAINT);
  RedrawWindow(desk, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  checks.Check(ExcelWindows::DeskProcCalls(WM_PAINT) > paints,
               Format("%s: Excel's workbook area paints", when));

  const int excel_before = ExcelWindows::DeskProcCalls(kProbe);
  const int other_before = g_other.probes;
  g_other.looped = false;
  SendMessageW(desk, kProbe, 0, 0);
  const int excel_got = ExcelWindows::DeskProcCalls(kProbe) - excel_before;
  checks.Check(excel_got == 1 && !g_other.looped,
               Format("%s: a message reaches Excel's procedure exactly once", when),
               Format("%d times%s", excel_got, g_other.looped ? ", looping" : ""));
  if (other_in_front) {
    checks.Check(g_other.probes - other_before == 1,
                 Format("%s: the other add-in's subclass sees the message", when),
                 Format("%d times", g_other.probes - other_before));
  }
}

}  // namespace

void CheckForeignSubclass(Checks& checks, ExcelWindows& windows, FakeApplication* excel) {
  const HWND desk = windows.Desk();
  const WNDPROC excel_proc = windows.OriginalDeskProc();
  auto first = ConnectFresh(excel);
  const DllImage dll = DllImage::Loaded();
  if (!checks.Check(first && dll.Contains(reinterpret_cast<const void*>(DeskProc(windows))),
                    "chain: a fresh add-in subclasses XLDESK")) {
    DisconnectAndRelease(first);
    return;
  }
  InstallOther(desk);
  CheckAreaWorks(checks, "chain, both subclasses in use", windows, true, kStripHeight);

  DisconnectAndRelease(first);
  checks.Check(DeskProc(windows) == OtherSubclassProc,
               "chain: disconnecting leaves the other add-in's subclass in front");
  CheckAreaWorks(checks, "chain, ours passing on behind the other", windows, true, 0);

  auto second = ConnectFresh(excel);
  checks.Check(DeskProc(windows) == OtherSubclassProc,
               "chain: reconnecting behind the other subclass leaves it in front");
  CheckAreaWorks(checks, "chain, reconnected behind the other", windows, true, kStripHeight);
  DisconnectAndRelease(second);
  CheckAreaWorks(checks, "chain, disconnected again behind the other", windows, true, 0);

  RemoveOther(desk);
  const WNDPROC left = DeskProc(windows);
  checks.Check(left == excel_proc || dll.Contains(reinterpret_cast<const void*>(left)),
               "chain: once the other add-in leaves, XLDESK has Excel's procedure or our "
               "pass-through");
  CheckAreaWorks(checks, "chain, the other add-in gone", windows, false, 0);

  auto third = ConnectFresh(excel);
  checks.Check(
      DeskProc(windows) == left,
      "chain: reconnecting takes up the pass-through's place, XLDESK's procedure unchanged");
  CheckAreaWorks(checks, "chain, reconnected in the pass-through's place", windows, false,
                 kStripHeight);
  // Released while still connected: the object disconnects as it goes.
  third.Reset();
  PumpMessages(100);
  checks.Check(DeskProc(windows) == excel_proc,
               "chain: an add-in released while connected gives XLDESK Excel's procedure back");
  CheckAreaWorks(checks, "chain, released while connected", windows, false, 0);
}

void CheckPassThroughDestroyed(Checks& checks) {
  ExcelWindows windows;
  auto excel = ComPtr<FakeApplication>::Adopt(new FakeApplication(windows.Main()));
  auto addin = ConnectFresh(excel.Get());
  InstallOther(windows.Desk());
  DisconnectAndRelease(addin);
  DestroyWindow(windows.Desk());
  checks.Check(g_other.destroyed && g_other.properties_at_destroy.empty(),
               "a workbook area destroyed with our pass-through in its chain keeps none of our "
               "window properties",
               g_other.destroyed ? "left:" + g_other.properties_at_destroy : "no WM_NCDESTROY");
}

}  // namespace wine_test
