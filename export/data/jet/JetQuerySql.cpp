#include "export/data/jet/JetQuerySql.h"

#include <QRegularExpression>
#include <QSet>

namespace morvane {

namespace {

enum Attribute {
    kType = 1,
    kParameter = 2,
    kOptions = 3,
    kTable = 5,
    kColumn = 6,
    kJoin = 7,
    kWhere = 8,
    kGroupBy = 9,
    kHaving = 10,
    kOrderBy = 11,
};

enum Option { kAllFields = 1, kDistinct = 2, kDistinctRow = 8, kTop = 16, kPercent = 32 };

// The engine's codes for the stored type numbers 1..9.
constexpr short kTypeCodes[] = {0, 80, 64, 48, 32, 16, 96, 112, 128};

QString TableReference(const JetQueryRow& row) {
    return row.Name2.isEmpty() ? row.Name1 : row.Name1 + QStringLiteral(" AS ") + row.Name2;
}

QString JoinKeyword(int flag) {
    return flag == 2   ? QStringLiteral(" LEFT JOIN ")
           : flag == 3 ? QStringLiteral(" RIGHT JOIN ")
                       : QStringLiteral(" INNER JOIN ");
}

}  // namespace

JetQuerySql::JetQuerySql(std::vector<JetQueryRow> rows) : rows_(std::move(rows)) {}

std::vector<const JetQueryRow*> JetQuerySql::Rows(int attribute) const {
    std::vector<const JetQueryRow*> found;
    for (const JetQueryRow& row : rows_)
        if (row.Attribute == attribute) found.push_back(&row);
    return found;
}

QStringList JetQuerySql::Expressions(int attribute, int crosstabFlag) const {
    QStringList expressions;
    for (const JetQueryRow* row : Rows(attribute))
        if (crosstabFlag < 0 || row->Flag.toInt() == crosstabFlag) expressions << row->Expression;
    return expressions;
}

short JetQuerySql::Type(short fallback) const {
    for (const JetQueryRow* row : Rows(kType)) {
        const int stored = row->Flag.toInt();
        if (stored >= 1 && stored <= 9) return kTypeCodes[stored - 1];
    }
    return fallback;
}

std::vector<std::pair<QString, short>> JetQuerySql::Parameters() const {
    std::vector<std::pair<QString, short>> parameters;
    for (const JetQueryRow* row : Rows(kParameter))
        parameters.emplace_back(row->Name1, static_cast<short>(row->Flag.toInt()));
    return parameters;
}

int JetQuerySql::Options() const {
    const auto rows = Rows(kOptions);
    return rows.empty() ? 0 : rows.front()->Flag.toInt();
}

QString JetQuerySql::Columns(int crosstabFlag) const {
    QStringList columns;
    for (const JetQueryRow* row : Rows(kColumn)) {
        if (crosstabFlag >= 0 && row->Flag.toInt() != crosstabFlag) continue;
        columns << (row->Name1.isEmpty() ? row->Expression
                                         : row->Expression + QStringLiteral(" AS ") + row->Name1);
    }
    if ((Options() & kAllFields) && crosstabFlag < 0) columns.prepend(QStringLiteral("*"));
    return columns.join(QStringLiteral(", "));
}

// Tables in joins become one nested join expression; the others are listed before it.
QString JetQuerySql::FromClause() const {
    QHash<QString, QString> references;  // alias or name -> "Name AS Alias"
    QStringList order;
    for (const JetQueryRow* row : Rows(kTable)) {
        const QString key = row->Name2.isEmpty() ? row->Name1 : row->Name2;
        references.insert(key, TableReference(*row));
        order << key;
    }
    QSet<QString> joined;
    QString joins;
    for (const JetQueryRow* row : Rows(kJoin)) {
        const QString left = references.value(row->Name1, row->Name1);
        const QString right = references.value(row->Name2, row->Name2);
        const QString keyword = JoinKeyword(row->Flag.toInt());
        if (joins.isEmpty())
            joins = left + keyword + right + QStringLiteral(" ON ") + row->Expression;
        else if (joined.contains(row->Name1) && joined.contains(row->Name2))
            joins = QLatin1Char('(') + joins + QStringLiteral(") AND ") + row->Expression;
        else
            joins = QLatin1Char('(') + joins + QLatin1Char(')') + keyword +
                    (joined.contains(row->Name1) ? right : left) + QStringLiteral(" ON ") +
                    row->Expression;
        joined << row->Name1 << row->Name2;
    }
    QStringList parts;
    for (const QString& key : order)
        if (!joined.contains(key)) parts << references.value(key);
    if (!joins.isEmpty()) parts << joins;
    return parts.join(QStringLiteral(", "));
}

QString JetQuerySql::Tail(bool withOrder, int crosstabFlag) const {
    QString tail;
    const QStringList where = Expressions(kWhere);
    if (!where.isEmpty()) tail += QStringLiteral(" WHERE ") + where.join(QStringLiteral(" AND "));
    const QStringList groups = Expressions(kGroupBy, crosstabFlag);
    if (!groups.isEmpty()) tail += QStringLiteral(" GROUP BY ") + groups.join(QStringLiteral(", "));
    const QStringList having = Expressions(kHaving);
    if (!having.isEmpty())
        tail += QStringLiteral(" HAVING ") + having.join(QStringLiteral(" AND "));
    if (withOrder) {
        QStringList order;
        for (const JetQueryRow* row : Rows(kOrderBy))
            order << (row->Name1.startsWith(QLatin1Char('D'), Qt::CaseInsensitive)
                          ? row->Expression + QStringLiteral(" DESC")
                          : row->Expression);
        if (!order.isEmpty())
            tail += QStringLiteral(" ORDER BY ") + order.join(QStringLiteral(", "));
    }
    return tail;
}

QString JetQuerySql::SelectSql() const {
    const int options = Options();
    QString head = QStringLiteral("SELECT ");
    if (options & kDistinct) head += QStringLiteral("DISTINCT ");
    if (options & kDistinctRow) head += QStringLiteral("DISTINCTROW ");
    if (options & kTop) {
        const auto rows = Rows(kOptions);
        head += QStringLiteral("TOP ") + rows.front()->Name1 +
                ((options & kPercent) ? QStringLiteral(" PERCENT ") : QStringLiteral(" "));
    }
    const QString from = QStringLiteral(" FROM ") + FromClause();
    const auto typeRows = Rows(kType);
    const QString target = typeRows.empty() ? QString() : typeRows.front()->Name1;
    switch (Type(0)) {
        case 80:  // make-table
            return head + Columns() + QStringLiteral(" INTO ") + target + from + Tail(true);
        case 64: {  // append
            QStringList targets;
            for (const JetQueryRow* row : Rows(kColumn)) targets << row->Name2;
            return QStringLiteral("INSERT INTO ") + target + QStringLiteral(" (") +
                   targets.join(QStringLiteral(", ")) + QStringLiteral(") ") + head + Columns() +
                   from + Tail(true);
        }
        case 48: {  // update
            QStringList sets;
            for (const JetQueryRow* row : Rows(kColumn))
                sets << row->Name2 + QStringLiteral(" = ") + row->Expression;
            return QStringLiteral("UPDATE ") + FromClause() + QStringLiteral(" SET ") +
                   sets.join(QStringLiteral(", ")) + Tail(false);
        }
        case 32: {  // delete
            const QString columns = Columns();
            return QStringLiteral("DELETE ") + (columns.isEmpty() ? QString() : columns) + from +
                   Tail(false);
        }
        case 16:  // crosstab
            return QStringLiteral("TRANSFORM ") + Columns(0) + QLatin1Char(' ') + head +
                   Columns(2) + from + Tail(true, 2) + QStringLiteral(" PIVOT ") +
                   Expressions(kColumn, 1).join(", ");
        case 96:
        case 112:
            return typeRows.empty() ? QString() : typeRows.front()->Expression;
        case 128: {
            const QString glue =
                (options & kAllFields) ? QStringLiteral(" UNION ALL ") : QStringLiteral(" UNION ");
            QStringList parts;
            for (const JetQueryRow* row : Rows(kTable)) parts << row->Expression.trimmed();
            return parts.join(glue) + Tail(true).section(QStringLiteral(" ORDER BY "), 1, 1,
                                                         QString::SectionIncludeLeadingSep);
        }
        default:
            return head + Columns() + from + Tail(true);
    }
}

QString JetQuerySql::SimpleSelectProblem() const {
    if (!Parameters().empty()) return QStringLiteral("a query with parameters");
    if (Rows(kTable).size() != 1 || !Rows(kJoin).empty())
        return QStringLiteral("a query that reads more than one table");
    if (!Rows(kGroupBy).empty() || !Rows(kHaving).empty())
        return QStringLiteral("a query that groups records");
    if (!Rows(kOrderBy).empty()) return QStringLiteral("a query that sorts records");
    if (Options() & (kDistinct | kDistinctRow | kTop))
        return QStringLiteral("DISTINCT, DISTINCTROW or TOP");
    static const QRegularExpression plainColumn(
        QStringLiteral("^(?:\\[?[^\\].]+\\]?\\.)?\\[?[A-Za-z0-9_ ]+\\]?$"));
    for (const JetQueryRow* row : Rows(kColumn))
        if (!row->Name1.isEmpty() || !plainColumn.match(row->Expression).hasMatch())
            return QStringLiteral("a computed or renamed column");
    static const QRegularExpression either(QStringLiteral("\\bOR\\b"),
                                           QRegularExpression::CaseInsensitiveOption);
    for (const QString& condition : Expressions(kWhere))
        if (either.match(condition).hasMatch()) return QStringLiteral("a condition with OR");
    return QString();
}

QString JetQuerySql::MdbSql() const {
    const JetQueryRow* table = Rows(kTable).front();
    // Drops "Table." / "[Table]." qualifiers and parentheses, and turns "text" into
    // 'text', outside string literals.
    const auto dialect = [&](const QString& text) {
        QString out;
        QChar quote;
        for (int index = 0; index < text.size(); ++index) {
            const QChar c = text.at(index);
            if (!quote.isNull()) {
                out += c == QLatin1Char('"') && quote == QLatin1Char('"') ? QLatin1Char('\'') : c;
                if (c == quote) quote = QChar();
            } else if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
                quote = c;
                out += QLatin1Char('\'');
            } else if (c != QLatin1Char('(') && c != QLatin1Char(')')) {
                out += c;
            }
        }
        const QString key = table->Name2.isEmpty() ? table->Name1 : table->Name2;
        out.remove(QLatin1Char('[') + key + QStringLiteral("]."), Qt::CaseInsensitive);
        out.remove(key + QLatin1Char('.'), Qt::CaseInsensitive);
        return out;
    };
    QStringList columns;
    for (const JetQueryRow* row : Rows(kColumn)) columns << dialect(row->Expression);
    if ((Options() & kAllFields) || columns.isEmpty()) columns = QStringList{QStringLiteral("*")};
    QString sql = QStringLiteral("SELECT ") + columns.join(QStringLiteral(", ")) +
                  QStringLiteral(" FROM [") + table->Name1 + QLatin1Char(']');
    const QStringList where = Expressions(kWhere);
    if (!where.isEmpty())
        sql += QStringLiteral(" WHERE ") + dialect(where.join(QStringLiteral(" AND ")));
    return sql;
}

QString JetQuerySql::Sql() const {
    const auto parameters = Parameters();
    if (parameters.empty()) return SelectSql();
    QStringList declared;
    for (const auto& parameter : parameters)
        declared << QLatin1Char('[') + parameter.first + QStringLiteral("] ") +
                        QString::number(parameter.second);
    return QStringLiteral("PARAMETERS ") + declared.join(QStringLiteral(", ")) +
           QStringLiteral(";\n") + SelectSql();
}

}  // namespace morvane
