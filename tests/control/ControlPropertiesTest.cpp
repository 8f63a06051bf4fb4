#include "export/control/ControlProperties.h"

#include "propertybag/MemoryPropertyBag.h"

#include <gtest/gtest.h>

namespace morvane {
namespace {

// The bag order and the defaults every host writes with.
struct KeyDefault {
    const char* key;
    QVariant defaultValue;
};
const KeyDefault kKeys[] = {
    {"DataBaseName", QString()},
    {"Password", QString()},
    {"Username", QString()},
    {"ConnectString", QVariant::fromValue<qint16>(4)},
    {"ExportCaption", QString("Export Data")},
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

TEST(ControlPropertiesTest, TableHoldsKeysInBagOrderWithTypedDefaults) {
    const auto& definitions = PropertyDefinitions();
    ASSERT_EQ(definitions.size(), std::size(kKeys));
    const ControlProperties fresh;
    for (size_t index = 0; index < definitions.size(); ++index) {
        SCOPED_TRACE(kKeys[index].key);
        EXPECT_EQ(definitions[index].key, kKeys[index].key);
        EXPECT_EQ(definitions[index].defaultValue.metaType(), kKeys[index].defaultValue.metaType());
        EXPECT_EQ(definitions[index].defaultValue, kKeys[index].defaultValue);
        EXPECT_EQ(fresh.Get(kKeys[index].key), kKeys[index].defaultValue);
    }
}

TEST(ControlPropertiesTest, DescriptionsAreExact) {
    EXPECT_EQ(FindPropertyDefinition("DataBaseName")->description,
              "Name of the databaset that contains the tables  that will be exported.");
    EXPECT_EQ(FindPropertyDefinition("HelpID")->description,
              "If you provide a help file you must set this property to point to your help "
              "file topic.number.\r\nLeave it to zero if you don't provide a help file.");
    EXPECT_TRUE(FindPropertyDefinition("Username")->description.isEmpty());
    EXPECT_TRUE(FindPropertyDefinition("QueryName")->description.isEmpty());
    EXPECT_EQ(FindPropertyDefinition("databasename"), nullptr);
}

TEST(ControlPropertiesTest, SetRefusesWhatDoesNotFit) {
    struct Case {
        const char* key;
        QVariant value;
        bool accepted;
    };
    const Case cases[] = {
        {"ConnectString", 32767, true},  {"ConnectString", -32768, true},
        {"ConnectString", 32768, false}, {"ConnectString", -40000, false},
        {"ConnectString", "x", false},   {"HelpID", 70000, false},
        {"HelpID", "12", true},          {"Unknown", 1, false},
        {"ShowProgress", "", true},      {"TableName", 12, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.key) + " " + c.value.toString().toStdString());
        ControlProperties props;
        const ControlProperties before = props;
        EXPECT_EQ(props.Set(c.key, c.value), c.accepted);
        if (!c.accepted) {
            EXPECT_EQ(props, before);
        }
    }
}

TEST(ControlPropertiesTest, ReadFromUsesDefaultsForAbsentOrUnusableValues) {
    MemoryPropertyBag bag;
    bag.SetValue("ConnectString", 70000);  // does not fit 16 bits
    bag.SetValue("HelpID", "not a number");
    bag.SetValue("TableName", "Orders");
    ControlProperties props;
    props.ExportCaption = "changed";
    props.ReadFrom(bag);
    EXPECT_EQ(props.ConnectString, 4);
    EXPECT_EQ(props.HelpID, 0);
    EXPECT_EQ(props.TableName, "Orders");
    EXPECT_EQ(props.ExportCaption, "Export Data");
}

}  // namespace
}  // namespace morvane
