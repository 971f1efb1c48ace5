#pragma once

#include "joblistmodel.h"

#include <QWidget>

// The in-use page ("사용 중인 목록"): its columns, for orders other
// workstations hold; nothing fills it yet.
class CWSBJobUsedDlg : public QWidget {
    Q_OBJECT
public:
    explicit CWSBJobUsedDlg(QWidget* parent = nullptr);

private:
    CJobListModel m_model;
};
