// Reads the ribbon markup that an add-in hands Excel, as far as Excel needs it to load the
// add-in's ribbon: the elements in document order with their attributes. Namespace prefixes are
// dropped from element names; character references and the five named entities are decoded.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vestrano::xlsim {

struct MarkupElement {
  std::string name;  // local name: "customUI", "checkBox"
  int depth = 0;     // 0 for the root
  std::map<std::string, std::string> attributes;

  // The attribute's value, or the empty string.
  std::string Attribute(std::string_view key) const;
};

// Empty when the markup is not well formed (an unclosed tag, a mismatched end tag, a stray
// character outside any tag but blanks, text or entities, several roots).
std::optional<std::vector<MarkupElement>> ParseMarkup(std::string_view markup);

// What Office calls back for a ribbon: the callbacks' names as the markup gives them.
struct RibbonCallbacks {
  std::string on_load;     // customUI onLoad
  std::string load_image;  // customUI loadImage
  // Every distinct image id that a control names with its `image` attribute, in order.
  std::vector<std::string> images;
  struct CheckBox {
    std::string id;
    std::string get_pressed;
    std::string on_action;
  };
  std::vector<CheckBox> check_boxes;
  struct Button {
    std::string id;
    std::string label;
    std::string on_action;
  };
  std::vector<Button> buttons;
};
RibbonCallbacks FindRibbonCallbacks(const std::vector<MarkupElement>& elements);

}  // namespace vestrano::xlsim
