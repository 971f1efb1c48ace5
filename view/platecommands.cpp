#include "platecommands.h"

#include "tesselview.h"

#include "engine/tesseldoc.h"

#include <QAction>
#include <QMenu>

CPlateCommands::CPlateCommands(CTesselView& view, QObject* parent) : QObject(parent), m_view(view) {
    using Align = CTesselDoc::Align;
    const struct {
        const char* name;
        const char* text;
        const char* keys;
        Align kind;
    } aligns[] = {
        {"alignLeftAction", "왼쪽 맞춤", "Ctrl+L", Align::Left},
        {"alignCentreAction", "수평 가운데 맞춤", "Ctrl+H", Align::HorizontalCentre},
        {"alignRightAction", "오른쪽 맞춤", "Ctrl+R", Align::Right},
        {"alignTopAction", "위쪽 맞춤", "Ctrl+T", Align::Top},
        {"alignMiddleAction", "수직 가운데 맞춤", "Ctrl+K", Align::VerticalCentre},
        {"alignBottomAction", "아래쪽 맞춤", "Ctrl+B", Align::Bottom},
    };
    for (const auto& a : aligns) {
        QAction* action =
            Add(a.name, QString::fromUtf8(a.text), QKeySequence(QString::fromLatin1(a.keys)));
        connect(action, &QAction::triggered, this, [this, kind = a.kind] {
            if (CTesselDoc* doc = m_view.Document())
                doc->AlignSelection(kind);
        });
        m_align.push_back(action);
    }

    const struct {
        const char* name;
        const char* text;
        const char* keys;
        bool horizontal, withOwnCut;
    } spacings[] = {
        {"spaceHorizontallyAction", "수평 간격 맞춤", "Shift+H", true, false},
        {"spaceVerticallyAction", "수직 간격 맞춤", "Shift+V", false, false},
        {"spaceHorizontallyWithCutAction", "수평 간격 맞춤(재단 여백 포함)", "Ctrl+Shift+H", true,
         true},
        {"spaceVerticallyWithCutAction", "수직 간격 맞춤(재단 여백 포함)", "Ctrl+Shift+V", false,
         true},
    };
    for (const auto& s : spacings) {
        QAction* action =
            Add(s.name, QString::fromUtf8(s.text), QKeySequence(QString::fromLatin1(s.keys)));
        connect(action, &QAction::triggered, this,
                [this, horizontal = s.horizontal, withOwnCut = s.withOwnCut] {
                    CTesselDoc* doc = m_view.Document();
                    if (!doc)
                        return;
                    // Equal spacing keeps the ends where they are: no gap is given.
                    if (horizontal)
                        doc->SpaceHorizontally(0.0, withOwnCut);
                    else
                        doc->SpaceVertically(0.0, withOwnCut);
                });
        m_spacing.push_back(action);
    }

    using Stacking = CTesselDoc::Stacking;
    const struct {
        const char* name;
        const char* text;
        Stacking kind;
    } stackings[] = {
        {"bringToFrontAction", "맨 앞으로 가져오기", Stacking::BringToFront},
        {"bringForwardAction", "앞으로 가져오기", Stacking::BringForward},
        {"sendToBackAction", "맨 뒤로 보내기", Stacking::SendToBack},
        {"sendBackwardAction", "뒤로 보내기", Stacking::SendBackward},
    };
    for (const auto& s : stackings) {
        QAction* action = Add(s.name, QString::fromUtf8(s.text), {});
        connect(action, &QAction::triggered, this, [this, kind = s.kind] {
            if (CTesselDoc* doc = m_view.Document())
                doc->ChangeStacking(kind);
        });
        m_stacking.push_back(action);
    }

    for (const bool clockwise : {true, false}) {
        QAction* action =
            Add(clockwise ? "rotateClockwiseAction" : "rotateAnticlockwiseAction",
                clockwise ? QStringLiteral("시계 방향으로 회전")
                          : QStringLiteral("시계 반대 방향으로 회전"),
                QKeySequence(QString::fromLatin1(clockwise ? "Ctrl+Shift+C" : "Ctrl+Shift+W")));
        connect(action, &QAction::triggered, this, [this, clockwise] {
            if (CTesselDoc* doc = m_view.Document())
                doc->RotateSelection(clockwise);
        });
        m_rotate.push_back(action);
    }

    m_deleteOrders = Add("deleteOrdersAction", QStringLiteral("선택 주문 삭제..."), {});
    connect(m_deleteOrders, &QAction::triggered, this, [this] {
        // The plate asks the operator and returns the orders' tickets.
        if (CTesselDoc* doc = m_view.Document(); doc && doc->SelectedCount() > 0)
            doc->DeleteSelectedOrders();
    });

    connect(&m_view, &CTesselView::selectionChanged, this, &CPlateCommands::Update);
    connect(&m_view, &CTesselView::plateEdited, this, &CPlateCommands::Update);
    connect(&m_view, &CTesselView::sideChanged, this, &CPlateCommands::Update);
    Update();
}

