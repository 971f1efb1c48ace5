#include "makepress.h"

#include "engine/operatorinterface.h"
#include "engine/tesseldoc.h"
#include "engine/textboxpicture.h"
#include "labels/labelrender.h"
#include "markup/cp949.h"
#include "markup/durablefile.h"
#include "pdfbinding/composescope.h"
#include "pdfbinding/pdfserver.h"
#include "pdfbinding/presscolour.h"
#include "press/cutsheet.h"
#include "press/platemarks.h"
#include "press/platetitle.h"
#include "records/filenames.h"
#include "records/preferencetree.h"
#include "records/progresssink.h"
#include "records/zelpreference.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>

namespace {

const QString kInUse =
    QStringLiteral("PDF 파일 \"%1\"이(가) 사용중입니다.\n파일을 닫으시고 다시 시도하십시오.");
constexpr double kUnderlayWidth = 0.9;
// A corrupt quantity must not make an endless summary.
constexpr int kMaxCopies = 100000;

QString DocBase(const CTesselDoc& doc) {
    const QFileInfo info(doc.Path());
    return info.dir().filePath(info.completeBaseName());
}

} // namespace

MakePressOptions MakePressOptions::FromPreference(CZelPreference& preference) {
    using O = CZelPreference::Option;
    MakePressOptions o;
    o.pdfType = preference.GetOption(O::MakePdfType);
    o.titleFileName = preference.GetOption(O::MakePdfTitleFname) != 0;
    o.view = preference.GetOption(O::MakePdfView) != 0;
    if (!preference.GetPressDir(o.pressDir)) {
        // A press folder that is set but has gone fails the run rather than
        // leaving the press without its files unnoticed.
        CPreferenceTree& tree = preference.Tree();
        CTzmpItem* root = tree.GetRoot();
        if (root && tree.HasChild(root, "MAKE_PDF_PRESS_DIR"))
            o.pressDir = tree.Value(root, "MAKE_PDF_PRESS_DIR").toString();
    }
    o.itemFrame = {preference.GetOption(O::ItemFrameA), preference.GetOption(O::ItemFrameB),
                   preference.GetOption(O::ItemFrameL)};
    o.itemCut = {preference.GetOption(O::ItemCutA), preference.GetOption(O::ItemCutB),
                 preference.GetOption(O::ItemCutL)};
    preference.GetPresetDir(o.presetDir);
    CTzmpItem* root = preference.Tree().GetRoot();
    if (root && preference.Tree().HasChild(root, CZelPreference::Key(O::MakeCutPlan)))
        o.cutPlan = preference.GetOption(O::MakeCutPlan) != 0;
    return o;
}

CMakePress::CMakePress(CTesselDoc& doc, const CZelPressMarkPresets* colorBars,
                       const CZelPressMarkPresets* registrationMarks)
    : m_doc(doc), m_colorBars(colorBars), m_registrationMarks(registrationMarks) {}

QString CMakePress::SideFilePath(int side) const {
    const PlateGeometry& g = m_doc.Geometry();
    const char* suffix = side == g.labelSide ? "_L.pdf" : side == 0 ? "_A.pdf" : "_B.pdf";
    return DocBase(m_doc) + QLatin1String(suffix);
}

QString CMakePress::PlainPath() const {
    return DocBase(m_doc) + QStringLiteral(".pdf");
}

QString CMakePress::SummaryPath() const {
    return DocBase(m_doc) + QStringLiteral(".txt");
}

