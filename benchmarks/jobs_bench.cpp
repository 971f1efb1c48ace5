// A job folder of 10,000 tickets of about 1.5 KB: reading it whole (warm
// cache) and asking whether it changed.

#include "markup/cp949.h"
#include "records/zeljobcontainer.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

constexpr int kTickets = 10000;

QByteArray Ticket(int n) {
    QString text = QStringLiteral(
        "<?xml version=\"1.0\" encoding=\"euc-kr\"?>\r\n<TESSEL_DOCUMENT_MARKUPS>\r\n"
        "   <DOCUMENT_TYPE>\"Tessel Job Ticket\"</DOCUMENT_TYPE>\r\n   "
        "<VERSION>\"1.0\"</VERSION>\r\n");
    auto key = [&text](const char* name, const QString& value) {
        text += QStringLiteral("   <%1>%2</%1>\r\n").arg(QLatin1String(name), value);
    };
    auto quoted = [&key](const char* name, const QString& value) {
        key(name, QLatin1Char('"') + value + QLatin1Char('"'));
    };
    quoted("Location", QStringLiteral("\\명함\\일반"));
    quoted("Ordernum", QStringLiteral("2011-0307-%1").arg(n, 5, 10, QLatin1Char('0')));
    quoted("BranchShop", QStringLiteral("강남 지점"));
    quoted("Rework", QStringLiteral("일반"));
    quoted("ROKDate", QStringLiteral("2011-03-07 09:05:03"));
    quoted("Product", QStringLiteral("명함"));
    quoted("Kind", QStringLiteral("고급 명함"));
    key("Color", QStringLiteral("4"));
    key("PDFPage", QStringLiteral("2"));
    quoted("Paper", QStringLiteral("스노우화이트 250g"));
    quoted("SizeKind", QStringLiteral("90 x 50"));
    key("Width", QStringLiteral("90.000"));
    key("Height", QStringLiteral("50.000"));
    key("Pcases", QString::number(1 + n % 4));
    key("Quantity", QStringLiteral("1000.0"));
    key("PQuantity", QStringLiteral("1000"));
    quoted("DeliveryM", QStringLiteral("택배"));
    quoted("DeliveryA", QStringLiteral("서울특별시 강남구 테헤란로 123, 4층"));
    quoted("Uid", QStringLiteral("user%1").arg(n));
    quoted("Ucom", QStringLiteral("테셀 디자인"));
    quoted("Uname", QStringLiteral("홍길동"));
    quoted("Utel", QStringLiteral("02-123-4567"));
    quoted("UHP", QStringLiteral("010-1234-5678"));
    quoted("ReceiptS", QStringLiteral("김접수"));
    quoted("Pcom", QStringLiteral("테셀 인쇄"));
    quoted("Pname", QStringLiteral("이담당"));
    quoted("Mmemo", QStringLiteral("재단 주의, 색상 확인 후 진행 바랍니다"));
    for (const char* list : {"AfterWorkList", "AfterWorkList2"}) {
        text += QStringLiteral("   <%1>\r\n").arg(QLatin1String(list));
        for (int i = 0; i < 1; ++i) {
            text += QStringLiteral(
                "      <AfterWork>\r\n         <Name>\"코팅\"</Name>\r\n         "
                "<EName>\"Coating\"</EName>\r\n"
                "         <SubName>\"무광 코팅 양면\"</SubName>\r\n      </AfterWork>\r\n");
        }
        text += QStringLiteral("   </%1>\r\n").arg(QLatin1String(list));
    }
    text += QStringLiteral("</TESSEL_DOCUMENT_MARKUPS>\r\n");
    return cp949::FromUnicode(text);
}

class JobFolder {
public:
    JobFolder() : m_folder(QDir(m_temp.path()).filePath(QStringLiteral("명함"))) {
        QDir().mkpath(m_folder);
        for (int n = 0; n < kTickets; ++n) {
            QFile file(QDir(m_folder).filePath(QStringLiteral("주문-%1.tzjob").arg(n)));
            if (file.open(QIODevice::WriteOnly))
                file.write(Ticket(n));
        }
    }
    const QString& Folder() const { return m_folder; }

private:
    QTemporaryDir m_temp;
    QString m_folder;
};

const JobFolder& Folder() {
    static const JobFolder folder;
    return folder;
}

void BM_Refresh10000Tickets(benchmark::State& state) {
    CZelJobContainer list(QStringLiteral("명함"), Folder().Folder());
    list.Refresh(true); // warms the cache
    for (auto _ : state)
        benchmark::DoNotOptimize(list.Refresh(true));
    state.counters["tickets"] = list.Count();
    state.counters["ticket_bytes"] = static_cast<double>(Ticket(0).size());
}
BENCHMARK(BM_Refresh10000Tickets)->Unit(benchmark::kMillisecond)->MinTime(3.0);

void BM_NeedsRefreshUnchanged(benchmark::State& state) {
    CZelJobContainer list(QStringLiteral("명함"), Folder().Folder());
    list.Refresh(true);
    for (auto _ : state)
        benchmark::DoNotOptimize(list.NeedsRefresh());
}
BENCHMARK(BM_NeedsRefreshUnchanged)->Unit(benchmark::kMicrosecond);

void BM_SummaryOf10000Tickets(benchmark::State& state) {
    CZelJobContainer list(QStringLiteral("명함"), Folder().Folder());
    list.Refresh(true);
    for (auto _ : state)
        benchmark::DoNotOptimize(list.Summary(500, 92, 52));
}
BENCHMARK(BM_SummaryOf10000Tickets)->Unit(benchmark::kMillisecond);

} // namespace
