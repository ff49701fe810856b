/* The identifiers of the add-in's COM server: the class, the type library and its dispatch
 * interface, and the DISPIDs of the members that Office calls by name. The type library source
 * (resources/vestrano.idl) includes this file too, so each identifier is written once; that is
 * why the GUIDs are bare macros here. */
#ifndef VESTRANO_ADDIN_WIN32_VESTRANO_IDS_H_
#define VESTRANO_ADDIN_WIN32_VESTRANO_IDS_H_

/* The GUIDs must keep their spelling, blanks would end up inside the text. */
/* clang-format off */
#define VESTRANO_LIBID 761DC5A8-CBD5-4767-BEB6-10C5154FD842
#define VESTRANO_CLSID E97D5E8A-D225-4BF9-9877-C78A39ED3FD2
#define VESTRANO_DIID 5CEB0911-39DA-4487-A6B0-F99E724A2E4E
/* clang-format on */

#define VESTRANO_DISPID_MORIBBON 0x40030000
#define VESTRANO_DISPID_GETRIBBONXML 0x60030000
#define VESTRANO_DISPID_LOADIMAGE 0x60030001
#define VESTRANO_DISPID_RXCUSTOMUI_ONLOAD 0x60030002
#define VESTRANO_DISPID_GETPRESSED 0x60030003
#define VESTRANO_DISPID_ONACTION 0x60030004
#define VESTRANO_DISPID_ABOUTMENU 0x60030005
#define VESTRANO_DISPID_OPTIONMENU 0x60030006

#ifdef __cplusplus

#include "host/win32/windows_api.h"

#define VESTRANO_STRINGIZE_(x) #x
#define VESTRANO_STRINGIZE(x) VESTRANO_STRINGIZE_(x)

namespace vestrano::win32 {

// "xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx" to a GUID, at compile time.
constexpr unsigned HexDigit(char c) {
  return c >= '0' && c <= '9'   ? static_cast<unsigned>(c - '0')
         : c >= 'A' && c <= 'F' ? static_cast<unsigned>(c - 'A' + 10)
         : c >= 'a' && c <= 'f' ? static_cast<unsigned>(c - 'a' + 10)
                                : throw "not a GUID";
}
constexpr unsigned long HexField(const char* text, int digits) {
  unsigned long value = 0;
  for (int i = 0; i < digits; ++i) value = value * 16 + HexDigit(text[i]);
  return value;
}
constexpr GUID ParseGuid(const char (&text)[37]) {
  if (text[8] != '-' || text[13] != '-' || text[18] != '-' || text[23] != '-') throw "not a GUID";
  GUID guid{HexField(text, 8),
            static_cast<unsigned short>(HexField(text + 9, 4)),
            static_cast<unsigned short>(HexField(text + 14, 4)),
            {}};
  constexpr int kTail[8] = {19, 21, 24, 26, 28, 30, 32, 34};
  for (int i = 0; i < 8; ++i)
    guid.Data4[i] = static_cast<unsigned char>(HexField(text + kTail[i], 2));
  return guid;
}

inline constexpr GUID kLibidExcelOrlendix = ParseGuid(VESTRANO_STRINGIZE(VESTRANO_LIBID));
inline constexpr GUID kClsidVestranov3 = ParseGuid(VESTRANO_STRINGIZE(VESTRANO_CLSID));
inline constexpr GUID kDiidVestranov3 = ParseGuid(VESTRANO_STRINGIZE(VESTRANO_DIID));

// Registry spellings, with braces.
inline constexpr wchar_t kLibidText[] = L"{" VESTRANO_STRINGIZE(VESTRANO_LIBID) "}";
inline constexpr wchar_t kClsidText[] = L"{" VESTRANO_STRINGIZE(VESTRANO_CLSID) "}";

inline constexpr WORD kTypeLibMajor = 1;
inline constexpr WORD kTypeLibMinor = 0;

}  // namespace vestrano::win32

#endif  // __cplusplus
#endif  // VESTRANO_ADDIN_WIN32_VESTRANO_IDS_H_
