#include "cardplatefixture.h"
#include "recordingobserver.h"

#include "../records/recordfiles.h"
#include "engine/tesseldoc.h"
#include "pdfbinding/pdfserver.h"
#include "records/progresssink.h"
#include "records/zelpreference.h"

#include <QDir>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

class DropOrders : public CardPlateTest {
protected:
    // The two phases as the intake runs them, without moving a file: the
    // trial, then the placement of what it accepted.
    CTesselDoc::DropResult Drop(const std::vector<CZelJob*>& orders, double x, double y,
                                bool oneCopy) {
        trial = doc.TryDrop(orders, x, y, oneCopy);
        if (trial.result != CTesselDoc::DropResult::Placed)
            return trial.result;
        std::vector<CZelJob*> accepted;
        for (size_t i = 0; i < orders.size(); ++i)
            if (trial.orders[i].ok)
                accepted.push_back(orders[i]);
        placed = doc.PlaceDropped(accepted, x, y, oneCopy);
        return placed.result;
    }

    int Count(const char* ordernum) const {
        return doc.CountOrderItems(QString::fromLatin1(ordernum));
    }
    bool InJobFolder(const char* ordernum) const {
        return QFileInfo::exists(
            QDir(cards).filePath(QString::fromLatin1(ordernum) + QStringLiteral(".tzjob")));
    }

    CTesselDoc::DropReport trial, placed;
};

} // namespace

TEST_F(DropOrders, SlotsPerCaseAndTheQuantityQuestions) {
    CZelJob* a = Order(QStringLiteral("A"), 2, 1000); // two slots per case, no question
    CZelJob* b = Order(QStringLiteral("B"), 1, 700);  // two slots, counts do not match
    CZelJob* c = Order(QStringLiteral("C"), 1,
                       300); // one slot, fewer than printed: named in B's question, not asked
    op.answers = {true};
    EXPECT_EQ(Drop({a, b, c}, 50, 50, false), CTesselDoc::DropResult::Placed);
    ASSERT_EQ(op.questions.size(), 1);
    EXPECT_EQ(op.questions[0], QStringLiteral("제품 \"B\"의 주문매수(700매)와 인쇄매수(500매)가 "
                                              "일치하지 않습니다.\n인쇄매수와 맞지 않는 다른 "
                                              "제품: \"C\"(300매)\n계속하시겠습니까?"));
    EXPECT_EQ(Count("A"), 4);
    EXPECT_EQ(Count("B"), 2);
    EXPECT_EQ(Count("C"), 1);
    EXPECT_EQ(doc.CountOrderItems(QStringLiteral("A"), 1), 2);
    // Items show their order's PDF in the progress folder, in grid order.
    const CZelItem& first = *doc.ItemAt(0);
    EXPECT_TRUE(first.objPath.startsWith(doc.ProgressFolder()));
    EXPECT_EQ(first.x, 10);
    EXPECT_EQ(doc.ItemAt(1)->x, 102);
    EXPECT_EQ(doc.ItemAt(2)->pageNum, 1); // the second case shows page 1
    EXPECT_TRUE(QFileInfo::exists(doc.PagePreviewPath(first, 0)));
    EXPECT_EQ(doc.JobContainer().Count(), 3);

    // A question answered No cancels the drop: the plate is as it was,
    // unmodified, and the order is refused.
    CZelJob* d = Order(QStringLiteral("D"), 1, 300);
    op.answers = {false};
    EXPECT_EQ(Drop({d}, 50, 50, false), CTesselDoc::DropResult::Cancelled);
    EXPECT_EQ(
        op.questions.last(),
        QStringLiteral(
            "제품 \"D\"의 주문매수(300매)가 인쇄매수(500매) 보다 작습니다.\n계속하시겠습니까?"));
    EXPECT_EQ(doc.ItemCount(), 7);
    EXPECT_FALSE(trial.orders[0].ok);
    ASSERT_TRUE(doc.Save(doc.Path()));
    op.answers = {false};
    EXPECT_EQ(Drop({d}, 50, 50, false), CTesselDoc::DropResult::Cancelled);
    EXPECT_FALSE(doc.IsModified());
}

