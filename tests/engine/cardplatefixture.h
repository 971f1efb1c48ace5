#pragma once

#include "scriptedoperator.h"
#include "tests/succeeded.h"

#include "../records/recordfiles.h"
#include "engine/tesseldoc.h"
#include "pdfbinding/pdfserver.h"
#include "records/zelpreference.h"

#include <QDir>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

// Plate "P1" of 300 x 200 with 10 mm margins and a 92 x 52 grid: 3 x 3 cells.
inline PlateProperties CardPlateProperties(int paperSide = 0, int imposition = 0) {
    PlateProperties p;
    p.jobCode = QStringLiteral("P1");
    p.userAccount = QStringLiteral("demo");
    p.width = 300;
    p.height = 200;
    p.margin = {10, 10, 10, 10};
    p.gridWidth = 92;
    p.gridHeight = 52;
    p.pressCount = 500;
    p.paperSideSetting = paperSide;
    p.turnDirection = imposition;
    return p;
}

// A shop with a job folder "명함/일반", progress and release folders, and a
// plate of 300 x 200 with 10 mm margins and a 92 x 52 grid: 3 x 3 cells.
class CardPlateTest : public ::testing::Test {
public:
    void SetUp() override {
        ASSERT_TRUE(pdf.Load(QStringLiteral(TESSEL_PDFCOMPOSE_LIBRARY)))
            << pdf.LoadError().toStdString();
        jobs = shop.mkdir(QStringLiteral("jobs"));
        cards = shop.mkdir(QStringLiteral("jobs/명함/일반"));
        preference.SetFolder(CZelPreference::Folder::Jobs, jobs);
        preference.SetFolder(CZelPreference::Folder::Progress,
                             shop.mkdir(QStringLiteral("progress")));
        preference.SetFolder(CZelPreference::Folder::Release,
                             shop.mkdir(QStringLiteral("release")));
        doc.SetContext({.preference = &preference, .op = &op, .pdf = &pdf});
        SetPlate(0, 0);
    }

    // A new plate "P1" of these sides and imposition, saved and opened.
    void SetPlate(int paperSide, int imposition) {
        doc.Clear();
        doc.SetProperties(CardPlateProperties(paperSide, imposition));
        // Saving and opening binds the plate's folders and job container.
        ASSERT_TRUE(Succeeded(doc.Save(shop.filePath(QStringLiteral("P1.tzmp")))));
        ASSERT_TRUE(Succeeded(doc.Open(shop.filePath(QStringLiteral("P1.tzmp")))));
    }

    // An order of 90 x 50 cards in the job folder, then taken onto the plate
    // (moved to the plate's progress folder), as the job list does when it is
    // dragged. The artwork has pages per case for every case unless
    // artworkPages says otherwise.
    CZelJob* Order(const QString& ordernum, int pcases, int pquantity, int pages = 1,
                   int artworkPages = -1) {
        const QString pdfPath = QDir(cards).filePath(ordernum + QStringLiteral(".pdf"));
        EXPECT_TRUE(pdf.ComposeBeginDoc(pdfPath));
        for (int i = 0; i < (artworkPages < 0 ? pcases * pages : artworkPages); ++i) {
            EXPECT_TRUE(pdf.ComposeBeginPage(90, 50));
            EXPECT_TRUE(pdf.ComposeEndPage());
        }
        EXPECT_TRUE(pdf.ComposeEndDoc());
        using recordfiles::Q;
        const QString body = recordfiles::Elements({{"Ordernum", Q(ordernum)},
                                                    {"Location", Q(QStringLiteral("명함\\일반"))},
                                                    {"Product", Q(QStringLiteral("명함"))},
                                                    {"Pcases", QString::number(pcases)},
                                                    {"PQuantity", QString::number(pquantity)},
                                                    {"Quantity", QString::number(pquantity)},
                                                    {"Width", QStringLiteral("90")},
                                                    {"Height", QStringLiteral("50")},
                                                    {"PDFPage", QString::number(pages)},
                                                    {"Color", QStringLiteral("4")}},
                                                   1);
        const QString ticket = QDir(cards).filePath(ordernum + QStringLiteral(".tzjob"));
        EXPECT_TRUE(recordfiles::Write(ticket, recordfiles::Record("Tessel Job Ticket", body)));
        auto job = std::make_unique<CZelJob>(ticket);
        EXPECT_TRUE(job->MoveTo(doc.ProgressFolder()));
        owned.push_back(std::move(job));
        return owned.back().get();
    }

    recordfiles::KoreanTempDir shop;
    QString jobs, cards;
    CPDFServer pdf;
    CZelPreference preference;
    ScriptedOperator op;
    CTesselDoc doc;
    std::vector<std::unique_ptr<CZelJob>> owned;
};
