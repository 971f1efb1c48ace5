#include "appfixture.h"

#include "app/joblistgate.h"
#include "app/joblists.h"
#include "app/jtbdlg.h"
#include "app/wsbdlg.h"
#include "app/wsbjobreadydlg.h"
#include "app/wsbjobworkdlg.h"
#include "app/wsblogdlg.h"
#include "engine/tesseldoc.h"
#include "markup/cp949.h"
#include "records/progresssink.h"
#include "records/zelaccount.h"
#include "records/zeljobcontainer.h"
#include "shop/newplate.h"
#include "view/tesselview.h"
#include "view/ticketdrag.h"

#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QMimeData>
#include <QScrollBar>
#include <QTableView>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>

namespace {

struct Order {
    const char* ordernum;
    double width, height;
    int pcases, pquantity;
    const char* memo = "";
};

// A ticket as the order system writes it (code page 949).
void WriteTicket(const QString& folder, const Order& order) {
    QString text = QStringLiteral(
        "<?xml version=\"1.0\" encoding=\"euc-kr\"?>\r\n<TESSEL_DOCUMENT_MARKUPS>\r\n"
        "<DOCUMENT_TYPE>\"Tessel Job Ticket\"</DOCUMENT_TYPE>\r\n<VERSION>\"1.0\"</VERSION>\r\n");
    auto key = [&text](const char* name, const QString& value) {
        text += QStringLiteral("<%1>%2</%1>\r\n").arg(QLatin1String(name), value);
    };
    key("Ordernum", QStringLiteral("\"%1\"").arg(QLatin1String(order.ordernum)));
    key("Product", QStringLiteral("\"명함\""));
    key("Color", QStringLiteral("4"));
    key("PDFPage", QStringLiteral("1"));
    key("Width", QString::number(order.width));
    key("Height", QString::number(order.height));
    key("Pcases", QString::number(order.pcases));
    key("Quantity", QString::number(order.pquantity));
    key("PQuantity", QString::number(order.pquantity));
    key("Mmemo", QStringLiteral("\"%1\"").arg(QString::fromUtf8(order.memo)));
    text += QStringLiteral("</TESSEL_DOCUMENT_MARKUPS>\r\n");
    QFile file(QDir(folder).filePath(QLatin1String(order.ordernum) + QStringLiteral(".tzjob")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(cp949::FromUnicode(text));
}

QStringList Texts(std::initializer_list<const char*> texts) {
    QStringList list;
    for (const char* text : texts)
        list << QString::fromUtf8(text);
    return list;
}

QTreeWidgetItem* FindFolder(QTreeWidget* tree, const QString& name) {
    const QList<QTreeWidgetItem*> found =
        tree->findItems(name, Qt::MatchStartsWith | Qt::MatchRecursive);
    return found.isEmpty() ? nullptr : found.front();
}

QStringList ColumnTexts(QTableView* table, int column) {
    QStringList texts;
    for (int row = 0; row < table->model()->rowCount(); ++row)
        texts << table->model()->index(row, column).data().toString();
    return texts;
}

// Passes progress on and, at the first ticket of each read, lets the test
// act as an operator clicking about meanwhile; counts nested reads.
struct MeddlingProgress : ProgressSink {
    std::function<void()> meddle;
    int depth = 0;
    int deepest = 0;
    int reads = 0;
    void Begin(const QString&, int) override {
        deepest = std::max(deepest, ++depth);
        ++reads;
    }
    void Step(int position) override {
        if (position == 1 && meddle)
            meddle();
    }
    void End() override { --depth; }
};

} // namespace

// The bars on a folder tree of their own.
class JobFolderTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        jobs = QDir(temp.path()).filePath(QStringLiteral("작업"));
        QDir root(jobs);
        ASSERT_TRUE(root.mkpath(QStringLiteral("명함/일반")));
        ASSERT_TRUE(root.mkpath(QStringLiteral("명함/고급")));
        ASSERT_TRUE(root.mkpath(QStringLiteral("스티커")));
        ASSERT_TRUE(root.mkpath(QStringLiteral(".숨김")));
        WriteTicket(root.filePath(QStringLiteral(".숨김")), {"H-1", 90, 50, 1, 100});
        // A link back to the job folder would list it for ever.
        ASSERT_TRUE(QFile::link(jobs, root.filePath(QStringLiteral("명함/되돌이"))));
        cards = root.filePath(QStringLiteral("명함/일반"));
        // On plates of 100 sheets and a 92 x 52 grid: 1 cell x 2 cases x 3
        // plates = 6 places; 2 cells x 1 case = 2; 1 cell x 1 case x 50 = 50.
        WriteTicket(cards, {"N-1", 90, 50, 2, 250});
        WriteTicket(cards, {"N-2", 95, 50, 1, 100, "모서리 둥글게"});
        WriteTicket(cards, {"N-3", 90, 50, 1, 5000});
        preference.SetFolder(CZelPreference::Folder::Jobs, jobs);

        product = std::make_unique<CJTBDlg>(preference, &progress, gate);
        panel = std::make_unique<CWSBDlg>(gate);
        QObject::connect(product.get(), &CJTBDlg::containerSelected, panel.get(),
                         [this](CZelJobContainer* container) {
                             panel->ShowContainer(container, product->PlateParameters());
                         });
        QObject::connect(panel.get(), &CWSBDlg::refreshRequested, product.get(),
                         [this] { product->Reload(product->CurrentContainer(), true); });
        product->resize(320, 400);
        panel->resize(1200, 300);
        product->show();
        panel->show();
        product->Build();
        product->SetPlateParameters({100, 92.0, 52.0});
        tree = Find<QTreeWidget>(product.get(), "productTree");
        orders = Find<QTableView>(panel.get(), "orderList");
    }
    void Select(const QString& folder) {
        QTreeWidgetItem* item = FindFolder(tree, folder);
        ASSERT_NE(item, nullptr) << folder.toStdString();
        tree->setCurrentItem(item);
    }

