// Helpers shared by the engine tests: a temporary directory per test and a way to expect
// an engine error number.
#pragma once

#include "export/data/Database.h"
#include "export/data/EngineError.h"
#include "export/data/FieldTypes.h"
#include "export/data/Recordset.h"
#include "export/data/dbengine/DBEngine.h"

#include <gtest/gtest.h>
#include <QTemporaryDir>
#include <functional>

namespace morvane::test {

//! The engine error number `action` raises, 0 when it raises none.
inline int ErrorNumberOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const EngineError& error) {
        // The Errors collection must describe the same failure.
        EXPECT_GE(DbErrors().Count(), 1);
        if (DbErrors().Count() > 0) {
            EXPECT_EQ(DbErrors().Item(0).Number, error.Number());
        }
        return error.Number();
    }
    return 0;
}

inline const QString kLocale = QStringLiteral(";LANGID=0x0409;CP=1252;COUNTRY=0");

//! A fresh native database in a temporary directory.
class EngineTest : public ::testing::Test {
  protected:
    QString PathOf(const QString& name) const { return dir_.filePath(name); }
    std::shared_ptr<Database> NewDatabase(const QString& name = QStringLiteral("test.db")) {
        return DBEngine::Instance().CreateDatabase(PathOf(name), kLocale, 32);
    }
    std::shared_ptr<Database> Open(const QString& name, const QString& connect = QString()) {
        return DBEngine::Instance().OpenDatabase(PathOf(name), 0, false, connect);
    }

    QTemporaryDir dir_;
};

}  // namespace morvane::test
