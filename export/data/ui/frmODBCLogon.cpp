#include "export/data/ui/frmODBCLogon.h"

#include "ui_frmODBCLogon.h"

#include "export/data/odbc/OdbcLogon.h"

#include <QPointer>
#include <QSignalBlocker>

namespace morvane {

namespace {

//! Sets a box's text only when it differs, so that a value the user is typing (and that
//! has just gone into the model) keeps its cursor and selection.
void ShowText(QLineEdit* box, const QString& text) {
    if (box->text() != text) box->setText(text);
}

}  // namespace

frmODBCLogon::frmODBCLogon(OdbcLogon& model, QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::frmODBCLogon>()), model_(model) {
    ui_->setupUi(this);
    setModal(true);
    model_.Load();
    FillDSNList();
    UpdateControls();

    connect(ui_->cboDSNList, &QComboBox::currentIndexChanged, &model_, &OdbcLogon::SetListIndex);
    connect(ui_->txtUID, &QLineEdit::textChanged, &model_, &OdbcLogon::SetUID);
    connect(ui_->txtPWD, &QLineEdit::textChanged, &model_, &OdbcLogon::SetPWD);
    connect(ui_->txtDatabase, &QLineEdit::textChanged, &model_, &OdbcLogon::SetDatabase);
    connect(&model_, &OdbcLogon::Changed, this, &frmODBCLogon::UpdateControls);
    connect(ui_->cmdOK, &QPushButton::clicked, this, &frmODBCLogon::cmdOK_Click);
    connect(ui_->cmdCancel, &QPushButton::clicked, this, &frmODBCLogon::cmdCancel_Click);
}

frmODBCLogon::~frmODBCLogon() = default;

frmODBCLogon& frmODBCLogon::Instance() {
    // Deliberately never deleted: the dialog lives as long as the library, and a widget
    // must not be destroyed after the application object, which static destructors
    // would do. The guarded pointer brings it back should a host delete it.
    static QPointer<frmODBCLogon> instance;
    if (instance.isNull()) instance = new frmODBCLogon(OdbcLogon::Instance());
    return *instance;
}

bool frmODBCLogon::Confirmed() const {
    return model_.Confirmed();
}

void frmODBCLogon::cmdOK_Click() {
    model_.SetConfirmed(true);
    QDialog::accept();
}

void frmODBCLogon::cmdCancel_Click() {
    model_.SetConfirmed(false);
    QDialog::reject();
}

void frmODBCLogon::reject() {
    cmdCancel_Click();
}

void frmODBCLogon::FillDSNList() {
    const QSignalBlocker blocker(ui_->cboDSNList);
    ui_->cboDSNList->clear();
    ui_->cboDSNList->addItems(model_.DSNList());
}

void frmODBCLogon::UpdateControls() {
    QComboBox* list = ui_->cboDSNList;
    bool sameList = list->count() == model_.DSNList().size();
    for (int index = 0; sameList && index < list->count(); ++index)
        sameList = list->itemText(index) == model_.DSNList().at(index);
    if (!sameList) FillDSNList();
    if (list->currentIndex() != model_.ListIndex()) {
        const QSignalBlocker blocker(list);
        list->setCurrentIndex(model_.ListIndex());
    }
    ShowText(ui_->txtUID, model_.UID());
    ShowText(ui_->txtPWD, model_.PWD());
    ShowText(ui_->txtDatabase, model_.Database());
}

QComboBox* frmODBCLogon::cboDSNList() const {
    return ui_->cboDSNList;
}
QLineEdit* frmODBCLogon::txtUID() const {
    return ui_->txtUID;
}
QLineEdit* frmODBCLogon::txtPWD() const {
    return ui_->txtPWD;
}
QLineEdit* frmODBCLogon::txtDatabase() const {
    return ui_->txtDatabase;
}
QPushButton* frmODBCLogon::cmdOK() const {
    return ui_->cmdOK;
}
QPushButton* frmODBCLogon::cmdCancel() const {
    return ui_->cmdCancel;
}

QLabel* frmODBCLogon::lblLabels(int index) const {
    switch (index) {
        case 0:
            return ui_->lblLabels_0;
        case 1:
            return ui_->lblLabels_1;
        case 2:
            return ui_->lblLabels_2;
        case 3:
            return ui_->lblLabels_3;
        default:
            return nullptr;
    }
}

}  // namespace morvane
