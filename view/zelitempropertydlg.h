#pragma once

#include <QDialog>
#include <QString>

#include <utility>
#include <vector>

class CZelItem;

// "항목 상세 정보": the order details of one placed item, read only.
class CZelItemPropertyDlg : public QDialog {
    Q_OBJECT
public:
    using Rows = std::vector<std::pair<QString, QString>>;

    explicit CZelItemPropertyDlg(const Rows& rows, QWidget* parent = nullptr);

    // The titles and values the dialog lists for an item, in their order.
    static Rows RowsOf(const CZelItem& item);
    // Whether the item carries the fields of an order.
    static bool HasOrderFields(const CZelItem& item);
};
