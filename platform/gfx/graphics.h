// Graphics: draws on a device context. Float operations take world
// coordinates as given; the ...I operations take integers (callers truncate).
// World transforms compose in prepend order unless told otherwise, angles are
// degrees clockwise on the y-down screen, arcs use true angles on ellipses.
//
// Every call returns a status; a refused call (InvalidParameter for NaN,
// infinite, zero or negative sizes, null or over-long strings, too many
// points; ValueOverflow for coordinates far off any surface) draws nothing.
// GetLastStatus() returns the last failure and resets it to Ok.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/gfx/device_context.h"
#include "platform/gfx/glyph_runs.h"
#include "platform/gfx/objects.h"
#include "platform/gfx/recorder.h"
#include "platform/gfx/shape_cache.h"
#include "platform/gfx/thin_stroke.h"
#include "platform/gfx/types.h"

typedef struct _cairo cairo_t;

namespace ovi::gfx {

// Longest text a single DrawString or MeasureString accepts (code units).
inline constexpr std::size_t kMaxStringLength = 4096;
// Most points a single polyline, polygon or path operation accepts.
inline constexpr int kMaxPoints = 1 << 20;

class Graphics;

namespace detail {
// One clip operation in device units, as the former per-operation clip
// applies it again.
struct ClipPart {
  PathData data;
  FillMode fill = FillMode::Alternate;
  CombineMode mode = CombineMode::Replace;
};
// A clip as a ClipState holds it: its device bounds, its pixels, and (with
// the former per-operation clip) the parts that made it.
struct ClipRecord {
  RectF bounds;
  std::shared_ptr<const ClipPixels> pixels;
  std::shared_ptr<const std::vector<ClipPart>> parts;
};
// A clip whose edge is not a plain rectangle is paid for once: drawing under
// it runs unclipped, keeping the pixels each operation may touch first, and
// the kept pixels outside the clip are put back when the clip changes or the
// Graphics ends (or earlier, when something else is about to read or draw on
// the same pixels). This settles such pending pixels of `dc` now.
void SettleClippedDrawing(const DeviceContext& dc);
// The former way, a clip mask applied to every operation, kept so that tests
// and benchmarks can compare pixels and times; read when a Graphics is made.
void UseClipPerOperation(bool on);
// Straight-edged strokes go through the layer's own rasteriser
// (thin_stroke.h) unless this is on; tests and benchmarks compare the two.
void UseCairoForAllStrokes(bool on);
// Strokes drawn before paint their kept coverage (shape_cache.h) unless
// this is off; read when a Graphics is made.
void UseShapeCache(bool on);
// The stroke converter leaves out the runs of open figures that lie
// farther outside the box it fills than the pen reaches (no pixel
// changes) unless this is off; read when a Graphics is made.
void UseFarRunCulling(bool on);
// Texts shaped before show their kept glyph runs (glyph_runs.h) unless this
// is off; read when a Graphics is made.
void UseGlyphRuns(bool on);
// Graphics::SetStrokeSnap moves strokes onto its grid unless this is off
// (every stroke is then drawn where it is); read when a Graphics is made.
void UseStrokeSnap(bool on);
}  // namespace detail

// A clip as it stood when taken (beyond the original interface): a caller
// that draws later, under another clip, puts it back for what it drew then.
// Holds no device context; a default one is no clip.
class ClipState {
 public:
  ClipState() = default;
  bool operator==(const ClipState& o) const { return record_ == o.record_; }

 private:
  friend class Graphics;
  std::shared_ptr<const detail::ClipRecord> record_;
};

// Told of each text a Graphics draws, with the device box of its ink, while
// it is set (beyond the original interface). A text whose ink lies wholly
// outside the surface or the clip's bounds is not told (the clip is not
// read pixel by pixel for it).
class TextWatcher {
 public:
  virtual void TextDrawn(const Graphics& g, const RectF& ink) = 0;

