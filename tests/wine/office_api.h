// The Office interfaces as the test calls them, declared apart from the add-in's own
// declarations so that a wrong vtable order or IID in the add-in shows up as a failing check.
#pragma once

#include "host/win32/windows_api.h"

struct IDTExtensibility2 : public IDispatch {
  virtual HRESULT STDMETHODCALLTYPE OnConnection(IDispatch* application, int connect_mode,
                                                 IDispatch* addin_instance, SAFEARRAY** custom) = 0;
  virtual HRESULT STDMETHODCALLTYPE OnDisconnection(int remove_mode, SAFEARRAY** custom) = 0;
  virtual HRESULT STDMETHODCALLTYPE OnAddInsUpdate(SAFEARRAY** custom) = 0;
  virtual HRESULT STDMETHODCALLTYPE OnStartupComplete(SAFEARRAY** custom) = 0;
  virtual HRESULT STDMETHODCALLTYPE OnBeginShutdown(SAFEARRAY** custom) = 0;
};
__CRT_UUID_DECL(IDTExtensibility2, 0xB65AD801, 0xABAF, 0x11D0, 0xBB, 0x8B, 0x00, 0xA0, 0xC9, 0x0F,
                0x27, 0x44)

struct IRibbonExtensibility : public IDispatch {
  virtual HRESULT STDMETHODCALLTYPE GetCustomUI(BSTR ribbon_id, BSTR* ribbon_xml) = 0;
};
__CRT_UUID_DECL(IRibbonExtensibility, 0x000C0396, 0x0000, 0x0000, 0xC0, 0x00, 0x00, 0x00, 0x00,
                0x00, 0x00, 0x46)

namespace wine_test {

// Excel's AppEvents dispinterface and the DISPIDs of the events the test raises.
inline constexpr GUID kDiidAppEvents = {
    0x00024413, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
inline constexpr DISPID kEventSheetActivate = 0x619;
inline constexpr DISPID kEventWorkbookActivate = 0x620;
inline constexpr DISPID kEventWorkbookBeforeClose = 0x622;
inline constexpr DISPID kEventWorkbookBeforeSave = 0x623;

inline constexpr int kConnectAfterStartup = 0;
inline constexpr int kConnectExternal = 2;
inline constexpr int kDisconnectUserClosed = 1;

}  // namespace wine_test
