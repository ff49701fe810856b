// Type library checks through the registered library, as Office and VBA would load it, and of
// registration going ahead when the DLL carries no library.
#include "tests/wine/typelib_checks.h"

#include <optional>
#include <vector>

#include "addin/win32/vestrano_ids.h"
#include "host/win32/com_ptr.h"
#include "host/win32/variant.h"
#include "tests/wine/registry_checks.h"

namespace wine_test {
namespace {

using vestrano::win32::ComPtr;
using vestrano::win32::kClsidVestranov3;
using vestrano::win32::kDiidVestranov3;
using vestrano::win32::kLibidExcelOrlendix;
using vestrano::win32::UniqueBstr;

// The DISPIDs that the library gives the by-name members, as GetIDsOfNames finds them.
void CheckMemberIds(Checks& checks, ITypeInfo* dispatch) {
  struct Expected {
    const wchar_t* name;
    DISPID id;
  };
  constexpr Expected kExpected[] = {
      {L"moRibbon", VESTRANO_DISPID_MORIBBON},
      {L"GetRibbonXML", VESTRANO_DISPID_GETRIBBONXML},
      {L"loadImage", VESTRANO_DISPID_LOADIMAGE},
      {L"rxcustomUI_onLoad", VESTRANO_DISPID_RXCUSTOMUI_ONLOAD},
      {L"GetPressed", VESTRANO_DISPID_GETPRESSED},
      {L"OnAction", VESTRANO_DISPID_ONACTION},
      {L"AboutMenu", VESTRANO_DISPID_ABOUTMENU},
      {L"OptionMenu", VESTRANO_DISPID_OPTIONMENU},
  };
  std::string wrong;
  for (const auto& member : kExpected) {
    std::wstring name = member.name;
    LPOLESTR names[] = {name.data()};
    MEMBERID id = MEMBERID_NIL;
    if (FAILED(dispatch->GetIDsOfNames(names, 1, &id)) || id != member.id) {
      wrong += ' ';
      wrong += Narrow(member.name);
    }
  }
  checks.Check(wrong.empty(), "the type library's _Vestranov3 has every by-name member",
               "wrong or missing:" + wrong);

  // GetPressed answers an Automation Boolean, which VBA and type library viewers rely on.
  ComPtr<ITypeInfo2> info;
  dispatch->QueryInterface(IID_ITypeInfo2, info.PutVoid());
  UINT index = 0;
  FUNCDESC* function = nullptr;
  VARTYPE returned = VT_EMPTY;
  if (info &&
      SUCCEEDED(info->GetFuncIndexOfMemId(VESTRANO_DISPID_GETPRESSED, INVOKE_FUNC, &index)) &&
      SUCCEEDED(dispatch->GetFuncDesc(index, &function))) {
    returned = function->elemdescFunc.tdesc.vt;
    dispatch->ReleaseFuncDesc(function);
  }
  checks.Check(returned == VT_BOOL, "the type library's GetPressed returns VARIANT_BOOL",
               Format("VARTYPE %u", returned));
}

// A copy of the DLL in `folder` without its TYPELIB resource, as a damaged or trimmed file would
// be; or what went wrong.
struct Copy {
  std::wstring path;
  std::string error;
};
Copy CopyWithoutTypeLib(const std::wstring& dll_path, const std::wstring& folder) {
  CreateDirectoryW(folder.c_str(), nullptr);
  Copy copy{folder + L"\\Vestrano.dll", {}};
  if (!CopyFileW(dll_path.c_str(), copy.path.c_str(), FALSE)) {
    copy.error = Format("CopyFileW failed with %lu", GetLastError());
    return copy;
  }
  // Every resource goes, and the version record comes back: Wine 8.0 does not remove a single
  // resource, which UpdateResourceW with no data would do on Windows.
  std::vector<char> version;
  if (const HMODULE original =
          LoadLibraryExW(dll_path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE)) {
    const HRSRC found = FindResourceW(original, MAKEINTRESOURCEW(VS_VERSION_INFO), RT_VERSION);
    const auto* data =
        found ? static_cast<const char*>(LockResource(LoadResource(original, found))) : nullptr;
    if (data) version.assign(data, data + SizeofResource(original, found));
    FreeLibrary(original);
  }
  HANDLE update = BeginUpdateResourceW(copy.path.c_str(), TRUE);
  if (version.empty() || !update) {
    copy.error =
        Format("no version record, or BeginUpdateResourceW failed with %lu", GetLastError());
    return copy;
  }
  const BOOL added = UpdateResourceW(update, RT_VERSION, MAKEINTRESOURCEW(VS_VERSION_INFO),
                                     MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), version.data(),
                                     static_cast<DWORD>(version.size()));
  if (!EndUpdateResourceW(update, added ? FALSE : TRUE) || !added) {
    copy.error = Format("rewriting the resources failed with %lu", GetLastError());
  }
  ComPtr<ITypeLib> embedded;
  if (copy.error.empty() &&
      SUCCEEDED(LoadTypeLibEx(copy.path.c_str(), REGKIND_NONE, embedded.Put()))) {
    copy.error = "the copy's type library still loads";
  }
  return copy;
}

std::wstring TempFolder() {
  wchar_t temp[MAX_PATH];
  const DWORD length = GetTempPathW(MAX_PATH, temp);
  return std::wstring(temp, length) + L"vestrano-wine-test-" +
         std::to_wstring(GetCurrentProcessId());
}

}  // namespace

