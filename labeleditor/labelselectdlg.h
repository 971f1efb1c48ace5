#pragma once

#include <QDialog>
#include <QPixmap>

#include <memory>
#include <vector>

class CLPreviewStatic;
class CZelItem;
class CZelLabel;
class LabelListModel;
class QPushButton;
class QTableView;

// "레이블 선택": the shop's labels, largest first, with a preview; OK takes
// the chosen label when it fits the item's order.
class CZelLabelSelectDlg : public QDialog {
    Q_OBJECT
public:
    // presetDir: the shop's preset folder. The item is read here only; its
    // current label, when listed, is the one chosen at first.
    CZelLabelSelectDlg(const QString& presetDir, const CZelItem& item, QWidget* parent = nullptr);
    ~CZelLabelSelectDlg() override;

    // The chosen label's name once accepted.
    QString LabelName() const { return m_chosen; }
    void accept() override;

private:
    void ShowChosen();
    int ChosenRow() const;

    std::vector<std::unique_ptr<CZelLabel>> m_labels; // the rows, in order
    std::vector<bool> m_fits;                         // per row
    std::vector<QPixmap> m_pictures;                  // per row, drawn once
    LabelListModel* m_model;
    QTableView* m_list;
    CLPreviewStatic* m_preview;
    QPushButton* m_ok;
    QString m_chosen;
};
