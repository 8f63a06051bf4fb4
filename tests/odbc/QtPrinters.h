// Lets GoogleTest print QString and QStringList values readably in failure messages.
#pragma once

#include <QString>
#include <QStringList>

#include <ostream>

inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

QT_BEGIN_NAMESPACE
inline void PrintTo(const QStringList& list, std::ostream* out) {
    *out << '{';
    for (const QString& text : list) *out << '"' << text.toStdString() << "\" ";
    *out << '}';
}
QT_END_NAMESPACE
