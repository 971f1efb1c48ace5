#include "clirun.h"

#include "markup/cp949.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

void WriteRecord(const QString& path, const char* type, const QString& body) {
    const QString text =
        QStringLiteral(
            "<?xml version=\"1.0\" encoding=\"euc-kr\"?>\r\n<TESSEL_DOCUMENT_MARKUPS>\r\n"
            "   <DOCUMENT_TYPE>\"%1\"</DOCUMENT_TYPE>\r\n   <VERSION>\"1.0\"</VERSION>\r\n%2"
            "</TESSEL_DOCUMENT_MARKUPS>\r\n")
            .arg(QLatin1String(type), body);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(cp949::FromUnicode(text));
}

void WriteTicket(const QString& folder, const QString& order, int cases, const QString& quantity,
                 const QString& width) {
    WriteRecord(
        QDir(folder).filePath(order + QStringLiteral(".tzjob")), "Tessel Job Ticket",
        QStringLiteral(
            "   <Ordernum>\"%1\"</Ordernum>\r\n   <Color>4</Color>\r\n   <PDFPage>2</PDFPage>\r\n"
            "   <Width>%2</Width>\r\n   <Height>50.000</Height>\r\n   <Pcases>%3</Pcases>\r\n"
            "   <Quantity>%4</Quantity>\r\n   <Mmemo>\"급함\"</Mmemo>\r\n")
            .arg(order, width)
            .arg(cases)
            .arg(quantity));
}

} // namespace

TEST(JobsCli, ListsAFolderAsTheOrderList) {
    QTemporaryDir temp;
    const QString folder = QDir(temp.path()).filePath(QStringLiteral("명함 주문"));
    QDir().mkpath(folder);
    WriteTicket(folder, QStringLiteral("주문-2"), 2, QStringLiteral("1200"),
                QStringLiteral("90.000"));
    WriteTicket(folder, QStringLiteral("주문-1"), 1, QStringLiteral("300.5"),
                QStringLiteral("100.000"));

    const CliRun run = Cli({QStringLiteral("jobs"), QStringLiteral("list"), folder,
                            QStringLiteral("--plate-quantity"), QStringLiteral("500"),
                            QStringLiteral("--grid"), QStringLiteral("92"), QStringLiteral("52")});
    ASSERT_EQ(run.code, 0) << run.err.toStdString();
    const QStringList lines = run.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 4);
    EXPECT_EQ(lines.at(0), QStringLiteral("명함 주문 [2 항목, 3 건, 8 자리]"));
    EXPECT_TRUE(lines.at(1).startsWith(QStringLiteral("주문번호\t접수")));
    const QStringList first = lines.at(2).split(QLatin1Char('\t'));
    ASSERT_EQ(first.size(), 19);
    EXPECT_EQ(first.at(0), QStringLiteral("주문-1"));
    EXPECT_EQ(first.at(5), QStringLiteral("4(양면)"));
    EXPECT_EQ(first.at(8), QStringLiteral("100 mm * 50 mm"));
    EXPECT_EQ(first.at(9), QStringLiteral("300.5"));
    EXPECT_EQ(first.at(11), QStringLiteral("2(1)"));
    EXPECT_EQ(lines.at(3).split(QLatin1Char('\t')).at(11), QStringLiteral("6(6)"));

    const CliRun noGrid = Cli({QStringLiteral("jobs"), QStringLiteral("list"), folder,
                               QStringLiteral("--grid"), QStringLiteral("0"), QStringLiteral("0")});
    // A grid without cells is a usage error, not a list without places.
    EXPECT_EQ(noGrid.code, 2);
    EXPECT_TRUE(noGrid.out.isEmpty());

    const CliRun missing = Cli({QStringLiteral("jobs"), QStringLiteral("list"),
                                QDir(temp.path()).filePath(QStringLiteral("없음"))});
    EXPECT_NE(missing.code, 0);
    EXPECT_TRUE(missing.err.contains(QStringLiteral("no such folder")));
    EXPECT_EQ(Cli({QStringLiteral("jobs"), QStringLiteral("list"), folder, QStringLiteral("--grid"),
                   QStringLiteral("3")})
                  .code,
              2);
}

TEST(JobsCli, DumpTellsTheTablesOfOneExtensionApart) {
    QTemporaryDir temp;
    const QString colors = QDir(temp.path()).filePath(QStringLiteral("색상.tzst"));
    const QString marks = QDir(temp.path()).filePath(QStringLiteral("표시.tzst"));
    const QString other = QDir(temp.path()).filePath(QStringLiteral("기타.tzst"));
    WriteRecord(colors, "Tessel Color Presets",
                QStringLiteral("   <COLOR_PRESET>\r\n      <COLOR_NAME>\"금\"</COLOR_NAME>\r\n     "
                               " <C>20</C>\r\n   </COLOR_PRESET>\r\n"));
    WriteRecord(
        marks, "Tessel Press Mark Presets",
        QStringLiteral(
            "   <PRESS_MARK>\r\n      <MEDIA_WIDE>200.5</MEDIA_WIDE>\r\n   </PRESS_MARK>\r\n"));
    WriteRecord(other, "Other", QString());

    EXPECT_TRUE(Cli({QStringLiteral("markup"), QStringLiteral("dump"), colors})
                    .out.contains(QStringLiteral("C (I) = 20")));
    EXPECT_TRUE(Cli({QStringLiteral("markup"), QStringLiteral("dump"), marks})
                    .out.contains(QStringLiteral("MEDIA_WIDE (D) = 200.5")));
    const CliRun unknown = Cli({QStringLiteral("markup"), QStringLiteral("dump"), other});
    EXPECT_NE(unknown.code, 0);
    EXPECT_TRUE(unknown.err.contains(QStringLiteral("--kind")));
    EXPECT_EQ(Cli({QStringLiteral("markup"), QStringLiteral("dump"), other,
                   QStringLiteral("--kind"), QStringLiteral("tzst-color")})
                  .code,
              0);

    // A record the program writes comes back byte for byte.
    const QString account = QDir(temp.path()).filePath(QStringLiteral("홍길동.tzuac"));
    WriteRecord(
        account, "Tessel User Account",
        QStringLiteral(
            "   <REAL_NAME>\"홍길동\"</REAL_NAME>\r\n   <PASS_WORD>\"a$$2fb\"</PASS_WORD>\r\n"
            "   <LOGIN>\"2011-3-7 9:5:3\"</LOGIN>\r\n   <LOGOUT></LOGOUT>\r\n"));
    const QString copy = QDir(temp.path()).filePath(QStringLiteral("사본.tzuac"));
    ASSERT_EQ(Cli({QStringLiteral("markup"), QStringLiteral("resave"), account, copy}).code, 0);
    QFile a(account), b(copy);
    ASSERT_TRUE(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
    EXPECT_EQ(a.readAll(), b.readAll());
}
