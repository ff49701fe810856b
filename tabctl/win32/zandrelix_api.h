// The COM face of our tab strip module "Zandrelix.ocx": the class, the strip's interface with
// the members the tab bar uses, its items, and the interface through which the strip raises its
// three events to whoever hosts it. Plain vtable interfaces (no type library, no ActiveX
// container): the module and the add-in both include this file. Never change a published
// interface; add a new one instead.
#pragma once

#include "host/win32/windows_api.h"

namespace vestrano::tabctl {

inline constexpr wchar_t kTabStripProgId[] = L"Zandrelix.TabStrip";
inline constexpr wchar_t kTabStripClsidText[] = L"{4B516A82-9537-463A-ABEE-31811B641E99}";
inline constexpr CLSID kClsidTabStrip = {
    0x4B516A82, 0x9537, 0x463A, {0xAB, 0xEE, 0x31, 0x81, 0x1B, 0x64, 0x1E, 0x99}};
// The module's file name, as the add-in installs it in the system directory.
inline constexpr wchar_t kModuleFileName[] = L"Zandrelix.ocx";
// A registered window message that the strip's window answers for whoever reads the row from
// outside (a test, an automation tool), beside the accessible tree, which has no place for a
// tab's icon: wParam the 0-based item index; the result the item's image index, -1 when the item
// has none or does not exist.
inline constexpr wchar_t kItemImageMessage[] = L"Zandrelix.TabStrip.ItemImage";

// Appearances and paint settings use the values of the tab bar's settings (host/tab_control.h).
struct ITabStripItem : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE get_Caption(BSTR* caption) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_Caption(BSTR caption) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_ToolTip(BSTR* tooltip) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_ToolTip(BSTR tooltip) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Image(LONG* image) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_Image(LONG image) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Selected(VARIANT_BOOL* selected) = 0;
  // VARIANT_TRUE selects the item and raises SelectedChanged before returning.
  virtual HRESULT STDMETHODCALLTYPE put_Selected(VARIANT_BOOL selected) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Index(LONG* index) = 0;
};

struct ITabStripEvents : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE BeforeItemClick(ITabStripItem* item, VARIANT_BOOL* cancel) = 0;
  virtual HRESULT STDMETHODCALLTYPE SelectedChanged(ITabStripItem* item) = 0;
  // Button 1 left, 2 right, 4 middle; shift 1 Shift, 2 Ctrl, 4 Alt; x and y in the strip's client
  // pixels, the units HitTest takes.
  virtual HRESULT STDMETHODCALLTYPE MouseUp(SHORT button, SHORT shift, FLOAT x, FLOAT y) = 0;
};

struct ITabStrip : public IUnknown {
  // Makes the strip's window, a child of `parent`; once per object.
  virtual HRESULT STDMETHODCALLTYPE Attach(ULONG_PTR parent, ULONG_PTR* window) = 0;
  // The events go to `sink` (null: to nobody); the strip holds a reference until replaced.
  virtual HRESULT STDMETHODCALLTYPE Advise(ITabStripEvents* sink) = 0;
  virtual HRESULT STDMETHODCALLTYPE RemoveAll() = 0;
  virtual HRESULT STDMETHODCALLTYPE get_ItemCount(LONG* count) = 0;
  // Writing n makes the row n items long, new items empty.
  virtual HRESULT STDMETHODCALLTYPE put_ItemCount(LONG count) = 0;
  // 0-based; S_FALSE and null when out of range.
  virtual HRESULT STDMETHODCALLTYPE Item(LONG index, ITabStripItem** item) = 0;
  // S_FALSE and null when no item is selected.
  virtual HRESULT STDMETHODCALLTYPE get_Selected(ITabStripItem** item) = 0;
  // S_FALSE and null over the empty strip or the scroll arrows.
  virtual HRESULT STDMETHODCALLTYPE HitTest(LONG x, LONG y, ITabStripItem** item) = 0;
  // A comctl32 image list whose images the items' Image indexes name; the caller keeps it alive
  // while the strip uses it. Its images should be IconSize pixels square.
  virtual HRESULT STDMETHODCALLTYPE SetImageList(ULONG_PTR image_list) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_IconSize(LONG* pixels) = 0;
  // 7 Excel-style sheet tabs, 11 Access 2007 property-page tabs, 3 Office 2003 property-page
  // tabs. The control's Appearance and its paint manager's are one setting.
  virtual HRESULT STDMETHODCALLTYPE put_Appearance(LONG appearance) = 0;
  // 1 default colouring, 4 Office 2003 colouring.
  virtual HRESULT STDMETHODCALLTYPE put_Color(LONG color) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_DisableLunaColors(VARIANT_BOOL disable) = 0;
  // 0 tabs at the top edge, 2 at the bottom edge.
  virtual HRESULT STDMETHODCALLTYPE put_Position(LONG position) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_ShowIcons(VARIANT_BOOL show) = 0;
  // The colour set, as COLORREF values.
  virtual HRESULT STDMETHODCALLTYPE put_HeaderFaceLight(COLORREF color) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_HeaderFaceDark(COLORREF color) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_ButtonNormal(COLORREF color) = 0;
  // Placement inside the parent, in twips; converted with PixelsPerInch.
  virtual HRESULT STDMETHODCALLTYPE get_Left(DOUBLE* twips) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_Left(DOUBLE twips) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Width(DOUBLE* twips) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_Width(DOUBLE twips) = 0;
  // The screen's pixels per inch, which the strip converts twips with.
  virtual HRESULT STDMETHODCALLTYPE get_PixelsPerInch(LONG* dpi) = 0;
  // Repaints now.
  virtual HRESULT STDMETHODCALLTYPE Refresh() = 0;
};

}  // namespace vestrano::tabctl

__CRT_UUID_DECL(vestrano::tabctl::ITabStripItem, 0x66BD1BA8, 0x3DA0, 0x4B50, 0xA0, 0xE2, 0xA5, 0x49,
                0xCA, 0x2E, 0x41, 0x2A)
__CRT_UUID_DECL(vestrano::tabctl::ITabStripEvents, 0xA7B67C55, 0xE120, 0x4780, 0x9C, 0x7C, 0x3C,
                0x3C, 0x7D, 0x7B, 0xED, 0x73)
__CRT_UUID_DECL(vestrano::tabctl::ITabStrip, 0x1883B2FB, 0x8928, 0x4B36, 0xA7, 0x43, 0x11, 0x03,
                0x0E, 0x9D, 0x3D, 0xEB)
