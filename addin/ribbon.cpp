// The ribbon markup, written as one line with no whitespace between elements, and the ribbon
// callbacks of the add-in class: the check box that shows or hides the bar, and the two buttons
// that open the dialogs. The callbacks trap no errors: a step that fails ends the callback and
// the failure goes back to Office.
#include "addin/ribbon.h"

#include "addin/addin.h"
#include "core/host_version.h"
#include "core/shared_state.h"
#include "dialogs/maker.h"
#include "dialogs/show_dialog.h"
#include "menus/workbook_commands.h"

namespace vestrano {
namespace {

// Excel 2010 replaced the Office-button menu with the File tab.
constexpr double kFirstBackstageVersion = 14;

std::string CheckBox(std::string_view help_attribute) {
  return std::string("<checkBox id=\"Vestranovisible\" label=\"显示Vestrano标签栏\" ") +
         std::string(help_attribute) +
         "=\"点击既可以切换是否显示Vestrano标签栏\" getPressed=\"getPressed\" "
         "onAction=\"OnAction\"/>";
}

std::string Buttons(std::string_view help_attribute, std::string_view extra) {
  const std::string help(help_attribute);
  return "<button id=\"VestranoOpTion\" label=\"Vestrano选项\" " + help +
         "=\"自定义Vestrano标签栏外观及显示位置。\" image=\"get101\" " + std::string(extra) +
         "onAction=\"OptionMenu\"/>"
         "<button id=\"VestranoAbout\" label=\"关于Vestrano\" " +
         help + "=\"Vestrano v3.0，" + std::string(kMakerName) + "出品，联系：" +
         std::string(kMakerMail) + "\" image=\"get101\" " + std::string(extra) +
         "onAction=\"AboutMenu\"/>";
}

std::string OfficeMenuXml() {
  return "<customUI xmlns=\"http://schemas.microsoft.com/office/2006/01/customui\" "
         "loadImage=\"loadImage\" onLoad=\"rxcustomUI_onLoad\"><ribbon><officeMenu>"
         "<menu id=\"Vestrano\" label=\"Vestrano\" image=\"get101\" itemSize=\"large\">"
         "<menuSeparator id=\"Vestranov3\" title=\"Vestrano v3.0\"/>" +
         CheckBox("description") + Buttons("description", "") +
         "</menu></officeMenu></ribbon></customUI>";
}

// A group beside Excel's own window commands (new window, arrange, switch windows).
std::string ViewTabXml() {
  return "<customUI xmlns=\"http://schemas.microsoft.com/office/2009/07/customui\" "
         "loadImage=\"loadImage\" onLoad=\"rxcustomUI_onLoad\"><ribbon><tabs>"
         "<tab idMso=\"TabView\"><group id=\"Vestrano\" label=\"Vestrano\" image=\"get101\" "
         "insertAfterMso=\"GroupWindow\">" +
         CheckBox("supertip") + Buttons("supertip", "size=\"large\" ") +
         "</group></tab></tabs></ribbon></customUI>";
}

}  // namespace

std::string RibbonXmlFor(std::optional<double> version) {
  return version && *version >= kFirstBackstageVersion ? ViewTabXml() : OfficeMenuXml();
}

bool IsRibbonImage(std::string_view image_id) {
  return image_id == kRibbonImageId;
}

std::string Vestranov3::GetRibbonXML() const {
  return RibbonXmlFor(ReadHostVersion());
}

bool Vestranov3::GetPressed() const {
  return Shared().bTabShow == 0;
}

bool Vestranov3::OnAction(bool pressed) {
  // Office may call after disconnection: nothing may be attached to Excel then.
  return !connected_ || ApplyTabShowChoice(pressed);
}

bool Vestranov3::OptionMenu() {
  return connected_ && ShowOptionDialog();
}

bool Vestranov3::AboutMenu() {
  return connected_ && ShowAboutDialog();
}

}  // namespace vestrano