 protected:
  ~TextWatcher() = default;
};

class Graphics {
 public:
  explicit Graphics(DeviceContext* dc);
  ~Graphics();
  Graphics(const Graphics&) = delete;
  Graphics& operator=(const Graphics&) = delete;

  Status GetLastStatus();

  // --- state
  Status SetSmoothingMode(SmoothingMode mode);
  SmoothingMode GetSmoothingMode() const { return smoothing_; }
  Status SetPixelOffsetMode(PixelOffsetMode mode);
  PixelOffsetMode GetPixelOffsetMode() const { return pixel_offset_; }
  Status SetTextRenderingHint(TextRenderingHint hint);
  TextRenderingHint GetTextRenderingHint() const { return text_hint_; }

  Status ResetTransform();
  Status TranslateTransform(REAL dx, REAL dy, MatrixOrder order = MatrixOrder::Prepend);
  Status ScaleTransform(REAL sx, REAL sy, MatrixOrder order = MatrixOrder::Prepend);
  Status RotateTransform(REAL degrees, MatrixOrder order = MatrixOrder::Prepend);
  Status MultiplyTransform(const Matrix& m, MatrixOrder order = MatrixOrder::Prepend);
  Status SetTransform(const Matrix& m);
  Status GetTransform(Matrix* m) const;

  // Combine modes Replace, Intersect and Exclude (the clip less the shape).
  Status SetClip(const RectF& r, CombineMode mode = CombineMode::Replace);
  Status SetClip(const Rect& r, CombineMode mode = CombineMode::Replace);
  Status SetClip(const GraphicsPath& path, CombineMode mode = CombineMode::Replace);
  Status SetClip(const Region& region, CombineMode mode = CombineMode::Replace);
  Status IntersectClip(const RectF& r) { return SetClip(r, CombineMode::Intersect); }
  Status ResetClip();
  // Device-space bounds of the clip (the surface when there is none).
  RectF GetClipDeviceBounds() const;

  // --- drawing
  Status Clear(const Color& color);

  Status DrawLine(const Pen& pen, REAL x1, REAL y1, REAL x2, REAL y2);
  Status DrawLine(const Pen& pen, const PointF& a, const PointF& b) { return DrawLine(pen, a.X, a.Y, b.X, b.Y); }
  Status DrawLineI(const Pen& pen, int x1, int y1, int x2, int y2);
  Status DrawLines(const Pen& pen, const PointF* pts, int count);
  Status DrawLines(const Pen& pen, std::span<const PointF> pts) { return DrawLines(pen, pts.data(), Count(pts.size())); }
  Status DrawLinesI(const Pen& pen, const Point* pts, int count);
  Status DrawLinesI(const Pen& pen, std::span<const Point> pts) { return DrawLinesI(pen, pts.data(), Count(pts.size())); }

  Status DrawRectangle(const Pen& pen, REAL x, REAL y, REAL w, REAL h);
  Status DrawRectangle(const Pen& pen, const RectF& r) { return DrawRectangle(pen, r.X, r.Y, r.Width, r.Height); }
  Status DrawRectangleI(const Pen& pen, int x, int y, int w, int h);
  Status FillRectangle(const SolidBrush& brush, REAL x, REAL y, REAL w, REAL h);
  Status FillRectangle(const SolidBrush& brush, const RectF& r) { return FillRectangle(brush, r.X, r.Y, r.Width, r.Height); }
  Status FillRectangleI(const SolidBrush& brush, int x, int y, int w, int h);

