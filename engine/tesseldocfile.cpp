// CTesselDoc: reading and writing the plate file.
#include "operatorinterface.h"
#include "tesseldoc.h"
#include "textboxpicture.h"
#include "textlayout.h"

#include "markup/cp949.h"
#include "markup/durablefile.h"
#include "records/filenames.h"
#include "records/progresssink.h"
#include "records/zelcolorpresets.h"
#include "records/zeldocumentpreset.h"
#include "records/zelmtdocument.h"
#include "records/zelpreference.h"

#include <QDir>
#include <QFileInfo>
#include <QThread>

#include <algorithm>
#include <utility>

namespace {

// The order fields an item keeps, with their member.

std::unique_ptr<CZelItem> ReadItem(const CZelMTDocument& doc, const CTzmpItem* element,
                                   const QString& jobCode) {
    auto item = std::make_unique<CZelItem>();
    item->jobCode = jobCode;
    for (const CZelItem::TextField& field : CZelItem::TextFields())
        (*item).*field.member = doc.JobValue(element, field.key).toString();
    item->color = doc.JobValue(element, "Color").toInt();
    item->pdfPage = doc.JobValue(element, "PDFPage").toInt();
    item->width = doc.JobValue(element, "Width").toDouble();
    item->height = doc.JobValue(element, "Height").toDouble();
    item->pcases = doc.JobValue(element, "Pcases").toInt();
    item->quantity = doc.JobValue(element, "Quantity").toDouble();
    item->pquantity = doc.JobValue(element, "PQuantity").toInt();

    item->objPath = doc.ObjectValue(element, "OBJ_PATH").toString();
    item->pageNum = doc.ObjectValue(element, "PAGE_NUM").toInt();
    item->numSide = doc.ObjectValue(element, "NUM_SIDE").toInt();
    item->mediaInd = doc.ObjectValue(element, "MEDIA_IND").toInt();
    item->mediaRotate = doc.ObjectValue(element, "MEDIA_ROTATE").toInt();
    item->ownCut = doc.ObjectValue(element, "OWN_CUT").toInt();
    for (int i = 0; i < 4; ++i)
        item->crop[i] = doc.Crop(element, i).toDouble();
    for (int i = 0; i < 8; ++i)
        item->cropMarks[i] = doc.CropMark(element, i).toInt();
    item->ownFrame = doc.ObjectValue(element, "OWN_FRAME").toInt();
    item->ownFrameColor = doc.ObjectValue(element, "OWN_FRAME_COLOR").toString();
    item->rotate = doc.ObjectValue(element, "ROTATE").toInt();
    item->x = doc.ObjectValue(element, "X").toDouble();
    item->y = doc.ObjectValue(element, "Y").toDouble();
    item->cx = doc.ObjectValue(element, "CX").toDouble();
    item->cy = doc.ObjectValue(element, "CY").toDouble();
    item->checksum = doc.ObjectValue(element, "CHECKSUM").toString();
    item->labelName = doc.ObjectValue(element, "LABEL_NAME").toString();
    return item;
}

void WriteItem(CZelMTDocument& doc, CTzmpItem* element, const CZelItem& item) {
    for (const CZelItem::TextField& field : CZelItem::TextFields())
        doc.JobValue(element, field.key) = item.*field.member;
    doc.JobValue(element, "Color") = item.color;
    doc.JobValue(element, "PDFPage") = item.pdfPage;
    doc.JobValue(element, "Width") = item.width;
    doc.JobValue(element, "Height") = item.height;
    doc.JobValue(element, "Pcases") = item.pcases;
    doc.JobValue(element, "Quantity") = item.quantity;
    doc.JobValue(element, "PQuantity") = item.pquantity;

    doc.ObjectValue(element, "OBJ_PATH") = item.objPath;
    doc.ObjectValue(element, "PAGE_NUM") = item.pageNum;
    doc.ObjectValue(element, "NUM_SIDE") = item.numSide;
    doc.ObjectValue(element, "MEDIA_IND") = item.mediaInd;
    doc.ObjectValue(element, "MEDIA_ROTATE") = item.mediaRotate;
    doc.ObjectValue(element, "OWN_CUT") = item.ownCut;
    for (int i = 0; i < 4; ++i)
        doc.Crop(element, i) = item.crop[i];
    for (int i = 0; i < 8; ++i)
        doc.CropMark(element, i) = item.cropMarks[i];
    doc.ObjectValue(element, "OWN_FRAME") = item.ownFrame;
    doc.ObjectValue(element, "OWN_FRAME_COLOR") = item.ownFrameColor;
    doc.ObjectValue(element, "ROTATE") = item.rotate;
    doc.ObjectValue(element, "X") = item.x;
    doc.ObjectValue(element, "Y") = item.y;
    doc.ObjectValue(element, "CX") = item.cx;
    doc.ObjectValue(element, "CY") = item.cy;
    doc.ObjectValue(element, "CHECKSUM") = item.checksum;
    if (!item.labelName.isEmpty())
        doc.ObjectValue(element, "LABEL_NAME") = item.labelName;
}

// The first JOB or OBJECT key of an item whose text the file's code page
// cannot carry (it would be written as "?"), or nullptr.
const char* UnwritableKey(const CZelItem& item) {
    for (const CZelItem::TextField& field : CZelItem::TextFields())
        if (!cp949::CanEncode(item.*field.member))
            return field.key;
    const std::pair<const char*, const QString*> objectTexts[] = {
        {"OBJ_PATH", &item.objPath},
        {"OWN_FRAME_COLOR", &item.ownFrameColor},
        {"CHECKSUM", &item.checksum},
        {"LABEL_NAME", &item.labelName}};
    for (const auto& [key, text] : objectTexts)
        if (!cp949::CanEncode(*text))
            return key;
    return nullptr;
}

// The first text of the plate itself, its lines or its text boxes that the
// file's code page cannot carry, named for the operator, or empty.
QString UnwritablePlateText(const PlateProperties& p, const std::vector<FreeLine>& lines,
                            const std::vector<TextBox>& boxes) {
    const std::pair<const char*, const QString*> plateTexts[] = {
        {"PRESET_NAME", &p.presetName},
        {"JOB_CODE", &p.jobCode},
        {"USER_NAME", &p.userName},
        {"USER_ACCOUNT", &p.userAccount},
        {"USER_INITIAL", &p.userInitial},
        {"JOB_DATE", &p.jobDate},
        {"PAPER_TYPE", &p.paperType},
        {"COMMENT", &p.comment},
        {"AFTER_WORK", &p.afterWork},
        {"SIZE", &p.size},
        {"TITLE_ITEMS", &p.titleItems},
        {"COLOR_BAR_NAME", &p.colorBarName},
        {"REGISTRATION_MARK_NAME", &p.registrationMarkName}};
    for (const auto& [key, text] : plateTexts)
        if (!cp949::CanEncode(*text))
            return QLatin1String(key);
    for (size_t i = 0; i < lines.size(); ++i)
        if (!cp949::CanEncode(lines[i].colorName))
            return QStringLiteral("LINE_COLOR of line %1").arg(i + 1);
    for (size_t i = 0; i < boxes.size(); ++i) {
        const TextBox& box = boxes[i];
        for (const QString* text : {&box.name, &box.frameColor, &box.contentColor, &box.textColor,
                                    &box.text, &box.font.lfFaceName})
            if (!cp949::CanEncode(*text))
                return QStringLiteral("text box %1").arg(i + 1);
    }
    return {};
}

FreeLine ReadLine(const CZelDocumentPreset& doc, const CTzmpItem* element) {
    FreeLine line;
    line.dir = doc.LineValue(element, "LINE_DIR").toInt();
    line.start = doc.LineValue(element, "LINE_START").toDouble();
    line.end = doc.LineValue(element, "LINE_END").toDouble();
    line.offset = doc.LineValue(element, "LINE_OFFSET").toDouble();
    line.weight = doc.LineValue(element, "LINE_WEIGHT").toDouble();
    line.colorName = doc.LineValue(element, "LINE_COLOR").toString();
    return line;
}

void WriteLines(CZelDocumentPreset& doc, const std::vector<FreeLine>& lines) {
    CTzmpItem* container = doc.AddLines();
    for (const FreeLine& line : lines) {
        CTzmpItem* element = doc.AddLine(container);
        doc.LineValue(element, "LINE_DIR") = line.dir;
        doc.LineValue(element, "LINE_START") = line.start;
        doc.LineValue(element, "LINE_END") = line.end;
        doc.LineValue(element, "LINE_OFFSET") = line.offset;
        doc.LineValue(element, "LINE_WEIGHT") = line.weight;
        doc.LineValue(element, "LINE_COLOR") = line.colorName;
    }
}

TextBox ReadText(const CZelMTDocument& doc, const CTzmpItem* element) {
    TextBox box;
    box.name = doc.TextValue(element, "TEXT_NAME").toString();
    box.x = doc.TextValue(element, "TEXT_POSX").toDouble();
    box.y = doc.TextValue(element, "TEXT_POSY").toDouble();
    box.width = doc.TextValue(element, "TEXT_WIDE").toDouble();
    box.height = doc.TextValue(element, "TEXT_HIGH").toDouble();
    box.frameColor = doc.TextValue(element, "TEXT_COLOR_FRAME").toString();
    box.contentColor = doc.TextValue(element, "TEXT_COLOR_CONTENT").toString();
    box.textColor = doc.TextValue(element, "TEXT_COLOR_TEXT").toString();
    doc.GetTextFont(element, box.font);
    box.rotate = doc.TextValue(element, "TEXT_ROTATE").toInt();
    box.text = doc.TextValue(element, "TEXT_STRING").toString();
    return box;
}

void WriteText(CZelMTDocument& doc, CTzmpItem* element, const TextBox& box) {
    doc.TextValue(element, "TEXT_NAME") = box.name;
    doc.TextValue(element, "TEXT_POSX") = box.x;
    doc.TextValue(element, "TEXT_POSY") = box.y;
    doc.TextValue(element, "TEXT_WIDE") = box.width;
    doc.TextValue(element, "TEXT_HIGH") = box.height;
    doc.TextValue(element, "TEXT_COLOR_FRAME") = box.frameColor;
    doc.TextValue(element, "TEXT_COLOR_CONTENT") = box.contentColor;
    doc.TextValue(element, "TEXT_COLOR_TEXT") = box.textColor;
    doc.SetTextFont(element, box.font);
    doc.TextValue(element, "TEXT_ROTATE") = box.rotate;
    doc.TextValue(element, "TEXT_STRING") = box.text;
}

void ReadHeader(const CZelMTDocument& doc, PlateProperties& p) {
    p.presetName = doc.PresetName().toString();
    p.jobDate = doc.JobDate().toString();
    p.jobCode = doc.JobCode().toString();
    p.userAccount = doc.UserAccount().toString();
    p.userInitial = doc.UserInitial().toString();
    p.userName = doc.UserName().toString();
    p.pressQuantityText = doc.PressQuantityText().toString();
    p.pageCount = doc.PageCount().toInt();
}

void WriteHeader(CZelMTDocument& doc, const PlateProperties& p) {
    doc.PresetName() = p.presetName;
    doc.JobDate() = p.jobDate;
    doc.JobCode() = p.jobCode;
    doc.UserAccount() = p.userAccount;
    doc.UserInitial() = p.userInitial;
    doc.UserName() = p.userName;
    doc.PressQuantityText() = p.pressQuantityText;
    doc.PageCount() = p.pageCount;
}

} // namespace

