// String routines of the export control: in-place replacement, tokenising with a
// module-wide token text, OEM conversion and the reversible scrambling of short texts
// (the stored ODBC password).
//
// Usage:
//   ReplaceChar(value, "'", "''");                // doubles single quotes
//   QString first = NextToken("a,b;c", ",;");     // "a"; then NextToken("", ",;") gives "b"
//   qint16 key = ...; QString stored = EncodeText(password, key);
#pragma once

#include <QString>

namespace morvane {

//! Replaces every occurrence of search in text by replacement, matching without regard
//! to case; each next search starts just behind the inserted replacement. An empty text
//! or an empty search text leaves text unchanged.
void ReplaceText(QString& text, const QString& search, const QString& replacement);

//! Replaces every occurrence of search (one character; a longer text is matched as a
//! whole) in text by replacement, matching case. Only the text behind each replacement is
//! searched further, so the replacement may contain the search character. An empty
//! search text leaves text unchanged.
void ReplaceChar(QString& text, const QString& search, const QString& replacement);

//! When text is not empty it becomes the token text. Answers the token text up to its
//! first character that is one of delimiters and keeps the rest behind that character as
//! the new token text; with no delimiter in it, answers all of it and empties it.
QString NextToken(const QString& text, const QString& delimiters);

//! The token text NextToken will split next.
const QString& TokenText();

//! The text converted from the ANSI to the OEM character set; same length. Written
//! through the ANSI encoder it gives the OEM bytes of text.
QString ToOem(const QString& text);

//! Each character of ANSI code c becomes the character of ANSI code (c - 3) XOR key.
//! Throws RuntimeError 6 (Overflow) for a text of more than 254 characters and
//! RuntimeError 5 when a new code falls outside 0..255. key is not changed.
QString EncodeText(const QString& text, qint16& key);

//! Each character of ANSI code c becomes the character of ANSI code (c XOR key) + 3;
//! undoes EncodeText with the same key. Same errors as EncodeText.
QString DecodeText(const QString& text, qint16& key);

}  // namespace morvane
