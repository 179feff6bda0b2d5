#include "src/display/map_symbols.h"

#include "src/display/map_labels.h"

#include <cmath>
#include <initializer_list>
#include <optional>
#include <string>

#include "src/display/labels.h"
#include "src/display/map_labels.h"
#include "src/display/map_inputs.h"
#include "src/model/state.h"
#include "src/util/text.h"

namespace ovi::display {

namespace {

using gfx::Point;
using gfx::TruncToPixel;

int T(double v) { return TruncToPixel(v); }

// The symbol's points as offsets from (x, y): each offset is a multiple of
// the scale factors (or of 1 for the fixed-size symbols), added in floating
// point and truncated.
struct Offset {
  double dx, dy;
};

// Room for the longest outline (the large own-aircraft symbol).
constexpr int kMaxOutline = 24;

struct Outline {
  Point p[kMaxOutline];
  int n = 0;
};

Outline Place(double x, double y, double sx, double sy, std::initializer_list<Offset> offsets) {
  Outline o;
  for (const Offset& d : offsets) {
    if (o.n == kMaxOutline) break;
    o.p[o.n++] = Point(T(x + d.dx * sx), T(y + d.dy * sy));
  }
  return o;
}

class Painter {
 public:
  Painter(gfx::Graphics& g, double x, double y, double sx, double sy) : g_(g), x_(x), y_(y), sx_(sx), sy_(sy) {}

  // A chain of segments through the scaled offsets.
  void Chain(const gfx::Pen& pen, std::initializer_list<Offset> offsets, bool scaled = true) {
    Outline o = Place(x_, y_, scaled ? sx_ : 1.0, scaled ? sy_ : 1.0, offsets);
    Keep(g_.DrawLinesI(pen, o.p, o.n));
  }
  // The own aircraft's symbol, over the offsets' box: a mark no text of the
  // map covers (map_labels.h).
  void ClaimOwnAircraft(std::initializer_list<Offset> offsets) {
    double x0 = 0.0, y0 = 0.0, x1 = 0.0, y1 = 0.0;
    for (const Offset& o : offsets)
      x0 = std::fmin(x0, o.dx), y0 = std::fmin(y0, o.dy), x1 = std::fmax(x1, o.dx), y1 = std::fmax(y1, o.dy);
    ClaimMapBox(g_, MapRank::kMark,
                gfx::RectF(static_cast<gfx::REAL>(x_ + x0 - 1.0), static_cast<gfx::REAL>(y_ + y0 - 1.0),
                           static_cast<gfx::REAL>(x1 - x0 + 2.0), static_cast<gfx::REAL>(y1 - y0 + 2.0)));
  }
  void Fill(const gfx::SolidBrush& brush, std::initializer_list<Offset> offsets, bool scaled = true) {
    Outline o = Place(x_, y_, scaled ? sx_ : 1.0, scaled ? sy_ : 1.0, offsets);
    Keep(g_.FillPolygonI(brush, o.p, o.n));
  }
  void Line(const gfx::Pen& pen, Offset a, Offset b, bool scaled = true) {
    const double fx = scaled ? sx_ : 1.0, fy = scaled ? sy_ : 1.0;
    Keep(g_.DrawLineI(pen, T(x_ + a.dx * fx), T(y_ + a.dy * fy), T(x_ + b.dx * fx), T(y_ + b.dy * fy)));
  }
  // Box corner and size given in final units (already scaled).
  void Ellipse(const gfx::Pen& pen, double left, double top, double w, double h) {
    Keep(g_.DrawEllipseI(pen, T(left), T(top), T(w), T(h)));
  }
  void FillEllipse(const gfx::SolidBrush& brush, double left, double top, double w, double h) {
    Keep(g_.FillEllipseI(brush, T(left), T(top), T(w), T(h)));
  }
  void Text(const std::string& text, const gfx::Font& font, double left, double top, gfx::ARGB colour) {
    if (text.empty()) return;
    gfx::SolidBrush brush(colour);
    Keep(g_.DrawString(text, font, gfx::PointF(static_cast<gfx::REAL>(T(left)), static_cast<gfx::REAL>(T(top))),
                       brush));
  }
  void Keep(gfx::Status s) {
    if (s != gfx::Ok) status_ = s;
  }