QAction* CPlateCommands::Add(const char* name, const QString& text, const QKeySequence& keys) {
    auto* action = new QAction(text, this);
    action->setObjectName(QString::fromLatin1(name));
    action->setShortcut(keys);
    // The whole window's: the plate need not have the focus, but a field
    // that takes the key (a letter, Ctrl+A, an arrow) keeps it.
    action->setShortcutContext(Qt::WindowShortcut);
    m_all.push_back(action);
    return action;
}

void CPlateCommands::AddTo(QMenu* menu) const {
    for (const auto* group : {&m_align, &m_spacing, &m_stacking, &m_rotate}) {
        for (QAction* action : *group)
            menu->addAction(action);
        menu->addSeparator();
    }
}

void CPlateCommands::Update() {
    CTesselDoc* doc = m_view.Document();
    const int selected = doc ? doc->SelectedCount() : 0;
    for (QAction* action : m_align)
        action->setEnabled(selected > 1);
    const bool spaceH = doc && doc->SpaceHorizontally(0.0, false, true);
    const bool spaceV = doc && doc->SpaceVertically(0.0, false, true);
    m_spacing[0]->setEnabled(spaceH);
    m_spacing[1]->setEnabled(spaceV);
    m_spacing[2]->setEnabled(spaceH);
    m_spacing[3]->setEnabled(spaceV);
    const CTesselDoc::Stacking kinds[] = {
        CTesselDoc::Stacking::BringToFront, CTesselDoc::Stacking::BringForward,
        CTesselDoc::Stacking::SendToBack, CTesselDoc::Stacking::SendBackward};
    for (size_t i = 0; i < m_stacking.size(); ++i)
        m_stacking[i]->setEnabled(doc && doc->ChangeStacking(kinds[i], true));
    for (QAction* action : m_rotate)
        action->setEnabled(selected > 0);
    m_deleteOrders->setEnabled(selected > 0);
}

std::unique_ptr<QMenu> CPlateCommands::ContextMenu(const ContextActions& actions) const {
    const CTesselDoc* doc = m_view.Document();
    const bool one = doc && doc->SelectedCount() == 1;
    const bool labelSide = m_view.Side() == plateview::ViewSide::Label;
    auto menu = std::make_unique<QMenu>(&m_view);
    menu->setObjectName(QStringLiteral("plateContextMenu"));
    menu->setAccessibleName(QStringLiteral("판 메뉴"));
    // Entries of their own: the menu's rules differ from the main menu's.
    auto entry = [&menu](QAction* command, bool enabled) {
        if (!command)
            return;
        QAction* shown = menu->addAction(command->text());
        shown->setObjectName(command->objectName() + QStringLiteral("InMenu"));
        shown->setEnabled(enabled && command->isEnabled());
        QObject::connect(shown, &QAction::triggered, command, &QAction::trigger);
    };
    entry(actions.properties, true);
    entry(actions.duplicate, one && !labelSide);
    entry(m_deleteOrders, one && !labelSide);
    entry(actions.deleteItems, one && !labelSide);
    entry(actions.changeLabel, one && labelSide);
    return menu;
}

void CPlateCommands::ShowContextMenu(const QPoint& globalPos, const ContextActions& actions) const {
    if (m_view.Document())
        ContextMenu(actions)->exec(globalPos);
}