    QTemporaryDir temp;
    QString jobs, cards;
    CZelPreference preference;
    JobListGate gate;
    MeddlingProgress progress;
    std::unique_ptr<CJTBDlg> product;
    std::unique_ptr<CWSBDlg> panel;
    QTreeWidget* tree = nullptr;
    QTableView* orders = nullptr;
};

TEST_F(JobFolderTest, TreeListsLeafFoldersWithTheirPlacesAndSkipsHiddenFoldersAndLinks) {
    QStringList shown;
    for (QTreeWidgetItemIterator it(tree); *it; ++it)
        shown << QStringLiteral("%1%2").arg(QString::fromLatin1((*it)->parent() ? "  " : ""),
                                            (*it)->text(0));
    EXPECT_EQ(shown, (QStringList{QStringLiteral("명함"), QStringLiteral("  고급"),
                                  QStringLiteral("  일반 [3 항목, 4 건, 58 자리]"),
                                  QStringLiteral("스티커")}));
    // A folder holding only folders has no list.
    Select(QStringLiteral("명함"));
    EXPECT_EQ(product->CurrentContainer(), nullptr);
    EXPECT_EQ(orders->model()->rowCount(), 0);
    EXPECT_EQ(panel->StatusText(), QString());

    // Labels follow the plate's quantity without reading a ticket again.
    const int reads = progress.reads;
    product->SetPlateParameters({250, 92.0, 52.0});
    EXPECT_EQ(FindFolder(tree, QStringLiteral("일반"))->text(0),
              QStringLiteral("일반 [3 항목, 4 건, 24 자리]"));
    EXPECT_EQ(progress.reads, reads);
}

