#include "clirun.h"
#include "tests/succeeded.h"

#include "labels/labelset.h"
#include "pdfbinding/pdfserver.h"
#include "records/programfolder.h"
#include "records/zelaccount.h"
#include "records/zelcolorpresets.h"
#include "records/zeldocumentpreset.h"
#include "records/zeljobcontainer.h"
#include "records/zelpreference.h"
#include "records/zelpressmarkpresets.h"
#include "records/zelserverpreset.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>
#include <set>

namespace {

CliRun MakeShop(const QString& folder) {
    return Cli({QStringLiteral("demo-shop"), folder});
}

// Every file below a folder with its bytes, by relative path.
std::map<QString, QByteArray> Contents(const QString& folder, const QStringList& filters = {}) {
    std::map<QString, QByteArray> files;
    QDirIterator it(folder, filters, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        files[QDir(folder).relativeFilePath(path)] = file.readAll();
    }
    return files;
}

// One shop for the suite: making it composes some thirty PDFs.
class DemoShop : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_temp = std::make_unique<QTemporaryDir>();
        // A name with a blank and Hangul, as shops' folders have.
        s_shop = QDir(s_temp->path()).filePath(QStringLiteral("데모 인쇄소"));
        s_made = MakeShop(s_shop);
    }
    static void TearDownTestSuite() { s_temp.reset(); }

    void SetUp() override {
        ASSERT_EQ(s_made.code, 0) << s_made.err.toStdString();
        programfolder::SetHome(s_shop);
        ASSERT_TRUE(m_preference.Load(programfolder::PreferencesFolder()));
        ASSERT_TRUE(m_preference.GetPresetDir(m_presetDir));
        ASSERT_TRUE(m_server.Load(QStringLiteral(TESSEL_PDFCOMPOSE_LIBRARY)))
            << m_server.LoadError().toStdString();
    }
    void TearDown() override { programfolder::SetHome(QString()); }

    static std::unique_ptr<QTemporaryDir> s_temp;
    static QString s_shop;
    static CliRun s_made;
    CZelPreference m_preference;
    QString m_presetDir;
    CPDFServer m_server;
};

std::unique_ptr<QTemporaryDir> DemoShop::s_temp;
QString DemoShop::s_shop;
CliRun DemoShop::s_made;

TEST_F(DemoShop, PreferenceNamesExistingSharedFolders) {
    QString reason;
    EXPECT_TRUE(m_preference.ValidatePreference(&reason)) << reason.toStdString();
    QString press;
    EXPECT_TRUE(m_preference.GetPressDir(press));
    EXPECT_EQ(m_preference.GetOption(CZelPreference::Option::ItemCutA), 1);
}

TEST_F(DemoShop, SitePresetLoadsWithItsLists) {
    CZelServerPreset preset;
    ASSERT_TRUE(preset.Load(m_presetDir)) << preset.LastError().toStdString();
    QString text;
    EXPECT_TRUE(preset.GetSignature(text));
    EXPECT_TRUE(preset.GetCompany(text));
    auto names = [&preset](CMTItem* entry) {
        QStringList out;
        for (; entry; entry = preset.NextEntry(entry)) {
            QString name;
            preset.GetName(entry, name);
            out << name;
        }
        return out;
    };
    EXPECT_TRUE(names(preset.FirstPaperType()).contains(QStringLiteral("스노우지 250g")));
    EXPECT_TRUE(names(preset.FirstPanAfterWork()).contains(QStringLiteral("귀도리")));
    EXPECT_TRUE(names(preset.FirstPanCode()).contains(QStringLiteral("스티커")));
    EXPECT_TRUE(names(preset.FirstProduct()).contains(QStringLiteral("명함")));
    int index = -1;
    ASSERT_NE(preset.FindPaperSize(636, 469, &index), nullptr);
    EXPECT_EQ(names(preset.PaperSizeAt(index)).value(0), QStringLiteral("국2절"));
    int code = 0;
    EXPECT_TRUE(preset.GetCode(preset.FirstPaperType(), code));
    EXPECT_EQ(code, 1);
    QString prefix;
    EXPECT_TRUE(preset.GetPanPrefix(preset.FirstPanCode(), prefix));
    EXPECT_EQ(prefix, QStringLiteral("N"));
}

