#include "pdfbinding/imposeritem.h"
#include "pdfbinding/pdfserver.h"

#include <QFile>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class ImposerItemTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(server.Load(QStringLiteral(TESSEL_PDFCOMPOSE_LIBRARY)))
            << server.LoadError().toStdString();
        // A 90 x 50 mm card, red in its top-left quarter.
        card = dir.filePath(QStringLiteral("주문 0001.pdf"));
        ASSERT_TRUE(server.ComposeBeginDoc(card));
        ASSERT_TRUE(server.ComposeBeginPage(90, 50));
        ASSERT_TRUE(server.ComposeRGBRect(0, 0, 45, 25, 0, -1, -1, -1, 1, 0, 0));
        ASSERT_TRUE(server.ComposeEndPage());
        ASSERT_TRUE(server.ComposeEndDoc()) << server.LastError().toStdString();
    }
    static bool IsRed(QRgb pixel) {
        return qRed(pixel) > 200 && qGreen(pixel) < 80 && qBlue(pixel) < 80;
    }

    QTemporaryDir dir;
    CPDFServer server;
    QString card;
};

TEST_F(ImposerItemTest, RendersThePageAndShowsItAtTheAskedRotation) {
    CImposerItem item;
    item.SetPdfPath(card);
    const QString image = dir.filePath(QStringLiteral("미리 보기 1.jpg"));
    ASSERT_TRUE(item.RenderPage(server, 0, image, 90)) << server.LastError().toStdString();
    EXPECT_NEAR(item.PageWidth(), 90, 0.001);
    EXPECT_NEAR(item.PageHeight(), 50, 0.001);
    CPicture& picture = item.Picture();
    EXPECT_EQ(picture.Path(), image);
    EXPECT_NEAR(picture.Width(), 189, 1) << "its size as shown, turned";
    EXPECT_NEAR(picture.Height(), 340, 1);
    const QImage shown = picture.Image();
    EXPECT_NEAR(shown.width(), 189, 1);
    EXPECT_NEAR(shown.height(), 340, 1);
    // Clockwise: the red top-left quarter is now the top-right one.
    EXPECT_TRUE(IsRed(shown.pixel(shown.width() - 10, 10)));
    EXPECT_FALSE(IsRed(shown.pixel(10, 10)));

    picture.SetRotation(-90); // that is 270
    const QImage turned = picture.Image();
    EXPECT_TRUE(IsRed(turned.pixel(10, turned.height() - 10)));

    // Only the file is kept: a picture whose file is gone shows nothing.
    ASSERT_TRUE(QFile::remove(image));
    EXPECT_TRUE(picture.Image().isNull());
}

TEST_F(ImposerItemTest, FailsWithoutTheFileOrThePage) {
    CImposerItem item;
    const QString image = dir.filePath(QStringLiteral("p.jpg"));
    EXPECT_FALSE(item.RenderPage(server, 0, image, 0)) << "no PDF path";
    item.SetPdfPath(dir.filePath(QStringLiteral("missing.pdf")));
    EXPECT_FALSE(item.RenderPage(server, 0, image, 0));
    item.SetPdfPath(card);
    EXPECT_FALSE(item.RenderPage(server, 1, image, 0)) << "the card has one page";
    EXPECT_FALSE(QFile::exists(image));
    EXPECT_FALSE(item.Picture().IsLoaded());
}

TEST_F(ImposerItemTest, UsesAnExistingImageAndRendersOneThatDoesNotLoad) {
    CImposerItem item;
    item.SetPdfPath(card);
    const QString image = dir.filePath(QStringLiteral("p.jpg"));
    QImage small(10, 8, QImage::Format_RGB32);
    small.fill(Qt::green);
    ASSERT_TRUE(small.save(image, "JPEG"));
    ASSERT_TRUE(item.LoadOrRender(server, 0, image, 0));
    EXPECT_EQ(item.Picture().Width(), 10);

    QFile file(image);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write("not a picture");
    file.close();
    ASSERT_TRUE(item.LoadOrRender(server, 0, image, 180)) << server.LastError().toStdString();
    EXPECT_NEAR(item.Picture().Width(), 340, 1);
    EXPECT_EQ(item.Picture().Rotation(), 180);
}

TEST(PictureTest, DrawsFittedAndCentred) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("red.png"));
    QImage red(40, 20, QImage::Format_RGB32);
    red.fill(Qt::red);
    ASSERT_TRUE(red.save(path));
    struct Case {
        QSizeF natural;
        QRectF box;
        int rotation;
        QRect expected;
    } cases[] = {
        {{100, 50}, {0, 0, 200, 200}, 0, {50, 75, 100, 50}}, // room to spare: natural size, centred
        {{100, 50}, {0, 0, 50, 50}, 0, {0, 12, 50, 26}},     // narrower box: half size
        {{100, 50}, {10, 10, 200, 25}, 0, {85, 10, 50, 25}}, // lower box: scaled by the height
        {{50, 100}, {0, 0, 200, 200}, 90, {75, 50, 50, 100}}, // turned picture, turned natural size
    };
    for (const Case& c : cases) {
        CPicture picture;
        ASSERT_TRUE(picture.Load(path, c.rotation));
        QImage canvas(220, 220, QImage::Format_RGB32);
        canvas.fill(Qt::white);
        {
            QPainter painter(&canvas);
            picture.Draw(painter, c.box, c.natural);
        }
        QRect painted;
        for (int y = 0; y < canvas.height(); ++y)
            for (int x = 0; x < canvas.width(); ++x)
                if (qGreen(canvas.pixel(x, y)) < 128)
                    painted |= QRect(x, y, 1, 1);
        EXPECT_NEAR(painted.x(), c.expected.x(), 1);
        EXPECT_NEAR(painted.y(), c.expected.y(), 1);
        EXPECT_NEAR(painted.width(), c.expected.width(), 1);
        EXPECT_NEAR(painted.height(), c.expected.height(), 1);
    }
}

} // namespace
