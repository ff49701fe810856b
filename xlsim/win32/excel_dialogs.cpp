// Excel's modal windows. Each is a top-level window owned by Excel's main window, which is
// disabled while it is up; its user answers after kModalMs by pressing a button, and meanwhile
// the thread's timers run, as they do under any modal loop of Excel's.
#include <memory>

#include "xlsim/win32/accessible_tree.h"
#include "xlsim/win32/excel_windows.h"
#include "xlsim/win32/text.h"

namespace vestrano::xlsim::win32 {
namespace {

constexpr wchar_t kSdmClass[] = L"bosa_sdm_XL9";
constexpr UINT_PTR kAnswerTimer = 1;
constexpr int kListId = 100;

// A dialog template in memory, in dialog units, with Excel's font.
class DialogTemplate {
 public:
  DialogTemplate(const wchar_t* title, short width, short height) {
    Add<DWORD>(DS_MODALFRAME | DS_SETFONT | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU);
    Add<DWORD>(0);
    count_at_ = words_.size();
    Add<WORD>(0);
    Add<short>(0);
    Add<short>(0);
    Add<short>(width);
    Add<short>(height);
    Add<WORD>(0);  // no menu
    Add<WORD>(0);  // the dialog class
    AddText(title);
    Add<WORD>(9);
    AddText(L"Tahoma");
  }
  void Item(WORD atom, const wchar_t* text, WORD id, DWORD style, short x, short y, short cx,
            short cy) {
    if (words_.size() % 2) words_.push_back(0);  // DWORD alignment
    Add<DWORD>(WS_CHILD | WS_VISIBLE | style);
    Add<DWORD>(0);
    Add<short>(x);
    Add<short>(y);
    Add<short>(cx);
    Add<short>(cy);
    Add<WORD>(id);
    Add<WORD>(0xFFFF);
    Add<WORD>(atom);
    AddText(text);
    Add<WORD>(0);
    ++words_[count_at_];
  }
  const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

 private:
  template <typename T>
  void Add(T value) {
    const auto* words = reinterpret_cast<const WORD*>(&value);
    for (std::size_t i = 0; i < sizeof(T) / sizeof(WORD); ++i) words_.push_back(words[i]);
  }
  void AddText(const wchar_t* text) {
    for (; *text; ++text) words_.push_back(static_cast<WORD>(*text));
    words_.push_back(0);
  }
  std::vector<WORD> words_;
  std::size_t count_at_ = 0;
};

constexpr WORD kButtonAtom = 0x0080;
constexpr WORD kStaticAtom = 0x0082;

struct PromptState {
  int press = IDNO;
};

INT_PTR CALLBACK PromptProc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_INITDIALOG:
      SetWindowLongPtrW(dialog, DWLP_USER, lparam);
      SetTimer(dialog, kAnswerTimer, layout::kModalMs, nullptr);
      return TRUE;
    case WM_TIMER:
      if (wparam == kAnswerTimer) {
        KillTimer(dialog, kAnswerTimer);
        const auto* state = reinterpret_cast<PromptState*>(GetWindowLongPtrW(dialog, DWLP_USER));
        // The user presses the answer's button.
        SendMessageW(GetDlgItem(dialog, state ? state->press : IDCANCEL), BM_CLICK, 0, 0);
      }
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wparam) == IDYES || LOWORD(wparam) == IDNO || LOWORD(wparam) == IDCANCEL) {
        EndDialog(dialog, LOWORD(wparam));
      }
      return TRUE;
    default:
      return FALSE;
  }
}

// The state of one of Excel's own dialogs of class "bosa_sdm_XL9": when it is done, and with
// which button.
struct SdmDialog {
  HWND hwnd = nullptr;
  bool done = false;
  int pressed = IDCANCEL;
  // The window-list dialog's captions; the list box shows them.
  std::vector<std::wstring> entries;
};

LRESULT OnSdmGetObject(HWND hwnd, SdmDialog& dialog, WPARAM wparam, LPARAM lparam);

