// The data source enumeration loop, driven by a scripted fetch that plays the driver
// manager's part call by call.
#include "export/data/odbc/OdbcDataSources.h"

#include "tests/odbc/QtPrinters.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <QList>

#include <cstring>
#include <optional>

namespace morvane {
namespace {

//! One scripted call: the bytes written into the buffer (none when unset), the length
//! reported (left as it was when unset), and the return code.
struct Call {
    std::optional<QByteArray> written;
    std::optional<short> length;
    int returnCode;
};

Call Name(const char* name) {
    const QByteArray bytes(name);
    return {bytes + '\0', static_cast<short>(bytes.size()), 0};
}

struct Script {
    QList<Call> calls;
    int made = 0;

    DataSourceFetch Fetch() {
        return [this](char* name, int capacity, short& nameLength) {
            EXPECT_EQ(capacity, kDataSourceNameCapacity);
            // Every call must find the buffer filled with spaces again.
            EXPECT_EQ(QByteArray(name, capacity), QByteArray(capacity, ' '));
            if (made >= calls.size()) {
                ADD_FAILURE() << "fetched after the list ended";
                return 100;
            }
            const Call& call = calls.at(made++);
            if (call.written) std::memcpy(name, call.written->constData(), call.written->size());
            if (call.length) nameLength = *call.length;
            return call.returnCode;
        };
    }
};

TEST(OdbcDataSourcesTest, CollectsNamesByTheListRules) {
    const Call endStale{std::nullopt, std::nullopt, 100};
    struct Case {
        const char* what;
        QList<Call> calls;
        QStringList expected;
    };
    const QList<Case> cases = {
        {"names in order, end leaves the length stale",
         {Name("Zeta"), Name("Alpha"), Name("Mid dle"), endStale},
         {"Zeta", "Alpha", "Mid dle"}},
        {"nothing configured", {{std::nullopt, 0, 100}}, {}},
        {"no driver manager: the first call fails", {{std::nullopt, std::nullopt, -1}}, {}},
        {"invalid handle", {{std::nullopt, std::nullopt, -2}}, {}},
        {"an error ends the list", {Name("One"), {std::nullopt, std::nullopt, -1}}, {"One"}},
        {"names of spaces and empty names are skipped",
         {Name("   "), Name(""), Name("Real"), endStale},
         {"Real"}},
        {"leading and trailing spaces are kept", {Name(" a b "), endStale}, {" a b "}},
        {"success with information adds its name and ends the list",
         {Name("First"), {QByteArray("Second\0", 7), 6, 1}},
         {"First", "Second"}},
        {"a reported length beyond the buffer is clamped",
         {{QByteArray(1023, 'x') + '\0', 2000, 1}},
         {QString(1023, u'x')}},
        {"a negative length gives an empty name", {{QByteArray("abc"), -5, 100}}, {}},
        {"only the reported length counts", {{QByteArray("abcdef"), 3, 100}}, {"abc"}},
        {"UTF-8 names", {Name("Caf\xc3\xa9"), endStale}, {QString::fromUtf8("Caf\xc3\xa9")}},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.what);
        Script script{test.calls};
        EXPECT_EQ(CollectDataSourceNames(script.Fetch()), test.expected);
        EXPECT_EQ(script.made, test.calls.size()) << "every scripted call made, no more";
    }
}

TEST(OdbcDataSourcesTest, NullFetchListsNothing) {
    EXPECT_TRUE(CollectDataSourceNames(DataSourceFetch()).isEmpty());
}

}  // namespace
}  // namespace morvane
