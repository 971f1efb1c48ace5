#pragma once

#include <QDialog>

class CZelColorPresets;
class QListWidget;

// "컬러 선택": the shop's colour presets with their swatches in one list.
// "확인" gives the chosen preset's name; "취소" gives nothing.
class CColorSelectDlg : public QDialog {
    Q_OBJECT
public:
    // Opens with the preset of this name chosen (the first when there is none).
    CColorSelectDlg(const CZelColorPresets& colors, const QString& chosen,
                    QWidget* parent = nullptr);

    // The chosen name; empty when nothing is chosen.
    QString ColorName() const;

    static QString DefaultColor() { return QStringLiteral(" [ Black ]"); }

private:
    QListWidget* m_list;
};
