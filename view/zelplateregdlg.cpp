#include "zelplateregdlg.h"

#include "controlnames.h"

#include "engine/operatorinterface.h"
#include "engine/tesseldoc.h"
#include "registration/plateregtexts.h"
#include "shop/plateregistrationof.h"
#include "shop/registrationchecks.h"

#include <QCloseEvent>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

namespace {

QTableView* ReportList(const char* name, const QString& label, const QStringList& columns,
                       const QList<int>& widths, const QList<QStringList>& rows) {
    auto* model = new QStandardItemModel(int(rows.size()), int(columns.size()));
    model->setHorizontalHeaderLabels(columns);
    for (int r = 0; r < rows.size(); ++r)
        for (int c = 0; c < columns.size(); ++c) {
            auto* item = new QStandardItem(rows[r].value(c));
            item->setEditable(false);
            if (c > 0)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            model->setItem(r, c, item);
        }
    auto* view = Named(new QTableView, name, label);
    model->setParent(view);
    view->setModel(model);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setShowGrid(true);
    view->verticalHeader()->hide();
    for (int c = 0; c < widths.size(); ++c)
        view->setColumnWidth(c, widths[c]);
    view->horizontalHeader()->setStretchLastSection(true);
    return view;
}

} // namespace

CZelPlateRegDlg::CZelPlateRegDlg(CTesselDoc& doc, const QString& siteSignature, const QString& url,
                                 OperatorInterface& op, QWidget* parent)
    : QDialog(parent), m_doc(doc), m_siteSignature(siteSignature), m_url(url), m_op(op) {
    setObjectName(QStringLiteral("plateRegistrationDialog"));
    setWindowTitle(QStringLiteral("판 등록"));
    setAccessibleName(windowTitle());
    m_poll = new QTimer(this);
    m_poll->setInterval(50);
    connect(m_poll, &QTimer::timeout, this, [this] {
        if (m_operation && m_operation->IsFinished())
            Finish();
    });
    Fill();
}

CZelPlateRegDlg::~CZelPlateRegDlg() = default;

