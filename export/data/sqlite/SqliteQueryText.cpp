#include "export/data/sqlite/SqliteQueryText.h"

namespace morvane {

namespace {

bool IsIdentifierStart(QChar ch) {
    return ch.isLetter() || ch == QLatin1Char('_') || ch.unicode() >= 0x80;
}

bool IsIdentifierPart(QChar ch) {
    return IsIdentifierStart(ch) || ch.isDigit() || ch == QLatin1Char('$');
}

// The verbs that can follow a WITH clause at the outer level.
bool IsMainVerb(const QString& word) {
    static const QStringList verbs = {"SELECT", "VALUES", "DELETE", "UPDATE", "INSERT", "REPLACE"};
    return verbs.contains(word);
}

// Walks the text token by token, skipping literals, quoted names and comments.
class Scanner {
  public:
    explicit Scanner(const QString& sql) : sql_(sql) {}

    SqliteQueryText Run() {
        while (pos_ < sql_.size()) Token();
        EndStatement(sql_.size());
        return result_;
    }

  private:
    QChar At(int index) const { return index < sql_.size() ? sql_.at(index) : QChar(); }

    void SkipPast(const QString& end) {
        const int found = sql_.indexOf(end, pos_);
        pos_ = found < 0 ? sql_.size() : found + end.size();
    }

    // A quoted literal or name; a doubled closing quote stands for itself.
    void SkipQuoted(QChar close) {
        ++pos_;
        while (pos_ < sql_.size()) {
            if (sql_.at(pos_++) != close) continue;
            if (At(pos_) != close || close == QLatin1Char(']')) return;
            ++pos_;
        }
    }

    int WordEnd(int from) const {
        int end = from;
        while (end < sql_.size() && IsIdentifierPart(sql_.at(end))) ++end;
        return end;
    }

    void Token() {
        const QChar ch = sql_.at(pos_);
        if (ch.isSpace()) {
            ++pos_;
            return;
        }
        if (ch == QLatin1Char('-') && At(pos_ + 1) == QLatin1Char('-')) return SkipPast("\n");
        if (ch == QLatin1Char('/') && At(pos_ + 1) == QLatin1Char('*')) return SkipPast("*/");
        if (ch == QLatin1Char(';')) {
            EndStatement(pos_);
            ++pos_;
            return;
        }
        hasToken_ = true;
        if (ch == QLatin1Char('\'') || ch == QLatin1Char('"') || ch == QLatin1Char('`'))
            return SkipQuoted(ch);
        if (ch == QLatin1Char('[')) return SkipQuoted(QLatin1Char(']'));
        if (ch == QLatin1Char('(')) ++depth_;
        if (ch == QLatin1Char(')') && depth_ > 0) --depth_;
        if (ch == QLatin1Char(':') && IsIdentifierPart(At(pos_ + 1))) return Parameter();
        if (ch == QLatin1Char('?') ||
            ((ch == QLatin1Char('@') || ch == QLatin1Char('$')) && IsIdentifierPart(At(pos_ + 1))))
            result_.OtherPlaceholders = true;
        if (IsIdentifierStart(ch)) return Word();
        if (ch.isDigit()) {  // a number: digits, letters of an exponent or hex, a point
            while (pos_ < sql_.size() && (IsIdentifierPart(sql_.at(pos_)) || sql_.at(pos_) == '.'))
                ++pos_;
            return;
        }
        ++pos_;
    }

    void Parameter() {
        const int end = WordEnd(pos_ + 1);
        const QString name = sql_.mid(pos_ + 1, end - pos_ - 1);
        pos_ = end;
        if (!result_.ParameterNames.contains(name, Qt::CaseInsensitive))
            result_.ParameterNames << name;
    }

    void Word() {
        const int end = WordEnd(pos_);
        const QString word = sql_.mid(pos_, end - pos_).toUpper();
        pos_ = end;
        if (result_.Statements > 0 || !result_.Verb.isEmpty()) return;
        if (firstWord_.isEmpty()) {
            firstWord_ = word;
            if (word != QLatin1String("WITH")) result_.Verb = word;
        } else if (depth_ == 0 && IsMainVerb(word)) {
            result_.Verb = word;
        }
    }

    void EndStatement(int at) {
        if (!hasToken_) return;
        if (++result_.Statements == 1) result_.FirstStatementLength = at;
        hasToken_ = false;
        depth_ = 0;
    }

    const QString& sql_;
    int pos_ = 0;
    int depth_ = 0;
    bool hasToken_ = false;
    QString firstWord_;
    SqliteQueryText result_;
};

}  // namespace

bool SqliteQueryText::ReturnsRows() const {
    return Verb == QLatin1String("SELECT") || Verb == QLatin1String("VALUES");
}

SqliteQueryText SqliteQueryText::Scan(const QString& sql) {
    return Scanner(sql).Run();
}

}  // namespace morvane