TEST_F(DropOrders, LackOfRoom) {
    CZelJob* a = Order(QStringLiteral("A"), 4, 1000); // 8 of 9 cells
    EXPECT_EQ(Drop({a}, 50, 50, false), CTesselDoc::DropResult::Placed);
    CZelJob* b = Order(QStringLiteral("B"), 2, 500);

    // No: the trial's items go and nothing is accepted.
    op.answers = {false};
    EXPECT_EQ(Drop({b}, 50, 50, false), CTesselDoc::DropResult::Cancelled);
    EXPECT_EQ(op.questions.last(),
              QStringLiteral("선택 항목(들)을 배치할 자리가 부족합니다.\n계속 하시겠습니까?"));
    EXPECT_EQ(doc.ItemCount(), 8);
    EXPECT_FALSE(trial.orders[0].ok);

    // Yes: the trial accepts the orders before the one that does not fit;
    // that one and every later one stay out, with the reason.
    CZelJob* fits = Order(QStringLiteral("F"), 1, 500);
    CZelJob* c = Order(QStringLiteral("C"), 2, 500);
    CZelJob* later = Order(QStringLiteral("L"), 1, 500);
    op.answers = {true};
    EXPECT_EQ(Drop({fits, c, later}, 50, 50, false), CTesselDoc::DropResult::Placed);
    EXPECT_TRUE(trial.orders[0].ok);
    EXPECT_FALSE(trial.orders[1].ok);
    EXPECT_FALSE(trial.orders[2].ok);
    EXPECT_EQ(trial.orders[2].reason,
              QStringLiteral("자리수가 부족하여 더이상 추가할 수 없습니다."));
    EXPECT_EQ(Count("F"), 1);
    EXPECT_EQ(doc.ItemCount(), 9);

    // The placement alone, on a full plate, stops at the first order that
    // does not fit and keeps nothing of it or of the later ones.
    const CTesselDoc::DropReport full = doc.PlaceDropped({c, later}, 50, 50, false);
    EXPECT_EQ(full.result, CTesselDoc::DropResult::Stopped);
    EXPECT_FALSE(full.orders[0].ok);
    EXPECT_FALSE(full.orders[1].ok);
    EXPECT_EQ(op.messages.last(), QStringLiteral("자리수가 부족하여 더이상 추가할 수 없습니다."));
    EXPECT_EQ(doc.ItemCount(), 9);
}

TEST_F(DropOrders, OneCopyModeAndTheDropPoint) {
    CZelJob* e = Order(QStringLiteral("E"), 3, 5000);
    EXPECT_EQ(Drop({e}, 5, 50, true), CTesselDoc::DropResult::Outside);
    EXPECT_EQ(Drop({e}, 50, 50, true),
              CTesselDoc::DropResult::Placed); // 5000 matches 500: no question
    EXPECT_EQ(Count("E"), 3);
    // An order without sheets still gets its one item per case.
    CZelJob* none = Order(QStringLiteral("N"), 2, 0);
    op.answers = {true}; // 0 sheets are fewer than 500
    EXPECT_EQ(Drop({none}, 50, 50, true), CTesselDoc::DropResult::Placed);
    EXPECT_EQ(Count("N"), 2);
}

