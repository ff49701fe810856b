// The scenes of the screenshots. Each one sets the add-in's settings and Office's colour scheme,
// opens its workbooks in the test's Excel, connects the add-in, and puts a worksheet grid under
// the strip so that the picture reads as Excel.
#include "tests/wine/screenshots.h"

#include <cstdio>
#include <string>
#include <vector>

#include "addin/win32/vestrano_ids.h"
#include "tests/wine/checks.h"
#include "tests/wine/excel_windows.h"
#include "tests/wine/fake_excel.h"
#include "tests/wine/office_api.h"
#include "tests/wine/registry_checks.h"
#include "tests/wine/ribbon_dialog_checks.h"
#include "tests/wine/tab_strip_checks.h"

namespace wine_test {
namespace {

struct Scene {
  const char* name;
  DWORD theme;     // the add-in's tab style 0, 1, 2
  DWORD position;  // 0 above, 1 below
  DWORD office;    // Office's colour scheme 1 blue, 2 silver, 3 black
  std::vector<TestWorkbook> workbooks;
  std::size_t active;
};

std::vector<TestWorkbook> EverydayWorkbooks() {
  return {{L"Budget 2024.xlsx", L"C:\\Users\\Mei\\Documents\\Budget 2024.xlsx", true},
          {L"\u5b63\u5ea6\u9500\u552e\u62a5\u8868.xls",
           L"C:\\Users\\Mei\\Documents\\\u5b63\u5ea6\u9500\u552e\u62a5\u8868.xls", false},
          {L"prices.csv", L"C:\\Data\\prices.csv", true},
          {L"Invoice template.xlt", L"C:\\Templates\\Invoice template.xlt", true},
          {L"Book1", L"Book1", false}};
}

std::vector<TestWorkbook> ManyWorkbooks() {
  std::vector<TestWorkbook> books = EverydayWorkbooks();
  books.push_back(
      {L"Quarterly results for the board of directors, final version agreed with "
       L"the auditors after the second review of the accounts.xlsx",
       L"C:\\Board\\Quarterly results.xlsx", true});
  for (int i = 1; i <= 24; ++i) {
    const std::wstring name = L"Region " + std::to_wstring(i) + L".xlsx";
    books.push_back({name, L"C:\\Data\\Regions\\" + name, i % 5 != 0});
  }
  return books;
}

void SetDword(const wchar_t* path, const wchar_t* name, DWORD value) {
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, path, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                      nullptr) == ERROR_SUCCESS) {
    RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value));
    RegCloseKey(key);
  }
}

