#include "records/zeldocumentpreset.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct CliRun {
    int exitCode = -1;
    QString out;
    QString err;
};

CliRun Cli(const QStringList& arguments) {
    QProcess process;
    process.start(QStringLiteral(TESSEL_CLI), arguments);
    process.waitForFinished(60000);
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

TEST(CliMarkup, DumpAndResaveAPreset) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("명함.tzdp"));
    CZelDocumentPreset preset;
    preset.Name() = QStringLiteral("명함");
    preset.Width() = 636.0;
    preset.Quantity() = 2.5;
    preset.PressUnit() = std::int32_t(1);
    ASSERT_TRUE(preset.Save(path));

    const CliRun dump = Cli({QStringLiteral("markup"), QStringLiteral("dump"), path});
    EXPECT_EQ(dump.exitCode, 0) << dump.err.toStdString();
    EXPECT_TRUE(dump.out.startsWith(QStringLiteral("TESSEL_DOCUMENT_MARKUPS (T)\n"
                                                   "   DOCUMENT_TYPE (T) = Imposer Document Preset\n"
                                                   "   VERSION (T) = 1.0\n"
                                                   "   NAME (T) = 명함\n"
                                                   "   PLATE_INFORMATION\n")))
        << dump.out.toStdString();
    EXPECT_TRUE(dump.out.contains(QStringLiteral("\n      QUANTITY (D) = 2.5\n")));
    EXPECT_TRUE(dump.out.contains(QStringLiteral("\n      PRESS_UNIT (I) = 1\n")));
    EXPECT_TRUE(dump.out.contains(QStringLiteral("\n      WIDTH (D) = 636\n")));

    // The same file read as a document, with the kind named.
    const QString copy = dir.filePath(QStringLiteral("copy.bin"));
    const CliRun resave = Cli({QStringLiteral("markup"), QStringLiteral("resave"), path, copy, QStringLiteral("--kind"), QStringLiteral("tzmp")});
    EXPECT_EQ(resave.exitCode, 0) << resave.err.toStdString();
    EXPECT_EQ(ReadAll(copy), ReadAll(path));
}

TEST(CliMarkup, FailuresExitNonZeroWithOneLine) {
    QTemporaryDir dir;
    const QString bad = dir.filePath(QStringLiteral("bad.tzdp"));
    QFile file(bad);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("<?xml version=\"1.0\"?>\r\n");
    file.close();

    const QStringList cases[] = {
        {QStringLiteral("markup"), QStringLiteral("dump"), dir.filePath(QStringLiteral("missing.tzdp"))},
        {QStringLiteral("markup"), QStringLiteral("dump"), dir.path(), QStringLiteral("--kind"), QStringLiteral("tzdp")},
        {QStringLiteral("markup"), QStringLiteral("dump"), bad},
        {QStringLiteral("markup"), QStringLiteral("dump"), dir.filePath(QStringLiteral("x.unknown"))},
        {QStringLiteral("markup"), QStringLiteral("dump"), bad, QStringLiteral("--kind"), QStringLiteral("nope")},
        {QStringLiteral("markup"), QStringLiteral("dump")},
        {QStringLiteral("markup"), QStringLiteral("resave"), bad, dir.filePath(QStringLiteral("out.tzdp"))},
        {QStringLiteral("no-such-command")},
    };
    for (const QStringList& args : cases) {
        const CliRun run = Cli(args);
        EXPECT_NE(run.exitCode, 0) << args.join(QLatin1Char(' ')).toStdString();
        EXPECT_EQ(run.err.count(QLatin1Char('\n')), 1) << run.err.toStdString();
        EXPECT_TRUE(run.err.startsWith(QStringLiteral("tessel-cli: "))) << run.err.toStdString();
    }
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("out.tzdp"))));
}
