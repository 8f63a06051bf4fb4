// Morvane: the export control a host places on one of its windows (class name
// "MorvaneActiveX.Morvane"). The host sets the fifteen properties and calls Execute (the
// interactive export wizard) or BatchExport (one export without user interface); through
// five signals it hides tables, output kinds and fields and rewrites field and record text.
//
// Usage:
//   auto* control = new Morvane(form);
//   control->SetDataBaseName("/data/sales.db");
//   control->SetMultiTable(true);
//   QObject::connect(control, &Morvane::FilterType, [](short kind, bool& hide) {
//       hide = kind == TypeConnect::ODBC;
//   });                                // direct connection: by-reference arguments
//   control->Execute();
//
// Persistence: InitProperties (a new control), ReadProperties / WriteProperties with a
// PropertyBag (keys, order and defaults of PropertyDefinitions()). Every write accessor
// stores the value and then emits PropertyChanged with the property's name, even when the
// value did not change, so the host knows to save it; ReadProperties emits nothing.
//
// Errors of SetConnectString (a value outside -32768..32767; the property keeps its value):
//   - C++ callers of SetConnectString(int) get RuntimeError::Overflow() thrown;
//   - dynamic callers (setProperty("ConnectString", v), Qt Designer) cannot receive an
//     exception through Qt's meta-call, so the write is refused, RuntimeErrorRaised(6,
//     "Overflow") is emitted, and LastErrorNumber / LastError hold it until the next
//     successful dynamic write. setProperty itself answers true in that case.
// The HelpID Qt property is an int for the same reason: a dynamic write outside the 16-bit
// range is refused and reported the same way (Qt would otherwise cut it to 16 bits).
// Execute and BatchExport raise no error of their own; an error escaping the session is
// reported the same way (signal and LastError), never thrown through a meta-call.
//
// The control keeps a fixed size of 300 x 340 twips (1440 twips per logical inch).
#pragma once

#include "export/common/MorvaneExport.h"

#include "export/control/ControlProperties.h"
#include "export/engine/ExportCaller.h"
#include "export/engine/TypeConnect.h"
#include "export/wizard/SessionOutcome.h"

#include <QVariant>
#include <QWidget>
#include <memory>

namespace morvane {

class Prompter;

class MORVANE_EXPORT Morvane : public QWidget, public ExportCaller {
    Q_OBJECT
    Q_CLASSINFO("ClassName", "MorvaneActiveX.Morvane")
    Q_PROPERTY(QString DataBaseName READ DataBaseName WRITE SetDataBaseName NOTIFY PropertyChanged)
    Q_PROPERTY(QString Password READ Password WRITE SetPassword NOTIFY PropertyChanged)
    Q_PROPERTY(QString Username READ Username WRITE SetUsername NOTIFY PropertyChanged)
    Q_PROPERTY(morvane::ExportKinds::TypeConnect ConnectString READ ConnectStringValue WRITE
                   SetConnectStringValue NOTIFY PropertyChanged)
    Q_PROPERTY(
        QString ExportCaption READ ExportCaption WRITE SetExportCaption NOTIFY PropertyChanged)
    Q_PROPERTY(QString IniFile READ IniFile WRITE SetIniFile NOTIFY PropertyChanged)
    Q_PROPERTY(QString ExportFile READ ExportFile WRITE SetExportFile NOTIFY PropertyChanged)
    Q_PROPERTY(int HelpID READ HelpID WRITE SetHelpIDValue NOTIFY PropertyChanged)
    Q_PROPERTY(bool ShowProgress READ ShowProgress WRITE SetShowProgress NOTIFY PropertyChanged)
    Q_PROPERTY(bool ShowSummary READ ShowSummary WRITE SetShowSummary NOTIFY PropertyChanged)
    Q_PROPERTY(
        bool QuitAfterExport READ QuitAfterExport WRITE SetQuitAfterExport NOTIFY PropertyChanged)
    Q_PROPERTY(bool MultiTable READ MultiTable WRITE SetMultiTable NOTIFY PropertyChanged)
    Q_PROPERTY(bool OverWrite READ OverWrite WRITE SetOverWrite NOTIFY PropertyChanged)
    Q_PROPERTY(QString TableName READ TableName WRITE SetTableName NOTIFY PropertyChanged)
    Q_PROPERTY(QString QueryName READ QueryName WRITE SetQueryName NOTIFY PropertyChanged)
    Q_PROPERTY(QString SourceConnect READ SourceConnect STORED false DESIGNABLE false)
    Q_PROPERTY(int LastErrorNumber READ LastErrorNumber STORED false DESIGNABLE false)
    Q_PROPERTY(QString LastError READ LastError STORED false DESIGNABLE false)

  public:
    //! The class name by which hosts create the control.
    static constexpr const char* kClassName = "MorvaneActiveX.Morvane";

    explicit Morvane(QWidget* parent = nullptr);
    ~Morvane() override;

