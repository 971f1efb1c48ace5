#pragma once

#include <QPixmap>
#include <QWidget>

class QTimer;

// The program's splash: a frameless top-level picture, centred on the screen
// and 5 pixels up. Any key or mouse press closes it; shown as the about box
// it also closes itself after 10 seconds.
class CSplashWnd : public QWidget {
    Q_OBJECT
public:
    explicit CSplashWnd(QWidget* over = nullptr);

    // The picture, drawn once: the program's name over a gang of cards.
    static QPixmap Picture();
    // Shows the splash over the main window for the about command.
    void ShowAsAbout();

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    QPixmap m_picture;
    QTimer* m_closeTimer = nullptr;
};