LRESULT CALLBACK SdmProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  auto* dialog = reinterpret_cast<SdmDialog*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  switch (message) {
    case WM_NCCREATE:
      SetWindowLongPtrW(
          hwnd, GWLP_USERDATA,
          reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams));
      break;
    case WM_COMMAND:
      if (dialog && (LOWORD(wparam) == IDOK || LOWORD(wparam) == IDCANCEL)) {
        dialog->pressed = LOWORD(wparam);
        dialog->done = true;
        return 0;
      }
      break;
    case WM_TIMER:
      if (wparam == kAnswerTimer) {
        KillTimer(hwnd, kAnswerTimer);
        // Unless its user has answered already, Save As saves and the window list is cancelled.
        const int button = dialog && dialog->entries.empty() ? IDOK : IDCANCEL;
        SendMessageW(GetDlgItem(hwnd, button), BM_CLICK, 0, 0);
        return 0;
      }
      break;
    case WM_CLOSE:
      if (dialog) dialog->done = true;
      return 0;
    case WM_GETOBJECT:
      if (dialog && !dialog->entries.empty()) return OnSdmGetObject(hwnd, *dialog, wparam, lparam);
      break;
    default:
      break;
  }
  return DefWindowProcW(hwnd, message, wparam, lparam);
}

void RegisterSdmClass() {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = SdmProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = kSdmClass;
  RegisterClassExW(&wc);
}

HWND Control(const wchar_t* class_name, const wchar_t* text, DWORD style, const RECT& rect,
             HWND parent, int id) {
  const HWND hwnd = CreateWindowExW(0, class_name, text, WS_CHILD | WS_VISIBLE | style, rect.left,
                                    rect.top, rect.right - rect.left, rect.bottom - rect.top,
                                    parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                    GetModuleHandleW(nullptr), nullptr);
  SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), 0);
  return hwnd;
}

RECT ScreenRectOf(HWND hwnd) {
  RECT rect{};
  GetWindowRect(hwnd, &rect);
  return rect;
}

// The window-list dialog as Windows would describe it: a window with its title bar and client
// area, in which a list of the windows' captions (the selected one focused) and the buttons
// "确定" and "取消".
ComPtr<AccessibleNode> WindowListTree(HWND hwnd, const std::shared_ptr<SdmDialog>& alive) {
  std::weak_ptr<SdmDialog> weak = alive;
  const auto location = [weak](int id) {
    return [weak, id] {
      auto dialog = weak.lock();
      return dialog && dialog->hwnd ? ScreenRectOf(id ? GetDlgItem(dialog->hwnd, id) : dialog->hwnd)
                                    : RECT{};
    };
  };
  const auto focusable = [] { return LONG{STATE_SYSTEM_FOCUSABLE}; };
  wchar_t title[64] = L"";
  GetWindowTextW(hwnd, title, 64);
  auto root = AccessibleNode::Create({title, ROLE_SYSTEM_WINDOW, focusable, location(0), {}, {}});
  root->AddObject(AccessibleNode::Create({title, ROLE_SYSTEM_TITLEBAR, {}, {}, {}, {}}));
  auto client = AccessibleNode::Create({title, ROLE_SYSTEM_CLIENT, focusable, location(0), {}, {}});
  auto list = AccessibleNode::Create({L"", ROLE_SYSTEM_LIST, focusable, location(kListId), {}, {}});
  for (std::size_t i = 0; i < alive->entries.size(); ++i) {
    const auto selected = [weak, i] {
      auto dialog = weak.lock();
      return dialog && dialog->hwnd &&
             SendDlgItemMessageW(dialog->hwnd, kListId, LB_GETCURSEL, 0, 0) ==
                 static_cast<LRESULT>(i);
    };
    list->AddSimple({alive->entries[i], ROLE_SYSTEM_LISTITEM,
                     [selected] {
                       return selected() ? LONG{STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_HOTTRACKED |
                                                STATE_SYSTEM_FOCUSED}
                                         : LONG{STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_SELECTABLE};
                     },
                     location(kListId), L"双击",
                     [weak, i] {
                       auto dialog = weak.lock();
                       if (dialog && dialog->hwnd && !dialog->done) {
                         SendDlgItemMessageW(dialog->hwnd, kListId, LB_SETCURSEL, i, 0);
                       }
                     }});
  }
  const auto button = [&](const wchar_t* name, int id) {
    return AccessibleNode::Create(
        {name, ROLE_SYSTEM_PUSHBUTTON, focusable, location(id), L"按", [weak, id] {
           auto dialog = weak.lock();
           if (dialog && dialog->hwnd && !dialog->done) {
             SendMessageW(dialog->hwnd, WM_COMMAND, id, 0);
           }
         }});
  };
  client->AddObject(list);
  client->AddObject(button(L"确定", IDOK));
  client->AddObject(button(L"取消", IDCANCEL));
  root->AddObject(client);
  return root;
}

