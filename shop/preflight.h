#pragma once

#include "markup/result.h"
#include "pdfbinding/pdfserver.h"
#include "records/longoperation.h"

#include <QString>
#include <QStringList>

#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

class CTesselDoc;
class CZelJobContainer;
class CZelServerPreset;

// Preflight of orders: each order's artwork checked against what it is
// placed as, and on a plate the order against the plate. Findings are for
// the operator to see; they never block anything and never change a file.

// One order as preflight sees it. Copies, so that a worker may hold them
// while the plate changes.
struct PreflightOrder {
    QString ordernum;
    QString pdfPath;
    QString product, paper;
    double width = 0, height = 0; // finished size of one case, mm
    int pdfPage = 1;              // printed sides; below 2 means one
    int pcases = 1;
    int color = 0; // printing colours; 4 or more is a CMYK job
    // The label the automatic choice gave its items; empty when none fits or
    // the operator chose the label.
    QString autoLabel;
};

// What a plate offers its orders.
struct PreflightPlate {
    QString paper;
    bool fourColourFront = false, fourColourBack = false;
    bool twoSided = false;
    double gridWidth = 0, gridHeight = 0;
};

struct PreflightSettings {
    double bleed = 2.0;   // mm the artwork must reach beyond the finished size
    double minDpi = 250;  // images below this at their placed size are findings
    QStringList products; // the shop's product names, for labels meant for another
};

struct PreflightFinding {
    QString code;  // the library's codes, and "missing", "paper", "colours", "cell", "label"
    int page = 0;  // the first page with it, from 1; 0: the whole file or order
    int pages = 0; // how many pages have it
    double value = 0;
    QString text;   // as the operator reads it
    QString detail; // the library's own description, or empty
};

struct OrderPreflight {
    QString ordernum;
    QString pdfPath;
    std::vector<PreflightFinding> findings;
};

// Findings of artworks by path, kept while the file's freshness stamp and
// the request stay as they were, so that an unchanged file is not read
// again. Any thread may use it.
class PreflightCache {
public:
    Result<std::vector<PreflightFinding>> Check(CPDFServer& pdf,
                                                const CPDFServer::PreflightRequest& request);
    // How many times the library was asked (the rest came from the cache).
    int LibraryChecks() const;

private:
    struct Entry {
        QString stamp;
        CPDFServer::PreflightRequest request;
        std::vector<PreflightFinding> findings;
    };
    mutable std::mutex m_mutex;
    std::map<QString, Entry> m_entries;
    int m_libraryChecks = 0;
};

namespace preflight {

// The orders of a job folder, as listed.
std::vector<PreflightOrder> OrdersOf(const CZelJobContainer& jobs);
// The orders on a plate (one per order number, in item order), with the
// label each got from the automatic choice among the labels of presetDir.
std::vector<PreflightOrder> OrdersOf(const CTesselDoc& plate, const QString& presetDir);
PreflightPlate PlateOf(const CTesselDoc& plate);
// The shop's product names from its site preset.
QStringList ProductNames(const CZelServerPreset& site);

// Checks every order, its artwork through the cache; with a plate, the
// order against the plate too. Reports each order to progress, which may
// stop the run (the orders checked so far are returned).
std::vector<OrderPreflight> Run(CPDFServer& pdf, PreflightCache& cache,
                                const std::vector<PreflightOrder>& orders,
                                const PreflightSettings& settings,
                                const std::optional<PreflightPlate>& plate,
                                ProgressSink* progress = nullptr);

// Run on a thread of its own with a library session of its own (the
// library at libraryPath), so that a window keeps painting.
std::unique_ptr<BackgroundOperation<Result<std::vector<OrderPreflight>>>>
Start(std::shared_ptr<PreflightCache> cache, std::vector<PreflightOrder> orders,
      PreflightSettings settings, std::optional<PreflightPlate> plate,
      QString libraryPath = CPDFServer::DefaultLibraryPath());

} // namespace preflight
