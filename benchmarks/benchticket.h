#pragma once

// A job ticket of about 1.5 KB, as a shop's order system writes them, for the
// job folder benchmarks: order n of a folder of cards.

#include "markup/cp949.h"

#include <QByteArray>
#include <QString>

inline QByteArray BenchTicket(int n) {
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
