// The add-in's dialogs as the user meets them.
#include "xlsim/win32/addin_dialogs.h"

#include "xlsim/win32/text.h"
#include "xlsim/win32/user_input.h"

namespace vestrano::xlsim::win32 {
namespace {

// How often the watch looks for the dialog while the add-in's call runs.
constexpr UINT kWatchMs = 20;
// How long a dialog may take to go once its close box is clicked.
constexpr DWORD kCloseWaitMs = 2000;

// The add-in's windows over Excel but its dialogs: the tab bar's form, top-level until it moves
// into Excel's window, and the tooltips of its tab strip.
bool IsAddinsBar(HWND hwnd) {
  wchar_t name[64] = L"";
  GetClassNameW(hwnd, name, 64);
  const std::wstring_view cls(name);
  return cls == L"ThunderRT6FormDC" || cls == L"tooltips_class32";
}

// Excel's own windows (its popups, prompts and dialogs) are made by xlsim's module; an add-in's
// dialog belongs to the add-in's module, whatever its class ("#32770" as Excel's prompt may be).
bool IsExcelsOwn(HWND hwnd) {
  return reinterpret_cast<HMODULE>(GetWindowLongPtrW(hwnd, GWLP_HINSTANCE)) ==
         GetModuleHandleW(nullptr);
}

struct DialogSearch {
  HWND owner;
  std::vector<HWND> found;
};

BOOL CALLBACK MatchDialog(HWND hwnd, LPARAM data) {
  auto* search = reinterpret_cast<DialogSearch*>(data);
  if (IsWindowVisible(hwnd) && GetWindow(hwnd, GW_OWNER) == search->owner && !IsExcelsOwn(hwnd) &&
      !IsAddinsBar(hwnd)) {
    search->found.push_back(hwnd);
  }
  return TRUE;
}

std::vector<HWND> AddinDialogs(HWND main) {
  DialogSearch search{main, {}};
  if (main) EnumThreadWindows(GetCurrentThreadId(), MatchDialog, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// The watch in force; the one it interrupted is kept on the stack of WhileDialogMayOpen.
struct Watch {
  HWND main;
  const std::function<void(HWND)>* act;
  UINT_PTR timer = 0;
  bool acted = false;
};
thread_local Watch* current_watch = nullptr;

void CALLBACK LookForDialog(HWND, UINT, UINT_PTR timer, DWORD) {
  Watch* watch = current_watch;
  if (!watch || watch->timer != timer || watch->acted) return;
  const HWND dialog = FindAddinDialog(watch->main);
  if (!dialog) return;
  watch->acted = true;
  KillTimer(nullptr, watch->timer);
  watch->timer = 0;
  (*watch->act)(dialog);
}

std::wstring Plain(std::wstring_view caption) {
  std::wstring plain;
  for (wchar_t c : caption) {
    if (c != L'&' && c != L' ') plain.push_back(c);
  }
  return plain;
}

struct ControlSearch {
  std::wstring caption;
  HWND found = nullptr;
};

BOOL CALLBACK MatchControl(HWND hwnd, LPARAM data) {
  auto* search = reinterpret_cast<ControlSearch*>(data);
  wchar_t text[256] = L"";
  GetWindowTextW(hwnd, text, 256);
  if (Plain(text) != search->caption) return TRUE;
  search->found = hwnd;
  return FALSE;
}

HWND FindControl(HWND dialog, std::wstring_view caption) {
  ControlSearch search{Plain(caption)};
  EnumChildWindows(dialog, MatchControl, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

POINT Middle(const RECT& rect) {
  return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

}  // namespace

std::vector<std::string> AddinDialogTitles(HWND main) {
  std::vector<std::string> titles;
  for (HWND dialog : AddinDialogs(main)) {
    wchar_t title[256] = L"";
    GetWindowTextW(dialog, title, 256);
    titles.push_back(Utf8(title));
  }
  return titles;
}

HWND FindAddinDialog(HWND main) {
  const auto dialogs = AddinDialogs(main);
  return dialogs.empty() ? nullptr : dialogs.front();
}

bool WhileDialogMayOpen(HWND main, const std::function<void()>& run,
                        const std::function<void(HWND)>& act) {
  Watch watch{main, &act};
  Watch* const interrupted = current_watch;
  current_watch = &watch;
  watch.timer = SetTimer(nullptr, 0, kWatchMs, LookForDialog);
  run();
  if (watch.timer) KillTimer(nullptr, watch.timer);
  current_watch = interrupted;
  return watch.acted;
}

std::optional<std::string> ClickControl(HWND dialog, std::wstring_view caption) {
  const HWND control = FindControl(dialog, caption);
  const std::string name = Utf8(caption);
  if (!control) return "the dialog has no " + name;
  if (!IsWindowVisible(control)) return name + " is hidden";
  if (!IsWindowEnabled(control)) return name + " is disabled";
  RECT rect{};
  GetWindowRect(control, &rect);
  if (!MouseClick(Middle(rect), MouseButton::kLeft, 1)) return "the mouse could not reach " + name;
  return std::nullopt;
}

std::optional<bool> IsControlChecked(HWND dialog, std::wstring_view caption) {
  const HWND control = FindControl(dialog, caption);
  if (!control) return std::nullopt;
  return SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

std::optional<std::string> ClickCloseBox(HWND dialog) {
  RECT frame{};
  GetWindowRect(dialog, &frame);
  // The close box is the caption's last button, a frame's width in from the top right corner.
  const int border = GetSystemMetrics(SM_CXFIXEDFRAME);
  const POINT point{
      frame.right - border - GetSystemMetrics(SM_CXSIZE) / 2,
      frame.top + GetSystemMetrics(SM_CYFIXEDFRAME) + GetSystemMetrics(SM_CYSIZE) / 2};
  const LRESULT hit =
      SendMessageW(dialog, WM_NCHITTEST, 0,
                   MAKELPARAM(static_cast<SHORT>(point.x), static_cast<SHORT>(point.y)));
  if (hit != HTCLOSE) return "the dialog has no close box where Windows draws one";
  if (!MouseClick(point, MouseButton::kLeft, 1)) return "the mouse could not reach the close box";
  // The dialog answers its close box with a posted Cancel, which only its modal loop takes; when
  // the user acts from inside that loop, the loop is ours to run until the dialog has gone.
  for (DWORD waited = 0; IsWindowVisible(dialog) && waited < kCloseWaitMs; waited += kWatchMs) {
    PumpFor(kWatchMs);
  }
  if (IsWindowVisible(dialog)) return "the dialog stayed open after its close box was clicked";
  return std::nullopt;
}

}  // namespace vestrano::xlsim::win32
