#include "platelayoutfields.h"

#include "controlnames.h"
#include "numberedit.h"
#include "platesettingspanel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QVBoxLayout>

#include <algorithm>

namespace {

QGroupBox* Group(const char* name, const QString& title) {
    return Named(new QGroupBox(title), name, title);
}

} // namespace

CPlateLayoutFields::CPlateLayoutFields()
    : marginGroup(Group("marginGroup", QStringLiteral("여백"))),
      cutMarginGroup(Group("cutMarginGroup", QStringLiteral("재단선 여백"))),
      gridGroup(Group("gridGroup", QStringLiteral("그리드 간격"))),
      arrangementGroup(Group("arrangementGroup", QStringLiteral("배열 방식"))) {
    static const char* const kMarginNames[] = {"marginTop", "marginLeft", "marginBottom",
                                               "marginRight"};
    static const char* const kCutNames[] = {"cutMarginTop", "cutMarginLeft", "cutMarginBottom",
                                            "cutMarginRight"};
    const QString marginLabels[] = {QStringLiteral("상단"), QStringLiteral("좌측"),
                                    QStringLiteral("하단"), QStringLiteral("우측")};
    const QString cutLabels[] = {QStringLiteral("상"), QStringLiteral("좌"), QStringLiteral("하"),
                                 QStringLiteral("우")};
    auto* marginForm = new QFormLayout(marginGroup);
    auto* cutForm = new QFormLayout(cutMarginGroup);
    for (size_t edge = 0; edge < 4; ++edge) {
        margin[edge] =
            NamedNumber(kMarginNames[edge], QStringLiteral("여백 ") + marginLabels[edge]);
        marginForm->addRow(marginLabels[edge] + QLatin1Char(':'), margin[edge]);
        cutMargin[edge] =
            NamedNumber(kCutNames[edge], QStringLiteral("재단선 여백 ") + cutLabels[edge]);
        cutForm->addRow(cutLabels[edge] + QLatin1Char(':'), cutMargin[edge]);
    }

    gridWidth = NamedNumber("gridWidth", QStringLiteral("그리드 가로"));
    gridHeight = NamedNumber("gridHeight", QStringLiteral("그리드 세로"));
    auto* gridForm = new QFormLayout(gridGroup);
    gridForm->addRow(QStringLiteral("가로:"), gridWidth);
    gridForm->addRow(QStringLiteral("세로:"), gridHeight);

    arrangement = Named(new QComboBox, "arrangement", QStringLiteral("배열 방식"));
    arrangement->addItems(CPlateSettingsPanel::ArrangementNames());
    maxJob = Named(new QCheckBox(QStringLiteral("많은 건수 우선")), "arrangeMaxJob",
                   QStringLiteral("많은 건수 우선"));
    auto* arrangementLayout = new QVBoxLayout(arrangementGroup);
    arrangementLayout->addWidget(arrangement);
    arrangementLayout->addWidget(maxJob);
}

void CPlateLayoutFields::Show(const PlateProperties& p) {
    for (size_t edge = 0; edge < 4; ++edge) {
        margin[edge]->SetValue(p.margin[edge]);
        cutMargin[edge]->SetValue(p.cutMargin[edge]);
    }
    gridWidth->SetValue(p.gridWidth);
    gridHeight->SetValue(p.gridHeight);
    arrangement->setCurrentIndex(std::clamp(p.arrangeDirection, 0, 8));
    maxJob->setChecked(p.arrangeMaxJob != 0);
}

void CPlateLayoutFields::Take(PlateProperties& p) const {
    for (size_t edge = 0; edge < 4; ++edge) {
        p.margin[edge] = margin[edge]->Value();
        p.cutMargin[edge] = cutMargin[edge]->Value();
    }
    p.gridWidth = gridWidth->Value();
    p.gridHeight = gridHeight->Value();
    p.arrangeDirection = arrangement->currentIndex();
    p.arrangeMaxJob = maxJob->isChecked() ? 1 : 0;
}
