#include "cardplatefixture.h"
#include "recordingobserver.h"

#include "../records/recordfiles.h"
#include "engine/tesseldoc.h"
#include "pdfbinding/pdfserver.h"
#include "records/zelpreference.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <functional>
#include <random>

namespace {

// A shop with a job folder "명함/일반" and a plate of 300 x 200 with 10 mm
// margins and a 92 x 52 grid (3 x 3 cells) holding three orders: A (one
// case), B (two cases) and C (one case), saved.
class EditHistory : public CardPlateTest {
public:
    void SetUp() override {
        CardPlateTest::SetUp();
        ASSERT_FALSE(HasFatalFailure());
        Place({Order("A", 1), Order("B", 2), Order("C", 1)});
        ASSERT_EQ(doc.ItemCount(), 4);
        spare = Order("D", 2);
        ASSERT_TRUE(doc.Save(doc.Path()));
    }

    // An order of 500 sheets in the job folder, taken into the plate's progress folder.
    CZelJob* Order(const char* name, int pcases) {
        return CardPlateTest::Order(QString::fromLatin1(name), pcases, 500);
    }

    void Place(const std::vector<CZelJob*>& orders) {
        ASSERT_EQ(doc.TryDrop(orders, 50, 50, false).result, CTesselDoc::DropResult::Placed);
        ASSERT_EQ(doc.PlaceDropped(orders, 50, 50, false).result, CTesselDoc::DropResult::Placed);
    }

    // The plate file as a save writes it now.
    QByteArray PlateBytes() {
        const bool modified = doc.IsModified();
        EXPECT_TRUE(Succeeded(doc.Save(doc.Path())));
        // Saving is not part of what the tests undo.
        doc.SetModified(modified);
        QFile file(doc.Path());
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        return file.readAll();
    }

    // Every ticket and PDF of the shop, by path.
    std::string Files() const {
        QStringList files;
        for (const QString& root : {jobs, doc.ProgressFolder()}) {
            QDirIterator it(root, {QStringLiteral("*.tzjob"), QStringLiteral("*.pdf")}, QDir::Files,
                            QDirIterator::Subdirectories);
            while (it.hasNext())
                files << it.next();
        }
        files.sort();
        return files.join(QLatin1Char('\n')).toStdString();
    }

    // Runs one operation: undo gives the plate file and files before it,
    // redo those after it.
    void Check(const char* edit, const std::function<void(EditHistory&)>& run);

    void SelectOnly(std::initializer_list<int> indices) {
        doc.DeselectAll();
        for (int index : indices)
            doc.SelectItem(doc.ItemAt(index));
    }

    // A fixture of its own, for a table of cases that each start afresh.
    struct Fresh;