TEST_F(DropOrders, TheRealPhaseReportsOrdersAndCases) {
    struct Recorder : ProgressSink {
        QStringList lines;
        void Begin(const QString& text, int range) override {
            lines << QStringLiteral("%1 (%2)").arg(text).arg(range);
        }
        void Step(int position) override { lines << QStringLiteral("step %1").arg(position); }
        void Detail(const QString& text) override { lines << text; }
        void InnerStep(int position, int range) override {
            lines << QStringLiteral("case %1/%2").arg(position).arg(range);
        }
        void End() override { lines << QStringLiteral("end"); }
    } progress;
    doc.SetContext({.preference = &preference, .op = &op, .progress = &progress, .pdf = &pdf});
    CZelJob* e = Order(QStringLiteral("E"), 2, 500);
    ASSERT_EQ(Drop({e}, 50, 50, false), CTesselDoc::DropResult::Placed);
    EXPECT_EQ(
        progress.lines,
        (QStringList{QStringLiteral("조판용 PDF 파일 로드 (1)"),
                     QStringLiteral("주문 번호: E (2 건)"), QStringLiteral("PDF 파일: E.pdf - 1/2"),
                     QStringLiteral("case 1/2"), QStringLiteral("PDF 파일: E.pdf - 2/2"),
                     QStringLiteral("case 2/2"), QStringLiteral("step 1"), QStringLiteral("end")}));
}

TEST_F(DropOrders, APlateWithoutAPrintCountRefusesDrops) {
    PlateProperties p = doc.Properties();
    p.pressCount = 0;
    doc.SetProperties(p);
    CZelJob* a = Order(QStringLiteral("A"), 1, 500);
    EXPECT_EQ(Drop({a}, 50, 50, false), CTesselDoc::DropResult::Cancelled);
    ASSERT_EQ(op.messages.size(), 1);
    EXPECT_TRUE(op.messages[0].startsWith(QStringLiteral("인쇄매수가 1매보다 작아")))
        << op.messages[0].toStdString();
    EXPECT_EQ(doc.ItemCount(), 0);
    EXPECT_FALSE(trial.orders[0].ok);
}

TEST_F(DropOrders, MostCasesFirstWhenAsked) {
    PlateProperties p = doc.Properties();
    p.arrangeMaxJob = 1;
    doc.SetProperties(p);
    CZelJob* one = Order(QStringLiteral("O"), 1, 500);
    CZelJob* three = Order(QStringLiteral("T"), 3, 500);
    EXPECT_EQ(Drop({one, three}, 50, 50, false), CTesselDoc::DropResult::Placed);
    ASSERT_EQ(doc.ItemCount(), 4);
    EXPECT_EQ(doc.ItemAt(0)->ordernum, QStringLiteral("T"));
    EXPECT_EQ(doc.ItemAt(3)->ordernum, QStringLiteral("O"));
}

TEST_F(DropOrders, ArtworkMissingACaseIsToldAsSuch) {
    // Three cases but one page: no question about room, the order alone
    // stays out and the reason naming the artwork is the last word.
    CZelJob* a = Order(QStringLiteral("A"), 3, 500, 1, 1);
    CZelJob* b = Order(QStringLiteral("B"), 1, 500);
    EXPECT_EQ(Drop({a, b}, 50, 50, false), CTesselDoc::DropResult::Placed);
    EXPECT_TRUE(op.questions.isEmpty());
    ASSERT_EQ(op.messages.size(), 1);
    EXPECT_TRUE(
        op.messages[0].startsWith(QStringLiteral("주문 \"A\"의 PDF 파일을 읽을 수 없습니다.\n")))
        << op.messages[0].toStdString();
    EXPECT_TRUE(op.messages[0].contains(QStringLiteral("A.pdf"))) << op.messages[0].toStdString();
    EXPECT_FALSE(trial.orders[0].ok);
    EXPECT_EQ(trial.orders[0].reason, op.messages[0]);
    EXPECT_EQ(Count("A"), 0);
    EXPECT_EQ(Count("B"), 1);

    // The same in the placement: the order is left out with its reason as
    // the last message, and the next order is still placed.
    CZelJob* c = Order(QStringLiteral("C"), 1, 500);
    const CTesselDoc::DropReport report = doc.PlaceDropped({a, c}, 50, 50, false);
    EXPECT_EQ(report.result, CTesselDoc::DropResult::Placed);
    EXPECT_FALSE(report.orders[0].ok);
    EXPECT_TRUE(report.orders[1].ok);
    EXPECT_TRUE(op.messages.last().startsWith(QStringLiteral("주문 \"A\"의 PDF 파일")));
    EXPECT_EQ(Count("A"), 0);
    EXPECT_EQ(Count("C"), 1);
}