Result<void> CTesselDoc::Open(const QString& path) {
    const ChangeScope scope(*this);
    Result<void> read = ReadPlateFile(path);
    if (!read)
        return read;
    PreparePreviews();
    return {};
}

Result<void> CTesselDoc::OpenToRead(const QString& path) {
    return ReadPlateFile(path, false);
}

Result<void> CTesselDoc::ReadPlateFile(const QString& path) {
    return ReadPlateFile(path, true);
}

Result<void> CTesselDoc::ReadPlateFile(const QString& path, bool forEditing) {
    auto document = std::make_unique<CZelMTDocument>();
    // A plate read in part, or another kind of record, would be written back
    // short at the next save.
    if (!document->LoadWhole(path, CZelMTDocument::kDocumentType))
        return Failure(document->LastError());
    const QFileInfo file(path);
    const QString workFolder = QDir(file.absolutePath()).filePath(file.completeBaseName());
    if (forEditing && !QDir().mkpath(workFolder))
        return Failure(QStringLiteral("%1: cannot create the plate's work folder").arg(workFolder));

    PlateProperties properties;
    ReadHeader(*document, properties);
    properties.ReadPlateKeys(*document);
    properties.Normalize();

    QString progressFolder, releaseFolder;
    if (m_context.preference && forEditing) {
        // Both names become folders on the shared drive.
        if (!filenames::IsPlainName(properties.userAccount) ||
            !filenames::IsPlainName(properties.jobCode))
            return Failure(
                QStringLiteral(
                    "%1: the plate's account \"%2\" or number \"%3\" is not a valid folder name")
                    .arg(path, properties.userAccount, properties.jobCode));
        if (!m_context.preference->GetProgressFolder(properties.userAccount, properties.jobCode,
                                                     progressFolder) ||
            !m_context.preference->GetReleaseFolder(properties.userAccount, properties.jobCode,
                                                    releaseFolder))
            return Failure(
                QStringLiteral("%1: cannot create the plate's progress or release folder")
                    .arg(path));
    }

    std::vector<std::unique_ptr<CZelItem>> items;
    if (CTzmpItem* page = document->FirstPage()) {
        for (CMTItem* element = document->FirstItem(page); element;
             element = element->NextSibling())
            items.push_back(ReadItem(*document, CTzmpTree::Typed(element), properties.jobCode));
    }
    document->RemoveAllPages();

    std::vector<FreeLine> lines;
    for (CMTItem* element = document->FirstLine(); element; element = element->NextSibling())
        lines.push_back(ReadLine(*document, CTzmpTree::Typed(element)));
    document->RemoveAllLines();

    std::vector<TextBox> textBoxes;
    for (CMTItem* element = document->FirstText(); element; element = element->NextSibling())
        textBoxes.push_back(ReadText(*document, CTzmpTree::Typed(element)));
    document->RemoveAllTexts();

    // Everything was read: the document becomes this plate.
    const ChangeScope scope(*this);
    DeselectAll();
    m_items = std::move(items);
    m_lines = std::move(lines);
    m_textBoxes = std::move(textBoxes);
    m_document = std::move(document);
    m_path = file.absoluteFilePath();
    m_workFolder = workFolder;
    m_progressFolder = progressFolder;
    m_releaseFolder = releaseFolder;
    SetProperties(properties);
    if (!progressFolder.isEmpty()) {
        // A drop cut short first gives back what this plate does not hold.
        RecoverInterruptedDrops();
        m_jobContainer.SetSource(properties.jobCode, progressFolder, true);
    }
    m_modified = false;
    m_historyReset = true;
    // Files that stopped runs on this plate left half-written.
    if (forEditing) {
        durablefile::RemoveStaleTemporaries(file.absolutePath());
        durablefile::RemoveStaleTemporaries(m_workFolder);
    }
    TouchWholePlate(PlateChange::Items | PlateChange::Selection | PlateChange::Properties |
                    PlateChange::Furniture | PlateChange::Orders);
    return {};
}

