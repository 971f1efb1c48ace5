#pragma once

#include <QString>
#include <QStringList>

#include <vector>

// The fixed content of the demo shop: its customers and their orders. Fixed
// so that every demo shop is the same and tests can rely on it.
namespace demoorders {

// A process colour in percent.
struct Cmyk {
    int c = 0, m = 0, y = 0, k = 0;
};

struct Customer {
    QString uid;
    QString company;
    QString name;
    QString title;
    QString tel;
    QString mobile;
    QString email;
    QString address;
    Cmyk brand;  // main colour of the customer's artwork
    Cmyk accent; // second colour
    int logoStyle = 0;
};

struct Order {
    QString folder; // job folder relative to the ticket folder, '/'-separated
    QString ordernum;
    QString branchShop;
    QString rework;
    QString kind;
    QString paper;
    int customer = 0;
    double width = 0.0;
    double height = 0.0;
    int pages = 1;  // printed sides
    int colors = 4; // inks
    int cases = 1;
    double quantity = 0.0;
    int pressQuantity = 0; // 0: the quantity
    double bleed = 0.0;    // on every edge of the artwork's page
    QStringList afterWork;
    QStringList afterWork2;
    QString memo;
    QString delivery;
};

// The reception date of every order.
QString ReceptionDate();
// The receiving staff of an order.
QString ReceivingStaff(int index);
// The product of a job folder ("명함/일반" -> "명함").
QString ProductOf(const Order& order);

const std::vector<Customer>& Customers();
const std::vector<Order>& Orders();

} // namespace demoorders