  Status DrawPolygon(const Pen& pen, const PointF* pts, int count);
  Status DrawPolygon(const Pen& pen, std::span<const PointF> pts) { return DrawPolygon(pen, pts.data(), Count(pts.size())); }
  Status DrawPolygonI(const Pen& pen, const Point* pts, int count);
  Status DrawPolygonI(const Pen& pen, std::span<const Point> pts) { return DrawPolygonI(pen, pts.data(), Count(pts.size())); }
  Status FillPolygon(const SolidBrush& brush, const PointF* pts, int count, FillMode mode = FillMode::Alternate);
  Status FillPolygon(const SolidBrush& brush, std::span<const PointF> pts, FillMode mode = FillMode::Alternate) {
    return FillPolygon(brush, pts.data(), Count(pts.size()), mode);
  }
  Status FillPolygonI(const SolidBrush& brush, const Point* pts, int count, FillMode mode = FillMode::Alternate);
  Status FillPolygonI(const SolidBrush& brush, std::span<const Point> pts, FillMode mode = FillMode::Alternate) {
    return FillPolygonI(brush, pts.data(), Count(pts.size()), mode);
  }

  Status DrawEllipse(const Pen& pen, REAL x, REAL y, REAL w, REAL h);
  Status DrawEllipseI(const Pen& pen, int x, int y, int w, int h);
  Status FillEllipse(const SolidBrush& brush, REAL x, REAL y, REAL w, REAL h);
  Status FillEllipseI(const SolidBrush& brush, int x, int y, int w, int h);

  Status DrawArc(const Pen& pen, REAL x, REAL y, REAL w, REAL h, REAL start, REAL sweep);
  Status DrawArcI(const Pen& pen, int x, int y, int w, int h, REAL start, REAL sweep);
  Status DrawPie(const Pen& pen, REAL x, REAL y, REAL w, REAL h, REAL start, REAL sweep);
  Status DrawPieI(const Pen& pen, int x, int y, int w, int h, REAL start, REAL sweep);
  Status FillPie(const SolidBrush& brush, REAL x, REAL y, REAL w, REAL h, REAL start, REAL sweep);
  Status FillPieI(const SolidBrush& brush, int x, int y, int w, int h, REAL start, REAL sweep);

  Status DrawCurve(const Pen& pen, const PointF* pts, int count, REAL tension = 0.5f);

  Status DrawPath(const Pen& pen, const GraphicsPath& path);
  Status FillPath(const SolidBrush& brush, const GraphicsPath& path);

  // Text: `ansi` is 8-bit text in the Windows-1252 code page (what the
  // gauges format with printf), `wide` UTF-16. At a point, the point is the
  // top-left corner of the text's layout box. A layout rectangle of zero
  // width and height behaves like a point; otherwise the text wraps at its
  // width (unless NoWrap) and is clipped to it (unless NoClip).
  Status DrawString(const char* ansi, const Font& font, const PointF& origin, const SolidBrush& brush);
  Status DrawString(std::string_view ansi, const Font& font, const PointF& origin, const SolidBrush& brush);
  Status DrawString(std::string_view ansi, const Font& font, const PointF& origin, const StringFormat* format,
                    const SolidBrush& brush);
  Status DrawString(std::string_view ansi, const Font& font, const RectF& layout, const StringFormat* format,
                    const SolidBrush& brush);
  Status DrawString(std::u16string_view wide, const Font& font, const RectF& layout, const StringFormat* format,
                    const SolidBrush& brush);
  // The layout box the text would take (padding included), in world units.
  Status MeasureString(std::string_view ansi, const Font& font, const RectF& layout, const StringFormat* format,
                       RectF* bounds);
  Status MeasureString(std::string_view ansi, const Font& font, const PointF& origin, const StringFormat* format,
                       RectF* bounds);
  Status MeasureString(std::u16string_view wide, const Font& font, const RectF& layout, const StringFormat* format,
                       RectF* bounds);

  Status DrawImage(const Bitmap& image, REAL x, REAL y);
  Status DrawImage(const Bitmap& image, REAL x, REAL y, REAL w, REAL h);

