#include "newprojdlg.h"

#include "savedocpresetdlg.h"

#include "view/controlnames.h"
#include "view/platesettingspanel.h"

#include "engine/operatorinterface.h"
#include "engine/platecreation.h"
#include "records/zeldocumentpreset.h"
#include "shop/installation.h"
#include "shop/newplate.h"
#include "shop/presetsaving.h"

#include <QComboBox>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <QSignalBlocker>

#include <algorithm>

namespace {

const QString kLastPresetKey = QStringLiteral("NewPlate/LastPreset");

CPlateSettingsPanel::Lists ShopLists(Installation& shop) {
    CPlateSettingsPanel::Lists lists;
    CZelServerPreset& site = shop.site;
    lists.paperTypes = site.PaperTypeNames();
    lists.afterWorks = site.PanAfterWorkNames();
    for (CMTItem* e = site.FirstPaperSize(); e; e = site.NextEntry(e)) {
        CPlateSettingsPanel::PaperSize size;
        if (site.GetName(e, size.name) && site.GetPaperSize(e, size.width, size.height))
            lists.paperSizes.push_back(size);
    }
    lists.colorBars = shop.colorBars.Names();
    lists.registrationMarks = shop.registrationMarks.Names();
    return lists;
}

} // namespace

CZelNewProjDlg::CZelNewProjDlg(Installation& shop, CZelAccount& account, OperatorInterface& op,
                               QWidget* parent)
    : QDialog(parent), m_shop(shop), m_account(account), m_op(op) {
    setObjectName(QStringLiteral("newPlateDialog"));
    setWindowTitle(QStringLiteral("새판 만들기"));
    setAccessibleName(windowTitle());

    auto* creation =
        Named(new QGroupBox(QStringLiteral("판 생성")), "creationGroup", QStringLiteral("판 생성"));
    m_type = Named(new QComboBox, "plateType", QStringLiteral("판 종류"));
    for (CMTItem* e = shop.site.FirstPanCode(); e; e = shop.site.NextEntry(e)) {
        PlateType type;
        shop.site.GetPanPrefix(e, type.pan);
        shop.site.GetName(e, type.name);
        m_types.push_back(type);
        m_type->addItem(QStringLiteral("%1 (%2)").arg(type.name, type.pan));
    }
    m_date = Named(new QDateEdit(QDate::currentDate()), "workDate", QStringLiteral("작업 날짜"));
    m_date->setCalendarPopup(true);
    m_date->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    auto* creationForm = new QFormLayout(creation);
    creationForm->addRow(QStringLiteral("판 종류:"), m_type);
    creationForm->addRow(QStringLiteral("작업 날짜:"), m_date);

    auto* presetBox = Named(new QGroupBox(QStringLiteral("판 프리셋")), "presetGroup",
                            QStringLiteral("판 프리셋"));
    m_presets = Named(new QComboBox, "preset", QStringLiteral("판 프리셋:"));
    m_presets->setMinimumWidth(220);
    m_savePreset = Named(new QPushButton(QStringLiteral("프리셋 저장...")), "savePreset",
                         QStringLiteral("프리셋 저장..."));
    m_deletePreset = Named(new QPushButton(QStringLiteral("프리셋 삭제")), "deletePreset",
                           QStringLiteral("프리셋 삭제"));
    auto* presetRow = new QHBoxLayout(presetBox);
    presetRow->addWidget(new QLabel(QStringLiteral("판 프리셋:")));
    presetRow->addWidget(m_presets, 1);
    presetRow->addWidget(m_savePreset);
    presetRow->addWidget(m_deletePreset);

    m_settings = new CPlateSettingsPanel(ShopLists(shop));
    m_problem = Named(new QLabel, "problem", QStringLiteral("알림"));
    m_problem->setStyleSheet(QStringLiteral("color: #b00020"));
    auto* buttons = new QDialogButtonBox;
    m_ok = Named(buttons->addButton(QStringLiteral("확인"), QDialogButtonBox::AcceptRole), "ok",
                 QStringLiteral("확인"));
    Named(buttons->addButton(QStringLiteral("취소"), QDialogButtonBox::RejectRole), "cancel",
          QStringLiteral("취소"));
    for (QPushButton* button : buttons->findChildren<QPushButton*>())
        button->setAutoDefault(false);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* top = new QHBoxLayout;
    top->addWidget(creation);
    top->addWidget(presetBox, 1);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(m_problem, 1);
    bottom->addWidget(buttons);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_settings);
    layout->addLayout(bottom);

    if (m_types.empty()) {
        // Without a plate type no plate code can be issued.
        m_problem->setText(QStringLiteral("사이트 프리셋에 판 종류가 없어 판을 만들 수 없습니다."));
        m_ok->setEnabled(false);
    }

    // The built-in preset always exists, so the list is never empty.
    if (!QFileInfo::exists(CZelDocumentPreset::PathOf(DefaultPresetName()))) {
        CZelDocumentPreset preset;
        platecreation::DefaultProperties().WritePlateKeys(preset);
        preset.Name() = DefaultPresetName();
        if (!preset.Save(CZelDocumentPreset::PathOf(DefaultPresetName())))
            m_op.Tell(
                QStringLiteral("기본 프리셋을 저장할 수 없습니다.\n%1").arg(preset.LastError()));
    }
    connect(m_presets, &QComboBox::activated, this, &CZelNewProjDlg::OnPresetChosen);
    connect(m_savePreset, &QPushButton::clicked, this, &CZelNewProjDlg::OnSavePreset);
    connect(m_deletePreset, &QPushButton::clicked, this, &CZelNewProjDlg::OnDeletePreset);
    FillPresets(QSettings().value(kLastPresetKey).toString());
}

