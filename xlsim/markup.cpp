// A small reader of the XML that ribbon markup is: tags, attributes in either quote, comments,
// processing instructions, text between tags (which the ribbon has none of but may contain
// blanks). Anything else is refused rather than guessed at.
#include "xlsim/markup.h"

#include <algorithm>
#include <cstdint>

namespace vestrano::xlsim {
namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool IsNameChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
         c == ':' || c == '-' || c == '.' || static_cast<unsigned char>(c) >= 0x80;
}

void AppendUtf8(std::string& out, std::uint32_t code) {
  if (code < 0x80) {
    out.push_back(static_cast<char>(code));
  } else if (code < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (code >> 6)));
    out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
  } else if (code < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (code >> 12)));
    out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (code >> 18)));
    out.push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
  }
}

// Decodes the references in an attribute value; empty when one is malformed.
std::optional<std::string> Decode(std::string_view raw) {
  std::string out;
  for (std::size_t i = 0; i < raw.size();) {
    if (raw[i] != '&') {
      out.push_back(raw[i++]);
      continue;
    }
    const auto end = raw.find(';', i);
    if (end == std::string_view::npos) return std::nullopt;
    const std::string_view entity = raw.substr(i + 1, end - i - 1);
    i = end + 1;
    if (entity == "amp") {
      out.push_back('&');
    } else if (entity == "lt") {
      out.push_back('<');
    } else if (entity == "gt") {
      out.push_back('>');
    } else if (entity == "quot") {
      out.push_back('"');
    } else if (entity == "apos") {
      out.push_back('\'');
    } else if (entity.size() > 1 && entity[0] == '#') {
      const bool hex = entity[1] == 'x' || entity[1] == 'X';
      const std::string_view digits = entity.substr(hex ? 2 : 1);
      if (digits.empty() || digits.size() > 8) return std::nullopt;
      std::uint32_t code = 0;
      for (char c : digits) {
        int value = -1;
        if (c >= '0' && c <= '9') value = c - '0';
        if (hex && c >= 'a' && c <= 'f') value = c - 'a' + 10;
        if (hex && c >= 'A' && c <= 'F') value = c - 'A' + 10;
        if (value < 0) return std::nullopt;
        code = code * (hex ? 16 : 10) + static_cast<std::uint32_t>(value);
      }
      if (code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return std::nullopt;
      AppendUtf8(out, code);
    } else {
      return std::nullopt;
    }
  }
  return out;
}

std::string LocalName(std::string_view name) {
  const auto colon = name.rfind(':');
  return std::string(colon == std::string_view::npos ? name : name.substr(colon + 1));
}

}  // namespace

std::string MarkupElement::Attribute(std::string_view key) const {
  const auto found = attributes.find(std::string(key));
  return found == attributes.end() ? std::string() : found->second;
}

std::optional<std::vector<MarkupElement>> ParseMarkup(std::string_view xml) {
  std::vector<MarkupElement> elements;
  std::vector<std::string> open;  // the full names of the elements not yet closed
  bool root_closed = false;
  std::size_t i = 0;
  const auto skip_blanks = [&] {
    while (i < xml.size() && IsBlank(xml[i])) ++i;
  };
  const auto read_name = [&] {
    const std::size_t start = i;
    while (i < xml.size() && IsNameChar(xml[i])) ++i;
    return xml.substr(start, i - start);
  };
  while (i < xml.size()) {
    if (xml[i] != '<') {
      // Text belongs inside the root; outside it only blanks may stand.
      if (open.empty() && !IsBlank(xml[i])) return std::nullopt;
      ++i;
      continue;
    }
    if (xml.substr(i, 4) == "<!--") {
      const auto end = xml.find("-->", i + 4);
      if (end == std::string_view::npos) return std::nullopt;
      i = end + 3;
      continue;
    }
    if (xml.substr(i, 2) == "<?") {
      const auto end = xml.find("?>", i + 2);
      if (end == std::string_view::npos) return std::nullopt;
      i = end + 2;
      continue;
    }
    if (xml.substr(i, 2) == "</") {
      i += 2;
      const std::string_view name = read_name();
      skip_blanks();
      if (open.empty() || name != open.back() || i >= xml.size() || xml[i] != '>') {
        return std::nullopt;
      }
      ++i;
      open.pop_back();
      root_closed = open.empty();
      continue;
    }
    ++i;
    const std::string_view name = read_name();
    if (name.empty() || (open.empty() && root_closed)) return std::nullopt;
    MarkupElement element{LocalName(name), static_cast<int>(open.size()), {}};
    for (;;) {
      const std::size_t before = i;
      skip_blanks();
      if (i >= xml.size()) return std::nullopt;
      if (xml[i] == '>' || xml.substr(i, 2) == "/>") break;
      if (i == before) return std::nullopt;  // attributes are separated by blanks
      const std::string_view key = read_name();
      skip_blanks();
      if (key.empty() || i >= xml.size() || xml[i] != '=') return std::nullopt;
      ++i;
      skip_blanks();
      if (i >= xml.size() || (xml[i] != '"' && xml[i] != '\'')) return std::nullopt;
      const char quote = xml[i++];
      const auto end = xml.find(quote, i);
      if (end == std::string_view::npos) return std::nullopt;
      const std::string_view raw = xml.substr(i, end - i);
      if (raw.find('<') != std::string_view::npos) return std::nullopt;
      auto value = Decode(raw);
      if (!value || !element.attributes.emplace(std::string(key), std::move(*value)).second) {
        return std::nullopt;
      }
      i = end + 1;
    }
    const bool empty = xml[i] == '/';
    i += empty ? 2 : 1;
    elements.push_back(std::move(element));
    if (empty) {
      root_closed = open.empty();
    } else {
      open.emplace_back(name);
    }
  }
  if (!open.empty() || elements.empty()) return std::nullopt;
  return elements;
}

RibbonCallbacks FindRibbonCallbacks(const std::vector<MarkupElement>& elements) {
  RibbonCallbacks found;
  for (const MarkupElement& element : elements) {
    if (element.name == "customUI" && element.depth == 0) {
      found.on_load = element.Attribute("onLoad");
      found.load_image = element.Attribute("loadImage");
    }
    const std::string image = element.Attribute("image");
    if (!image.empty() &&
        std::find(found.images.begin(), found.images.end(), image) == found.images.end()) {
      found.images.push_back(image);
    }
    if (element.name == "checkBox") {
      found.check_boxes.push_back({element.Attribute("id"), element.Attribute("getPressed"),
                                   element.Attribute("onAction")});
    } else if (element.name == "button") {
      found.buttons.push_back(
          {element.Attribute("id"), element.Attribute("label"), element.Attribute("onAction")});
    }
  }
  return found;
}

}  // namespace vestrano::xlsim
