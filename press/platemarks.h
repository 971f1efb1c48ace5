#pragma once

#include "engine/plateproperties.h"
#include "markup/result.h"

#include <QString>

#include <array>

class CPDFServer;
class CTesselDoc;
class CZelColorPresets;
class CZelPressMarkPresets;
class CZelItem;
class ProgressSink;

// The furniture of one composed side besides the title: colour bars,
// registration marks, text boxes, free lines, plate cut marks and the own
// cut marks of items, drawn through the composition library on the open page.
//
// The back side of a two-sided plate, and the second half of a work-and-turn
// plate, are mirrored: mode 1 about the sheet's width, mode 2 about its
// height. Furniture in the margin bands is not mirrored but takes the
// exchanged margins of the mirrored axis.
class CPlateMarks {
public:
    using Margins = std::array<double, 4>; // by PlateProperties::Edge

    CPlateMarks(const CTesselDoc& doc, CPDFServer& pdf, const CZelColorPresets* colors,
                ProgressSink* progress = nullptr);

    // The mirror mode of a side: its first pass, or (work-and-turn) its second half.
    static int MirrorMode(const CTesselDoc& doc, int side, bool secondHalf = false);
    // Whether the side has a mirrored second half (work-and-turn, not the label side).
    static bool HasSecondHalf(const CTesselDoc& doc, int side);
    Margins SideMargins(int mode) const;
    // Across the band of edge, where an object of thickness t starts; false
    // when it would lie less than 1 mm inside the sheet.
    static bool BandPosition(PlateProperties::Edge edge, double t, int align,
                             const Margins& margins, double sheetWidth, double sheetHeight,
                             double& position);
    // An item's top-left as the mode mirrors it.
    void MirroredPosition(const CZelItem& item, int mode, double& x, double& y) const;

    // "A 판", "B 판" or "레이블 판".
    static QString SideName(const CTesselDoc& doc, int side);

    // Each stage; a missing preset or file skips the stage. Fails with the
    // library's reason when a drawing call fails.
    Result<void> ColorBars(int side, const CZelPressMarkPresets* bars);
    Result<void> RegistrationMarks(int side, const CZelPressMarkPresets* marks);
    Result<void> TextBoxes(int side);
    Result<void> Lines(int side);
    Result<void> PlateCutMarks(int side);
    Result<void> OwnCutMarks(int side);

private:
    // The library's reason, after what it was drawing.
    Failure Fail(const QString& what) const;
    // One pass of plate cut marks; step counts its grid lines (and only
    // counts them, drawing nothing, when countOnly).
    Result<void> CutMarksOnce(int mode, int& step, bool countOnly);
    void Begin(const QString& title, const QString& detail, int range);

    const CTesselDoc& m_doc;
    CPDFServer& m_pdf;
    const CZelColorPresets* m_colors;
    ProgressSink* m_progress;
};