void CZelPlateRegDlg::Fill() {
    const PlateRegistration plate = RegistrationOf(m_doc);
    const PlateRegTexts texts = PlateRegTexts::Build(plate, m_siteSignature);

    auto* info = Named(new QGroupBox(QStringLiteral("판 등록 정보")), "plateInfoGroup",
                       QStringLiteral("판 등록 정보"));
    auto* form = new QFormLayout(info);
    struct Field {
        const char* name;
        const char16_t* label;
        QString text;
    };
    // The memo is shown as stored: the server receives the stored memo, so
    // a typed one would be lost without a word.
    const Field fields[] = {
        {"plateNumber", u"판 번호:", texts.plateNumber},
        {"worker", u"작업자:", texts.worker},
        {"workDate", u"작업 날자:", texts.workDate},
        {"plateSize", u"판    규   격:", texts.plateSize},
        {"paper", u"종이   지질:", texts.paper},
        {"plateColor", u"판    컬   러:", texts.color},
        {"quantity", u"수           량:", texts.quantity},
        {"memo", u"메           모:", texts.memo},
    };
    for (const Field& field : fields) {
        const QString label = QString::fromUtf16(field.label);
        auto* edit = Named(new QLineEdit(field.text), field.name, label);
        edit->setReadOnly(true);
        edit->setMinimumWidth(220);
        form->addRow(label, edit);
    }

    auto* afterWork = Named(new QGroupBox(QStringLiteral("후 가공")), "afterWorkGroup",
                            QStringLiteral("후 가공"));
    QList<QStringList> afterRows;
    for (const QString& step : texts.afterWorkRows)
        afterRows << QStringList{step};
    (new QVBoxLayout(afterWork))
        ->addWidget(ReportList("afterWorkList", QStringLiteral("후가공"),
                               {QStringLiteral("후가공")}, {160}, afterRows));

    auto* orders = Named(new QGroupBox(QStringLiteral("작업 목록")), "ordersGroup",
                         QStringLiteral("작업 목록"));
    QList<QStringList> orderRows;
    for (const PlateOrderRow& row : texts.orderRows)
        orderRows << QStringList{row.ordernum, row.quantity, row.cases, row.places};
    auto* orderList = ReportList("orderList", QStringLiteral("작업 목록"),
                                 {QStringLiteral("주문 번호"), QStringLiteral("수 량"),
                                  QStringLiteral("건 수"), QStringLiteral("자리 수")},
                                 {140, 96, 96, 96}, orderRows);
    orderList->setMinimumWidth(140 + 3 * 96 + 24);
    (new QVBoxLayout(orders))->addWidget(orderList);

    m_busy = Named(new QProgressBar, "registrationBusy", QStringLiteral("등록 중"));
    m_busy->setRange(0, 0);
    m_busy->setFormat(QStringLiteral("판 등록 서버에 보내는 중..."));
    m_busy->setTextVisible(true);
    m_busy->hide();

    auto* buttons = new QDialogButtonBox;
    m_register = Named(buttons->addButton(QStringLiteral("등록"), QDialogButtonBox::AcceptRole),
                       "register", QStringLiteral("등록"));
    m_cancel = Named(buttons->addButton(QStringLiteral("취소"), QDialogButtonBox::RejectRole),
                     "cancel", QStringLiteral("취소"));
    m_register->setDefault(true);
    connect(m_register, &QPushButton::clicked, this, &CZelPlateRegDlg::Register);
    connect(m_cancel, &QPushButton::clicked, this, &CZelPlateRegDlg::reject);

    auto* top = new QHBoxLayout;
    top->addWidget(info, 1);
    top->addWidget(afterWork);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(orders, 1);
    layout->addWidget(m_busy);
    layout->addWidget(buttons);
}

void CZelPlateRegDlg::Register() {
    if (m_operation)
        return;
    // The server gets the plate as its file holds it.
    if (m_doc.IsModified()) {
        if (const Result<void> saved = m_doc.Save(m_doc.Path()); !saved) {
            m_op.Tell(
                QStringLiteral("판을 저장할 수 없어 등록하지 않았습니다.\n%1").arg(saved.error()));
            return;
        }
    }
    PlateRegistration plate = RegistrationOf(m_doc);
    if (const Result<void> fit = registrationchecks::CheckPlate(plate); !fit) {
        m_op.Tell(fit.error());
        return;
    }
    const QString question =
        registrationchecks::OmissionQuestion(registrationchecks::FindOmissions(plate));
    if (!question.isEmpty() && !m_op.Ask(question))
        return;
    m_operation = StartRegistration(std::move(plate), m_siteSignature, m_url, m_timeouts);
    SetBusy(true);
    m_poll->start();
}

void CZelPlateRegDlg::Finish() {
    m_poll->stop();
    m_last = m_operation->Take();
    m_operation.reset();
    SetBusy(false);
    if (m_last.registered) {
        accept();
        return;
    }
    QMessageBox box(QMessageBox::Warning, windowTitle(), m_last.message, QMessageBox::Ok, this);
    box.setObjectName(QStringLiteral("registrationFailed"));
    box.setAccessibleName(windowTitle());
    if (!m_last.reason.isEmpty())
        box.setDetailedText(m_last.reason);
    box.exec();
}

void CZelPlateRegDlg::SetBusy(bool busy) {
    m_busy->setVisible(busy);
    m_register->setEnabled(!busy);
    // The request cannot be called back once sent; its time-outs end the wait.
    m_cancel->setEnabled(!busy);
}

void CZelPlateRegDlg::reject() {
    if (!m_operation)
        QDialog::reject();
}

void CZelPlateRegDlg::closeEvent(QCloseEvent* event) {
    if (m_operation)
        event->ignore();
    else
        QDialog::closeEvent(event);
}
