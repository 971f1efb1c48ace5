#include "mainframe.h"

#include "joblists.h"
#include "jtbdlg.h"
#include "platepreflight.h"
#include "progstatusbar.h"
#include "splashwnd.h"
#include "view/controlnames.h"
#include "view/itemcommands.h"
#include "view/platecommands.h"
#include "workspacebar.h"
#include "wsbdlg.h"

#include "view/makepresssetupdlg.h"
#include "view/pdfprogressdlg.h"
#include "view/tesselview.h"
#include "view/wdpdlg.h"
#include "view/zelplateregdlg.h"

#include "labeleditor/labeldlg.h"
#include "labeleditor/labelselectdlg.h"

#include "engine/tesseldoc.h"
#include "labels/labelusers.h"
#include "press/pressoutput.h"
#include "shop/installation.h"
#include "shop/plateregistrationof.h"
#include "shop/registrationchecks.h"
#include "shop/session.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
#include <QDockWidget>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenuBar>
#include <QSettings>
#include <QToolBar>
#include <QUrl>

#include <optional>

namespace {

constexpr int kRecentFiles = 4;
const QString kRecentKey = QStringLiteral("RecentFiles");

} // namespace

CMainFrame::CMainFrame(Installation& shop, ShopSession& session, Actions actions, QWidget* parent)
    : QMainWindow(parent), m_shop(shop), m_session(session), m_actions(std::move(actions)),
      m_op(this) {
    setObjectName(QStringLiteral("mainFrame"));
    setAccessibleName(QStringLiteral("Tessel"));
    m_status = new CProgStatusBar(this);
    setStatusBar(m_status);

    m_view = new CTesselView(this);
    setCentralWidget(m_view);
    m_jobLists = new CJobLists(m_shop.preference, *m_view, m_status, this);
    auto* productBar = new CWorkSpaceBar(QStringLiteral("제품 분류"), "productBar",
                                         Qt::LeftDockWidgetArea | Qt::RightDockWidgetArea, this);
    productBar->SetPanel(m_jobLists->ProductPanel());
    m_productBar = productBar;
    addDockWidget(Qt::LeftDockWidgetArea, m_productBar);
    auto* jobBar = new CWorkSpaceBar(QStringLiteral("작업 목록"), "jobBar",
                                     Qt::TopDockWidgetArea | Qt::BottomDockWidgetArea, this);
    jobBar->SetPanel(m_jobLists->JobPanel());
    m_jobBar = jobBar;
    addDockWidget(Qt::BottomDockWidgetArea, m_jobBar);
    m_preflight =
        new CPlatePreflight(m_shop, *m_view, *m_jobLists->JobPanel()->PreflightPage(), this);
    m_panel = new CWDPDlg(*m_view);
    m_commands = new CPlateCommands(*m_view, this);
    m_panelBar =
        Named(new QDockWidget(QStringLiteral("위치"), this), "positionBar", QStringLiteral("위치"));
    m_panelBar->setWidget(m_panel);
    addDockWidget(Qt::RightDockWidgetArea, m_panelBar);
    connect(m_view, &CTesselView::plateEdited, this, [this] {
        UpdateTitle();
        UpdateUndoActions();
    });
    connect(m_view, &CTesselView::selectionChanged, this, [this] { UpdateActions(); });
    connect(m_view, &CTesselView::zoomChanged, this, [this] { UpdateActions(); });
    connect(m_view, &CTesselView::sideChanged, this, [this] {
        m_panel->PlateChanged();
        UpdateActions();
    });

    CreateMenus();
    QSettings settings;
    if (!restoreGeometry(settings.value(QStringLiteral("MainFrame/Geometry")).toByteArray()))
        resize(1280, 860);
    restoreState(settings.value(QStringLiteral("MainFrame/State")).toByteArray());
    UpdateTitle();
    UpdateActions();
}

CMainFrame::~CMainFrame() {
    m_jobLists->SetDocument(nullptr); // before the plate goes
    m_preflight->SetDocument(nullptr);
}

