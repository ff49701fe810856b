// Excel's window tree and the workbook windows that follow the model. The main window keeps the
// workbook area where Excel has it, whatever the frame does, so that the strip an add-in takes
// from it is the only change.
#include "xlsim/win32/excel_windows.h"

#include <algorithm>

#include "xlsim/win32/text.h"

namespace vestrano::xlsim::win32 {
namespace {

constexpr wchar_t kMainClass[] = L"XLMAIN";
constexpr wchar_t kDeskClass[] = L"XLDESK";
constexpr wchar_t kGridClass[] = L"EXCEL7";
constexpr wchar_t kBandClass[] = L"EXCEL;";
constexpr wchar_t kFormulaBarClass[] = L"EXCEL<";
constexpr wchar_t kFormulaEditClass[] = L"EXCEL6";
constexpr wchar_t kStatusBarClass[] = L"EXCEL4";
constexpr const wchar_t* kEditingClasses[] = {L"EXCEL<", L"EXCEL6", L"EDTBX"};

// The one workbook area of the process: the frame's procedure needs it for DefFrameProc.
HWND g_desk = nullptr;
WNDPROC g_mdi_client_proc = nullptr;

COLORREF Face() {
  return RGB(219, 230, 244);
}

void Fill(HDC dc, const RECT& rect, COLORREF color) {
  SetDCBrushColor(dc, color);
  FillRect(dc, &rect, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
}

void Text(HDC dc, const wchar_t* text, RECT rect, UINT format) {
  SetBkMode(dc, TRANSPARENT);
  SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
  DrawTextW(dc, text, -1, &rect, format | DT_NOPREFIX);
}

// Paints a window with `paint(dc, client)` between BeginPaint and EndPaint.
template <typename Paint>
LRESULT Painted(HWND hwnd, Paint paint) {
  PAINTSTRUCT ps;
  const HDC dc = BeginPaint(hwnd, &ps);
  RECT client{};
  GetClientRect(hwnd, &client);
  if (dc) paint(dc, client);
  EndPaint(hwnd, &ps);
  return 0;
}

void PaintGrid(HDC dc, const RECT& client) {
  Fill(dc, client, RGB(255, 255, 255));
  constexpr int kHeader = 25;
  constexpr int kRow = 18;
  constexpr int kColumn = 64;
  Fill(dc, {0, 0, client.right, kRow}, RGB(228, 236, 247));
  Fill(dc, {0, 0, kHeader, client.bottom}, RGB(228, 236, 247));
  for (int x = kHeader, column = 0; x < client.right; x += kColumn, ++column) {
    Fill(dc, {x, 0, x + 1, client.bottom}, RGB(208, 215, 229));
    const wchar_t letter[2] = {static_cast<wchar_t>(L'A' + column % 26), 0};
    Text(dc, letter, {x, 0, x + kColumn, kRow}, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  }
  for (int y = kRow, row = 1; y < client.bottom; y += kRow, ++row) {
    Fill(dc, {0, y, client.right, y + 1}, RGB(208, 215, 229));
    const std::wstring number = std::to_wstring(row);
    Text(dc, number.c_str(), {0, y, kHeader, y + kRow}, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  }
}

LRESULT CALLBACK MainProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_SIZE:
      // Excel's layout stays as it is; DefFrameProc would stretch the workbook area.
      return 0;
    case WM_CLOSE:
      // Only the script ends this Excel.
      return 0;
    case WM_ERASEBKGND: {
      RECT client{};
      GetClientRect(hwnd, &client);
      Fill(reinterpret_cast<HDC>(wparam), client, Face());
      return 1;
    }
    default:
      return DefFrameProcW(hwnd, g_desk, message, wparam, lparam);
  }
}

LRESULT CALLBACK DeskProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  return CallWindowProcW(g_mdi_client_proc, hwnd, message, wparam, lparam);
}

LRESULT CALLBACK GridProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_PAINT:
      return Painted(hwnd, PaintGrid);
    case WM_ERASEBKGND:
      return 1;
    case WM_CLOSE:
      // Workbooks close through the model, which asks first.
      return 0;
    default:
      return DefMDIChildProcW(hwnd, message, wparam, lparam);
  }
}

LRESULT CALLBACK BandProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message != WM_PAINT) return DefWindowProcW(hwnd, message, wparam, lparam);
  return Painted(hwnd, [](HDC dc, const RECT& client) {
    Fill(dc, client, Face());
    Fill(dc, {0, client.bottom - 1, client.right, client.bottom}, RGB(158, 182, 206));
    static constexpr const wchar_t* kMenus[] = {L"文件(F)", L"编辑(E)", L"视图(V)",
                                                L"插入(I)", L"格式(O)", L"工具(T)",
                                                L"数据(D)", L"窗口(W)", L"帮助(H)"};
    int x = 8;
    for (const wchar_t* menu : kMenus) {
      Text(dc, menu, {x, 4, x + 64, 22}, DT_LEFT | DT_SINGLELINE);
      x += 64;
    }
  });
}

