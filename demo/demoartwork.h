#pragma once

#include "demoorders.h"

#include <QString>

class CPDFServer;

// The demo shop's pictures and PDFs: customers' logos (JPEG), order artwork,
// colour bars and registration marks. PDFs are composed through the
// composition library, so they are what the shop's own tools would make.
// Everything drawn is fixed by its arguments.
class CDemoArtwork {
public:
    // The server must be loaded and outlive this object.
    explicit CDemoArtwork(CPDFServer& server) : m_server(server) {}

    // A square logo picture of the customer's colours.
    bool MakeLogo(const demoorders::Customer& customer, const QString& path, int pixels = 480);
    // The order's artwork: for every case one page per printed side, each the
    // finished size plus the bleed on every edge.
    bool MakeOrderPdf(const demoorders::Order& order, const QString& logoPath, const QString& path);
    // A colour bar of CMYK patches, patch x patch mm each, as long as count
    // patches.
    bool MakeColorBar(const QString& path, double patch, int count);
    // A registration mark in registration colour: a cross with two circles,
    // size x size mm.
    bool MakeRegistrationMark(const QString& path, double size);
    // folder/name.jpg: the first page of a PDF at that resolution.
    bool MakePreview(const QString& pdfPath, const QString& folder, const QString& name, int dpi);

    const QString& LastError() const { return m_error; }

private:
    struct Box {
        double x, y, w, h;
    };
    bool Fail(const QString& what);
    bool Rect(const Box& box, const demoorders::Cmyk* fill, const demoorders::Cmyk* stroke,
              double lineWidth = 0.0);
    bool Line(double x1, double y1, double x2, double y2, double width,
              const demoorders::Cmyk& ink);
    bool Circle(double cx, double cy, double radius, double width, const demoorders::Cmyk& ink);
    bool Text(const QString& text, const QString& font, double size, const Box& box,
              const demoorders::Cmyk& ink, int halign, int valign);
    bool CardFront(const demoorders::Order& order, int caseIndex,
                   const demoorders::Customer& customer, const QString& logoPath, double pageWidth,
                   double pageHeight);
    bool CardBack(const demoorders::Order& order, int caseIndex,
                  const demoorders::Customer& customer, const QString& logoPath, double pageWidth,
                  double pageHeight);
    bool Sticker(const demoorders::Order& order, int caseIndex,
                 const demoorders::Customer& customer, const QString& logoPath, double pageWidth,
                 double pageHeight);

    CPDFServer& m_server;
    QString m_error;
};