TEST_F(DemoShop, DocumentPresetsUseTheShopsMarksAndColours) {
    QStringList names;
    ASSERT_TRUE(CZelDocumentPreset::ListPresets(names));
    ASSERT_EQ(names.size(), 4);
    CZelPressMarkPresets bars, marks;
    ASSERT_TRUE(bars.LoadColorBars(m_preference));
    ASSERT_TRUE(marks.LoadRegistrationMarks(m_preference));
    CZelColorPresets colors;
    ASSERT_TRUE(colors.Load(programfolder::StockPresetsFolder()));
    std::set<int> sides;
    for (const QString& name : names) {
        SCOPED_TRACE(name.toStdString());
        CZelDocumentPreset preset;
        ASSERT_TRUE(preset.Load(CZelDocumentPreset::PathOf(name)));
        EXPECT_EQ(preset.Name().toString(), name);
        sides.insert(preset.PaperSide().toInt());
        EXPECT_GE(preset.GridWidth().toDouble(), 60.0);
        EXPECT_GT(preset.Width().toDouble(), preset.GridWidth().toDouble());
        EXPECT_GT(preset.CutMargin(CZelDocumentPreset::Edge::Left).toDouble(), 0.0);
        LogFont font;
        ASSERT_TRUE(preset.GetFont(CZelDocumentPreset::FontKind::Title, font));
        EXPECT_EQ(font.lfFaceName, QStringLiteral("나눔고딕"));
        EXPECT_NE(bars.FindPressMark(preset.ColorBarName().toString()), nullptr);
        EXPECT_NE(marks.FindPressMark(preset.RegistrationMarkName().toString()), nullptr);
        for (CMTItem* line = preset.FirstLine(); line; line = line->NextSibling())
            EXPECT_NE(colors.FindColor(
                          preset.LineValue(static_cast<CTzmpItem*>(line), "LINE_COLOR").toString()),
                      nullptr);
    }
    // Single-sided, two-sided and work-and-turn plates.
    EXPECT_EQ(sides, (std::set<int>{0, 1, 2}));
    CZelDocumentPreset card;
    ASSERT_TRUE(card.Load(CZelDocumentPreset::PathOf(QStringLiteral("명함 국2절 92x52"))));
    EXPECT_EQ(card.GridWidth().toDouble(), 92.0);
    EXPECT_EQ(card.GridHeight().toDouble(), 52.0);
    EXPECT_NE(colors.FindColor(QStringLiteral("금색 (별색 대용)")), nullptr);
}

TEST_F(DemoShop, PressMarksAreOnePagePdfsOfTheirSizeWithPreviews) {
    for (const bool colorBars : {true, false}) {
        CZelPressMarkPresets table;
        ASSERT_TRUE(colorBars ? table.LoadColorBars(m_preference)
                              : table.LoadRegistrationMarks(m_preference));
        ASSERT_EQ(table.Count(), 2);
        for (int i = 0; i < table.Count(); ++i) {
            const CZelPressMarkItem* mark = table.Mark(i);
            SCOPED_TRACE(mark->mediaPath.toStdString());
            EXPECT_FALSE(mark->previewSize.isEmpty());
            EXPECT_EQ(m_server.ComposeCountPages(mark->mediaPath), 1);
            double width = 0, height = 0;
            ASSERT_TRUE(m_server.MiscGetPageSize(mark->mediaPath, 1, width, height));
            EXPECT_NEAR(width, mark->width, 0.01);
            EXPECT_NEAR(height, mark->height, 0.01);
            EXPECT_TRUE(QpdfChecks(mark->mediaPath));
        }
    }
}

