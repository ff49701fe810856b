// The start-up installation at the add-in's first creation in an elevated process, with a
// per-user copy planted and registered for the user, and the other bitness's module planted in
// the system directory and registered machine-wide. A thread of the test watches for regsvr32
// while the creation runs and reads its current folder from its process parameters.
#include "tests/wine/startup_install_checks.h"

#include <shlobj.h>
#include <tlhelp32.h>
#include <winternl.h>

#include <atomic>
#include <fstream>
#include <string>
#include <vector>

#include "addin/win32/vestrano_ids.h"
#include "host/win32/com_ptr.h"
#include "tabctl/win32/zandrelix_api.h"
#include "tests/wine/excel_windows.h"
#include "tests/wine/fake_excel.h"
#include "tests/wine/office_api.h"
#include "tests/wine/registry_checks.h"
#include "tests/wine/tab_strip_checks.h"

namespace wine_test {
namespace {

using vestrano::win32::ComPtr;

const std::wstring kStripServerKey = std::wstring(L"Software\\Classes\\CLSID\\") +
                                     vestrano::tabctl::kTabStripClsidText + L"\\InprocServer32";
const std::wstring kStripClassKey =
    std::wstring(L"Software\\Classes\\CLSID\\") + vestrano::tabctl::kTabStripClsidText;
const std::wstring kStripProgIdKey =
    std::wstring(L"Software\\Classes\\") + vestrano::tabctl::kTabStripProgId;

std::wstring SystemFolder() {
  wchar_t folder[MAX_PATH];
  const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
  return std::wstring(folder, length);
}

std::wstring UserModuleFolder() {
  wchar_t local[MAX_PATH] = L"";
  SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, local);
  return std::wstring(local) + L"\\Vestrano\\" + (sizeof(void*) == 8 ? L"x64" : L"x86");
}

std::vector<char> FileBytes(const std::wstring& path) {
  std::vector<char> bytes;
  const HANDLE file =
      CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return bytes;
  bytes.resize(GetFileSize(file, nullptr));
  DWORD read = 0;
  if (!bytes.empty() &&
      !ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr)) {
    bytes.clear();
  }
  CloseHandle(file);
  return bytes;
}

std::vector<char> CarriedModule(const std::wstring& dll_path) {
  const HMODULE dll = LoadLibraryExW(dll_path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  const HRSRC found = dll ? FindResourceExW(dll, L"OFFICE", MAKEINTRESOURCEW(101),
                                            MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED))
                          : nullptr;
  const HGLOBAL loaded = found ? LoadResource(dll, found) : nullptr;
  const auto* bytes = loaded ? static_cast<const char*>(LockResource(loaded)) : nullptr;
  std::vector<char> carried(bytes, bytes + (bytes ? SizeofResource(dll, found) : 0));
  if (dll) FreeLibrary(dll);
  return carried;
}

// build/win64/Zandrelix.ocx for the 32-bit DLL in build/win32, and the other way round.
std::wstring OtherBitnessModule(const std::wstring& dll_path) {
  std::wstring folder = dll_path.substr(0, dll_path.rfind(L'\\'));
  const std::wstring own = sizeof(void*) == 8 ? L"win64" : L"win32";
  const std::wstring other = sizeof(void*) == 8 ? L"win32" : L"win64";
  if (folder.size() < own.size() || folder.substr(folder.size() - own.size()) != own) return {};
  return folder.substr(0, folder.size() - own.size()) + other + L"\\" +
         vestrano::tabctl::kModuleFileName;
}

bool Regsvr32Running() {
  const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return false;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof(entry);
  bool running = false;
  for (BOOL more = Process32FirstW(snapshot, &entry); more && !running;
       more = Process32NextW(snapshot, &entry)) {
    running = CompareStringOrdinal(entry.szExeFile, -1, L"regsvr32.exe", -1, TRUE) == CSTR_EQUAL;
  }
  CloseHandle(snapshot);
  return running;
}