TEST_F(JobFolderTest, OrderListSortsNumericColumnsByNumberAndSumsTheSelection) {
    Select(QStringLiteral("일반"));
    ASSERT_EQ(orders->model()->rowCount(), 3);
    EXPECT_EQ(ColumnTexts(orders, 0), Texts({"N-1", "N-2", "N-3"}));
    EXPECT_EQ(ColumnTexts(orders, 11), Texts({"6(6)", "2(1)", "50(50)"}));
    // Only the order with a memo carries the memo icon.
    const QIcon plain = orders->model()->index(0, 0).data(Qt::DecorationRole).value<QIcon>();
    const QIcon memo = orders->model()->index(1, 0).data(Qt::DecorationRole).value<QIcon>();
    EXPECT_NE(plain.cacheKey(), memo.cacheKey());

    // "수량" by number, not text ("100" < "250" < "5000"), then reversed.
    QHeaderView* header = orders->horizontalHeader();
    const QPoint quantity(header->sectionViewportPosition(9) + 10, header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, quantity);
    EXPECT_EQ(ColumnTexts(orders, 9), Texts({"100", "250", "5000"}));
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, quantity);
    EXPECT_EQ(ColumnTexts(orders, 9), Texts({"5000", "250", "100"}));
    // "자리수(항목수)": 2(1) < 6(6) < 50(50), where text would put 50 before 6.
    const QPoint places(header->sectionViewportPosition(11) + 10, header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, places);
    EXPECT_EQ(ColumnTexts(orders, 0), Texts({"N-2", "N-1", "N-3"}));

    // The status: the folder's label, then the selection's orders, cases and places.
    EXPECT_EQ(panel->StatusText(), QStringLiteral("일반 [3 항목, 4 건, 58 자리]"));
    orders->selectRow(0);
    orders->selectionModel()->select(orders->model()->index(1, 0),
                                     QItemSelectionModel::Select | QItemSelectionModel::Rows);
    EXPECT_EQ(panel->StatusText(),
              QStringLiteral("일반 [3 항목, 4 건, 58 자리],  선택 [2 항목: 3 건, 8 자리]"));
    // A sort keeps the selected orders selected.
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, quantity);
    EXPECT_EQ(panel->StatusText(),
              QStringLiteral("일반 [3 항목, 4 건, 58 자리],  선택 [2 항목: 3 건, 8 자리]"));
}

TEST_F(JobFolderTest, ATicketArrivingShowsUpdatedAndARefreshReadsItAndRewritesTheLabel) {
    Select(QStringLiteral("일반"));
    auto* productRefresh = Find<QToolButton>(product.get(), "productRefresh");
    auto* listRefresh = Find<QToolButton>(panel.get(), "jobRefresh");
    auto* status = Find<QLabel>(product.get(), "productStatus");
    product->Watch();
    panel->Watch();
    EXPECT_TRUE(status->text().isEmpty());
    EXPECT_FALSE(productRefresh->isEnabled());
    EXPECT_FALSE(listRefresh->isEnabled());

    WriteTicket(cards, {"N-4", 90, 50, 1, 100});
    product->Watch();
    panel->Watch();
    EXPECT_EQ(status->text(), QStringLiteral("갱신됨"));
    EXPECT_TRUE(productRefresh->isEnabled());
    EXPECT_TRUE(listRefresh->isEnabled());

    // The list's own refresh reads that folder alone, and its label follows.
    QTest::mouseClick(listRefresh, Qt::LeftButton);
    EXPECT_EQ(orders->model()->rowCount(), 4);
    EXPECT_EQ(FindFolder(tree, QStringLiteral("일반"))->text(0),
              QStringLiteral("일반 [4 항목, 5 건, 59 자리]"));
    EXPECT_TRUE(status->text().isEmpty());
    EXPECT_FALSE(productRefresh->isEnabled());
}

TEST_F(JobFolderTest, ClicksDuringALongReadWaitAndNeverReadInsideARead) {
    Select(QStringLiteral("일반"));
    WriteTicket(cards, {"N-4", 90, 50, 1, 100});
    product->Watch();
    auto* productRefresh = Find<QToolButton>(product.get(), "productRefresh");
    ASSERT_TRUE(productRefresh->isEnabled());
    QTreeWidgetItem* other = FindFolder(tree, QStringLiteral("고급"));
    int meddled = 0;
    progress.meddle = [&] {
        ++meddled;
        // Another folder, both refresh buttons, a key: none gets through.
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {},
                          tree->visualItemRect(other).center());
        QTest::mouseClick(productRefresh, Qt::LeftButton);
        QTest::mouseClick(Find<QToolButton>(panel.get(), "jobRefresh"), Qt::LeftButton);
        QTest::keyClick(tree, Qt::Key_Up);
        product->Watch();
        panel->Watch();
    };
    progress.deepest = 0;
    QTest::mouseClick(productRefresh, Qt::LeftButton);
    EXPECT_GT(meddled, 0);
    EXPECT_EQ(progress.deepest, 1);
    EXPECT_EQ(product->CurrentContainer()->Name(), QStringLiteral("일반"));
    EXPECT_EQ(ColumnTexts(orders, 0), Texts({"N-1", "N-2", "N-3", "N-4"}));
    // Afterwards the bars take input again.
    progress.meddle = nullptr;
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(other).center());
    EXPECT_EQ(product->CurrentContainer()->Name(), QStringLiteral("고급"));
}

