#include "propertybag/MemoryPropertyBag.h"

#include <gtest/gtest.h>

namespace morvane {
namespace {

TEST(MemoryPropertyBagTest, KeysKeepTheOrderOfTheirFirstWrite) {
    MemoryPropertyBag bag;
    bag.WriteProperty("b", 1, 0);
    bag.WriteProperty("a", "x", QString());
    bag.WriteProperty("b", 2, 0);  // rewriting keeps the position
    bag.WriteProperty("c", true, false);
    EXPECT_EQ(bag.Keys(), QStringList({"b", "a", "c"}));
    EXPECT_EQ(bag.Value("b"), QVariant(2));
    EXPECT_TRUE(bag.Contains("a"));
    EXPECT_FALSE(bag.Contains("A"));  // keys are exact
    EXPECT_FALSE(bag.Value("missing").isValid());
}

TEST(MemoryPropertyBagTest, ReadAnswersTheDefaultOnlyForAbsentKeys) {
    MemoryPropertyBag bag;
    bag.WriteProperty("Caption", QString(), "Export Data");
    EXPECT_EQ(bag.ReadProperty("Caption", "Export Data"), QVariant(QString()));
    EXPECT_EQ(bag.ReadProperty("Other", "fallback"), QVariant("fallback"));
}

TEST(MemoryPropertyBagTest, WriteLogRecordsEveryCallWithItsDefault) {
    MemoryPropertyBag bag({/*omitDefaults=*/true});
    bag.WriteProperty("n", QVariant::fromValue<qint16>(4), QVariant::fromValue<qint16>(4));
    bag.WriteProperty("s", "v", QString());
    ASSERT_EQ(bag.WriteLog().size(), 2u);
    EXPECT_EQ(bag.WriteLog()[0].key, "n");
    EXPECT_EQ(bag.WriteLog()[0].value.metaType().id(), QMetaType::Short);
    EXPECT_EQ(bag.WriteLog()[0].defaultValue, QVariant::fromValue<qint16>(4));
    EXPECT_EQ(bag.WriteLog()[1].value, QVariant("v"));
    EXPECT_EQ(bag.Keys(), QStringList({"s"}));  // the default was left out, not the log entry
}

TEST(MemoryPropertyBagTest, OmittingDefaultsDropsAnOlderValue) {
    MemoryPropertyBag bag({/*omitDefaults=*/true});
    bag.WriteProperty("ShowProgress", false, true);
    ASSERT_TRUE(bag.Contains("ShowProgress"));
    bag.WriteProperty("ShowProgress", true, true);
    EXPECT_FALSE(bag.Contains("ShowProgress"));
    EXPECT_EQ(bag.ReadProperty("ShowProgress", true), QVariant(true));
    EXPECT_TRUE(bag.Keys().isEmpty());
}

TEST(MemoryPropertyBagTest, ClearEmptiesValuesAndLog) {
    MemoryPropertyBag bag;
    bag.WriteProperty("a", 1, 0);
    bag.Clear();
    EXPECT_TRUE(bag.Keys().isEmpty());
    EXPECT_TRUE(bag.WriteLog().empty());
    EXPECT_FALSE(bag.Contains("a"));
}

}  // namespace
}  // namespace morvane