void CMainFrame::CreateMenus() {
    QMenu* file =
        Named(menuBar()->addMenu(QStringLiteral("파일(&F)")), "fileMenu", QStringLiteral("파일"));
    auto add = [this](QMenu* menu, const char* name, const QString& text, auto slot,
                      const QKeySequence& keys = {}) {
        QAction* action = menu->addAction(text);
        action->setObjectName(QString::fromLatin1(name));
        if (!keys.isEmpty())
            action->setShortcut(keys);
        connect(action, &QAction::triggered, this, slot);
        return action;
    };
    QAction* newAction = add(file, "newPlateAction", QStringLiteral("새판 만들기"),
                             &CMainFrame::OnNewPlate, QKeySequence::New);
    QAction* openAction = add(file, "openPlateAction", QStringLiteral("판 열기..."),
                              &CMainFrame::OnOpenPlate, QKeySequence::Open);
    m_saveAction = add(file, "saveAction", QStringLiteral("저장(&S)"), &CMainFrame::OnSave,
                       QKeySequence::Save);
    file->addSeparator();
    m_applyPresetAction = add(file, "applyToPresetAction", QStringLiteral("프리셋에 적용..."),
                              &CMainFrame::OnApplyToPreset);
    file->addSeparator();
    AddPressActions(file);
    file->addSeparator();
    m_recentMenu = Named(file->addMenu(QStringLiteral("최근 파일")), "recentMenu",
                         QStringLiteral("최근 파일"));
    FillRecentMenu();
    file->addSeparator();
    add(file, "exitAction", QStringLiteral("종료(&X)"), &QWidget::close, QKeySequence::Quit);

    AddEditMenu();
    AddItemDialogActions();
    AddLabelActions(findChild<QMenu*>(QStringLiteral("editMenu")));
    QMenu* view =
        Named(menuBar()->addMenu(QStringLiteral("보기(&V)")), "viewMenu", QStringLiteral("보기"));
    AddViewMenu(view);
    view->addSeparator();
    QToolBar* tools = addToolBar(QStringLiteral("도구 모음"));
    Named(tools, "toolBar", QStringLiteral("도구 모음"));
    for (QAction* action : {newAction, openAction, m_saveAction}) {
        tools->addAction(action);
        // The button a toolbar makes for an action goes by the action's name.
        Named(tools->widgetForAction(action),
              (action->objectName() + QStringLiteral("Button")).toLatin1().constData(),
              action->text());
    }
    QAction* toolsToggle = tools->toggleViewAction();
    toolsToggle->setObjectName(QStringLiteral("toolBarToggle"));
    toolsToggle->setText(QStringLiteral("도구 모음(&T)"));
    view->addAction(toolsToggle);
    QAction* statusToggle = view->addAction(QStringLiteral("상태 표시줄(&S)"));
    statusToggle->setObjectName(QStringLiteral("statusBarToggle"));
    statusToggle->setCheckable(true);
    statusToggle->setChecked(true);
    connect(statusToggle, &QAction::toggled, m_status, &QWidget::setVisible);
    QAction* productToggle = m_productBar->toggleViewAction();
    productToggle->setObjectName(QStringLiteral("productBarToggle"));
    productToggle->setText(QStringLiteral("제품 분류 리스트(&P)"));
    view->addAction(productToggle);
    QAction* jobToggle = m_jobBar->toggleViewAction();
    jobToggle->setObjectName(QStringLiteral("jobBarToggle"));
    jobToggle->setText(QStringLiteral("작업 항목 리스트(&J)"));
    view->addAction(jobToggle);

    QMenu* help = Named(menuBar()->addMenu(QStringLiteral("도움말(&H)")), "helpMenu",
                        QStringLiteral("도움말"));
    add(help, "aboutAction", QStringLiteral("Tessel 정보(&A)..."), &CMainFrame::OnAbout);
}

