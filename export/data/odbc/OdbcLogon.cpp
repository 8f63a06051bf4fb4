#include "export/data/odbc/OdbcLogon.h"

#include "export/data/odbc/OdbcDataSources.h"

namespace morvane {

OdbcLogon::OdbcLogon(QObject* parent) : QObject(parent) {}

OdbcLogon& OdbcLogon::Instance() {
    static OdbcLogon instance;
    instance.Load();
    return instance;
}

void OdbcLogon::Load() {
    if (loaded_) return;
    loaded_ = true;
    GetDSNsAndDrivers();
}

void OdbcLogon::GetDSNsAndDrivers() {
    FillDSNList(ListOdbcDataSources());
}

void OdbcLogon::FillDSNList(const QStringList& names) {
    // Starting from an empty list keeps a second listing from doubling every entry.
    loaded_ = true;
    dsnList_ = names;
    listIndex_ = dsnList_.isEmpty() ? -1 : 0;
    emit Changed();
}

void OdbcLogon::SetListIndex(int index) {
    if (index < -1 || index >= dsnList_.size()) return;
    Assign(listIndex_, index);
}

bool OdbcLogon::SelectDSN(const QString& name) {
    const int index = static_cast<int>(dsnList_.indexOf(name));
    if (index < 0) return false;
    SetListIndex(index);
    return true;
}

QString OdbcLogon::DSN() const {
    return listIndex_ < 0 ? QString() : dsnList_.at(listIndex_);
}

void OdbcLogon::SetUID(const QString& uid) {
    Assign(uid_, uid);
}

void OdbcLogon::SetPWD(const QString& pwd) {
    Assign(pwd_, pwd);
}

void OdbcLogon::SetDatabase(const QString& database) {
    Assign(database_, database);
}

void OdbcLogon::SetConfirmed(bool confirmed) {
    Assign(confirmed_, confirmed);
}

OdbcLogonValues OdbcLogon::Values() const {
    return {DSN(), uid_, pwd_, database_};
}

template <typename T>
void OdbcLogon::Assign(T& member, const T& value) {
    // Only real changes are announced, so the dialog and the model can mirror each other
    // without echoing edits back and forth.
    if (member == value) return;
    member = value;
    emit Changed();
}

}  // namespace morvane
