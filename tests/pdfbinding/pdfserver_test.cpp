#include "pdfbinding/pdfserver.h"

#include "markup/durablefile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

namespace {

class PDFServerTest : public ::testing::Test {
protected:
    QString Path(const char* name) const { return dir.filePath(QString::fromUtf8(name)); }
    QTemporaryDir dir;
};

TEST_F(PDFServerTest, BindsTheLibraryAndComposesThroughIt) {
    CPDFServer server;
    ASSERT_TRUE(server.Load(QStringLiteral(TESSEL_PDFCOMPOSE_LIBRARY)))
        << server.LoadError().toStdString();
    for (const char* name :
         {"PDFLibInitW", "PDFLibComposeBeginDocW", "PDFLibComposePlacePDIDocW",
          "PDFLibComposePlaceCMYKTextBoxW", "PDFLibMiscMergeW", "PDFLibExportPageImageW"})
        EXPECT_TRUE(server.HasEntryPoint(name)) << name;
    EXPECT_FALSE(server.HasEntryPoint("PDFLibMasterProcessW")) << "not offered by this library";
    EXPECT_EQ(server.IsCompose(), 1);

    const QString barcode = Path("B_H.pdf"), side = Path("판_A.pdf"), merged = Path("press.pdf");
    ASSERT_TRUE(server.MiscCreateBarcode(barcode, QStringLiteral("P0001"), 40, 10))
        << server.LastError().toStdString();
    ASSERT_TRUE(server.ComposeBeginDoc(side));
    ASSERT_TRUE(server.ComposeBeginPage(200, 100));
    double w = 0, h = 0;
    ASSERT_TRUE(server.ComposeGetPDIDocSize(barcode, 1, w, h));
    EXPECT_DOUBLE_EQ(std::round(w * 1000) / 1000, 40);
    EXPECT_TRUE(server.ComposePlacePDIDoc(barcode, 1, 5, 5, w, h, 90));
    EXPECT_TRUE(server.ComposePlaceCMYKTextBox(QStringLiteral("판 제목"), QStringLiteral("굴림"),
                                               12, 20, 5, 80, 10, 0, 0, 0, 1, 1, 1, 0));
    EXPECT_TRUE(server.ComposeCMYKLine(0, 50, 200, 50, 0.25, 1, 1, 1, 1));
    EXPECT_TRUE(server.ComposeRGBRect(20, 20, 10, 10, 0.9, -1, -1, -1, 1, 1, 1));
    EXPECT_FALSE(server.ComposePlacePDIDoc(Path("missing.pdf"), 1, 0, 0, 10, 10, 0));
    EXPECT_TRUE(server.LastError().contains(QStringLiteral("missing.pdf")))
        << server.LastError().toStdString();
    ASSERT_TRUE(server.ComposeEndPage());
    ASSERT_TRUE(server.ComposeEndDoc()) << server.LastError().toStdString();
    ASSERT_TRUE(server.MiscMerge({side, barcode}, merged)) << server.LastError().toStdString();
    EXPECT_EQ(server.ComposeCountPages(merged), 2);
    EXPECT_EQ(server.MiscGetPDFVersion(merged), 14);
    ASSERT_TRUE(server.MiscGetPageSize(merged, 1, w, h));
    EXPECT_NEAR(w, 200, 0.001);
}

// A run that ends in the middle of a write (a crash, a kill) leaves the
// library's temporary behind; the next run removes it, and leaves alone one
// whose writer still runs.
TEST_F(PDFServerTest, TemporariesOfALibraryThatDiedAreRemovedByTheNextRun) {
    const auto hidden = [this] { return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden); };
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        CPDFServer server;
        const bool begun = server.Load(QStringLiteral(TESSEL_PDFCOMPOSE_LIBRARY)) &&
                           server.ComposeBeginDoc(Path("판_A.pdf"));
        _exit(begun ? 0 : 1); // gone without ending the document
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    ASSERT_EQ(hidden().size(), 1) << "the child's temporary";

    CPDFServer server;
    ASSERT_TRUE(server.Load(QStringLiteral(TESSEL_PDFCOMPOSE_LIBRARY)));
    ASSERT_TRUE(server.ComposeBeginDoc(Path("판_B.pdf")));
    ASSERT_EQ(hidden().size(), 2);
    EXPECT_EQ(durablefile::RemoveStaleTemporaries(dir.path()), 1);
    const QStringList left = hidden();
    ASSERT_EQ(left.size(), 1);
    EXPECT_TRUE(left[0].startsWith(QStringLiteral(".판_B.pdf."))) << left[0].toStdString();
    ASSERT_TRUE(server.ComposeBeginPage(10, 10));
    ASSERT_TRUE(server.ComposeEndPage());
    ASSERT_TRUE(server.ComposeEndDoc()) << server.LastError().toStdString();
    EXPECT_EQ(hidden(), QStringList{QStringLiteral("판_B.pdf")});
}

TEST_F(PDFServerTest, RefusesLibrariesItCannotUseAndThenReturnsZero) {
    struct Case {
        const char* library;
        const char* reason;
    } cases[] = {
        {"/no/such/libpdfcompose.so", "cannot load"},
        {TESSEL_FAKE_LIBRARY_V99, "interface version 99"},
        {TESSEL_FAKE_LIBRARY_V1, "interface version 1"},
    };
    for (const Case& c : cases) {
        CPDFServer server;
        EXPECT_FALSE(server.Load(QString::fromUtf8(c.library)));
        EXPECT_TRUE(server.LoadError().contains(QLatin1String(c.reason)))
            << server.LoadError().toStdString();
        EXPECT_FALSE(server.IsLoaded());
        EXPECT_EQ(server.IsCompose(), 0);
        EXPECT_EQ(server.ComposeBeginDoc(Path("x.pdf")), 0);
        double w, h;
        EXPECT_EQ(server.MiscGetPageSize(Path("x.pdf"), 1, w, h), 0);
        EXPECT_FALSE(server.LastError().isEmpty());
    }
    // A library of the right version that lacks entry points still loads;
    // the missing ones answer 0.
    CPDFServer partial;
    ASSERT_TRUE(partial.Load(QStringLiteral(TESSEL_FAKE_LIBRARY_CURRENT)))
        << partial.LoadError().toStdString();
    EXPECT_EQ(partial.IsCompose(), 1);
    EXPECT_FALSE(partial.HasEntryPoint("PDFLibComposeBeginDocW"));
    EXPECT_EQ(partial.ComposeBeginDoc(Path("x.pdf")), 0);
    EXPECT_EQ(partial.MiscMerge({Path("a.pdf")}, Path("x.pdf")), 0);
    EXPECT_FALSE(QFile::exists(Path("x.pdf")));
}

} // namespace