bool CMainFrame::OpenPlate(const QString& path) {
    if (!SaveIfModified())
        return false;
    auto doc = std::make_unique<CTesselDoc>();
    doc->SetContext(m_shop.Context(&m_op, m_status));
    Result<void> opened;
    CZelPDFDlgLoadDoc loading(this);
    if (!loading.RunOn(*doc, [&doc, &path, &opened] {
            opened = doc->Open(path);
            return opened.ok();
        })) {
        m_op.Tell(QStringLiteral("판 \"%1\"을(를) 열 수 없습니다.\n%2")
                      .arg(QFileInfo(path).fileName(), opened.error()));
        return false;
    }
    m_press.reset();
    m_view->SetDocument(doc.get());
    m_jobLists->SetDocument(doc.get());
    m_preflight->SetDocument(doc.get());
    m_doc = std::move(doc);
    m_press = std::make_unique<PressOutput>(*m_doc, &m_shop.colorBars, &m_shop.registrationMarks);
    m_panel->PlateChanged();
    AddRecentFile(QFileInfo(path).absoluteFilePath());
    UpdateTitle();
    UpdateActions();
    return true;
}

bool CMainFrame::SaveIfModified() {
    if (!m_doc)
        return true;
    const Result<void> saved = m_doc->SaveIfModified();
    if (!saved)
        m_op.Tell(QStringLiteral("판을 저장할 수 없습니다.\n%1").arg(saved.error()));
    return saved.ok();
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    if (!SaveIfModified()) {
        event->ignore();
        return;
    }
    QSettings settings;
    settings.setValue(QStringLiteral("MainFrame/Geometry"), saveGeometry());
    settings.setValue(QStringLiteral("MainFrame/State"), saveState());
    event->accept();
}

void CMainFrame::UpdateTitle() {
    if (!m_doc) {
        setWindowTitle(QStringLiteral("Tessel"));
        return;
    }
    setWindowTitle(
        QStringLiteral("%1[*] - Tessel").arg(QFileInfo(m_doc->Path()).completeBaseName()));
    setWindowModified(m_doc->IsModified());
}

void CMainFrame::UpdateActions() {
    m_saveAction->setEnabled(m_doc != nullptr);
    m_applyPresetAction->setEnabled(m_doc != nullptr);
    m_zoomIn->setEnabled(m_doc && plateview::CanZoomIn(m_view->Zoom()));
    m_zoomOut->setEnabled(m_doc && plateview::CanZoomOut(m_view->Zoom()));
    m_selectAll->setEnabled(m_doc && m_doc->ItemCount() > 0);
    m_deleteItems->setEnabled(m_doc && m_doc->SelectedCount() > 0);
    UpdateUndoActions();
    const bool twoSided =
        m_doc && plateview::GeometrySide(plateview::ViewSide::B, m_doc->Geometry()) >= 0;
    m_sideActions.at(1)->setEnabled(twoSided);
    m_sideActions.at(int(m_view->Side()))->setChecked(true);
    UpdateLabelActions();
    UpdatePressActions();
    m_status->showMessage(m_doc ? QStringLiteral("확대 %1").arg(plateview::ZoomText(m_view->Zoom()))
                                : QString());
    UpdateItemDialogActions();
}

void CMainFrame::UpdateUndoActions() {
    const QString undo = m_doc ? m_doc->UndoName() : QString();
    const QString redo = m_doc ? m_doc->RedoName() : QString();
    m_undoAction->setEnabled(!undo.isEmpty());
    m_undoAction->setText(undo.isEmpty() ? QStringLiteral("실행 취소")
                                         : QStringLiteral("실행 취소: %1").arg(undo));
    m_redoAction->setEnabled(!redo.isEmpty());
    m_redoAction->setText(redo.isEmpty() ? QStringLiteral("다시 실행")
                                         : QStringLiteral("다시 실행: %1").arg(redo));
}

void CMainFrame::UndoOrRedo(bool undo) {
    if (!m_doc)
        return;
    // A drag or an arrow-key run under way ends here, as its own step.
    m_view->CloseEditGroup();
    const Result<void> done = undo ? m_doc->Undo() : m_doc->Redo();
    if (!done)
        m_op.Tell(done.error());
    m_panel->PlateChanged();
    UpdateTitle();
    UpdateActions();
}

