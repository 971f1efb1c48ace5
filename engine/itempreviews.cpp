// CTesselDoc: the page previews of items, kept in the plate's work folder.
#include "freshnessstamp.h"
#include "tesseldoc.h"

#include "pdfbinding/pdfserver.h"
#include "records/filenames.h"
#include "records/longoperation.h"
#include "records/progresssink.h"

#include <QDir>
#include <QFileInfo>

#include <chrono>
#include <set>

QString CTesselDoc::PagePreviewPath(const CZelItem& item, int page) const {
    // The order number comes from a file and must not lead out of the work folder.
    if (m_workFolder.isEmpty() || !filenames::IsPlainName(item.ordernum))
        return {};
    const int number = item.mediaInd * item.numSide + page;
    return QDir(m_workFolder)
        .filePath(
            QStringLiteral("%1-%2.jpg").arg(item.ordernum).arg(number, 3, 10, QLatin1Char('0')));
}

QString CTesselDoc::LabelPreviewPath(const CZelItem& item) const {
    if (m_workFolder.isEmpty() || !filenames::IsPlainName(item.ordernum))
        return {};
    return QDir(m_workFolder)
        .filePath(QStringLiteral("%1-%2-L.emf")
                      .arg(item.ordernum)
                      .arg(item.mediaInd, 3, 10, QLatin1Char('0')));
}

Result<void> CTesselDoc::RefreshPreviews(CZelItem& item) {
    Result<void> pages = RefreshPagePreviews(item);
    if (!pages)
        return pages;
    return RefreshLabelPreview(item);
}

Result<void> CTesselDoc::RefreshItemPreviews(const CZelItem* item) {
    CZelItem* owned = Owned(item);
    if (!owned)
        return Failure(QStringLiteral("the item is not on the plate"));
    const ChangeScope scope(*this);
    // The artwork may have changed and lie turned now.
    TouchItem(*owned);
    Result<void> refreshed = RefreshPreviews(*owned);
    TouchItem(*owned);
    return refreshed;
}

QStringList CTesselDoc::RefreshLabelPreviews(const std::vector<const CZelItem*>& items) {
    const std::shared_ptr<void> labels = m_context.HoldLabelSet();
    const ChangeScope scope(*this);
    QStringList failures;
    for (const CZelItem* item : items) {
        CZelItem* owned = Owned(item);
        if (!owned)
            continue;
        TouchItem(*owned);
        if (const Result<void> drawn = RefreshLabelPreview(*owned); !drawn)
            failures << drawn.error();
        TouchItem(*owned);
    }
    return failures;
}

Result<void> CTesselDoc::RefreshPagePreviews(CZelItem& item) {
    // Missing until every page preview has been had.
    item.artworkMissing = true;
    auto fail = [&item](const QString& problem) {
        item.artworkProblem = problem;
        return Failure(problem);
    };
    CPDFServer* pdf = m_context.pdf;
    if (!pdf || !pdf->IsLoaded())
        return fail(QStringLiteral("the PDF composition library is not loaded"));
    if (m_workFolder.isEmpty())
        return fail(QStringLiteral("the plate has no work folder"));
    // The order number names the preview files.
    if (PagePreviewPath(item, 0).isEmpty())
        return fail(QStringLiteral("order \"%1\": no valid order number to name its previews")
                        .arg(item.ordernum));
    const QString stamp = FreshnessStamp(item.objPath);
    if (stamp.isEmpty())
        return fail(QStringLiteral("%1: the artwork cannot be read").arg(item.objPath));
    // A changed artwork file makes every page again, not only the first, so
    // that a back page never shows the old artwork.
    const bool changed = stamp != item.checksum;
    const int sides = item.numSide >= 2 ? 2 : 1;
    for (int side = 0; side < sides; ++side) {
        CImposerItem& page = item.pages[side];
        page.SetPdfPath(item.objPath);
        const int number = item.mediaInd * item.numSide + side;
        const QString image = PagePreviewPath(item, side);
        const auto ahead = m_renderedAhead.find(image);
        const bool renderedAhead = ahead != m_renderedAhead.end();
        if (renderedAhead && !ahead->second.isEmpty())
            return fail(QStringLiteral("%1, page %2: %3")
                            .arg(item.objPath)
                            .arg(number + 1)
                            .arg(ahead->second));
        bool ok = renderedAhead ? page.LoadImage(image, item.rotate)
                  : changed     ? page.RenderPage(*pdf, number, image, item.rotate)
                                : page.LoadOrRender(*pdf, number, image, item.rotate);
        QString why =
            ok || !renderedAhead ? QString() : QStringLiteral("its preview does not load");
        if (ok && (renderedAhead || !changed)) {
            double width = 0, height = 0;
            ok = pdf->MiscGetPageSize(item.objPath, number + 1, width, height) != 0;
            page.SetPageSize(width, height);
        }
        if (!ok)
            return fail(QStringLiteral("%1, page %2: %3")
                            .arg(item.objPath)
                            .arg(number + 1)
                            .arg(why.isEmpty() ? pdf->LastError() : why));
    }
    if (changed && item.width != item.height &&
        CZelItem::PageLiesTurned(item.pages[0].PageWidth(), item.pages[0].PageHeight(), item.width,
                                 item.height))
        item.mediaRotate = 1;
    item.checksum = stamp;
    item.cx = item.pages[0].PageWidth();
    item.cy = item.pages[0].PageHeight();
    item.artworkMissing = false;
    item.artworkProblem.clear();
    return {};
}

