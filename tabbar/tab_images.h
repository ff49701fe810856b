// The pictures of ImageList1: the fourteen file-type icons of the tabs, in the image list's fixed
// order (see kTabImageKinds), drawn by the add-in itself at any size from 16 pixels up. Shapes
// are laid out on a 16-unit grid and rasterized at the wanted size with hard edges, so that the
// icons stay crisp at every size and suit an image list with a mask colour.
#pragma once

#include <array>
#include <string_view>
#include <vector>

#include "host/types.h"

namespace vestrano {

// Pixels of the image list's mask colour are transparent.
inline constexpr Rgb kTabImageMask{192, 192, 192};
inline constexpr int kTabImageCount = 14;

// What each index shows, in the order of the image list.
inline constexpr std::array<std::string_view, kTabImageCount> kTabImageKinds{
    "workbook (older format)",
    "web page",
    "word-processor document",
    "database",
    "plain text",
    "spreadsheet add-in",
    "XML document",
    "rich text",
    "spreadsheet of another office suite",
    "spreadsheet template",
    "comma-separated data",
    "application window",
    "data-interchange spreadsheet",
    "workbook (2007 format)"};

struct TabImage {
  int size = 0;
  std::vector<Rgb> pixels;  // rows top to bottom, size * size
  const Rgb& At(int x, int y) const { return pixels[static_cast<std::size_t>(y * size + x)]; }
};

// Icon `index` (0 to 13) drawn `size` pixels square; an index out of range gives an empty image
// (all mask colour).
TabImage RenderTabImage(int index, int size);

}  // namespace vestrano