void CMainFrame::AddEditMenu() {
    QMenu* edit =
        Named(menuBar()->addMenu(QStringLiteral("편집(&E)")), "editMenu", QStringLiteral("편집"));
    m_undoAction = edit->addAction(QStringLiteral("실행 취소"));
    m_undoAction->setObjectName(QStringLiteral("undoAction"));
    m_undoAction->setShortcut(QKeySequence::Undo);
    connect(m_undoAction, &QAction::triggered, this, [this] { UndoOrRedo(true); });
    m_redoAction = edit->addAction(QStringLiteral("다시 실행"));
    m_redoAction->setObjectName(QStringLiteral("redoAction"));
    m_redoAction->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    connect(m_redoAction, &QAction::triggered, this, [this] { UndoOrRedo(false); });
    edit->addSeparator();
    // Items cannot be cut, copied or pasted yet; the entries stay where an
    // operator looks for them, disabled, so their keys still reach the fields.
    const struct {
        const char* name;
        const char* text;
        QKeySequence::StandardKey keys;
    } clipboard[] = {{"cutAction", "잘라내기", QKeySequence::Cut},
                     {"copyAction", "복사", QKeySequence::Copy},
                     {"pasteAction", "붙여넣기", QKeySequence::Paste}};
    for (const auto& entry : clipboard) {
        QAction* action = edit->addAction(QString::fromUtf8(entry.text));
        action->setObjectName(QString::fromLatin1(entry.name));
        action->setShortcut(entry.keys);
        action->setEnabled(false);
    }
    edit->addSeparator();
    m_selectAll = edit->addAction(QStringLiteral("전체 선택"));
    m_selectAll->setObjectName(QStringLiteral("selectAllAction"));
    m_selectAll->setShortcut(QKeySequence::SelectAll);
    connect(m_selectAll, &QAction::triggered, this, [this] {
        if (m_doc)
            m_doc->SelectAll();
    });
    m_deleteItems = edit->addAction(QStringLiteral("선택 항목 삭제..."));
    m_deleteItems->setObjectName(QStringLiteral("deleteItemsAction"));
    connect(m_deleteItems, &QAction::triggered, this, [this] {
        m_view->DeleteSelection();
        UpdateTitle();
        UpdateActions();
    });
    edit->addAction(m_commands->DeleteOrdersAction());

    QMenu* arrange = Named(menuBar()->addMenu(QStringLiteral("정렬(&A)")), "arrangeMenu",
                           QStringLiteral("정렬"));
    m_commands->AddTo(arrange);
    connect(m_view, &CTesselView::contextMenuRequested, this, [this](const QPoint& at) {
        m_commands->ShowContextMenu(
            at, {m_propertiesAction, m_duplicateAction, m_deleteItems, m_changeLabelAction});
    });
}

void CMainFrame::AddItemDialogActions() {
    QMenu* menu =
        Named(menuBar()->addMenu(QStringLiteral("판(&P)")), "plateMenu", QStringLiteral("판"));
    auto add = [this, menu](const char* name, const QString& text, const QKeySequence& keys,
                            auto command) {
        QAction* action = menu->addAction(text);
        action->setObjectName(QString::fromLatin1(name));
        if (!keys.isEmpty())
            action->setShortcut(keys);
        connect(action, &QAction::triggered, this, [this, command] {
            if (!m_doc)
                return;
            command(*m_doc);
            ItemDialogDone();
        });
        return action;
    };
    m_propertiesAction =
        add("propertiesAction", QStringLiteral("판 / 항목 정보..."),
            QKeySequence(Qt::CTRL | Qt::Key_I), [this](CTesselDoc& doc) {
                return itemcommands::ShowProperties(this, doc, itemcommands::ListsOf(m_shop), m_op);
            });
    m_plateDetailsAction =
        add("plateDetailsAction", QStringLiteral("판 상세 정보..."), {}, [this](CTesselDoc& doc) {
            return itemcommands::EditPlate(this, doc, itemcommands::ListsOf(m_shop), m_op);
        });
    menu->addSeparator();
    m_duplicateAction =
        add("duplicateAction", QStringLiteral("복제 적용..."), QKeySequence(Qt::CTRL | Qt::Key_D),
            [this](CTesselDoc& doc) { return itemcommands::Duplicate(this, doc, m_op); });
    m_spaceHorizontalAction =
        add("spaceHorizontalAction", QStringLiteral("수평 간격 조정"), {},
            [this](CTesselDoc& doc) { return itemcommands::SetSpacing(this, doc, true, m_op); });
    m_spaceVerticalAction =
        add("spaceVerticalAction", QStringLiteral("수직 간격 조정"), {},
            [this](CTesselDoc& doc) { return itemcommands::SetSpacing(this, doc, false, m_op); });
    m_ownCutAction = add("ownCutAction", QStringLiteral("독립 재단선 추가/삭제"),
                         QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_O), [this](CTesselDoc& doc) {
                             return itemcommands::ToggleOwnCut(this, doc, m_op);
                         });
    m_frameAction = add("frameAction", QStringLiteral("항목 테두리 추가/삭제"),
                        QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F),
                        [this](CTesselDoc& doc) { return itemcommands::ToggleFrames(this, doc); });
    menu->addSeparator();
    m_editLinesAction = add("editLinesAction", QStringLiteral("수직/수평선 편집..."), {},
                            [this](CTesselDoc& doc) { return itemcommands::EditLines(this, doc); });
    m_editTextBoxesAction =
        add("editTextBoxesAction", QStringLiteral("텍스트 박스 편집..."), {},
            [this](CTesselDoc& doc) { return itemcommands::EditTextBoxes(this, doc, m_op); });
    connect(m_view, &CTesselView::propertiesRequested, m_propertiesAction, &QAction::trigger);
    connect(m_panel, &CWDPDlg::propertiesRequested, m_propertiesAction, &QAction::trigger);
}

