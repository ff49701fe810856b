// The options dialog keeps its designed layout: four frames stacked on the left, the previews
// to the right of the options, OK at the bottom right. The about box is laid out in the same
// units. Texts are the dialogs' own; the maker's lines name our project and a placeholder
// address.
#include "dialogs/win32/dialog_layout.h"

namespace vestrano::win32 {
namespace {

// A control inside a frame: its place is given relative to the frame.
constexpr ControlSpec In(const ControlSpec& frame, ControlSpec control) {
  control.left += frame.left;
  control.top += frame.top;
  return control;
}

constexpr int kOptionWidth = 1815;
constexpr int kRowHeight = 300;

constexpr ControlSpec kFrameTheme{kIdStatic, ControlKind::kFrame, L"外观风格", 120, 240, 5415,
                                  1815};
constexpr ControlSpec kFramePosition{
    kIdStatic + 1, ControlKind::kFrame, L"显示位置", 120, 2310, 5415, 1305};
constexpr ControlSpec kFrameTask{
    kIdStatic + 2, ControlKind::kFrame, L"显示所有窗口", 120, 3870, 5415, 765};
constexpr ControlSpec kFrame1{
    kIdStatic + 3, ControlKind::kFrame, L"关于 Vestrano v3.01 · Vestrano 项目", 120, 4890, 5415,
    1275};

constexpr ControlSpec kOptionControls[] = {
    kFrameTheme,
    In(kFrameTheme,
       {kIdOption1, ControlKind::kOption, L"清爽风格", 240, 360, kOptionWidth, kRowHeight, true}),
    In(kFrameTheme,
       {kIdOption2, ControlKind::kOption, L"豪华风格", 240, 840, kOptionWidth, kRowHeight}),
    In(kFrameTheme,
       {kIdOption5, ControlKind::kOption, L"清新风格", 240, 1260, kOptionWidth, kRowHeight}),
    In(kFrameTheme, {kIdPicture1, ControlKind::kPicture, L"", 2280, 600, 2775, 735, true}),
    kFramePosition,
    In(kFramePosition,
       {kIdOption3, ControlKind::kOption, L"工作区上方", 240, 360, kOptionWidth, kRowHeight, true}),
    In(kFramePosition,
       {kIdOption4, ControlKind::kOption, L"工作区下方", 240, 870, kOptionWidth, kRowHeight}),
    In(kFramePosition, {kIdPicture3, ControlKind::kPicture, L"", 2280, 360, 2775, 735, true}),
    kFrameTask,
    // The caption's "E" is its access key (Alt+E); the text shown is unchanged.
    In(kFrameTask, {kIdCheck1, ControlKind::kCheckBox, L" 在任务栏显示所有&Excel窗口", 240, 330,
                    3975, kRowHeight, true}),
    kFrame1,
    In(kFrame1, {kIdStatic + 4, ControlKind::kLabel, L"电子邮件：vestrano@example.com", 360, 270,
                 4900, 270, true}),
    In(kFrame1, {kIdStatic + 5, ControlKind::kLabel, L"问题与建议欢迎来信，更新请见下方网址。", 360,
                 570, 4900, 270}),
    In(kFrame1, {kIdStatic + 6, ControlKind::kLabel, L"我的博客:", 360, 870, 960, 270}),
    In(kFrame1, {kIdLabelblog, ControlKind::kLink, L"https://www.example.com/vestrano", 1320, 840,
                 3600, kRowHeight, true}),
    {IDOK, ControlKind::kButton, L"确 定", 4560, 6360, 975, 315, true},
};

constexpr ControlSpec kAboutControls[] = {
    {kIdStatic, ControlKind::kLabel, L"Excel多工作簿切换插件", 360, 300, 4680, 420, true, true},
    {kIdStatic + 1, ControlKind::kLabel,
     L"Vestrano 在 Excel 窗口里为每个打开的工作簿显示一个标签：单击标签切换工作簿，"
     L"双击关闭，右键打开常用命令。标签栏的位置和外观可在“Vestrano选项”中设置。",
     360, 840, 4680, 840},
    {kIdStatic + 2, ControlKind::kLabel, L"Vestrano v3.01，Vestrano 项目制作。", 360, 1770, 4680,
     270},
    {kIdStatic + 3, ControlKind::kLine, L"", 360, 2190, 4680, 30},
    {kIdStatic + 4, ControlKind::kLabel, L"联系方式：", 360, 2370, 1200, 270},
    {kIdStatic + 5, ControlKind::kLabel, L"电子邮件：vestrano@example.com", 1560, 2370, 3480, 270},
    {kIdStatic + 6, ControlKind::kLabel, L"问题反馈：请在邮件标题中写明 Vestrano", 1560, 2670, 3480,
     270},
    {kIdStatic + 7, ControlKind::kLabel, L"版本：3.01", 1560, 2970, 3480, 270},
    {kIdStatic + 8, ControlKind::kLabel, L"我的博客:", 360, 3360, 1200, 270},
    {kIdLabelblog, ControlKind::kLink, L"https://www.example.com/vestrano", 1560, 3330, 3480,
     kRowHeight, true},
    {IDOK, ControlKind::kButton, L"确 定", 4065, 3930, 975, 315, true},
};

constexpr DialogSpec kOptions{L"Vestrano选项", 5670, 6720, kOptionControls};
constexpr DialogSpec kAbout{L"关于Vestrano", 5400, 4470, kAboutControls};

}  // namespace

const DialogSpec& SpecFor(host::DialogKind kind) {
  return kind == host::DialogKind::kOptions ? kOptions : kAbout;
}

int ControlId(host::DialogControl control) {
  using host::DialogControl;
  switch (control) {
    case DialogControl::Option1:
      return kIdOption1;
    case DialogControl::Option2:
      return kIdOption2;
    case DialogControl::Option5:
      return kIdOption5;
    case DialogControl::Option3:
      return kIdOption3;
    case DialogControl::Option4:
      return kIdOption4;
    case DialogControl::Check1:
      return kIdCheck1;
    case DialogControl::Picture1:
      return kIdPicture1;
    case DialogControl::Picture3:
      return kIdPicture3;
    case DialogControl::cmdOK:
      return IDOK;
    case DialogControl::Labelblog:
      return kIdLabelblog;
  }
  return 0;
}

}  // namespace vestrano::win32