  // --- beyond the original interface
  // The clip as it stands, and the clip put back as it stood (recorded as a
  // clip replaced, or reset where there was none).
  ClipState GetClipState() const;
  Status SetClipState(const ClipState& state);
  // How much of the device box `box` the surface and the clip (the present
  // one, or `state`) let show: all of it, part of it, or nothing. A clip
  // that is not a plain box is read pixel by pixel.
  Shown ClipShows(const RectF& box) const;
  Shown ClipShows(const RectF& box, const ClipState& state) const;
  // Whether the device box `box` meets the surface and the present clip's
  // bounds: false where nothing of it can show (the clip is not read pixel
  // by pixel).
  bool MayShow(const RectF& box) const { return Usable() && VisibleDevice(box); }
  // MeasureString's layout box and the box of the glyphs' ink within it
  // (empty, at the layout point, for a text of blanks), in world units.
  Status MeasureStringInk(std::string_view ansi, const Font& font, const PointF& origin, const StringFormat* format,
                          RectF* layout, RectF* ink);
  // Each text drawn is told to `watcher` (null: none) until it is set again.
  void SetTextWatcher(TextWatcher* watcher) { watcher_ = watcher; }
  TextWatcher* GetTextWatcher() const { return watcher_; }

  // Strokes drawn while this is n (a power of two up to 256) are moved as a
  // whole, by at most half of 1/n device pixel each way, so that their
  // first point lies on a multiple of 1/n pixel: a small shape drawn again
  // anywhere then has one of n x n sub-pixel phases and paints the coverage
  // kept for that phase (shape_cache.h) instead of being rasterised anew.
  // 0 (the default) draws strokes where they are. Strokes with arrow caps
  // are never moved. InvalidParameter for any other value.
  Status SetStrokeSnap(int per_pixel);
  int GetStrokeSnap() const { return stroke_snap_; }

  // The device context this draws on (null when created without one).
  DeviceContext* GetDeviceContext() const { return dc_; }

 private:
  static int Count(std::size_t n) { return n > static_cast<std::size_t>(kMaxPoints) ? kMaxPoints + 1 : static_cast<int>(n); }
  Status Fail(Status s);
  bool Usable() const;
  void SyncMatrix();
  void SyncAntialias();
  void SetSource(ARGB color);
  void EmitPath(const detail::PathData& data) { EmitPathTo(cr_, data); }
  void EmitPathTo(cairo_t* cr, const detail::PathData& data);
  Status CheckPath(const detail::PathData& data, double pad);
  Status StrokeData(const Pen& pen, OpKind kind, const REAL* angles);
  Status FillData(const SolidBrush& brush, FillMode mode, OpKind kind, const REAL* angles);
  Status ApplyClipData(const detail::PathData& data, FillMode fill, CombineMode mode);
  Status TextOp(std::string utf8, const Font& font, const RectF& layout, const StringFormat* format,
                const SolidBrush* brush, RectF* measured, RectF* ink = nullptr);
  Shown ShownThrough(const RectF& box, bool infinite, const RectF& bounds, const detail::ClipPixels* pixels) const;
  void NoteClipPart(const detail::PathData& data, FillMode fill, CombineMode mode);
  // No clip from here on; recorded as `recorded_as`.
  void DropClip(OpKind recorded_as);
  void ExcludeFromCairoClip(cairo_t* cr, const detail::PathData& data, FillMode fill, int width, int height,
                            bool* matrix_dirty);
  void DrawArrow(const Pen& pen, const Pen::Arrow& arrow, double tipx, double tipy, double fromx, double fromy);
  void RecordCommon(RecordedOp& op) const;
  bool VisibleDevice(const RectF& r) const;
  bool WhollyClipped(double pad) const;
  bool ClipDashedLine(double pad, double& dash_offset);
  bool ThinStrokeFits(const Pen& pen, double width, bool dashed) const;
  detail::Affine DeviceAffine() const;
  // Moves the current operation's points onto the stroke snap's grid.
  void SnapStroke();
  bool DrawThinStroke(double half_width, const double* dashes, int dash_count, double dash_offset, ARGB colour);
  bool KeptCairoStroke(double width, const double* dashes, int dash_count, double dash_offset, const Pen& pen);
  void RecordShape(OpKind kind, bool filled, ARGB color, const Pen* pen, FillMode mode, const REAL* angles,
                   double pad);
  // Clip runs (see detail::SettleClippedDrawing).
  friend void detail::SettleClippedDrawing(const DeviceContext& dc);
  struct Span {
    int x0, x1;
  };
  // Every drawing call names the device box it may touch (pen, joins and
  // smoothing included) before it draws.
  void BeforeDraw(double x0, double y0, double x1, double y1) {
    if (!run_owned_) ClaimPixels();
    if (run_owned_) SaveOutside(x0, y0, x1, y1);
  }
  void ClaimPixels();
  // The clip the layer's own painting applies: a clip run's, which keeps no
  // pixels for what is painted through it.
  const detail::ClipPixels* PaintClip() const { return run_owned_ ? clip_.get() : nullptr; }
  void SaveOutside(double x0, double y0, double x1, double y1);
  void SaveOutsideClip(std::size_t row, int y, int x0, int x1);
  void SuspendRun();
  void EndRun();
  bool ClipMaskOf(const detail::PathData& data, FillMode fill, CombineMode mode);
  void SetDeviceClip();

