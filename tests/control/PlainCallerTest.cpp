#include "export/control/PlainCaller.h"

#include "export/common/Prompter.h"

#include <gtest/gtest.h>

namespace morvane {
namespace {

class SilentPrompter : public Prompter {
  public:
    MsgResult MsgBox(const QString&, MsgButtons, MsgIcon, const QString&, int) override {
        ++shown;
        return MsgResult::OK;
    }
    std::optional<QString> InputBox(const QString&, const QString&, const QString&) override {
        ++shown;
        return std::nullopt;
    }
    void Beep() override {}
    int MousePointer() const override { return 0; }
    void SetMousePointer(int) override {}
    int shown = 0;
};

TEST(PlainCallerTest, HooksChangeByReferenceArguments) {
    PlainCaller caller;
    caller.Hooks.BeforeFieldExport = [](const QString& table, const QString& field, short type,
                                        short size, QString& buf) {
        buf = QStringLiteral("%1.%2:%3/%4=%5").arg(table, field).arg(type).arg(size).arg(buf);
    };
    caller.Hooks.BeforeRecordExport = [](QString& record) { record.clear(); };
    caller.Hooks.FilterTable = [](const QString& table, bool& hide) { hide = table == "Sys"; };
    caller.Hooks.FilterType = [](short kind, bool& hide) { hide = kind >= 5 && kind <= 7; };
    caller.Hooks.FilterField = [](const QString&, const QString& field, bool& hide) {
        hide = field.startsWith('_');
    };
    ExportCaller& seam = caller;

    QString field = "v";
    seam.RaiseBeforeFieldExport("T", "F", 10, 50, field);
    EXPECT_EQ(field, "T.F:10/50=v");
    QString record = "a,b";
    seam.RaiseBeforeRecordExport(record);
    EXPECT_TRUE(record.isEmpty());
    bool hide = false;
    seam.RaiseFilterTable("Sys", hide);
    EXPECT_TRUE(hide);
    hide = false;
    seam.RaiseFilterType(6, hide);
    EXPECT_TRUE(hide);
    hide = false;
    seam.RaiseFilterField("T", "_id", hide);
    EXPECT_TRUE(hide);
}

TEST(PlainCallerTest, EmptyHooksLeaveArgumentsAlone) {
    PlainCaller caller;
    QString field = "v", record = "r";
    bool hide = false;
    caller.RaiseBeforeFieldExport("T", "F", 10, 50, field);
    caller.RaiseBeforeRecordExport(record);
    caller.RaiseFilterTable("T", hide);
    caller.RaiseFilterType(1, hide);
    caller.RaiseFilterField("T", "F", hide);
    EXPECT_EQ(field, "v");
    EXPECT_EQ(record, "r");
    EXPECT_FALSE(hide);
}

TEST(PlainCallerTest, ReadsPropertiesAndRecomputesSourceConnectPerRun) {
    PlainCaller caller;
    SilentPrompter prompter;
    EXPECT_EQ(caller.ExportCaption(), "Export Data");
    EXPECT_TRUE(caller.SourceConnect().isEmpty());
    caller.Properties.ConnectString = TypeConnect::DBase4;
    EXPECT_TRUE(caller.SourceConnect().isEmpty());  // computed when a run starts
    caller.BatchExport(prompter, QString());
    EXPECT_EQ(caller.SourceConnect(), "dBASE IV");
    caller.Properties.ConnectString = TypeConnect::ODBC;
    caller.BatchExport(prompter, "Monthly");
    EXPECT_EQ(caller.SourceConnect(), "dBASE IV");  // no mapping: left as it was
    caller.SetTableName("Orders");
    EXPECT_EQ(caller.TableName(), "Orders");
}

}  // namespace
}  // namespace morvane
