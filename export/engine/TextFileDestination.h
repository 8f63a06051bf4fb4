// TextFileDestination: the destination of the text kinds, the export file written through
// TextFileWriter. The run formats each record (and the header lines and HTML framing) and
// hands over finished pieces with Write.
//
// Usage:
//   TextFileDestination file;
//   file.Open(path);
//   file.Write(record);
//   file.Close();
#pragma once

#include "export/engine/ExportDestination.h"
#include "export/engine/TextFileWriter.h"

namespace morvane {

class TextFileDestination : public ExportDestination {
  public:
    //! Creates (or truncates) the file. REQUIRES: not open.
    void Open(const QString& path) { writer_.Open(path); }
    void Write(QStringView text) { writer_.Write(text); }
    //! The bytes not yet written, for a formatter that appends a record's bytes directly;
    //! call FlushIfFull after appending.
    QByteArray& PendingBytes() { return writer_.PendingBytes(); }
    void FlushIfFull() { writer_.FlushIfFull(); }

    void Flush() override { writer_.Flush(); }
    void Close() override { writer_.Close(); }
    void Abandon() noexcept override { writer_.Abandon(); }

  private:
    TextFileWriter writer_;
};

}  // namespace morvane
