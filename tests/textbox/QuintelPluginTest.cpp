// A host that does not link the control library: it loads the plugin by file name, creates
// the control by class name and works it through the meta-object system only.
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QLineEdit>
#include <QPluginLoader>
#include <QTest>

#include "propertybag/MemoryPropertyBag.h"

namespace morvane {
namespace {

//! The host's handlers, connected by signature.
class Host : public QObject {
    Q_OBJECT
  public slots:
    void OnKeyPress(short& KeyAscii) {
        seen << KeyAscii;
        if (KeyAscii == 'A') KeyAscii = 'Z';
    }
    void OnPropertyChanged(const QString& name) { changed << name; }

  public:
    QList<short> seen;
    QStringList changed;
};

class QuintelPluginTest : public ::testing::Test {
  protected:
    void SetUp() override {
        loader.setFileName(QStringLiteral(MORVANE_PLUGIN_DIR "/morvane/libQuintelPlugin.so"));
        ASSERT_TRUE(loader.load()) << loader.errorString().toStdString();
        factory = loader.instance();
        ASSERT_NE(factory, nullptr);
    }

    QWidget* Create(const QString& className, QWidget* parent) {
        QWidget* created = nullptr;
        EXPECT_TRUE(QMetaObject::invokeMethod(factory, "create", Q_RETURN_ARG(QWidget*, created),
                                              Q_ARG(QString, className), Q_ARG(QWidget*, parent)));
        return created;
    }

    QPluginLoader loader;
    QObject* factory = nullptr;
};

TEST_F(QuintelPluginTest, DescribesItself) {
    const QJsonObject meta = loader.metaData();
    EXPECT_EQ(meta.value(QLatin1String("IID")).toString(), "org.morvane.ControlFactory/1.0");
    const QJsonArray names = meta.value(QLatin1String("MetaData"))
                                 .toObject()
                                 .value(QLatin1String("classNames"))
                                 .toArray();
    EXPECT_TRUE(names.contains(QStringLiteral("QuintelCtl.Quintel")));
    QStringList known;
    ASSERT_TRUE(QMetaObject::invokeMethod(factory, "classNames", Q_RETURN_ARG(QStringList, known)));
    EXPECT_EQ(known, QStringList{"QuintelCtl.Quintel"});
}

TEST_F(QuintelPluginTest, CreatesByClassNameOnly) {
    QWidget form;
    struct Case {
        const char* className;
        bool created;
    };
    for (const Case& c : {Case{"QuintelCtl.Quintel", true}, Case{"quintelctl.QUINTEL", true},
                          Case{"MorvaneActiveX.Morvane", false}, Case{"", false}}) {
        QWidget* control = Create(QLatin1String(c.className), &form);
        EXPECT_EQ(control != nullptr, c.created) << c.className;
        if (control) {
            EXPECT_EQ(control->parentWidget(), &form);
        }
    }
}

TEST_F(QuintelPluginTest, WorksThroughTheMetaObjectSystem) {
    QWidget form;
    QWidget* control = Create(QStringLiteral("QuintelCtl.Quintel"), &form);
    ASSERT_NE(control, nullptr);
    Host host;
    ASSERT_TRUE(
        QObject::connect(control, SIGNAL(KeyPress(short&)), &host, SLOT(OnKeyPress(short&))));
    ASSERT_TRUE(QObject::connect(control, SIGNAL(PropertyChanged(QString)), &host,
                                 SLOT(OnPropertyChanged(QString))));

    EXPECT_TRUE(control->setProperty("CheckKey", 1));
    EXPECT_TRUE(control->setProperty("CheckCase", 1));
    EXPECT_TRUE(control->setProperty("CheckValidation", 2));
    EXPECT_TRUE(control->setProperty("Required", true));
    EXPECT_EQ(control->property("CheckKey").toInt(), 1);
    EXPECT_EQ(host.changed, QStringList({"CheckKey", "CheckCase", "CheckValidation", "Required"}));

    auto* box = control->findChild<QLineEdit*>(QStringLiteral("txtBox"));
    ASSERT_NE(box, nullptr);
    QTest::keyClicks(box, QStringLiteral("a1b"));
    EXPECT_EQ(control->property("Text").toString(), "ZB");
    EXPECT_EQ(host.seen, QList<short>({'A', 'B'}));

    bool valid = true;
    ASSERT_TRUE(QMetaObject::invokeMethod(control, "ValidationOK", Q_RETURN_ARG(bool, valid)));
    EXPECT_FALSE(valid) << "ZB is not a number";
    control->setProperty("Text", QString());
    ASSERT_TRUE(QMetaObject::invokeMethod(control, "ValidationOK", Q_RETURN_ARG(bool, valid)));
    EXPECT_FALSE(valid) << "required and empty";

    MemoryPropertyBag bag;
    ASSERT_TRUE(
        QMetaObject::invokeMethod(control, "WriteProperties", Q_ARG(morvane::PropertyBag*, &bag)));
    EXPECT_EQ(bag.Value(QStringLiteral("CheckKey")).toInt(), 1);
    bag.SetValue(QStringLiteral("CheckKey"), 4);
    bool loaded = false;
    ASSERT_TRUE(QMetaObject::invokeMethod(control, "ReadProperties", Q_RETURN_ARG(bool, loaded),
                                          Q_ARG(morvane::PropertyBag*, &bag)));
    EXPECT_TRUE(loaded);
    EXPECT_EQ(control->property("CheckKey").toInt(), 4);
}

}  // namespace
}  // namespace morvane

#include "QuintelPluginTest.moc"
