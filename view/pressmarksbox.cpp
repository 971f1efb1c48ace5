#include "pressmarksbox.h"

#include "controlnames.h"
#include "platesettingspanel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include <algorithm>

void SelectStoredName(QComboBox* combo, const QString& name) {
    int index = combo->findText(name);
    if (index < 0 && !name.isEmpty()) {
        combo->addItem(name);
        index = combo->count() - 1;
    }
    combo->setCurrentIndex(std::max(index, 0));
}

CPressMarksBox::CPressMarksBox(const QStringList& colorBarNames,
                               const QStringList& registrationMarkNames, QWidget* parent)
    : QWidget(parent) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    const QString edges[] = {QStringLiteral("상"), QStringLiteral("좌"), QStringLiteral("하"),
                             QStringLiteral("우")};
    static const char* const kCropNames[] = {"plateCropTop", "plateCropLeft", "plateCropBottom",
                                             "plateCropRight"};
    static const char* const kMarkNames[] = {"registrationMarkTop", "registrationMarkLeft",
                                             "registrationMarkBottom", "registrationMarkRight"};
    auto* crop = Named(new QGroupBox(QStringLiteral("판 재단 선")), "plateCropGroup",
                       QStringLiteral("판 재단 선"));
    auto* cropRow = new QHBoxLayout(crop);
    for (size_t edge = 0; edge < 4; ++edge) {
        m_plateCrop[edge] =
            NamedCheck(kCropNames[edge], edges[edge], QStringLiteral("판 재단 선 ") + edges[edge]);
        cropRow->addWidget(m_plateCrop[edge]);
    }
    layout->addWidget(crop);

    // The eight colour bar switches in their stored order.
    const QString barNames[] = {QStringLiteral("상-좌"), QStringLiteral("좌-상"),
                                QStringLiteral("상-우"), QStringLiteral("우-상"),
                                QStringLiteral("좌-하"), QStringLiteral("하-좌"),
                                QStringLiteral("우-하"), QStringLiteral("하-우")};
    static const char* const kBarNames[] = {
        "colorBarTopLeft",    "colorBarLeftTop",    "colorBarTopRight",    "colorBarRightTop",
        "colorBarLeftBottom", "colorBarBottomLeft", "colorBarRightBottom", "colorBarBottomRight"};
    auto* bars =
        Named(new QGroupBox(QStringLiteral("컬러 바")), "colorBarGroup", QStringLiteral("컬러 바"));
    auto* barGrid = new QGridLayout(bars);
    for (size_t i = 0; i < 8; ++i) {
        m_colorBar[i] =
            NamedCheck(kBarNames[i], barNames[i], QStringLiteral("컬러 바 ") + barNames[i]);
        barGrid->addWidget(m_colorBar[i], int(i) / 4, int(i) % 4);
    }
    m_colorBarName = NamedCombo("colorBarName", QStringLiteral("컬러 바 프리셋"), colorBarNames);
    m_colorBarAlign = NamedCombo("colorBarAlign", QStringLiteral("컬러 바 정렬"),
                                 CPlateSettingsPanel::AlignNames());
    barGrid->addWidget(m_colorBarName, 2, 0, 1, 2);
    barGrid->addWidget(m_colorBarAlign, 2, 2, 1, 2);
    layout->addWidget(bars);

    auto* marks = Named(new QGroupBox(QStringLiteral("맞춤표")), "registrationMarkGroup",
                        QStringLiteral("맞춤표"));
    auto* markGrid = new QGridLayout(marks);
    for (size_t edge = 0; edge < 4; ++edge) {
        m_registrationMark[edge] =
            NamedCheck(kMarkNames[edge], edges[edge], QStringLiteral("맞춤표 ") + edges[edge]);
        markGrid->addWidget(m_registrationMark[edge], 0, int(edge));
    }
    m_registrationMarkName =
        NamedCombo("registrationMarkName", QStringLiteral("맞춤표 프리셋"), registrationMarkNames);
    m_registrationMarkAlign = NamedCombo("registrationMarkAlign", QStringLiteral("맞춤표 정렬"),
                                         CPlateSettingsPanel::AlignNames());
    markGrid->addWidget(m_registrationMarkName, 1, 0, 1, 2);
    markGrid->addWidget(m_registrationMarkAlign, 1, 2, 1, 2);
    layout->addWidget(marks);
}

void CPressMarksBox::Show(const PlateProperties& p) {
    for (size_t edge = 0; edge < 4; ++edge) {
        m_plateCrop[edge]->setChecked(p.plateCrop[edge] != 0);
        m_registrationMark[edge]->setChecked(p.registrationMark[edge] != 0);
    }
    for (size_t i = 0; i < 8; ++i)
        m_colorBar[i]->setChecked(p.colorBar[i] != 0);
    SelectStoredName(m_colorBarName, p.colorBarName);
    m_colorBarAlign->setCurrentIndex(std::clamp(p.colorBarAlign, 0, 2));
    SelectStoredName(m_registrationMarkName, p.registrationMarkName);
    m_registrationMarkAlign->setCurrentIndex(std::clamp(p.registrationMarkAlign, 0, 2));
}

void CPressMarksBox::Take(PlateProperties& p) const {
    for (size_t edge = 0; edge < 4; ++edge) {
        p.plateCrop[edge] = m_plateCrop[edge]->isChecked() ? 1 : 0;
        p.registrationMark[edge] = m_registrationMark[edge]->isChecked() ? 1 : 0;
    }
    for (size_t i = 0; i < 8; ++i)
        p.colorBar[i] = m_colorBar[i]->isChecked() ? 1 : 0;
    p.colorBarName = m_colorBarName->currentText();
    p.colorBarAlign = m_colorBarAlign->currentIndex();
    p.registrationMarkName = m_registrationMarkName->currentText();
    p.registrationMarkAlign = m_registrationMarkAlign->currentIndex();
}
