#include "splashwnd.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QLinearGradient>
#include <QPainter>
#include <QScreen>
#include <QTimer>

CSplashWnd::CSplashWnd(QWidget* over)
    : QWidget(over, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      m_picture(Picture()) {
    setObjectName(QStringLiteral("splash"));
    setAccessibleName(QStringLiteral("Tessel"));
    setWindowTitle(QStringLiteral("Tessel"));
    setAttribute(Qt::WA_DeleteOnClose);
    setCursor(Qt::ArrowCursor);
    setFixedSize(m_picture.size() / m_picture.devicePixelRatio());
    const QScreen* screen = over ? over->screen() : QGuiApplication::primaryScreen();
    if (screen) {
        const QRect area = screen->geometry();
        move(area.center() - rect().center() - QPoint(0, 5));
    }
}

QPixmap CSplashWnd::Picture() {
    const QSize size(480, 300);
    QPixmap picture(size);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, size.height());
    sky.setColorAt(0, QColor(0x1d, 0x3b, 0x58));
    sky.setColorAt(1, QColor(0x0d, 0x1b, 0x2a));
    p.fillRect(picture.rect(), sky);

    // A press sheet with ganged cards in cyan, magenta, yellow and key.
    const QRectF sheet(250, 40, 190, 130);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xf4, 0xf1, 0xea));
    p.drawRect(sheet);
    const QColor inks[] = {QColor(0x00, 0xa0, 0xe0), QColor(0xe6, 0x00, 0x7e),
                           QColor(0xff, 0xe6, 0x00), QColor(0x23, 0x1f, 0x20)};
    const double cellW = (sheet.width() - 20) / 3, cellH = (sheet.height() - 20) / 4;
    for (int row = 0; row < 4; ++row)
        for (int col = 0; col < 3; ++col) {
            const QRectF cell(sheet.x() + 10 + col * cellW, sheet.y() + 10 + row * cellH, cellW,
                              cellH);
            p.setBrush(inks[(row + col) % 4]);
            p.drawRect(cell.adjusted(3, 3, -3, -3));
        }
    // Crop marks at the sheet's corners.
    p.setPen(QPen(QColor(0xf4, 0xf1, 0xea), 1.2));
    for (const QPointF corner :
         {sheet.topLeft(), sheet.topRight(), sheet.bottomLeft(), sheet.bottomRight()}) {
        const double dx = corner.x() < sheet.center().x() ? -1 : 1;
        const double dy = corner.y() < sheet.center().y() ? -1 : 1;
        p.drawLine(corner + QPointF(dx * 4, 0), corner + QPointF(dx * 14, 0));
        p.drawLine(corner + QPointF(0, dy * 4), corner + QPointF(0, dy * 14));
    }

    p.setPen(Qt::white);
    QFont title(QStringLiteral("NanumGothic"));
    title.setPixelSize(54);
    title.setBold(true);
    p.setFont(title);
    p.drawText(QRectF(30, 60, 220, 70), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Tessel"));
    QFont line(QStringLiteral("NanumGothic"));
    line.setPixelSize(17);
    p.setFont(line);
    p.setPen(QColor(0xc8, 0xd6, 0xe5));
    p.drawText(QRectF(32, 130, 220, 30), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("판 조판 · 출력 · 등록"));
    line.setPixelSize(12);
    p.setFont(line);
    p.drawText(QRectF(32, size.height() - 44, size.width() - 64, 24),
               Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Version %1").arg(QStringLiteral(TESSEL_VERSION)));
    return picture;
}

void CSplashWnd::ShowAsAbout() {
    if (!m_closeTimer) {
        m_closeTimer = new QTimer(this);
        m_closeTimer->setSingleShot(true);
        connect(m_closeTimer, &QTimer::timeout, this, &QWidget::close);
    }
    m_closeTimer->start(10000);
    show();
    raise();
    activateWindow();
}

void CSplashWnd::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.drawPixmap(0, 0, m_picture);
}

void CSplashWnd::keyPressEvent(QKeyEvent*) {
    close();
}

void CSplashWnd::mousePressEvent(QMouseEvent*) {
    close();
}
