#pragma once

#include <QObject>

#include <memory>
#include <vector>

class CTesselView;
class QAction;
class QMenu;

// The arrangement commands of the plate view as window-wide actions:
// alignment, equal spacing, stacking, quarter turns and deleting the
// selected items' orders. Each is enabled only while the plate can carry it
// out, and follows the plate whoever changes it. A key of these actions that
// a text field uses (Shift+H while typing) stays with the field.
class CPlateCommands : public QObject {
    Q_OBJECT
public:
    CPlateCommands(CTesselView& view, QObject* parent = nullptr);

    // Adds the arrangement commands to a menu, in groups (not the delete).
    void AddTo(QMenu* menu) const;
    const std::vector<QAction*>& Actions() const { return m_all; }
    QAction* DeleteOrdersAction() const { return m_deleteOrders; }

    // Enables each command by the plate's state.
    void Update();

    // The plate's context menu: properties, duplicate, the two deletes and
    // the label change (null actions are left out), each enabled by what the
    // menu acts on: duplicate and deletes need exactly one item on a printed
    // side, the label change one item on the label side.
    struct ContextActions {
        QAction* properties = nullptr;
        QAction* duplicate = nullptr;
        QAction* deleteItems = nullptr;
        QAction* changeLabel = nullptr;
    };
    std::unique_ptr<QMenu> ContextMenu(const ContextActions& actions) const;
    void ShowContextMenu(const QPoint& globalPos, const ContextActions& actions) const;

private:
    QAction* Add(const char* name, const QString& text, const QKeySequence& keys);

    CTesselView& m_view;
    std::vector<QAction*> m_all;
    std::vector<QAction*> m_align;    // left, centre, right, top, middle, bottom
    std::vector<QAction*> m_spacing;  // horizontal, vertical; then with own cut lines
    std::vector<QAction*> m_stacking; // front, forward, back, backward
    std::vector<QAction*> m_rotate;   // clockwise, anticlockwise
    QAction* m_deleteOrders = nullptr;
};
