// GetTemplate: the body attributes of a template page, which an HTML page export copies
// into its own body tag so that the page takes the template's colours and background.
#pragma once

#include <QString>

namespace morvane {

//! Returns everything between "<BODY" (found without regard to case) and the next ">" in
//! the first 3000 characters of the file, leading space included: " BGCOLOR=#FFFFCC" for
//! a tag written as <BODY BGCOLOR=#FFFFCC>. The file is read in blocks of 300 characters;
//! a tag with no ">" in that text yields its attributes up to, not including, the last
//! character read. Empty when the path is empty, names no file in an existing folder, or
//! the text has no body tag. A path in a missing folder, a directory, a pipe or any other
//! file that is not a regular one, or an unreadable file raises a RuntimeError. The file is only
//! read, never created.
QString GetTemplate(const QString& FileTemplate);

}  // namespace morvane
