// FolderTables: the helpers of the drivers for which a database is a folder and each table
// one file in it (xBase ".dbf"; written so that other file families can share them with
// their own extension and name rules).
//
//   List("/data", ".dbf")            the table names (file names without the extension) of
//                                    the folder's ".dbf" files, any case, in name order
//   Find("/data", "customer", ".dbf") the file that holds the table: the exact file name
//                                    first ("customer" + ".dbf", or the name as given when it
//                                    carries the extension), else the one file whose name
//                                    matches without regard to case; empty when none
//   PathForNew("/data", "Sales", ".dbf")   "/data/Sales.dbf"
//   ShortenNames({"Customer Number", ...}, 10, allowed)   names cut to 10 characters, made
//                                    unique with a numeric suffix, characters `allowed`
//                                    refuses written "_"
#pragma once

#include <QString>
#include <QStringList>
#include <functional>

namespace morvane {

class FolderTables {
  public:
    //! The table names of `folder`'s files ending in `extension` (".dbf", matched without
    //! regard to case), without the extension, sorted case-insensitively (ties: exact order).
    static QStringList List(const QString& folder, const QString& extension);
    //! The path of the file holding table `name` ("CUSTOMER", "customer.dbf"); empty when
    //! the folder has no such file. When several files match only without regard to case,
    //! the first in name order is taken.
    static QString Find(const QString& folder, const QString& name, const QString& extension);
    //! The path a new table `name` is written to (the extension added unless `name` has it).
    static QString PathForNew(const QString& folder, const QString& name, const QString& extension);
    //! The files of `folder` that belong with the table file `tablePath`: same base name
    //! and one of `extensions` (".dbt", ".fpt", ...), any case.
    static QStringList Companions(const QString& tablePath, const QStringList& extensions);

    //! `names` made to fit a format: characters `allowed` refuses become '_', an empty name
    //! becomes "FIELD", names are cut to `limit` characters and a name equal (without regard
    //! to case) to an earlier one gets the smallest numeric suffix that makes it unique,
    //! the name cut further to keep within `limit`.
    static QStringList ShortenNames(const QStringList& names, int limit,
                                    const std::function<bool(QChar)>& allowed);
};

}  // namespace morvane
