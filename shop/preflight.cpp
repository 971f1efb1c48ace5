#include "preflight.h"

#include "engine/freshnessstamp.h"
#include "engine/tesseldoc.h"
#include "labels/labelset.h"
#include "records/joblisttext.h"
#include "records/zeljob.h"
#include "records/zeljobcontainer.h"
#include "records/zelserverpreset.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>

#include <algorithm>
#include <cmath>

namespace {

bool SameRequest(const CPDFServer::PreflightRequest& a, const CPDFServer::PreflightRequest& b) {
    return a.pdf == b.pdf && a.width == b.width && a.height == b.height && a.bleed == b.bleed &&
           a.pages == b.pages && a.cmyk == b.cmyk && a.minDpi == b.minDpi;
}

QString Number(double value) {
    return QString::number(value, 'f', 1).remove(QRegularExpression(QStringLiteral("\\.0$")));
}

// The operator's words for a finding of the library.
QString TextOf(const CPDFServer::PreflightFinding& found,
               const CPDFServer::PreflightRequest& asked) {
    const QString code = found.code;
    if (code == QLatin1String("damaged"))
        return QStringLiteral("PDF를 읽을 수 없음");
    if (code == QLatin1String("encrypted"))
        return QStringLiteral("암호가 걸린 PDF");
    if (code == QLatin1String("repaired"))
        return QStringLiteral("손상되어 복구된 PDF");
    if (code == QLatin1String("pages"))
        return QStringLiteral("PDF %1쪽, 주문 %2쪽").arg(found.value).arg(asked.pages);
    if (code == QLatin1String("size"))
        return QStringLiteral("쪽 크기가 주문 크기 %1와 다름")
            .arg(joblisttext::SizeText(asked.width, asked.height));
    if (code == QLatin1String("bleed"))
        return QStringLiteral("도련 부족 (%1 mm, 필요 %2 mm)")
            .arg(Number(found.value), Number(asked.bleed));
    if (code == QLatin1String("bleed-box"))
        return QStringLiteral("BleedBox 도련 부족 (%1 mm)").arg(Number(found.value));
    if (code == QLatin1String("rgb"))
        return QStringLiteral("CMYK 작업에 RGB 색상");
    if (code == QLatin1String("spot"))
        return QStringLiteral("CMYK 작업에 별색");
    if (code == QLatin1String("overprint"))
        return QStringLiteral("흰색 오버프린트");
    if (code == QLatin1String("font"))
        return QStringLiteral("포함되지 않은 글꼴");
    if (code == QLatin1String("dpi"))
        return QStringLiteral("저해상도 이미지 (%1 dpi)").arg(found.value);
    return found.text; // a code this program does not know yet
}

CPDFServer::PreflightRequest RequestOf(const PreflightOrder& order,
                                       const PreflightSettings& settings) {
    CPDFServer::PreflightRequest request;
    request.pdf = order.pdfPath;
    request.width = std::max(0.0, order.width);
    request.height = std::max(0.0, order.height);
    request.bleed = settings.bleed;
    request.pages = std::max(1, order.pdfPage) * std::max(1, order.pcases);
    request.cmyk = order.color >= 4;
    request.minDpi = settings.minDpi;
    return request;
}

PreflightFinding Finding(const char* code, QString text, double value = 0) {
    PreflightFinding finding;
    finding.code = QString::fromLatin1(code);
    finding.text = std::move(text);
    finding.value = value;
    return finding;
}

// The order against the plate it is on.
void CheckAgainstPlate(const PreflightOrder& order, const PreflightPlate& plate,
                       const PreflightSettings& settings, std::vector<PreflightFinding>& out) {
    if (!order.paper.isEmpty() && !plate.paper.isEmpty() && order.paper != plate.paper)
        out.push_back(Finding(
            "paper", QStringLiteral("재질이 다름: 주문 %1, 판 %2").arg(order.paper, plate.paper)));
    const bool twoSidedOrder = order.pdfPage >= 2;
    const bool fourColourOrder = order.color >= 4;
    const bool plateFour =
        plate.fourColourFront && (!twoSidedOrder || !plate.twoSided || plate.fourColourBack);
    if (order.color > 0 && fourColourOrder != plateFour)
        out.push_back(Finding("colours",
                              QStringLiteral("도수가 다름: 주문 %1도, 판 %2")
                                  .arg(order.color)
                                  .arg(plateFour ? QStringLiteral("4도") : QStringLiteral("1도")),
                              order.color));
    const int cells = GridCells(plate.gridWidth, plate.gridHeight, order.width, order.height);
    if (cells > 1)
        out.push_back(Finding("cell",
                              QStringLiteral("주문 크기 %1가 판의 칸 %2보다 커서 %3칸을 차지함")
                                  .arg(joblisttext::SizeText(order.width, order.height),
                                       joblisttext::SizeText(plate.gridWidth, plate.gridHeight))
                                  .arg(cells),
                              cells));
    if (!order.autoLabel.isEmpty() && !order.product.isEmpty() &&
        !order.autoLabel.contains(order.product)) {
        for (const QString& product : settings.products) {
            if (!product.isEmpty() && product != order.product &&
                order.autoLabel.contains(product)) {
                out.push_back(Finding("label", QStringLiteral("%1 제품의 레이블 \"%2\"가 붙음 "
                                                              "(주문 제품 %3)")
                                                   .arg(product, order.autoLabel, order.product)));
                break;
            }
        }
    }
}

} // namespace