// Orders of the demo shop's premium cards dragged onto a plate.
class OrderDropTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        ASSERT_TRUE(shop.pdf.Load(QStringLiteral(TESSEL_PDFCOMPOSE_LIBRARY)))
            << shop.pdf.LoadError().toStdString();
        account = std::make_unique<CZelAccount>(Path("Shared/Accounts/demo.tzuac"));
        ASSERT_EQ(account->Login(QStringLiteral("demo")), CZelAccount::Success);
        PreparedPlate plate = PrepareNewPlate(shop, {QStringLiteral("명함 양면 국2절 92x52"),
                                                     QStringLiteral("P"), QDate(2026, 3, 12)})
                                  .value();
        doc.SetContext(shop.Context(&op, nullptr));
        ASSERT_TRUE(doc.Open(CreatePlate(shop, *account, plate).value()));
        view = std::make_unique<CTesselView>();
        view->resize(1000, 700);
        view->SetZoom(250);
        view->SetDocument(&doc);
        lists = std::make_unique<CJobLists>(shop.preference, *view, nullptr);
        lists->SetDocument(&doc);
        view->show();
        lists->ProductPanel()->show();
        lists->JobPanel()->show();
        lists->ProductPanel()->Build();
        tree = Find<QTreeWidget>(lists->ProductPanel(), "productTree");
        tree->setCurrentItem(FindFolder(tree, QStringLiteral("고급")));
        orders = Find<QTableView>(lists->JobPanel(), "orderList");
        ASSERT_GE(orders->model()->rowCount(), 3);
        op.answers = QList<bool>(20, true); // the quantity questions
    }
    void TearDown() override {
        lists->SetDocument(nullptr);
        // The orders go back to their folders for the next test.
        doc.SelectAll();
        op.answers = QList<bool>(20, true);
        doc.DeleteSelectedOrders();
        op.answers.clear(); // a "yes" for every question that might come, not a script
        account->Logout();
    }
    // The viewport point of a plate point on page 0.
    QPoint At(double x, double y) const {
        const QPoint origin = view->PageOrigin(0);
        return {origin.x() + view->Px(x, Qt::Horizontal) - view->horizontalScrollBar()->value(),
                origin.y() + view->Px(y, Qt::Vertical) - view->verticalScrollBar()->value()};
    }
    QPoint Inside() const {
        const CZelBound& area = doc.Geometry().usableArea;
        return At(area.x + 5, area.y + 5);
    }
    // What the list's drag carries for its first three rows.
    std::unique_ptr<QMimeData> FirstThree(QStringList& tickets) {
        orders->selectRow(0);
        for (int row : {1, 2})
            orders->selectionModel()->select(orders->model()->index(row, 0),
                                             QItemSelectionModel::Select |
                                                 QItemSelectionModel::Rows);
        auto& model = *static_cast<CJobListModel*>(orders->model());
        tickets = model.Tickets({0, 1, 2});
        return std::unique_ptr<QMimeData>(ticketdrag::Encode(tickets));
    }
    QString Label() const { return FindFolder(tree, QStringLiteral("고급"))->text(0); }

    std::unique_ptr<CZelAccount> account;
    CTesselDoc doc;
    std::unique_ptr<CTesselView> view;
    std::unique_ptr<CJobLists> lists;
    QTreeWidget* tree = nullptr;
    QTableView* orders = nullptr;
};

