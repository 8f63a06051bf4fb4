#include "export/data/ConnectInfo.h"

namespace morvane {

namespace {

// Splits the text after the type specifier at ";". A value that starts with "{" and has a
// "}" closing it before the next item (or the end) is braced and may hold ";"; any other
// "{" is an ordinary character, so a password such as "{abc" reads back as written.
QStringList SplitItems(const QString& text) {
    QStringList items;
    QString current;
    for (qsizetype pos = 0; pos < text.size(); ++pos) {
        const QChar ch = text.at(pos);
        const bool valueStart =
            pos > 0 && text.at(pos - 1) == QLatin1Char('=') && current.count(QLatin1Char('=')) == 1;
        if (ch == QLatin1Char('{') && valueStart) {
            qsizetype close = text.indexOf(QLatin1Char('}'), pos + 1);
            while (close >= 0 && close + 1 < text.size() && text.at(close + 1) != QLatin1Char(';'))
                close = text.indexOf(QLatin1Char('}'), close + 1);
            if (close >= 0) {
                current += text.mid(pos, close - pos + 1);
                pos = close;
                continue;
            }
        }
        if (ch == QLatin1Char(';')) {
            items << current;
            current.clear();
        } else {
            current += ch;
        }
    }
    items << current;
    return items;
}

QString Unbrace(const QString& value) {
    if (value.size() >= 2 && value.startsWith(QLatin1Char('{')) && value.endsWith(QLatin1Char('}')))
        return value.mid(1, value.size() - 2);
    return value;
}

}  // namespace

ConnectInfo ConnectInfo::Parse(const QString& connect) {
    ConnectInfo info;
    const qsizetype semicolon = connect.indexOf(QLatin1Char(';'));
    info.Type = (semicolon < 0 ? connect : connect.left(semicolon)).trimmed();
    if (semicolon < 0) return info;
    for (const QString& item : SplitItems(connect.mid(semicolon + 1))) {
        if (item.trimmed().isEmpty()) continue;
        const qsizetype equals = item.indexOf(QLatin1Char('='));
        if (equals < 0) {
            info.Items.append({item.trimmed(), QString()});
        } else {
            info.Items.append({item.left(equals).trimmed(), Unbrace(item.mid(equals + 1))});
        }
    }
    return info;
}

bool ConnectInfo::Has(const QString& key) const {
    for (const auto& item : Items)
        if (item.first.compare(key, Qt::CaseInsensitive) == 0) return true;
    return false;
}

QString ConnectInfo::Value(const QString& key) const {
    for (const auto& item : Items)
        if (item.first.compare(key, Qt::CaseInsensitive) == 0) return item.second;
    return QString();
}

QString ConnectInfo::Password() const {
    return Has(QStringLiteral("pwd")) ? Value(QStringLiteral("pwd"))
                                      : Value(QStringLiteral("password"));
}

}  // namespace morvane
