#include "appfixture.h"

#include "../registration/loopbackserver.h"

#include "app/joblists.h"
#include "app/mainframe.h"
#include "app/newprojdlg.h"
#include "app/progstatusbar.h"
#include "app/wsbdlg.h"
#include "app/wsblogdlg.h"
#include "engine/tesseldoc.h"
#include "press/makepress.h"
#include "press/platetitle.h"
#include "records/zelaccount.h"
#include "records/zelpreference.h"
#include "registration/registerplate.h"
#include "shop/newplate.h"
#include "shop/session.h"
#include "shop/ticketintake.h"
#include "view/makepresssetupdlg.h"
#include "view/pdfprogressdlg.h"
#include "view/platetitledlg.h"
#include "view/zelplateregdlg.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

namespace {

using Option = CZelPreference::Option;

// Lets events run until done() holds or the time is up; whether it holds.
bool WaitUntil(const std::function<bool()>& done, int ms = 20000) {
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < ms)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

void Select(QListWidget* list, const QString& text) {
    const QList<QListWidgetItem*> found = list->findItems(text, Qt::MatchExactly);
    ASSERT_EQ(found.size(), 1) << text.toStdString();
    list->setCurrentItem(found.first());
}

QStringList Rows(QListWidget* list) {
    QStringList rows;
    for (int i = 0; i < list->count(); ++i)
        rows << list->item(i)->text();
    return rows;
}

} // namespace

// A two-sided card plate holding two regular card orders; the orders go
// back to the job folder at the end.
class PressDialogsTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        NewCardPlate(account, path, QDate(2026, 3, 11));
        doc.SetContext(shop.Context(&op, nullptr));
        ASSERT_TRUE(doc.Open(path));
        PlaceTwoCardOrders(doc);
        ASSERT_TRUE(doc.Save(path));
        keptPressDir = shop.preference.Tree()
                           .ValueOr(shop.preference.Tree().GetRoot(), "MAKE_PDF_PRESS_DIR")
                           .toString();
        for (Option option : kOptions)
            keptOptions << shop.preference.GetOption(option);
    }
    void TearDown() override {
        ReturnOrders(doc);
        account->Logout();
        // The shop's press settings as they were, for the next test.
        for (int i = 0; i < keptOptions.size(); ++i)
            shop.preference.SetOption(kOptions[i], keptOptions[i]);
        shop.preference.Tree().Value(shop.preference.Tree().GetRoot(), "MAKE_PDF_PRESS_DIR") =
            keptPressDir;
        shop.preference.Save();
    }

    static constexpr Option kOptions[] = {Option::ItemFrameA, Option::ItemCutA, Option::MakePdfType,
                                          Option::MakePdfView, Option::MakePdfTitleFname};
    std::unique_ptr<CZelAccount> account;
    QString path;
    CTesselDoc doc;
    QString keptPressDir;
    QList<int> keptOptions;
};