TEST_F(DropOrders, DoubleSidedOrdersAndPlateKinds) {
    // On a single-sided plate a two-sided order is refused and goes home.
    CZelJob* two = Order(QStringLiteral("TWO"), 1, 500, 2);
    EXPECT_EQ(Drop({two}, 50, 50, false), CTesselDoc::DropResult::Placed);
    EXPECT_EQ(Count("TWO"), 0);
    EXPECT_EQ(op.messages.last(),
              QStringLiteral("\"TWO\"은(는) 양면 항목이므로 단면 판에 배치할 수 없습니다."));
    EXPECT_FALSE(trial.orders[0].ok);

    // Work-and-turn without turn: front and back become single pages.
    SetPlate(2, 2);
    CZelJob* wt = Order(QStringLiteral("WT"), 2, 500, 2);
    EXPECT_EQ(Drop({wt}, 50, 50, false), CTesselDoc::DropResult::Placed);
    EXPECT_EQ(Count("WT"), 4);
    EXPECT_EQ(doc.ItemAt(3)->numSide, 1);
    EXPECT_EQ(doc.ItemAt(3)->pageNum, 3);

    // With a turn, two-page items.
    SetPlate(2, 0);
    CZelJob* turned = Order(QStringLiteral("TURN"), 2, 500, 2);
    EXPECT_EQ(Drop({turned}, 50, 50, false), CTesselDoc::DropResult::Placed);
    EXPECT_EQ(Count("TURN"), 2);
    EXPECT_EQ(doc.ItemAt(1)->numSide, 2);
    EXPECT_EQ(doc.ItemAt(1)->pageNum, 2);
}

TEST_F(DropOrders, DeletingItemsAndOrders) {
    CZelJob* a = Order(QStringLiteral("A"), 1, 1000); // one case in two slots
    CZelJob* b = Order(QStringLiteral("B"), 2, 500);
    CZelJob* c = Order(QStringLiteral("C"), 1, 500);
    ASSERT_EQ(Drop({a, b, c}, 50, 50, false), CTesselDoc::DropResult::Placed);
    ASSERT_EQ(doc.ItemCount(), 5);

    // One of two slots of a case: only that item goes.
    doc.DeselectAll();
    doc.SelectItem(doc.ItemAt(0));
    op.answers = {true};
    EXPECT_TRUE(doc.DeleteSelectedItems());
    EXPECT_EQ(op.questions.last(), QStringLiteral("선택 항목 1 개를 삭제하시겠습니까."));
    EXPECT_EQ(Count("A"), 1);
    EXPECT_FALSE(InJobFolder("A"));

    // The last slot of a case: the whole order goes home.
    doc.SelectItem(doc.ItemAt(1)); // B, case 1
    op.answers = {true};
    EXPECT_TRUE(doc.DeleteSelectedItems());
    EXPECT_EQ(Count("B"), 0);
    EXPECT_TRUE(InJobFolder("B"));

    // Answering No deletes nothing.
    doc.SelectAll();
    op.answers = {false};
    EXPECT_FALSE(doc.DeleteSelectedOrders());
    EXPECT_EQ(doc.ItemCount(), 2);
    op.answers = {true};
    EXPECT_TRUE(doc.DeleteSelectedOrders());
    EXPECT_EQ(op.questions.last(),
              QStringLiteral("선택 항목에 대한 주문 2 건을 삭제하시겠습니까."));
    EXPECT_EQ(doc.ItemCount(), 0);
    EXPECT_TRUE(InJobFolder("A"));
    EXPECT_TRUE(InJobFolder("C"));
    EXPECT_EQ(doc.JobContainer().Count(), 0);
}

