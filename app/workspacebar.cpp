#include "workspacebar.h"

#include "view/controlnames.h"

CWorkSpaceBar::CWorkSpaceBar(const QString& title, const char* objectName,
                             Qt::DockWidgetAreas areas, QWidget* parent)
    : QDockWidget(title, parent) {
    Named(this, objectName, title);
    setAllowedAreas(areas);
    setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable |
                QDockWidget::DockWidgetFloatable);
}

void CWorkSpaceBar::SetPanel(QWidget* panel) {
    setWidget(panel);
}
