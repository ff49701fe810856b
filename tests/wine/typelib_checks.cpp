// Type library checks through the registered library, as Office and VBA would load it.
#include "tests/wine/typelib_checks.h"

#include "addin/win32/vestrano_ids.h"
#include "host/win32/com_ptr.h"
#include "host/win32/variant.h"

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
  checks.Check(
      CompareStringOrdinal(registered.c_str(), -1, dll_path.c_str(), -1, TRUE) == CSTR_EQUAL,
      "the type library is registered at the DLL's path", Narrow(registered));

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

}  // namespace wine_test
