// The tab icons drawn by the add-in: fourteen distinct pictures at every size the strip asks
// for, each leaving its corners transparent and none spilling past its square.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <set>
#include <vector>

#include "tabbar/tab_images.h"

namespace vestrano {
namespace {

int Opaque(const TabImage& image) {
  int count = 0;
  for (const Rgb& pixel : image.pixels) count += pixel == kTabImageMask ? 0 : 1;
  return count;
}

// With VESTRANO_ICON_SHEET=file.ppm set, writes every icon at 16, 20 and 24 pixels, eight times
// enlarged, for a look at the artwork.
void WriteSheet(const char* path) {
  constexpr int kZoom = 8;
  const std::vector<int> sizes{16, 20, 24};
  const int cell = 26 * kZoom;
  const int width = cell * kTabImageCount;
  const int height = cell * static_cast<int>(sizes.size());
  std::vector<Rgb> sheet(static_cast<std::size_t>(width * height), Rgb{255, 255, 255});
  for (std::size_t row = 0; row < sizes.size(); ++row) {
    for (int i = 0; i < kTabImageCount; ++i) {
      const TabImage image = RenderTabImage(i, sizes[row]);
      for (int y = 0; y < image.size * kZoom; ++y) {
        for (int x = 0; x < image.size * kZoom; ++x) {
          const Rgb pixel = image.At(x / kZoom, y / kZoom);
          const int sx = i * cell + kZoom + x;
          const int sy = static_cast<int>(row) * cell + kZoom + y;
          sheet[static_cast<std::size_t>(sy * width + sx)] =
              pixel == kTabImageMask ? Rgb{236, 240, 246} : pixel;
        }
      }
    }
  }
  FILE* file = std::fopen(path, "wb");
  if (!file) return;
  std::fprintf(file, "P6 %d %d 255\n", width, height);
  for (const Rgb& p : sheet) {
    const unsigned char rgb[3] = {p.red, p.green, p.blue};
    std::fwrite(rgb, 1, 3, file);
  }
  std::fclose(file);
}

TEST(TabImages, FourteenDistinctIconsAtEverySize) {
  for (int size : {16, 20, 24, 32}) {
    std::set<std::vector<std::uint32_t>> seen;
    for (int index = 0; index < kTabImageCount; ++index) {
      const TabImage image = RenderTabImage(index, size);
      ASSERT_EQ(image.size, size);
      ASSERT_EQ(image.pixels.size(), static_cast<std::size_t>(size * size));
      // Enough of the square is drawn to read at a glance, and some is left to the background.
      EXPECT_GT(Opaque(image), size * size / 3) << index << " at " << size;
      EXPECT_LT(Opaque(image), size * size) << index << " at " << size;
      std::vector<std::uint32_t> colors;
      for (const Rgb& pixel : image.pixels) colors.push_back(pixel.ToColorRef());
      EXPECT_TRUE(seen.insert(colors).second) << index << " looks like another icon at " << size;
    }
  }
  // Nothing is drawn for an index the list does not have.
  EXPECT_EQ(Opaque(RenderTabImage(14, 16)), 0);
  EXPECT_EQ(Opaque(RenderTabImage(-1, 16)), 0);
  if (const char* path = std::getenv("VESTRANO_ICON_SHEET")) WriteSheet(path);
}

}  // namespace
}  // namespace vestrano