void CheckTypeLibRegistered(Checks& checks, const std::wstring& dll_path) {
  ComPtr<ITypeLib> library;
  const HRESULT hr = LoadRegTypeLib(kLibidExcelOrlendix, 1, 0, 0, library.Put());
  if (!checks.Check(SUCCEEDED(hr), "the type library loads through its LIBID, version 1.0",
                    Format("hr 0x%08lx", static_cast<unsigned long>(hr)))) {
    return;
  }
  UniqueBstr name;
  UniqueBstr help;
  library->GetDocumentation(-1, name.Put(), help.Put(), nullptr, nullptr);
  checks.Check(name.View() == L"ExcelOrlendix", "the type library is named ExcelOrlendix",
               Narrow(name.View()));
  checks.Check(help.View() == L"the ComAdding of Orlendixs for Microsoft Office Excel ",
               "the type library's help string, trailing blank included",
               Format("\"%s\"", Narrow(help.View()).c_str()));

  UniqueBstr path;
  QueryPathOfRegTypeLib(kLibidExcelOrlendix, 1, 0, 0, path.Put());
  std::wstring registered(path.View());
  while (!registered.empty() && registered.back() == L'\0') registered.pop_back();
  checks.Check(SamePath(registered, dll_path), "the type library is registered at the DLL's path",
               Narrow(registered));

  // Only our two types: a copy of IDispatch or IUnknown in the library would take over their
  // registration and be removed with it.
  checks.Check(library->GetTypeInfoCount() == 2,
               "the type library holds the class and its dispatch interface only",
               Format("%u types", library->GetTypeInfoCount()));

  ComPtr<ITypeInfo> coclass;
  UniqueBstr class_name;
  if (SUCCEEDED(library->GetTypeInfoOfGuid(kClsidVestranov3, coclass.Put()))) {
    coclass->GetDocumentation(MEMBERID_NIL, class_name.Put(), nullptr, nullptr, nullptr);
  }
  checks.Check(class_name.View() == L"Vestranov3", "the library's class Vestranov3 has the CLSID");

  ComPtr<ITypeInfo> dispatch;
  TYPEATTR* attributes = nullptr;
  bool is_dispinterface = false;
  if (SUCCEEDED(library->GetTypeInfoOfGuid(kDiidVestranov3, dispatch.Put())) &&
      SUCCEEDED(dispatch->GetTypeAttr(&attributes))) {
    is_dispinterface = attributes->typekind == TKIND_DISPATCH;
    dispatch->ReleaseTypeAttr(attributes);
  }
  if (checks.Check(is_dispinterface, "the library's _Vestranov3 is a dispatch interface")) {
    CheckMemberIds(checks, dispatch.Get());
  }
}

void CheckTypeLibUnregistered(Checks& checks) {
  ComPtr<ITypeLib> library;
  checks.Check(FAILED(LoadRegTypeLib(kLibidExcelOrlendix, 1, 0, 0, library.Put())),
               "the type library no longer loads through its LIBID");
}

void CheckRegistrationWithoutTypeLib(Checks& checks, const std::wstring& dll_path) {
  const std::wstring folder = TempFolder();
  const auto made = CopyWithoutTypeLib(dll_path, folder);
  if (!checks.Check(made.error.empty(), "made a copy of the DLL without its type library",
                    made.error)) {
    DeleteFileW(made.path.c_str());
    RemoveDirectoryW(folder.c_str());
    return;
  }
  const std::wstring& copy = made.path;
  std::string reported;
  const auto registered = RunRegsvr32(copy, false, &reported);
  checks.Check(registered == 0u, "regsvr32 registers a copy without a type library",
               registered ? Format("exit code %lu", *registered) : "regsvr32 did not start");
  const auto server = ReadString(HKEY_CURRENT_USER, kServerKey, nullptr, OwnView());
  checks.Check(server && SamePath(*server, copy),
               "without a type library, the class is registered at the copy's path",
               server ? Narrow(*server) : "missing");
  checks.Check(ReadString(HKEY_CURRENT_USER, kProgIdKey + L"\\CLSID", nullptr) ==
                       std::wstring(vestrano::win32::kClsidText) &&
                   ReadString(HKEY_CURRENT_USER, kAddinKey, L"FriendlyName") ==
                       std::wstring(L"Vestrano v3.0"),
               "without a type library, the ProgID and Excel's add-in record are registered");
  checks.Check(!KeyExists(HKEY_CURRENT_USER, kClassKey + L"\\TypeLib", OwnView()),
               "the class names no type library when none was registered");
  CheckTypeLibUnregistered(checks);
  checks.Check(reported.find("Vestrano: DllRegisterServer: the type library was not registered") !=
                   std::string::npos,
               "registration reported the type library's failure to the debugger",
               reported.empty() ? "nothing reported" : reported);

  const auto unregistered = RunRegsvr32(copy, true);
  checks.Check(unregistered == 0u, "regsvr32 /u unregisters the copy without a type library",
               unregistered ? Format("exit code %lu", *unregistered) : "regsvr32 did not start");
  CheckUnregistered(checks);
  DeleteFileW(copy.c_str());
  checks.Check(RemoveDirectoryW(folder.c_str()) != 0, "removed the copy without a type library");
}

}  // namespace wine_test