Result<std::vector<PreflightFinding>>
PreflightCache::Check(CPDFServer& pdf, const CPDFServer::PreflightRequest& request) {
    const QString stamp = FreshnessStamp(request.pdf);
    if (!stamp.isEmpty()) {
        std::lock_guard<std::mutex> lock(m_mutex);
        auto known = m_entries.find(request.pdf);
        if (known != m_entries.end() && known->second.stamp == stamp &&
            SameRequest(known->second.request, request))
            return known->second.findings;
    }
    Result<std::vector<CPDFServer::PreflightFinding>> found = pdf.Preflight(request);
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        ++m_libraryChecks;
    }
    if (!found)
        return Failure(found.error());
    std::vector<PreflightFinding> findings;
    for (const CPDFServer::PreflightFinding& f : found.value())
        findings.push_back({f.code, f.page, f.pages, f.value, TextOf(f, request), f.text});
    // A file that changed while it was read keeps no entry: its next check
    // reads it again.
    if (!stamp.isEmpty() && FreshnessStamp(request.pdf) == stamp) {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_entries[request.pdf] = Entry{stamp, request, findings};
    }
    return findings;
}

int PreflightCache::LibraryChecks() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_libraryChecks;
}

namespace preflight {

std::vector<PreflightOrder> OrdersOf(const CZelJobContainer& jobs) {
    std::vector<PreflightOrder> orders;
    for (int i = 0; i < jobs.Count(); ++i) {
        const CZelJob* job = jobs.Job(i);
        if (!job)
            continue;
        PreflightOrder order;
        job->GetOrdernum(order.ordernum);
        job->GetPdfPath(order.pdfPath); // named even when missing: Run says so
        job->GetProduct(order.product);
        job->GetPaper(order.paper);
        order.width = job->GetWidth();
        order.height = job->GetHeight();
        order.pdfPage = job->GetPDFPage();
        order.pcases = job->GetPcases();
        order.color = job->GetColor();
        orders.push_back(std::move(order));
    }
    return orders;
}

std::vector<PreflightOrder> OrdersOf(const CTesselDoc& plate, const QString& presetDir) {
    std::vector<std::unique_ptr<CZelLabel>> labels;
    if (!presetDir.isEmpty())
        labelset::LoadAll(presetDir, labels);
    std::vector<PreflightOrder> orders;
    QSet<QString> seen;
    for (int i = 0; i < plate.ItemCount(); ++i) {
        const CZelItem& item = *plate.ItemAt(i);
        if (seen.contains(item.ordernum))
            continue;
        seen.insert(item.ordernum);
        PreflightOrder order;
        order.ordernum = item.ordernum;
        order.pdfPath = item.objPath;
        order.product = item.product;
        order.paper = item.paper;
        order.width = item.width;
        order.height = item.height;
        order.pdfPage = item.pdfPage;
        order.pcases = item.pcases;
        order.color = item.color;
        if (item.labelName.isEmpty())
            order.autoLabel = labelset::PickLabel(labels, item.width, item.height);
        orders.push_back(std::move(order));
    }
    return orders;
}

PreflightPlate PlateOf(const CTesselDoc& plate) {
    const PlateProperties& properties = plate.Properties();
    PreflightPlate offered;
    offered.paper = properties.paperType;
    offered.fourColourFront = properties.colorA != 0;
    offered.fourColourBack = properties.colorB != 0;
    offered.twoSided = plate.Geometry().paperSide == 1;
    offered.gridWidth = properties.gridWidth;
    offered.gridHeight = properties.gridHeight;
    return offered;
}

QStringList ProductNames(const CZelServerPreset& site) {
    QStringList names;
    for (CMTItem* entry = site.FirstProduct(); entry; entry = site.NextEntry(entry)) {
        QString name;
        if (site.GetName(entry, name) && !name.isEmpty())
            names << name;
    }
    return names;
}

std::vector<OrderPreflight> Run(CPDFServer& pdf, PreflightCache& cache,
                                const std::vector<PreflightOrder>& orders,
                                const PreflightSettings& settings,
                                const std::optional<PreflightPlate>& plate,
                                ProgressSink* progress) {
    std::vector<OrderPreflight> results;
    if (progress)
        progress->Begin(QStringLiteral("프리플라이트"), static_cast<int>(orders.size()));
    for (const PreflightOrder& order : orders) {
        if (progress) {
            if (!progress->KeepGoing())
                break;
            progress->Detail(order.ordernum);
            progress->Step(static_cast<int>(results.size()));
        }
        OrderPreflight result;
        result.ordernum = order.ordernum;
        result.pdfPath = order.pdfPath;
        if (order.pdfPath.isEmpty() || !QFileInfo(order.pdfPath).isFile()) {
            result.findings.push_back(
                Finding("missing", QStringLiteral("PDF 파일이 없음: %1").arg(order.pdfPath)));
        } else {
            Result<std::vector<PreflightFinding>> found =
                cache.Check(pdf, RequestOf(order, settings));
            if (found) {
                result.findings = std::move(found.value());
            } else {
                PreflightFinding failed =
                    Finding("damaged", QStringLiteral("PDF를 검사할 수 없음"));
                failed.detail = found.error();
                result.findings.push_back(std::move(failed));
            }
        }
        if (plate)
            CheckAgainstPlate(order, *plate, settings, result.findings);
        results.push_back(std::move(result));
    }
    if (progress)
        progress->End();
    return results;
}

std::unique_ptr<BackgroundOperation<Result<std::vector<OrderPreflight>>>>
Start(std::shared_ptr<PreflightCache> cache, std::vector<PreflightOrder> orders,
      PreflightSettings settings, std::optional<PreflightPlate> plate, QString libraryPath) {
    return std::make_unique<BackgroundOperation<Result<std::vector<OrderPreflight>>>>(
        [cache = std::move(cache), orders = std::move(orders), settings = std::move(settings),
         plate = std::move(plate), libraryPath = std::move(libraryPath)](
            ProgressSink& progress) -> Result<std::vector<OrderPreflight>> {
            // A library session is used by one thread at a time: the worker
            // has its own.
            CPDFServer pdf;
            if (!pdf.Load(libraryPath))
                return Failure(pdf.LoadError());
            return Run(pdf, *cache, orders, settings, plate, &progress);
        });
}

} // namespace preflight
