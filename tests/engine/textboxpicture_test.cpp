#include "engine/platemarks.h"
#include "engine/textboxpicture.h"
#include "output/pdfserver.h"
#include "records/zelcolorpresets.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
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
    bool made = false;
    QString error;
    ASSERT_TRUE(CTextBoxPicture::MakeIfMissing(box, dir.path(), &colors, &pdf, &made, &error))
        << error.toStdString();
    EXPECT_TRUE(made);
    ASSERT_TRUE(box.name.startsWith(QStringLiteral("tb_")) &&
                box.name.endsWith(QStringLiteral(".emf")));
    const QString picture = CTextBoxPicture::PicturePath(dir.path(), box);
    const QString pdfPath = CPlateMarks::TextBoxPdfPath(dir.path(), box.name);
    EXPECT_TRUE(QSvgRenderer(picture).isValid());
    double w = 0, h = 0;
    ASSERT_TRUE(pdf.MiscGetPageSize(pdfPath, 1, w, h));
    EXPECT_NEAR(w, 60, 0.01);
    EXPECT_NEAR(h, 20, 0.01);

    // Present files are kept; a picture that does not parse is made again under the same name.
    const QString name = box.name;
    ASSERT_TRUE(CTextBoxPicture::MakeIfMissing(box, dir.path(), &colors, &pdf, &made));
    EXPECT_FALSE(made);
    QFile broken(picture);
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly | QIODevice::Truncate));
    broken.write("not a picture");
    broken.close();
    ASSERT_TRUE(CTextBoxPicture::MakeIfMissing(box, dir.path(), &colors, &pdf, &made));
    EXPECT_TRUE(made);
    EXPECT_EQ(box.name, name);
    EXPECT_TRUE(QSvgRenderer(picture).isValid());

    // A stored name that would lead out of the work folder is refused.
    box.name = QStringLiteral("../x.emf");
    EXPECT_FALSE(CTextBoxPicture::Make(box, dir.path(), &colors, &pdf, &error));
}
