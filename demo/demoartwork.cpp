#include "demoartwork.h"

#include "markup/durablefile.h"
#include "pdfbinding/pdfserver.h"

#include <QBuffer>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <cmath>
#include <numbers>

using demoorders::Cmyk;
using demoorders::Customer;
using demoorders::Order;

namespace {

const QString kSans = QStringLiteral("나눔고딕");
const QString kSansBold = QStringLiteral("나눔스퀘어 Bold");
const QString kSerif = QStringLiteral("나눔명조");

const Cmyk kWhite{0, 0, 0, 0};
const Cmyk kText{0, 0, 0, 90};
const Cmyk kGrey{0, 0, 0, 55};
const Cmyk kRegistration{100, 100, 100, 100};

// Black-only jobs print every colour as its darkness in black.
Cmyk AsBlack(const Cmyk& ink) {
    const double light =
        (1 - ink.c / 100.0) * (1 - ink.m / 100.0) * (1 - ink.y / 100.0) * (1 - ink.k / 100.0);
    return {0, 0, 0, static_cast<int>(std::lround(100 * (1 - light)))};
}

QColor ScreenColor(const Cmyk& ink) {
    auto channel = [&ink](int component) {
        return static_cast<int>(std::lround(255 * (1 - component / 100.0) * (1 - ink.k / 100.0)));
    };
    return QColor(channel(ink.c), channel(ink.m), channel(ink.y));
}

// The order number printed on the artwork, with the case when there are several.
QString CaseMark(const Order& order, int caseIndex) {
    if (order.cases <= 1)
        return order.ordernum;
    return QStringLiteral("%1  %2/%3").arg(order.ordernum).arg(caseIndex + 1).arg(order.cases);
}

} // namespace

bool CDemoArtwork::Fail(const QString& what) {
    const QString reason = m_server.LastError();
    m_error = reason.isEmpty() ? what : QStringLiteral("%1: %2").arg(what, reason);
    return false;
}

bool CDemoArtwork::Rect(const Box& box, const Cmyk* fill, const Cmyk* stroke, double lineWidth) {
    auto part = [](const Cmyk* ink, int Cmyk::*component) {
        return ink ? (ink->*component) / 100.0 : -1.0;
    };
    if (!m_server.ComposeCMYKRect(box.x, box.y, box.w, box.h, lineWidth, part(stroke, &Cmyk::c),
                                  part(stroke, &Cmyk::m), part(stroke, &Cmyk::y),
                                  part(stroke, &Cmyk::k), part(fill, &Cmyk::c),
                                  part(fill, &Cmyk::m), part(fill, &Cmyk::y), part(fill, &Cmyk::k)))
        return Fail(QStringLiteral("cannot draw a rectangle"));
    return true;
}

bool CDemoArtwork::Line(double x1, double y1, double x2, double y2, double width, const Cmyk& ink) {
    if (!m_server.ComposeCMYKLine(x1, y1, x2, y2, width, ink.c / 100.0, ink.m / 100.0,
                                  ink.y / 100.0, ink.k / 100.0))
        return Fail(QStringLiteral("cannot draw a line"));
    return true;
}

// The library draws no curves: a circle is a closed run of short lines.
bool CDemoArtwork::Circle(double cx, double cy, double radius, double width, const Cmyk& ink) {
    constexpr int kSegments = 96;
    for (int i = 0; i < kSegments; ++i) {
        const double a = 2 * std::numbers::pi * i / kSegments;
        const double b = 2 * std::numbers::pi * (i + 1) / kSegments;
        if (!Line(cx + radius * std::cos(a), cy + radius * std::sin(a), cx + radius * std::cos(b),
                  cy + radius * std::sin(b), width, ink))
            return false;
    }
    return true;
}

bool CDemoArtwork::Text(const QString& text, const QString& font, double size, const Box& box,
                        const Cmyk& ink, int halign, int valign) {
    if (!m_server.ComposePlaceCMYKTextBox(text, font, size, box.x, box.y, box.w, box.h,
                                          ink.c / 100.0, ink.m / 100.0, ink.y / 100.0,
                                          ink.k / 100.0, halign, valign, 0, 1))
        return Fail(QStringLiteral("cannot place the text \"%1\"").arg(text));
    return true;
}

