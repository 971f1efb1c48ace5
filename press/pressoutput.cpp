#include "pressoutput.h"

#include "engine/tesseldoc.h"

#include <QFileInfo>

PressOutput::PressOutput(CTesselDoc& doc, const CZelPressMarkPresets* colorBars,
                         const CZelPressMarkPresets* registrationMarks)
    : m_doc(doc), m_press(doc, colorBars, registrationMarks) {}

Result<QStringList> PressOutput::Make(const MakePressOptions& options) {
    m_made = false;
    QStringList written;
    if (const Result<void> made = m_press.Run(options, &written); !made)
        return Failure(made.error().isEmpty() ? QStringLiteral("출력용 PDF를 만들지 못했습니다.")
                                              : made.error());
    m_made = true;
    return written;
}

bool PressOutput::CanSaveAs() const {
    if (!m_made)
        return false;
    for (int side = 0; side < m_doc.Geometry().sideCount; ++side)
        if (!QFileInfo::exists(m_press.SideFilePath(side)))
            return false;
    return true;
}

Result<QString> PressOutput::SaveAs(const QString& path) {
    if (!m_made)
        return Failure(QStringLiteral("출력용 PDF를 먼저 만드십시오."));
    QStringList sides;
    for (int side = 0; side < m_doc.Geometry().sideCount; ++side)
        sides << m_press.SideFilePath(side);
    const QString target = QFileInfo(path).absoluteFilePath();
    for (const QString& side : sides) {
        if (!QFileInfo::exists(side))
            return Failure(
                QStringLiteral("%1: the side file is gone; make the press files again").arg(side));
        if (QFileInfo(side).absoluteFilePath() == target)
            return Failure(QStringLiteral("%1: a side file cannot be saved over itself").arg(path));
    }
    if (const Result<void> saved = m_press.WriteTargets({{target, sides}}, true, nullptr); !saved)
        return Failure(saved.error());
    return target;
}