TEST_F(OrderDropTest, ThreeDroppedOrdersArePlacedMovedAndLeaveTheListWithoutARead) {
    const int rows = orders->model()->rowCount();
    QStringList tickets;
    const std::unique_ptr<QMimeData> data = FirstThree(tickets);
    // As the drag would: it enters the view, moves over the plate, drops.
    QDragEnterEvent enter(Inside(), Qt::MoveAction, data.get(), Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view->viewport(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDragMoveEvent over(Inside(), Qt::MoveAction, data.get(), Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view->viewport(), &over);
    EXPECT_TRUE(over.isAccepted());
    QDropEvent drop(QPointF(Inside()), Qt::MoveAction, data.get(), Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view->viewport(), &drop);
    QTRY_COMPARE(doc.JobContainer().Count(), 3);

    for (const QString& ticket : tickets) {
        EXPECT_FALSE(QFileInfo::exists(ticket)) << ticket.toStdString();
        const QString moved = QDir(doc.ProgressFolder()).filePath(QFileInfo(ticket).fileName());
        EXPECT_TRUE(QFileInfo::exists(moved)) << moved.toStdString();
    }
    EXPECT_GE(doc.ItemCount(), 3);
    EXPECT_EQ(orders->model()->rowCount(), rows - 3);
    EXPECT_EQ(lists->JobPanel()->WorkPage()->Model().rowCount(), 3);
    EXPECT_TRUE(Label().startsWith(QStringLiteral("고급 [%1 항목").arg(rows - 3)));
    // Its own moves do not count as a change on disk.
    lists->ProductPanel()->Watch();
    EXPECT_FALSE(lists->ProductPanel()->ChangesSeen());
    const QString log = lists->JobPanel()->LogPage()->Text();
    EXPECT_EQ(log.count(QStringLiteral("가져와 배치했습니다")), 3) << log.toStdString();
    EXPECT_TRUE(op.messages.isEmpty()) << op.messages.join(QLatin1Char('\n')).toStdString();
}

TEST_F(OrderDropTest, ADropOnTheMarginIsRefusedAndMovesNothing) {
    QStringList tickets;
    const std::unique_ptr<QMimeData> data = FirstThree(tickets);
    const QPoint margin = At(2.0, 2.0);
    QDragEnterEvent enter(margin, Qt::MoveAction, data.get(), Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view->viewport(), &enter);
    QDragMoveEvent over(margin, Qt::MoveAction, data.get(), Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view->viewport(), &over);
    EXPECT_FALSE(over.isAccepted());
    QDragLeaveEvent leave;
    QApplication::sendEvent(view->viewport(), &leave);
    EXPECT_FALSE(view->DropOrders(tickets, margin, false));
    QApplication::processEvents();
    for (const QString& ticket : tickets)
        EXPECT_TRUE(QFileInfo::exists(ticket));
    EXPECT_EQ(doc.ItemCount(), 0);
    EXPECT_EQ(doc.JobContainer().Count(), 0);
    EXPECT_TRUE(lists->JobPanel()->LogPage()->Text().isEmpty());
}

TEST_F(OrderDropTest, ATicketTakenElsewhereBeforeTheDropIsToldAndTheOthersArePlaced) {
    QStringList tickets;
    const std::unique_ptr<QMimeData> data = FirstThree(tickets);
    // Another workstation takes the second order (ticket and PDF) first.
    QTemporaryDir elsewhere;
    const QFileInfo taken(tickets[1]);
    const QString pdf = taken.dir().filePath(taken.completeBaseName() + QStringLiteral(".pdf"));
    ASSERT_TRUE(QFile::rename(tickets[1], elsewhere.filePath(taken.fileName())));
    ASSERT_TRUE(QFile::rename(pdf, elsewhere.filePath(QFileInfo(pdf).fileName())));

    EXPECT_TRUE(view->DropOrders(tickets, Inside(), false));
    EXPECT_EQ(doc.JobContainer().Count(), 2);
    ASSERT_EQ(op.messages.size(), 1);
    EXPECT_TRUE(op.messages[0].startsWith(QStringLiteral("가져오지 못한 주문이 있습니다.")));
    EXPECT_TRUE(lists->JobPanel()->LogPage()->Text().contains(
        QStringLiteral("%1을(를) 가져오지 않았습니다").arg(taken.fileName())))
        << lists->JobPanel()->LogPage()->Text().toStdString();
    // Its row is gone with the others; the other workstation's files are untouched.
    auto& model = static_cast<CJobListModel&>(*orders->model());
    for (int row = 0; row < model.rowCount(); ++row)
        EXPECT_FALSE(tickets.contains(model.RowAt(row).ticket));
    EXPECT_TRUE(QFileInfo::exists(elsewhere.filePath(taken.fileName())));
    ASSERT_TRUE(QFile::rename(elsewhere.filePath(taken.fileName()), tickets[1]));
    ASSERT_TRUE(QFile::rename(elsewhere.filePath(QFileInfo(pdf).fileName()), pdf));
}
