#pragma once

#include <QDialog>

class CZelPreference;
class PlateListModel;
class QPushButton;
class QTableView;

// "작업 파일 열기": the plates of the local work folder with a summary of
// each; never the plate that is open now.
class CZelOpenProjDlg : public QDialog {
    Q_OBJECT
public:
    CZelOpenProjDlg(CZelPreference& preference, const QString& openPlate,
                    QWidget* parent = nullptr);

    // After OK: the chosen plate file.
    const QString& ChosenPath() const { return m_chosen; }
    void accept() override;

private:
    PlateListModel* m_model;
    QTableView* m_list;
    QPushButton* m_open;
    QString m_chosen;
};
