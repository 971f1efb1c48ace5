#pragma once

#include "records/logfont.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

// The plate title editor ("판 제목 설정"): which items make up the title,
// in order, and the title's font. Offers exactly the items the printed
// title knows. Edits copies; the caller stores Items() and Font() on OK.
class CPlateTitleDlg : public QDialog {
    Q_OBJECT
public:
    CPlateTitleDlg(const QString& titleItems, const LogFont& font, QWidget* parent = nullptr);

    // The applied items joined by "-", as TITLE_ITEMS stores them.
    QString Items() const;
    QStringList AppliedTokens() const;
    const LogFont& Font() const { return m_font; }

    // The preview of a title made of these items.
    static QString PreviewText(const QStringList& tokens);

private:
    void AddSelected();
    void RemoveSelected();
    void ChooseFont();
    void ShowFont();
    void UpdatePreview();

    LogFont m_font;
    QListWidget* m_available;
    QListWidget* m_applied;
    QPushButton* m_add;
    QPushButton* m_remove;
    QLineEdit* m_face;
    QLineEdit* m_size;
    QLabel* m_preview;
};