LRESULT CALLBACK FormulaBarProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message != WM_PAINT) return DefWindowProcW(hwnd, message, wparam, lparam);
  return Painted(hwnd, [](HDC dc, const RECT& client) {
    Fill(dc, client, Face());
    Text(dc, L"fx", {4, 0, 28, 30}, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  });
}

LRESULT CALLBACK WhiteProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message != WM_PAINT) return DefWindowProcW(hwnd, message, wparam, lparam);
  return Painted(hwnd, [](HDC dc, const RECT& client) {
    Fill(dc, client, RGB(160, 174, 194));
    Fill(dc, {1, 1, client.right - 1, client.bottom - 1}, RGB(255, 255, 255));
  });
}

LRESULT CALLBACK StatusBarProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message != WM_PAINT) return DefWindowProcW(hwnd, message, wparam, lparam);
  return Painted(hwnd, [](HDC dc, const RECT& client) {
    Fill(dc, client, Face());
    Text(dc, L"就绪", {8, 0, 200, client.bottom}, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
  });
}

bool RegisterWindowClass(const wchar_t* name, WNDPROC proc, HBRUSH background = nullptr) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = proc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  wc.hbrBackground = background;
  wc.lpszClassName = name;
  return RegisterClassExW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

// The workbook area is Windows' MDI client under Excel's class name.
bool RegisterDeskClass() {
  WNDCLASSEXW mdi{};
  mdi.cbSize = sizeof(mdi);
  if (!GetClassInfoExW(nullptr, L"MDICLIENT", &mdi)) return false;
  g_mdi_client_proc = mdi.lpfnWndProc;
  mdi.lpfnWndProc = DeskProc;
  mdi.hInstance = GetModuleHandleW(nullptr);
  mdi.lpszClassName = kDeskClass;
  mdi.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_APPWORKSPACE + 1);
  return RegisterClassExW(&mdi) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

std::wstring ClassOf(HWND hwnd) {
  wchar_t name[256] = L"";
  GetClassNameW(hwnd, name, 256);
  return name;
}

struct ClassSearch {
  std::wstring wanted;
  HWND found = nullptr;
};

BOOL CALLBACK MatchClass(HWND hwnd, LPARAM data) {
  auto* search = reinterpret_cast<ClassSearch*>(data);
  if (ClassOf(hwnd) == search->wanted) {
    search->found = hwnd;
    return FALSE;
  }
  return TRUE;
}

}  // namespace

ExcelWindows::ExcelWindows() {
  RegisterWindowClass(kMainClass, MainProc);
  RegisterDeskClass();
  RegisterWindowClass(kGridClass, GridProc);
  RegisterWindowClass(kBandClass, BandProc);
  RegisterWindowClass(kFormulaBarClass, FormulaBarProc);
  RegisterWindowClass(kFormulaEditClass, WhiteProc);
  RegisterWindowClass(kStatusBarClass, StatusBarProc);
  constexpr DWORD kStyle =
      WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_CLIPCHILDREN;
  RECT frame = layout::kClient;
  AdjustWindowRectEx(&frame, kStyle, FALSE, 0);
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  // Centred, and down against the screen's bottom edge: a popup opened on a strip below the
  // workbooks then has no room under the mouse and opens upwards, as Office keeps it on screen.
  const int x = std::max(0, (GetSystemMetrics(SM_CXSCREEN) - width) / 2);
  const int y = std::max(0, GetSystemMetrics(SM_CYSCREEN) - height);
  main_ = CreateWindowExW(0, kMainClass, L"Microsoft Excel", kStyle, x, y, width, height, nullptr,
                          nullptr, GetModuleHandleW(nullptr), nullptr);
  MakeChild(kBandClass, layout::kCommandBars, main_);
  CLIENTCREATESTRUCT mdi{nullptr, 1};
  desk_ = CreateWindowExW(
      0, kDeskClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, layout::kDesk.left,
      layout::kDesk.top, layout::kDesk.right - layout::kDesk.left,
      layout::kDesk.bottom - layout::kDesk.top, main_, nullptr, GetModuleHandleW(nullptr), &mdi);
  g_desk = desk_;
  formula_bar_ = MakeChild(kFormulaBarClass, layout::kFormulaBar, main_);
  const RECT edit{32, 4, layout::kFormulaBar.right - layout::kFormulaBar.left - 4,
                  layout::kFormulaBar.bottom - layout::kFormulaBar.top - 8};
  MakeChild(kFormulaEditClass, edit, formula_bar_);
  MakeChild(kStatusBarClass, layout::kStatusBar, main_);
  ShowWindow(main_, SW_SHOWNORMAL);
  SetForegroundWindow(main_);
  UpdateWindow(main_);
}

