// The settings-file primitives of the export control, all bound to one module-wide path
// set by SetIniFile. Each call reads the file afresh (another program may have changed
// it); each write replaces the file atomically (IniFile).
//
// With an empty path (no settings file named) every read answers its default, ListIniKeys
// adds nothing and every write does nothing.
//
// Integers are 16-bit, as the settings file stores them: GetIniInt raises Overflow for a
// stored number outside -32768..32767 and WriteIniInt for a value outside that range
// (writing nothing), so a caller that ignores the error keeps its old value.
//
// Usage:
//   SetIniFile(path);
//   WriteIniInt(name, "TypeFormat", 1);
//   short typeFormat = GetIniInt(name, "TypeFormat", 0);
#pragma once

#include <QString>
#include <QStringList>

namespace morvane {

//! Groups the writes of one operation (saving a setting of many keys) into one atomic
//! replace of the file: while the batch is open the primitives read and edit the file in
//! memory, and Commit writes it once. A batch destroyed without Commit drops its writes.
//! Batches do not nest (an inner one does nothing); SetIniFile must not change the path
//! while one is open.
class IniWriteBatch {
  public:
    IniWriteBatch();
    ~IniWriteBatch();
    IniWriteBatch(const IniWriteBatch&) = delete;
    IniWriteBatch& operator=(const IniWriteBatch&) = delete;
    //! Writes the file; throws RuntimeError when it cannot (the old file stays intact).
    void Commit();

  private:
    bool owner_ = false;
};

//! Binds every primitive to the settings file at path.
void SetIniFile(const QString& path);
//! The path last given to SetIniFile (empty until then).
const QString& IniFilePath();

//! The value of key in section, or defaultValue when the file, section or key is missing;
//! at most 4095 characters.
QString GetIniString(const QString& section, const QString& key, const QString& defaultValue);
//! Writes key=value into section. Throws RuntimeError when the file cannot be written.
void WriteIniString(const QString& section, const QString& key, const QString& value);

//! The stored integer: blanks, an optional sign, then the leading decimal digits (text
//! without digits gives 0). A missing key or an empty value gives defaultValue. Throws
//! RuntimeError 6 (Overflow) when the number does not fit 16 bits.
short GetIniInt(const QString& section, const QString& key, short defaultValue);
//! Writes the decimal text of value. Throws Overflow, writing nothing, when value does
//! not fit 16 bits.
void WriteIniInt(const QString& section, const QString& key, int value);

//! True when the stored integer is not 0; defaultValue when the key is missing or empty.
bool GetIniBool(const QString& section, const QString& key, bool defaultValue);
//! Writes "1" for true and "0" for false.
void WriteIniBool(const QString& section, const QString& key, bool value);

//! Removes key from section.
void DeleteIniKey(const QString& section, const QString& key);
//! Removes section and all its keys.
void DeleteIniSection(const QString& section);

//! Appends the key names of section to list, in file order, through the profile-file
//! key listing buffer: the names, each ended by a NUL, fill a buffer of 4096
//! characters (names beyond it are cut, the buffer ending in two NULs); when the section
//! is missing the buffer holds "Default". After trimming spaces, a buffer starting with
//! "Default" lists nothing (so neither does a section whose first key starts with
//! "Default"); otherwise the NUL-separated names are added up to the first empty one.
void ListIniKeys(const QString& section, QStringList& list);

}  // namespace morvane
