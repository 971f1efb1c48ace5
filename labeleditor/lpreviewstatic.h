#pragma once

#include <QPixmap>
#include <QWidget>

class CZelLabel;

// The preview of a label in the selection dialog: the label's picture at
// its natural size on the dialog's face colour, centred when it fits and
// shown from its top-left corner (clipped) when it does not.
class CLPreviewStatic : public QWidget {
    Q_OBJECT
public:
    explicit CLPreviewStatic(QWidget* parent = nullptr);

    // The label drawn on white at its size in pixels at zoom 1.
    static QPixmap Picture(const CZelLabel& label);

    // The picture shown; a null one shows nothing.
    void SetPicture(const QPixmap& picture);
    const QPixmap& Shown() const { return m_picture; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap m_picture;
};
