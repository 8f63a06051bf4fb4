// XbaseValues: the values of one record of an xBase table, read from and written to its
// bytes (the layouts are drawn in XbaseFormat.h). Reading never looks past the record
// (every field lies inside it: the header was checked) and answers Null for a value that
// does not parse (a number of "*****", a date of blanks or zeros).
//
// Usage:
//   XbaseValueCodec codec(header, page, hexBinary);
//   QVariant v = codec.Read(field, record, engineType, memo);
//   codec.Write(field, value, engineType, record, memoWriter, nullFlags);
#pragma once

#include "export/data/RawValue.h"
#include "export/data/xbase/XbaseCodePage.h"
#include "export/data/xbase/XbaseFormat.h"

#include <QVariant>

namespace morvane {

class XbaseMemoReader;
class XbaseMemoWriter;

class XbaseValueCodec {
  public:
    //! `hexBinary`: binary values of text and memo fields are hex text (dBASE III and IV
    //! tables written by this driver hold binary values so).
    XbaseValueCodec(const XbaseHeader& header, const XbaseCodePage& page, bool hexBinary);

    //! The value of descriptor `field` in `record` as engine type `type` (its natural value
    //! converted when the type is not the file's own, as for a table created in this
    //! session). `memo` may be null when the table has no memo fields.
    QVariant Read(int field, const char* record, short type, int size, XbaseMemoReader* memo) const;
    //! The value as a plain raw form when it has one (numbers, dates, text); false when the
    //! caller should take the field's value instead. Text is put in `scratch`.
    bool ReadRaw(int field, const char* record, short type, RawValue& out,
                 QByteArray& scratch) const;

    //! Writes `value` (already in the representation of engine type `type`) into the field's
    //! bytes of `record`. Raises 3163 naming the field when it does not fit.
    void Write(int field, const QVariant& value, short type, char* record,
               XbaseMemoWriter* memo) const;

  private:
    bool IsNull(const XbaseFieldDescriptor& field, const char* record) const;
    QVariant Natural(const XbaseFieldDescriptor& field, const char* record,
                     XbaseMemoReader* memo) const;

    const XbaseHeader& header_;
    const XbaseCodePage& page_;
    bool hexBinary_;
    bool vfp_;
};

}  // namespace morvane