// Keeps the window-list dialog's state for its accessible tree, which may outlive the window.
std::shared_ptr<SdmDialog>* g_window_list = nullptr;

LRESULT OnSdmGetObject(HWND hwnd, SdmDialog&, WPARAM wparam, LPARAM lparam) {
  if (static_cast<LONG>(lparam) != static_cast<LONG>(OBJID_WINDOW) || !g_window_list) {
    return DefWindowProcW(hwnd, WM_GETOBJECT, wparam, lparam);
  }
  auto tree = WindowListTree(hwnd, *g_window_list);
  if (!tree) return 0;
  // Wine's AccessibleObjectFromWindow asks with 0xFFFFFFFF, which its LresultFromObject refuses
  // and reads back as 0; Windows never sends that value.
  if (static_cast<DWORD>(wparam) == 0xFFFFFFFFu) wparam = 0;
  return LresultFromObject(__uuidof(IAccessible), wparam, tree.Get());
}

// Runs `dialog` modally over `owner`: the owner is disabled until the dialog is done, and the
// focus goes back where it was.
void RunModal(HWND owner, SdmDialog& dialog) {
  const HWND focus = GetFocus();
  EnableWindow(owner, FALSE);
  ShowWindow(dialog.hwnd, SW_SHOWNORMAL);
  if (!dialog.done) SetTimer(dialog.hwnd, kAnswerTimer, layout::kModalMs, nullptr);
  MSG message;
  while (!dialog.done && GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  if (!dialog.done) PostQuitMessage(static_cast<int>(message.wParam));
  EnableWindow(owner, TRUE);
  DestroyWindow(dialog.hwnd);
  dialog.hwnd = nullptr;
  SetActiveWindow(owner);
  if (focus && IsWindow(focus)) SetFocus(focus);
}

HWND MakeSdm(HWND owner, const wchar_t* title, SdmDialog& dialog, int width, int height) {
  RegisterSdmClass();
  RECT frame{0, 0, width, height};
  constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
  AdjustWindowRectEx(&frame, kStyle, FALSE, WS_EX_DLGMODALFRAME);
  RECT main{};
  GetWindowRect(owner, &main);
  const int w = frame.right - frame.left;
  const int h = frame.bottom - frame.top;
  dialog.hwnd = CreateWindowExW(WS_EX_DLGMODALFRAME, kSdmClass, title, kStyle,
                                (main.left + main.right - w) / 2, (main.top + main.bottom - h) / 2,
                                w, h, owner, nullptr, GetModuleHandleW(nullptr), &dialog);
  return dialog.hwnd;
}

}  // namespace

