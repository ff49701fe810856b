// The tab icons' artwork. Each icon is a short list of shapes in 16-unit coordinates (0,0 the
// top-left corner, 16,16 the bottom-right); a pixel takes the colour of the last shape that
// covers most of it, judged by 4 x 4 samples, so edges stay hard and shapes keep their
// proportions at 20 or 24 pixels as they have at 16.
#include "tabbar/tab_images.h"

#include <algorithm>
#include <cmath>
#include <functional>

namespace vestrano {
namespace {

// Covers: is the point (in 16-unit coordinates) inside the shape?
using Covers = std::function<bool(double x, double y)>;

struct Shape {
  Covers covers;
  Rgb color;
};

Covers Box(double x0, double y0, double x1, double y1) {
  return [=](double x, double y) { return x >= x0 && x < x1 && y >= y0 && y < y1; };
}
// The outline of a box, `w` thick, inside it.
Covers Frame(double x0, double y0, double x1, double y1, double w = 1) {
  return [=](double x, double y) {
    const bool inside = x >= x0 && x < x1 && y >= y0 && y < y1;
    const bool core = x >= x0 + w && x < x1 - w && y >= y0 + w && y < y1 - w;
    return inside && !core;
  };
}
Covers Ellipse(double cx, double cy, double rx, double ry) {
  return [=](double x, double y) {
    const double dx = (x - cx) / rx;
    const double dy = (y - cy) / ry;
    return dx * dx + dy * dy <= 1;
  };
}
Covers Ring(double cx, double cy, double r, double w) {
  return [=](double x, double y) {
    const double d = std::hypot(x - cx, y - cy);
    return d <= r && d >= r - w;
  };
}
// A segment `w` thick.
Covers Line(double x0, double y0, double x1, double y1, double w) {
  return [=](double x, double y) {
    const double vx = x1 - x0;
    const double vy = y1 - y0;
    const double t = std::clamp(((x - x0) * vx + (y - y0) * vy) / (vx * vx + vy * vy), 0.0, 1.0);
    return std::hypot(x - (x0 + t * vx), y - (y0 + t * vy)) <= w / 2;
  };
}
Covers Polygon(std::vector<std::pair<double, double>> points) {
  return [points = std::move(points)](double x, double y) {
    bool inside = false;
    for (std::size_t i = 0, j = points.size() - 1; i < points.size(); j = i++) {
      const auto [xi, yi] = points[i];
      const auto [xj, yj] = points[j];
      if ((yi > y) != (yj > y) && x < (xj - xi) * (y - yi) / (yj - yi) + xi) inside = !inside;
    }
    return inside;
  };
}

constexpr Rgb kOutline{96, 96, 96};
constexpr Rgb kPaper{255, 255, 255};
constexpr Rgb kFold{214, 214, 214};
constexpr Rgb kGreen{33, 115, 70};
constexpr Rgb kGreenLight{198, 230, 204};
constexpr Rgb kGreenBright{16, 140, 60};
constexpr Rgb kBlue{43, 87, 154};
constexpr Rgb kBlueLight{160, 196, 236};
constexpr Rgb kGrey{150, 150, 150};
constexpr Rgb kDarkGrey{90, 90, 90};
constexpr Rgb kOrange{222, 120, 24};
constexpr Rgb kRed{200, 50, 40};
constexpr Rgb kYellow{246, 200, 60};
constexpr Rgb kBrown{150, 100, 40};
constexpr Rgb kWhite{255, 255, 255};

// A sheet of paper with a folded corner: the base of most icons.
void Page(std::vector<Shape>& s) {
  s.push_back(
      {Polygon({{2.5, 0.5}, {10.5, 0.5}, {13.5, 3.5}, {13.5, 15.5}, {2.5, 15.5}}), kOutline});
  s.push_back({Polygon({{3.5, 1.5}, {10, 1.5}, {12.5, 4}, {12.5, 14.5}, {3.5, 14.5}}), kPaper});
  s.push_back({Polygon({{10, 1}, {13, 4}, {10, 4}}), kFold});
}

// Lines of text on a page, from row `top` on.
void TextLines(std::vector<Shape>& s, double top, int lines, Rgb color, double right = 11.5) {
  for (int i = 0; i < lines; ++i) {
    const double y = top + i * 2;
    s.push_back({Box(5, y, i % 2 ? right - 2 : right, y + 1), color});
  }
}

// A spreadsheet grid filling the lower part of a page.
void Grid(std::vector<Shape>& s, Rgb line) {
  s.push_back({Box(4.5, 6, 12, 14), kWhite});
  for (double y : {6.0, 8.5, 11.0, 13.5}) s.push_back({Box(4.5, y, 12, y + 0.6), line});
  for (double x : {4.5, 8.0, 11.4}) s.push_back({Box(x, 6, x + 0.6, 14), line});
}

// The badge of a workbook: a coloured square with a white cross at the lower left.
void WorkbookBadge(std::vector<Shape>& s, Rgb color) {
  s.push_back({Box(0.5, 6.5, 8.5, 14.5), color});
  s.push_back({Line(2.4, 8.3, 6.6, 12.7, 1.4), kWhite});
  s.push_back({Line(6.6, 8.3, 2.4, 12.7, 1.4), kWhite});
}

std::vector<Shape> Art(int index) {
  std::vector<Shape> s;
  switch (index) {
    case 0:  // workbook, older format
      Page(s);
      Grid(s, kGreenLight);
      WorkbookBadge(s, kGreen);
      break;
    case 1:  // web page: a globe
      Page(s);
      s.push_back({Ellipse(7.5, 10, 5.5, 5.5), kBlue});
      s.push_back({Ellipse(7.5, 10, 4.5, 4.5), kBlueLight});
      s.push_back({Ring(7.5, 10, 4.5, 1), kBlue});
      s.push_back({Box(3, 9.5, 12, 10.5), kBlue});
      s.push_back({Ellipse(7.5, 10, 1.8, 4.6), kBlue});
      s.push_back({Ellipse(7.5, 10, 0.9, 3.9), kBlueLight});
      break;
    case 2:  // word-processor document
      Page(s);
      TextLines(s, 3, 2, kGrey);
      s.push_back({Box(0.5, 6.5, 8.5, 14.5), kBlue});
      s.push_back({Polygon({{1.8, 8},
                            {2.9, 8},
                            {3.6, 11.2},
                            {4.5, 8},
                            {5.4, 11.2},
                            {6.1, 8},
                            {7.2, 8},
                            {6, 13},
                            {4.9, 13},
                            {4.5, 11.2},
                            {4.1, 13},
                            {3, 13}}),
                   kWhite});
      TextLines(s, 9, 3, kBlueLight, 12);
      break;
    case 3:  // database: a cylinder
      s.push_back({Box(2.5, 3.5, 13.5, 13), kBrown});
      s.push_back({Ellipse(8, 13, 5.5, 2.5), kBrown});
      s.push_back({Box(3.5, 3.5, 12.5, 13), kYellow});
      s.push_back({Ellipse(8, 13, 4.5, 1.6), kYellow});
      s.push_back({Ellipse(8, 3.5, 5.5, 2.5), kBrown});
      s.push_back({Ellipse(8, 3.5, 4.5, 1.6), Rgb{252, 228, 150}});
      s.push_back({Line(3.5, 8, 12.5, 8, 0.8), kBrown});
      break;
    case 4:  // plain text
      Page(s);
      TextLines(s, 4, 6, kDarkGrey);
      break;
    case 5:  // spreadsheet add-in: a workbook with a gear
      Page(s);
      Grid(s, kGreenLight);
      s.push_back({Ellipse(10.5, 10.5, 5, 5), kDarkGrey});
      for (int k = 0; k < 4; ++k) {
        const double a = k * 3.14159265 / 4;
        s.push_back({Line(10.5 - 5.2 * std::cos(a), 10.5 - 5.2 * std::sin(a),
                          10.5 + 5.2 * std::cos(a), 10.5 + 5.2 * std::sin(a), 2),
                     kDarkGrey});
      }
      s.push_back({Ellipse(10.5, 10.5, 3.6, 3.6), kOrange});
      s.push_back({Ellipse(10.5, 10.5, 1.5, 1.5), kWhite});
      break;
    case 6:  // XML: angle brackets
      Page(s);
      s.push_back({Line(6.8, 6.5, 4.2, 10, 1.4), kOrange});
      s.push_back({Line(4.2, 10, 6.8, 13.5, 1.4), kOrange});
      s.push_back({Line(9.2, 6.5, 11.8, 10, 1.4), kOrange});
      s.push_back({Line(11.8, 10, 9.2, 13.5, 1.4), kOrange});
      s.push_back({Line(8.6, 6.2, 7.4, 13.8, 1), kDarkGrey});
      TextLines(s, 3, 1, kGrey, 9);
      break;
    case 7:  // rich text: coloured lines of text
      Page(s);
      s.push_back({Box(5, 4, 11.5, 5), kRed});
      s.push_back({Box(5, 6, 9.5, 7), kBlue});
      s.push_back({Box(5, 8, 11.5, 9), kGreen});
      s.push_back({Box(5, 10, 10, 11), kOrange});
      s.push_back({Box(5, 12, 11.5, 13), kDarkGrey});
      break;
    case 8:  // spreadsheet of another office suite
      Page(s);
      Grid(s, Rgb{245, 196, 170});
      s.push_back({Box(0.5, 6.5, 8.5, 14.5), kRed});
      s.push_back(
          {Polygon({{2, 8}, {7, 8}, {7, 9.3}, {3.6, 13}, {2, 13}, {2, 11.7}, {5.4, 9.3}, {2, 9.3}}),
           kWhite});
      break;
    case 9:  // spreadsheet template: a workbook with a title band
      Page(s);
      s.push_back({Box(3.5, 1.5, 10, 4.5), kYellow});
      Grid(s, kGreenLight);
      WorkbookBadge(s, kGreen);
      s.push_back({Frame(0.5, 6.5, 8.5, 14.5), kYellow});
      break;
    case 10:  // comma-separated data: columns of values and commas
      Page(s);
      for (int row = 0; row < 5; ++row) {
        const double y = 3 + row * 2.2;
        s.push_back({Box(4.5, y, 6.8, y + 1.2), kDarkGrey});
        s.push_back({Box(7.3, y + 0.8, 8.1, y + 1.8), kGreenBright});
        s.push_back({Box(8.8, y, 11.5, y + 1.2), kDarkGrey});
      }
      break;
    case 11:  // application window
      s.push_back({Box(0.5, 2, 15.5, 14.5), kBlue});
      s.push_back({Box(1.5, 5, 14.5, 13.5), kWhite});
      s.push_back({Box(12, 3, 14, 4.2), kWhite});
      s.push_back({Box(2.5, 7, 9, 8), kGrey});
      s.push_back({Box(2.5, 9.5, 12, 10.5), kGrey});
      break;
    case 12:  // data interchange: a sheet and two arrows
      Page(s);
      Grid(s, kGreenLight);
      s.push_back({Polygon({{1, 6}, {5, 3.5}, {5, 5}, {9, 5}, {9, 7}, {5, 7}, {5, 8.5}}), kBlue});
      s.push_back({Polygon({{15, 11}, {11, 8.5}, {11, 10}, {7, 10}, {7, 12}, {11, 12}, {11, 13.5}}),
                   kOrange});
      break;
    case 13:  // workbook, 2007 format
      Page(s);
      Grid(s, kGreenLight);
      WorkbookBadge(s, kGreenBright);
      s.push_back({Box(10, 1, 13, 4), kGreenBright});
      break;
    default:
      break;
  }
  return s;
}

}  // namespace

TabImage RenderTabImage(int index, int size) {
  TabImage image;
  image.size = std::max(size, 0);
  image.pixels.assign(static_cast<std::size_t>(image.size * image.size), kTabImageMask);
  const std::vector<Shape> shapes = Art(index);
  constexpr int kSamples = 4;
  const double unit = 16.0 / image.size;
  for (int py = 0; py < image.size; ++py) {
    for (int px = 0; px < image.size; ++px) {
      for (const Shape& shape : shapes) {
        int hits = 0;
        for (int sy = 0; sy < kSamples; ++sy) {
          for (int sx = 0; sx < kSamples; ++sx) {
            const double x = (px + (sx + 0.5) / kSamples) * unit;
            const double y = (py + (sy + 0.5) / kSamples) * unit;
            if (shape.covers(x, y)) ++hits;
          }
        }
        if (hits * 2 >= kSamples * kSamples) {
          image.pixels[static_cast<std::size_t>(py * image.size + px)] = shape.color;
        }
      }
    }
  }
  return image;
}

}  // namespace vestrano
