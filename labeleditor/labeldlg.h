#pragma once

#include "records/logfont.h"

#include <QDialog>

#include <memory>
#include <utility>
#include <vector>

class CZelLabEditWnd;
class CZelLabel;
class FieldListModel;
class OperatorInterface;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QTableView;

// "레이블 편집": creates, edits, saves and deletes the shop's labels. Every
// edit marks the label modified; choosing another label or closing asks
// whether to save it first.
class CZelLabelDlg : public QDialog {
    Q_OBJECT
public:
    // presetDir: the shop's preset folder (labels and their field kinds).
    // Questions and messages go to op.
    CZelLabelDlg(const QString& presetDir, OperatorInterface& op, QWidget* parent = nullptr);
    ~CZelLabelDlg() override;

    // The label being edited (for tests and the tour).
    CZelLabel& Label() const { return *m_label; }
    CZelLabEditWnd* Canvas() const { return m_canvas; }
    // Shows a stored label, as choosing it in the name list does (asking
    // about unsaved changes first). False when it stays on the current one.
    bool ShowStoredLabel(const QString& name);

    // Closing asks about unsaved changes.
    void reject() override;

signals:
    // A label file was written or removed: items drawn with it need drawing again.
    void labelChanged(const QString& name);

private:
    void FillNames(const QString& chosen);
    QStringList StoredNames() const;
    void FillFonts();
    int FontEntryOf(const LogFont& font);
    LogFont CurrentFont() const;

    // Asks about unsaved changes; false when the operator called it off.
    bool SettleChanges();
    bool Save();
    void Delete();
    void NameChosen(int index);
    // Loads a stored label, or starts a new one for an empty name.
    void Show(const QString& name);

    // The fields after the canvas or an edit changed the label.
    void ShowSelection();
    void ShowPosition();
    void ShowSize();
    void ShowFontSize();
    void ApplyFields();
    void ApplyFontSize(const QString& text);
    void ApplyFace(int index);
    void ApplyRotation(int index);
    void ObjectEdited();

    QString m_presetDir;
    OperatorInterface& m_op;
    std::unique_ptr<CZelLabel> m_label;
    std::vector<std::pair<QString, QString>> m_definitions; // (tag, title)
    std::vector<LogFont> m_fontEntries;                     // per face combo entry
    std::int32_t m_fontHeight;                              // the size field's height
    int m_shownName = -1;                                   // name combo index shown

    QComboBox* m_names;
    QPushButton* m_save;
    QPushButton* m_delete;
    QPushButton* m_close;
    FieldListModel* m_fieldModel;
    QTableView* m_fields;
    CZelLabEditWnd* m_canvas;
    QLineEdit* m_x;
    QLineEdit* m_y;
    QLineEdit* m_w;
    QLineEdit* m_h;
    QCheckBox* m_frame;
    QCheckBox* m_invert;
    QComboBox* m_halign;
    QComboBox* m_valign;
    QComboBox* m_face;
    QComboBox* m_size;
    QComboBox* m_rotation;
};
