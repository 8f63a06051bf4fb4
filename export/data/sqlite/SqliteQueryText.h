// SqliteQueryText: what the native driver reads from a stored query's SQL text without
// running it. Parameters are SQLite named parameters written ":Name"; the engine lists them
// in the order they first appear, once per name (names match without regard to case, the
// first spelling wins). Other placeholder forms ("?", "?7", "@x", "$x") are noted so that a
// definition using them can be refused: the engine could not give them a value.
//
// Usage:
//   const SqliteQueryText text = SqliteQueryText::Scan(sql);
//   for (const QString& name : text.ParameterNames) ...;
//   if (text.ReturnsRows()) ...;
//
// Hand-written: SQLite offers no way to list a statement's parameters without preparing
// it, and preparing fails for a query whose tables do not exist yet.
#pragma once

#include <QString>
#include <QStringList>

namespace morvane {

struct SqliteQueryText {
    //! The ":Name" parameters (without the colon) in order of first appearance.
    QStringList ParameterNames;
    //! True when the text also uses "?", "?NNN", "@name" or "$name" placeholders.
    bool OtherPlaceholders = false;
    //! Statements in the text (blank statements and comments do not count).
    int Statements = 0;
    //! Length of the first statement, without the ";" that ends it.
    int FirstStatementLength = 0;
    //! The first statement's main verb in upper case (SELECT, VALUES, DELETE, ...); after a
    //! WITH clause, the verb that follows the clause.
    QString Verb;

    //! True when the first statement reads rows: its verb is SELECT or VALUES.
    bool ReturnsRows() const;

    static SqliteQueryText Scan(const QString& sql);
};

}  // namespace morvane