    // Properties (ExportCaller read accessors, and their write accessors).
    QString DataBaseName() const override { return props_.DataBaseName; }
    QString Password() const override { return props_.Password; }
    QString Username() const override { return props_.Username; }
    int ConnectString() const override { return props_.ConnectString; }
    QString ExportCaption() const override { return props_.ExportCaption; }
    QString IniFile() const override { return props_.IniFile; }
    QString ExportFile() const override { return props_.ExportFile; }
    int HelpID() const override { return props_.HelpID; }
    bool ShowProgress() const override { return props_.ShowProgress; }
    bool ShowSummary() const override { return props_.ShowSummary; }
    bool QuitAfterExport() const override { return props_.QuitAfterExport; }
    bool MultiTable() const override { return props_.MultiTable; }
    bool OverWrite() const override { return props_.OverWrite; }
    QString TableName() const override { return props_.TableName; }
    QString QueryName() const override { return props_.QueryName; }

    void SetDataBaseName(const QString& value);
    void SetPassword(const QString& value);
    void SetUsername(const QString& value);
    //! Stores value as 16-bit. Throws RuntimeError::Overflow() for a value outside
    //! -32768..32767 and keeps the old value.
    void SetConnectString(int value);
    void SetExportCaption(const QString& value);
    void SetIniFile(const QString& value);
    void SetExportFile(const QString& value);
    void SetHelpID(short value);
    void SetShowProgress(bool value);
    void SetShowSummary(bool value);
    void SetQuitAfterExport(bool value);
    void SetMultiTable(bool value);
    void SetOverWrite(bool value);
    void SetTableName(const QString& value) override;
    void SetQueryName(const QString& value);

    //! ConnectString as the Qt property sees it; the setter never throws (see above).
    TypeConnect ConnectStringValue() const { return TypeConnect(props_.ConnectString); }
    void SetConnectStringValue(TypeConnect value);
    //! HelpID as the Qt property sees it: an int, so that a value that does not fit 16 bits
    //! is refused and reported like ConnectString's instead of being cut by Qt's conversion.
    void SetHelpIDValue(int value);

    //! All fifteen values at once.
    const ControlProperties& Properties() const { return props_; }

    QString SourceConnect() const override { return sourceConnect_; }
    int LastErrorNumber() const { return lastErrorNumber_; }
    QString LastError() const { return lastError_; }

    //! Help text of a property (empty when it carries none), for tooltips.
    static QString PropertyDescription(const QString& propertyName);

    // Container events.
    //! Every property back to its default (a new control placed on a window).
    void InitProperties();
    //! Every property from the bag (default when absent); no change notifications.
    void ReadProperties(const PropertyBag& bag);
    //! Every property to the bag, in key order, with its default.
    void WriteProperties(PropertyBag& bag) const;

    //! Prompter for display and the sessions (not owned; nullptr restores the default, real
    //! Qt dialogs modal over the control's window). REQUIRES: it outlives its use.
    void SetPrompter(Prompter* prompter);
    Prompter& CurrentPrompter();

    //! The control's fixed size in pixels for its screen.
    QSize TwipsSize() const;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    // ExportCaller: the session raises the events through these; they are invokable so
    // that hosts holding only a QObject can drive them too.
    Q_INVOKABLE void RaiseBeforeFieldExport(const QString& tableName, const QString& fieldName,
                                            short fieldType, short fieldSize,
                                            QString& bufField) override;
    Q_INVOKABLE void RaiseBeforeRecordExport(QString& bufRecord) override;
    bool BeforeFieldExportHandled() const override;
    bool BeforeRecordExportHandled() const override;
    Q_INVOKABLE void RaiseFilterTable(const QString& tableName, bool& hide) override;
    Q_INVOKABLE void RaiseFilterType(short fileType, bool& hide) override;
    Q_INVOKABLE void RaiseFilterField(const QString& tableName, const QString& fieldName,
                                      bool& hide) override;

    //! Shows "Display" in a message box titled "Property Check".
    Q_INVOKABLE void display();
    //! Runs the export wizard; returns when the user closes it.
    Q_INVOKABLE void Execute();
    //! Runs one export of the named setting (defaults when empty) without user interface.
    //! Always answers an empty QVariant.
    Q_INVOKABLE QVariant BatchExport(const QString& setting);
    //! What the last Execute or BatchExport came to: whether an export run completed and
    //! how many error reports it showed.
    SessionOutcome LastOutcome() const { return lastOutcome_; }

  signals:
    //! Emitted after a write accessor stored a value; names the property.
    void PropertyChanged(const QString& propertyName);
    //! An error the control could not throw to its caller (dynamic property write, run).
    void RuntimeErrorRaised(int number, const QString& description);

    void BeforeFieldExport(const QString& TableName, const QString& fieldname, short FieldType,
                           short FieldSize, QString& bufField);
    void BeforeRecordExport(QString& bufRecord);
    void FilterTable(const QString& TableName, bool& Hide);
    void FilterType(short FileType, bool& Hide);
    void FilterField(const QString& TableName, const QString& fieldname, bool& Hide);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    template <typename T>
    void Store(T& field, const T& value, const char* name);
    void SnapSize();
    void RecordError(int number, const QString& description);
    void ClearLastError();
    //! One session run shared by Execute and BatchExport.
    template <typename Run>
    void RunSession(Run run);

    ControlProperties props_;
    QString sourceConnect_;
    Prompter* prompter_ = nullptr;
    std::unique_ptr<Prompter> defaultPrompter_;
    SessionOutcome lastOutcome_;
    int lastErrorNumber_ = 0;
    QString lastError_;
};

}  // namespace morvane
