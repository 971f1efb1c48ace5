#pragma once

#include "plategeometry.h"
#include "plateproperties.h"
#include "zelbound.h"

#include <QString>

class CTesselDoc;
class CZelItem;

// What the plate view asks of the plate, in plate terms: zoom steps, the side
// shown, hit testing and selection, and the property changes the view's panel
// makes. The view keeps no plate data; it calls these and repaints.
namespace plateview {

// Zoom factors in thousandths, so that a level compares exactly (a float
// 0.12 lies below 0.12 and would never leave the lowest level).
inline constexpr int kZoomLevels[] = {120, 250, 330, 500, 750, 1000, 1250, 1500, 2000};
inline constexpr int kMinZoom = 120;
inline constexpr int kMaxZoom = 2000;
inline constexpr int kInitialZoom = 500;

// One step: +1 to the next level above, -1 to the next below (a zoom at or
// beyond the end stays), 0 back to 1:1.
int StepZoom(int zoom, int step);
bool CanZoomIn(int zoom);
bool CanZoomOut(int zoom);
// "%.1f%%" of the zoom: 330 reads "33.0%".
QString ZoomText(int zoom);
// A zoom the operator typed as a percentage, held within the levels' range;
// empty text, NaN or infinity gives nothing.
int ZoomFromPercent(double percent, int current);
// The scroll position after a zoom: the same fraction of the new range,
// within 0..newRange; 0 when there was no range to take a fraction of.
int ScrollAfterZoom(int position, int oldRange, int newRange);

// The side the view shows, and its number among the plate's output sides:
// A is 0, B is 1 on a double-sided plate, the label plate is labelSide (1
// on single-sided and work-and-turn plates). -1 when the plate has no such
// side (B of a single-sided plate).
enum class ViewSide { A, B, Label };
int GeometrySide(ViewSide side, const PlateGeometry& geometry);
// The side to show after an open or a property change: A when the one shown
// no longer exists.
ViewSide FitViewSide(ViewSide side, const PlateGeometry& geometry);

// Every item lies on the plate's first page: later pages show the plate's
// furniture only. (An item's PAGE_NUM is the artwork page it shows, not a
// plate page.)
constexpr int kItemPage = 0;

// The topmost item of a page (last drawn first) whose box contains the
// point (millimetres from the page's top-left); null when none.
const CZelItem* TopmostItemAt(const CTesselDoc& doc, int page, double x, double y);

// A click at a plate point. An item already selected keeps the selection (a
// drag moves all of it); another item replaces it, or joins it with Shift;
// empty space clears it unless Shift is held. Whether the selection changed.
bool ClickSelect(CTesselDoc& doc, int page, double x, double y, bool shift);

// A rubber band on a page: every item whose box meets the rectangle joins
// the selection, which is cleared first unless adding. Whether it changed.
bool SelectInRect(CTesselDoc& doc, int page, const CZelBound& rect, bool add);

// What a change of the plate's settings did.
struct PropertyChange {
    bool changed = false;         // some setting differs; the plate is marked modified
    bool geometryChanged = false; // the layout moved: recompute and repaint everything
};
// Gives the plate these settings; a value equal to the current one changes
// nothing and leaves the modified flag alone.
PropertyChange ChangeProperties(CTesselDoc& doc, const PlateProperties& properties);
// The arrangement the panel chose (ARRANGE_DIRECTION); marks the plate
// modified only when it differs, never clears the flag.
PropertyChange SetArrangeDirection(CTesselDoc& doc, int direction);

} // namespace plateview