SaveAnswer ExcelWindows::AskToSave(const Workbook& workbook, SaveAnswer preset) {
  const std::wstring text = L"是否保存对\u201c" + Wide(workbook.name) + L"\u201d的更改？";
  DialogTemplate prompt(L"Microsoft Excel", 220, 62);
  prompt.Item(kStaticAtom, text.c_str(), 0xFFFF, SS_LEFT, 10, 10, 200, 16);
  prompt.Item(kButtonAtom, L"保存(&S)", IDYES, BS_DEFPUSHBUTTON | WS_TABSTOP, 30, 38, 50, 14);
  prompt.Item(kButtonAtom, L"不保存(&N)", IDNO, BS_PUSHBUTTON | WS_TABSTOP, 86, 38, 50, 14);
  prompt.Item(kButtonAtom, L"取消", IDCANCEL, BS_PUSHBUTTON | WS_TABSTOP, 142, 38, 50, 14);
  PromptState state;
  state.press = preset == SaveAnswer::kSave      ? IDYES
                : preset == SaveAnswer::kDiscard ? IDNO
                                                 : IDCANCEL;
  const INT_PTR pressed = DialogBoxIndirectParamW(GetModuleHandleW(nullptr), prompt.Get(), main_,
                                                  PromptProc, reinterpret_cast<LPARAM>(&state));
  if (pressed == IDYES) return SaveAnswer::kSave;
  if (pressed == IDNO) return SaveAnswer::kDiscard;
  return SaveAnswer::kCancel;
}

void ExcelWindows::SaveAsDialog(const Workbook& workbook) {
  SdmDialog dialog;
  if (!MakeSdm(main_, L"另存为", dialog, 420, 110)) return;
  Control(L"STATIC", L"文件名(&N):", SS_LEFT, {12, 18, 90, 36}, dialog.hwnd, 0xFFFF);
  Control(L"EDIT", Wide(workbook.name).c_str(), WS_BORDER | ES_AUTOHSCROLL, {96, 14, 408, 38},
          dialog.hwnd, 101);
  Control(L"BUTTON", L"保存(&S)", BS_DEFPUSHBUTTON, {236, 64, 316, 92}, dialog.hwnd, IDOK);
  Control(L"BUTTON", L"取消", BS_PUSHBUTTON, {328, 64, 408, 92}, dialog.hwnd, IDCANCEL);
  RunModal(main_, dialog);
}

std::optional<std::size_t> ExcelWindows::WindowListDialog(const std::vector<WindowEntry>& entries,
                                                          std::size_t selected) {
  auto dialog = std::make_shared<SdmDialog>();
  for (const auto& entry : entries) dialog->entries.push_back(Wide(entry.caption));
  if (dialog->entries.empty()) return std::nullopt;
  if (!MakeSdm(main_, L"激活", *dialog, 300, 240)) return std::nullopt;
  const HWND list = Control(L"LISTBOX", L"", WS_BORDER | WS_VSCROLL | LBS_NOTIFY,
                            {12, 28, 200, 228}, dialog->hwnd, kListId);
  Control(L"STATIC", L"激活(&A):", SS_LEFT, {12, 8, 200, 24}, dialog->hwnd, 0xFFFF);
  for (const auto& caption : dialog->entries) {
    SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(caption.c_str()));
  }
  SendMessageW(list, LB_SETCURSEL, selected, 0);
  Control(L"BUTTON", L"确定", BS_DEFPUSHBUTTON, {212, 28, 288, 56}, dialog->hwnd, IDOK);
  Control(L"BUTTON", L"取消", BS_PUSHBUTTON, {212, 64, 288, 92}, dialog->hwnd, IDCANCEL);
  g_window_list = &dialog;
  // Activated first (hooks hear of it then), then the list takes the focus.
  const HWND focus = GetFocus();
  EnableWindow(main_, FALSE);
  ShowWindow(dialog->hwnd, SW_SHOWNORMAL);
  if (!dialog->done) {
    SetFocus(list);
    SetTimer(dialog->hwnd, kAnswerTimer, layout::kModalMs, nullptr);
  }
  MSG message;
  while (!dialog->done && GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  if (!dialog->done) PostQuitMessage(static_cast<int>(message.wParam));
  const LRESULT chosen = SendMessageW(list, LB_GETCURSEL, 0, 0);
  g_window_list = nullptr;
  EnableWindow(main_, TRUE);
  DestroyWindow(dialog->hwnd);
  dialog->hwnd = nullptr;
  SetActiveWindow(main_);
  if (dialog->pressed != IDOK || chosen < 0) {
    if (focus && IsWindow(focus)) SetFocus(focus);
    return std::nullopt;
  }
  return static_cast<std::size_t>(chosen);
}

}  // namespace vestrano::xlsim::win32
