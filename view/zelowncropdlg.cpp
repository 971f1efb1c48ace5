#include "zelowncropdlg.h"

#include "controlnames.h"
#include "numberedit.h"

#include "engine/operatorinterface.h"
#include "engine/platechecks.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QVBoxLayout>

CZelOwnCropDlg::CZelOwnCropDlg(const CTesselDoc::OwnCutSettings& settings, OperatorInterface& op,
                               double gridWidth, double gridHeight, QWidget* parent)
    : QDialog(parent), m_op(op), m_gridWidth(gridWidth), m_gridHeight(gridHeight) {
    setObjectName(QStringLiteral("ownCropDialog"));
    setWindowTitle(QStringLiteral("독립 재단선"));
    setAccessibleName(windowTitle());

    // The marks stand around the item where they are drawn: two on each
    // edge, clockwise from the top-left.
    struct Mark {
        const char* name;
        const char16_t* text;
        int row, column;
    };
    const Mark marks[8] = {
        {"crop01", u"위 왼쪽", 0, 1},     {"crop02", u"위 오른쪽", 0, 2},
        {"crop03", u"오른쪽 위", 1, 3},   {"crop04", u"오른쪽 아래", 2, 3},
        {"crop05", u"아래 오른쪽", 3, 2}, {"crop06", u"아래 왼쪽", 3, 1},
        {"crop07", u"왼쪽 아래", 2, 0},   {"crop08", u"왼쪽 위", 1, 0},
    };
    auto* markBox = Named(new QGroupBox(QStringLiteral("재단선 위치")), "markGroup",
                          QStringLiteral("재단선 위치"));
    auto* markGrid = new QGridLayout(markBox);
    for (size_t i = 0; i < 8; ++i) {
        const QString text = QString::fromUtf16(marks[i].text);
        m_marks[i] = Named(new QCheckBox, marks[i].name, QStringLiteral("재단선 ") + text);
        m_marks[i]->setToolTip(text);
        m_marks[i]->setChecked(settings.marks[i] != 0);
        markGrid->addWidget(m_marks[i], marks[i].row, marks[i].column, Qt::AlignCenter);
    }
    auto* item = new QFrame;
    item->setFrameShape(QFrame::Box);
    item->setMinimumSize(90, 52);
    markGrid->addWidget(item, 1, 1, 2, 2);

    static const char* const kMarginNames[] = {"marginLeft", "marginTop", "marginRight",
                                               "marginBottom"};
    const QString labels[] = {QStringLiteral("좌측"), QStringLiteral("상단"),
                              QStringLiteral("우측"), QStringLiteral("하단")};
    auto* marginBox = Named(new QGroupBox(QStringLiteral("재단선 여백")), "marginGroup",
                            QStringLiteral("재단선 여백"));
    auto* form = new QFormLayout(marginBox);
    // Shown top, left, bottom, right, as the plate's margins are.
    for (size_t i : {size_t(1), size_t(0), size_t(3), size_t(2)}) {
        m_margins[i] =
            Named(new CNumberEdit, kMarginNames[i], QStringLiteral("재단선 여백 ") + labels[i]);
        m_margins[i]->SetValue(settings.margins[i]);
        form->addRow(labels[i] + QStringLiteral(" (mm):"), m_margins[i]);
    }

    auto* row = new QHBoxLayout;
    row->addWidget(markBox);
    row->addWidget(marginBox);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(OkCancelButtons(this));
}

CTesselDoc::OwnCutSettings CZelOwnCropDlg::Settings() const {
    CTesselDoc::OwnCutSettings settings;
    for (size_t i = 0; i < 8; ++i)
        settings.marks[i] = m_marks[i]->isChecked() ? 1 : 0;
    for (size_t i = 0; i < 4; ++i)
        settings.margins[i] = m_margins[i]->Value();
    return settings;
}

void CZelOwnCropDlg::accept() {
    for (CNumberEdit* edit : m_margins)
        emit edit->editingFinished();
    const CTesselDoc::OwnCutSettings settings = Settings();
    const QString problem =
        platechecks::ValidateOwnCut(settings.margins, settings.marks, m_gridWidth, m_gridHeight);
    if (problem.isEmpty()) {
        QDialog::accept();
        return;
    }
    m_op.Tell(problem);
    // The margin the message is about takes the focus, in the order of the checks.
    const double side = 0.25 * m_gridWidth, end = 0.25 * m_gridHeight;
    auto focusFirst = [&](auto broken) {
        for (size_t i = 0; i < 4; ++i)
            if (broken(i, settings.margins[i])) {
                m_margins[i]->setFocus();
                m_margins[i]->selectAll();
                return true;
            }
        return false;
    };
    focusFirst([](size_t, double m) { return !(m >= 0.0); }) ||
        focusFirst([side](size_t i, double m) { return i % 2 == 0 && m > side; }) ||
        focusFirst([end](size_t i, double m) { return i % 2 == 1 && m > end; });
}