ExcelWindows::~ExcelWindows() {
  if (main_) DestroyWindow(main_);
  g_desk = nullptr;
}

HWND ExcelWindows::MakeChild(const wchar_t* class_name, const RECT& rect, HWND parent) {
  return CreateWindowExW(0, class_name, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, rect.left,
                         rect.top, rect.right - rect.left, rect.bottom - rect.top, parent, nullptr,
                         GetModuleHandleW(nullptr), nullptr);
}

void ExcelWindows::ShowMain(bool shown) {
  ShowWindow(main_, shown ? SW_SHOWNORMAL : SW_HIDE);
}

void ExcelWindows::ShowFormulaBar(bool shown) {
  ShowWindow(formula_bar_, shown ? SW_SHOWNA : SW_HIDE);
}

HWND ExcelWindows::WindowOf(const Window& window) const {
  const auto found = windows_.find(&window);
  return found == windows_.end() ? nullptr : found->second;
}

void ExcelWindows::WindowAdded(const WindowRef& window) {
  const std::wstring caption = model_ ? Wide(model_->CaptionOf(*window)) : std::wstring();
  MDICREATESTRUCTW create{};
  create.szClass = kGridClass;
  create.szTitle = caption.c_str();
  create.hOwner = GetModuleHandleW(nullptr);
  create.x = create.y = create.cx = create.cy = CW_USEDEFAULT;
  create.style = WS_MAXIMIZE | (window->visible ? WS_VISIBLE : 0);
  const HWND hwnd = reinterpret_cast<HWND>(
      SendMessageW(desk_, WM_MDICREATE, 0, reinterpret_cast<LPARAM>(&create)));
  if (hwnd) windows_[window.get()] = hwnd;
}

void ExcelWindows::WindowRemoved(const Window& window) {
  const auto found = windows_.find(&window);
  if (found == windows_.end()) return;
  SendMessageW(desk_, WM_MDIDESTROY, reinterpret_cast<WPARAM>(found->second), 0);
  windows_.erase(found);
}

void ExcelWindows::WindowShown(const WindowRef& window, bool visible) {
  if (const HWND hwnd = WindowOf(*window)) ShowWindow(hwnd, visible ? SW_SHOWNA : SW_HIDE);
}

void ExcelWindows::WindowToFront(const WindowRef& window) {
  const HWND hwnd = WindowOf(*window);
  if (!hwnd) return;
  if (!IsWindowVisible(hwnd)) ShowWindow(hwnd, SW_SHOWNA);
  SendMessageW(desk_, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(hwnd), 0);
  SendMessageW(desk_, WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(hwnd), 0);
}

void ExcelWindows::CaptionsChanged(const Workbook& workbook) {
  if (!model_) return;
  for (const auto& window : workbook.windows) {
    if (const HWND hwnd = WindowOf(*window)) {
      SetWindowTextW(hwnd, Wide(model_->CaptionOf(*window)).c_str());
    }
  }
}

void ExcelWindows::FocusGrid() {
  const HWND active = reinterpret_cast<HWND>(SendMessageW(desk_, WM_MDIGETACTIVE, 0, 0));
  if (active) SetFocus(active);
}

bool ExcelWindows::Editing() {
  const HWND focus = GetFocus();
  if (!focus) return false;
  const std::wstring name = ClassOf(focus);
  for (const wchar_t* editing : kEditingClasses) {
    if (name == editing) return true;
  }
  return false;
}

bool ExcelWindows::HideFileExtensions() {
  DWORD value = 0;
  DWORD size = sizeof(value);
  return RegGetValueW(HKEY_CURRENT_USER,
                      L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Advanced",
                      L"HideFileExt", RRF_RT_REG_DWORD, nullptr, &value, &size) == ERROR_SUCCESS &&
         value == 1;
}

std::optional<std::string> ExcelWindows::Focus(std::string_view class_name) {
  if (class_name.empty()) return "a window class needs a name";
  const std::wstring wanted = Wide(class_name);
  HWND target = nullptr;
  if (wanted == kGridClass) {
    target = reinterpret_cast<HWND>(SendMessageW(desk_, WM_MDIGETACTIVE, 0, 0));
    if (!target) return "Excel has no workbook window";
  } else if (ClassOf(main_) == wanted) {
    target = main_;
  } else {
    ClassSearch search{wanted};
    EnumChildWindows(main_, MatchClass, reinterpret_cast<LPARAM>(&search));
    target = search.found;
  }
  if (!target) {
    // Excel makes its edit boxes as it needs them.
    RegisterWindowClass(wanted.c_str(), WhiteProc);
    target = MakeChild(wanted.c_str(), layout::kEditBox, main_);
  }
  if (!target) return "Windows refused a window of class " + std::string(class_name);
  SetFocus(target);
  if (GetFocus() != target) return "the focus change was refused";
  return std::nullopt;
}

}  // namespace vestrano::xlsim::win32