// The full paths of every Zandrelix.ocx mapped into this process.
std::vector<std::wstring> LoadedStripModules() {
  std::vector<std::wstring> paths;
  const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, GetCurrentProcessId());
  if (snapshot == INVALID_HANDLE_VALUE) return paths;
  MODULEENTRY32W entry{};
  entry.dwSize = sizeof(entry);
  for (BOOL more = Module32FirstW(snapshot, &entry); more; more = Module32NextW(snapshot, &entry)) {
    if (CompareStringOrdinal(entry.szModule, -1, vestrano::tabctl::kModuleFileName, -1, TRUE) ==
        CSTR_EQUAL) {
      paths.emplace_back(entry.szExePath);
    }
  }
  CloseHandle(snapshot);
  return paths;
}

// Another process's current folder, from its PEB's process parameters (CurrentDirectory.DosPath);
// empty while the process has not set them up yet.
std::wstring CurrentFolderOf(HANDLE process) {
  using QueryProc = LONG(NTAPI*)(HANDLE, PROCESSINFOCLASS, PVOID, ULONG, PULONG);
  const auto query = reinterpret_cast<QueryProc>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQueryInformationProcess")));
  PROCESS_BASIC_INFORMATION basic{};
  if (!query || query(process, ProcessBasicInformation, &basic, sizeof(basic), nullptr) != 0) {
    return {};
  }
  constexpr SIZE_T kParametersInPeb = sizeof(void*) == 8 ? 0x20 : 0x10;
  constexpr SIZE_T kFolderInParameters = sizeof(void*) == 8 ? 0x38 : 0x24;
  const auto* peb = reinterpret_cast<const char*>(basic.PebBaseAddress);
  const char* parameters = nullptr;
  UNICODE_STRING folder{};
  if (!ReadProcessMemory(process, peb + kParametersInPeb, &parameters, sizeof(parameters),
                         nullptr) ||
      !parameters ||
      !ReadProcessMemory(process, parameters + kFolderInParameters, &folder, sizeof(folder),
                         nullptr) ||
      folder.Length == 0 || !folder.Buffer) {
    return {};
  }
  std::wstring text(folder.Length / sizeof(wchar_t), L'\0');
  if (!ReadProcessMemory(process, folder.Buffer, text.data(), folder.Length, nullptr)) return {};
  return text;
}

// Watches, on a thread of its own, for the first regsvr32 process and the folder it runs in.
class Regsvr32Watch {
 public:
  Regsvr32Watch() { thread_ = CreateThread(nullptr, 0, &Regsvr32Watch::Run, this, 0, nullptr); }
  ~Regsvr32Watch() { Stop(); }
  Regsvr32Watch(const Regsvr32Watch&) = delete;
  Regsvr32Watch& operator=(const Regsvr32Watch&) = delete;

  // The folder seen, with no trailing backslash; empty when no regsvr32 was caught.
  std::wstring Stop() {
    stop_ = true;
    if (thread_) {
      WaitForSingleObject(thread_, 10000);
      CloseHandle(thread_);
      thread_ = nullptr;
    }
    while (!folder_.empty() && folder_.back() == L'\\') folder_.pop_back();
    return folder_;
  }

 private:
  static DWORD WINAPI Run(void* self) {
    static_cast<Regsvr32Watch*>(self)->Watch();
    return 0;
  }
  // Bounded as the creation is: a minute at most.
  void Watch() {
    const ULONGLONG until = GetTickCount64() + 60000;
    while (!stop_ && folder_.empty() && GetTickCount64() < until) {
      const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
      PROCESSENTRY32W entry{};
      entry.dwSize = sizeof(entry);
      for (BOOL more = snapshot != INVALID_HANDLE_VALUE && Process32FirstW(snapshot, &entry);
           more && folder_.empty(); more = Process32NextW(snapshot, &entry)) {
        if (CompareStringOrdinal(entry.szExeFile, -1, L"regsvr32.exe", -1, TRUE) != CSTR_EQUAL) {
          continue;
        }
        const HANDLE process =
            OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, entry.th32ProcessID);
        if (process) {
          folder_ = CurrentFolderOf(process);
          CloseHandle(process);
        }
      }
      if (snapshot != INVALID_HANDLE_VALUE) CloseHandle(snapshot);
      Sleep(1);
    }
  }

  HANDLE thread_ = nullptr;
  std::atomic<bool> stop_{false};
  std::wstring folder_;
};

