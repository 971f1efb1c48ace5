#pragma once

#include <QDialog>

#include <memory>
#include <vector>

class CPlateSettingsPanel;
class CZelAccount;
class CZelDocumentPreset;
class Installation;
class OperatorInterface;
class QComboBox;
class QDateEdit;
class QLabel;
class QPushButton;

// "새판 만들기": every setting of a new plate, the document presets that keep
// them, and on OK the plate itself (a new plate code, its work folder and its
// file), for the logged-in account.
class CZelNewProjDlg : public QDialog {
    Q_OBJECT
public:
    CZelNewProjDlg(Installation& shop, CZelAccount& account, OperatorInterface& op,
                   QWidget* parent = nullptr);
    ~CZelNewProjDlg() override;

    // After OK: the created plate file.
    const QString& PlatePath() const { return m_platePath; }

    void accept() override;

private:
    struct PlateType {
        QString pan;
        QString name;
    };

    void FillPresets(const QString& select);
    bool LoadPreset(const QString& name);
    void OnPresetChosen(int index);
    void OnSavePreset();
    void OnDeletePreset();
    void UpdatePresetButtons();

    Installation& m_shop;
    CZelAccount& m_account;
    OperatorInterface& m_op;
    std::vector<PlateType> m_types;               // copies: the site preset may be read again
    std::unique_ptr<CZelDocumentPreset> m_preset; // the preset shown, for its lines
    QString m_presetName;
    QString m_platePath;

    QComboBox* m_type;
    QDateEdit* m_date;
    QComboBox* m_presets;
    QPushButton* m_savePreset;
    QPushButton* m_deletePreset;
    CPlateSettingsPanel* m_settings;
    QLabel* m_problem;
    QPushButton* m_ok;
};