TEST_F(DemoShop, AccountsLogIn) {
    QString users;
    ASSERT_TRUE(m_preference.GetUsersDir(users));
    EXPECT_EQ(CZelAccount::List(users).size(), 2u);
    CZelAccount demo(QDir(users).filePath(QStringLiteral("demo.tzuac")));
    EXPECT_EQ(demo.Login(QStringLiteral("nope")), CZelAccount::WrongPassword);
    EXPECT_EQ(demo.Login(QStringLiteral("demo")), CZelAccount::Success);
    QString initials;
    EXPECT_TRUE(demo.GetInitial(initials));
    EXPECT_EQ(initials.size(), 2);
    demo.Logout();
    CZelAccount fresh(QDir(users).filePath(QStringLiteral("kimsj.tzuac")));
    ASSERT_TRUE(fresh.IsLoaded());
    EXPECT_FALSE(fresh.GetPassword());
}

TEST_F(DemoShop, JobFoldersHoldOrdersWithTheirArtwork) {
    QString jobs;
    ASSERT_TRUE(m_preference.GetJobsDir(jobs));
    const struct {
        const char16_t* folder;
        int orders;
    } folders[] = {{u"명함/일반", 12}, {u"명함/고급", 8}, {u"스티커", 10}};
    const char* textKeys[] = {"Location",  "Ordernum", "BranchShop", "Rework",   "ROKDate",
                              "Product",   "Kind",     "Paper",      "SizeKind", "DeliveryM",
                              "DeliveryA", "Uid",      "Ucom",       "Uname",    "Utel",
                              "UHP",       "ReceiptS", "Pcom",       "Pname"};
    int bled = 0, trimmed = 0, twoSided = 0, withAfterWork = 0, withMemo = 0;
    for (const auto& entry : folders) {
        const QString folder = QString::fromUtf16(entry.folder);
        SCOPED_TRACE(folder.toStdString());
        CZelJobContainer list(folder, QDir(jobs).filePath(folder), true);
        ASSERT_EQ(list.Count(), entry.orders);
        for (int i = 0; i < list.Count(); ++i) {
            const CZelJob& job = *list.Job(i);
            SCOPED_TRACE(job.Path().toStdString());
            for (const char* key : textKeys)
                EXPECT_FALSE(job.Text(key).isEmpty()) << key;
            QString location;
            ASSERT_TRUE(job.GetLocation(location));
            EXPECT_EQ(location, QLatin1Char('\\') +
                                    QString(folder).replace(QLatin1Char('/'), QLatin1Char('\\')));
            EXPECT_GT(job.GetPcases(), 0);
            EXPECT_GT(job.GetQuantity(), 0.0);
            EXPECT_GE(job.GetPQuantity(), 0);
            QString memo;
            job.GetMmemo(memo);
            withMemo += !memo.isEmpty();
            withAfterWork += !job.AfterWorkText().isEmpty() || !job.AfterWorkText(true).isEmpty();

            QString pdf;
            ASSERT_TRUE(job.GetPdfPath(pdf));
            // Every case has its own design: PDFPage pages for each of them.
            const int pages = job.GetPDFPage() * job.GetPcases();
            twoSided += job.GetPDFPage() == 2;
            ASSERT_EQ(m_server.ComposeCountPages(pdf), pages);
            for (int page = 1; page <= pages; ++page) {
                double width = 0, height = 0;
                ASSERT_TRUE(m_server.MiscGetPageSize(pdf, page, width, height));
                const double bleed = (width - job.GetWidth()) / 2;
                EXPECT_TRUE(std::abs(bleed) < 0.01 || std::abs(bleed - 2) < 0.01) << width;
                EXPECT_NEAR(height - job.GetHeight(), 2 * bleed, 0.01);
                (bleed > 1 ? bled : trimmed) += page == 1;
            }
            EXPECT_TRUE(QpdfChecks(pdf));
        }
    }
    EXPECT_GT(bled, 0);
    EXPECT_GT(trimmed, 0);
    EXPECT_GT(twoSided, 0);
    EXPECT_GT(withAfterWork, 0);
    EXPECT_GT(withMemo, 0);

    // On the card plate (500 sheets, 92 x 52 mm) large orders take several
    // slots and the portrait cards turn.
    CZelJobContainer cards(QStringLiteral("일반"), QDir(jobs).filePath(QStringLiteral("명함/일반")),
                           true);
    EXPECT_EQ(cards.Summary(500, 92, 52), QStringLiteral("일반 [12 항목, 19 건, 24 자리]"));
}