// The class's InprocServer32 in one hive, in this bitness's view, as a registration writes it.
bool PlantServer(HKEY root, const std::wstring& module) {
  HKEY key = nullptr;
  if (RegCreateKeyExW(root, kStripServerKey.c_str(), 0, nullptr, 0, KEY_SET_VALUE | OwnView(),
                      nullptr, &key, nullptr) != ERROR_SUCCESS) {
    return false;
  }
  const auto bytes = static_cast<DWORD>((module.size() + 1) * sizeof(wchar_t));
  const bool set =
      RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(module.c_str()),
                     bytes) == ERROR_SUCCESS;
  RegCloseKey(key);
  return set;
}

void DeleteKeyTree(HKEY root, const std::wstring& path, REGSAM view) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(root, path.c_str(), 0, KEY_ALL_ACCESS | view, &key) == ERROR_SUCCESS) {
    RegDeleteTreeW(key, nullptr);
    RegCloseKey(key);
  }
  RegDeleteKeyExW(root, path.c_str(), view, 0);
}

}  // namespace

void CheckStartupInstall(Checks& checks, const std::wstring& dll_path) {
  const bool elevated = ProcessIsElevated();
  checks.Info(elevated ? "TokenElevation says this process runs elevated"
                       : "TokenElevation says this process does not run elevated, or cannot say");
  if (!elevated) {
    checks.Check(!RunningUnderWine(), "Wine's processes run elevated");
    checks.Info("the elevated start-up installation can be checked only in an elevated process");
    return;
  }
  const std::wstring system = SystemFolder();
  const std::wstring installed = system + L"\\" + vestrano::tabctl::kModuleFileName;
  const std::wstring own = ModuleBeside(dll_path);
  const std::wstring user_folder = UserModuleFolder();
  const std::wstring user_copy = user_folder + L"\\" + vestrano::tabctl::kModuleFileName;

  // The user's own copy, fit and registered for the user: an elevated Excel must not take it.
  CreateDirectoryW(user_folder.substr(0, user_folder.rfind(L'\\')).c_str(), nullptr);
  CreateDirectoryW(user_folder.c_str(), nullptr);
  const bool planted =
      CopyFileW(own.c_str(), user_copy.c_str(), FALSE) && PlantServer(HKEY_CURRENT_USER, user_copy);
  // The other bitness's module where this DLL looks, registered machine-wide.
  const std::wstring other = OtherBitnessModule(dll_path);
  const bool other_there = CopyFileW(other.c_str(), installed.c_str(), FALSE) != FALSE;
  if (!other_there) {
    checks.Info("no module of the other bitness was built: a file that is no module stands in");
    std::ofstream(Narrow(installed).c_str(), std::ios::binary) << "MZ, but no module";
  }
  checks.Check(planted && PlantServer(HKEY_LOCAL_MACHINE, installed),
               "planted a per-user copy registered for the user, and the other "
               "bitness's module in the system directory registered for the machine");

  // Excel's current folder is often a workbook's share: regsvr32 must not run there.
  wchar_t excel_folder[MAX_PATH];
  GetTempPathW(MAX_PATH, excel_folder);
  wchar_t before[MAX_PATH];
  GetCurrentDirectoryW(MAX_PATH, before);
  SetCurrentDirectoryW(excel_folder);
  {
    Regsvr32Watch watch;
    ComPtr<IDTExtensibility2> addin;
    CoCreateInstance(vestrano::win32::kClsidVestranov3, nullptr, CLSCTX_INPROC_SERVER,
                     __uuidof(IDTExtensibility2), addin.PutVoid());
    // At once, before any message runs: whatever regsvr32 did is done.
    const bool running = Regsvr32Running();
    const auto machine_server = ReadString(HKEY_LOCAL_MACHINE, kStripServerKey, nullptr, OwnView());
    const std::wstring regsvr32_folder = watch.Stop();
    SetCurrentDirectoryW(before);
    checks.Check(addin != nullptr, "the add-in is created");

    const std::vector<char> written = FileBytes(installed);
    const std::vector<char> carried = CarriedModule(dll_path);
    checks.Check(!carried.empty() && written == carried,
                 other_there ? "the other bitness's module in the system directory is replaced "
                               "by the carried one, byte for byte"
                             : "the file in the system directory is replaced by the carried "
                               "module, byte for byte",
                 Format("%zu bytes there, %zu carried", written.size(), carried.size()));
    checks.Check(!running && machine_server && SamePath(*machine_server, installed),
                 "regsvr32 has registered it machine-wide, and exited, before the creation "
                 "returns",
                 machine_server ? Narrow(*machine_server) : "no machine-wide class");
    checks.Info("regsvr32's current folder, read while it ran: " + Narrow(regsvr32_folder) +
                "; the test's own: " + Narrow(excel_folder));
    checks.Check(!regsvr32_folder.empty() && SamePath(regsvr32_folder, system),
                 "regsvr32 runs in the system directory, not in Excel's current folder",
                 "seen: " + Narrow(regsvr32_folder) + "; Excel's: " + Narrow(excel_folder));
    checks.Check(FileBytes(user_copy) == FileBytes(own), "the user's copy is left as it was");

    ExcelWindows windows;
    auto excel = ComPtr<FakeApplication>::Adopt(new FakeApplication(windows.Main()));
    SAFEARRAY* custom = nullptr;
    if (addin) addin->OnConnection(excel.Get(), kConnectAfterStartup, nullptr, &custom);
    PumpMessages(200);
    const std::vector<std::wstring> loaded = LoadedStripModules();
    bool system_loaded = false;
    bool user_loaded = false;
    std::string seen;
    for (const std::wstring& path : loaded) {
      system_loaded = system_loaded || SamePath(path, installed);
      user_loaded = user_loaded || SamePath(path, user_copy);
      seen += Narrow(path) + " ";
    }
    checks.Info("Zandrelix.ocx files mapped into the process: " + seen);
    checks.Check(system_loaded && !user_loaded,
                 "the bar's module is the system directory's; the user's copy is never mapped",
                 seen.empty() ? "no Zandrelix.ocx loaded" : seen);
    if (addin) addin->OnDisconnection(kDisconnectUserClosed, &custom);
    PumpMessages(100);
  }
  // Vestrano.dll stays loaded, as it would in Excel: the later checks count how often it
  // resolves each name, once per process.

  RunRegsvr32(installed, true);
  DeleteFileW(installed.c_str());
  // What regsvr32 /u left: the planted registrations, had the start-up not replaced them.
  for (const HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
    DeleteKeyTree(root, kStripClassKey, OwnView());
    DeleteKeyTree(root, kStripProgIdKey, 0);
  }
  DeleteFileW(user_copy.c_str());
  RemoveDirectoryW(user_folder.c_str());
  RemoveDirectoryW(user_folder.substr(0, user_folder.rfind(L'\\')).c_str());
  checks.Check(!KeyExists(HKEY_LOCAL_MACHINE, kStripClassKey, OwnView()) &&
                   !KeyExists(HKEY_CURRENT_USER, kStripClassKey, OwnView()) &&
                   GetFileAttributesW(installed.c_str()) == INVALID_FILE_ATTRIBUTES,
               "the module, its registrations and the planted copy are taken away again");
}

}  // namespace wine_test