void CMainFrame::UpdateItemDialogActions() {
    const int selected = m_doc ? m_doc->SelectedCount() : -1;
    m_propertiesAction->setEnabled(m_doc != nullptr);
    m_plateDetailsAction->setEnabled(m_doc != nullptr);
    m_duplicateAction->setEnabled(selected == 1);
    m_spaceHorizontalAction->setEnabled(m_doc && itemcommands::CanSpace(*m_doc, true));
    m_spaceVerticalAction->setEnabled(m_doc && itemcommands::CanSpace(*m_doc, false));
    m_ownCutAction->setEnabled(selected > 0);
    m_frameAction->setEnabled(selected > 0);
    m_editLinesAction->setEnabled(selected == 0);
    m_editTextBoxesAction->setEnabled(selected == 0);
}

void CMainFrame::ItemDialogDone() {
    // The view and the panel follow the plate's own change reports.
    UpdateTitle();
    UpdateActions();
}

void CMainFrame::AddViewMenu(QMenu* view) {
    m_zoomIn = view->addAction(QStringLiteral("확대하기"));
    m_zoomIn->setObjectName(QStringLiteral("zoomInAction"));
    m_zoomIn->setShortcuts({QKeySequence::ZoomIn, QKeySequence(Qt::CTRL | Qt::Key_Equal)});
    connect(m_zoomIn, &QAction::triggered, this, [this] { m_view->StepZoom(1); });
    m_zoomOut = view->addAction(QStringLiteral("축소하기"));
    m_zoomOut->setObjectName(QStringLiteral("zoomOutAction"));
    // Ctrl+- is the platform's zoom out already; a second copy would make it ambiguous.
    m_zoomOut->setShortcuts(QKeySequence::ZoomOut);
    connect(m_zoomOut, &QAction::triggered, this, [this] { m_view->StepZoom(-1); });
    view->addSeparator();
    struct Toggle {
        const char* name;
        const char16_t* text;
        bool CTesselView::Furniture::*flag;
    };
    const Toggle toggles[] = {
        {"horizontalSplitAction", u"수평 중앙 분리 선", &CTesselView::Furniture::horizontalSplit},
        {"verticalSplitAction", u"수직 중앙 분리 선", &CTesselView::Furniture::verticalSplit},
        {"horizontalGridAction", u"수평 그리드 선", &CTesselView::Furniture::horizontalGrid},
        {"verticalGridAction", u"수직 그리드 선", &CTesselView::Furniture::verticalGrid}};
    for (const Toggle& toggle : toggles) {
        QAction* action = view->addAction(QString::fromUtf16(toggle.text));
        action->setObjectName(QString::fromLatin1(toggle.name));
        action->setCheckable(true);
        action->setChecked(true);
        const auto flag = toggle.flag;
        connect(action, &QAction::toggled, this, [this, flag](bool on) {
            CTesselView::Furniture shown = m_view->Shown();
            shown.*flag = on;
            m_view->SetShown(shown);
        });
    }
    // Off by default: the plan is worked out afresh after every change.
    QAction* cutPlan = view->addAction(QStringLiteral("재단 순서 보기"));
    cutPlan->setObjectName(QStringLiteral("cutPlanAction"));
    cutPlan->setCheckable(true);
    connect(cutPlan, &QAction::toggled, this, [this](bool on) {
        CTesselView::Furniture shown = m_view->Shown();
        shown.cutPlan = on;
        m_view->SetShown(shown);
    });
    view->addSeparator();
    auto* sides = new QActionGroup(this);
    const char16_t* const sideTexts[] = {u"A 판(앞면)", u"B 판(뒷면)", u"레이블 판"};
    const char* const sideNames[] = {"sideAAction", "sideBAction", "sideLabelAction"};
    for (int i = 0; i < 3; ++i) {
        QAction* action = view->addAction(QString::fromUtf16(sideTexts[i]));
        action->setObjectName(QString::fromLatin1(sideNames[i]));
        action->setCheckable(true);
        sides->addAction(action);
        m_sideActions << action;
        connect(action, &QAction::triggered, this,
                [this, i] { m_view->SetSide(static_cast<plateview::ViewSide>(i)); });
    }
}