bool CDemoArtwork::MakeLogo(const Customer& customer, const QString& path, int pixels) {
    QImage image(pixels, pixels, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        const QColor brand = ScreenColor(customer.brand);
        const QColor accent = ScreenColor(customer.accent);
        const double s = pixels;
        const QPointF centre(s / 2, s / 2);
        switch (customer.logoStyle % 4) {
        case 0: // a disc with an accent core
            painter.setBrush(brand);
            painter.drawEllipse(centre, s * 0.46, s * 0.46);
            painter.setBrush(Qt::white);
            painter.drawEllipse(centre, s * 0.30, s * 0.30);
            painter.setBrush(accent);
            painter.drawEllipse(centre, s * 0.18, s * 0.18);
            break;
        case 1: { // nested diamonds
            auto diamond = [&](double r) {
                QPainterPath shape;
                shape.moveTo(s / 2, s / 2 - r);
                shape.lineTo(s / 2 + r, s / 2);
                shape.lineTo(s / 2, s / 2 + r);
                shape.lineTo(s / 2 - r, s / 2);
                shape.closeSubpath();
                return shape;
            };
            painter.fillPath(diamond(s * 0.47), brand);
            painter.fillPath(diamond(s * 0.30), Qt::white);
            painter.fillPath(diamond(s * 0.20), accent);
            break;
        }
        case 2: // rising bars on a base line
            painter.setBrush(brand);
            for (int i = 0; i < 3; ++i) {
                const double height = s * (0.35 + 0.2 * i);
                painter.drawRect(QRectF(s * (0.12 + 0.27 * i), s * 0.82 - height, s * 0.2, height));
            }
            painter.setBrush(accent);
            painter.drawRect(QRectF(s * 0.06, s * 0.85, s * 0.88, s * 0.07));
            break;
        default: // rings
            painter.setBrush(Qt::NoBrush);
            painter.setPen(QPen(brand, s * 0.08));
            painter.drawEllipse(centre, s * 0.40, s * 0.40);
            painter.setPen(QPen(accent, s * 0.08));
            painter.drawEllipse(centre, s * 0.24, s * 0.24);
            painter.setPen(Qt::NoPen);
            painter.setBrush(brand);
            painter.drawEllipse(centre, s * 0.10, s * 0.10);
            break;
        }
    }
    QBuffer jpeg;
    jpeg.open(QIODevice::WriteOnly);
    if (!image.save(&jpeg, "JPG", 92)) {
        m_error = QStringLiteral("%1: the picture cannot be encoded").arg(path);
        return false;
    }
    if (const Result<void> written = durablefile::Write(path, jpeg.data()); !written) {
        m_error = written.error();
        return false;
    }
    return true;
}