  DeviceContext* dc_ = nullptr;
  TextWatcher* watcher_ = nullptr;
  // The clip as a state to hand out (made when first asked for, dropped
  // when the clip changes); with the former per-operation clip, the parts
  // that made it, in device units, to put it back with.
  mutable std::shared_ptr<const detail::ClipRecord> clip_record_;
  std::shared_ptr<const std::vector<detail::ClipPart>> clip_parts_;
  cairo_surface_t* surface_ = nullptr;
  cairo_t* cr_ = nullptr;
  Recorder* recorder_ = nullptr;
  Matrix world_;
  SmoothingMode smoothing_ = SmoothingMode::Default;
  PixelOffsetMode pixel_offset_ = PixelOffsetMode::Default;
  TextRenderingHint text_hint_ = TextRenderingHint::SystemDefault;
  Status last_status_ = Ok;
  bool matrix_dirty_ = true;
  bool aa_dirty_ = true;
  bool clip_infinite_ = true;
  RectF clip_bounds_;  // device space, valid when !clip_infinite_
  detail::PathData scratch_;     // the shape of the current operation, world units
  std::vector<PointF> rec_points_;  // its recorded points, world units
  RectF op_box_;                 // its device bounds (set by CheckPath)
  bool op_empty_ = true;
  bool op_far_ = false;          // reaches far off the surface
  bool fill_pass_ = false;
  bool clip_per_op_ = false;
  bool cairo_strokes_ = false;
  bool shape_cache_ = true;
  bool glyph_runs_ = true;
  bool far_runs_culled_ = true;
  bool stroke_snap_allowed_ = true;
  int stroke_snap_ = 0;
  detail::ThinStroke thin_;
  std::vector<detail::ThinStroke::FixPt> fixed_;  // the operation's points on the device grid
  detail::ShapeKey key_;
  detail::Coverage coverage_;
  std::vector<detail::RunGlyph> run_;           // the glyphs of the text being drawn
  std::vector<detail::PlacedGlyph> placed_;     // and their device places
  // The clip as pixels (valid when !clip_infinite_ and not clip_per_op_),
  // shared with the kept clips of the process; its box.
  std::shared_ptr<const detail::ClipPixels> clip_;
  Rect clip_box_;
  bool run_wanted_ = false;  // the clip is not a plain box
  bool run_owned_ = false;   // drawing unclipped, saving what lies outside the clip before it is drawn on
  // Pixels as they were before the run drew on them, in their own places;
  // saved_cols_[y] the columns of row y saved so far.
  std::unique_ptr<std::uint32_t[]> saved_;
  std::size_t saved_size_ = 0;
  std::vector<Span> saved_cols_;
  int saved_y0_ = 0, saved_y1_ = 0;
};

}  // namespace ovi::gfx