CZelNewProjDlg::~CZelNewProjDlg() = default;

void CZelNewProjDlg::FillPresets(const QString& select) {
    QStringList names;
    CZelDocumentPreset::ListPresets(names);
    names.removeAll(DefaultPresetName());
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        return a.compare(b, Qt::CaseInsensitive) < 0;
    });
    names << DefaultPresetName();
    {
        const QSignalBlocker blocker(m_presets);
        m_presets->clear();
        m_presets->addItems(names);
    }
    const int wanted = std::max(0, int(names.indexOf(select)));
    for (int index : {wanted, 0, int(names.size()) - 1}) {
        m_presets->setCurrentIndex(index);
        if (LoadPreset(names.at(index)))
            break;
    }
    UpdatePresetButtons();
}

bool CZelNewProjDlg::LoadPreset(const QString& name) {
    auto preset = std::make_unique<CZelDocumentPreset>();
    const QString path = CZelDocumentPreset::PathOf(name);
    PlateProperties properties = platecreation::DefaultProperties();
    if (QFileInfo::exists(path)) {
        if (!preset->LoadWhole(path, CZelDocumentPreset::kDocumentType)) {
            m_op.Tell(QStringLiteral("프리셋 \"%1\"을(를) 읽을 수 없습니다.\n%2")
                          .arg(name, preset->LastError()));
            return false;
        }
        properties.ReadPlateKeys(*preset);
    } else if (name != DefaultPresetName()) {
        m_op.Tell(QStringLiteral("프리셋 \"%1\"이(가) 없습니다.").arg(name));
        return false;
    }
    m_settings->SetProperties(properties);
    m_preset = std::move(preset);
    m_presetName = name;
    return true;
}

void CZelNewProjDlg::OnPresetChosen(int index) {
    const QString name = m_presets->itemText(index);
    if (!LoadPreset(name)) {
        // The shown values are still the previous preset's: show its name.
        const QSignalBlocker blocker(m_presets);
        m_presets->setCurrentIndex(std::max(0, m_presets->findText(m_presetName)));
    }
    UpdatePresetButtons();
}

void CZelNewProjDlg::UpdatePresetButtons() {
    m_deletePreset->setEnabled(m_presetName != DefaultPresetName());
}

void CZelNewProjDlg::OnSavePreset() {
    const PlateProperties properties = m_settings->Properties();
    if (const QString invalid = platecreation::Validate(properties); !invalid.isEmpty()) {
        m_op.Tell(invalid);
        return;
    }
    QStringList names;
    for (int i = 0; i < m_presets->count(); ++i)
        names << m_presets->itemText(i);
    CSaveDocPresetDlg dialog(names, m_presets->currentIndex(), m_op, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const QString name = dialog.Name();
    if (const Result<QString> saved = presetsaving::SaveDocumentPreset(properties, name); !saved) {
        m_op.Tell(saved.error());
        return;
    }
    FillPresets(name);
}

void CZelNewProjDlg::OnDeletePreset() {
    const QString name = m_presetName;
    if (name == DefaultPresetName())
        return;
    if (!m_op.Ask(QStringLiteral("프리셋 \"%1\"을(를) 삭제하시겠습니까?").arg(name)))
        return;
    QFile file(CZelDocumentPreset::PathOf(name));
    if (!file.remove()) {
        m_op.Tell(QStringLiteral("프리셋 \"%1\"을(를) 삭제할 수 없습니다.\n%2")
                      .arg(name, file.errorString()));
        return;
    }
    FillPresets(DefaultPresetName());
}

void CZelNewProjDlg::accept() {
    if (m_types.empty())
        return;
    PreparedPlate plate;
    plate.creation.properties = m_settings->Properties();
    if (const QString invalid = platecreation::Validate(plate.creation.properties);
        !invalid.isEmpty()) {
        m_op.Tell(invalid);
        return;
    }
    const PlateType& type = m_types.at(size_t(std::max(0, m_type->currentIndex())));
    plate.creation.panPrefix = type.pan;
    plate.creation.panName = type.name;
    plate.creation.presetName = m_presetName;
    plate.creation.date = m_date->date();
    plate.creation.preset = m_preset.get();
    const Result<QString> path = CreatePlate(m_shop, m_account, plate);
    if (!path) {
        m_op.Tell(QStringLiteral("판을 만들 수 없습니다.\n%1").arg(path.error()));
        return;
    }
    m_platePath = path.value();
    QSettings().setValue(kLastPresetKey, m_presetName);
    QDialog::accept();
}