// A worksheet under the strip: white cells, grey grid lines, column letters and row numbers.
LRESULT CALLBACK SheetProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message != WM_PAINT) return DefWindowProcW(hwnd, message, wparam, lparam);
  PAINTSTRUCT ps;
  const HDC dc = BeginPaint(hwnd, &ps);
  RECT client{};
  GetClientRect(hwnd, &client);
  FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  constexpr int kHeader = 25;
  constexpr int kRow = 18;
  constexpr int kColumn = 64;
  SetDCBrushColor(dc, RGB(228, 236, 247));
  const RECT top{0, 0, client.right, kRow};
  const RECT left{0, 0, kHeader, client.bottom};
  FillRect(dc, &top, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
  FillRect(dc, &left, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
  SetDCBrushColor(dc, RGB(208, 215, 229));
  for (int x = kHeader; x < client.right; x += kColumn) {
    const RECT line{x, 0, x + 1, client.bottom};
    FillRect(dc, &line, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
  }
  for (int y = kRow; y < client.bottom; y += kRow) {
    const RECT line{0, y, client.right, y + 1};
    FillRect(dc, &line, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
  }
  const HFONT font =
      CreateFontW(-11, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Tahoma");
  const HGDIOBJ previous = SelectObject(dc, font);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, RGB(60, 60, 60));
  for (int c = 0; kHeader + c * kColumn < client.right; ++c) {
    const wchar_t letter[2] = {static_cast<wchar_t>(L'A' + c % 26), 0};
    RECT cell{kHeader + c * kColumn, 0, kHeader + (c + 1) * kColumn, kRow};
    DrawTextW(dc, letter, 1, &cell, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  }
  for (int r = 1; r * kRow < client.bottom; ++r) {
    const std::wstring number = std::to_wstring(r);
    RECT cell{0, r * kRow, kHeader, (r + 1) * kRow};
    DrawTextW(dc, number.c_str(), -1, &cell, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  }
  SelectObject(dc, previous);
  DeleteObject(font);
  EndPaint(hwnd, &ps);
  return 0;
}

HWND MakeSheet(HWND desk) {
  static bool registered = false;
  if (!registered) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = SheetProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"EXCEL7";
    registered = RegisterClassExW(&wc) != 0;
  }
  RECT client{};
  GetClientRect(desk, &client);
  return CreateWindowExW(0, L"EXCEL7", L"", WS_CHILD | WS_VISIBLE, 0, 0, client.right,
                         client.bottom, desk, nullptr, GetModuleHandleW(nullptr), nullptr);
}

void Shoot(const Scene& scene, IDTExtensibility2* addin) {
  const wchar_t* settings = L"SOFTWARE\\Microsoft\\Shared Tools\\Vestrano";
  SetDword(settings, L"TabShow", 0);
  SetDword(settings, L"Position", scene.position);
  SetDword(settings, L"Theme", scene.theme);
  SetDword(L"Software\\Microsoft\\Office\\12.0\\Common", L"Theme", scene.office);
  ExcelWindows windows;
  auto excel = ComPtr<FakeApplication>::Adopt(
      new FakeApplication(windows.Main(), scene.workbooks, scene.active));
  SAFEARRAY* custom = nullptr;
  addin->OnConnection(excel.Get(), kConnectAfterStartup, nullptr, &custom);
  PumpMessages(300);
  const HWND sheet = MakeSheet(windows.Desk());
  RedrawWindow(windows.Main(), nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
  PumpMessages(300);
  // The strip and a few rows of the sheet next to it.
  const RECT desk = windows.DeskWindowRect();
  constexpr int kShown = 62;
  const int top = scene.position == 0 ? desk.top : desk.bottom - kShown;
  std::printf("shot %s %ld %d %ld %d\n", scene.name, desk.left, top, desk.right - desk.left,
              kShown);
  std::fflush(stdout);
  char line[16];
  if (!std::fgets(line, sizeof(line), stdin)) return;
  DestroyWindow(sheet);
  addin->OnDisconnection(kDisconnectUserClosed, &custom);
  PumpMessages(100);
}

// The window as its own device context has it, frame included, as a 24-bit BMP file: the X
// server's copy of a new top-level window is not reliably painted under Wine.
bool SaveWindowBitmap(HWND window, const std::string& path) {
  RECT frame{};
  GetWindowRect(window, &frame);
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  BITMAPINFOHEADER header{};
  header.biSize = sizeof(header);
  header.biWidth = width;
  header.biHeight = height;
  header.biPlanes = 1;
  header.biBitCount = 24;
  void* bits = nullptr;
  const HDC source = GetWindowDC(window);
  const HDC memory = CreateCompatibleDC(source);
  const HBITMAP bitmap = CreateDIBSection(source, reinterpret_cast<BITMAPINFO*>(&header),
                                          DIB_RGB_COLORS, &bits, nullptr, 0);
  bool saved = false;
  if (memory && bitmap && bits) {
    const HGDIOBJ previous = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, source, 0, 0, SRCCOPY);
    GdiFlush();
    SelectObject(memory, previous);
    const DWORD stride = (static_cast<DWORD>(width) * 3 + 3) & ~3u;
    const DWORD size = stride * static_cast<DWORD>(height);
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(file) + sizeof(header);
    file.bfSize = file.bfOffBits + size;
    if (FILE* out = std::fopen(path.c_str(), "wb")) {
      saved = std::fwrite(&file, sizeof(file), 1, out) == 1 &&
              std::fwrite(&header, sizeof(header), 1, out) == 1 &&
              std::fwrite(bits, size, 1, out) == 1;
      saved = std::fclose(out) == 0 && saved;
    }
  }
  if (bitmap) DeleteObject(bitmap);
  if (memory) DeleteDC(memory);
  ReleaseDC(window, source);
  return saved;
}

// Each dialog over the everyday scene, as Excel's user sees it.
void ShootDialogs(IDTExtensibility2* addin) {
  const wchar_t* settings = L"SOFTWARE\\Microsoft\\Shared Tools\\Vestrano";
  SetDword(settings, L"Position", 0);
  SetDword(settings, L"Theme", 0);
  ExcelWindows windows;
  auto excel =
      ComPtr<FakeApplication>::Adopt(new FakeApplication(windows.Main(), EverydayWorkbooks(), 0));
  SAFEARRAY* custom = nullptr;
  addin->OnConnection(excel.Get(), kConnectAfterStartup, nullptr, &custom);
  PumpMessages(300);
  const HWND sheet = MakeSheet(windows.Desk());
  for (const auto& [name, options] : {std::pair{"options-dialog", true}, {"about-dialog", false}}) {
    WhileDialogOpen(addin, windows.Main(), options, [name = name](HWND dialog) {
      // The X server maps the new window a little later; it is painted once it is there.
      PumpMessages(600);
      RedrawWindow(dialog, nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
      PumpMessages(300);
      const std::string file = std::string("build\\screenshot-") + name + ".bmp";
      if (!SaveWindowBitmap(dialog, file)) return;
      std::printf("bitmap %s build/screenshot-%s.bmp\n", name, name);
      std::fflush(stdout);
      char line[16];
      std::fgets(line, sizeof(line), stdin);
    });
  }
  DestroyWindow(sheet);
  addin->OnDisconnection(kDisconnectUserClosed, &custom);
  PumpMessages(100);
}

}  // namespace

int RunScreenshots(const std::wstring& dll_argument) {
  Checks checks;
  wchar_t full_path[MAX_PATH];
  GetFullPathNameW(dll_argument.c_str(), MAX_PATH, full_path, nullptr);
  const std::wstring dll_path = full_path;
  RunRegsvr32(dll_path, false);
  if (RunningUnderWine()) MirrorClassesToMachine(checks);
  const std::wstring module = ModuleBeside(dll_path);
  wchar_t system[MAX_PATH];
  const UINT length = GetSystemDirectoryW(system, MAX_PATH);
  CopyFileW(module.c_str(), (std::wstring(system, length) + L"\\Zandrelix.ocx").c_str(), FALSE);
  const std::vector<Scene> scenes{
      {"excel-above", 0, 0, 1, EverydayWorkbooks(), 0},
      {"excel-below", 0, 1, 1, EverydayWorkbooks(), 1},
      {"access-above", 1, 0, 1, EverydayWorkbooks(), 0},
      {"access-below", 1, 1, 2, EverydayWorkbooks(), 1},
      {"office2003-above", 2, 0, 1, EverydayWorkbooks(), 0},
      {"office2003-below", 2, 1, 3, EverydayWorkbooks(), 1},
      {"many-tabs", 0, 0, 1, ManyWorkbooks(), 20},
  };
  {
    ComPtr<IDTExtensibility2> addin;
    CoCreateInstance(vestrano::win32::kClsidVestranov3, nullptr, CLSCTX_INPROC_SERVER,
                     __uuidof(IDTExtensibility2), addin.PutVoid());
    if (addin) {
      for (const Scene& scene : scenes) Shoot(scene, addin.Get());
      ShootDialogs(addin.Get());
    }
  }
  std::printf("done\n");
  std::fflush(stdout);
  CoFreeUnusedLibrariesEx(0, 0);
  RemoveInstalledModule(checks);
  if (RunningUnderWine()) RemoveMachineMirror(checks);
  RunRegsvr32(dll_path, true);
  return 0;
}

}  // namespace wine_test
