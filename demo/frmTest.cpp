#include "demo/frmTest.h"

#include "demo/DemoChoices.h"
#include "ui_frmTest.h"

#include <QDir>
#include <QListWidgetItem>
#include <QMetaObject>

namespace morvane::demo {

frmTest::frmTest(const QString& settingsFile, const QString& startFolder, QWidget* parent)
    : QWidget(parent), ui_(std::make_unique<Ui::frmTest>()), settingsFile_(settingsFile) {
    ui_->setupUi(this);
    folders_.setFilter(QDir::AllDirs | QDir::NoDotAndDotDot);
    folders_.setRootPath(QStringLiteral("/"));
    ui_->Dir1->setModel(&folders_);
    for (int column = 1; column < folders_.columnCount(); ++column) ui_->Dir1->hideColumn(column);
    ui_->Dir1->setSortingEnabled(true);
    ui_->Dir1->sortByColumn(0, Qt::AscendingOrder);
    // The model loads and sorts folders in the background: once a folder on the way to the
    // chosen one is loaded, the chosen folder is shown again (expanded to, in view).
    connect(&folders_, &QFileSystemModel::directoryLoaded, this, [this](const QString& path) {
        if (dirPath_.startsWith(path)) ShowCurrentFolder();
    });
    connect(&folders_, &QFileSystemModel::layoutChanged, this, &frmTest::ShowCurrentFolder);

    volumes_ = ListVolumes();
    for (const Volume& volume : volumes_) ui_->Drive1->addItem(volume.Display, volume.Path);
    for (const DemoChoice& choice : DemoChoices()) ui_->Combo1->addItem(choice.Text);

    connect(ui_->Combo1, qOverload<int>(&QComboBox::currentIndexChanged), this,
            &frmTest::OnCombo1Changed);
    connect(ui_->Drive1, qOverload<int>(&QComboBox::currentIndexChanged), this,
            &frmTest::OnDrive1Changed);
    connect(ui_->Dir1, &QTreeView::clicked, this, &frmTest::OnDir1Clicked);
    connect(ui_->File1, &QListWidget::itemDoubleClicked, this, &frmTest::OnFileDoubleClicked);
    connect(ui_->cmdExport, &QPushButton::clicked, this, &frmTest::OnExport);
    connect(ui_->Command2, &QPushButton::clicked, this, &QWidget::close);

    SetDirPath(startFolder.isEmpty() ? QDir::currentPath() : startFolder);
    // Loading the window selects the first kind, which sets the file list's pattern.
    OnCombo1Changed(ui_->Combo1->currentIndex());
}

frmTest::~frmTest() = default;

void frmTest::AttachControl(QWidget* control, const QString& problem) {
    control_ = control;
    ui_->cmdExport->setEnabled(control != nullptr);
    if (!control) {
        ui_->Label1->setText(problem);
        return;
    }
    control->setObjectName(QStringLiteral("Morvane1"));
    control->setParent(ui_->ControlHost);
    ui_->ControlHost->layout()->addWidget(control);
    control->setProperty("ExportCaption", QStringLiteral("Export Data !"));
    // By signature, as a host that only knows the control's interface connects it; a
    // direct connection, so the handler's Hide reaches the control.
    connect(control, SIGNAL(FilterType(short, bool&)), this, SLOT(OnFilterType(short, bool&)),
            Qt::DirectConnection);
}

void frmTest::SetDirPath(const QString& path) {
    dirPath_ = QDir::cleanPath(QDir(path).absolutePath());
    const int volume = VolumeOf(volumes_, dirPath_);
    if (volume >= 0 && volume != ui_->Drive1->currentIndex()) {
        const QSignalBlocker quiet(ui_->Drive1);
        ui_->Drive1->setCurrentIndex(volume);
    }
    if (volume >= 0)
        ui_->Dir1->setRootIndex(folders_.index(volumes_[static_cast<size_t>(volume)].Path));
    ShowCurrentFolder();
    RefreshFiles();
}

void frmTest::ShowCurrentFolder() {
    const QModelIndex current = folders_.index(dirPath_);
    for (QModelIndex parent = current.parent(); parent.isValid(); parent = parent.parent())
        ui_->Dir1->expand(parent);
    ui_->Dir1->setCurrentIndex(current);
    ui_->Dir1->scrollTo(current, QAbstractItemView::PositionAtCenter);
}

QStringList frmTest::FileNames() const {
    QStringList names;
    for (int row = 0; row < ui_->File1->count(); ++row) names << ui_->File1->item(row)->text();
    return names;
}

void frmTest::OnCombo1Changed(int) {
    RefreshFiles();
}

void frmTest::OnDrive1Changed(int index) {
    if (index < 0 || index >= static_cast<int>(volumes_.size())) return;
    SetDirPath(volumes_[static_cast<size_t>(index)].Path);
}

void frmTest::OnDir1Clicked(const QModelIndex& index) {
    SetDirPath(folders_.filePath(index));
}

void frmTest::RefreshFiles() {
    ui_->File1->clear();
    const int entry = ui_->Combo1->currentIndex();
    if (entry < 0) return;
    QDir folder(dirPath_);
    // QDir matches name patterns without regard to case.
    folder.setNameFilters(DemoChoices()[static_cast<size_t>(entry)].Patterns);
    ui_->File1->addItems(
        folder.entryList(QDir::Files | QDir::Readable, QDir::Name | QDir::IgnoreCase));
    if (ui_->File1->count() > 0) ui_->File1->setCurrentRow(0);
}

void frmTest::OnFileDoubleClicked(QListWidgetItem*) {
    OnExport();
}

void frmTest::OnExport() {
    if (!control_) return;
    const int entry = ui_->Combo1->currentIndex();
    if (entry < 0) return;
    const QListWidgetItem* selected = ui_->File1->currentItem();
    const DemoExport run = ExportFor(DemoChoices()[static_cast<size_t>(entry)], dirPath_,
                                     selected ? selected->text() : QString(), settingsFile_);
    control_->setProperty("DataBaseName", run.DataBaseName);
    if (run.SetTableName) control_->setProperty("TableName", run.TableName);
    control_->setProperty("MultiTable", run.MultiTable);
    control_->setProperty("ConnectString", run.ConnectString);
    control_->setProperty("IniFile", run.IniFile);
    // Returns when the user closes the wizard.
    QMetaObject::invokeMethod(control_, "Execute");
}

void frmTest::OnFilterType(short FileType, bool& Hide) {
    if (HidesOutputKind(FileType)) Hide = true;
}

}  // namespace morvane::demo
