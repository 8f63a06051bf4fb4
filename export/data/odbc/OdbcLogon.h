// OdbcLogon: the logon values of an ODBC destination, shared by the whole library. It
// holds what the logon dialog shows: the list of data source names with its selected
// entry, the user id, the password, the database, and whether the dialog was last closed
// with OK (Confirmed). It needs no widgets: the settings reader and batch exports use it
// directly, and the dialog (frmODBCLogon) is a view over the process-wide instance.
//
// Usage:
//   OdbcLogon& logon = OdbcLogon::Instance();    // listed from the driver manager once
//   logon.SelectDSN("sales");                     // as a stored setting does
//   logon.SetUID("bob");
//   QString connect = logon.DestConnect();        // "ODBC;DSN=sales;UID=bob;PWD=;"
//
// Every change emits Changed(), which is how the dialog follows values set from code.
// Values are never checked: what the user typed is kept as typed, also after Cancel.
#pragma once

#include "export/data/odbc/OdbcLogonValues.h"

#include <QObject>
#include <QStringList>

namespace morvane {

class OdbcLogon : public QObject {
    Q_OBJECT

  public:
    //! A model with an empty list and empty values, not yet loaded. The library uses
    //! Instance(); separate models are for tests and for hosts that want their own.
    explicit OdbcLogon(QObject* parent = nullptr);

    //! The process-wide model. Created and loaded (Load) on first use, it keeps its
    //! values for the life of the process.
    static OdbcLogon& Instance();

    //! Lists the data sources (GetDSNsAndDrivers) the first time it is called; later
    //! calls do nothing.
    void Load();
    bool IsLoaded() const { return loaded_; }

    //! Fills the list from the ODBC driver manager (ListOdbcDataSources) and selects its
    //! entry 0; an empty list leaves nothing selected. Failures are ignored: a missing or
    //! failing driver manager leaves the list empty.
    void GetDSNsAndDrivers();
    //! Replaces the list by names, in their order, and selects entry 0 (nothing when
    //! names is empty). Names are taken as given. The model then counts as loaded: a
    //! list given by the host is not replaced by a later Load.
    void FillDSNList(const QStringList& names);

    const QStringList& DSNList() const { return dsnList_; }
    //! The selected entry of the list, -1 when nothing is selected.
    int ListIndex() const { return listIndex_; }
    //! Selects entry index; -1 clears the selection; any other index out of range is
    //! ignored.
    void SetListIndex(int index);
    //! Selects the first entry equal to name (exact comparison) and answers true; when
    //! there is none the selection stays as it was and the answer is false.
    bool SelectDSN(const QString& name);
    //! The text of the selected entry, empty when nothing is selected.
    QString DSN() const;

    const QString& UID() const { return uid_; }
    void SetUID(const QString& uid);
    const QString& PWD() const { return pwd_; }
    void SetPWD(const QString& pwd);
    const QString& Database() const { return database_; }
    void SetDatabase(const QString& database);

    //! True when the dialog was last closed with OK, false after Cancel (and at first).
    bool Confirmed() const { return confirmed_; }
    void SetConfirmed(bool confirmed);

    //! The four logon values as they stand (DSN is the selected entry's text).
    OdbcLogonValues Values() const;
    //! BuildDestConnect over Values().
    QString DestConnect() const { return BuildDestConnect(Values()); }

  signals:
    //! The list, the selection, a value or Confirmed changed.
    void Changed();

  private:
    template <typename T>
    void Assign(T& member, const T& value);

    QStringList dsnList_;
    int listIndex_ = -1;
    QString uid_;
    QString pwd_;
    QString database_;
    bool confirmed_ = false;
    bool loaded_ = false;
};

}  // namespace morvane