QByteArray CMakePress::SummaryBytes() const {
    const PlateProperties& p = m_doc.Properties();
    QString text;
    auto field = [&text](const QString& value) { text += value + QLatin1Char(':'); };
    field(p.jobCode);
    field(p.paperType);
    field(p.presetName);
    const QString a = p.colorA ? QStringLiteral("4") : QStringLiteral("1");
    const QString b = p.colorB ? QStringLiteral("4") : QStringLiteral("1");
    field(p.paperSideSetting == 1 ? a + QLatin1Char('/') + b : a);
    field(QString::number(p.pressCount));
    field(p.jobDate);
    field(p.userInitial);
    text += p.comment + QLatin1Char('\n');
    text += QStringLiteral("인쇄:");
    const QStringList steps = p.afterWork.split(QLatin1Char(';'));
    for (int i = 0; i < 5; ++i)
        field(i < steps.size() ? steps[i] : QString());
    text += QStringLiteral("출력\n");

    // One line per printed copy of each case; a plate that prints no sheets
    // counts one copy per case rather than never finishing.
    const int perPlate = p.pressCount >= 1 ? p.pressCount : 0;
    QStringList done;
    for (int i = 0; i < m_doc.ItemCount(); ++i) {
        const CZelItem& item = *m_doc.ItemAt(i);
        if (done.contains(item.ordernum))
            continue;
        done << item.ordernum;
        const double quantity = item.pquantity >= 1 ? item.pquantity : item.quantity;
        for (int c = 1; c <= item.pcases; ++c) {
            double remainder = quantity;
            for (int k = 1; remainder > 0 && k <= kMaxCopies; ++k) {
                text += item.ordernum + QString::asprintf(":%03d%03d\n", c, k);
                if (perPlate == 0)
                    break;
                remainder -= perPlate;
            }
        }
    }
    return cp949::FromUnicode(text);
}

Result<void> CMakePress::WriteSummary() const {
    return durablefile::Write(SummaryPath(), SummaryBytes());
}

