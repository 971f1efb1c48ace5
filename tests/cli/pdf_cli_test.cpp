#include "clirun.h"

#include <QFileInfo>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QString kCard = QStringLiteral(TESSEL_TEST_DATA "/pdf/card-rotated.pdf");

TEST(PdfCommandsTest, InfoShowsPagesAsAViewerTurnsThem) {
    CliRun result = Cli({QStringLiteral("pdf"), QStringLiteral("info"), kCard});
    EXPECT_EQ(result.code, 0) << result.err.toStdString();
    EXPECT_TRUE(result.out.contains(QStringLiteral(": 1 page, PDF 1.4")));
    EXPECT_TRUE(result.out.contains(QStringLiteral("page 1: 49.999 mm * 90.001 mm")))
        << result.out.toStdString();
}

TEST(PdfCommandsTest, PreviewWritesTheImageAndRefusesBadInput) {
    QTemporaryDir dir;
    const QString image = dir.filePath(QStringLiteral("미리 보기.jpg"));
    CliRun result = Cli({QStringLiteral("pdf"), QStringLiteral("preview"), kCard, image,
                         QStringLiteral("--rotate"), QStringLiteral("90")});
    ASSERT_EQ(result.code, 0) << result.err.toStdString();
    EXPECT_EQ(QImage(image).size(), QSize(189, 340)) << "the stored image is not turned";
    EXPECT_TRUE(result.out.contains(QStringLiteral("340 x 189 pixels")))
        << result.out.toStdString();

    const QString missing = dir.filePath(QStringLiteral("missing.pdf"));
    result = Cli({QStringLiteral("pdf"), QStringLiteral("preview"), missing,
                  dir.filePath(QStringLiteral("m.jpg"))});
    EXPECT_EQ(result.code, 1);
    EXPECT_TRUE(result.err.startsWith(QStringLiteral("tessel-cli: "))) << result.err.toStdString();
    result = Cli({QStringLiteral("pdf"), QStringLiteral("info"),
                  QStringLiteral(TESSEL_TEST_DATA "/markup/golden.tzdp")});
    EXPECT_EQ(result.code, 1);
    EXPECT_TRUE(result.err.contains(QStringLiteral("golden.tzdp: not a PDF file")))
        << result.err.toStdString();
}

} // namespace
