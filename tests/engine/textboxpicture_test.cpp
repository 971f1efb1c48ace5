#include "engine/tesseldoc.h"
#include "engine/textboxpicture.h"
#include "pdfbinding/pdfserver.h"
#include "records/zelcolorpresets.h"
#include "tests/succeeded.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPainter>
#include <QSvgRenderer>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class TextBoxPicture : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (!QCoreApplication::instance()) {
            static int argc = 1;
            static char name[] = "engine_tests";
            static char* argv[] = {name, nullptr};
            new QGuiApplication(argc, argv);
        }
    }
    void SetUp() override {
        ASSERT_TRUE(pdf.Load(QStringLiteral(TESSEL_PDFCOMPOSE_LIBRARY)))
            << pdf.LoadError().toStdString();
        box.width = 60, box.height = 20;
        box.text = QStringLiteral("한글 상자");
        box.contentColor = QStringLiteral(" [C=0 M=0 Y=100 K=0]");
        box.frameColor = QStringLiteral(" [ Black ]");
        box.font.lfHeight = -16;
    }
    QTemporaryDir dir;
    CPDFServer pdf;
    CZelColorPresets colors;
    TextBox box;
};

} // namespace

TEST_F(TextBoxPicture, NamedMadeAndMadeAgainWhenMissing) {
    EXPECT_EQ(CTextBoxPicture::MakeName(QDateTime(QDate(2026, 3, 4), QTime(5, 6, 7))),
              QStringLiteral("tb_260304050607.emf"));
    Result<bool> made = CTextBoxPicture::MakeIfMissing(box, dir.path(), &colors, &pdf);
    ASSERT_TRUE(Succeeded(made));
    EXPECT_TRUE(made.value());
    ASSERT_TRUE(box.name.startsWith(QStringLiteral("tb_")) &&
                box.name.endsWith(QStringLiteral(".emf")));
    const QString picture = CTextBoxPicture::PicturePath(dir.path(), box);
    const QString pdfPath = CTextBoxPicture::PdfPath(dir.path(), box);
    EXPECT_TRUE(QSvgRenderer(picture).isValid());
    double w = 0, h = 0;
    ASSERT_TRUE(pdf.MiscGetPageSize(pdfPath, 1, w, h));
    EXPECT_NEAR(w, 60, 0.01);
    EXPECT_NEAR(h, 20, 0.01);

    // Present files are kept; a picture that does not parse is made again under the same name.
    const QString name = box.name;
    made = CTextBoxPicture::MakeIfMissing(box, dir.path(), &colors, &pdf);
    ASSERT_TRUE(Succeeded(made));
    EXPECT_FALSE(made.value());
    QFile broken(picture);
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly | QIODevice::Truncate));
    broken.write("not a picture");
    broken.close();
    made = CTextBoxPicture::MakeIfMissing(box, dir.path(), &colors, &pdf);
    ASSERT_TRUE(Succeeded(made));
    EXPECT_TRUE(made.value());
    EXPECT_EQ(box.name, name);
    EXPECT_TRUE(QSvgRenderer(picture).isValid());
}

TEST_F(TextBoxPicture, NamesThatLeaveTheWorkFolderAreMadeAnew) {
    const QString work = dir.filePath(QStringLiteral("plate"));
    const QString names[] = {
        QStringLiteral("../x.emf"),  QStringLiteral("C:x.emf"),
        QStringLiteral("sub/x.emf"), QStringLiteral("sub\\x.emf"),
        QStringLiteral(".."),        QStringLiteral("x") + QChar(0) + QStringLiteral("y.emf")};
    QStringList given;
    for (const QString& name : names) {
        box.name = name;
        ASSERT_TRUE(Succeeded(CTextBoxPicture::MakeIfMissing(box, work, &colors, &pdf)));
        EXPECT_TRUE(box.name.startsWith(QStringLiteral("tb_"))) << box.name.toStdString();
        // All made within a second or two, yet each with files of its own.
        EXPECT_FALSE(given.contains(box.name)) << box.name.toStdString();
        given << box.name;
        EXPECT_TRUE(QFileInfo(CTextBoxPicture::PicturePath(work, box)).isFile());
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
              QStringList{QStringLiteral("plate")});
}

TEST_F(TextBoxPicture, APlateWithSuchANameOpensRenamedAndModified) {
    const QString plates = dir.filePath(QStringLiteral("plates"));
    const QString plate = plates + QStringLiteral("/P-1.tzmp");
    QDir().mkpath(plates);
    {
        CTesselDoc doc;
        box.name = QStringLiteral("../x.emf");
        doc.SetTextBoxes({box});
        ASSERT_TRUE(doc.Save(plate));
    }
    ShopContext context;
    context.colors = &colors;
    context.pdf = &pdf;
    CTesselDoc doc;
    doc.SetContext(context);
    ASSERT_TRUE(doc.Open(plate));
    EXPECT_TRUE(doc.IsModified());
    const QString name = doc.TextBoxes().at(0).name;
    EXPECT_TRUE(name.startsWith(QStringLiteral("tb_"))) << name.toStdString();
    EXPECT_TRUE(
        QFileInfo(CTextBoxPicture::PdfPath(doc.WorkFolder(), doc.TextBoxes().at(0))).isFile());
    EXPECT_EQ(QDir(plates).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
              (QStringList{QStringLiteral("P-1"), QStringLiteral("P-1.tzmp")}));

    // Saved, it keeps the new name.
    ASSERT_TRUE(doc.Save(plate));
    CTesselDoc again;
    again.SetContext(context);
    ASSERT_TRUE(again.Open(plate));
    EXPECT_FALSE(again.IsModified());
    EXPECT_EQ(again.TextBoxes().at(0).name, name);
}

TEST_F(TextBoxPicture, UnknownColoursShowWhiteButTheTextStaysVisible) {
    auto render = [&](const QString& frameColor) {
        box.name.clear();
        box.frameColor = frameColor;
        box.contentColor = box.textColor = QStringLiteral("다른 작업장의 색");
        EXPECT_TRUE(Succeeded(CTextBoxPicture::Make(box, dir.path(), &colors, nullptr)));
        QSvgRenderer svg(CTextBoxPicture::PicturePath(dir.path(), box));
        QImage image(svg.defaultSize(), QImage::Format_ARGB32);
        image.fill(QColor(128, 128, 128));
        QPainter painter(&image);
        svg.render(&painter);
        return image;
    };
    auto darkPixels = [](const QImage& image) {
        int dark = 0;
        for (int y = 1; y < image.height() - 1; ++y)
            for (int x = 1; x < image.width() - 1; ++x)
                dark += qGray(image.pixel(x, y)) < 100;
        return dark;
    };
    const QImage unknown = render(QStringLiteral("다른 작업장의 색"));
    const int middle = unknown.height() / 2;
    EXPECT_GT(qGray(unknown.pixel(0, middle)), 240); // frame
    EXPECT_GT(qGray(unknown.pixel(2, 2)), 240);      // content
    EXPECT_GT(darkPixels(unknown), 0);               // the text, as the press prints it
    const QImage known = render(QStringLiteral(" [ Black ]"));
    EXPECT_LT(qGray(known.pixel(0, middle)), 100);
}
