// frmODBCLogon: the small modal dialog in which the user picks an ODBC data source and
// types the logon values of an ODBC destination. It is a view over an OdbcLogon model:
// what the user types or picks goes into the model at once, and values set in the model
// (for example by reading a stored setting) show in the boxes.
//
// The library uses one shared instance, created on first use over OdbcLogon::Instance()
// and never destroyed before the process ends; closing it only hides it, so its values
// stay for the next time:
//   frmODBCLogon& logon = frmODBCLogon::Instance();
//   logon.exec();
//   if (logon.Confirmed()) destConnect = logon.Model().DestConnect();
//
// OK sets Confirmed and hides; Cancel, Escape and the window's close button clear it and
// hide. Neither checks or changes the typed values. The four labels are a control array
// in spirit; Qt has none, so they are named lblLabels_0 to lblLabels_3 and reached
// through lblLabels(index).
#pragma once

#include <QDialog>

#include <memory>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace Ui {
class frmODBCLogon;
}

namespace morvane {

class OdbcLogon;

class frmODBCLogon : public QDialog {
    Q_OBJECT

  public:
    //! A dialog over model, which must outlive it. Loads the model (lists the data
    //! sources once) and shows its values.
    explicit frmODBCLogon(OdbcLogon& model, QWidget* parent = nullptr);
    ~frmODBCLogon() override;

    //! The shared dialog over OdbcLogon::Instance(), created on first use.
    //! REQUIRES: a QApplication exists.
    static frmODBCLogon& Instance();

    OdbcLogon& Model() const { return model_; }
    //! True when the dialog was last closed with OK.
    bool Confirmed() const;

    QComboBox* cboDSNList() const;
    QLineEdit* txtUID() const;
    QLineEdit* txtPWD() const;
    QLineEdit* txtDatabase() const;
    QPushButton* cmdOK() const;
    QPushButton* cmdCancel() const;
    //! Label index (0 to 3) of the connect values; null for any other index.
    QLabel* lblLabels(int index) const;

  public slots:
    //! Confirmed := True; hide.
    void cmdOK_Click();
    //! Confirmed := False; hide.
    void cmdCancel_Click();
    //! Escape and the close button act as Cancel.
    void reject() override;

  private:
    //! Brings the widgets up to date with the model (list, selection, boxes).
    void UpdateControls();
    void FillDSNList();

    std::unique_ptr<Ui::frmODBCLogon> ui_;
    OdbcLogon& model_;
};

}  // namespace morvane