TEST_F(DropOrders, DuplicateUntilTheGridIsFull) {
    CZelJob* a = Order(QStringLiteral("A"), 1, 500);
    ASSERT_EQ(Drop({a}, 50, 50, false), CTesselDoc::DropResult::Placed);
    doc.DeselectAll();
    doc.SelectItem(doc.ItemAt(0));
    const int direction = doc.Properties().arrangeDirection;
    // Nine cells, one taken: eight copies fit, the ninth is refused.
    EXPECT_EQ(doc.DuplicateSelection(9, 3), 8);
    EXPECT_EQ(op.messages.last(), QStringLiteral("자리수가 부족하여 더이상 추가할 수 없습니다."));
    EXPECT_EQ(doc.ItemCount(), 9);
    EXPECT_EQ(doc.ItemAt(1)->x, 194); // direction 3 fills from the bottom right
    EXPECT_EQ(doc.ItemAt(1)->y, 114);
    EXPECT_EQ(doc.Properties().arrangeDirection, direction);
    EXPECT_EQ(doc.CountOrderItems(QStringLiteral("A")), 9);

    // With free placement each copy steps 5 mm on from the one before.
    doc.Clear();
    CZelJob* b = Order(QStringLiteral("B"), 1, 500);
    ASSERT_EQ(Drop({b}, 50, 50, false), CTesselDoc::DropResult::Placed);
    const double x = doc.ItemAt(0)->x, y = doc.ItemAt(0)->y;
    EXPECT_EQ(doc.DuplicateSelection(2, CTesselDoc::kFreePlacement), 2);
    EXPECT_EQ(doc.ItemAt(1)->x, x + 5);
    EXPECT_EQ(doc.ItemAt(2)->y, y + 10);
}

TEST_F(DropOrders, EachDropPhaseAndADeleteReportOnceWithTheOrders) {
    CZelJob* a = Order(QStringLiteral("A"), 1, 500);
    CZelJob* b = Order(QStringLiteral("B"), 1, 500);
    RecordingObserver observer(doc);
    // The trial's items come and go: the plate did not change.
    trial = doc.TryDrop({a, b}, 50, 50, false);
    ASSERT_EQ(trial.result, CTesselDoc::DropResult::Placed);
    EXPECT_TRUE(observer.changes.empty());
    EXPECT_EQ(doc.ItemCount(), 0);

    // The placement reports once: every item placed, selected, and the orders.
    placed = doc.PlaceDropped({a, b}, 50, 50, false);
    ASSERT_EQ(placed.result, CTesselDoc::DropResult::Placed);
    ASSERT_EQ(observer.changes.size(), 1u);
    EXPECT_EQ(observer.changes[0].kinds,
              PlateChange::Items | PlateChange::Selection | PlateChange::Orders);
    EXPECT_FALSE(observer.changes[0].wholePlate);
    ASSERT_EQ(doc.ItemCount(), 2);
    for (int i = 0; i < doc.ItemCount(); ++i) {
        const std::vector<CZelBound>& rects = observer.changes[0].rects;
        EXPECT_NE(std::find(rects.begin(), rects.end(), doc.ItemAt(i)->Bounds(true)), rects.end())
            << i;
    }

    // The last item of an order goes, and the order with it.
    observer.changes.clear();
    doc.DeselectAll();
    doc.SelectItem(doc.FindByOrdernum(QStringLiteral("A")));
    const CZelBound placed = doc.FindByOrdernum(QStringLiteral("A"))->Bounds(true);
    observer.changes.clear();
    op.answers = {true};
    ASSERT_TRUE(doc.DeleteSelectedItems());
    ASSERT_EQ(observer.changes.size(), 1u);
    EXPECT_EQ(observer.changes[0].kinds,
              PlateChange::Items | PlateChange::Selection | PlateChange::Orders);
    EXPECT_FALSE(observer.changes[0].wholePlate);
    EXPECT_EQ(observer.changes[0].rects, (std::vector<CZelBound>{placed, placed}));
    EXPECT_TRUE(InJobFolder("A"));
}
