// The MD-80's fields around its rose and arc, alike in both but for their
// places and font: DME distances, the glideslope scale, the ADF label, the
// radio source and the wind. Drawn on the plain canvas.
#pragma once

#include "src/instruments/ehsi/kit.h"

namespace ovi::ehsi {

using FontOf = gfx::Font (*)(float size);

struct Md80RadioFields {
  FontOf font;
  // Top-left corners of the distances; each label stands under its value.
  gfx::PointF dme1_at;
  gfx::PointF dme2_at;
  float dme_label_below;
  GlideslopeScale glideslope;
  // The wind's speed (top-left corner) and the centre its arrow turns about.
  gfx::PointF wind_text_at = {10.0f, 150.0f};
  gfx::PointF wind_arrow_at = {10.0f, 140.0f};
};

// `canvas` is a frame with its origin on the canvas's corner.
void DrawMd80DmeFields(const RoseFrame& canvas, const Md80RadioFields& fields);
void DrawMd80Glideslope(const RoseFrame& canvas, const Md80RadioFields& fields);
// "ADF1" and its symbol while the ADF is shown and receives.
void DrawMd80AdfLabel(const RoseFrame& canvas, const Md80RadioFields& fields);
void DrawMd80SourceLabel(const RoseFrame& canvas, const Md80RadioFields& fields);
void DrawMd80Wind(const RoseFrame& canvas, const Md80RadioFields& fields);
// The ADF is shown (its key) and receives.
bool Md80AdfShown();
// All of them: the DME distances under the clip in force, then, with no
// clip, the ADF label, the glideslope, the source and the wind.
void DrawMd80RadioFields(const RoseFrame& canvas, const Md80RadioFields& fields);

// The ADF pointer toward the station while Md80AdfShown, then the course
// pointer on the selected course with NAV1's needle while NAV1 receives;
// `heads`: with its TO/FROM head (the station's side taken the short way
// round, so a station just across north of the course is ahead), else
// without. Whether NAV1 receives.
bool DrawMd80AdfAndCourse(const RoseFrame& f, const Shape& adf, const CoursePointer& course, bool heads);

}  // namespace ovi::ehsi