    CZelJob* spare = nullptr; // taken onto the plate, not placed
};

struct EditHistory::Fresh : EditHistory {
    void TestBody() override {}
};

TEST_F(EditHistory, EveryOperationUndoesAndRedoesToTheSameFileAndFiles) {
    struct Case {
        const char* edit; // the step's name in the menu
        std::function<void(EditHistory&)> run;
    };
    const std::vector<Case> cases = {
        {"배치", [](EditHistory& t) { t.Place({t.spare}); }},
        {"이동",
         [](EditHistory& t) {
             t.SelectOnly({0, 2});
             EXPECT_TRUE(t.doc.MoveSelection(3, -2));
         }},
        {"이동", // a drag: many moves, one step
         [](EditHistory& t) {
             t.SelectOnly({1});
             const CTesselDoc::EditGroup drag(t.doc, CTesselDoc::Edit::Move);
             for (int i = 0; i < 5; ++i)
                 EXPECT_TRUE(t.doc.MoveSelection(1, 1));
         }},
        {"정렬",
         [](EditHistory& t) {
             t.SelectOnly({3, 0});
             EXPECT_TRUE(t.doc.AlignSelection(CTesselDoc::Align::Bottom));
         }},
        {"간격",
         [](EditHistory& t) {
             t.SelectOnly({0, 1});
             EXPECT_TRUE(t.doc.SpaceAndAlign(true, 3, false, 3));
         }},
        {"회전",
         [](EditHistory& t) {
             t.SelectOnly({1});
             EXPECT_TRUE(t.doc.RotateSelection(true));
         }},
        {"순서 바꾸기",
         [](EditHistory& t) {
             t.SelectOnly({0});
             EXPECT_TRUE(t.doc.ChangeStacking(CTesselDoc::Stacking::BringToFront));
         }},
        {"독립 재단선",
         [](EditHistory& t) {
             t.SelectOnly({2});
             EXPECT_TRUE(t.doc.ToggleOwnCut(t.doc.DefaultOwnCutSettings()));
         }},
        {"테두리",
         [](EditHistory& t) {
             t.SelectOnly({2, 3});
             EXPECT_TRUE(t.doc.ToggleFrames(QStringLiteral("Red")));
         }},
        {"복제",
         [](EditHistory& t) {
             t.SelectOnly({0});
             EXPECT_EQ(t.doc.DuplicateSelection(2, 0), 2);
         }},
        {"항목 삭제", // C's only item: its ticket goes home
         [](EditHistory& t) {
             t.SelectOnly({0, 3});
             t.op.answers = {true};
             EXPECT_TRUE(t.doc.DeleteSelectedItems());
         }},
        {"주문 삭제",
         [](EditHistory& t) {
             t.SelectOnly({1});
             t.op.answers = {true};
             EXPECT_TRUE(t.doc.DeleteSelectedOrders());
         }},
        {"레이블 변경",
         [](EditHistory& t) {
             t.SelectOnly({1});
             t.doc.ChangeLabel(QStringLiteral("명함 레이블"));
         }},
        {"판 속성",
         [](EditHistory& t) {
             PlateProperties p = t.doc.Properties();
             p.comment = QStringLiteral("코팅");
             p.gridWidth = 46;
             t.doc.SetProperties(p);
         }},
        {"자유 선",
         [](EditHistory& t) {
             t.doc.SetLines({FreeLine{1, 0, 300, 100, 0.3, QStringLiteral("Black")}});
         }},
        {"텍스트 상자",
         [](EditHistory& t) {
             TextBox box;
             box.name = QStringLiteral("T1");
             box.width = 40;
             box.height = 10;
             box.text = QStringLiteral("주의");
             t.doc.SetTextBoxes({box});
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.edit);
        Fresh plate;
        plate.SetUp();
        ASSERT_FALSE(HasFatalFailure());
        plate.Check(c.edit, c.run);
    }
}

void EditHistory::Check(const char* edit, const std::function<void(EditHistory&)>& run) {
    {
        const QByteArray before = PlateBytes();
        const std::string filesBefore = Files();
        run(*this);
        EXPECT_EQ(doc.UndoName().toStdString(), edit);
        const QByteArray after = PlateBytes();
        const std::string filesAfter = Files();
        EXPECT_TRUE(after != before) << "the operation changed nothing";

        ASSERT_TRUE(doc.Undo());
        EXPECT_TRUE(PlateBytes() == before) << "undo";
        EXPECT_EQ(Files(), filesBefore);
        EXPECT_EQ(doc.RedoName().toStdString(), edit);

        ASSERT_TRUE(doc.Redo());
        EXPECT_TRUE(PlateBytes() == after) << "redo";
        EXPECT_EQ(Files(), filesAfter);
        EXPECT_FALSE(doc.CanRedo());
        op.messages.clear();
    }
}

TEST_F(EditHistory, UndoRestoresTheSelectionAndReportsOneWholeChange) {
    SelectOnly({2, 0});
    const CZelItem* reference = doc.ItemAt(2);
    const double x = reference->x;
    ASSERT_TRUE(doc.MoveSelection(5, 0));
    doc.DeselectAll();
    RecordingObserver observer(doc);
    ASSERT_TRUE(doc.Undo());
    ASSERT_EQ(observer.changes.size(), 1u);
    EXPECT_TRUE(observer.changes[0].wholePlate);
    EXPECT_TRUE(observer.changes[0].Has(PlateChange::History));
    ASSERT_EQ(doc.SelectedCount(), 2);
    EXPECT_EQ(doc.Selection()[0], doc.ItemAt(2)) << "the reference item stays first";
    EXPECT_EQ(doc.Selection()[1], doc.ItemAt(0));
    EXPECT_DOUBLE_EQ(doc.ItemAt(2)->x, x);
    EXPECT_TRUE(doc.ItemAt(2)->selected);
    EXPECT_FALSE(doc.ItemAt(1)->selected);
}

TEST_F(EditHistory, TheModifiedMarkFollowsTheSavedStep) {
    SelectOnly({0});
    ASSERT_TRUE(doc.MoveSelection(1, 0));
    ASSERT_TRUE(doc.MoveSelection(1, 0));
    ASSERT_TRUE(doc.Save(doc.Path()));
    EXPECT_TRUE(doc.CanUndo()) << "saving keeps the history";
    ASSERT_TRUE(doc.Undo());
    EXPECT_TRUE(doc.IsModified());
    ASSERT_TRUE(doc.Redo());
    EXPECT_FALSE(doc.IsModified());
    ASSERT_TRUE(doc.Undo());
    ASSERT_TRUE(doc.Undo());
    // A new edit here drops the saved step from the history for good.
    ASSERT_TRUE(doc.MoveSelection(0, 1));
    EXPECT_FALSE(doc.CanRedo());
    ASSERT_TRUE(doc.Undo());
    EXPECT_TRUE(doc.IsModified());

    // Selecting alone makes no step; nothing left to undo is refused.
    doc.SelectAll();
    EXPECT_EQ(doc.UndoName().toStdString(), "배치");
    EXPECT_EQ(doc.RedoName().toStdString(), "이동");
    while (doc.CanUndo())
        ASSERT_TRUE(doc.Undo());
    EXPECT_FALSE(doc.Undo());

    // Opening starts over.
    ASSERT_TRUE(doc.Open(doc.Path()));
    EXPECT_FALSE(doc.CanUndo());
    EXPECT_FALSE(doc.CanRedo());
}

TEST_F(EditHistory, AnOrderAnotherWorkstationTookMeanwhileStaysOff) {
    SelectOnly({1, 3}); // B and C
    op.answers = {true};
    ASSERT_TRUE(doc.DeleteSelectedOrders());
    ASSERT_EQ(doc.ItemCount(), 1);
    // Another workstation takes B's ticket and PDF.
    const QString elsewhere = shop.mkdir(QStringLiteral("elsewhere"));
    for (const char* name : {"B.tzjob", "B.pdf"})
        ASSERT_TRUE(QFile::rename(QDir(cards).filePath(QLatin1String(name)),
                                  QDir(elsewhere).filePath(QLatin1String(name))));

    ASSERT_TRUE(doc.Undo());
    EXPECT_EQ(doc.CountOrderItems(QStringLiteral("B")), 0);
    EXPECT_EQ(doc.CountOrderItems(QStringLiteral("C")), 1);
    EXPECT_TRUE(QFileInfo::exists(QDir(doc.ProgressFolder()).filePath(QStringLiteral("C.tzjob"))));
    ASSERT_FALSE(op.messages.isEmpty());
    EXPECT_TRUE(op.messages.last().contains(QStringLiteral("B:")))
        << op.messages.last().toStdString();
    // The file says what the plate holds.
    CTesselDoc reopened;
    reopened.SetContext({.preference = &preference, .op = &op, .pdf = &pdf});
    ASSERT_TRUE(reopened.Open(doc.Path()));
    EXPECT_EQ(reopened.ItemCount(), 2);

    // No step brings B back; redo deletes C again.
    ASSERT_TRUE(doc.Undo()); // the placement of A, B, C
    EXPECT_EQ(doc.ItemCount(), 0);
    ASSERT_TRUE(doc.Redo());
    EXPECT_EQ(doc.CountOrderItems(QStringLiteral("B")), 0);
    ASSERT_TRUE(doc.Redo());
    EXPECT_EQ(doc.ItemCount(), 1);
    EXPECT_TRUE(QFileInfo::exists(QDir(cards).filePath(QStringLiteral("C.tzjob"))));
}

TEST_F(EditHistory, TwoHundredRandomOperationsUndoToTheOriginalFile) {
    {
        // More room: a 600 x 400 plate with its 6 x 7 cells.
        PlateProperties p = doc.Properties();
        p.width = 600;
        p.height = 400;
        doc.SetProperties(p);
        Place({spare, Order("E", 3)});
        ASSERT_TRUE(doc.Save(doc.Path()));
    }
    const QByteArray original = PlateBytes();
    const std::string originalFiles = Files();
    const int start = doc.History().Position();
    std::mt19937 random(20261210);
    auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    int steps = 0;
    for (int i = 0; i < 200; ++i) {
        if (doc.ItemCount() == 0)
            break;
        doc.DeselectAll();
        for (int k = 1 + pick(3); k > 0; --k)
            doc.SelectItem(doc.ItemAt(pick(doc.ItemCount())));
        const int before = doc.History().Position();
        switch (pick(12)) {
        case 0:
            doc.MoveSelection(pick(21) - 10, pick(21) - 10);
            break;
        case 1:
            doc.AlignSelection(static_cast<CTesselDoc::Align>(pick(6)));
            break;
        case 2:
            doc.SpaceAndAlign(pick(2) == 0, pick(10), pick(2) == 0, pick(4));
            break;
        case 3:
            doc.RotateSelection(pick(2) == 0);
            break;
        case 4:
            doc.ChangeStacking(static_cast<CTesselDoc::Stacking>(pick(4)));
            break;
        case 5:
            doc.ToggleOwnCut(doc.DefaultOwnCutSettings());
            break;
        case 6:
            doc.ToggleFrames(QStringLiteral("Blue"));
            break;
        case 7:
            if (pick(4) == 0) {
                op.answers = {true};
                doc.DeleteSelectedItems();
            }
            break;
        case 8:
            if (pick(6) == 0) {
                op.answers = {true};
                doc.DeleteSelectedOrders();
            }
            break;
        case 9: {
            doc.DeselectAll();
            doc.SelectItem(doc.ItemAt(pick(doc.ItemCount())));
            doc.DuplicateSelection(1, pick(8));
            break;
        }
        case 10: {
            std::vector<FreeLine> lines = doc.Lines();
            lines.push_back({pick(2), 0, 100, double(pick(200)), 0.5, QStringLiteral("Black")});
            doc.SetLines(lines);
            break;
        }
        case 11: {
            PlateProperties p = doc.Properties();
            p.comment = QString::number(i);
            doc.SetProperties(p);
            break;
        }
        }
        // Now and then an undo, and a redo of it.
        if (pick(10) == 0 && doc.CanUndo()) {
            ASSERT_TRUE(doc.Undo());
            if (pick(2) == 0)
                ASSERT_TRUE(doc.Redo());
        }
        steps += doc.History().Position() > before;
    }
    EXPECT_GT(steps, 100);
    while (doc.History().Position() > start)
        ASSERT_TRUE(doc.Undo());
    EXPECT_TRUE(PlateBytes() == original);
    EXPECT_EQ(Files(), originalFiles);
    EXPECT_TRUE(op.messages.filter(QStringLiteral("다른 작업자")).isEmpty());
}

} // namespace