std::shared_ptr<void> CTesselDoc::RenderPreviewsAhead(const std::vector<CZelItem*>& items) {
    CPDFServer* pdf = m_context.pdf;
    if (!pdf || !pdf->IsLoaded() || m_workFolder.isEmpty())
        return {};
    // The pages RefreshPagePreviews would render: those of changed artwork
    // and those without an image; each image once, however many copies show it.
    std::vector<CPDFServer::ImageJob> jobs;
    std::set<QString> asked;
    for (const CZelItem* item : items) {
        if (PagePreviewPath(*item, 0).isEmpty() || !QFileInfo(item->objPath).isFile())
            continue;
        const QString stamp = FreshnessStamp(item->objPath);
        if (stamp.isEmpty())
            continue;
        const bool changed = stamp != item->checksum;
        for (int side = 0; side < (item->numSide >= 2 ? 2 : 1); ++side) {
            const QString image = PagePreviewPath(*item, side);
            if ((!changed && QFileInfo(image).isFile()) || !asked.insert(image).second)
                continue;
            jobs.push_back({item->objPath, item->PdfPageNumber(side), image});
        }
    }
    QStringList reasons;
    if (ProgressSink* progress = m_context.progress; progress && !jobs.empty()) {
        // A batch takes longer than a window may go unpainted: it renders on
        // another thread while this one keeps the progress window alive.
        // Nothing else uses the library meanwhile: the plate waits here.
        BackgroundOperation<QStringList> rendering(
            [pdf, &jobs](ProgressSink&) { return pdf->ExportImages(jobs); });
        while (!rendering.WaitFor(std::chrono::milliseconds(20)))
            progress->StillWorking();
        reasons = rendering.Take();
    } else {
        reasons = pdf->ExportImages(jobs);
    }
    for (size_t i = 0; i < jobs.size(); ++i)
        m_renderedAhead[jobs[i].imagePath] = reasons.value(int(i));
    return std::shared_ptr<void>(nullptr, [this](void*) { m_renderedAhead.clear(); });
}

Result<void> CTesselDoc::RefreshLabelPreview(CZelItem& item) {
    item.label = CZelLabelItem();
    item.label.rotation = item.LabelRotation();
    if (!m_context.labelPreview)
        return {};
    const QString picture = LabelPreviewPath(item);
    if (picture.isEmpty())
        return Failure(
            QStringLiteral("order \"%1\": no valid order number to name its label preview")
                .arg(item.ordernum));
    const Result<QSizeF> drawn = m_context.labelPreview(item, picture, PagePreviewPath(item, 0));
    if (!drawn)
        return Failure(QStringLiteral("order \"%1\": its label cannot be drawn: %2")
                           .arg(item.ordernum, drawn.error()));
    if (const QSizeF size = drawn.value(); !size.isEmpty()) {
        item.label.picturePath = picture;
        item.label.width = size.width();
        item.label.height = size.height();
    }
    return {};
}

QStringList CTesselDoc::RetryMissingArtwork() {
    const std::shared_ptr<void> labels = m_context.HoldLabelSet();
    const ChangeScope scope(*this);
    std::vector<CZelItem*> missing;
    for (const auto& item : m_items)
        if (item->artworkMissing)
            missing.push_back(item.get());
    const std::shared_ptr<void> rendered = RenderPreviewsAhead(missing);
    for (CZelItem* item : missing) {
        const CZelBound before = item->Bounds(true);
        if (RefreshPreviews(*item)) {
            // The placeholder gives way to the artwork, which may lie turned.
            TouchRect(before, PlateChange::Items);
            TouchItem(*item);
        }
    }
    return MissingArtwork();
}
