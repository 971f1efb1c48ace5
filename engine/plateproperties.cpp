#include "plateproperties.h"

#include "records/zeldocumentpreset.h"

#include <cmath>

int PressCountFromQuantity(double quantity, int pressUnit) {
    const double sheets = std::trunc(quantity);
    const double count = pressUnit != 0 ? sheets * 500.0 : sheets;
    if (!(count > -2147483648.0 && count < 2147483647.0))
        return 0;
    return static_cast<int>(count);
}

QString PlateQuantityText(double quantity) {
    return QString::number(quantity, 'f', 1);
}

void PlateProperties::Normalize() {
    if (pageCount < 1)
        pageCount = 1;
    if (pressCount < 1)
        pressCount = PressCountFromQuantity(quantity, pressUnit);
    if (pressQuantityText.isEmpty() || pressQuantityText == QLatin1String("0"))
        pressQuantityText = PlateQuantityText(quantity);
}

namespace {

// A key's value into a field of the field's type.
void Take(const MarkupValue& value, QString& field) {
    field = value.toString();
}
void Take(const MarkupValue& value, int& field) {
    field = value.toInt();
}
void Take(const MarkupValue& value, double& field) {
    field = value.toDouble();
}

// The plate keys and the fields that hold them, one list for reading and
// writing: bind(key's value, field) for each, in the order the file has them.
template <typename Preset, typename Properties, typename Bind>
void EachPlateKey(Preset& p, Properties& s, Bind&& bind) {
    using E = CZelDocumentPreset::Edge;
    bind(p.PaperType(), s.paperType);
    bind(p.PaperSide(), s.paperSideSetting);
    bind(p.Color(false), s.colorA);
    bind(p.Color(true), s.colorB);
    bind(p.Imposition(), s.turnDirection);
    bind(p.Quantity(), s.quantity);
    bind(p.PressUnit(), s.pressUnit);
    bind(p.PQuantity(), s.pressCount);
    bind(p.Comment(), s.comment);
    bind(p.AfterWork(), s.afterWork);
    bind(p.Size(), s.size);
    bind(p.Width(), s.width);
    bind(p.Height(), s.height);
    bind(p.GridWidth(), s.gridWidth);
    bind(p.GridHeight(), s.gridHeight);
    for (int e = 0; e < 4; ++e) {
        bind(p.Margin(E(e)), s.margin[e]);
        bind(p.CutMargin(E(e)), s.cutMargin[e]);
        bind(p.PlateCrop(E(e)), s.plateCrop[e]);
        bind(p.RegistrationMark(E(e)), s.registrationMark[e]);
    }
    bind(p.ArrangeDirection(), s.arrangeDirection);
    bind(p.ArrangeMaxJob(), s.arrangeMaxJob);
    bind(p.TitlePosition(), s.titlePosition);
    bind(p.TitleItems(), s.titleItems);
    bind(p.TitleAlign(), s.titleAlign);
    for (int b = 0; b < 8; ++b)
        bind(p.ColorBar(CZelDocumentPreset::ColorBarPosition(b)), s.colorBar[b]);
    bind(p.ColorBarAlign(), s.colorBarAlign);
    bind(p.ColorBarName(), s.colorBarName);
    bind(p.RegistrationMarkAlign(), s.registrationMarkAlign);
    bind(p.RegistrationMarkName(), s.registrationMarkName);
}

} // namespace

void PlateProperties::ReadPlateKeys(const CZelDocumentPreset& p) {
    EachPlateKey(p, *this, [](const MarkupValue& value, auto& field) { Take(value, field); });
    titleFont = LogFont();
    barcodeFont = LogFont();
    p.GetFont(CZelDocumentPreset::FontKind::Title, titleFont);
    p.GetFont(CZelDocumentPreset::FontKind::Barcode, barcodeFont);
}

void PlateProperties::WritePlateKeys(CZelDocumentPreset& p) const {
    EachPlateKey(p, *this, [](MarkupValue& value, const auto& field) { value = field; });
    p.SetFont(CZelDocumentPreset::FontKind::Title, titleFont);
    p.SetFont(CZelDocumentPreset::FontKind::Barcode, barcodeFont);
}
