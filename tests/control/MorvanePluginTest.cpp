// The control as a host sees it when it knows nothing but the library's file and the class
// name: loaded with QPluginLoader, driven through properties, invokable methods and signals
// connected by signature. Nothing of the control library is linked into this test.
#include <gtest/gtest.h>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QJsonArray>
#include <QJsonObject>
#include <QMessageBox>
#include <QMetaMethod>
#include <QPluginLoader>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>
#include <memory>

#ifdef MORVANE_HAVE_DESIGNER_PLUGIN
#include <QtUiPlugin/QDesignerCustomWidgetCollectionInterface>
#include <QtUiPlugin/QDesignerCustomWidgetInterface>
#endif

namespace {

const char* const kClassName = "MorvaneActiveX.Morvane";

// Receives the control's events by signature and answers through their references.
class EventSink : public QObject {
    Q_OBJECT
  public:
    QStringList seen;

  public slots:
    void onFilterType(short fileType, bool& hide) {
        seen << QStringLiteral("FilterType %1").arg(fileType);
        hide = fileType == 5;
    }
    void onBeforeFieldExport(const QString& table, const QString& field, short type, short size,
                             QString& buf) {
        seen << QStringLiteral("BeforeFieldExport %1.%2").arg(table, field);
        buf = QStringLiteral("[%1:%2:%3]").arg(buf).arg(type).arg(size);
    }
    void onBeforeRecordExport(QString& record) { record += QLatin1String(";end"); }
    void onFilterField(const QString&, const QString& field, bool& hide) { hide = field == "Pwd"; }
    void onPropertyChanged(const QString& name) { seen << QStringLiteral("changed ") + name; }
};

// Closes every modal dialog that opens while it lives, remembering what each one showed,
// so that calls showing real dialogs return offscreen.
class ModalCloser {
  public:
    struct Shown {
        QString text, title;
        QMessageBox::Icon icon;
    };
    ModalCloser() {
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            QWidget* modal = QApplication::activeModalWidget();
            if (modal == nullptr) return;
            if (auto* box = qobject_cast<QMessageBox*>(modal))
                shown.push_back({box->text(), box->windowTitle(), box->icon()});
            else
                shown.push_back({QString(), modal->windowTitle(), QMessageBox::NoIcon});
            modal->close();
        });
        timer_.start(20);
    }
    std::vector<Shown> shown;

  private:
    QTimer timer_;
};

class MorvanePluginTest : public ::testing::Test {
  protected:
    void SetUp() override {
        // The install test points this at the installed plugin.
        const QString installed = qEnvironmentVariable("MORVANE_CONTROL_PLUGIN");
        loader_.setFileName(installed.isEmpty()
                                ? QStringLiteral(MORVANE_PLUGIN_DIR "/morvane/libMorvanePlugin.so")
                                : installed);
        factory_ = loader_.instance();
        ASSERT_NE(factory_, nullptr) << loader_.errorString().toStdString();
    }
    QWidget* Create(const QString& className, QWidget* parent = nullptr) {
        QWidget* widget = nullptr;
        EXPECT_TRUE(QMetaObject::invokeMethod(factory_, "create", Q_RETURN_ARG(QWidget*, widget),
                                              Q_ARG(QString, className), Q_ARG(QWidget*, parent)));
        return widget;
    }

    QPluginLoader loader_;
    QObject* factory_ = nullptr;
};