  gfx::Graphics& g() { return g_; }
  double x() const { return x_; }
  double y() const { return y_; }
  double sx() const { return sx_; }
  double sy() const { return sy_; }
  gfx::Status status() const { return status_; }

 private:
  gfx::Graphics& g_;
  double x_, y_, sx_, sy_;
  gfx::Status status_ = gfx::Ok;
};

gfx::REAL Width(double w) { return static_cast<gfx::REAL>(w); }

// Hexagon of the VOR symbols, and the hexagon with a block on every other
// edge: each block is walked out and back along its edge so the whole
// hexagon stays outlined (19 points).
void DrawVortac(Painter& p, gfx::ARGB colour) {
  gfx::Pen pen(colour, Width(p.sx()));
  const gfx::PixelOffsetMode before = p.g().GetPixelOffsetMode();
  p.g().SetPixelOffsetMode(gfx::PixelOffsetMode::Half);
  p.Chain(pen, {{0, 0}, {4, 0}, {6, -2}, {8, 2}, {6, 4}, {4, 0}, {6, 4}, {4, 8}, {4, 10}, {0, 10},
                {0, 8}, {4, 8}, {0, 8}, {-2, 4}, {-4, 2}, {-2, -2}, {0, 0}, {-2, 4}, {0, 0}});
  p.g().SetPixelOffsetMode(before);
}

void DrawVorDme(Painter& p, gfx::ARGB colour) {
  gfx::Pen pen(colour, Width(p.sx()));
  p.Chain(pen, {{0, 0}, {4, 0}, {6, 4}, {4, 8}, {0, 8}, {-2, 4}, {0, 0}});
}

// The circle of the NDB and airport symbols: 5 by 5 scaled, box left at
// x - 3sx, top at y.
void DrawSmallCircle(Painter& p, const gfx::Pen& pen) {
  p.Ellipse(pen, p.x() - 3 * p.sx(), p.y(), 5 * p.sx(), 5 * p.sy());
}

void DrawNdb(Painter& p, gfx::ARGB colour) {
  gfx::Pen pen(colour, Width(p.sx()));
  DrawSmallCircle(p, pen);
  p.Chain(pen, {{0, 0}, {3, -3}, {5, 0}, {2, 2}, {0, 0}});
  p.Chain(pen, {{-1, 0}, {-4, -3}, {-6, 0}, {-3, 2}, {-1, 0}});
  p.Keep(p.g().DrawRectangleI(pen, T(p.x() - 2 * p.sx()), T(p.y() + 5 * p.sy()), T(3 * p.sx()), T(3 * p.sy())));
}

void DrawAirport(Painter& p, gfx::ARGB colour) {
  gfx::Pen pen(colour, Width(p.sx()));
  DrawSmallCircle(p, pen);
  p.Chain(pen, {{0, 0}, {2, 0}, {2, -4}, {-2, -4}, {-2, 0}, {0, 0}});
  p.Chain(pen, {{2, 1}, {6, 1}, {6, 5}, {2, 5}, {2, 1}, {0, 0}});
  p.Chain(pen, {{0, 5}, {2, 5}, {2, 9}, {-2, 9}, {-2, 5}, {0, 5}});
  p.Chain(pen, {{-2, 1}, {-6, 1}, {-6, 5}, {-2, 5}, {-2, 1}, {0, 0}});
}

void DrawOwnAircraftSmall(Painter& p) {
  gfx::SolidBrush brush(kMapWhite);
  gfx::Pen pen(kMapWhite, Width(p.sx()));
  const std::initializer_list<Offset> shape = {{0, 0},  {1, 0},   {1, 4},   {5, 4},   {5, 6},  {1, 6},
                                               {1, 9},  {3, 9},   {3, 11},  {-3, 11}, {-3, 9}, {-1, 9},
                                               {-1, 6}, {-5, 6},  {-5, 4},  {-1, 4},  {-1, 0}, {0, 0}};
  p.Fill(brush, shape, false);
  p.Chain(pen, shape, false);
  p.ClaimOwnAircraft(shape);
}

void DrawOwnAircraftSwept(Painter& p) {
  gfx::Pen pen(kMapWhite, Width(2 * p.sx()));
  const std::initializer_list<Offset> shape = {{0, 0},  {1, 1},   {1, 4},   {6, 6},   {6, 7},   {1, 7},
                                               {1, 9},  {3, 10},  {3, 11},  {-3, 11}, {-3, 10}, {-1, 9},
                                               {-1, 7}, {-6, 7},  {-6, 6},  {-1, 4},  {-1, 1},  {0, 0}};
  p.Chain(pen, shape, false);
  p.ClaimOwnAircraft(shape);
}

void DrawOwnAircraftLarge(Painter& p) {
  const gfx::ARGB colour = P1000MapFormat() != 0 ? kMapYellow : kMapWhite;
  gfx::Pen pen(colour, Width(2 * p.sx()));
  const std::initializer_list<Offset> shape = {
      {0, 0},   {2, 2},    {2, 9},     {11, 14},  {11, 16},  {2, 14},  {1, 15}, {1, 22}, {4, 24}, {3, 26}, {0, 25},
      {-3, 26}, {-4, 24},  {-1, 22},   {-1, 15},  {-1.5, 14}, {-11, 16}, {-11, 14}, {-2, 9}, {-2, 2}, {0, 0}};
  p.Chain(pen, shape, false);
  p.ClaimOwnAircraft(shape);
}

// "%2.1f" for the ranges that have a decimal, "%3.0f" for the others.
std::string RangeText(double range, bool has_decimal) {
  if (!std::isfinite(range)) return {};
  return FitLabel(has_decimal ? util::Format("%2.1f", range) : util::Format("%3.0f", range), kSymbolLabelField);
}

void DrawRangeLabel(Painter& p, double value) {
  gfx::SolidBrush black(kMapBlack);
  p.Keep(p.g().FillRectangleI(black, T(p.x()), T(p.y()), 27, 16));
  gfx::Font font("DA Rered", 13, gfx::FontStyleBold, gfx::Unit::Pixel);
  p.Text(RangeText(value, value == 12.5 || value == 2.5 || value == 0.5), font, p.x() - 2, p.y() + 2, kMapWhite);
}

void DrawTcasRangeLabel(Painter& p) {
  const double range = model::model_state.P1000TcasRange;
  gfx::SolidBrush black(kMapBlack);
  p.Keep(p.g().FillRectangleI(black, T(p.x()), T(p.y()), 15, 10));
  gfx::Font font("DA Rered", 12, gfx::FontStyleBold, gfx::Unit::Pixel);
  p.Text(RangeText(range, range == 12.5), font, p.x() - 1, p.y() + 1, kMapWhite);
}

// A heading that reads 000 is shown as 360.
std::string HeadingText(double heading) {
  if (!std::isfinite(heading)) return {};
  std::string text = FitLabel(util::Format("%03.0f", heading), kSymbolLabelField);
  return text == "000" || text == "-00" ? std::string("360") : text;
}

void DrawHeadingBox(Painter& p) {
  gfx::Pen pen(kMapWhite, Width(2 * p.sx()));
  p.Chain(pen, {{30, 0}, {30, 15}, {22.5, 15}, {15, 20}, {7.5, 15}, {0, 15}, {0, 0}}, false);
  gfx::Font font("Arial", 17, gfx::FontStyleRegular, gfx::Unit::Pixel);
  p.Text(HeadingText(AircraftHeading()), font, p.x() - 2, p.y() - 2, kMapGreen);
}

// Traffic symbols: 60..63 and, one and a half times larger, 70..73.
void DrawTraffic(Painter& p, std::uint32_t code, std::int32_t trend, std::uint32_t style) {
  const bool large = code >= kSymbolTrafficOtherLarge;
  const int kind = static_cast<int>(code % 10);  // 0 other, 1 proximate, 2 advisory, 3 resolution
  const double k = large ? 1.5 : 1.0;
  gfx::ARGB colour = style == kStyleDefault ? kMapWhite : kMapCyan;
  if (kind == 2) colour = kMapYellow;
  if (kind == 3) colour = kMapRed;
  gfx::SolidBrush brush(colour);
  const std::initializer_list<Offset> diamond = {{0, 0}, {4 * k, 4 * k}, {0, 8 * k}, {-4 * k, 4 * k}, {0, 0}};
  switch (kind) {
    case 0: {
      gfx::Pen pen(colour, 1.5f);
      p.Chain(pen, diamond, false);
      break;
    }
    case 1:
      p.Fill(brush, diamond, false);
      break;
    default:
      p.FillEllipse(brush, p.x() - 4 * k, p.y(), 8 * k, 8 * k);
      break;
  }
  if (trend != kTrendClimbing && trend != kTrendDescending) return;
  // The stem pen: w wide in white and yellow, 1.0 in cyan and red.
  const bool w_wide = colour == kMapWhite || colour == kMapYellow;
  gfx::Pen stem(colour, w_wide ? Width(p.sx()) : 1.0f);
  const bool up = trend == kTrendClimbing;
  if (!large) {
    const double tip = up ? 0 : 8;
    p.Fill(brush, {{8, tip}, {12, 4}, {4, 4}}, false);
    p.Line(stem, {8, tip}, {8, up ? 8.0 : 0.0}, false);
  } else {
    if (up) {
      p.Fill(brush, {{12, 0}, {17, 5}, {7, 5}}, false);
      p.Line(stem, {12, 0}, {12, 10}, false);
    } else {
      p.Fill(brush, {{12, 8}, {17, 3}, {7, 3}}, false);
      p.Line(stem, {12, 8}, {12, -2}, false);
    }
  }
}

// The DU-1000 circle symbols: a circle of diameter 8sx, then side ticks
// (75, 76) and vertical ticks (76).
void DrawDu1000Circle(Painter& p, std::uint32_t code, std::uint32_t style) {
  gfx::ARGB colour = style == kStyleGreen ? kMapGreen : kMapWhite;
  if (code == kSymbolDu1000CircleTicks) colour = kMapBlue;
  if (code == kSymbolDu1000CircleCross) colour = kMapMagenta;
  gfx::Pen pen(colour, Width(2 * p.sx()));
  const double x = p.x(), y = p.y(), sx = p.sx(), sy = p.sy();
  p.Ellipse(pen, x - 4 * sx, y + 2 * sy, 8 * sx, 8 * sx);
  if (code == kSymbolDu1000Circle) return;
  const int tick_y = T(y + 6 * sx);
  p.Keep(p.g().DrawLineI(pen, T(x - 8 * sx), tick_y, T(x - 4 * sx), tick_y));
  p.Keep(p.g().DrawLineI(pen, T(x + 4 * sx), tick_y, T(x + 8 * sx), tick_y));
  if (code == kSymbolDu1000CircleTicks) return;
  p.Line(pen, {0, 8}, {0, 12});
  p.Line(pen, {0, 2}, {0, -2});
}

gfx::ARGB StyleColour(std::uint32_t style, gfx::ARGB fallback,
                      std::initializer_list<std::pair<std::uint32_t, gfx::ARGB>> styles) {
  for (const auto& [s, c] : styles)
    if (s == style) return c;
  return fallback;
}

}  // namespace

gfx::Status DrawMapSymbol(gfx::Graphics& g, double x, double y, std::uint32_t code, std::int32_t trend, double sx,
                          double sy, std::uint32_t style, double value) {
  // A point or scale that is not a number has no place on the map.
  if (!std::isfinite(x) || !std::isfinite(y) || !std::isfinite(sx) || !std::isfinite(sy)) return gfx::InvalidParameter;
  Painter p(g, x, y, sx, sy);
  // The symbols that mark places on the map; not the own-aircraft symbols,
  // range labels and heading box, which stay where they are.
  const bool mark = (code >= kSymbolVortac && code <= kSymbolAirport) || code == kSymbolWaypointStar ||
                    code == kSymbolWaypointDiamond || (code >= kSymbolTrafficOther && code <= kSymbolDu1000CircleCross);
  std::optional<MarkSnap> snap;
  if (mark) snap.emplace(g);
  switch (code) {
    case kSymbolVortac:
      DrawVortac(p, style == kStyleBlue ? kMapBlue : style != kStyleDefault ? kMapGreen : kMapWhite);
      break;
    case kSymbolVorDme:
      DrawVorDme(p, style == kStyleBlue ? kMapBlue : kMapGreen);
      break;
    case kSymbolIntersection: {
      gfx::Pen pen(StyleColour(style, kMapGrey, {{kStyleBlue, kMapBlue}, {kStyleMagenta, kMapMagenta}}),
                   Width(sx));
      p.Chain(pen, {{0, 0}, {3, 5}, {-3, 5}, {0, 0}});
      break;
    }
    case kSymbolNdb:
    case kSymbolAirport: {
      const gfx::ARGB colour = StyleColour(style, kMapWhite, {{kStyleBlue, kMapBlue}, {kStyleYellow, kMapYellow}});
      if (code == kSymbolNdb)
        DrawNdb(p, colour);
      else
        DrawAirport(p, colour);
      break;
    }
    case kSymbolOwnAircraftSmall:
      DrawOwnAircraftSmall(p);
      break;
    case kSymbolOwnAircraftSwept:
      DrawOwnAircraftSwept(p);
      break;
    case kSymbolWaypointStar: {
      gfx::Pen pen(StyleColour(style, kMapWhite,
                               {{kStyleGreen, kMapGreen},
                                {kStyleMagenta, kMapMagenta},
                                {kStyleBlue, kMapBlue},
                                {kStyleYellow, kMapYellow}}),
                   Width(sx));
      p.Chain(pen, {{0, 0}, {1, 5}, {5, 6}, {1, 7}, {0, 11}, {-1, 7}, {-5, 6}, {-1, 5}, {0, 0}});
      break;
    }
    case kSymbolWaypointDiamond: {
      gfx::Pen pen(style == kStyleMagenta ? kMapMagenta : kMapWhite, Width(sx));
      p.Chain(pen, {{0, 0}, {4, 4}, {0, 8}, {-4, 4}, {0, 0}});
      break;
    }
    case kSymbolRangeLabel:
      DrawRangeLabel(p, value);
      break;
    case kSymbolTcasRangeLabel:
      DrawTcasRangeLabel(p);
      break;
    case kSymbolHeadingBox:
      DrawHeadingBox(p);
      break;
    case kSymbolOwnAircraftLarge:
      DrawOwnAircraftLarge(p);
      break;
    case kSymbolTrafficOther:
    case kSymbolTrafficProximate:
    case kSymbolTrafficAdvisory:
    case kSymbolTrafficResolution:
    case kSymbolTrafficOtherLarge:
    case kSymbolTrafficProximateLarge:
    case kSymbolTrafficAdvisoryLarge:
    case kSymbolTrafficResolutionLarge:
      DrawTraffic(p, code, trend, style);
      break;
    case kSymbolDu1000Circle:
    case kSymbolDu1000CircleTicks:
    case kSymbolDu1000CircleCross:
      DrawDu1000Circle(p, code, style);
      break;
    default:
      break;
  }
  return p.status();
}

}  // namespace ovi::display
