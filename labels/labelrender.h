#pragma once

#include "zellabel.h"

#include "markup/result.h"

#include <QSizeF>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

class CPDFServer;
class CZelItem;
class QPainter;

// Draws labels with an item's data: into the label's picture (a vector
// picture under the label preview's file name) and into its one-page PDF
// through the composition library, which the label side of the press shows.
class CLabelRender {
public:
    // presetDir: the shop's preset folder (labels and member pictures);
    // pdf may be null, then only pictures are made. Drawing needs a QGuiApplication.
    CLabelRender(const QString& presetDir, CPDFServer* pdf);

    // The text an object shows for an item; with no item, the object's own text.
    static QString ObjectText(const CZelLabObject& object, const CZelItem* item);
    // The label an item is printed with: its chosen one while that label's
    // file exists, else the automatic choice; empty when none fits.
    QString LabelNameFor(const CZelItem& item) const;

    // Keeps the label set in memory while it lives: every item drawn
    // meanwhile (by this object or a copy of it, such as PreviewFunction's)
    // takes its label from the set read once, so an operation over many
    // items (an open, a drop, a press run) reads the label folder once.
    // Scopes nest; the set is read again by the next outermost scope.
    class SetScope {
    public:
        explicit SetScope(const CLabelRender& render);
        ~SetScope();
        SetScope(const SetScope&) = delete;
        SetScope& operator=(const SetScope&) = delete;

    private:
        const CLabelRender& m_render;
    };

    // Draws every object for the item at pixelsPerMm, the label's top-left at (0, 0).
    void Paint(QPainter& painter, const CZelLabel& label, const CZelItem* item, double pixelsPerMm,
               const QString& previewImage = QString()) const;

    // Loads the item's label and writes its picture at picturePath and its
    // PDF beside it (the same name with ".pdf"). previewImage: the item's
    // front page preview for "MF_Preview". Fails with the reason when no
    // label fits, the label cannot be read or a file cannot be written.
    // Gives the label's size in mm.
    Result<QSizeF> RenderForItem(const CZelItem& item, const QString& picturePath,
                                 const QString& previewImage) const;
    Result<void> WritePicture(const CZelLabel& label, const CZelItem* item, const QString& path,
                              const QString& previewImage) const;
    // The label's one-page PDF. "MF_Preview" shows the item's front page
    // itself, fitted as its preview picture would be.
    Result<void> WritePdf(const CZelLabel& label, const CZelItem* item, const QString& path) const;
    // Draws the label for the item on the page open in the library: its
    // footprint's top-left at (left, top) mm, turned clockwise by rotation (0, 90,
    // 180 or 270). The objects go straight into that document, so many labels
    // on one sheet share its fonts and its placed pages. An object the
    // library refuses (a character no font has, a damaged picture) is left
    // out and the rest drawn; returns why each one left out was.
    QStringList DrawPdf(const CZelLabel& label, const CZelItem* item, double left, double top,
                        int rotation) const;
    // The item's label from the set a SetScope holds; fails with the reason
    // when no label fits or its file cannot be read. Valid while the
    // outermost scope stays open.
    Result<const CZelLabel*> ScopedLabel(const CZelItem& item) const;

    static QString PdfPathOf(const QString& picturePath);

    // The label preview of the plate's items as the engine asks for it: an
    // item without a fitting label needs none.
    std::function<Result<QSizeF>(const CZelItem&, const QString&, const QString&)>
    PreviewFunction() const;

private:
    struct LabelCache {
        int depth = 0;
        std::vector<std::unique_ptr<CZelLabel>> labels; // while depth > 0
    };
    // The set while a scope is open; null otherwise.
    const CZelLabel* CachedLabel(const QString& name) const;

    // The named label: from the open set, else read from its file into loaded.
    Result<const CZelLabel*> Find(const QString& name, const CZelItem& item,
                                  std::unique_ptr<CZelLabel>& loaded) const;
    Result<QSizeF> Render(const QString& name, const CZelItem& item, const QString& picturePath,
                          const QString& previewImage) const;

    QString m_presetDir;
    CPDFServer* m_pdf;
    std::shared_ptr<LabelCache> m_cache = std::make_shared<LabelCache>();
};
