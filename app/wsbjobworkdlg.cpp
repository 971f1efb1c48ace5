#include "wsbjobworkdlg.h"

#include "view/controlnames.h"

#include <QTableView>
#include <QVBoxLayout>

CWSBJobWorkDlg::CWSBJobWorkDlg(QWidget* parent)
    : QWidget(parent), m_model(CJobListModel::Kind::Work) {
    Named(this, "workPage", QStringLiteral("합판 작업 목록"));
    m_list = Named(new QTableView, "workList", QStringLiteral("합판 작업 목록"));
    ShowJobList(m_list, &m_model);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_list);
}

void CWSBJobWorkDlg::Fill(const CZelJobContainer* container) {
    // "자리수" reads "N/A" here: the plate parameters do not matter.
    m_model.Fill(container, {});
}