TEST_F(PressDialogsTest, PressSettingsAreWrittenOnlyOnAnAcceptedOk) {
    const PlateProperties before = doc.Properties();
    const QString pressDirBefore = MakePressOptions::FromPreference(shop.preference).pressDir;
    const int frameBefore = shop.preference.GetOption(Option::ItemFrameA);
    {
        // A folder that does not exist: refused, the box cleared; then Cancel.
        CMakePressSetupDlg dialog(doc, shop.preference, shop.colorBars, shop.registrationMarks, op);
        Type(&dialog, "comment", QStringLiteral("바뀐 메모"));
        Click(&dialog, "itemFrameA");
        Type(&dialog, "pressDir", Path("없는 폴더"));
        dialog.accept();
        EXPECT_EQ(op.messages, QStringList{QStringLiteral("출력용 PDF 저장 폴더를 설정하십시오.")});
        EXPECT_NE(dialog.result(), QDialog::Accepted);
        EXPECT_TRUE(Find<QLineEdit>(&dialog, "pressDir")->text().isEmpty());
        dialog.reject();
    }
    EXPECT_EQ(doc.Properties(), before);
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(shop.preference.GetOption(Option::ItemFrameA), frameBefore);
    EXPECT_EQ(MakePressOptions::FromPreference(shop.preference).pressDir, pressDirBefore);

    {
        // OK without a change leaves the plate as it was.
        CMakePressSetupDlg dialog(doc, shop.preference, shop.colorBars, shop.registrationMarks, op);
        Type(&dialog, "pressDir", Path("Press"));
        QDir().mkpath(Path("Press"));
        dialog.accept();
        ASSERT_EQ(dialog.result(), QDialog::Accepted);
        EXPECT_FALSE(doc.IsModified());
    }
    {
        CMakePressSetupDlg dialog(doc, shop.preference, shop.colorBars, shop.registrationMarks, op);
        // The turn is offered on a two-sided plate.
        EXPECT_TRUE(Find<QRadioButton>(&dialog, "turnNone")->isEnabled());
        Type(&dialog, "comment", QStringLiteral("바뀐 메모"));
        Click(&dialog, "itemFrameA");
        Click(&dialog, "pdfTypeEach");
        Click(&dialog, "titleBottom");
        dialog.accept();
        ASSERT_EQ(dialog.result(), QDialog::Accepted);
    }
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(doc.Properties().comment, QStringLiteral("바뀐 메모"));
    EXPECT_EQ(doc.Properties().titlePosition, 3);
    // The preferences reach their file.
    CZelPreference stored;
    ASSERT_TRUE(stored.Load(QFileInfo(shop.preference.Path()).absolutePath()));
    EXPECT_EQ(stored.GetOption(Option::ItemFrameA), frameBefore ? 0 : 1);
    EXPECT_EQ(stored.GetOption(Option::MakePdfType), 2);
    QString pressDir;
    ASSERT_TRUE(stored.GetPressDir(pressDir));
    EXPECT_EQ(QDir(pressDir).canonicalPath(), QDir(Path("Press")).canonicalPath());
}

TEST_F(PressDialogsTest, MakePressFromTheMainFrameWritesThePressFolder) {
    ShopSession session;
    CMainFrame frame(shop, session, {});
    auto* make = frame.findChild<QAction*>(QStringLiteral("makePressAction"));
    auto* saveAs = frame.findChild<QAction*>(QStringLiteral("savePressAsAction"));
    ASSERT_TRUE(make && saveAs);
    EXPECT_FALSE(make->isEnabled());
    ASSERT_TRUE(frame.OpenPlate(path));
    EXPECT_TRUE(make->isEnabled());
    EXPECT_FALSE(saveAs->isEnabled());

    QTemporaryDir press;
    OnModal("makePressSetupDialog", [&press](QWidget* dialog) {
        Type(dialog, "pressDir", press.path());
        Click(dialog, "pdfTypeEach");
        if (Find<QCheckBox>(dialog, "openMade")->isChecked())
            Click(dialog, "openMade");
        Click(dialog, "ok");
    });
    make->trigger();
    EXPECT_TRUE(op.messages.isEmpty()) << op.messages.join(QLatin1Char('\n')).toStdString();
    const QString base =
        QFileInfo(path).absolutePath() + QLatin1Char('/') + QFileInfo(path).completeBaseName();
    for (const char* side : {"_A.pdf", "_B.pdf", "_L.pdf"})
        EXPECT_TRUE(QFileInfo(base + QLatin1String(side)).size() > 0) << side;
    EXPECT_EQ(QDir(press.path()).entryList({QStringLiteral("*.pdf")}, QDir::Files).size(), 3);
    EXPECT_TRUE(
        frame.ProgressBar()->currentMessage().contains(QDir::toNativeSeparators(press.path())))
        << frame.ProgressBar()->currentMessage().toStdString();
    // The workstation's log keeps the run.
    EXPECT_TRUE(frame.JobLists()->JobPanel()->LogPage()->Text().contains(
        frame.ProgressBar()->currentMessage()));

    ASSERT_TRUE(saveAs->isEnabled());
    const QString merged = press.filePath(QStringLiteral("한 파일.pdf"));
    EXPECT_TRUE(frame.SavePressAs(merged));
    EXPECT_GT(QFileInfo(merged).size(), 0);
}

