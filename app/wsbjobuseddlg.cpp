#include "wsbjobuseddlg.h"

#include "view/controlnames.h"

#include <QTableView>
#include <QVBoxLayout>

CWSBJobUsedDlg::CWSBJobUsedDlg(QWidget* parent)
    : QWidget(parent), m_model(CJobListModel::Kind::InUse) {
    Named(this, "usedPage", QStringLiteral("사용 중인 목록"));
    auto* list = Named(new QTableView, "usedList", QStringLiteral("사용 중인 목록"));
    ShowJobList(list, &m_model);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(list);
}