void CMainFrame::AddLabelActions(QMenu* menu) {
    menu->addSeparator();
    m_labelEditorAction = menu->addAction(QStringLiteral("레이블 편집..."));
    m_labelEditorAction->setObjectName(QStringLiteral("labelEditorAction"));
    m_labelEditorAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_E));
    connect(m_labelEditorAction, &QAction::triggered, this, &CMainFrame::OnLabelEditor);
    m_changeLabelAction = menu->addAction(QStringLiteral("레이블 변경..."));
    m_changeLabelAction->setObjectName(QStringLiteral("changeLabelAction"));
    connect(m_changeLabelAction, &QAction::triggered, this, &CMainFrame::OnChangeLabel);
}

void CMainFrame::UpdateLabelActions() {
    m_changeLabelAction->setEnabled(m_doc && m_view->Side() == plateview::ViewSide::Label &&
                                    m_doc->SelectedCount() == 1);
}

void CMainFrame::OnLabelEditor() {
    QString presetDir;
    m_shop.preference.GetPresetDir(presetDir);
    CZelLabelDlg editor(presetDir, m_op, this);
    connect(&editor, &CZelLabelDlg::labelChanged, this, &CMainFrame::LabelChanged);
    editor.exec();
}

void CMainFrame::LabelChanged(const QString& name) {
    if (!m_doc)
        return;
    QString presetDir;
    m_shop.preference.GetPresetDir(presetDir);
    // The view draws the items again from the plate's change report.
    const QStringList failures = labelusers::RefreshItemsUsing(*m_doc, presetDir, name);
    if (!failures.isEmpty())
        m_op.Tell(QStringLiteral("레이블을 다시 그릴 수 없는 주문이 있습니다.\n%1")
                      .arg(failures.join(QLatin1Char('\n'))));
}

void CMainFrame::OnChangeLabel() {
    UpdateLabelActions();
    if (!m_changeLabelAction->isEnabled())
        return;
    QString presetDir;
    m_shop.preference.GetPresetDir(presetDir);
    CZelLabelSelectDlg select(presetDir, *m_doc->Selection().front(), this);
    if (select.exec() != QDialog::Accepted)
        return;
    // The plate tells the operator when the label cannot be drawn.
    m_doc->ChangeLabel(select.LabelName());
    UpdateTitle();
}

QStringList CMainFrame::RecentFiles() {
    return QSettings().value(kRecentKey).toStringList().mid(0, kRecentFiles);
}

