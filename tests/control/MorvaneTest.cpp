#include "export/control/ui/Morvane.h"

#include "export/common/RuntimeError.h"
#include "export/common/ScriptedPrompter.h"
#include "propertybag/FilePropertyBag.h"

#include <gtest/gtest.h>
#include <QTemporaryDir>

namespace morvane {
namespace {

// Property-bag keys in order, with the exact default value and type each is written with.
const std::pair<const char*, QVariant> kExpectedWrites[] = {
    {"DataBaseName", QString()},
    {"Password", QString()},
    {"Username", QString()},
    {"ConnectString", QVariant::fromValue<qint16>(4)},
    {"ExportCaption", "Export Data"},
    {"IniFile", QString()},
    {"ExportFile", QString()},
    {"HelpID", QVariant::fromValue<qint16>(0)},
    {"ShowProgress", true},
    {"ShowSummary", true},
    {"QuitAfterExport", false},
    {"MultiTable", false},
    {"TableName", QString()},
    {"QueryName", QString()},
    {"OverWrite", false},
};

// Names of the properties a control announced, in order.
QStringList RecordChanges(Morvane& control, QStringList& names) {
    QObject::connect(&control, &Morvane::PropertyChanged,
                     [&names](const QString& name) { names << name; });
    return names;
}

// Sets every property to a value other than its default.
void SetNonDefaults(Morvane& control) {
    control.SetDataBaseName(QString::fromUtf8("/data/ventes été.db"));
    control.SetPassword("p=w\nd");
    control.SetUsername("admin");
    control.SetConnectString(TypeConnect::Excel97);
    control.SetExportCaption("Export !");
    control.SetIniFile("/tmp/settings.ini");
    control.SetExportFile("/tmp/out.txt");
    control.SetHelpID(-12);
    control.SetShowProgress(false);
    control.SetShowSummary(false);
    control.SetQuitAfterExport(true);
    control.SetMultiTable(true);
    control.SetTableName("Orders");
    control.SetQueryName("Monthly");
    control.SetOverWrite(true);
}

TEST(MorvaneTest, NewControlWritesOnlyDefaultsInKeyOrder) {
    Morvane control;
    MemoryPropertyBag bag;
    control.WriteProperties(bag);
    const auto& log = bag.WriteLog();
    ASSERT_EQ(log.size(), std::size(kExpectedWrites));
    for (size_t index = 0; index < log.size(); ++index) {
        const auto& [key, expected] = kExpectedWrites[index];
        SCOPED_TRACE(key);
        EXPECT_EQ(log[index].key, key);
        EXPECT_EQ(log[index].value.metaType(), expected.metaType());
        EXPECT_EQ(log[index].value, expected);
        EXPECT_EQ(log[index].defaultValue.metaType(), expected.metaType());
        EXPECT_EQ(log[index].defaultValue, expected);
    }
    MemoryPropertyBag lean({/*omitDefaults=*/true});
    control.WriteProperties(lean);
    EXPECT_TRUE(lean.Keys().isEmpty());
}

TEST(MorvaneTest, ReadingABagWithoutKeysGivesDefaultsSilently) {
    Morvane control;
    SetNonDefaults(control);
    QStringList changes;
    RecordChanges(control, changes);
    control.ReadProperties(MemoryPropertyBag());
    EXPECT_TRUE(changes.isEmpty());
    EXPECT_EQ(control.Properties(), ControlProperties());
    EXPECT_EQ(control.ExportCaption(), "Export Data");
    EXPECT_TRUE(control.ShowProgress());
    EXPECT_TRUE(control.ShowSummary());
    EXPECT_EQ(control.ConnectString(), TypeConnect::Access);

    SetNonDefaults(control);
    control.InitProperties();
    EXPECT_EQ(control.Properties(), ControlProperties());
}

TEST(MorvaneTest, PropertiesRoundTripThroughAFileBag) {
    QTemporaryDir dir;
    const QString path = dir.filePath("form.props");
    Morvane saved;
    SetNonDefaults(saved);
    FilePropertyBag out(path, {/*omitDefaults=*/true});
    saved.WriteProperties(out);
    ASSERT_TRUE(out.Save());

    FilePropertyBag in(path);
    ASSERT_TRUE(in.Load());
    EXPECT_EQ(in.Value("ConnectString").metaType().id(), QMetaType::Short);
    Morvane loaded;
    loaded.ReadProperties(in);
    EXPECT_EQ(loaded.Properties(), saved.Properties());
    EXPECT_EQ(loaded.Password(), "p=w\nd");
}

TEST(MorvaneTest, ConnectStringOverflowKeepsTheValue) {
    const struct {
        int value;
        bool fits;
    } cases[] = {{40000, false}, {-40000, false}, {32768, false}, {-32769, false},
                 {32767, true},  {-32768, true},  {15, true},     {0, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        // C++ path: the overflow error is thrown to the caller.
        Morvane control;
        control.SetConnectString(TypeConnect::DBase5);
        if (c.fits) {
            EXPECT_NO_THROW(control.SetConnectString(c.value));
            EXPECT_EQ(control.ConnectString(), c.value);
        } else {
            try {
                control.SetConnectString(c.value);
                ADD_FAILURE() << "no overflow";
            } catch (const RuntimeError& error) {
                EXPECT_EQ(error.Number(), ErrOverflow);
                EXPECT_EQ(error.Description(), "Overflow");
            }
            EXPECT_EQ(control.ConnectString(), TypeConnect::DBase5);
        }
        // Dynamic path: refused, reported by signal and LastError, never thrown.
        Morvane dynamic;
        dynamic.setProperty("ConnectString", TypeConnect::DBase5);
        QList<std::pair<int, QString>> errors;
        QObject::connect(
            &dynamic, &Morvane::RuntimeErrorRaised,
            [&errors](int number, const QString& text) { errors << std::pair(number, text); });
        EXPECT_TRUE(dynamic.setProperty("ConnectString", c.value));
        EXPECT_EQ(dynamic.property("ConnectString").toInt(),
                  c.fits ? c.value : int(TypeConnect::DBase5));
        EXPECT_EQ(dynamic.property("LastErrorNumber").toInt(), c.fits ? 0 : ErrOverflow);
        EXPECT_EQ(dynamic.property("LastError").toString(), c.fits ? "" : "Overflow");
        EXPECT_EQ(errors.size(), c.fits ? 0 : 1);
        if (!c.fits) dynamic.setProperty("ConnectString", 9);
        EXPECT_EQ(dynamic.LastErrorNumber(), 0);  // a good write clears the error
    }
}

TEST(MorvaneTest, HelpIDOutside16BitsIsRefusedOnTheDynamicPath) {
    const struct {
        int value;
        bool fits;
    } cases[] = {{70000, false}, {-32769, false}, {32767, true}, {-32768, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        Morvane control;
        control.SetHelpID(12);
        int reported = 0;
        QObject::connect(&control, &Morvane::RuntimeErrorRaised,
                         [&reported](int number, const QString&) { reported = number; });
        EXPECT_TRUE(control.setProperty("HelpID", c.value));
        EXPECT_EQ(control.HelpID(), c.fits ? c.value : 12);  // never cut to 16 bits
        EXPECT_EQ(reported, c.fits ? 0 : int(ErrOverflow));
        EXPECT_EQ(control.LastError(), c.fits ? "" : "Overflow");
    }
}

TEST(MorvaneTest, SourceConnectIsRecomputedByEachRun) {
    const struct {
        int connectString;
        const char* prefix;  // nullptr: left as it was
    } rows[] = {
        {4, ""},
        {5, "Paradox 3.x"},
        {6, "Paradox 4.x"},
        {7, "Paradox 5.x"},
        {8, "dBASE III"},
        {9, "dBASE IV"},
        {10, "dBASE 5.0"},
        {11, "FoxPro 2.0"},
        {12, "FoxPro 2.5"},
        {13, "FoxPro 2.6"},
        {14, "FoxPro 3.0"},
        {16, "Excel 3.0"},
        {17, "Excel 4.0"},
        {18, "Excel 5.0"},
        {19, "Excel 97"},
        {20, "Lotus WK1"},
        {21, "Lotus WK1"},
        {22, "Lotus WK3"},
        {0, nullptr},
        {3, nullptr},
        {15, nullptr},
        {23, nullptr},
        {-1, nullptr},
        {32767, nullptr},
    };
    ScriptedPrompter prompter;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.connectString);
        for (bool batch : {false, true}) {
            Morvane control;
            control.SetPrompter(&prompter);
            control.SetConnectString(TypeConnect::Lotus3);
            control.Execute();
            ASSERT_EQ(control.SourceConnect(), "Lotus WK3");
            control.SetConnectString(row.connectString);
            EXPECT_EQ(control.SourceConnect(), "Lotus WK3");  // not before the run
            if (batch)
                EXPECT_FALSE(control.BatchExport(QString()).isValid());
            else
                control.Execute();
            EXPECT_EQ(control.SourceConnect(), row.prefix ? row.prefix : "Lotus WK3");
        }
        Morvane fresh;
        fresh.SetPrompter(&prompter);
        fresh.SetConnectString(row.connectString);
        fresh.Execute();
        EXPECT_EQ(fresh.SourceConnect(), row.prefix ? row.prefix : "");
    }
}

TEST(MorvaneTest, HandlersChangeByReferenceArguments) {
    Morvane control;
    QObject::connect(
        &control, &Morvane::BeforeFieldExport,
        [](const QString& table, const QString& field, short type, short size, QString& buf) {
            buf = QStringLiteral("%1.%2(%3,%4)").arg(table, field).arg(type).arg(size);
        });
    QObject::connect(&control, &Morvane::BeforeRecordExport,
                     [](QString& record) { record = "<" + record + ">"; });
    QObject::connect(&control, &Morvane::FilterTable,
                     [](const QString& table, bool& hide) { hide = table.startsWith("MSys"); });
    QObject::connect(&control, &Morvane::FilterType,
                     [](short kind, bool& hide) { hide = kind == TypeConnect::Lotus3; });
    QObject::connect(
        &control, &Morvane::FilterField,
        [](const QString&, const QString& field, bool& hide) { hide = field == "Pwd"; });
    ExportCaller& caller = control;  // what the session sees

    QString buf = "42";
    caller.RaiseBeforeFieldExport("Orders", "Qty", 4, 10, buf);
    EXPECT_EQ(buf, "Orders.Qty(4,10)");
    QString record = "a;b";
    caller.RaiseBeforeRecordExport(record);
    EXPECT_EQ(record, "<a;b>");
    const struct {
        std::function<void(bool&)> raise;
        bool hidden;
    } filters[] = {
        {[&](bool& h) { caller.RaiseFilterTable("MSysObjects", h); }, true},
        {[&](bool& h) { caller.RaiseFilterTable("Orders", h); }, false},
        {[&](bool& h) { caller.RaiseFilterType(22, h); }, true},
        {[&](bool& h) { caller.RaiseFilterType(21, h); }, false},
        {[&](bool& h) { caller.RaiseFilterField("Orders", "Pwd", h); }, true},
        {[&](bool& h) { caller.RaiseFilterField("Orders", "Qty", h); }, false},
    };
    for (const auto& filter : filters) {
        bool hide = false;
        filter.raise(hide);
        EXPECT_EQ(hide, filter.hidden);
    }
}

TEST(MorvaneTest, EveryWriteNamesItsProperty) {
    Morvane control;
    QStringList changes;
    RecordChanges(control, changes);
    SetNonDefaults(control);
    QStringList expected;
    for (const PropertyDefinition& definition : PropertyDefinitions()) expected << definition.key;
    std::sort(expected.begin(), expected.end());
    QStringList sorted = changes;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(sorted, expected);

    // Through the meta-object, each property announces itself once, even for an unchanged
    // value (the host decides whether to save).
    for (const PropertyDefinition& definition : PropertyDefinitions()) {
        changes.clear();
        ASSERT_TRUE(control.setProperty(definition.key.toLatin1(),
                                        control.property(definition.key.toLatin1())));
        EXPECT_EQ(changes, QStringList{definition.key});
    }
    changes.clear();
    EXPECT_THROW(control.SetConnectString(99999), RuntimeError);
    EXPECT_TRUE(changes.isEmpty());  // a refused write announces nothing
}

TEST(MorvaneTest, SizeSnapsBackToThreeHundredByThreeHundredFortyTwips) {
    QWidget form;
    auto* control = new Morvane(&form);
    const QSize expected(qRound(300 * control->logicalDpiX() / 1440.0),
                         qRound(340 * control->logicalDpiY() / 1440.0));
    EXPECT_EQ(control->size(), expected);
    const QSize requests[] = {{500, 500}, {1, 1}, {0, 0}, {expected.width(), 900}};
    for (const QSize& request : requests) {
        control->resize(request);
        EXPECT_EQ(control->size(), expected);
        control->setGeometry(QRect(QPoint(7, 9), request));
        EXPECT_EQ(control->size(), expected);
        EXPECT_EQ(control->pos(), QPoint(7, 9));
    }
    form.show();
    EXPECT_EQ(control->size(), expected);
    EXPECT_EQ(control->sizeHint(), expected);
}

TEST(MorvaneTest, DisplayShowsOnlyThePropertyCheckBox) {
    Morvane control;
    ScriptedPrompter prompter;
    control.SetPrompter(&prompter);
    QStringList changes;
    RecordChanges(control, changes);
    const ControlProperties before = control.Properties();
    ASSERT_TRUE(QMetaObject::invokeMethod(&control, "display"));
    ASSERT_EQ(prompter.Records().size(), 1u);
    EXPECT_EQ(prompter.Records()[0].kind, ScriptedPrompter::Kind::MessageBox);
    EXPECT_EQ(prompter.Records()[0].defaultButton, 1);
    EXPECT_EQ(prompter.Records()[0].text, "Display");
    EXPECT_EQ(prompter.Records()[0].title, "Property Check");
    EXPECT_EQ(prompter.Records()[0].icon, MsgIcon::Exclamation);
    EXPECT_EQ(prompter.Records()[0].buttons, MsgButtons::OK);
    EXPECT_EQ(control.Properties(), before);
    EXPECT_TRUE(changes.isEmpty());
}

TEST(MorvaneTest, DescriptionsForTooltips) {
    EXPECT_EQ(Morvane::PropertyDescription("OverWrite"),
              "If set to True, the component will overwrite the destination file without asking.");
    EXPECT_TRUE(Morvane::PropertyDescription("Username").isEmpty());
    EXPECT_TRUE(Morvane::PropertyDescription("NoSuchProperty").isEmpty());
}

}  // namespace
}  // namespace morvane
