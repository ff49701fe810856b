// The ribbon markup as xlsim reads it to find an add-in's callbacks: what a well-formed customUI
// document gives (prefixed names, either quote, references decoded, comments skipped), which
// documents are refused rather than half read, and which callbacks Office would call.
#include <gtest/gtest.h>

#include <string>

#include "xlsim/markup.h"

namespace vestrano::xlsim {
namespace {

TEST(XlsimMarkup, ReadsElementsAndAttributesOfAWellFormedDocument) {
  const auto elements = ParseMarkup(
      "<?xml version=\"1.0\"?>\n<!-- the add-in's menu -->\n"
      "<mso:customUI xmlns:mso='http://schemas.microsoft.com/office/2006/01/customui' "
      "onLoad = \"Ribbon_Load\"><mso:ribbon><mso:officeMenu>"
      "<mso:menu id=\"m\" label=\"A &amp; B &#x6807;&#31614; &quot;q&quot; &lt;&gt;&apos;\">"
      "<mso:checkBox id=\"c\"/></mso:menu></mso:officeMenu></mso:ribbon></mso:customUI>  \n");
  ASSERT_TRUE(elements);
  ASSERT_EQ(elements->size(), 5u);
  EXPECT_EQ((*elements)[0].name, "customUI");
  EXPECT_EQ((*elements)[0].depth, 0);
  EXPECT_EQ((*elements)[0].Attribute("onLoad"), "Ribbon_Load");
  EXPECT_EQ((*elements)[3].name, "menu");
  EXPECT_EQ((*elements)[3].Attribute("label"), "A & B 标签 \"q\" <>'");
  EXPECT_EQ((*elements)[4].name, "checkBox");
  EXPECT_EQ((*elements)[4].depth, 4);
  EXPECT_EQ((*elements)[4].Attribute("missing"), "");
}

TEST(XlsimMarkup, RefusesWhatIsNotWellFormed) {
  for (const char* bad :
       {"", "   ", "<a>", "<a></b>", "<a/><b/>", "text<a/>", "<a x=\"1\" x=\"2\"/>", "<a x=1/>",
        "<a x=\"1\"y=\"2\"/>", "<a x=\"&bogus;\"/>", "<a x=\"&#0;\"/>", "<a x=\"&#xD800;\"/>",
        "<a x=\"<\"/>", "<a><!-- open </a>", "<a x=\"unclosed/>", "</a>", "<a/></a>"}) {
    EXPECT_FALSE(ParseMarkup(bad)) << bad;
  }
  EXPECT_TRUE(ParseMarkup("<a>text &amp; more > here<b/></a>"));
}

TEST(XlsimMarkup, FindsTheCallbacksOfficeCalls) {
  const auto elements = ParseMarkup(
      "<customUI xmlns=\"http://schemas.microsoft.com/office/2006/01/customui\" "
      "loadImage=\"loadImage\" onLoad=\"rxcustomUI_onLoad\"><ribbon><officeMenu>"
      "<menu id=\"Vestrano\" label=\"Vestrano\" image=\"get101\" itemSize=\"large\">"
      "<menuSeparator id=\"Vestranov3\" title=\"Vestrano v3.0\"/>"
      "<checkBox id=\"Vestranovisible\" getPressed=\"getPressed\" onAction=\"OnAction\"/>"
      "<button id=\"VestranoOpTion\" image=\"get101\" onAction=\"OptionMenu\"/>"
      "<button id=\"VestranoAbout\" label=\"关于Vestrano\" image=\"other\" "
      "onAction=\"AboutMenu\"/>"
      "</menu></officeMenu></ribbon></customUI>");
  ASSERT_TRUE(elements);
  const RibbonCallbacks found = FindRibbonCallbacks(*elements);
  EXPECT_EQ(found.on_load, "rxcustomUI_onLoad");
  EXPECT_EQ(found.load_image, "loadImage");
  EXPECT_EQ(found.images, (std::vector<std::string>{"get101", "other"}));
  ASSERT_EQ(found.check_boxes.size(), 1u);
  EXPECT_EQ(found.check_boxes[0].id, "Vestranovisible");
  EXPECT_EQ(found.check_boxes[0].get_pressed, "getPressed");
  EXPECT_EQ(found.check_boxes[0].on_action, "OnAction");
  ASSERT_EQ(found.buttons.size(), 2u);
  EXPECT_EQ(found.buttons[1].id, "VestranoAbout");
  EXPECT_EQ(found.buttons[1].label, "关于Vestrano");
  EXPECT_EQ(found.buttons[1].on_action, "AboutMenu");
}

}  // namespace
}  // namespace vestrano::xlsim
