// IniFile: one settings file of the INI kind ("[section]" lines followed by "key=value"
// lines), read and written with the profile-file rules:
//  - section and key names match without regard to case; keys keep their file order;
//  - blanks around names and values are ignored; "key=" holds an empty value;
//  - a value read is cut to 4095 characters;
//  - when a section or key occurs twice the first one wins;
//  - lines without "=", comment lines (";") and lines before the first section are ignored
//    on reading and kept unchanged on writing;
//  - the file is windows-1252 text (CodePage's ANSI page); it is written with CR LF.
// Writing a key replaces its line in place, or appends it at the end of its section; a
// new section goes at the end of the file, after a blank line when the file is not empty.
// Removing a key or a section removes every occurrence of it, so no older duplicate can
// show through afterwards.
//
// Every Save replaces the whole file atomically (temporary file in the same directory,
// then rename): a failed write or a crash leaves the previous file as it was.
//
// Usage:
//   IniFile ini(path);
//   ini.Load();                                  // never throws; missing file = empty
//   std::optional<QString> value = ini.Value("general", "LastFile");
//   ini.SetValue("general", "LastFile", file);
//   ini.Save();                                  // throws RuntimeError on failure
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace morvane {

class IniFile {
  public:
    //! Longest value that a read returns.
    static constexpr int kMaxValueLength = 4095;

    explicit IniFile(QString path);

    const QString& Path() const { return path_; }

    //! Reads the file. A missing or unreadable file (or a directory) reads as empty;
    //! never throws. Answers false when the file exists but could not be read.
    bool Load();

    //! The value of key in section (at most kMaxValueLength characters), or nothing.
    std::optional<QString> Value(const QString& section, const QString& key) const;
    //! The key names of section in file order (each name once), or nothing when the
    //! section does not exist.
    std::optional<QStringList> Keys(const QString& section) const;

    //! Sets key in section to value, in memory. Throws RuntimeError 5 for a name that the
    //! format cannot hold (empty, a line break, "]" in a section name, "=" in a key name,
    //! a key name starting with "[" or ";") or a value with a line break.
    void SetValue(const QString& section, const QString& key, const QString& value);
    //! Removes key from section, in memory.
    void RemoveKey(const QString& section, const QString& key);
    //! Removes section with all its lines, in memory.
    void RemoveSection(const QString& section);

    //! The file's text as it would be saved (lines joined with CR LF).
    QString Text() const;

    //! Writes the file atomically. Throws RuntimeError 70 "Permission denied" when the
    //! file exists and is read-only or could not be read by Load, 76 "Path not found" when
    //! its directory is missing, 75 "Path/File access error" when writing fails otherwise.
    void Save() const;

  private:
    struct SectionRange {
        qsizetype header = -1;  //!< line index of "[name]"
        qsizetype end = -1;     //!< one past the section's last line
    };

    std::optional<SectionRange> FindSection(QStringView section, qsizetype from = 0) const;
    qsizetype FindKey(const SectionRange& range, QStringView key) const;

    QString path_;
    QStringList lines_;
    bool unreadable_ = false;
};

}  // namespace morvane