TEST_F(MorvanePluginTest, FactoryCreatesTheControlByClassName) {
    const QJsonObject meta = loader_.metaData().value("MetaData").toObject();
    EXPECT_EQ(loader_.metaData().value("IID").toString(), "org.morvane.ControlFactory/1.0");
    EXPECT_TRUE(meta.value("classNames").toArray().contains(QString(kClassName)));

    QWidget form;
    const struct {
        const char* name;
        bool known;
    } cases[] = {{kClassName, true},
                 {"morvaneactivex.morvane", true},
                 {"", false},
                 {"MorvaneActiveX.Other", false},
                 {"Quintel", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QWidget* control = Create(c.name, &form);
        EXPECT_EQ(control != nullptr, c.known);
        if (control) {
            EXPECT_EQ(control->parentWidget(), &form);
            EXPECT_STREQ(control->metaObject()
                             ->classInfo(control->metaObject()->indexOfClassInfo("ClassName"))
                             .value(),
                         kClassName);
        }
    }
}

TEST_F(MorvanePluginTest, PropertiesThroughTheMetaObject) {
    std::unique_ptr<QWidget> control(Create(kClassName));
    ASSERT_TRUE(control);
    EXPECT_EQ(control->property("ExportCaption").toString(), "Export Data");
    EXPECT_EQ(control->property("ConnectString").toInt(), 4);
    EXPECT_EQ(control->property("ShowProgress").toBool(), true);
    EXPECT_EQ(control->property("HelpID").toInt(), 0);

    EventSink sink;
    ASSERT_TRUE(QObject::connect(control.get(), SIGNAL(PropertyChanged(QString)), &sink,
                                 SLOT(onPropertyChanged(QString))));
    const struct {
        const char* name;
        QVariant value;
        QString readBack;
    } writes[] = {
        {"DataBaseName", "/data/a.db", "/data/a.db"},
        {"Password", "pw", "pw"},
        {"MultiTable", true, "true"},
        {"HelpID", 17, "17"},
        {"ConnectString", 10, "DBase5"},  // an enumerated value reads back as its member
        {"TableName", "Orders", "Orders"},
        {"ShowSummary", false, "false"},
    };
    for (const auto& write : writes) {
        SCOPED_TRACE(write.name);
        sink.seen.clear();
        ASSERT_TRUE(control->setProperty(write.name, write.value));
        EXPECT_EQ(control->property(write.name).toString(), write.readBack);
        EXPECT_EQ(sink.seen, QStringList{QStringLiteral("changed ") + write.name});
    }
    // An enumerated property also takes its member names.
    ASSERT_TRUE(control->setProperty("ConnectString", "Paradox5"));
    EXPECT_EQ(control->property("ConnectString").toInt(), 7);
    // Overflow: refused, reported, not thrown.
    EXPECT_TRUE(control->setProperty("ConnectString", 40000));
    EXPECT_EQ(control->property("ConnectString").toInt(), 7);
    EXPECT_EQ(control->property("LastErrorNumber").toInt(), 6);
    EXPECT_EQ(control->property("LastError").toString(), "Overflow");
}

TEST_F(MorvanePluginTest, MethodsThroughTheMetaObject) {
    std::unique_ptr<QWidget> control(Create(kClassName));
    ASSERT_TRUE(control);
    ModalCloser closer;
    ASSERT_TRUE(QMetaObject::invokeMethod(control.get(), "display"));
    ASSERT_EQ(closer.shown.size(), 1u);
    EXPECT_EQ(closer.shown[0].text, "Display");
    EXPECT_EQ(closer.shown[0].title, "Property Check");
    EXPECT_EQ(closer.shown[0].icon, QMessageBox::Warning);

    control->setProperty("ConnectString", 9);
    ASSERT_TRUE(QMetaObject::invokeMethod(control.get(), "Execute"));
    EXPECT_EQ(control->property("SourceConnect").toString(), "dBASE IV");
    control->setProperty("ConnectString", 20);
    QVariant result = QStringLiteral("not reset");
    ASSERT_TRUE(QMetaObject::invokeMethod(control.get(), "BatchExport",
                                          Q_RETURN_ARG(QVariant, result),
                                          Q_ARG(QString, QString("Monthly"))));
    EXPECT_FALSE(result.isValid());
    EXPECT_EQ(control->property("SourceConnect").toString(), "Lotus WK1");
}

TEST_F(MorvanePluginTest, EventsConnectedBySignature) {
    std::unique_ptr<QWidget> control(Create(kClassName));
    ASSERT_TRUE(control);
    EventSink sink;
    ASSERT_TRUE(QObject::connect(control.get(), SIGNAL(FilterType(short, bool&)), &sink,
                                 SLOT(onFilterType(short, bool&))));
    ASSERT_TRUE(QObject::connect(
        control.get(), SIGNAL(BeforeFieldExport(QString, QString, short, short, QString&)), &sink,
        SLOT(onBeforeFieldExport(QString, QString, short, short, QString&))));
    ASSERT_TRUE(QObject::connect(control.get(), SIGNAL(BeforeRecordExport(QString&)), &sink,
                                 SLOT(onBeforeRecordExport(QString&))));
    // The same connection made from QMetaMethods, the way a scripting host would.
    const QMetaObject* meta = control->metaObject();
    const QMetaMethod signal =
        meta->method(meta->indexOfSignal("FilterField(QString,QString,bool&)"));
    const QMetaMethod slot = sink.metaObject()->method(
        sink.metaObject()->indexOfSlot("onFilterField(QString,QString,bool&)"));
    ASSERT_TRUE(QObject::connect(control.get(), signal, &sink, slot));

    const struct {
        short kind;
        bool hidden;
    } kinds[] = {{5, true}, {6, false}};
    for (const auto& k : kinds) {
        bool hide = false;
        ASSERT_TRUE(QMetaObject::invokeMethod(control.get(), "RaiseFilterType",
                                              Q_ARG(short, k.kind), Q_ARG(bool&, hide)));
        EXPECT_EQ(hide, k.hidden);
    }
    QString buf = "7";
    ASSERT_TRUE(QMetaObject::invokeMethod(control.get(), "RaiseBeforeFieldExport",
                                          Q_ARG(QString, "T"), Q_ARG(QString, "F"), Q_ARG(short, 3),
                                          Q_ARG(short, 12), Q_ARG(QString&, buf)));
    EXPECT_EQ(buf, "[7:3:12]");
    QString record = "a,b";
    ASSERT_TRUE(QMetaObject::invokeMethod(control.get(), "RaiseBeforeRecordExport",
                                          Q_ARG(QString&, record)));
    EXPECT_EQ(record, "a,b;end");
    bool hide = false;
    ASSERT_TRUE(QMetaObject::invokeMethod(control.get(), "RaiseFilterField", Q_ARG(QString, "T"),
                                          Q_ARG(QString, "Pwd"), Q_ARG(bool&, hide)));
    EXPECT_TRUE(hide);
    EXPECT_EQ(sink.seen, QStringList({"FilterType 5", "FilterType 6", "BeforeFieldExport T.F"}));
}

#ifdef MORVANE_HAVE_DESIGNER_PLUGIN
// Qt Designer loads the plugin as a widget collection; it offers both controls.
TEST(MorvaneDesignerPluginTest, CollectionOffersBothControls) {
    const QString installed = qEnvironmentVariable("MORVANE_DESIGNER_PLUGIN");
    QPluginLoader loader(installed.isEmpty()
                             ? QStringLiteral(MORVANE_PLUGIN_DIR "/designer/libmorvane_designer.so")
                             : installed);
    QObject* instance = loader.instance();
    ASSERT_NE(instance, nullptr) << loader.errorString().toStdString();
    auto* collection = qobject_cast<QDesignerCustomWidgetCollectionInterface*>(instance);
    ASSERT_NE(collection, nullptr);
    QMap<QString, QDesignerCustomWidgetInterface*> byName;
    for (QDesignerCustomWidgetInterface* widget : collection->customWidgets())
        byName.insert(widget->name(), widget);
    ASSERT_EQ(byName.keys(), QStringList({"morvane::Morvane", "morvane::Quintel"}));

    QDesignerCustomWidgetInterface* plugin = byName["morvane::Morvane"];
    plugin->initialize(nullptr);
    EXPECT_TRUE(plugin->isInitialized());
    EXPECT_EQ(plugin->includeFile(), "export/control/ui/Morvane.h");
    EXPECT_FALSE(plugin->group().isEmpty());
    EXPECT_FALSE(plugin->isContainer());
    EXPECT_TRUE(plugin->whatsThis().contains(
        "Name of the databaset that contains the tables  that will be exported."));
    EXPECT_TRUE(plugin->domXml().contains("class=\"morvane::Morvane\""));
    EXPECT_TRUE(plugin->domXml().contains("<width>"));
    EXPECT_FALSE(plugin->icon().isNull());

    std::unique_ptr<QWidget> widget(plugin->createWidget(nullptr));
    ASSERT_TRUE(widget);
    EXPECT_STREQ(widget->metaObject()->className(), "morvane::Morvane");
    EXPECT_EQ(widget->property("ExportCaption").toString(), "Export Data");
    ASSERT_TRUE(widget->setProperty("ConnectString", "DBase4"));
    EXPECT_EQ(widget->property("ConnectString").toInt(), 9);
    const int index = widget->metaObject()->indexOfProperty("ConnectString");
    ASSERT_GE(index, 0);
    const QMetaProperty property = widget->metaObject()->property(index);
    EXPECT_TRUE(property.isEnumType());  // the property editor offers the member names
    EXPECT_STREQ(property.enumerator().valueToKey(22), "Lotus3");
    widget->resize(1000, 1000);
    EXPECT_LT(widget->width(), 1000);

    QDesignerCustomWidgetInterface* box = byName["morvane::Quintel"];
    box->initialize(nullptr);
    EXPECT_EQ(box->includeFile(), "textbox/Quintel.h");
    EXPECT_EQ(box->group(), plugin->group());
    EXPECT_TRUE(box->domXml().contains("class=\"morvane::Quintel\""));
    std::unique_ptr<QWidget> quintel(box->createWidget(nullptr));
    ASSERT_TRUE(quintel);
    EXPECT_STREQ(quintel->metaObject()->className(), "morvane::Quintel");
    ASSERT_TRUE(quintel->setProperty("CheckValidation", "DateValidation") ||
                quintel->setProperty("CheckValidation", 1));
    EXPECT_EQ(quintel->property("CheckValidation").toInt(), 1);
}
#endif

TEST_F(MorvanePluginTest, ExecuteShowsTheWizardAHostDrivesByObjectName) {
    QTemporaryDir dir;
    std::unique_ptr<QWidget> control(Create(kClassName));
    ASSERT_TRUE(control);
    const QString wizardOut = dir.filePath("wizard.txt"), batchOut = dir.filePath("batch.txt");
    control->setProperty("DataBaseName", QStringLiteral(MORVANE_BINARY_DIR "/sample/sample.db"));
    control->setProperty("TableName", "Products");
    control->setProperty("MultiTable", false);
    control->setProperty("ExportFile", wizardOut);
    control->setProperty("IniFile", dir.filePath("settings.ini"));
    control->setProperty("ShowProgress", false);
    control->setProperty("ShowSummary", false);
    control->setProperty("QuitAfterExport", true);
    EventSink sink;
    ASSERT_TRUE(QObject::connect(control.get(), SIGNAL(FilterType(short, bool&)), &sink,
                                 SLOT(onFilterType(short, bool&))));

    bool driven = false;
    QTimer::singleShot(0, [&] {
        QWidget* wizard = QApplication::activeModalWidget();
        ASSERT_NE(wizard, nullptr);
        EXPECT_EQ(wizard->objectName(), "frmMorvane");
        auto* kinds = wizard->findChild<QComboBox*>("CBoxTypeFormat");
        ASSERT_NE(kinds, nullptr);
        EXPECT_EQ(kinds->findData(5), -1);  // hidden by the host's FilterType handler
        EXPECT_EQ(kinds->findData(6), 5);
        wizard->findChild<QPushButton*>("BtnNext")->click();
        EXPECT_EQ(wizard->findChild<QStackedWidget*>("FrameSteps")->currentIndex(), 2);
        wizard->findChild<QRadioButton*>("RBtnTab")->click();
        wizard->findChild<QPushButton*>("BtnFinish")->click();
        EXPECT_FALSE(wizard->isVisible());
        driven = true;
    });
    EXPECT_TRUE(QMetaObject::invokeMethod(control.get(), "Execute"));
    EXPECT_TRUE(driven);
    QFile written(wizardOut);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    const QByteArray bytes = written.readAll();
    EXPECT_TRUE(bytes.contains('\t'));
    EXPECT_GT(bytes.count('\n'), 1);
}

}  // namespace

#include "MorvanePluginTest.moc"