void CMainFrame::AddRecentFile(const QString& path) {
    QStringList files = RecentFiles();
    files.removeAll(path);
    files.prepend(path);
    QSettings().setValue(kRecentKey, files.mid(0, kRecentFiles));
    FillRecentMenu();
}

void CMainFrame::FillRecentMenu() {
    m_recentMenu->clear();
    const QStringList files = RecentFiles();
    for (int i = 0; i < files.size(); ++i) {
        QAction* action = m_recentMenu->addAction(
            QStringLiteral("&%1 %2").arg(i + 1).arg(QFileInfo(files[i]).fileName()));
        action->setObjectName(QStringLiteral("recentFile%1").arg(i + 1));
        action->setToolTip(files[i]);
        const QString path = files[i];
        connect(action, &QAction::triggered, this, [this, path] { OpenPlate(path); });
    }
    m_recentMenu->setEnabled(!files.isEmpty());
}

void CMainFrame::OnNewPlate() {
    if (!m_actions.newPlate)
        return;
    const QString path = m_actions.newPlate();
    if (!path.isEmpty())
        OpenPlate(path);
}

void CMainFrame::OnOpenPlate() {
    if (!m_actions.openPlate)
        return;
    const QString path = m_actions.openPlate(m_doc ? m_doc->Path() : QString());
    if (!path.isEmpty())
        OpenPlate(path);
}

void CMainFrame::OnSave() {
    if (!m_doc)
        return;
    if (const Result<void> saved = m_doc->Save(m_doc->Path()); !saved)
        m_op.Tell(QStringLiteral("판을 저장할 수 없습니다.\n%1").arg(saved.error()));
    UpdateTitle();
}

void CMainFrame::OnApplyToPreset() {
    if (!m_doc)
        return;
    if (const Result<void> applied = m_doc->ApplyToPreset(); !applied)
        m_op.Tell(applied.error());
    else
        m_status->showMessage(
            QStringLiteral("프리셋 \"%1\"에 적용했습니다.").arg(m_doc->Properties().presetName),
            5000);
    UpdateTitle();
}

void CMainFrame::OnAbout() {
    (new CSplashWnd(this))->ShowAsAbout();
}

void CMainFrame::AddPressActions(QMenu* file) {
    auto add = [this, file](const char* name, const QString& text, void (CMainFrame::*slot)()) {
        QAction* action = file->addAction(text);
        action->setObjectName(QString::fromLatin1(name));
        connect(action, &QAction::triggered, this, slot);
        return action;
    };
    m_makePressAction =
        add("makePressAction", QStringLiteral("출력용 PDF 생성"), &CMainFrame::OnMakePress);
    m_makePressAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    m_savePressAsAction = add("savePressAsAction", QStringLiteral("출력 PDF 다른 이름으로 저장..."),
                              &CMainFrame::OnSavePressAs);
    m_pressSettingsAction =
        add("pressSettingsAction", QStringLiteral("출력 설정..."), &CMainFrame::OnPressSettings);
    m_registerAction =
        add("registerPlateAction", QStringLiteral("판 등록..."), &CMainFrame::OnRegisterPlate);
}

void CMainFrame::UpdatePressActions() {
    const bool items = m_doc && m_doc->ItemCount() > 0;
    m_makePressAction->setEnabled(items);
    m_registerAction->setEnabled(items);
    m_pressSettingsAction->setEnabled(m_doc != nullptr);
    m_savePressAsAction->setEnabled(m_press && m_press->CanSaveAs());
}