TEST_F(DemoShop, LabelsFitTheOrderSizes) {
    std::vector<std::unique_ptr<CZelLabel>> labels;
    EXPECT_EQ(labelset::LoadAll(m_presetDir, labels), 6);
    const struct {
        double width, height;
        const char16_t* label;
    } cases[] = {{90, 50, u"명함 90x50"},   {86, 52, u"명함 86x52"},   {50, 90, u"명함 세로 50x90"},
                 {60, 60, u"스티커 60x60"}, {50, 50, u"스티커 50x50"}, {40, 40, u"소형 40x30"}};
    for (const auto& c : cases)
        EXPECT_EQ(labelset::PickLabel(labels, c.width, c.height), QString::fromUtf16(c.label))
            << c.width << " x " << c.height;
    for (const auto& label : labels)
        EXPECT_FALSE(label->objects.empty()) << label->name.toStdString();
    const Result<std::vector<std::pair<QString, QString>>> read =
        labelset::LoadDefinitions(m_presetDir);
    ASSERT_TRUE(Succeeded(read));
    const std::vector<std::pair<QString, QString>>& definitions = read.value();
    EXPECT_NE(
        std::find(definitions.begin(), definitions.end(),
                  std::pair{QStringLiteral("MF_OrderNum"), QStringLiteral("[BAR0709170003]")}),
        definitions.end());
    EXPECT_TRUE(labelset::MemberPicturePath(m_presetDir, QStringLiteral("kimmh01"))
                    .endsWith(QStringLiteral("kimmh01.jpg")));
}

TEST_F(DemoShop, AnExistingShopIsNeverOverwritten) {
    const auto before = Contents(s_shop);
    const CliRun again = MakeShop(s_shop);
    EXPECT_NE(again.code, 0);
    EXPECT_TRUE(again.err.contains(QStringLiteral("not empty"))) << again.err.toStdString();
    EXPECT_EQ(again.err.count(QLatin1Char('\n')), 1);
    EXPECT_EQ(Contents(s_shop), before);

    // A folder holding anything at all is refused; a file is no folder.
    QTemporaryDir other;
    QFile note(QDir(other.path()).filePath(QStringLiteral(".keep")));
    ASSERT_TRUE(note.open(QIODevice::WriteOnly));
    note.close();
    EXPECT_NE(MakeShop(other.path()).code, 0);
    EXPECT_EQ(QDir(other.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
              QStringList{QStringLiteral(".keep")});
    EXPECT_NE(MakeShop(note.fileName()).code, 0);
}

TEST_F(DemoShop, EveryShopHasTheSameRecords) {
    QTemporaryDir other;
    const QString second = QDir(other.path()).filePath(QStringLiteral("shop"));
    ASSERT_EQ(MakeShop(second).code, 0);
    // Records that name no folder of the shop are byte for byte the same.
    const QStringList records{QStringLiteral("*.tzjob"), QStringLiteral("*.tzlp"),
                              QStringLiteral("*.tzdp"), QStringLiteral("*.tzsp"),
                              QStringLiteral("*.tzst")};
    EXPECT_EQ(Contents(second, records), Contents(s_shop, records));
}

TEST(DemoShopFailure, LeavesNoHalfMadeShop) {
    // A program without the composition library beside it cannot make the artwork.
    QTemporaryDir temp;
    const QString program = QDir(temp.path()).filePath(QStringLiteral("tessel-cli"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(TESSEL_CLI), program));
    const QString shop = QDir(temp.path()).filePath(QStringLiteral("shop"));
    const CliRun run = Cli({QStringLiteral("demo-shop"), shop}, program);
    EXPECT_NE(run.code, 0);
    EXPECT_FALSE(QFileInfo::exists(shop));
}

} // namespace
