#pragma once

#include "messageboxoperator.h"

#include <QMainWindow>

#include <functional>
#include <memory>

class CJobLists;
class CPlatePreflight;
class CProgStatusBar;
class PressOutput;
class CTesselView;
class CPlateCommands;
class CWDPDlg;
class CTesselDoc;
class Installation;
class QDockWidget;
class QMenu;
class ShopSession;

// The single-document frame: the plate in the middle, the product
// classification bar on the left, the job list bar at the bottom, the
// toolbar and the status bar with the progress of long operations. It owns
// the open plate.
class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    struct Actions {
        // The new-plate dialog; the created plate's path, or empty.
        std::function<QString()> newPlate;
        // The open-plate dialog given the open plate's path; the chosen path, or empty.
        std::function<QString(const QString& current)> openPlate;
    };

    CMainFrame(Installation& shop, ShopSession& session, Actions actions,
               QWidget* parent = nullptr);
    ~CMainFrame() override;

    // Opens a plate file as the document, after saving the open one when it
    // has changes. False, with the reason told to the operator, when the
    // open plate cannot be saved or the file cannot be opened (the open
    // plate then stays).
    bool OpenPlate(const QString& path);
    // Saves the open plate when it has changes; false (told) when that fails.
    bool SaveIfModified();
    CTesselDoc* Document() const { return m_doc.get(); }
    CProgStatusBar* ProgressBar() const { return m_status; }
    CTesselView* View() const { return m_view; }
    // The job list bars; press runs and registrations log through it.
    CJobLists* JobLists() const { return m_jobLists; }
    // The open plate's preflight, shown in the job list bar and the view.
    CPlatePreflight* Preflight() const { return m_preflight; }
    OperatorInterface& Operator() { return m_op; }

    // Writes the press files made last, merged into one file at path; false
    // (told) when that fails.
    bool SavePressAs(const QString& path);

    // The four plates opened last, newest first (per user).
    static QStringList RecentFiles();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void CreateMenus();
    void UpdateTitle();
    void UpdateActions();
    // Undo and redo name the step they would take.
    void UpdateUndoActions();
    void UndoOrRedo(bool undo);
    void AddRecentFile(const QString& path);
    void FillRecentMenu();
    void OnNewPlate();
    void OnOpenPlate();
    void OnSave();
    void OnApplyToPreset();
    void OnAbout();
    void AddViewMenu(QMenu* view);
    void AddEditMenu();
    // The commands that open the item and plate dialogs, in a menu of their own.
    void AddItemDialogActions();
    void UpdateItemDialogActions();
    // After one of those commands: redraw and recompute what changed.
    void ItemDialogDone();
    // "레이블 편집..." and "레이블 변경...", also for the plate's context menu.
    void AddLabelActions(QMenu* menu);
    void UpdateLabelActions();
    void OnLabelEditor();
    void OnChangeLabel();
    // After the label editor wrote or removed a label: the plate's items
    // drawn with it are drawn again.
    void LabelChanged(const QString& name);
    void AddPressActions(QMenu* file);
    void UpdatePressActions();
    void OnMakePress();
    void OnSavePressAs();
    void OnPressSettings();
    void OnRegisterPlate();

    Installation& m_shop;
    ShopSession& m_session;
    Actions m_actions;
    CMessageBoxOperator m_op;
    std::unique_ptr<CTesselDoc> m_doc;
    // The open plate's press files; goes before the plate does.
    std::unique_ptr<PressOutput> m_press;
    CProgStatusBar* m_status;
    CTesselView* m_view;
    CWDPDlg* m_panel;
    CPlateCommands* m_commands;
    QDockWidget* m_panelBar;
    QAction* m_zoomIn = nullptr;
    QAction* m_zoomOut = nullptr;
    QAction* m_selectAll = nullptr;
    QAction* m_undoAction = nullptr;
    QAction* m_redoAction = nullptr;
    QAction* m_deleteItems = nullptr;
    QList<QAction*> m_sideActions;
    CJobLists* m_jobLists;
    CPlatePreflight* m_preflight;
    QDockWidget* m_productBar;
    QDockWidget* m_jobBar;
    QMenu* m_recentMenu = nullptr;
    QAction* m_saveAction = nullptr;
    QAction* m_applyPresetAction = nullptr;
    // Item and plate dialogs; the view's context menu reuses them.
    QAction* m_propertiesAction = nullptr;
    QAction* m_plateDetailsAction = nullptr;
    QAction* m_duplicateAction = nullptr;
    QAction* m_spaceHorizontalAction = nullptr;
    QAction* m_spaceVerticalAction = nullptr;
    QAction* m_ownCutAction = nullptr;
    QAction* m_frameAction = nullptr;
    QAction* m_editLinesAction = nullptr;
    QAction* m_editTextBoxesAction = nullptr;
    QAction* m_labelEditorAction = nullptr;
    QAction* m_changeLabelAction = nullptr;
    QAction* m_makePressAction = nullptr;
    QAction* m_savePressAsAction = nullptr;
    QAction* m_pressSettingsAction = nullptr;
    QAction* m_registerAction = nullptr;
};
