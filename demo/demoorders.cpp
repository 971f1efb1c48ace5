#include "demoorders.h"

namespace demoorders {

namespace {

const QString kGeneralCards = QStringLiteral("명함/일반");
const QString kPremiumCards = QStringLiteral("명함/고급");
const QString kStickers = QStringLiteral("스티커");

} // namespace

QString ReceptionDate() {
    return QStringLiteral("2024-03-11");
}

QString ReceivingStaff(int index) {
    static const QStringList staff{QStringLiteral("이수진"), QStringLiteral("박준영"),
                                   QStringLiteral("최하나")};
    return staff.at(index % staff.size());
}

QString ProductOf(const Order& order) {
    return order.folder.section(QLatin1Char('/'), 0, 0);
}

const std::vector<Customer>& Customers() {
    static const std::vector<Customer> customers{
        {QStringLiteral("kimmh01"),
         QStringLiteral("한빛소프트웨어"),
         QStringLiteral("김민호"),
         QStringLiteral("개발팀장"),
         QStringLiteral("02-555-1204"),
         QStringLiteral("010-2345-1204"),
         QStringLiteral("mhkim@hanbitsw.co.kr"),
         QStringLiteral("서울특별시 강남구 테헤란로 152, 11층"),
         {100, 60, 0, 10},
         {0, 40, 100, 0},
         0},
        {QStringLiteral("parksy"),
         QStringLiteral("서울치과의원"),
         QStringLiteral("박서연"),
         QStringLiteral("원장"),
         QStringLiteral("02-736-2875"),
         QStringLiteral("010-8812-2875"),
         QStringLiteral("seoul.dental@naver.com"),
         QStringLiteral("서울특별시 종로구 종로 33, 3층"),
         {70, 0, 20, 0},
         {0, 0, 0, 60},
         1},
        {QStringLiteral("leejh77"),
         QStringLiteral("카페 느린하루"),
         QStringLiteral("이지훈"),
         QStringLiteral("대표"),
         QStringLiteral("031-704-1187"),
         QStringLiteral("010-4471-1187"),
         QStringLiteral("slowday.cafe@gmail.com"),
         QStringLiteral("경기도 성남시 분당구 정자일로 45"),
         {30, 60, 90, 30},
         {0, 20, 60, 0},
         2},
        {QStringLiteral("choiyj"),
         QStringLiteral("법무법인 정도"),
         QStringLiteral("최유진"),
         QStringLiteral("변호사"),
         QStringLiteral("02-3476-5500"),
         QStringLiteral("010-9023-5500"),
         QStringLiteral("yjchoi@jeongdo-law.kr"),
         QStringLiteral("서울특별시 서초구 서초대로 254, 8층"),
         {100, 90, 10, 30},
         {20, 30, 70, 10},
         3},
        {QStringLiteral("jungdw"),
         QStringLiteral("대웅부동산"),
         QStringLiteral("정다운"),
         QStringLiteral("공인중개사"),
         QStringLiteral("032-428-7733"),
         QStringLiteral("010-5538-7733"),
         QStringLiteral("daewoong.re@daum.net"),
         QStringLiteral("인천광역시 남동구 인하로 501"),
         {0, 90, 85, 0},
         {0, 0, 0, 80},
         0},
        {QStringLiteral("kangmj"),
         QStringLiteral("민재헤어"),
         QStringLiteral("강민재"),
         QStringLiteral("원장"),
         QStringLiteral("051-802-3390"),
         QStringLiteral("010-7720-3390"),
         QStringLiteral("minjaehair@naver.com"),
         QStringLiteral("부산광역시 부산진구 중앙대로 680"),
         {0, 0, 0, 90},
         {0, 80, 10, 0},
         1},
        {QStringLiteral("yoonsh"),
         QStringLiteral("윤스튜디오"),
         QStringLiteral("윤소희"),
         QStringLiteral("포토그래퍼"),
         QStringLiteral("02-333-6120"),
         QStringLiteral("010-3312-6120"),
         QStringLiteral("hello@yoonstudio.kr"),
         QStringLiteral("서울특별시 마포구 와우산로 94"),
         {60, 0, 0, 80},
         {0, 30, 100, 0},
         3},
        {QStringLiteral("hanjw"),
         QStringLiteral("한결건축사사무소"),
         QStringLiteral("한재원"),
         QStringLiteral("건축사"),
         QStringLiteral("042-486-2211"),
         QStringLiteral("010-6621-2211"),
         QStringLiteral("jwhan@hangyeol-arch.com"),
         QStringLiteral("대전광역시 서구 둔산로 100"),
         {0, 0, 0, 100},
         {0, 60, 100, 0},
         2},
        {QStringLiteral("seohn"),
         QStringLiteral("꽃집 하늘"),
         QStringLiteral("서하늘"),
         QStringLiteral("플로리스트"),
         QStringLiteral("053-422-0815"),
         QStringLiteral("010-2284-0815"),
         QStringLiteral("haneul.flower@gmail.com"),
         QStringLiteral("대구광역시 중구 동성로 12"),
         {0, 70, 20, 0},
         {60, 0, 90, 0},
         0},
        {QStringLiteral("ohsm"),
         QStringLiteral("오늘의빵"),
         QStringLiteral("오수민"),
         QStringLiteral("제빵사"),
         QStringLiteral("062-371-5051"),
         QStringLiteral("010-9915-5051"),
         QStringLiteral("todaybread@naver.com"),
         QStringLiteral("광주광역시 서구 상무중앙로 78"),
         {10, 50, 100, 0},
         {40, 80, 100, 40},
         1},
        {QStringLiteral("limgh"),
         QStringLiteral("임가네 족발"),
         QStringLiteral("임건후"),
         QStringLiteral("사장"),
         QStringLiteral("02-2235-8892"),
         QStringLiteral("010-4402-8892"),
         QStringLiteral("limjokbal@daum.net"),
         QStringLiteral("서울특별시 중구 장충단로 174"),
         {15, 100, 100, 0},
         {0, 20, 100, 0},
         2},
        {QStringLiteral("songej"),
         QStringLiteral("송이네 수제잼"),
         QStringLiteral("송은지"),
         QStringLiteral("대표"),
         QStringLiteral("033-642-7710"),
         QStringLiteral("010-3390-7710"),
         QStringLiteral("songijam@gmail.com"),
         QStringLiteral("강원특별자치도 강릉시 경강로 2021"),
         {0, 100, 60, 10},
         {75, 5, 100, 0},
         3},
    };
    return customers;
}

const std::vector<Order>& Orders() {
    const QString snow = QStringLiteral("스노우지 250g");
    const QString nouveau = QStringLiteral("반누보 210g");
    const QString rendezvous = QStringLiteral("랑데뷰 240g");
    const QString artSticker = QStringLiteral("아트지 스티커 90g");
    const QString yupo = QStringLiteral("유포지 스티커");
    const QString card = QStringLiteral("일반명함");
    const QString premium = QStringLiteral("고급명함");
    const QString round = QStringLiteral("원형스티커");
    const QString square = QStringLiteral("사각스티커");
    const QString main = QStringLiteral("본점");
    const QString gangnam = QStringLiteral("강남점");
    const QString busan = QStringLiteral("부산지점");
    const QString fresh = QStringLiteral("신규");
    const QString again = QStringLiteral("재주문");
    const QString parcel = QStringLiteral("택배");
    const QString visit = QStringLiteral("방문수령");
    const QString quick = QStringLiteral("퀵서비스");
    auto list = [](std::initializer_list<const char16_t*> steps) {
        QStringList out;
        for (const char16_t* step : steps)
            out << QString::fromUtf16(step);
        return out;
    };
    // clang-format off
    // folder, ordernum, branch, reception, kind, paper, customer, width, height, pages, colours,
    // cases, quantity, press quantity, bleed, after-work, after-work 2, memo, delivery
    static const std::vector<Order> orders{
        {kGeneralCards, QStringLiteral("BC2403110001"), main, fresh, card, snow, 0, 90, 50, 1, 4, 1, 200, 0, 0, {}, {}, {}, parcel},
        {kGeneralCards, QStringLiteral("BC2403110002"), main, again, card, snow, 1, 90, 50, 2, 4, 2, 500, 0, 0, {}, {}, {}, visit},
        {kGeneralCards, QStringLiteral("BC2403110003"), gangnam, fresh, card, snow, 2, 90, 50, 1, 4, 1, 1000, 0, 2, {}, {}, {}, parcel},
        {kGeneralCards, QStringLiteral("BC2403110004"), main, fresh, card, snow, 3, 86, 52, 1, 1, 1, 200, 0, 0, {}, {}, {}, quick},
        {kGeneralCards, QStringLiteral("BC2403110005"), busan, again, card, snow, 4, 90, 50, 2, 4, 3, 200, 0, 2, {}, {}, {}, parcel},
        {kGeneralCards, QStringLiteral("BC2403110006"), busan, fresh, card, snow, 5, 50, 90, 1, 4, 1, 500, 0, 2, {}, {}, {}, parcel},
        {kGeneralCards, QStringLiteral("BC2403110007"), main, fresh, card, snow, 6, 90, 50, 1, 4, 1, 2000, 2000, 0, {}, {}, {}, visit},
        {kGeneralCards, QStringLiteral("BC2403110008"), gangnam, again, card, snow, 7, 86, 52, 2, 4, 2, 500, 0, 0, {}, {}, {}, parcel},
        {kGeneralCards, QStringLiteral("BC2403110009"), main, fresh, card, snow, 8, 90, 50, 1, 4, 1, 200, 0, 0, {}, {}, QStringLiteral("로고 분홍색을 시안보다 진하게 요청. 인쇄 전 전화 확인."), quick},
        {kGeneralCards, QStringLiteral("BC2403110010"), busan, fresh, card, snow, 9, 50, 90, 2, 4, 1, 200, 0, 2, {}, {}, {}, parcel},
        {kGeneralCards, QStringLiteral("BC2403110011"), main, again, card, snow, 10, 90, 50, 1, 4, 4, 200, 0, 0, {}, {}, {}, visit},
        {kGeneralCards, QStringLiteral("BC2403110012"), gangnam, fresh, card, snow, 11, 90, 50, 2, 4, 1, 1000, 1000, 2, {}, {}, {}, parcel},
        {kPremiumCards, QStringLiteral("BC2403110013"), main, fresh, premium, nouveau, 3, 90, 50, 2, 4, 1, 200, 0, 2, list({u"귀도리"}), {}, {}, quick},
        {kPremiumCards, QStringLiteral("BC2403110014"), gangnam, fresh, premium, rendezvous, 7, 90, 50, 2, 4, 2, 500, 0, 0, list({u"박(금박)"}), list({u"형압"}), {}, parcel},
        {kPremiumCards, QStringLiteral("BC2403110015"), main, again, premium, nouveau, 1, 86, 52, 2, 4, 1, 200, 0, 0, list({u"코팅(무광)"}), {}, {}, visit},
        {kPremiumCards, QStringLiteral("BC2403110016"), main, fresh, premium, rendezvous, 6, 50, 90, 2, 4, 1, 500, 0, 2, list({u"귀도리", u"코팅(무광)"}), {}, {}, parcel},
        {kPremiumCards, QStringLiteral("BC2403110017"), busan, fresh, premium, nouveau, 0, 90, 50, 1, 4, 1, 1000, 0, 0, list({u"박(은박)"}), {}, {}, parcel},
        {kPremiumCards, QStringLiteral("BC2403110018"), gangnam, again, premium, rendezvous, 4, 90, 50, 2, 4, 3, 200, 0, 0, {}, {}, {}, quick},
        {kPremiumCards, QStringLiteral("BC2403110019"), main, fresh, premium, nouveau, 2, 90, 50, 2, 4, 1, 500, 0, 0, {}, list({u"오시"}), QStringLiteral("뒷면 지도 위치 수정본으로 교체됨 (3/11 14시)."), parcel},
        {kPremiumCards, QStringLiteral("BC2403110020"), busan, fresh, premium, rendezvous, 10, 86, 52, 1, 4, 2, 200, 0, 2, list({u"귀도리"}), {}, {}, visit},
        {kStickers, QStringLiteral("ST2403110021"), main, fresh, round, artSticker, 2, 60, 60, 1, 4, 1, 1000, 0, 0, list({u"도무송(원형)"}), {}, {}, parcel},
        {kStickers, QStringLiteral("ST2403110022"), gangnam, again, round, artSticker, 9, 60, 60, 1, 4, 2, 1000, 0, 0, list({u"도무송(원형)"}), {}, {}, parcel},
        {kStickers, QStringLiteral("ST2403110023"), main, fresh, round, yupo, 11, 60, 60, 1, 4, 3, 2000, 0, 2, list({u"도무송(원형)"}), {}, {}, quick},
        {kStickers, QStringLiteral("ST2403110024"), busan, fresh, square, artSticker, 8, 50, 50, 1, 4, 1, 1000, 0, 2, list({u"반칼"}), {}, {}, parcel},
        {kStickers, QStringLiteral("ST2403110025"), main, again, round, artSticker, 5, 60, 60, 1, 4, 1, 500, 0, 0, list({u"도무송(원형)"}), {}, {}, visit},
        {kStickers, QStringLiteral("ST2403110026"), gangnam, fresh, square, yupo, 10, 90, 60, 1, 4, 1, 1000, 0, 0, list({u"반칼"}), list({u"코팅(유광)"}), {}, parcel},
        {kStickers, QStringLiteral("ST2403110027"), main, fresh, square, artSticker, 6, 40, 40, 1, 4, 2, 1000, 0, 0, list({u"반칼"}), {}, {}, parcel},
        {kStickers, QStringLiteral("ST2403110028"), busan, fresh, round, artSticker, 0, 60, 60, 1, 4, 1, 3000, 3000, 0, list({u"도무송(원형)"}), {}, {}, parcel},
        {kStickers, QStringLiteral("ST2403110029"), main, again, square, yupo, 1, 50, 50, 1, 4, 1, 1000, 0, 2, list({u"반칼"}), {}, {}, quick},
        {kStickers, QStringLiteral("ST2403110030"), gangnam, fresh, round, artSticker, 4, 60, 60, 1, 4, 2, 1000, 0, 0, list({u"도무송(원형)"}), {}, QStringLiteral("2종 각 1000매, 종류별로 따로 포장."), parcel},
    };
    // clang-format on
    return orders;
}

} // namespace demoorders
