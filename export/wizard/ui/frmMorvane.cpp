#include "export/wizard/ui/frmMorvane.h"

#include "ui_frmMorvane.h"

#include "export/common/ErrorReport.h"
#include "export/common/RuntimeError.h"
#include "export/common/ui/CenterForm.h"
#include "export/data/odbc/OdbcLogon.h"
#include "export/data/ui/frmODBCLogon.h"
#include "export/engine/ExportCaller.h"
#include "export/engine/TypeConnect.h"
#include "export/settings/ui/frmSettings.h"
#include "export/wizard/ExportSession.h"
#include "export/wizard/FieldWidths.h"
#include "export/wizard/ui/DigitKeyFilter.h"
#include "export/wizard/ui/frmAdvanced.h"

#include <QFileDialog>
#include <QHeaderView>
#include <QPainter>
#include <QPainterPath>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTableWidget>

namespace morvane {
namespace {

//! An arrow for the ordering buttons, with a bar for "to the top/bottom".
QIcon ArrowIcon(const QPalette& palette, bool up, bool bar) {
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(palette.color(QPalette::ButtonText));
    QPainterPath arrow;
    const qreal tip = up ? 6 : 26, base = up ? 20 : 12;
    arrow.moveTo(16, tip);
    arrow.lineTo(5, base);
    arrow.lineTo(27, base);
    arrow.closeSubpath();
    painter.drawPath(arrow);
    painter.drawRect(QRectF(12, up ? base : 6, 8, 6));
    if (bar) painter.drawRect(QRectF(5, up ? 1 : 28, 22, 3));
    return QIcon(pixmap);
}

}  // namespace

frmMorvane::frmMorvane(ExportSession& session, QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::frmMorvane>()), session_(session) {
    ui_->setupUi(this);
    setModal(true);
    ui_->CBoxDelimiter->addItem(QStringLiteral("\""), 0);
    ui_->CBoxDelimiter->addItem(QStringLiteral("'"), 1);
    ui_->CBoxDelimiter->addItem(QStringLiteral("None"), 2);
    ui_->PreviewText->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    ui_->PreviewGrid->hide();
    ui_->PreviewGrid->setWordWrap(false);
    ui_->PreviewGrid->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    const QPalette& pal = palette();
    ui_->BtnTop->setIcon(ArrowIcon(pal, true, true));
    ui_->BtnUp->setIcon(ArrowIcon(pal, true, false));
    ui_->BtnDown->setIcon(ArrowIcon(pal, false, false));
    ui_->BtnBottom->setIcon(ArrowIcon(pal, false, true));
    for (QPushButton* button : {ui_->BtnTop, ui_->BtnUp, ui_->BtnDown, ui_->BtnBottom}) {
        button->setAccessibleName(button->toolTip());
        button->setIconSize(QSize(16, 16));
    }
    // One non-native dialog, so that it can be found (and driven) while it is open.
    commonDialog_ = new QFileDialog(this);
    commonDialog_->setObjectName(QStringLiteral("CommonDialog1"));
    commonDialog_->setOption(QFileDialog::DontUseNativeDialog);
    commonDialog_->setOption(QFileDialog::ReadOnly);
    // All steps take the height of the tallest, so the preview below does not jump.
    int stepHeight = 0;
    for (int step = 0; step < ui_->FrameSteps->count(); ++step)
        stepHeight = std::max(stepHeight, ui_->FrameSteps->widget(step)->sizeHint().height());
    ui_->FrameSteps->setFixedHeight(stepHeight);
    DigitKeyFilter::Install(ui_->MEdtSize);
    WireHandlers();
    CenterForm(this);
}

frmMorvane::~frmMorvane() = default;

template <typename Handler>
auto frmMorvane::Guarded(Handler handler) {
    return [this, handler](auto&&...) {
        try {
            handler();
        } catch (const std::exception& error) {
            ShowError(session_.GetPrompter(), error);
        } catch (...) {
            ShowError(session_.GetPrompter(),
                      RuntimeError(ErrInternal, QStringLiteral("Internal error")));
        }
    };
}

void frmMorvane::WireHandlers() {
    Ui::frmMorvane& ui = *ui_;
    connect(ui.BtnNext, &QPushButton::clicked, this, Guarded([this] { BtnNext_Click(); }));
    connect(ui.BtnPrev, &QPushButton::clicked, this, Guarded([this] { BtnPrev_Click(); }));
    connect(ui.BtnFinish, &QPushButton::clicked, this, Guarded([this] { BtnFinish_Click(); }));
    connect(ui.BtnCancel, &QPushButton::clicked, this, Guarded([this] { BtnCancel_Click(); }));
    connect(ui.BtnSaveSetting, &QPushButton::clicked, this,
            Guarded([this] { BtnSaveSetting_Click(); }));
    connect(ui.BtnSettings1, &QPushButton::clicked, this, Guarded([this] { BtnSettings_Click(); }));
    connect(ui.BtnSettings2, &QPushButton::clicked, this, Guarded([this] { BtnSettings_Click(); }));
    connect(ui.BtnBrowseFiles, &QPushButton::clicked, this,
            Guarded([this] { BtnBrowseFiles_Click(); }));
    connect(ui.Command3, &QPushButton::clicked, this, Guarded([this] { Command3_Click(); }));
    connect(ui.CBoxTables, qOverload<int>(&QComboBox::currentIndexChanged), this,
            Guarded([this] { CBoxTables_Click(); }));
    connect(ui.CBoxTypeFormat, qOverload<int>(&QComboBox::currentIndexChanged), this,
            Guarded([this] { CBoxTypeFormat_Click(); }));
    connect(ui.EdtFileName, &QLineEdit::textChanged, this,
            Guarded([this] { EdtFileName_Change(); }));
    connect(ui.CBoxFieldNames, &QCheckBox::toggled, this,
            Guarded([this] { CBoxFieldNames_Click(); }));
    connect(ui.CBoxHtmlFieldNames, &QCheckBox::toggled, this,
            Guarded([this] { CBoxHtmlFieldNames_Click(); }));
    connect(ui.CBoxHtmlTableName, &QCheckBox::toggled, this,
            Guarded([this] { CBoxHtmlTableName_Click(); }));
    connect(ui.EdtHtmlPageTitle, &QLineEdit::textChanged, this,
            [this](const QString& text) { session_.Setting().HtmlTitle = text; });
    connect(ui.EdtHtmlTemplate, &QLineEdit::textChanged, this,
            [this](const QString& text) { session_.Setting().HtmlTemplate = text; });
    // The handlers below may raise host events (previews, FilterType): a handler that
    // throws must not unwind through Qt's event loop, so each is guarded.
    const QList<QRadioButton*> separators{ui.RBtnComma, ui.RBtnSemicolon, ui.RBtnSpace, ui.RBtnTab};
    for (int separator = 0; separator < separators.size(); ++separator) {
        QRadioButton* button = separators.at(separator);
        connect(button, &QRadioButton::toggled, this, Guarded([this, button, separator] {
                    if (!button->isChecked()) return;
                    session_.Setting().SetSeparator(separator);
                    if (session_.CurrentStep() == 2) UpdatePreview();
                }));
    }
    connect(ui.CBoxDelimiter, qOverload<int>(&QComboBox::currentIndexChanged), this,
            Guarded([this] {
                session_.ChooseDelimiter(ui_->CBoxDelimiter->currentIndex());
                if (session_.CurrentStep() == 2) UpdatePreview();
            }));
    connect(ui.IncludeBtn, &QPushButton::clicked, this, Guarded([this] { IncludeBtn_Click(); }));
    connect(ui.ExcludeBtn, &QPushButton::clicked, this, Guarded([this] { ExcludeBtn_Click(); }));
    connect(ui.IncAllBtn, &QPushButton::clicked, this, Guarded([this] { IncAllBtn_Click(); }));
    connect(ui.ExAllBtn, &QPushButton::clicked, this, Guarded([this] { ExAllBtn_Click(); }));
    connect(ui.BtnTop, &QPushButton::clicked, this, Guarded([this] { BtnTop_Click(); }));
    connect(ui.BtnUp, &QPushButton::clicked, this, Guarded([this] { BtnUp_Click(); }));
    connect(ui.BtnDown, &QPushButton::clicked, this, Guarded([this] { BtnDown_Click(); }));
    connect(ui.BtnBottom, &QPushButton::clicked, this, Guarded([this] { BtnBottom_Click(); }));
    connect(ui.LBoxSelFields, &QListWidget::itemSelectionChanged, this,
            Guarded([this] { LBoxSelFields_Click(); }));
    connect(ui.BtnAdvanced, &QPushButton::clicked, this, Guarded([this] { BtnAdvanced_Click(); }));
    connect(ui.LBoxFixedFields, &QListWidget::currentRowChanged, this,
            Guarded([this] { LBoxFixedFields_Click(); }));
    connect(ui.MEdtSize, &QLineEdit::textChanged, this, Guarded([this] { MEdtSize_Change(); }));
    connect(ui.EdtSizeScroll, &QScrollBar::valueChanged, this,
            Guarded([this] { EdtSizeScroll_Change(); }));
    connect(ui.BtnDefaultField, &QPushButton::clicked, this,
            Guarded([this] { BtnDefaultField_Click(); }));
    connect(ui.BtnDefaultAll, &QPushButton::clicked, this,
            Guarded([this] { BtnDefaultAll_Click(); }));
    connect(ui.LBoxAvailFields, &QListWidget::itemSelectionChanged, this, [this] {
        if (!mirroring_) ReadListSelection();
    });
}

QString frmMorvane::Title() const {
    return windowTitle();
}

void frmMorvane::SetTitle(const QString& title) {
    setWindowTitle(title);
}

void frmMorvane::RefreshFromSetting() {
    UpdateControls();
    AdjustPreviewGrid();
    UpdatePreview();
}

void frmMorvane::PrepareView() {
    {
        const QSignalBlocker blocker(ui_->CBoxTables);
        ui_->CBoxTables->clear();
        for (const SourceEntry& entry : session_.SourceEntries())
            ui_->CBoxTables->addItem(entry.Name, entry.Kind);
        if (ui_->CBoxTables->count() > 0) ui_->CBoxTables->setCurrentIndex(0);
    }
    {
        const QSignalBlocker blocker(ui_->CBoxTypeFormat);
        ui_->CBoxTypeFormat->clear();
        for (const int kind : session_.OfferedKinds())
            ui_->CBoxTypeFormat->addItem(OutputKindText(kind), kind);
        ui_->CBoxTypeFormat->setCurrentIndex(-1);
    }
    // The first step has its own settings button; the output step's is for single-table
    // mode, where the first step is never shown.
    ui_->BtnSettings2->setVisible(session_.FirstStep() != 0);
    ui_->EdtSizeScroll->setRange(-1, 1);
    ui_->EdtSizeScroll->setValue(0);
    ui_->EdtSizeScroll->setSingleStep(1);
    ui_->EdtSizeScroll->setPageStep(1);
    ShowStep();
}

void frmMorvane::ShowModal(const QString& caption) {
    setWindowTitle(caption);
    exec();
}

void frmMorvane::ShowStep() {
    ui_->FrameSteps->setCurrentIndex(session_.CurrentStep());
}

void frmMorvane::UpdateControls() {
    Ui::frmMorvane& ui = *ui_;
    const ExportSetting& setting = session_.Setting();
    const int kindIndex = ui.CBoxTypeFormat->findData(setting.TypeFormat);
    if (kindIndex >= 0) {
        if (kindIndex != ui.CBoxTypeFormat->currentIndex())
            ui.CBoxTypeFormat->setCurrentIndex(kindIndex);  // runs CBoxTypeFormat_Click
        else
            CBoxTypeFormat_Click();  // the same entry: still fit the name to the kind
    }
    const QList<QRadioButton*> separators{ui.RBtnComma, ui.RBtnSemicolon, ui.RBtnSpace, ui.RBtnTab};
    for (int separator = 0; separator < separators.size(); ++separator)
        separators.at(separator)->setChecked(setting.Separator == separator);
    ui.CBoxFieldNames->setChecked(setting.ExportFldNames);
    if (setting.Delimiter >= 0 && setting.Delimiter < ui.CBoxDelimiter->count())
        ui.CBoxDelimiter->setCurrentIndex(setting.Delimiter);
    if (ui.EdtFileName->text() != session_.Destination().File)
        ui.EdtFileName->setText(session_.Destination().File);
    ui.CBoxHtmlFieldNames->setChecked(setting.ExportHtmlFldNames);
    ui.CBoxHtmlTableName->setChecked(setting.ExportHtmlTableName);
    ui.EdtHtmlPageTitle->setText(setting.HtmlTitle);
    ui.EdtHtmlTemplate->setText(setting.HtmlTemplate);
    ShowLists();
    UpdateStepButtons();
    UpdateFieldsListsButtons();
}

void frmMorvane::UpdateStepButtons() {
    const StepButtons buttons = session_.CurrentStepButtons();
    ui_->BtnNext->setEnabled(buttons.Next);
    ui_->BtnPrev->setEnabled(buttons.Prev);
    ui_->BtnFinish->setEnabled(buttons.Finish);
    ui_->BtnSaveSetting->setEnabled(buttons.SaveSetting);
    if (session_.CurrentStep() == 3) RefreshWidthList();
}

void frmMorvane::RefreshWidthList() {
    session_.Lists().RefreshFixedList();
    const bool enabled = !session_.Lists().Fixed().IsEmpty();
    for (QWidget* widget : std::initializer_list<QWidget*>{ui_->MEdtSize, ui_->BtnDefaultField,
                                                           ui_->BtnDefaultAll, ui_->EdtSizeScroll})
        widget->setEnabled(enabled);
    {
        const QSignalBlocker blocker(ui_->LBoxFixedFields);
        ui_->LBoxFixedFields->clear();
        ui_->LBoxFixedFields->addItems(session_.Lists().Fixed().Names());
        if (enabled) ui_->LBoxFixedFields->setCurrentRow(0);
    }
    if (enabled) LBoxFixedFields_Click();
}

FieldWidths frmMorvane::Widths() {
    return FieldWidths(session_.Setting(), session_.Source().Rs());
}

QString frmMorvane::SelectedFixedField() const {
    const QListWidgetItem* item = ui_->LBoxFixedFields->currentItem();
    return item ? item->text() : QString();
}

void frmMorvane::LBoxFixedFields_Click() {
    const QString field = SelectedFixedField();
    if (field.isEmpty()) return;
    // A field past the width table is exported with the engine's size, shown here.
    ui_->MEdtSize->setEnabled(Widths().HasOwnWidth(field));
    ui_->MEdtSize->setText(Widths().Text(field));
}

void frmMorvane::MEdtSize_Change() {
    const QString field = SelectedFixedField();
    const QString text = ui_->MEdtSize->text();
    if (field.isEmpty() || text.isEmpty()) return;  // an empty box stores nothing
    const QString shown = Widths().Store(field, text);
    if (shown != text) ui_->MEdtSize->setText(shown);  // clamped to the largest width
    UpdatePreview();
}

void frmMorvane::EdtSizeScroll_Change() {
    const int direction = ui_->EdtSizeScroll->value();
    if (direction == 0) return;
    const QString text = ui_->MEdtSize->text();
    const QString spun = FieldWidths::Spin(text, direction);
    if (spun != text) ui_->MEdtSize->setText(spun);
    ui_->EdtSizeScroll->setValue(0);
    ui_->MEdtSize->setFocus();
}

void frmMorvane::BtnDefaultField_Click() {
    const QString field = SelectedFixedField();
    if (!field.isEmpty()) ui_->MEdtSize->setText(Widths().Default(field));
    UpdatePreview();
}

void frmMorvane::BtnDefaultAll_Click() {
    FieldWidths widths = Widths();
    for (const QString& field : session_.Lists().Fixed().Names()) widths.Default(field);
    BtnDefaultField_Click();
}

void frmMorvane::BtnAdvanced_Click() {
    frmAdvanced dialog(AdvancedOptions::FromSetting(session_.Setting()), this);
    if (dialog.exec() != QDialog::Accepted) return;
    dialog.Options().WriteTo(session_.Setting());
    AdjustPreviewGrid();
    UpdatePreview();
}

void frmMorvane::UpdateFieldsListsButtons() {
    session_.Lists().UpdateListButtons();
    session_.CountSelectedFields();
    ShowListButtons();
    UpdateStepButtons();
}

void frmMorvane::UpdatePreview() {
    SetHourglass(session_.GetPrompter(), true);
    // Text kinds preview as text, the others as a grid.
    const bool grid = session_.Setting().TypeFormat > TypeConnect::HtmlTags;
    ui_->PreviewText->setVisible(!grid);
    ui_->PreviewGrid->setVisible(grid);
    if (grid) {
        const PreviewTable table = session_.TablePreview();
        QTableWidget& cells = *ui_->PreviewGrid;
        cells.clearContents();
        cells.setColumnCount(table.Header.size());
        cells.setHorizontalHeaderLabels(table.Header);
        for (int row = 0; row < table.Rows.size() && row < cells.rowCount(); ++row)
            for (int column = 0; column < table.Rows.at(row).size(); ++column)
                cells.setItem(row, column, new QTableWidgetItem(table.Rows.at(row).at(column)));
        // Columns fit their values, up to a third of the view each.
        cells.resizeColumnsToContents();
        const int widest = std::max(80, cells.viewport()->width() / 3);
        for (int column = 0; column < cells.columnCount(); ++column)
            cells.setColumnWidth(column, std::min(cells.columnWidth(column), widest));
    } else {
        ui_->PreviewText->setPlainText(session_.FilePreview());
    }
    SetHourglass(session_.GetPrompter(), false);
}

void frmMorvane::AdjustPreviewGrid() {
    ui_->PreviewGrid->setRowCount(session_.AdjustPreviewGrid());
}

// --- Navigation --------------------------------------------------------------------------

void frmMorvane::BtnNext_Click() {
    session_.GoNext();
    ShowStep();
    UpdateStepButtons();
}

void frmMorvane::BtnPrev_Click() {
    session_.GoBack();
    ShowStep();
    UpdateStepButtons();
}

void frmMorvane::BtnFinish_Click() {
    if (session_.Finish()) {
        accept();
        return;
    }
    ShowStep();
    UpdateStepButtons();
}

void frmMorvane::BtnCancel_Click() {
    reject();
}

// --- Settings ------------------------------------------------------------------------------

void frmMorvane::BtnSaveSetting_Click() {
    PromptSaveSetting(*this);
}

void frmMorvane::BtnSettings_Click() {
    frmSettings& dialog = frmSettings::Instance();
    dialog.SetCaller(this);
    dialog.exec();
    dialog.SetCaller(nullptr);
}

// --- Source, output kind and destination -------------------------------------------------

void frmMorvane::CBoxTables_Click() {
    if (!session_.ChooseSource(ui_->CBoxTables->currentIndex())) return;
    RefreshFromSetting();
}

void frmMorvane::CBoxTypeFormat_Click() {
    const QVariant kind = ui_->CBoxTypeFormat->currentData();
    if (!kind.isValid()) return;
    const QString before = session_.Destination().File;
    const QString fileName = session_.ChooseOutputKind(kind.toInt());
    if (session_.CurrentStep() == 1) UpdatePreview();
    ui_->BtnBrowseFiles->setText(kind.toInt() == TypeConnect::ODBC ? QStringLiteral("Datasource...")
                                                                   : QStringLiteral("Browse..."));
    if (fileName != before || ui_->EdtFileName->text() != fileName)
        ui_->EdtFileName->setText(fileName);
}

void frmMorvane::EdtFileName_Change() {
    session_.Destination().File = ui_->EdtFileName->text();
    UpdateStepButtons();
}

QString frmMorvane::RunFileDialog(bool save, const QStringList& filters, int preselected,
                                  const QString& initial, int* filterEntry) {
    QFileDialog& dialog = *commonDialog_;
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setNameFilters(filters);
    if (preselected >= 1 && preselected <= filters.size())
        dialog.selectNameFilter(filters.at(preselected - 1));
    if (!initial.isEmpty()) {
        const QFileInfo info(initial);
        if (info.dir().exists()) dialog.setDirectory(info.dir());
        dialog.selectFile(info.fileName());
    } else {
        dialog.selectFile(QString());
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return QString();
    if (filterEntry) *filterEntry = filters.indexOf(dialog.selectedNameFilter()) + 1;
    return dialog.selectedFiles().constFirst();
}

void frmMorvane::BtnBrowseFiles_Click() {
    if (session_.Setting().TypeFormat == TypeConnect::ODBC) {
        frmODBCLogon& logon = frmODBCLogon::Instance();
        logon.exec();
        if (logon.Confirmed()) session_.UseOdbcLogon(logon.Model());
        return;
    }
    const SaveFilter filter = session_.DestinationFilter();
    int entry = 0;
    const QString chosen =
        RunFileDialog(true, filter.Names, filter.Preselected, ui_->EdtFileName->text(), &entry);
    if (chosen.isEmpty()) return;  // cancelled: nothing changes
    ui_->EdtFileName->setText(chosen);
    session_.ApplyBrowsedFile(chosen, entry);
    UpdateControls();
}

void frmMorvane::Command3_Click() {
    const QStringList filters{QStringLiteral("All Files (*.*)"),
                              QStringLiteral("HTML Files & (*.html *.htm)")};
    const QString chosen = RunFileDialog(false, filters, 2, ui_->EdtHtmlTemplate->text(), nullptr);
    if (!chosen.isEmpty()) ui_->EdtHtmlTemplate->setText(chosen);
}

// --- Header options ----------------------------------------------------------------------

void frmMorvane::CBoxFieldNames_Click() {
    session_.Setting().ExportFldNames = ui_->CBoxFieldNames->isChecked();
    UpdatePreview();
}

void frmMorvane::CBoxHtmlFieldNames_Click() {
    session_.Setting().ExportHtmlFldNames = ui_->CBoxHtmlFieldNames->isChecked();
}

void frmMorvane::CBoxHtmlTableName_Click() {
    session_.Setting().ExportHtmlTableName = ui_->CBoxHtmlTableName->isChecked();
}

// --- Field choice and order --------------------------------------------------------------

void frmMorvane::ReadListSelection() {
    const auto read = [](QListWidget* widget, FieldList& list) {
        for (int row = 0; row < widget->count() && row < list.Count(); ++row)
            list.SetSelected(row, widget->item(row)->isSelected());
        const int current = widget->currentRow();
        list.SetCurrent(current < list.Count() ? current : -1);
    };
    read(ui_->LBoxAvailFields, session_.Lists().Available());
    read(ui_->LBoxSelFields, session_.Lists().Selected());
}

void frmMorvane::ShowList(QListWidget* widget, const FieldList& list) {
    const bool wasMirroring = mirroring_;
    mirroring_ = true;
    const QSignalBlocker blocker(widget);
    if (widget->count() != list.Count() || [&] {
            for (int row = 0; row < list.Count(); ++row)
                if (widget->item(row)->text() != list.Name(row)) return true;
            return false;
        }()) {
        widget->clear();
        widget->addItems(list.Names());
    }
    widget->setCurrentRow(list.Current(), QItemSelectionModel::NoUpdate);
    for (int row = 0; row < list.Count(); ++row)
        widget->item(row)->setSelected(list.IsSelected(row));
    mirroring_ = wasMirroring;
}

void frmMorvane::ShowLists() {
    ShowList(ui_->LBoxAvailFields, session_.Lists().Available());
    ShowList(ui_->LBoxSelFields, session_.Lists().Selected());
}

void frmMorvane::ShowListButtons() {
    const FieldListButtons& buttons = session_.Lists().Buttons();
    ui_->IncludeBtn->setEnabled(buttons.Include);
    ui_->IncAllBtn->setEnabled(buttons.IncludeAll);
    ui_->ExcludeBtn->setEnabled(buttons.Exclude);
    ui_->ExAllBtn->setEnabled(buttons.ExcludeAll);
    ui_->BtnTop->setEnabled(buttons.Top);
    ui_->BtnUp->setEnabled(buttons.Up);
    ui_->BtnDown->setEnabled(buttons.Down);
    ui_->BtnBottom->setEnabled(buttons.Bottom);
}

template <typename Operation>
void frmMorvane::RunListOperation(Operation operation) {
    ReadListSelection();
    operation(session_.Lists());
    session_.CountSelectedFields();
    ShowLists();
    if (const FieldList* focus = session_.Lists().FocusList())
        (focus == &session_.Lists().Available() ? ui_->LBoxAvailFields : ui_->LBoxSelFields)
            ->setFocus();
    ShowListButtons();
    UpdateStepButtons();
    UpdatePreview();
}

void frmMorvane::IncludeBtn_Click() {
    RunListOperation([](FieldLists& lists) { lists.Include(); });
}

void frmMorvane::ExcludeBtn_Click() {
    RunListOperation([](FieldLists& lists) { lists.Exclude(); });
}

void frmMorvane::IncAllBtn_Click() {
    RunListOperation([](FieldLists& lists) { lists.IncludeAll(); });
}

void frmMorvane::ExAllBtn_Click() {
    RunListOperation([](FieldLists& lists) { lists.ExcludeAll(); });
}

void frmMorvane::BtnTop_Click() {
    RunListOperation([](FieldLists& lists) { lists.MoveTop(); });
}

void frmMorvane::BtnUp_Click() {
    RunListOperation([](FieldLists& lists) { lists.MoveUp(); });
}

void frmMorvane::BtnDown_Click() {
    RunListOperation([](FieldLists& lists) { lists.MoveDown(); });
}

void frmMorvane::BtnBottom_Click() {
    RunListOperation([](FieldLists& lists) { lists.MoveBottom(); });
}

void frmMorvane::LBoxSelFields_Click() {
    if (mirroring_) return;
    ReadListSelection();
    session_.Lists().SelectedListClicked();
    ShowListButtons();
}

}  // namespace morvane
