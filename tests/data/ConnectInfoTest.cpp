#include "export/data/ConnectInfo.h"
#include "export/data/Database.h"
#include "export/data/DriverRegistry.h"
#include "export/data/dbengine/DBEngine.h"
#include "tests/data/EngineTestSupport.h"

namespace morvane {
namespace {

TEST(ConnectInfoTest, Parse) {
    struct Case {
        QString connect, type, password, dsn;
    };
    const Case cases[] = {
        {"", "", "", ""},
        {";pwd=;", "", "", ""},
        {";pwd=secret;", "", "secret", ""},
        {"Paradox 3.X;", "Paradox 3.X", "", ""},
        {"  dBASE IV ;PWD=a=b;", "dBASE IV", "a=b", ""},
        {"ODBC;DSN=sales;UID=bob;PWD={x;y};DATABASE=d", "ODBC", "x;y", "sales"},
        {"Excel 97", "Excel 97", "", ""},
        {";password=p2", "", "p2", ""},
        // Only a value that starts with "{" and is closed before the next item is braced.
        {";pwd={abc;", "", "{abc", ""},
        {";pwd=a{b;c};", "", "a{b", ""},
        {"ODBC;PWD={a}b};DSN=s", "ODBC", "a}b", "s"},
    };
    for (const Case& c : cases) {
        const ConnectInfo info = ConnectInfo::Parse(c.connect);
        EXPECT_EQ(info.Type, c.type) << c.connect.toStdString();
        EXPECT_EQ(info.Password(), c.password) << c.connect.toStdString();
        EXPECT_EQ(info.Value("dsn"), c.dsn) << c.connect.toStdString();
    }
    EXPECT_TRUE(ConnectInfo::Parse("ODBC;DSN=x;uid=u").Has("UID"));
    EXPECT_EQ(ConnectInfo::Parse("ODBC;DSN=x;uid=u").Value("UID"), "u");
}

class StubDriver : public Driver {
  public:
    std::shared_ptr<Database> OpenDatabase(const QString&, const OpenOptions&, const QString&,
                                           const ConnectInfo& info) override {
        lastType = info.Type;
        throw EngineError::Raise(ErrFileNotFoundEngine, "stub");
    }
    QString lastType;
};

TEST(DriverRegistryTest, MatchesTypeWithoutRegardToCase) {
    DriverRegistry registry;
    auto driver = std::make_shared<StubDriver>();
    registry.Register({"Paradox 3.x", "Paradox 4.x"}, driver);
    for (const QString type : {"Paradox 3.x", "PARADOX 3.X", "paradox 4.X", " Paradox 3.x "})
        EXPECT_EQ(&registry.Find(type), driver.get()) << type.toStdString();
    EXPECT_EQ(test::ErrorNumberOf([&] { registry.Find("Paradox 5.x"); }), ErrDriverNotInstalled);
    EXPECT_EQ(test::ErrorNumberOf([&] { registry.Find(""); }), ErrDriverNotInstalled);
}

TEST(DriverRegistryTest, EngineRoutesByTypeSpecifier) {
    DBEngine& engine = DBEngine::Instance();
    EXPECT_TRUE(engine.Drivers().Has(""));
    // A type nobody built fails with 3170 and names the type.
    EXPECT_EQ(
        test::ErrorNumberOf([&] { engine.OpenDatabase("/tmp/x", 0, false, "Lotus WK9;pwd=;"); }),
        ErrDriverNotInstalled);
    EXPECT_TRUE(engine.Errors().Item(0).Description.contains("Lotus WK9"));
    // A registered driver gets the parsed type, whatever case the caller wrote.
    auto driver = std::make_shared<StubDriver>();
    engine.Drivers().Register({"Stub Format 1.0"}, driver);
    EXPECT_EQ(test::ErrorNumberOf(
                  [&] { engine.OpenDatabase("/tmp/x", 0, false, "STUB format 1.0;pwd=x;"); }),
              ErrFileNotFoundEngine);
    EXPECT_EQ(driver->lastType, "STUB format 1.0");
}

}  // namespace
}  // namespace morvane
