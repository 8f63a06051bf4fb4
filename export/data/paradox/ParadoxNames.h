// ParadoxNames: the names of a folder of Paradox tables. A table is a file NAME.db (any case
// of the extension); its name is the file name without the extension. A table name opens
// the file of that exact name first ("CUSTOMER", "customer.db"), else the one file whose
// name matches without regard to case. Field names are cut to the format's 25 characters
// and made unique with a numeric suffix; characters a field name cannot hold become "_".
#pragma once

#include <QString>
#include <QStringList>

namespace morvane::paradox {

class ParadoxCodePage;

//! The table files of `folder` (file names with extension), in name order.
QStringList TableFiles(const QString& folder);

//! The table name of a table file name ("Sales.DB" gives "Sales").
QString TableNameOf(const QString& fileName);

//! The path of the table `name` in `folder`; empty when there is no such table (or two
//! files match it without regard to case and neither exactly).
QString FindTableFile(const QString& folder, const QString& name);

//! The file name a new table `name` gets ("Sales" or "Sales.db" give "Sales.db").
QString NewTableFileName(const QString& name);

//! Field names a Paradox table can hold for `names`, in the same order: characters the
//! header cannot hold (control characters, brackets, braces, parentheses, "->", characters
//! the code page lacks, leading blanks) become "_", names longer than 25 characters are
//! cut, and names equal without regard to case get a numeric suffix ("Name", "Name1").
QStringList ParadoxFieldNames(const QStringList& names, const ParadoxCodePage& page);

}  // namespace morvane::paradox
