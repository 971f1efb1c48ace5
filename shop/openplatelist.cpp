#include "openplatelist.h"

#include "markup/numbertext.h"
#include "records/docpresettree.h"
#include "records/zelmtdocument.h"
#include "records/zelpreference.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace openplatelist {
namespace {

// A plate's tree read up to its first "PAGE" under the root.
class SummaryTree : public CDocumentTree {
public:
    bool stoppedAtPage = false;

protected:
    int OnParseEvent(int kind) override {
        if (kind == kStart) {
            m_depth = 0;
            stoppedAtPage = false;
        } else if (kind == kTag) {
            const QByteArrayView tag(TokenStart(), TokenLength());
            if (tag.startsWith("</")) {
                --m_depth;
            } else if (!tag.endsWith("/>")) {
                if (m_depth == 1 && tag == QByteArrayView("<PAGE>")) {
                    stoppedAtPage = true;
                    return 0;
                }
                ++m_depth;
            }
        }
        return CDocumentTree::OnParseEvent(kind);
    }

private:
    int m_depth = 0;
};

const CTzmpItem* Child(const CTzmpTree& tree, const CTzmpItem* parent, const char* name) {
    return parent ? CTzmpTree::Typed(tree.FindChild(parent, name)) : nullptr;
}

QString Text(const CTzmpTree& tree, const CTzmpItem* parent, const char* key) {
    const CTzmpItem* item = Child(tree, parent, key);
    return item ? item->Value().toString() : QString();
}

int Int(const CTzmpTree& tree, const CTzmpItem* parent, const char* key) {
    const CTzmpItem* item = Child(tree, parent, key);
    return item ? item->Value().toInt() : 0;
}

double Double(const CTzmpTree& tree, const CTzmpItem* parent, const char* key) {
    const CTzmpItem* item = Child(tree, parent, key);
    return item ? item->Value().toDouble() : 0.0;
}

// Reads the file up to the first "<PAGE>" (or whole), in pieces, so a large
// plate on a share is not read to its end.
bool ReadPrefix(const QString& path, QByteArray& bytes, QString& error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("%1: %2").arg(path, file.errorString());
        return false;
    }
    constexpr qint64 kPiece = 64 * 1024;
    while (!file.atEnd()) {
        const QByteArray piece = file.read(kPiece);
        if (piece.isEmpty() && file.error() != QFileDevice::NoError) {
            error = QStringLiteral("%1: %2").arg(path, file.errorString());
            return false;
        }
        const qsizetype from = std::max<qsizetype>(0, bytes.size() - 6);
        bytes += piece;
        if (bytes.indexOf("<PAGE>", from) >= 0)
            break;
    }
    return true;
}

QString SidesText(int paperSide, int colorA, int colorB) {
    const int a = colorA != 0 ? 4 : 1;
    const int b = colorB != 0 ? 4 : 1;
    if (paperSide == 0)
        return QStringLiteral("단면(%1)").arg(a);
    if (paperSide == 1)
        return QStringLiteral("양면(A:%1, B:%2)").arg(a).arg(b);
    return QStringLiteral("돈땡(%1)").arg(a);
}

QString ImpositionText(int imposition) {
    if (imposition == 0)
        return QStringLiteral("수평 대첩");
    if (imposition == 1)
        return QStringLiteral("수직 대첩");
    return QStringLiteral("대첩 안함");
}

} // namespace

QStringList PlateSummary::Columns() const {
    return {name,  presetName, size,   paperType, pressCount,
            sides, imposition, worker, jobDate,   path};
}

QStringList Titles() {
    return {QStringLiteral("판이름"),    QStringLiteral("판형"),      QStringLiteral("크기"),
            QStringLiteral("종이 지질"), QStringLiteral("인쇄 매수"), QStringLiteral("면수(도수)"),
            QStringLiteral("대첩 방식"), QStringLiteral("작업자"),    QStringLiteral("작업 날자"),
            QStringLiteral("파일 위치")};
}

Result<PlateSummary> ReadSummary(const QString& path) {
    QByteArray bytes;
    QString error;
    if (!ReadPrefix(path, bytes, error))
        return Failure(error);
    SummaryTree tree;
    tree.Parse(bytes.constData(), bytes.size());
    const CTzmpItem* root = CTzmpTree::Typed(tree.FindChild(nullptr, CTzmpTree::kRootName));
    if (!root || Text(tree, root, "DOCUMENT_TYPE") != QLatin1String(CZelMTDocument::kDocumentType))
        return Failure(QStringLiteral("%1: not a plate file").arg(path));
    const CTzmpItem* info = Child(tree, root, "DOCUMENT_INFORMATION");
    const CTzmpItem* plate = Child(tree, root, "PLATE_INFORMATION");
    const CTzmpItem* paper = Child(tree, root, "PAPER_PROPERTY");
    // A plate whose settings do not all stand before its items (written by
    // another program) is not summarised from half of them.
    if (!tree.stoppedAtPage && !tree.LastParseReport().complete)
        return Failure(QStringLiteral("%1: %2").arg(path, tree.LastParseReport().reason));
    if (!info || !plate || !paper)
        return Failure(
            QStringLiteral("%1: the plate settings are missing before its items").arg(path));

    PlateSummary summary;
    summary.name = Text(tree, root, "NAME");
    if (summary.name.isEmpty()) // a plate saved before it had a name
        summary.name = QFileInfo(path).completeBaseName();
    summary.presetName = Text(tree, info, "PRESET_NAME");
    summary.size = numbertext::MillimetreText(Double(tree, paper, "WIDTH")) +
                   QStringLiteral(" * ") +
                   numbertext::MillimetreText(Double(tree, paper, "HEIGHT"));
    summary.paperType = Text(tree, plate, "PAPER_TYPE");
    summary.pressCount = QString::number(Int(tree, plate, "PQUANTITY"));
    summary.sides = SidesText(Int(tree, plate, "PAPER_SIDE"), Int(tree, plate, "COLOR_A"),
                              Int(tree, plate, "COLOR_B"));
    summary.imposition = ImpositionText(Int(tree, plate, "IMPOSITION"));
    summary.worker = QStringLiteral("%1(%2)").arg(Text(tree, info, "USER_NAME"),
                                                  Text(tree, info, "USER_INITIAL"));
    summary.jobDate = Text(tree, info, "JOB_DATE");
    summary.path = path;
    return summary;
}

std::vector<PlateSummary> List(CZelPreference& preference, const QString& openPath,
                               QStringList* skipped) {
    std::vector<PlateSummary> rows;
    QStringList paths;
    if (!preference.ListLocalWorkFiles(QLatin1String(CZelMTDocument::kExtension), paths))
        return rows;
    std::stable_sort(paths.begin(), paths.end(), [](const QString& a, const QString& b) {
        return QFileInfo(a).fileName().compare(QFileInfo(b).fileName(), Qt::CaseInsensitive) < 0;
    });
    const QString open = openPath.isEmpty() ? QString() : QFileInfo(openPath).canonicalFilePath();
    for (const QString& path : paths) {
        if (!open.isEmpty() && QFileInfo(path).canonicalFilePath() == open)
            continue;
        Result<PlateSummary> summary = ReadSummary(path);
        if (summary)
            rows.push_back(std::move(summary).value());
        else if (skipped)
            *skipped << summary.error();
    }
    return rows;
}

} // namespace openplatelist
