// Listing the data sources through the ODBC driver manager, each configuration in a
// fresh process (the helper odbc_dsn_lister) whose ODBCINI / ODBCSYSINI point at private
// files, so that the first ODBC call of that process sees exactly that configuration.
#include "tests/odbc/OdbcTestConfig.h"

#include "tests/odbc/QtPrinters.h"

#include <gtest/gtest.h>

#include <QProcess>

namespace morvane::test {
namespace {

struct Listing {
    int selected = -2;
    QStringList names;
};

Listing RunLister(const OdbcTestConfig& config) {
    QProcess process;
    process.setProcessEnvironment(config.Environment());
    process.start(QStringLiteral(MORVANE_DSN_LISTER), {});
    EXPECT_TRUE(process.waitForFinished(30000)) << "lister did not finish";
    EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    QStringList lines = QString::fromUtf8(process.readAllStandardOutput()).split(u'\n');
    if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
    Listing listing;
    if (lines.isEmpty() || !lines.first().startsWith(QStringLiteral("selected="))) {
        ADD_FAILURE() << "unexpected lister output";
        return listing;
    }
    listing.selected = lines.takeFirst().mid(9).toInt();
    listing.names = lines;
    return listing;
}

QList<OdbcDsn> Dsns(const QStringList& names) {
    QList<OdbcDsn> dsns;
    for (const QString& name : names) dsns.append({name, QStringLiteral("/tmp/unused.db")});
    return dsns;
}

TEST(OdbcListingTest, ListsConfiguredDataSourcesInFileOrder) {
    // Forty names, unsorted, up to 100 characters long (the driver manager itself does not
    // handle section names of a few hundred characters reliably).
    QStringList many;
    for (int index = 0; index < 40; ++index)
        many << QStringLiteral("Source %1 x%2").arg(40 - index).arg(QString(index * 2, u'x'));
    struct Case {
        const char* what;
        QStringList user;
        QStringList system;
        QStringList expected;
    };
    const Case cases[] = {
        {"user DSNs in file order, not sorted",
         {"Zeta", "Alpha", "Mid Name", "beta"},
         {},
         {"Zeta", "Alpha", "Mid Name", "beta"}},
        {"no DSN defined", {}, {}, {}},
        {"system DSNs only", {}, {"SysB", "SysA"}, {"SysB", "SysA"}},
        {"user DSNs before system DSNs", {"U2", "U1"}, {"S2", "S1"}, {"U2", "U1", "S2", "S1"}},
        {"many long names", many, {}, many},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.what);
        OdbcTestConfig config;
        ASSERT_TRUE(config.IsValid());
        config.WriteUserDsns(Dsns(test.user));
        config.WriteSystemDsns(Dsns(test.system));
        const Listing listing = RunLister(config);
        EXPECT_EQ(listing.names, test.expected);
        EXPECT_EQ(listing.selected, test.expected.isEmpty() ? -1 : 0);
        QStringList distinct = listing.names;
        EXPECT_EQ(distinct.removeDuplicates(), 0);
        for (const QString& name : listing.names) EXPECT_FALSE(name.trimmed().isEmpty());
    }
}

TEST(OdbcListingTest, MissingConfigurationFilesListNothing) {
    OdbcTestConfig config;
    ASSERT_TRUE(config.IsValid());
    QProcessEnvironment environment = config.Environment();
    QProcess process;
    environment.insert(QStringLiteral("ODBCINI"), config.Path(QStringLiteral("absent.ini")));
    environment.insert(QStringLiteral("ODBCSYSINI"), config.Path(QStringLiteral("absent")));
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(MORVANE_DSN_LISTER), {});
    ASSERT_TRUE(process.waitForFinished(30000));
    EXPECT_EQ(process.exitCode(), 0);
    EXPECT_EQ(QString::fromUtf8(process.readAllStandardOutput()), "selected=-1\n");
}

}  // namespace
}  // namespace morvane::test
