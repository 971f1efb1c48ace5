#include "labelrender.h"

#include "labelset.h"

#include "engine/textlayout.h"
#include "engine/vectorpicture.h"
#include "engine/zelitem.h"
#include "markup/numbertext.h"
#include "pdfbinding/composescope.h"
#include "pdfbinding/pdfserver.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QPainter>

#include <algorithm>

namespace {

QString WithoutTrailingSemicolons(QString text) {
    while (text.endsWith(QLatin1Char(';')))
        text.chop(1);
    return text;
}

bool IsAfterWork(const CZelLabObject& object) {
    return object.tag == QLatin1String("AfterWork");
}

// A picture's box fitted into a box: scaled down to fit, never up, centred.
QRectF Fitted(const QRectF& box, QSizeF natural) {
    if (natural.isEmpty())
        return {};
    const double scale =
        std::min({1.0, box.width() / natural.width(), box.height() / natural.height()});
    natural *= scale;
    return {box.center().x() - natural.width() / 2, box.center().y() - natural.height() / 2,
            natural.width(), natural.height()};
}

// The library turns clockwise; a font's escapement turns counter-clockwise.
int Clockwise(int escapement) {
    return ((360 - escapement / 10) % 360 + 360) % 360;
}

} // namespace

CLabelRender::CLabelRender(const QString& presetDir, CPDFServer* pdf)
    : m_presetDir(presetDir), m_pdf(pdf) {}

QString CLabelRender::PdfPathOf(const QString& picturePath) {
    const QFileInfo info(picturePath);
    return info.dir().filePath(info.completeBaseName() + QStringLiteral(".pdf"));
}

QString CLabelRender::ObjectText(const CZelLabObject& o, const CZelItem* item) {
    const QString& tag = o.tag;
    if (!item) {
        if (tag == QLatin1String("Ordernum"))
            return QStringLiteral("NUM0709170003");
        return o.IsFrameBox() ? QString() : o.text;
    }
    const CZelItem& i = *item;
    // Its stored after-work lists end in separators a label does not show.
    if (tag == QLatin1String("AfterWork"))
        return WithoutTrailingSemicolons(i.afterWork);
    if (tag == QLatin1String("AfterWork2"))
        return WithoutTrailingSemicolons(i.afterWork2);
    for (const CZelItem::TextField& field : CZelItem::TextFields())
        if (tag == QLatin1String(field.key))
            return i.*field.member;
    if (tag == QLatin1String("MF_PanCode"))
        return i.jobCode;
    if (tag == QLatin1String("Color"))
        return QString::number(i.color);
    if (tag == QLatin1String("Pcases"))
        return QString::number(i.pcases);
    if (tag == QLatin1String("PQuantity"))
        return QString::number(i.pquantity);
    if (tag == QLatin1String("Quantity")) {
        const double whole = std::trunc(i.quantity);
        return whole != i.quantity ? QString::asprintf("%.1f", i.quantity)
                                   : QString::number(static_cast<long long>(whole));
    }
    if (tag == QLatin1String("Width"))
        return numbertext::Trimmed(i.EffectiveWidth());
    if (tag == QLatin1String("Height"))
        return numbertext::Trimmed(i.EffectiveHeight());
    if (tag == QLatin1String("MF_TextBox"))
        return o.text;
    if (tag == QLatin1String("MF_OrderNum"))
        return QStringLiteral("[%1]").arg(i.ordernum);
    return QString(); // pictures, frame boxes and unknown tags show no text
}

CLabelRender::SetScope::SetScope(const CLabelRender& render) : m_render(render) {
    LabelCache& cache = *m_render.m_cache;
    if (cache.depth++ == 0)
        labelset::LoadAll(m_render.m_presetDir, cache.labels);
}

CLabelRender::SetScope::~SetScope() {
    LabelCache& cache = *m_render.m_cache;
    if (--cache.depth == 0)
        cache.labels.clear();
}

const CZelLabel* CLabelRender::CachedLabel(const QString& name) const {
    if (m_cache->depth == 0)
        return nullptr;
    for (const auto& label : m_cache->labels)
        if (label->name == name)
            return label.get();
    return nullptr;
}

QString CLabelRender::LabelNameFor(const CZelItem& item) const {
    // A chosen label deleted since gives way to the automatic one; the item
    // keeps its choice, which other workstations may still have.
    if (!item.labelName.isEmpty() &&
        (CachedLabel(item.labelName) ||
         QFileInfo(labelset::LabelPath(m_presetDir, item.labelName)).isFile()))
        return item.labelName;
    // The order's own size chooses, not the item's turned box: a label is
    // made for the order and turns with the item.
    if (m_cache->depth > 0)
        return labelset::PickLabel(m_cache->labels, item.width, item.height);
    return labelset::PickLabel(m_presetDir, item.width, item.height);
}

