// Everything of the P1000 MFD outside the map: wind, selected heading, true
// airspeed and ground speed, the soft-key legends (layer keys with the menu
// closed, the menu's pages with it open, the VNAV page's values) and the
// selected altitude. Static texts and lines are painted on a full repaint;
// a changing value is repainted over its own background when it changed
// since the previous tick.
#include <algorithm>
#include <cmath>
#include <span>

#include "src/guidance/state.h"
#include "src/instruments/mfd/p1000/p1000_mfd.h"
#include "src/instruments/mfd/p1000/state.h"
#include "src/model/state.h"

namespace ovi::p1000 {

namespace {

using display::FiniteOr;
namespace colour = display::colour;

const guidance::State& G() { return guidance::guidance_state; }

constexpr double kWindFrom = 1.0;         // knots
constexpr double kGroundSpeedFrom = 5.0;  // knots

struct Legend {
  const char* text;
  float x, y;
};
constexpr Legend kLayerLegends[] = {{"APT", 48, 275},  {"NAV", 80, 275},  {"---", 121, 275},
                                    {"TCAS", 153, 275}, {"ATC", 190, 275}, {"BDRY", 187, 290}};
constexpr Legend kMainMenuLegends[] = {{"VNAV", 76, 275},   {"T/O", 121, 275},  {"SPEEDS", 114, 290},
                                       {"LNDG", 157, 275}, {"SPEEDS", 152, 290}};

// A value as the fields print it: a number, and never wider than its field.
double Shown(double value, double lowest, double highest) { return std::clamp(FiniteOr(value), lowest, highest); }

class Fields {
 public:
  explicit Fields(const P1000Frame& f)
      : f_(f),
        hw8_(display::DaReredBold(8.0f)),
        hw10_(display::DaReredBold(10.0f)),
        hw14_(display::DaReredBold(14.0f)),
        hw17_(display::DaReredBold(17.0f)),
        hw25_(display::DaReredBold(25.0f)),
        white_(colour::kWhite),
        light_green_(colour::kLightGreen),
        blue_(colour::kBlue),
        magenta_(colour::kMagenta),
        amber_(colour::kAmber),
        background_(f.background),
        pen_(colour::kWhite, 2.0f) {}

  void Wind();
  void StaticFrame(int selected_heading);
  void TrueAirspeed();
  void GroundSpeed();
  void Legends();
  void SelectedAltitude();

 private:
  void Text(const gfx::Font& font, const gfx::SolidBrush& brush, float x, float y, const char* text) {
    display::DrawScreenText(f_.g, font, brush, x, y, text);
  }
  void Line(int x1, int y1, int x2, int y2) { f_.g.DrawLineI(pen_, x1, y1, x2, y2); }
  void Erase(int x, int y, int w, int h) { f_.g.FillRectangleI(background_, x, y, w, h); }
  void Draw(std::span<const Legend> legends, const gfx::Font& font) {
    for (const Legend& l : legends) Text(font, white_, l.x, l.y, l.text);
  }
  void VnavPage();

