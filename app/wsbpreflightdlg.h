#pragma once

#include "shop/preflight.h"

#include <QWidget>

class QLabel;
class QTreeWidget;

// The preflight page ("프리플라이트"): what the last check of the open
// plate's orders found, one row per order with its findings beneath.
// Clicking a row asks for that order's items to be selected.
class CWSBPreflightDlg : public QWidget {
    Q_OBJECT
public:
    explicit CWSBPreflightDlg(QWidget* parent = nullptr);

    // A check has started (the last results stay until it ends).
    void ShowRunning();
    void ShowResults(const std::vector<OrderPreflight>& results);
    // The check could not run at all.
    void ShowFailure(const QString& reason);
    // No plate is open.
    void Clear();
    QString StatusText() const;
    QTreeWidget* List() const { return m_list; }

signals:
    void orderClicked(const QString& ordernum);

private:
    QLabel* m_status;
    QTreeWidget* m_list;
};
