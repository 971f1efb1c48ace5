#pragma once

#include <QDockWidget>

// A docking bar of the main frame holding one panel that fills it: the
// product classification panel on the left (docks left or right), the job
// list panel at the bottom (docks top or bottom). Docked, its inner edge
// resizes it; floating, its frame does.
class CWorkSpaceBar : public QDockWidget {
    Q_OBJECT
public:
    CWorkSpaceBar(const QString& title, const char* objectName, Qt::DockWidgetAreas areas,
                  QWidget* parent = nullptr);
    // The bar takes the panel and owns it.
    void SetPanel(QWidget* panel);
};