bool CDemoArtwork::CardFront(const Order& order, int caseIndex, const Customer& customer,
                             const QString& logoPath, double pageWidth, double pageHeight) {
    const double b = order.bleed;
    const double w = order.width;
    const double h = order.height;
    const QString contacts = QStringLiteral("T %1   M %2").arg(customer.tel, customer.mobile);
    const Box numberBox{b + w - 33, b + 1.2, 31, 2.6};
    if (w < h) { // portrait: a colour head with the logo, the rest centred below
        const Box head{0, 0, pageWidth, b + 28};
        const Box plate{b + w / 2 - 9, b + 5, 18, 18};
        return Rect(head, &customer.brand, nullptr) && Rect(plate, &kWhite, nullptr) &&
               m_server.ComposePlaceImage(logoPath, plate.x + 1, plate.y + 1, 16, 16, 0) &&
               Text(customer.company, kSansBold, 8, {b + 3, b + 32, w - 6, 5}, customer.brand, 1,
                    1) &&
               Text(customer.name, kSansBold, 14, {b + 3, b + 40, w - 6, 8}, kText, 1, 1) &&
               Text(customer.title, kSans, 7, {b + 3, b + 48.5, w - 6, 4}, kGrey, 1, 1) &&
               Line(b + w / 2 - 8, b + 55, b + w / 2 + 8, b + 55, 0.5, customer.accent) &&
               Text(QStringLiteral("T ") + customer.tel, kSans, 5.5, {b + 3, b + 58, w - 6, 3.5},
                    kText, 1, 1) &&
               Text(QStringLiteral("M ") + customer.mobile, kSans, 5.5,
                    {b + 3, b + 61.8, w - 6, 3.5}, kText, 1, 1) &&
               Text(customer.email, kSans, 5, {b + 3, b + 65.6, w - 6, 3.5}, kText, 1, 1) &&
               Text(customer.address, kSans, 5, {b + 5, b + 70.5, w - 10, 8}, kGrey, 1, 0) &&
               Text(CaseMark(order, caseIndex), kSans, 4, {b + 3, b + h - 4, w - 6, 2.6}, kGrey, 1,
                    1);
    }
    const int variant = (order.ordernum.right(2).toInt() + caseIndex) % 3;
    bool ok = true;
    switch (variant) {
    case 0: { // a colour band along the bottom holding the contacts
        const Box band{0, b + h - 13, pageWidth, pageHeight - (b + h - 13)};
        ok = Rect(band, &customer.brand, nullptr) &&
             Rect({b + 5, b + h - 15, 18, 0.7}, &customer.accent, nullptr) &&
             m_server.ComposePlaceImage(logoPath, b + 5, b + 5, 13, 13, 0) &&
             Text(customer.company, kSansBold, 9, {b + 20.5, b + 5.3, w - 25, 6}, customer.brand, 0,
                  1) &&
             Text(customer.email, kSans, 5.5, {b + 20.5, b + 11.5, w - 25, 4}, kGrey, 0, 1) &&
             Text(customer.name, kSansBold, 14, {b + 5, b + 21, w / 2, 8}, kText, 0, 2) &&
             Text(customer.title, kSans, 7, {b + w / 2, b + 23.5, w / 2 - 5, 5}, kGrey, 2, 2) &&
             Text(contacts, kSans, 6, {b + 5, b + h - 11.5, w - 10, 4.5}, kWhite, 0, 1) &&
             Text(customer.address, kSans, 5.5, {b + 5, b + h - 6.8, w - 10, 4}, kWhite, 0, 1);
        break;
    }
    case 1: { // a colour side panel with the logo
        const double panel = b + 25;
        ok = Rect({0, 0, panel, pageHeight}, &customer.brand, nullptr) &&
             Rect({b + 4.5, b + h / 2 - 8, 16, 16}, &kWhite, nullptr) &&
             m_server.ComposePlaceImage(logoPath, b + 5.5, b + h / 2 - 7, 14, 14, 0) &&
             Text(customer.company, kSansBold, 8, {b + 29, b + 5, w - 33, 5}, customer.brand, 0,
                  1) &&
             Text(customer.name, kSansBold, 14, {b + 29, b + 11.5, w - 33, 8}, kText, 0, 1) &&
             Text(customer.title, kSans, 7, {b + 29, b + 19.5, w - 33, 4}, kGrey, 0, 1) &&
             Line(b + 29, b + 25, b + w - 4, b + 25, 0.3, customer.accent) &&
             Text(contacts, kSans, 5.5, {b + 29, b + 27, w - 31, 3.6}, kText, 0, 1) &&
             Text(customer.email, kSans, 5.5, {b + 29, b + 31, w - 31, 3.6}, kText, 0, 1) &&
             Text(customer.address, kSans, 5, {b + 29, b + 35.5, w - 32, 8}, kGrey, 0, 0);
        break;
    }
    default: { // a tinted card with a double frame, everything centred
        const Cmyk paper{0, 3, 10, 0};
        ok =
            Rect({0, 0, pageWidth, pageHeight}, &paper, nullptr) &&
            Rect({b + 3, b + 3, w - 6, h - 6}, nullptr, &customer.brand, 0.35) &&
            Rect({b + 4.2, b + 4.2, w - 8.4, h - 8.4}, nullptr, &customer.accent, 0.15) &&
            m_server.ComposePlaceImage(logoPath, b + w / 2 - 6, b + 6.5, 12, 12, 0) &&
            Text(customer.company, kSerif, 7.5, {b + 8, b + 19, w - 16, 5}, customer.brand, 1, 1) &&
            Text(customer.name + QStringLiteral("  ") + customer.title, kSansBold, 12,
                 {b + 8, b + 24.5, w - 16, 7}, kText, 1, 1) &&
            Text(contacts, kSans, 5.5, {b + 8, b + 33, w - 16, 3.6}, kText, 1, 1) &&
            Text(customer.email, kSans, 5.5, {b + 8, b + 36.8, w - 16, 3.6}, kText, 1, 1) &&
            Text(customer.address, kSans, 5, {b + 8, b + 40.6, w - 16, 3.4}, kGrey, 1, 1);
        break;
    }
    }
    return ok && Text(CaseMark(order, caseIndex), kSans, 4, numberBox, kGrey, 2, 1);
}

