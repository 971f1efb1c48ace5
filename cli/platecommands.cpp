#include "platecommands.h"

#include "engine/tesseldoc.h"
#include "records/joblisttext.h"

namespace {

using joblisttext::LengthText;
using joblisttext::SizeText;

QString SideText(const PlateProperties& p, const PlateGeometry& g) {
    static const char16_t* const kTurn[] = {u"수평 대첩", u"수직 대첩", u"대첩 안함"};
    if (g.workAndTurn) {
        const int turn = p.turnDirection >= 0 && p.turnDirection <= 2 ? p.turnDirection : 2;
        return QStringLiteral("돈땡 (%1)").arg(QString::fromUtf16(kTurn[turn]));
    }
    return g.paperSide ? QStringLiteral("양면") : QStringLiteral("단면");
}

QString SideNames(const PlateGeometry& g) {
    QStringList names;
    for (int side = 0; side < g.sideCount; ++side)
        names << (side == g.labelSide ? QStringLiteral("L") : side == 0 ? QStringLiteral("A") : QStringLiteral("B"));
    return names.join(QStringLiteral(", "));
}

int Show(CommandLine& args) {
    QStringList files;
    if (!args.Positionals(files, 1, 1))
        return Fail(args.Error(), 2);
    CTesselDoc doc;
    QString error;
    if (!doc.Open(files.at(0), &error))
        return Fail(error);
    const PlateProperties& p = doc.Properties();
    const PlateGeometry& g = doc.Geometry();

    PrintLine(QStringLiteral("Plate %1 (%2)").arg(p.jobCode, doc.Path()));
    PrintLine(QStringLiteral("  Preset: %1   Date: %2   Operator: %3 (%4, %5)")
                  .arg(p.presetName, p.jobDate, p.userName, p.userAccount, p.userInitial));
    PrintLine(QStringLiteral("  Paper: %1, %2 (%3), %4, colours A %5 B %6")
                  .arg(p.paperType, SizeText(p.width, p.height), p.size, SideText(p, g))
                  .arg(p.colorA ? 4 : 1)
                  .arg(p.colorB ? 4 : 1));
    PrintLine(QStringLiteral("  Quantity: %1%2, %3 sheets per plate, %4 page(s)")
                  .arg(p.pressQuantityText, p.pressUnit ? QStringLiteral("연") : QStringLiteral("매"))
                  .arg(p.pressCount)
                  .arg(p.pageCount));
    PrintLine(QStringLiteral("  Layout: %1; usable %2 at (%3, %4)")
                  .arg(SizeText(g.layoutWidth, g.layoutHeight),
                       SizeText(g.usableArea.width, g.usableArea.height), LengthText(g.usableArea.x),
                       LengthText(g.usableArea.y)));
    if (g.HasGrid())
        PrintLine(QStringLiteral("  Grid: %1, %2 columns x %3 rows (%4 cells), arrangement %5")
                      .arg(SizeText(p.gridWidth, p.gridHeight))
                      .arg(g.gridColumns)
                      .arg(g.gridRows)
                      .arg(g.cellsByRow.size())
                      .arg(p.arrangeDirection));
    else
        PrintLine(QStringLiteral("  Grid: none, arrangement %1").arg(p.arrangeDirection));
    PrintLine(QStringLiteral("  Sides: %1 (%2 output plates)").arg(SideNames(g)).arg(g.sideCount));
    PrintLine(QStringLiteral("  Lines: %1, text boxes: %2").arg(doc.Lines().size()).arg(doc.TextBoxes().size()));

    PrintLine(QStringLiteral("Items: %1").arg(doc.ItemCount()));
    for (int i = 0; i < doc.ItemCount(); ++i) {
        const CZelItem& item = *doc.ItemAt(i);
        PrintLine(QStringLiteral("  %1. %2 case %3/%4 at (%5, %6) size %7 rotate %8%9 own cut %10 frame %11 label %12")
                      .arg(i + 1)
                      .arg(item.ordernum)
                      .arg(item.mediaInd + 1)
                      .arg(item.pcases)
                      .arg(LengthText(item.x), LengthText(item.y),
                           SizeText(item.EffectiveWidth(), item.EffectiveHeight()))
                      .arg(item.rotate)
                      .arg(item.mediaRotate ? QStringLiteral(" (artwork turned)") : QString())
                      .arg(item.ownCut ? QStringLiteral("on") : QStringLiteral("off"))
                      .arg(item.ownFrame ? item.ownFrameColor : QStringLiteral("off"))
                      .arg(item.labelName.isEmpty() ? QStringLiteral("(automatic)") : item.labelName));
    }
    return 0;
}

} // namespace

std::vector<Command> PlateCommands() {
    return {
        {"plate show", "PLATE.tzmp", "print a plate: its settings, geometry and items", Show},
    };
}