TEST_F(AppTest, AProgressWindowOutlastsEscapeAndTheCloseBoxUntilItsRunEnds) {
    CPDFDlgMakePress progress;
    int runs = 0;
    const bool ok = progress.Run([&] {
        ++runs;
        progress.Begin(QStringLiteral("A 판 PDF 배치 중..."), 2);
        progress.Detail(QStringLiteral("PDF 배치: 1 - 명함"));
        QTest::keyClick(&progress, Qt::Key_Escape);
        progress.reject();
        progress.close();
        progress.Step(1);
        return progress.isVisible() && Find<QLabel>(&progress, "progressDetail")->text() ==
                                           QStringLiteral("PDF 배치: 1 - 명함");
    });
    EXPECT_TRUE(ok);
    EXPECT_EQ(runs, 1);
    EXPECT_FALSE(progress.isVisible());

    // A run that fails closes the window as cancelled.
    CZelPDFDlgLoadDoc loading;
    EXPECT_FALSE(loading.Run([] { return false; }));
    EXPECT_EQ(loading.result(), QDialog::Rejected);
}

TEST_F(AppTest, TitleEditorKeepsEachItemOnceAndGivesThemBackInOrder) {
    LogFont font;
    font.lfHeight = -16;
    font.lfFaceName = QStringLiteral("NanumGothic");
    CPlateTitleDlg dialog(QStringLiteral("[판번호]-[날짜]"), font);
    auto* available = Find<QListWidget>(&dialog, "titleTokens");
    auto* applied = Find<QListWidget>(&dialog, "appliedTokens");
    EXPECT_EQ(Rows(available), CPlateTitle::Tokens());
    EXPECT_EQ(Find<QLabel>(&dialog, "titlePreview")->text(), QStringLiteral("[판번호]-[날짜]"));
    EXPECT_EQ(Find<QLineEdit>(&dialog, "fontSize")->text(), QStringLiteral("12"));

    Select(available, QStringLiteral("[판번호]"));
    Click(&dialog, "addToken");
    Select(available, QStringLiteral("[바코드]"));
    Click(&dialog, "addToken");
    EXPECT_EQ(Rows(applied), (QStringList{QStringLiteral("[판번호]"), QStringLiteral("[날짜]"),
                                          QStringLiteral("[바코드]")}));
    applied->setCurrentRow(0);
    Click(&dialog, "removeToken");
    EXPECT_EQ(Find<QLabel>(&dialog, "titlePreview")->text(), QStringLiteral("[날짜]-[바코드]"));
    Click(&dialog, "ok");
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.Items(), QStringLiteral("[날짜]-[바코드]"));
    EXPECT_EQ(dialog.Font(), font);

    CPlateTitleDlg empty(QString(), font);
    EXPECT_EQ(Find<QListWidget>(&empty, "appliedTokens")->count(), 0);
    EXPECT_TRUE(Find<QLabel>(&empty, "titlePreview")->text().isEmpty());
}

TEST_F(AppTest, NewPlateDialogEditsTheTitleInTheTitleEditor) {
    CZelAccount account(Path("Shared/Accounts/demo.tzuac"));
    ASSERT_EQ(account.Login(QStringLiteral("demo")), CZelAccount::Success);
    {
        CZelNewProjDlg dialog(shop, account, op);
        OnModal("plateTitleDialog", [](QWidget* editor) {
            auto* applied = Find<QListWidget>(editor, "appliedTokens");
            while (applied->count() > 0) {
                applied->setCurrentRow(0);
                Click(editor, "removeToken");
            }
            Select(Find<QListWidget>(editor, "titleTokens"), QStringLiteral("[메모]"));
            Click(editor, "addToken");
            Click(editor, "ok");
        });
        Click(&dialog, "editTitle");
        EXPECT_EQ(Find<QLineEdit>(&dialog, "titleItems")->text(), QStringLiteral("[메모]"));
    }
    account.Logout();
}

// The registration dialog against a server on this machine.
class RegistrationDialogTest : public PressDialogsTest {
protected:
    // Clicks "등록" and waits for the exchange; the failure message's text
    // and details when one showed.
    QStringList Register(CZelPlateRegDlg& dialog) {
        QStringList failure;
        OnModal("registrationFailed", [&failure](QWidget* box) {
            auto* message = static_cast<QMessageBox*>(box);
            failure << message->text() << message->detailedText();
            message->accept();
        });
        dialog.show();
        Click(&dialog, "register");
        EXPECT_TRUE(WaitUntil([&] {
            return !dialog.IsBusy() && (dialog.result() == QDialog::Accepted || !failure.isEmpty());
        }));
        return failure;
    }
    static QString Url(quint16 port) {
        return QStringLiteral("http://127.0.0.1:%1/plate/register").arg(port);
    }
    static constexpr RegistrationTimeouts kShort{std::chrono::milliseconds(2000),
                                                 std::chrono::milliseconds(300),
                                                 std::chrono::milliseconds(3000)};
};