bool CDemoArtwork::CardBack(const Order& order, int caseIndex, const Customer& customer,
                            const QString& logoPath, double pageWidth, double pageHeight) {
    const double b = order.bleed;
    const double w = order.width;
    const double h = order.height;
    const double top = w < h ? b + 22 : b + 7;
    const Box plate{pageWidth / 2 - 10, top, 20, 20};
    return Rect({0, 0, pageWidth, pageHeight}, &customer.brand, nullptr) &&
           Rect(plate, &kWhite, nullptr) &&
           m_server.ComposePlaceImage(logoPath, plate.x + 1, plate.y + 1, 18, 18, 0) &&
           Text(customer.company, kSansBold, 10, {b + 3, top + 23, w - 6, 7}, kWhite, 1, 1) &&
           Text(customer.email, kSans, 6, {b + 3, top + 30.5, w - 6, 4}, kWhite, 1, 1) &&
           Text(CaseMark(order, caseIndex), kSans, 4, {b + 3, b + h - 4, w - 6, 2.6}, kWhite, 2, 1);
}

bool CDemoArtwork::Sticker(const Order& order, int caseIndex, const Customer& customer,
                           const QString& logoPath, double pageWidth, double pageHeight) {
    const double b = order.bleed;
    const double w = order.width;
    const double h = order.height;
    const double cx = pageWidth / 2;
    const double cy = pageHeight / 2;
    const double side = std::min(w, h);
    const double logo = side * 0.42;
    if (order.kind.contains(QStringLiteral("원형"))) {
        // A disc filled in thin strips, running into the bleed, with a white ring.
        const double radius = side / 2 + b;
        constexpr double kStrip = 0.25;
        for (double y = cy - radius; y < cy + radius; y += kStrip) {
            const double mid = std::min(std::abs(y - cy), std::abs(y + kStrip - cy));
            const double half = std::sqrt(std::max(0.0, radius * radius - mid * mid));
            if (!Rect({cx - half, y, 2 * half, kStrip + 0.05}, &customer.brand, nullptr))
                return false;
        }
        if (!Circle(cx, cy, radius, 0.2, customer.brand) ||
            !Circle(cx, cy, side / 2 - 3, 0.5, kWhite))
            return false;
    } else {
        if (!Rect({0, 0, pageWidth, pageHeight}, &customer.brand, nullptr) ||
            !Rect({b + 2.5, b + 2.5, w - 5, h - 5}, nullptr, &kWhite, 0.5))
            return false;
    }
    const Box plate{cx - logo / 2 - 1, cy - logo / 2 - side * 0.08 - 1, logo + 2, logo + 2};
    return Rect(plate, &kWhite, nullptr) &&
           m_server.ComposePlaceImage(logoPath, plate.x + 1, plate.y + 1, logo, logo, 0) &&
           Text(customer.company, kSansBold, side > 45 ? 8 : 6.5,
                {cx - side * 0.38, plate.y + plate.h + 1, side * 0.76, side > 45 ? 6.0 : 5.0},
                kWhite, 1, 1) &&
           Text(CaseMark(order, caseIndex), kSans, 3.5, {cx - 15, plate.y - 3.6, 30, 2.4}, kWhite,
                1, 1);
}