QString CMakePress::SafeFileName(const QString& text) {
    QString name;
    for (const QChar ch : text) {
        const bool bad = ch.unicode() < 0x20 || ch.unicode() == 0x7f ||
                         QStringLiteral("/\\:*?\"<>|").contains(ch);
        name += bad ? QLatin1Char('_') : ch;
    }
    while (name.contains(QLatin1String("..")))
        name.replace(QLatin1String(".."), QLatin1String("."));
    auto trim = [](QChar ch) { return ch.isSpace() || ch == QLatin1Char('.'); };
    while (!name.isEmpty() && trim(name.front()))
        name.remove(0, 1);
    while (!name.isEmpty() && trim(name.back()))
        name.chop(1);
    // Room for the side suffixes within a file name's 255 bytes.
    while (name.toUtf8().size() > 200)
        name.chop(1);
    // A Windows RIP reading the press folder would open the device instead.
    static const QRegularExpression device(
        QStringLiteral("^(CON|PRN|AUX|NUL|COM[1-9]|LPT[1-9])(?= *(\\.|$))"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = device.match(name);
    if (match.hasMatch())
        name.insert(match.capturedLength(), QLatin1Char('_'));
    return name;
}

QString CMakePress::PressBaseName(const MakePressOptions& options) const {
    QString name;
    if (options.titleFileName) {
        name = SafeFileName(
            CPlateTitle(m_doc, *m_doc.Context().pdf, options.companyCode).FileNameText());
        if (name.isEmpty())
            name = SafeFileName(m_doc.Properties().jobCode);
    }
    if (name.isEmpty())
        name = QFileInfo(m_doc.Path()).completeBaseName();
    return name;
}

std::vector<std::pair<QString, QStringList>>
CMakePress::PressTargets(const MakePressOptions& options) const {
    std::vector<std::pair<QString, QStringList>> targets;
    if (options.pressDir.isEmpty())
        return targets;
    const int sides = m_doc.Geometry().sideCount;
    const QString base = QDir(options.pressDir).filePath(PressBaseName(options));
    QStringList all;
    for (int side = 0; side < sides; ++side)
        all << SideFilePath(side);
    if (options.pdfType == 2) {
        for (int side = 0; side < sides; ++side) {
            const char* suffix = side == sides - 1         ? "_L.pdf"
                                 : side == 0 && sides >= 3 ? "_A.pdf"
                                 : side == 0               ? ".pdf"
                                                           : "_B.pdf";
            targets.push_back({base + QLatin1String(suffix), {all[side]}});
        }
    } else if (options.pdfType == 1) {
        targets.push_back({base + QStringLiteral(".pdf"), all.mid(0, sides - 1)});
        targets.push_back({base + QStringLiteral("_L.pdf"), {all.last()}});
    } else {
        targets.push_back({base + QStringLiteral(".pdf"), all});
    }
    return targets;
}

QStringList CMakePress::OtherTypeFiles(const MakePressOptions& options) const {
    QStringList own;
    for (const auto& target : PressTargets(options))
        own << target.first;
    QStringList others;
    for (int type = 0; type <= 2; ++type) {
        MakePressOptions other = options;
        other.pdfType = type;
        for (const auto& target : PressTargets(other)) {
            if (!own.contains(target.first) && !others.contains(target.first) &&
                QFileInfo(target.first).isFile())
                others << target.first;
        }
    }
    return others;
}

Failure CMakePress::Refuse(const QString& message) {
    if (OperatorInterface* op = m_doc.Context().op)
        op->Tell(message);
    return Failure(message);
}

Result<void> CMakePress::RemoveOld(const QString& path) {
    if (!QFileInfo::exists(path) && !QFileInfo(path).isSymLink())
        return {};
    if (QFileInfo(path).isFile() && QFile::remove(path))
        return {};
    return Refuse(kInUse.arg(QFileInfo(path).fileName()));
}

Result<void> CMakePress::Replaceable(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists() || info.isFile())
        return {};
    return Refuse(kInUse.arg(info.fileName()));
}

Result<void> CMakePress::Run(const MakePressOptions& options, QStringList* written) {
    m_notes.clear();
    m_cutPlanFiles.clear();
    m_otherTypeFilesLeft.clear();
    m_otherTypeFilesRemoved.clear();
    m_pageSizes.clear();
    m_labels.reset();
    CPDFServer* pdf = m_doc.Context().pdf;
    if (!pdf || !pdf->IsLoaded())
        return Failure(QStringLiteral("the PDF composition library is not loaded"));
    if (m_doc.Path().isEmpty())
        return Failure(QStringLiteral("the plate has not been saved"));
    if (m_doc.ItemCount() == 0)
        return Failure(QStringLiteral("the plate has no items"));
    // The share may be back since the plate was opened: only orders whose
    // artwork still cannot be had stop the run.
    if (!m_doc.RetryMissingArtwork().isEmpty())
        return Refuse(
            QStringLiteral(
                "PDF 파일을 불러올 수 없는 주문이 있어 출력용 PDF를 만들 수 없습니다.\n%1")
                .arg(m_doc.MissingArtworkReasons().join(QStringLiteral("\n"))));
    // Files of earlier runs that were stopped half-way.
    for (const QString& folder :
         {QFileInfo(m_doc.Path()).absolutePath(), m_doc.WorkFolder(), options.pressDir})
        durablefile::RemoveStaleTemporaries(folder);
    if (const Result<void> saved = m_doc.SaveIfModified(); !saved)
        return saved;

    // Text boxes whose files are missing are made again; naming one changes the plate.
    // A box that cannot be made is left off the press, as one whose PDF is gone.
    const std::vector<QString> boxFailures = m_doc.PrepareTextBoxPictures();
    for (size_t i = 0; i < boxFailures.size(); ++i) {
        if (boxFailures[i].isEmpty())
            continue;
        const TextBox& box = m_doc.TextBoxes()[i];
        const bool kept = !box.name.isEmpty() &&
                          QFileInfo(CTextBoxPicture::PdfPath(m_doc.WorkFolder(), box)).isFile();
        m_notes << (kept ? QStringLiteral("text box \"%1\" not made again, its earlier PDF "
                                          "is placed: %2")
                         : QStringLiteral("text box \"%1\" left off the press: %2"))
                       .arg(box.name, boxFailures[i]);
    }
    if (const Result<void> saved = m_doc.SaveIfModified(); !saved)
        return saved;

    if (const Result<void> summary = WriteSummary(); !summary)
        m_notes
            << summary.error(); // the summary is for registration; the press files do not need it

    const int sides = m_doc.Geometry().sideCount;
    if (Result<void> removed = RemoveOld(PlainPath()); !removed)
        return removed;
    for (int side = 0; side < sides; ++side)
        if (Result<void> removed = RemoveOld(SideFilePath(side)); !removed)
            return removed;
    // A plan of an earlier layout beside the new side files would mislead the
    // cutter room, also when no new plan is asked for.
    for (const QString& old :
         {cutsheet::SheetPath(m_doc.Path()), cutsheet::ProgramPath(m_doc.Path())})
        if (Result<void> removed = RemoveOld(old); !removed)
            return removed;

    ProgressSink* progress = m_doc.Context().progress;
    CPlateTitle plateTitle(m_doc, *pdf, options.companyCode);
    std::vector<std::pair<TitlePiece, TitlePiece>> titles(sides);
    if (progress)
        progress->Begin(QStringLiteral("판 제목 생성"), sides);
    for (int side = 0; side < sides; ++side) {
        if (progress) {
            progress->Step(side + 1);
            progress->Detail(side == m_doc.Geometry().labelSide
                                 ? QStringLiteral("레이블 판 제목 생성 중...")
                                 : CPlateMarks::SideName(m_doc, side) +
                                       QStringLiteral(" 판 제목 생성 중..."));
        }
        if (Result<void> prepared =
                plateTitle.Prepare(side, titles[side].first, titles[side].second);
            !prepared)
            return prepared;
    }
    if (progress)
        progress->End();

    FindLabels(options);
    // The label set is not held past the run.
    struct Release {
        std::unique_ptr<RunLabels>& held;
        ~Release() { held.reset(); }
    } release{m_labels};

    for (int side = 0; side < sides; ++side) {
        if (Result<void> composed =
                ComposeSide(side, options, titles[side].first, titles[side].second);
            !composed)
            return composed;
        if (written)
            *written << SideFilePath(side);
    }
    if (options.cutPlan)
        if (Result<void> planned = WriteCutPlan(); !planned)
            return planned;
    if (progress) {
        progress->Begin(QStringLiteral("출력용 PDF 파일 생성"), 1);
        progress->Detail(
            QStringLiteral("PDF 저장 중: %1.pdf").arg(QFileInfo(m_doc.Path()).completeBaseName()));
        progress->End();
    }
    return WritePressFolder(options, written);
}

CMakePress::RunLabels::RunLabels(const QString& presetDir, CPDFServer* pdf)
    : render(presetDir, pdf), set(render) {}

void CMakePress::FindLabels(const MakePressOptions& options) {
    m_labels = std::make_unique<RunLabels>(options.presetDir, m_doc.Context().pdf);
    for (int i = 0; i < m_doc.ItemCount(); ++i) {
        const CZelItem& item = *m_doc.ItemAt(i);
        if (!m_doc.InsideLayoutArea(item))
            continue;
        if (const Result<const CZelLabel*> label = m_labels->render.ScopedLabel(item))
            m_labels->ofItem[&item] = label.value();
        else
            m_notes << label.error();
    }
}

Result<void> CMakePress::PlaceLabel(const CZelItem& item, bool frame) {
    const auto found = m_labels->ofItem.find(&item);
    if (found == m_labels->ofItem.end())
        return {};
    const CZelLabel& label = *found->second;
    // The label centred in the item's box and turned with it, on white, framed like artwork.
    const int rotate = item.LabelRotation();
    const bool quarter = rotate == 90 || rotate == 270;
    const double shownW = quarter ? label.Height() : label.Width();
    const double shownH = quarter ? label.Width() : label.Height();
    const double x = item.x + (item.EffectiveWidth() - shownW) / 2;
    const double y = item.y + (item.EffectiveHeight() - shownH) / 2;
    if (Result<void> underlaid = Underlay(x, y, shownW, shownH); !underlaid)
        return underlaid;
    // A field that cannot be drawn leaves a note; the rest of the label prints.
    for (const QString& reason : m_labels->render.DrawPdf(label, &item, x, y, rotate))
        m_notes << QStringLiteral("order %1: %2").arg(item.ordernum, reason);
    return frame ? Frame(x, y, shownW, shownH, item.ownFrameColor) : Result<void>();
}

Result<void> CMakePress::ComposeSide(int side, const MakePressOptions& options,
                                     const TitlePiece& barcode, const TitlePiece& title) {
    CPDFServer& pdf = *m_doc.Context().pdf;
    const PlateProperties& p = m_doc.Properties();
    const PlateGeometry& g = m_doc.Geometry();
    CComposeScope doc(pdf, SideFilePath(side));
    if (const Result<void> begun = doc.Begin(); !begun)
        return begun;
    if (!pdf.ComposeBeginPage(p.width, p.height))
        return Failure(QStringLiteral("%1: %2").arg(SideFilePath(side), pdf.LastError()));
    for (const TitlePiece* piece : {&barcode, &title}) {
        if (!piece->placed || !QFileInfo(piece->pdf).isFile())
            continue;
        if (!pdf.ComposePlacePDIDoc(piece->pdf, 1, piece->x, piece->y, piece->width, piece->height,
                                    piece->rotation))
            return Failure(QStringLiteral("%1: %2").arg(piece->pdf, pdf.LastError()));
    }
    CPlateMarks marks(m_doc, pdf, m_doc.Context().colors, m_doc.Context().progress);
    const int kind = side == g.labelSide ? 2 : side;
    for (Result<void> drawn :
         {marks.ColorBars(side, m_colorBars), marks.RegistrationMarks(side, m_registrationMarks),
          marks.TextBoxes(side), marks.Lines(side), marks.PlateCutMarks(side)})
        if (!drawn)
            return drawn;
    if (options.itemCut[kind])
        if (Result<void> drawn = marks.OwnCutMarks(side); !drawn)
            return drawn;
    if (Result<void> placed = PlaceArtwork(side, options); !placed)
        return placed;
    if (!pdf.ComposeEndPage())
        return Failure(QStringLiteral("%1: %2").arg(SideFilePath(side), pdf.LastError()));
    return doc.Commit();
}

Result<void> CMakePress::PlacePage(const QString& file, int page, double boxX, double boxY,
                                   double boxW, double boxH, int rotate, bool frame,
                                   const QString& frameColor) {
    CPDFServer& pdf = *m_doc.Context().pdf;
    auto key = std::make_pair(file, page);
    auto size = m_pageSizes.find(key);
    if (size == m_pageSizes.end()) {
        double w = 0, h = 0;
        if (!pdf.ComposeGetPDIDocSize(file, page, w, h))
            return Failure(
                QStringLiteral("%1, page %2: %3").arg(file).arg(page).arg(pdf.LastError()));
        size = m_pageSizes.emplace(key, std::make_pair(w, h)).first;
    }
    const auto [cx, cy] = size->second;
    const bool quarter = rotate == 90 || rotate == 270;
    const double shownW = quarter ? cy : cx, shownH = quarter ? cx : cy;
    const double x = boxX + (boxW - shownW) / 2;
    const double y = boxY + (boxH - shownH) / 2;
    if (Result<void> underlaid = Underlay(x, y, shownW, shownH); !underlaid)
        return underlaid;
    if (!pdf.ComposePlacePDIDoc(file, page, x, y, cx, cy, rotate))
        return Failure(QStringLiteral("%1, page %2: %3").arg(file).arg(page).arg(pdf.LastError()));
    return frame ? Frame(x, y, shownW, shownH, frameColor) : Result<void>();
}

Result<void> CMakePress::Underlay(double x, double y, double w, double h) {
    CPDFServer& pdf = *m_doc.Context().pdf;
    PressColour white = PressColour::Find(m_doc.Context().colors, QStringLiteral(" [ White ]"));
    if (white.IsNone())
        white = PressColour::CmykOf(0, 0, 0, 0);
    if (!presscolour::Rect(pdf, x, y, w, h, kUnderlayWidth, {}, white))
        return Failure(QStringLiteral("underlay: %1").arg(pdf.LastError()));
    return {};
}

Result<void> CMakePress::Frame(double x, double y, double w, double h, const QString& frameColor) {
    CPDFServer& pdf = *m_doc.Context().pdf;
    PressColour colour = PressColour::Find(m_doc.Context().colors, frameColor);
    if (colour.IsNone())
        colour = PressColour::Registration();
    if (!presscolour::Rect(pdf, x, y, w, h, kUnderlayWidth, colour, {}))
        return Failure(QStringLiteral("frame: %1").arg(pdf.LastError()));
    return {};
}

Result<void> CMakePress::PlaceArtwork(int side, const MakePressOptions& options) {
    const PlateGeometry& g = m_doc.Geometry();
    const PlateProperties& p = m_doc.Properties();
    ProgressSink* progress = m_doc.Context().progress;
    std::vector<const CZelItem*> items;
    for (int i = 0; i < m_doc.ItemCount(); ++i)
        items.push_back(m_doc.ItemAt(i));
    std::stable_sort(items.begin(), items.end(), [](const CZelItem* a, const CZelItem* b) {
        return a->x < b->x || (a->x == b->x && a->y < b->y);
    });
    const bool label = side == g.labelSide;
    if (progress)
        progress->Begin(CPlateMarks::SideName(m_doc, side) + QStringLiteral(" PDF 배치 중..."),
                        static_cast<int>(items.size()));
    const int kind = label ? 2 : side;
    const bool frames = options.itemFrame[kind] != 0;
    const CPlateMarks marks(m_doc, *m_doc.Context().pdf, nullptr);
    int step = 0;
    for (const CZelItem* item : items) {
        if (progress) {
            progress->Step(++step);
            progress->Detail(
                QStringLiteral("PDF 배치: %1 - %2").arg(item->ordernum, item->product));
        }
        if (!m_doc.InsideLayoutArea(*item))
            continue;
        const double w = item->EffectiveWidth(), h = item->EffectiveHeight();
        const bool frame = frames && item->ownFrame;
        if (label) {
            if (Result<void> placed = PlaceLabel(*item, frame); !placed)
                return placed;
            continue;
        }
        const bool hasBack = item->numSide == 2;
        const int mode = g.workAndTurn ? CPlateMarks::MirrorMode(m_doc, side, true)
                                       : CPlateMarks::MirrorMode(m_doc, side);
        if (g.workAndTurn || side == 0) {
            if (Result<void> placed =
                    PlacePage(item->objPath, item->PdfPageNumber(0), item->x, item->y, w, h,
                              item->rotate, frame, item->ownFrameColor);
                !placed)
                return placed;
        }
        if ((g.workAndTurn && mode != 0) || (!g.workAndTurn && side == 1)) {
            if (!hasBack)
                continue;
            double x = 0, y = 0;
            marks.MirroredPosition(*item, mode, x, y);
            int rotate = item->rotate;
            if (mode == 1 && (rotate == 90 || rotate == 270))
                rotate = 360 - rotate;
            else if (mode == 2 && (rotate == 0 || rotate == 180))
                rotate = 180 - rotate;
            if (Result<void> placed = PlacePage(item->objPath, item->PdfPageNumber(1), x, y, w, h,
                                                rotate, frame, item->ownFrameColor);
                !placed)
                return placed;
        }
        (void)p;
    }
    if (progress)
        progress->End();
    return {};
}

Result<void> CMakePress::WriteCutPlan() {
    const Result<CutPlan> plan = MakeCutPlan(m_doc);
    if (!plan) {
        m_notes << QStringLiteral("no cutting plan: %1").arg(plan.error());
        return {};
    }
    const QString sheet = cutsheet::SheetPath(m_doc.Path());
    const QString program = cutsheet::ProgramPath(m_doc.Path());
    if (Result<void> written = cutsheet::WriteSheet(*m_doc.Context().pdf, plan.value(),
                                                    m_doc.Properties().jobCode, sheet);
        !written)
        return written;
    if (Result<void> written = cutsheet::WriteProgram(plan.value(), program); !written)
        return written;
    m_cutPlanFiles << sheet << program;
    return {};
}

Result<void> CMakePress::WritePressFolder(const MakePressOptions& options, QStringList* written) {
    if (options.pressDir.isEmpty())
        return {};
    if (!QFileInfo(options.pressDir).isDir())
        return Failure(QStringLiteral("%1: the press folder does not exist").arg(options.pressDir));
    // Removed before the new files appear, so that a hot folder never holds
    // the plate under both press types at once.
    for (const QString& other : OtherTypeFiles(options)) {
        if (!options.replaceOtherTypes) {
            m_otherTypeFilesLeft << other;
            m_notes << QStringLiteral("the press folder also holds %1, this plate's file of "
                                      "another press type: the plate may be printed twice")
                           .arg(other);
        } else if (QFile::remove(other)) {
            m_otherTypeFilesRemoved << other;
        } else {
            return Refuse(kInUse.arg(QFileInfo(other).fileName()));
        }
    }
    return WriteTargets(PressTargets(options), options.pdfType != 0, written,
                        options.view ? options.open : std::function<void(const QString&)>());
}

Result<void> CMakePress::WriteTargets(const std::vector<std::pair<QString, QStringList>>& targets,
                                      bool copySingle, QStringList* written,
                                      const std::function<void(const QString&)>& open) {
    CPDFServer& pdf = *m_doc.Context().pdf;
    // Every file is written under a hidden name first and all are renamed
    // over their targets only when all are written: a hot folder never sees
    // half a file, nor half of a plate's set, and a target keeps its old
    // file until the new one is whole.
    QStringList temporaries;
    auto dropTemporaries = [&temporaries](Result<void> failed) {
        for (const QString& temporary : temporaries)
            QFile::remove(temporary);
        return failed;
    };
    for (const auto& [target, inputs] : targets) {
        // The earlier press file stays until the new one is renamed over it.
        if (Result<void> replaceable = Replaceable(target); !replaceable)
            return dropTemporaries(replaceable);
        const QString temporary = durablefile::TemporaryPath(target);
        temporaries << temporary;
        if (inputs.size() == 1 && copySingle) {
            if (const Result<void> copied = durablefile::Copy(inputs.first(), temporary); !copied)
                return dropTemporaries(Failure(QStringLiteral("%1: cannot copy %2: %3")
                                                   .arg(target, inputs.first(), copied.error())));
        } else if (pdf.MiscMerge(inputs, temporary) == 0) {
            return dropTemporaries(Failure(QStringLiteral("%1: %2").arg(target, pdf.LastError())));
        }
    }
    for (size_t i = 0; i < targets.size(); ++i) {
        const QString& target = targets[i].first;
        if (Result<void> published = durablefile::Publish(temporaries[static_cast<int>(i)], target);
            !published) {
            temporaries = temporaries.mid(static_cast<int>(i));
            return dropTemporaries(published);
        }
        if (written)
            *written << target;
        if (open)
            open(target);
    }
    return {};
}