TEST_F(RegistrationDialogTest, ShowsThePlateAndRegistersIt) {
    LoopbackServer server("HTTP/1.0 200 OK\r\nContent-Length: 2\r\n\r\nOK");
    CZelPlateRegDlg dialog(doc, QString(), Url(server.Port()), op);
    dialog.SetTimeouts(kShort);
    EXPECT_EQ(Find<QLineEdit>(&dialog, "plateNumber")->text(), doc.Properties().jobCode);
    EXPECT_TRUE(Find<QLineEdit>(&dialog, "memo")->isReadOnly());
    auto* orders = Find<QTableView>(&dialog, "orderList");
    ASSERT_NE(orders, nullptr);
    EXPECT_EQ(orders->model()->rowCount(), 2);
    EXPECT_EQ(orders->model()->index(0, 0).data().toString(), doc.ItemAt(0)->ordernum);
    auto* afterWork = Find<QTableView>(&dialog, "afterWorkList");
    ASSERT_NE(afterWork, nullptr);
    EXPECT_EQ(afterWork->model()->index(0, 0).data().toString(), QStringLiteral("인쇄"));

    EXPECT_TRUE(Register(dialog).isEmpty());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    const QByteArray request = server.Received();
    EXPECT_TRUE(request.startsWith("POST /plate/register HTTP/1.0"));
    EXPECT_TRUE(request.contains("PanNum1=" + doc.Properties().jobCode.toLatin1() + "&"));
    EXPECT_FALSE(doc.IsModified());
}

TEST_F(RegistrationDialogTest, AServerErrorOrNoAnswerSaysWhyAndStaysOpen) {
    struct Case {
        const char* name;
        QByteArray answer;
        LoopbackServer::Then then;
        const char* inReason;
    };
    const Case cases[] = {
        {"500", "HTTP/1.0 500 Internal Server Error\r\n\r\n", LoopbackServer::Then::Answer, "500"},
        {"no answer", QByteArray(), LoopbackServer::Then::Stay, ""},
    };
    for (const Case& c : cases) {
        LoopbackServer server(c.answer, c.then);
        CZelPlateRegDlg dialog(doc, QString(), Url(server.Port()), op);
        dialog.SetTimeouts(kShort);
        const QStringList failure = Register(dialog);
        ASSERT_EQ(failure.size(), 2) << c.name;
        EXPECT_EQ(failure[0], QString::fromUtf16(kCannotReachRegistrationServer)) << c.name;
        EXPECT_FALSE(failure[1].isEmpty()) << c.name;
        EXPECT_TRUE(failure[1].contains(QLatin1String(c.inReason))) << failure[1].toStdString();
        EXPECT_NE(dialog.result(), QDialog::Accepted) << c.name;
        EXPECT_TRUE(dialog.isVisible()) << c.name;
        EXPECT_TRUE(Find<QPushButton>(&dialog, "register")->isEnabled()) << c.name;
        dialog.reject();
    }
}

TEST_F(RegistrationDialogTest, APlateThatCannotBeSavedIsNotRegistered) {
    const ClosedPort nobody; // the dialog must not get as far as the server
    // Code page 949 has no emoji: the plate file cannot take this order.
    ASSERT_TRUE(doc.ChangeItem(
        doc.ItemAt(0), [](CZelItem& item) { item.product = QStringLiteral("명함 \U0001F600"); }));
    ASSERT_TRUE(doc.IsModified());
    CZelPlateRegDlg dialog(doc, QString(), Url(nobody.Port()), op);
    dialog.SetTimeouts(kShort);
    dialog.show();
    Click(&dialog, "register");
    ASSERT_EQ(op.messages.size(), 1);
    EXPECT_TRUE(
        op.messages[0].startsWith(QStringLiteral("판을 저장할 수 없어 등록하지 않았습니다.")));
    EXPECT_FALSE(dialog.IsBusy());
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    // Back to a plate that saves, so the orders can go home.
    ASSERT_TRUE(doc.ChangeItem(doc.ItemAt(0),
                               [](CZelItem& item) { item.product = QStringLiteral("명함"); }));
}
