// The two dialogs as they are laid out: each control's id, kind, caption and place in twips
// (converted to pixels at the screen's resolution when the dialog is made), in tab order. The
// ids are stable, so that a test program driving the real dialogs can find the controls.
#pragma once

#include <span>

#include "host/dialogs.h"
#include "host/win32/windows_api.h"

namespace vestrano::win32 {

// Control ids. OK is IDOK, so that Enter presses it; Esc and the close box send IDCANCEL.
inline constexpr int kIdOption1 = 1001;
inline constexpr int kIdOption2 = 1002;
inline constexpr int kIdOption3 = 1003;
inline constexpr int kIdOption4 = 1004;
inline constexpr int kIdOption5 = 1005;
inline constexpr int kIdCheck1 = 1006;
inline constexpr int kIdPicture1 = 1011;
inline constexpr int kIdPicture3 = 1013;
inline constexpr int kIdLabelblog = 1020;
// Frames, labels and the line: ids from here on, never looked up.
inline constexpr int kIdStatic = 1100;

enum class ControlKind {
  kFrame,   // a group box
  kOption,  // an option button; the first of a group starts the group
  kCheckBox,
  kPicture,  // a preview, drawn by the dialog
  kLabel,    // static text, possibly several lines
  kLink,     // the web address: blue, underlined, reached with Tab, opened with Enter or a click
  kLine,     // an etched separator
  kButton,   // the OK button
};

struct ControlSpec {
  int id;
  ControlKind kind;
  const wchar_t* text;
  // Left, top, width and height in twips, in the dialog's client coordinates.
  int left, top, width, height;
  bool group_start = false;
  bool emphasis = false;  // the about box's title: larger and bold
};

struct DialogSpec {
  const wchar_t* title;
  int client_width;  // twips
  int client_height;
  std::span<const ControlSpec> controls;
};

const DialogSpec& SpecFor(host::DialogKind kind);
// The control id of a control the logic names; 0 when the dialog has none.
int ControlId(host::DialogControl control);

}  // namespace vestrano::win32
