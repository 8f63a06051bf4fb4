// Helpers shared by the Jet driver tests: where the Jet fixtures are (../shared/fixtures/jet
// beside the source tree; tests skip when it is absent), and copies of them, changed or
// not, in a temporary directory.
#pragma once

#include "tests/data/EngineTestSupport.h"
#include "tests/support/FileBytes.h"

#include <QDir>
#include <QFile>

namespace morvane::test {

inline QString JetFixtureDir() {
    return QDir::cleanPath(QStringLiteral(MORVANE_SOURCE_DIR "/../shared/fixtures/jet"));
}

#define SKIP_WITHOUT_JET_FIXTURES()                                          \
    if (!QFile::exists(::morvane::test::JetFixtureDir() + "/testV1997.mdb")) \
    GTEST_SKIP() << "Jet fixtures not found in " << qPrintable(::morvane::test::JetFixtureDir())

inline QString JetFixture(const QString& name) {
    return JetFixtureDir() + QLatin1Char('/') + name;
}

inline std::shared_ptr<Database> OpenJet(const QString& path, const QString& password = {}) {
    return DBEngine::Instance().OpenDatabase(path, 0, false, ";pwd=" + password + ";");
}

}  // namespace morvane::test
