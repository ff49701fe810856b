// The Office interfaces between Excel and its COM add-ins, as Office declares them (vtable order
// and IIDs): the add-in connection interface an add-in implements, the ribbon's extensibility
// entry point, and the ribbon objects that Office hands to the ribbon's callbacks. mingw-w64
// ships none of them; these are Office's side of the contract, declared for xlsim alone.
#pragma once

#include "host/win32/windows_api.h"

namespace vestrano::xlsim::win32 {

enum ConnectMode { kConnectAfterStartup = 0, kConnectStartup = 1, kConnectExternal = 2 };
enum DisconnectMode { kDisconnectHostShutdown = 0, kDisconnectUserClosed = 1 };

// MSADDNDR's _IDTExtensibility2, dual.
struct IDTExtensibility2 : public IDispatch {
  virtual HRESULT STDMETHODCALLTYPE OnConnection(IDispatch* application, int connect_mode,
                                                 IDispatch* addin_instance, SAFEARRAY** custom) = 0;
  virtual HRESULT STDMETHODCALLTYPE OnDisconnection(int remove_mode, SAFEARRAY** custom) = 0;
  virtual HRESULT STDMETHODCALLTYPE OnAddInsUpdate(SAFEARRAY** custom) = 0;
  virtual HRESULT STDMETHODCALLTYPE OnStartupComplete(SAFEARRAY** custom) = 0;
  virtual HRESULT STDMETHODCALLTYPE OnBeginShutdown(SAFEARRAY** custom) = 0;
};

struct IRibbonExtensibility : public IDispatch {
  virtual HRESULT STDMETHODCALLTYPE GetCustomUI(BSTR ribbon_id, BSTR* ribbon_xml) = 0;
};

// Office 2007 has the first two members; 2010 added the others.
struct IRibbonUI : public IDispatch {
  virtual HRESULT STDMETHODCALLTYPE Invalidate() = 0;
  virtual HRESULT STDMETHODCALLTYPE InvalidateControl(BSTR control_id) = 0;
  virtual HRESULT STDMETHODCALLTYPE InvalidateControlMso(BSTR control_id) = 0;
  virtual HRESULT STDMETHODCALLTYPE ActivateTab(BSTR control_id) = 0;
  virtual HRESULT STDMETHODCALLTYPE ActivateTabMso(BSTR control_id) = 0;
  virtual HRESULT STDMETHODCALLTYPE ActivateTabQ(BSTR control_id, BSTR name_space) = 0;
};

struct IRibbonControl : public IDispatch {
  virtual HRESULT STDMETHODCALLTYPE get_Id(BSTR* id) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Context(IDispatch** context) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Tag(BSTR* tag) = 0;
};

}  // namespace vestrano::xlsim::win32

__CRT_UUID_DECL(vestrano::xlsim::win32::IDTExtensibility2, 0xB65AD801, 0xABAF, 0x11D0, 0xBB, 0x8B,
                0x00, 0xA0, 0xC9, 0x0F, 0x27, 0x44)
__CRT_UUID_DECL(vestrano::xlsim::win32::IRibbonExtensibility, 0x000C0396, 0x0000, 0x0000, 0xC0,
                0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46)
__CRT_UUID_DECL(vestrano::xlsim::win32::IRibbonUI, 0x000C03A7, 0x0000, 0x0000, 0xC0, 0x00, 0x00,
                0x00, 0x00, 0x00, 0x00, 0x46)
__CRT_UUID_DECL(vestrano::xlsim::win32::IRibbonControl, 0x000C0395, 0x0000, 0x0000, 0xC0, 0x00,
                0x00, 0x00, 0x00, 0x00, 0x00, 0x46)