void CLabelRender::Paint(QPainter& painter, const CZelLabel& label, const CZelItem* item,
                         double pxPerMm, const QString& previewImage) const {
    for (const auto& owned : label.objects) {
        const CZelLabObject& o = *owned;
        const QRectF box(o.x * pxPerMm, o.y * pxPerMm, o.w * pxPerMm, o.h * pxPerMm);
        const QRectF inner = box.adjusted(1, 1, -1, -1);
        painter.setFont(textlayout::FontOf(o.font));
        QPen framePen(Qt::black, 1);
        const bool uid = o.tag == QLatin1String("MF_UID");
        if (item && (uid || o.tag == QLatin1String("MF_Preview"))) {
            const QString path =
                uid ? labelset::MemberPicturePath(m_presetDir, item->uid) : previewImage;
            QImage image;
            if (!path.isEmpty() && image.load(path))
                painter.drawImage(Fitted(inner, image.size()), image);
        } else if (item && o.tag == QLatin1String("MF_OrderNum")) {
            painter.setPen(Qt::black);
            textlayout::DrawText(painter, inner, ObjectText(o, item), o.font.lfEscapement, o.halign,
                                 o.valign);
        } else {
            if (o.invert)
                painter.fillRect(box, Qt::black);
            const QString text = ObjectText(o, item);
            if (!text.isEmpty()) {
                painter.setPen(IsAfterWork(o) && item ? QColor(255, 0, 0)
                               : o.invert             ? Qt::white
                                                      : Qt::black);
                textlayout::DrawText(painter, inner, text, o.font.lfEscapement, o.halign, o.valign);
            }
        }
        if (o.frame || o.IsFrameBox()) {
            painter.setPen(framePen);
            painter.setBrush(Qt::NoBrush);
            painter.drawRect(box.adjusted(0.5, 0.5, -0.5, -0.5));
        }
    }
}

Result<void> CLabelRender::WritePicture(const CZelLabel& label, const CZelItem* item,
                                        const QString& path, const QString& previewImage) const {
    if (!textlayout::CanMeasure())
        return Failure(QStringLiteral("label pictures need the GUI library"));
    const int dpi = textlayout::ScreenDpiX();
    const int w = std::max(1, label.PixelWidth(dpi)), h = std::max(1, label.PixelHeight(dpi));
    return WriteVectorPicture(
        path, QSize(w, h), dpi, label.name, QStringLiteral("tessel Label"),
        [&](QPainter& painter) { Paint(painter, label, item, dpi / 25.4, previewImage); });
}

Result<void> CLabelRender::WritePdf(const CZelLabel& label, const CZelItem* item,
                                    const QString& path) const {
    if (!m_pdf)
        return Failure(QStringLiteral("the PDF composition library is not loaded"));
    CPDFServer& pdf = *m_pdf;
    CComposeScope doc(pdf, path);
    if (const Result<void> begun = doc.Begin(); !begun)
        return begun;
    if (!pdf.ComposeBeginPage(label.Width(), label.Height()))
        return Failure(QStringLiteral("%1: %2: %3").arg(path, label.name, pdf.LastError()));
    const QStringList left = DrawPdf(label, item, 0, 0, 0);
    if (!left.isEmpty())
        return Failure(QStringLiteral("%1: %2").arg(path, left.first()));
    if (!pdf.ComposeEndPage())
        return Failure(QStringLiteral("%1: %2: %3").arg(path, label.name, pdf.LastError()));
    return doc.Commit();
}