bool CDemoArtwork::MakeOrderPdf(const Order& order, const QString& logoPath, const QString& path) {
    Customer customer = demoorders::Customers().at(order.customer);
    if (order.colors == 1) {
        customer.brand = AsBlack(customer.brand);
        customer.accent = AsBlack(customer.accent);
    }
    const double pageWidth = order.width + 2 * order.bleed;
    const double pageHeight = order.height + 2 * order.bleed;
    const bool sticker = demoorders::ProductOf(order) == QStringLiteral("스티커");
    if (!m_server.ComposeBeginDoc(path))
        return Fail(QStringLiteral("%1: cannot begin the document").arg(path));
    // Every case is a design of its own, with one page per printed side:
    // case c's front is page c * sides + 1.
    const int sides = std::max(1, order.pages);
    const int cases = std::max(1, order.cases);
    for (int page = 1; page <= cases * sides; ++page) {
        const int caseIndex = (page - 1) / sides;
        const bool front = (page - 1) % sides == 0;
        if (!m_server.ComposeBeginPage(pageWidth, pageHeight))
            return Fail(QStringLiteral("%1: cannot begin page %2").arg(path).arg(page));
        const bool drawn =
            sticker ? Sticker(order, caseIndex, customer, logoPath, pageWidth, pageHeight)
            : front ? CardFront(order, caseIndex, customer, logoPath, pageWidth, pageHeight)
                    : CardBack(order, caseIndex, customer, logoPath, pageWidth, pageHeight);
        if (!drawn) {
            const QString reason = m_error;
            m_server.ComposeEndPage();
            m_error = QStringLiteral("%1: %2").arg(path, reason);
            return false;
        }
        if (!m_server.ComposeEndPage())
            return Fail(QStringLiteral("%1: cannot end page %2").arg(path).arg(page));
    }
    if (!m_server.ComposeEndDoc())
        return Fail(QStringLiteral("%1: cannot write the document").arg(path));
    return true;
}

bool CDemoArtwork::MakeColorBar(const QString& path, double patch, int count) {
    // Solids, half tints, overprints, a grey balance patch and quarter tints.
    static const Cmyk kPatches[] = {
        {100, 0, 0, 0},   {0, 100, 0, 0},   {0, 0, 100, 0},   {0, 0, 0, 100},
        {50, 0, 0, 0},    {0, 50, 0, 0},    {0, 0, 50, 0},    {0, 0, 0, 50},
        {100, 100, 0, 0}, {0, 100, 100, 0}, {100, 0, 100, 0}, {50, 40, 40, 0},
        {25, 0, 0, 0},    {0, 25, 0, 0},    {0, 0, 25, 0},    {0, 0, 0, 25},
    };
    constexpr int kKinds = static_cast<int>(std::size(kPatches));
    if (!m_server.ComposeBeginDoc(path) || !m_server.ComposeBeginPage(patch * count, patch))
        return Fail(QStringLiteral("%1: cannot begin the colour bar").arg(path));
    for (int i = 0; i < count; ++i)
        if (!Rect({i * patch, 0, patch, patch}, &kPatches[i % kKinds], nullptr))
            return false;
    if (!m_server.ComposeEndPage() || !m_server.ComposeEndDoc())
        return Fail(QStringLiteral("%1: cannot write the colour bar").arg(path));
    return true;
}

bool CDemoArtwork::MakeRegistrationMark(const QString& path, double size) {
    const double c = size / 2;
    const double line = 0.12;
    if (!m_server.ComposeBeginDoc(path) || !m_server.ComposeBeginPage(size, size))
        return Fail(QStringLiteral("%1: cannot begin the registration mark").arg(path));
    if (!Line(0, c, size, c, line, kRegistration) || !Line(c, 0, c, size, line, kRegistration) ||
        !Circle(c, c, size * 0.35, line, kRegistration) ||
        !Circle(c, c, size * 0.18, line, kRegistration))
        return false;
    if (!m_server.ComposeEndPage() || !m_server.ComposeEndDoc())
        return Fail(QStringLiteral("%1: cannot write the registration mark").arg(path));
    return true;
}

bool CDemoArtwork::MakePreview(const QString& pdfPath, const QString& folder, const QString& name,
                               int dpi) {
    if (!m_server.ExportImage(pdfPath, 1, QDir(folder).filePath(name + QStringLiteral(".jpg")), dpi,
                              92))
        return Fail(QStringLiteral("%1: cannot make the preview").arg(pdfPath));
    return true;
}
