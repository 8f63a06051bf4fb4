// File-name routines of the export control: dissecting paths and testing whether a file
// exists. "/" is the only directory separator; "\" is an ordinary file-name character.
//
//   FileDirectory("/data/sales.db") == "/data"   FileDirectory("sales.db") == "."
//   FileDirectory("/sales.db") == ""             FileBaseName("/x/report.final.txt") ==
//   "report.final" FileExtension("/dir.old/file") == ""         FileExists("/data/*.db") == 1 when
//   one matches
#pragma once

#include <QString>

namespace morvane {

//! 1 when at least one file or directory matches path, -1 otherwise. The last part of the
//! path may hold the wildcards "*" (any run of characters) and "?" (any one character);
//! the directory part is taken literally. Errors count as no match. Yields once to the
//! message loop (when an application object exists) before looking.
short FileExists(const QString& path);

//! The part of text after the last occurrence of separator; all of text when it does
//! not occur (or separator is empty).
QString NameAfterLast(const QString& text, const QString& separator);

//! The name after the last "/", cut before its last "."; unchanged when it has no ".".
QString FileBaseName(const QString& path);

//! Of the trimmed path: the characters after the last "." that no "/" follows; empty
//! when there is none. The extension keeps its case.
QString FileExtension(const QString& path);

//! The characters before the last "/"; "." when the path has none.
QString FileDirectory(const QString& path);

}  // namespace morvane