void CTesselDoc::PreparePreviews() {
    const std::shared_ptr<void> labels = m_context.HoldLabelSet();
    const ChangeScope scope(*this);
    TouchWholePlate(PlateChange::Items);

    // The previews are the slow part of an open. An item whose artwork
    // cannot be loaded now (a share briefly away) stays on the plate with
    // everything it stores; dropping it would lose it at the next save and
    // strand its ticket in the progress folder. A label that cannot be drawn
    // is the label's fault, not the artwork's.
    QStringList failedLabels;
    ProgressSink* progress = m_context.progress;
    if (progress && !m_items.empty())
        progress->Begin(QStringLiteral("작업 파일 로드: %1").arg(QFileInfo(m_path).fileName()),
                        ItemCount());
    // Rendered ahead a few items at a time on every processor, so that
    // progress still moves item by item.
    const int batch = 4 * std::max(1, QThread::idealThreadCount());
    std::shared_ptr<void> rendered;
    for (int i = 0; i < ItemCount(); ++i) {
        CZelItem& item = *m_items[i];
        if (i % batch == 0 && m_context.pdf) {
            rendered.reset();
            std::vector<CZelItem*> next;
            for (int j = i; j < std::min(ItemCount(), i + batch); ++j)
                next.push_back(m_items[j].get());
            rendered = RenderPreviewsAhead(next);
        }
        if (progress)
            progress->Detail(QStringLiteral("%1.pdf - %2/%3")
                                 .arg(item.ordernum)
                                 .arg(item.mediaInd + 1)
                                 .arg(item.pcases));
        if (m_context.pdf && RefreshPagePreviews(item) && !RefreshLabelPreview(item) &&
            !failedLabels.contains(item.ordernum))
            failedLabels << item.ordernum;
        if (progress)
            progress->Step(i + 1);
    }
    rendered.reset();
    if (progress && !m_items.empty())
        progress->End();
    // A text box that cannot be made shows again at make press.
    if (m_context.pdf && textlayout::CanMeasure())
        (void)PrepareTextBoxPictures();
    const QStringList missing = MissingArtworkReasons();
    if (!missing.isEmpty() && m_context.op)
        m_context.op->Tell(QStringLiteral("다음 주문의 PDF 파일을 불러올 수 없습니다: %1\n파일을 "
                                          "확인하기 전에는 출력용 PDF를 만들 수 없습니다.")
                               .arg(missing.join(QStringLiteral("; "))));
    if (!failedLabels.isEmpty() && m_context.op)
        m_context.op->Tell(
            QStringLiteral("다음 주문의 레이블을 만들 수 없습니다: %1\n레이블 파일을 확인하십시오.")
                .arg(failedLabels.join(QStringLiteral(", "))));

    // Colour presets are kept per workstation: a line whose colour is not
    // known here keeps its name (so saving loses nothing) and is drawn in
    // registration colour.
    QStringList unknownColors;
    for (const FreeLine& line : m_lines)
        if (m_context.colors && !m_context.colors->FindColor(line.colorName) &&
            !unknownColors.contains(line.colorName))
            unknownColors << line.colorName;
    if (!unknownColors.isEmpty() && m_context.op)
        m_context.op->Tell(
            QStringLiteral(
                "선 색상 %1을(를) 컬러 프리셋에서 찾을 수 없어 레지스트레이션 색상으로 표시합니다.")
                .arg(QLatin1Char('"') + unknownColors.join(QStringLiteral("\", \"")) +
                     QLatin1Char('"')));
}

