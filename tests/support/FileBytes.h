// Reading and writing whole files in tests: the bytes a writer left, and damaged or
// prepared files for a reader.
#pragma once

#include <gtest/gtest.h>
#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

namespace morvane::test {

//! The file's bytes; empty when it cannot be read.
inline QByteArray ReadBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

//! Replaces the file's contents with `bytes` (a failure to write fails the test) and
//! answers its path.
inline QString WriteBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        ADD_FAILURE() << "cannot write " << path.toStdString();
    return path;
}

//! Writes `bytes` to the file `name` of `dir` and answers its path.
inline QString WriteFile(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes) {
    return WriteBytes(dir.filePath(name), bytes);
}

}  // namespace morvane::test