void CMainFrame::OnMakePress() {
    if (!m_doc || m_doc->ItemCount() == 0 || !SaveIfModified())
        return;
    CMakePressSetupDlg setup(*m_doc, m_shop.preference, m_shop.colorBars, m_shop.registrationMarks,
                             m_op, this);
    const bool confirmed = setup.exec() == QDialog::Accepted;
    UpdateTitle();
    if (!confirmed || !SaveIfModified())
        return;
    MakePressOptions options = MakePressOptions::FromPreference(m_shop.preference);
    m_shop.site.GetCompany(options.companyCode);
    options.open = [](const QString& file) {
        QDesktopServices::openUrl(QUrl::fromLocalFile(file));
    };

    // What the run told the operator already is not told twice.
    struct Remembering : OperatorInterface {
        explicit Remembering(OperatorInterface& inner) : inner(inner) {}
        bool Ask(const QString& question) override { return inner.Ask(question); }
        void Tell(const QString& message) override {
            told << message;
            inner.Tell(message);
        }
        OperatorInterface& inner;
        QStringList told;
    } op(m_op);
    const ShopContext before = m_doc->Context();
    ShopContext during = before;
    during.op = &op;
    m_doc->SetContext(during);
    std::optional<Result<QStringList>> made;
    CPDFDlgMakePress progress(this);
    progress.RunOn(*m_doc, [this, &made, &options] {
        made = m_press->Make(options);
        return made->ok();
    });
    m_doc->SetContext(before);
    UpdateTitle();
    UpdateActions();
    const QString plate = m_doc->Properties().jobCode;
    if (!made->ok()) {
        m_jobLists->Log(
            QStringLiteral("판 %1: 출력용 PDF를 만들지 못했습니다: %2").arg(plate, made->error()),
            true);
        if (!op.told.contains(made->error()))
            m_op.Tell(QStringLiteral("출력용 PDF를 만들지 못했습니다.\n%1").arg(made->error()));
        return;
    }
    if (!m_press->Notes().isEmpty())
        m_op.Tell(QStringLiteral("출력용 PDF를 만들었습니다. 다음을 확인하십시오:\n%1")
                      .arg(m_press->Notes().join(QLatin1Char('\n'))));
    const QString folder = options.pressDir.isEmpty() ? QFileInfo(m_doc->Path()).absolutePath()
                                                      : QDir::toNativeSeparators(options.pressDir);
    const QString done = QStringLiteral("출력용 PDF 파일 %1개를 만들었습니다: %2")
                             .arg(made->value().size())
                             .arg(folder);
    m_status->showMessage(done);
    m_jobLists->Log(QStringLiteral("판 %1: %2").arg(plate, done));
}

bool CMainFrame::SavePressAs(const QString& path) {
    if (!m_press)
        return false;
    const Result<QString> saved = m_press->SaveAs(path);
    UpdatePressActions();
    if (!saved) {
        m_op.Tell(QStringLiteral("출력 PDF를 저장할 수 없습니다.\n%1").arg(saved.error()));
        return false;
    }
    m_status->showMessage(
        QStringLiteral("출력 PDF를 저장했습니다: %1").arg(QDir::toNativeSeparators(saved.value())));
    return true;
}

void CMainFrame::OnSavePressAs() {
    if (!m_doc || !m_press)
        return;
    const QString path = QFileDialog::getSaveFileName(
        this, QStringLiteral("출력 PDF 다른 이름으로 저장"),
        QFileInfo(m_doc->Path())
            .absoluteDir()
            .filePath(QFileInfo(m_doc->Path()).completeBaseName() + QStringLiteral(".pdf")),
        QStringLiteral("PDF (*.pdf)"));
    if (!path.isEmpty())
        SavePressAs(path);
}

void CMainFrame::OnPressSettings() {
    if (!m_doc)
        return;
    CMakePressSetupDlg setup(*m_doc, m_shop.preference, m_shop.colorBars, m_shop.registrationMarks,
                             m_op, this);
    setup.exec();
    UpdateTitle();
}

void CMainFrame::OnRegisterPlate() {
    if (!m_doc || m_doc->ItemCount() == 0)
        return;
    if (const Result<void> fit = registrationchecks::CheckPlate(RegistrationOf(*m_doc)); !fit) {
        m_op.Tell(fit.error());
        return;
    }
    QString url, signature;
    m_shop.preference.GetPlateRegUrl(url);
    m_shop.site.GetSignature(signature);
    CZelPlateRegDlg dialog(*m_doc, signature, url, m_op, this);
    const bool registered = dialog.exec() == QDialog::Accepted;
    UpdateTitle();
    if (registered) {
        const QString done =
            QStringLiteral("판 \"%1\"을(를) 등록했습니다.").arg(m_doc->Properties().jobCode);
        m_status->showMessage(done);
        m_jobLists->Log(done);
    }
}