QStringList CLabelRender::DrawPdf(const CZelLabel& label, const CZelItem* item, double left,
                                  double top, int rotation) const {
    if (!m_pdf)
        return {QStringLiteral("the PDF composition library is not loaded")};
    CPDFServer& pdf = *m_pdf;
    const int turn = ((rotation % 360) + 360) % 360;
    const double labelW = label.Width(), labelH = label.Height();
    // A box of the label where it lands on the page: the label turned
    // clockwise about its footprint, whose top-left is (left, top).
    auto onPage = [&](const QRectF& r) {
        switch (turn) {
        case 90:
            return QRectF(left + labelH - r.bottom(), top + r.left(), r.height(), r.width());
        case 180:
            return QRectF(left + labelW - r.right(), top + labelH - r.bottom(), r.width(),
                          r.height());
        case 270:
            return QRectF(left + r.top(), top + labelW - r.right(), r.height(), r.width());
        default:
            return r.translated(left, top);
        }
    };
    QStringList leftOut;
    auto failed = [&](const QString& what) {
        leftOut << QStringLiteral("label %1: %2: %3").arg(label.name, what, pdf.LastError());
    };
    const double frameWidth = 0.2;
    for (const auto& owned : label.objects) {
        const CZelLabObject& o = *owned;
        if (o.w <= 0 || o.h <= 0)
            continue;
        const QRectF box = onPage(QRectF(o.x, o.y, o.w, o.h));
        const bool uid = o.tag == QLatin1String("MF_UID");
        if (item && uid) {
            const QString picture = labelset::MemberPicturePath(m_presetDir, item->uid);
            const QSize size = picture.isEmpty() ? QSize() : QImageReader(picture).size();
            if (size.isValid() && !size.isEmpty()) {
                // The picture's natural size is its pixels at the screen's resolution.
                const QSizeF natural(size.width() * 25.4 / textlayout::ScreenDpiX(),
                                     size.height() * 25.4 / textlayout::ScreenDpiY());
                const QRectF at = Fitted(QRectF(o.x, o.y, o.w, o.h), natural);
                const QRectF footprint = onPage(at);
                if (!pdf.ComposePlaceImage(picture, footprint.x(), footprint.y(), at.width(),
                                           at.height(), turn))
                    failed(picture);
            }
        } else if (item && o.tag == QLatin1String("MF_Preview")) {
            // The front page itself rather than its preview picture: sharp at
            // any size, and one object however many labels show it.
            const int page = item->PdfPageNumber(0);
            double w = 0, h = 0;
            if (!QFileInfo(item->objPath).isFile()) {
                // No artwork (yet): the box stays empty, as a missing picture's.
            } else if (!pdf.ComposeGetPDIDocSize(item->objPath, page, w, h)) {
                failed(item->objPath);
            } else {
                const QRectF at = Fitted(QRectF(o.x, o.y, o.w, o.h), QSizeF(w, h));
                const QRectF footprint = onPage(at);
                if (!pdf.ComposePlacePDIDoc(item->objPath, page, footprint.x(), footprint.y(),
                                            at.width(), at.height(), turn))
                    failed(item->objPath);
            }
        } else {
            const bool orderNum = o.tag == QLatin1String("MF_OrderNum");
            if (o.invert && !orderNum &&
                !pdf.ComposeCMYKRect(box.x(), box.y(), box.width(), box.height(), 0, -1, -1, -1, -1,
                                     0, 0, 0, 1))
                failed(o.tag);
            const QString text = ObjectText(o, item);
            if (!text.isEmpty()) {
                double c = 0, m = 0, y = 0, k = 1; // black
                if (IsAfterWork(o) && item)
                    c = 0, m = 1, y = 1, k = 0; // red
                else if (o.invert && !orderNum)
                    k = 0; // white on the black box
                if (!pdf.ComposePlaceCMYKTextBox(
                        text, textlayout::FaceName(o.font), textlayout::PointSize(o.font), box.x(),
                        box.y(), box.width(), box.height(), c, m, y, k, o.halign, o.valign,
                        (Clockwise(o.font.lfEscapement) + turn) % 360, 1))
                    failed(o.tag);
            }
        }
        if ((o.frame || o.IsFrameBox()) &&
            !pdf.ComposeCMYKRect(box.x(), box.y(), box.width(), box.height(), frameWidth, 0, 0, 0,
                                 1, -1, -1, -1, -1))
            failed(o.tag);
    }
    return leftOut;
}

Result<const CZelLabel*> CLabelRender::Find(const QString& name, const CZelItem& item,
                                            std::unique_ptr<CZelLabel>& loaded) const {
    const QString file = labelset::LabelPath(m_presetDir, name);
    if (name.isEmpty() || file.isEmpty())
        return Failure(QStringLiteral("order %1: no label fits %2 x %3 mm")
                           .arg(item.ordernum, numbertext::Trimmed(item.width),
                                numbertext::Trimmed(item.height)));
    if (const CZelLabel* cached = CachedLabel(name))
        return cached;
    loaded = std::make_unique<CZelLabel>();
    if (const Result<void> read = loaded->Load(file); !read)
        return Failure(read.error());
    loaded->name = name;
    return static_cast<const CZelLabel*>(loaded.get());
}

Result<const CZelLabel*> CLabelRender::ScopedLabel(const CZelItem& item) const {
    if (m_cache->depth == 0)
        return Failure(QStringLiteral("the label set is not open"));
    std::unique_ptr<CZelLabel> loaded;
    Result<const CZelLabel*> label = Find(LabelNameFor(item), item, loaded);
    // Read from its file (written since the set was read): kept with the set.
    if (loaded && label)
        m_cache->labels.push_back(std::move(loaded));
    return label;
}

Result<QSizeF> CLabelRender::RenderForItem(const CZelItem& item, const QString& picturePath,
                                           const QString& previewImage) const {
    return Render(LabelNameFor(item), item, picturePath, previewImage);
}

Result<QSizeF> CLabelRender::Render(const QString& name, const CZelItem& item,
                                    const QString& picturePath, const QString& previewImage) const {
    std::unique_ptr<CZelLabel> loaded;
    const Result<const CZelLabel*> found = Find(name, item, loaded);
    if (!found)
        return Failure(found.error());
    const CZelLabel& label = *found.value();
    if (const Result<void> written = WritePicture(label, &item, picturePath, previewImage);
        !written)
        return Failure(written.error());
    if (m_pdf)
        if (const Result<void> written = WritePdf(label, &item, PdfPathOf(picturePath)); !written)
            return Failure(written.error());
    return QSizeF(label.Width(), label.Height());
}

std::function<Result<QSizeF>(const CZelItem&, const QString&, const QString&)>
CLabelRender::PreviewFunction() const {
    const CLabelRender render = *this;
    return [render](const CZelItem& item, const QString& picture,
                    const QString& preview) -> Result<QSizeF> {
        const QString name = render.LabelNameFor(item);
        if (name.isEmpty())
            return QSizeF(); // no label fits: the item has no label preview
        return render.Render(name, item, picture, preview);
    };
}