std::vector<QString> CTesselDoc::PrepareTextBoxPictures() {
    const ChangeScope scope(*this);
    std::vector<QString> reasons;
    for (TextBox& box : m_textBoxes) {
        const bool nameless = !filenames::IsPlainName(box.name);
        const Result<bool> made =
            CTextBoxPicture::MakeIfMissing(box, m_workFolder, m_context.colors, m_context.pdf);
        if (!made)
            reasons.push_back(made.error().isEmpty() ? QStringLiteral("not made") : made.error());
        else
            reasons.emplace_back();
        // A box named here is a change of the plate.
        if (nameless && filenames::IsPlainName(box.name)) {
            m_modified = true;
            TouchWholePlate(PlateChange::Furniture);
        }
    }
    return reasons;
}

Result<void> CTesselDoc::Save(const QString& path) {
    // A lossy value in OBJ_PATH would cut the item off from its artwork; the
    // check comes before the tree or any file is touched.
    for (const auto& item : m_items) {
        if (const char* key = UnwritableKey(*item))
            return Failure(
                QStringLiteral("%1: order \"%2\": %3 holds a character the plate file cannot store")
                    .arg(path, item->ordernum, QLatin1String(key)));
    }
    const QString plateText = UnwritablePlateText(m_properties, m_lines, m_textBoxes);
    if (!plateText.isEmpty())
        return Failure(QStringLiteral("%1: %2 holds a character the plate file cannot store")
                           .arg(path, plateText));
    if (!m_document)
        m_document = std::make_unique<CZelMTDocument>();
    CZelMTDocument& doc = *m_document;
    doc.RemoveAllPages();
    doc.RemoveAllLines();
    doc.RemoveAllTexts();
    WriteHeader(doc, m_properties);
    m_properties.WritePlateKeys(doc);

    CTzmpItem* page = doc.AddPage();
    for (const auto& item : m_items)
        WriteItem(doc, doc.AddItem(page), *item);
    if (!m_lines.empty())
        WriteLines(doc, m_lines);
    if (!m_textBoxes.empty()) {
        CTzmpItem* texts = doc.AddTexts();
        for (const TextBox& box : m_textBoxes)
            WriteText(doc, doc.AddText(texts), box);
    }
    if (!doc.Save(path))
        return Failure(doc.LastError());
    m_path = QFileInfo(path).absoluteFilePath();
    m_modified = false;
    if (m_changeDepth > 0 || m_groupDepth > 0) {
        // The step under way is not recorded yet: it is the saved one unless
        // it edits on after this.
        m_savedInUnit = true;
        m_editCountAtSave = m_editCount;
    } else {
        m_history.MarkSaved();
    }
    return {};
}

Result<void> CTesselDoc::SaveIfModified() {
    if (!m_modified)
        return {};
    if (m_path.isEmpty())
        return Failure(QStringLiteral("the plate has no file to be saved in"));
    return Save(m_path);
}

Result<void> CTesselDoc::ApplyToPreset() {
    if (m_modified)
        return Failure(QStringLiteral("save the plate before applying it to its preset"));
    const QString& name = m_properties.presetName;
    if (!filenames::IsPlainName(name))
        return Failure(QStringLiteral("\"%1\" is not a preset name").arg(name));
    CZelDocumentPreset preset;
    const QString presetPath = CZelDocumentPreset::PathOf(name);
    // The preset is written back: one read in part would lose the rest.
    if (!preset.LoadWhole(presetPath, CZelDocumentPreset::kDocumentType))
        return Failure(preset.LastError());
    preset.RemoveAllLines();
    if (!m_lines.empty())
        WriteLines(preset, m_lines);
    if (!preset.Save(presetPath))
        return Failure(preset.LastError());
    if (m_context.op)
        m_context.op->Tell(QStringLiteral("프리셋 \"%1\"에 적용되었습니다.").arg(name));
    return {};
}
