#include "src/instruments/ehsi/md80/radio_fields.h"

#include <optional>

#include "src/display/kit.h"
#include "src/guidance/state.h"
#include "src/host/sim_vars.h"
#include "src/model/state.h"

namespace ovi::ehsi {

namespace {

using display::DrawScreenText;
using display::DrawScreenTextF;
using display::FiniteOr;
using display::colour::kBlue;
using display::colour::kWhite;

const guidance::State& G() { return guidance::guidance_state; }

constexpr Segment kAdfSymbolLines[] = {
    {{55, 185}, {55, 195}}, {{55, 175}, {50, 185}}, {{55, 175}, {60, 185}}, {{50, 185}, {60, 185}}};
constexpr Shape kAdfSymbol{kBlue, 2.0f, kAdfSymbolLines, {}};

// Pointing where the wind blows to, 20 units long about its middle.
constexpr Segment kWindArrowLines[] = {
    {{0, -10}, {2, -5}}, {{0, -10}, {-2, -5}}, {{0, 0}, {0, -10}}, {{0, 0}, {0, 10}}};
constexpr Shape kWindArrow{kWhite, 1.0f, kWindArrowLines, {}};

}  // namespace

bool Md80AdfShown() { return model::model_state.Md80EhsiShowAdf == 1 && G().AdfSignal > 0.0; }

void DrawMd80DmeFields(const RoseFrame& c, const Md80RadioFields& f) {
  c.At();
  const gfx::Font font = f.font(13.0f);
  const gfx::SolidBrush white(kWhite);
  const double dme1 = FiniteOr(G().Nav1DmeDistance);
  if (dme1 > 0.0) {
    DrawScreenTextF(c.g, font, white, f.dme1_at.X, f.dme1_at.Y, "%-3.1f", dme1);
    DrawScreenText(c.g, font, white, f.dme1_at.X, f.dme1_at.Y + f.dme_label_below, "DME1");
  }
  const double dme2 = FiniteOr(G().Nav2DmeDistance);
  if (dme2 > 0.0) {
    DrawScreenTextF(c.g, font, white, f.dme2_at.X, f.dme2_at.Y, "%3.1f", dme2);
    DrawScreenText(c.g, font, white, f.dme2_at.X, f.dme2_at.Y + f.dme_label_below, "DME2");
  }
}

void DrawMd80Glideslope(const RoseFrame& c, const Md80RadioFields& f) {
  if (host::IsNav1GlideslopeAvailable() != 0) DrawGlideslopeScale(c, f.glideslope, G().Nav1GlideslopeNeedle);
}

void DrawMd80AdfLabel(const RoseFrame& c, const Md80RadioFields& f) {
  if (!Md80AdfShown()) return;
  c.At();
  DrawScreenText(c.g, f.font(13.0f), gfx::SolidBrush(kWhite), 5.0f, 180.0f, "ADF1");
  DrawShape(c.g, kAdfSymbol);
}

void DrawMd80SourceLabel(const RoseFrame& c, const Md80RadioFields& f) {
  if (!(host::GetNav1Signal() > 0.0)) return;
  c.At();
  DrawScreenText(c.g, f.font(13.0f), gfx::SolidBrush(kWhite), 220.0f, 185.0f,
                 host::IsNav1Localizer() != 0 ? "ILS" : "VOR");
}

void DrawMd80Wind(const RoseFrame& c, const Md80RadioFields& f) {
  const double speed = FiniteOr(G().WindSpeed);
  if (!(speed >= 1.0)) return;
  c.At();
  DrawScreenTextF(c.g, f.font(10.0f), gfx::SolidBrush(kWhite), f.wind_text_at.X, f.wind_text_at.Y, "%2.0f", speed);
  double to = FiniteOr(G().WindDirectionMagnetic) + 180.0;
  if (to > 360.0) to -= 360.0;
  const RoseFrame arrow{c.g, c.scale, f.wind_arrow_at.X, f.wind_arrow_at.Y, c.heading};
  DrawShapeToward(arrow, to, kWindArrow);
}

void DrawMd80RadioFields(const RoseFrame& canvas, const Md80RadioFields& fields) {
  DrawMd80DmeFields(canvas, fields);
  canvas.g.ResetClip();
  DrawMd80AdfLabel(canvas, fields);
  DrawMd80Glideslope(canvas, fields);
  DrawMd80SourceLabel(canvas, fields);
  DrawMd80Wind(canvas, fields);
}

bool DrawMd80AdfAndCourse(const RoseFrame& f, const Shape& adf, const CoursePointer& course, bool heads) {
  if (Md80AdfShown()) DrawShapeToward(f, FiniteOr(G().AdfRelativeBearing) + 360.0 + f.heading, adf);
  const bool nav1 = host::GetNav1Signal() > 0.0;
  const ToFrom sense = !heads ? ToFrom::kNone : display::Nav1ToStation() ? ToFrom::kTo : ToFrom::kFrom;
  DrawCoursePointer(f, course, FiniteOr(G().SelectedCourse),
                    nav1 ? std::optional<double>(G().Nav1CdiNeedle) : std::nullopt, sense);
  return nav1;
}

}  // namespace ovi::ehsi
