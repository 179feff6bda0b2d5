// The recording backend: a log of every drawing operation in device
// coordinates (after the world transform), with its colours, pen, font and
// text. Put one into DeviceContext::recorder and every Graphics created on
// that device context records into it (and still draws the pixels).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/gfx/types.h"

namespace ovi::gfx {

enum class OpKind {
  Clear,
  Line,       // DrawLine: points = the two ends
  Lines,      // DrawLines: points = the vertices
  Rectangle,  // Draw/FillRectangle: points = the four corners (top-left first, clockwise)
  Polygon,    // Draw/FillPolygon: points = the vertices
  Ellipse,    // Draw/FillEllipse: points = the centre
  Arc,        // DrawArc: points = start, end, centre
  Pie,        // Draw/FillPie: points = start, end, centre
  Curve,      // DrawCurve: points = the vertices
  Path,       // Draw/FillPath: points = the end points of every segment
  Text,       // DrawString: points = layout origin, baseline origin of the first line
  Image,      // DrawImage: points = the four corners
  Clip,       // SetClip: points = the outline's end points, bounds = its device bounds
  ResetClip,
  ClipState,  // SetClipState: a clip put back as it stood, bounds = its device bounds (empty: none)
};

const char* OpKindName(OpKind kind);

// How much of a text its clip and the surface let show: all of its ink,
// part of it, or none.
enum class Shown : std::uint8_t { kWhole, kPart, kHidden };

struct RecordedOp {
  OpKind kind = OpKind::Line;
  bool filled = false;            // drawn with a brush (else with a pen)
  ARGB color = 0;                 // pen or brush colour (Clear: the colour)
  REAL pen_width = 0;             // in world units as given
  REAL device_pen_width = 0;      // after the world transform (geometric mean of the axes)
  DashStyle dash = DashStyle::Solid;
  FillMode fill_mode = FillMode::Alternate;
  std::vector<PointF> points;     // device coordinates (see OpKind)
  RectF bounds;                   // device bounds of the shape (pen width included)
  bool visible = true;            // bounds meet the surface and the clip bounds (a text: some of its ink shows)
  RectF ink;                      // Text: the device bounds of its glyphs' ink
  Shown shown = Shown::kWhole;    // Text: how much of its ink the clip and the surface let show
  std::string text;               // UTF-8
  std::string font_family;        // as requested ("Arial")
  REAL font_size = 0;             // as given, in its unit
  REAL font_device_size = 0;      // em in device pixels
  int font_style = 0;
  REAL start_angle = 0, sweep_angle = 0;  // arcs and pies, as given
  CombineMode combine = CombineMode::Replace;  // Clip
  REAL matrix[6] = {1, 0, 0, 1, 0, 0};    // world transform at the time (m11 m12 m21 m22 dx dy)
};

class Recorder {
 public:
  // Keeps only texts and clears (what a host needs to know which texts a
  // frame shows) when set.
  bool text_only = false;

  void Add(RecordedOp op) {
    if (text_only && op.kind != OpKind::Text && op.kind != OpKind::Clear) return;
    ops_.push_back(std::move(op));
  }
  void Clear() { ops_.clear(); }
  const std::vector<RecordedOp>& Ops() const { return ops_; }
  std::size_t Size() const { return ops_.size(); }

  struct TextItem {
    std::string text;
    REAL x = 0, y = 0;  // layout origin in device coordinates
    ARGB color = 0;
    std::string font_family;
    REAL font_size = 0;
    int font_style = 0;
    bool visible = true;
    RectF ink;  // device bounds of the glyphs' ink
    Shown shown = Shown::kWhole;
  };
  // Every text drawn, in order.
  std::vector<TextItem> Texts() const;
  // The first text equal to `text` (nullptr-free: returns false when none).
  bool FindText(std::string_view text, TextItem* out = nullptr) const;
  // The first text containing `part`.
  bool FindTextContaining(std::string_view part, TextItem* out = nullptr) const;
  // Number of texts equal to `text`.
  int CountText(std::string_view text) const;

  // Number of operations of `kind` (any colour, or only `color`; only filled
  // or only outlined ones when `filled` is 0 or 1, both when -1).
  int Count(OpKind kind) const;
  int Count(OpKind kind, ARGB color, int filled = -1) const;
  // Operations of `kind` in order.
  std::vector<const RecordedOp*> Find(OpKind kind) const;

 private:
  std::vector<RecordedOp> ops_;
};

}  // namespace ovi::gfx