  const P1000Frame& f_;
  gfx::Font hw8_, hw10_, hw14_, hw17_, hw25_;
  gfx::SolidBrush white_, light_green_, blue_, magenta_, amber_, background_;
  gfx::Pen pen_;
};

// The wind's speed, and an arrow the way it blows relative to the heading.
// Below 1 kt nothing is drawn and the last picture stays.
void Fields::Wind() {
  const guidance::State& s = G();
  if (!(s.WindSpeed >= kWindFrom)) return;
  Erase(5, 10, 50, 15);
  display::DrawScreenTextF(f_.g, hw14_, light_green_, 20.0f, 10.0f, "%4.0f", Shown(s.WindSpeed, 0.0, 9999.0));
  double toward = FiniteOr(s.WindDirectionMagnetic) + 180.0;
  if (toward > 360.0) toward -= 360.0;
  f_.UseOrigin(15.0, 18.0, toward - FiniteOr(s.AircraftHeading));
  const gfx::Point head[] = {{0, -6}, {5, -1}, {-5, -1}};
  f_.g.FillPolygonI(white_, head, 3);
  Line(0, -1, 0, 6);
  f_.UseCanvas();
}

void Fields::StaticFrame(int selected_heading) {
  Line(0, 225, 40, 225);
  Line(40, 225, 40, 272);
  Text(hw14_, white_, 0.0f, 192.0f, "HDG");
  display::DrawScreenTextF(f_.g, hw17_, blue_, 0.0f, 205.0f, "%03d", selected_heading);
  Line(222, 200, 222, 272);
  Line(222, 200, 268, 200);
  Text(hw14_, white_, 223.0f, 201.0f, "TAS");
}

void Fields::TrueAirspeed() {
  const guidance::State& s = G();
  if (s.TrueAirspeedEstimate > 0.0 || !f_.full_repaint) {
    if (!f_.full_repaint) {
      if (s.TrueAirspeedEstimate == s.PreviousTrueAirspeedEstimate) return;
      Erase(224, 214, 35, 12);
    }
    display::DrawScreenTextF(f_.g, hw14_, light_green_, 223.0f, 213.0f, "%-3.0f",
                             Shown(s.TrueAirspeedEstimate, -999.0, 9999.0));
  } else {
    Text(hw25_, amber_, 223.0f, 204.0f, "---");
  }
}

// A changed ground speed of 5 kt or less on a partial frame draws nothing:
// the last value stays until the next full repaint shows "---".
void Fields::GroundSpeed() {
  const guidance::State& s = G();
  if (s.GroundSpeedKnots > kGroundSpeedFrom || !f_.full_repaint) {
    if (!f_.full_repaint && s.GroundSpeedKnots == s.PrevGroundSpeed) return;
    if (!(s.GroundSpeedKnots > kGroundSpeedFrom)) return;
    if (!f_.full_repaint) Erase(224, 238, 35, 12);
    display::DrawScreenTextF(f_.g, hw14_, magenta_, 223.0f, 237.0f, "%-3.0f", Shown(s.GroundSpeedKnots, 0.0, 9999.0));
  } else {
    Text(hw25_, amber_, 223.0f, 226.0f, "---");
  }
}

// The VNAV page: each value under its legend, in brackets while its field
// is selected, "---" while it is not set.
void Fields::VnavPage() {
  const State& p = p1000_state;
  const double fpa = model::model_state.FPA;
  auto open = [](bool selected) { return selected ? "[" : ""; };
  auto close = [](bool selected) { return selected ? "]" : ""; };
  // Each value in its own width: the vertical speed takes four places.
  enum class Width { kTwo, kFour };
  auto value = [&](float x, double v, bool selected, double highest, Width width) {
    if (v == 0.0)
      display::DrawScreenTextF(f_.g, hw8_, white_, x, 290.0f, "%s---%s", open(selected), close(selected));
    else
      display::DrawScreenTextF(f_.g, hw8_, white_, x, 290.0f, width == Width::kFour ? "%s%4.0f%s" : "%s%2.0f%s",
                               open(selected), Shown(v, -highest, highest), close(selected));
  };
  Text(hw8_, white_, 10.0f, 275.0f, "SET");
  Text(hw8_, white_, 45.0f, 275.0f, "RTN");
  Text(hw8_, white_, 87.0f, 275.0f, p.P1000VnavDistanceSelect == 2 ? "FM" : "TO");
  value(87.0f, FiniteOr(p.P1000VnavDistance), p.P1000VnavDistanceSelect >= 1, 9999.0, Width::kTwo);
  Text(hw8_, white_, 115.0f, 275.0f, "ST EL");
  value(120.0f, FiniteOr(p.P1000VnavTargetAltitude), p.P1000VnavAltitudeSelect == 1, 99999.0, Width::kTwo);
  Text(hw8_, white_, 153.0f, 275.0f, "VANG");
  const bool angle = p.P1000VnavAngleSelect == 1;
  if (p.P1000VnavTargetAltitude > 0.0 && p.P1000VnavDistance > 0.0)
    display::DrawScreenTextF(f_.g, hw8_, white_, 157.0f, 290.0f, "%s---%s", open(angle), close(angle));
  else
    display::DrawScreenTextF(f_.g, hw8_, white_, 157.0f, 290.0f, "%s%2.1f%s", open(angle), Shown(fpa, -9.9, 99.9),
                             close(angle));
  Text(hw8_, white_, 195.0f, 275.0f, "VS");
  value(190.0f, FiniteOr(p.P1000VnavVerticalSpeed), false, 9999.0, Width::kFour);
}

void Fields::Legends() {
  Line(222, 255, 268, 255);
  Line(0, 272, 267, 272);
  if (model::model_state.P1000MenuOpen == 0)
    Draw(kLayerLegends, hw10_);
  else if (p1000_state.P1000MenuPage == kMainMenuPage)
    Draw(kMainMenuLegends, hw8_);
  else if (p1000_state.P1000MenuPage == kVnavPage)
    VnavPage();
  Text(hw10_, white_, 228.0f, 275.0f, "ALT");
  Text(hw14_, blue_, 245.0f, 289.0f, "oo");
}

// In hundreds of feet, three characters at most.
void Fields::SelectedAltitude() {
  Erase(220, 290, 27, 15);
  const int feet = static_cast<int>(Shown(G().ApAltitudeLockVar, -9999.0, 99999.0));
  display::DrawScreenTextF(f_.g, hw14_, blue_, 220.0f, 290.0f, "%03d", feet / 100);
}

}  // namespace

void DrawP1000DataFields(const P1000Frame& f) {
  double bug = std::fmod(FiniteOr(G().ApHeadingLockDir), 360.0);
  if (bug < 0.0) bug += 360.0;
  int selected_heading = static_cast<int>(bug);
  if (selected_heading == 0) selected_heading = 360;

  f.UseCanvas();
  Fields fields(f);
  fields.Wind();
  if (f.full_repaint) fields.StaticFrame(selected_heading);
  fields.TrueAirspeed();
  if (f.full_repaint) display::DrawScreenText(f.g, display::DaReredBold(14.0f), gfx::SolidBrush(colour::kWhite),
                                              223.0f, 225.0f, "GSPD");
  fields.GroundSpeed();
  if (f.full_repaint) fields.Legends();
  fields.SelectedAltitude();
  f.UseCanvas();
}

}  // namespace ovi::p1000
