// FilePropertyBag: a MemoryPropertyBag that loads from and saves to a small UTF-8 text file
// of our own, so a host without a form file can keep a control's properties between runs.
//
// File layout (one property per line, keys in bag order; blank lines and lines starting
// with "#" are ignored):
//
//   # Morvane property bag
//   <key>=<type>:<value>
//
//   type  value
//   s     string, escaped: "\\" backslash, "\n" line feed, "\r" carriage return,
//         "\t" tab, "\=" equals sign (keys only need it), "\uXXXX" other control characters
//   b     "1" or "0"
//   i16 i32 i64 u16 u32 u64   decimal integer of that width
//   d     double, shortest text that reads back to the same value
//   n     null (an invalid QVariant); the value is empty
//   ba    byte array, base64
// Other value types are saved as their string form ("s") and read back as strings.
//
// Usage:
//   FilePropertyBag bag("/path/form.props");
//   bag.Load();                 // a missing file loads as an empty bag
//   control.ReadProperties(bag);
//   ...
//   control.WriteProperties(bag);
//   if (!bag.Save()) report(bag.ErrorString());   // atomic: old file intact on failure
//
// A malformed line (no "=", unknown type, bad number) is skipped and counted; the rest of
// the file still loads.
#pragma once

#include "propertybag/PropertyBagExport.h"

#include "propertybag/MemoryPropertyBag.h"

namespace morvane {

class MORVANE_PROPERTYBAG_EXPORT FilePropertyBag : public MemoryPropertyBag {
  public:
    explicit FilePropertyBag(QString path, PropertyBagOptions options = {});

    const QString& Path() const { return path_; }

    //! Replaces the bag's content with the file's. A missing file gives an empty bag and
    //! answers true; a file that exists but cannot be read answers false.
    bool Load();
    //! Writes the bag to the file atomically; answers false (see ErrorString) on failure.
    bool Save() const;

    //! Lines skipped by the last Load because they could not be understood.
    int MalformedLines() const { return malformedLines_; }
    const QString& ErrorString() const { return errorString_; }

    //! The text of one line for key and value, without the line end.
    static QString FormatLine(const QString& key, const QVariant& value);
    //! Parses one line; answers false for a malformed line.
    static bool ParseLine(const QString& line, QString& key, QVariant& value);

  private:
    QString path_;
    int malformedLines_ = 0;
    mutable QString errorString_;
};

}  // namespace morvane
