#pragma once

#include "shop/backgroundregistration.h"

#include <QDialog>

#include <memory>

class CTesselDoc;
class OperatorInterface;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTimer;

// Plate registration ("판 등록"): the plate's summary, its after-work steps
// and its orders as the server will receive them, and "등록", which posts
// the plate off the GUI thread behind a busy bar. A plate with unsaved
// changes is saved first, so the server gets what the file holds; a save
// that fails registers nothing. Success closes the dialog; a failure says
// why and leaves it open to try again. The dialog does not change the plate.
class CZelPlateRegDlg : public QDialog {
    Q_OBJECT
public:
    CZelPlateRegDlg(CTesselDoc& doc, const QString& siteSignature, const QString& url,
                    OperatorInterface& op, QWidget* parent = nullptr);
    ~CZelPlateRegDlg() override;

    // Shorter waits, for a server on the same machine.
    void SetTimeouts(const RegistrationTimeouts& timeouts) { m_timeouts = timeouts; }
    bool IsBusy() const { return m_operation != nullptr; }
    // The last exchange's result (empty before the first).
    const PlateRegistrationResult& LastResult() const { return m_last; }

    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void Fill();
    void Register();
    void Finish();
    void SetBusy(bool busy);

    CTesselDoc& m_doc;
    QString m_siteSignature;
    QString m_url;
    OperatorInterface& m_op;
    RegistrationTimeouts m_timeouts;
    std::unique_ptr<BackgroundOperation<PlateRegistrationResult>> m_operation;
    PlateRegistrationResult m_last;
    QTimer* m_poll;
    QProgressBar* m_busy;
    QPushButton* m_register;
    QPushButton* m_cancel;
};
