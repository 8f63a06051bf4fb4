#include "export/control/ui/Morvane.h"

#include "export/common/Prompter.h"
#include "export/common/RuntimeError.h"
#include "export/common/ui/QtPrompter.h"
#include "export/engine/ui/ProgressWindowDisplay.h"
#include "export/wizard/ExportSession.h"
#include "export/wizard/ui/frmMorvane.h"

#include <QEvent>
#include <QMetaMethod>
#include <QPainter>
#include <QResizeEvent>
#include <QWindow>
#include <exception>
#include <limits>

namespace morvane {
namespace {

constexpr int kWidthTwips = 300;
constexpr int kHeightTwips = 340;
constexpr double kTwipsPerInch = 1440.0;

bool FitsShort(int value) {
    return value >= std::numeric_limits<qint16>::min() &&
           value <= std::numeric_limits<qint16>::max();
}

}  // namespace

Morvane::Morvane(QWidget* parent) : QWidget(parent) {
    SnapSize();
}

Morvane::~Morvane() = default;

template <typename T>
void Morvane::Store(T& field, const T& value, const char* name) {
    field = value;
    emit PropertyChanged(QString::fromLatin1(name));
}

void Morvane::SetDataBaseName(const QString& value) {
    Store(props_.DataBaseName, value, "DataBaseName");
}
void Morvane::SetPassword(const QString& value) {
    Store(props_.Password, value, "Password");
}
void Morvane::SetUsername(const QString& value) {
    Store(props_.Username, value, "Username");
}
void Morvane::SetExportCaption(const QString& value) {
    Store(props_.ExportCaption, value, "ExportCaption");
}
void Morvane::SetIniFile(const QString& value) {
    Store(props_.IniFile, value, "IniFile");
}
void Morvane::SetExportFile(const QString& value) {
    Store(props_.ExportFile, value, "ExportFile");
}
void Morvane::SetHelpID(short value) {
    Store(props_.HelpID, qint16(value), "HelpID");
}
void Morvane::SetShowProgress(bool value) {
    Store(props_.ShowProgress, value, "ShowProgress");
}
void Morvane::SetShowSummary(bool value) {
    Store(props_.ShowSummary, value, "ShowSummary");
}
void Morvane::SetQuitAfterExport(bool value) {
    Store(props_.QuitAfterExport, value, "QuitAfterExport");
}
void Morvane::SetMultiTable(bool value) {
    Store(props_.MultiTable, value, "MultiTable");
}
void Morvane::SetOverWrite(bool value) {
    Store(props_.OverWrite, value, "OverWrite");
}
void Morvane::SetTableName(const QString& value) {
    Store(props_.TableName, value, "TableName");
}
void Morvane::SetQueryName(const QString& value) {
    Store(props_.QueryName, value, "QueryName");
}

void Morvane::SetConnectString(int value) {
    if (!FitsShort(value)) throw RuntimeError::Overflow();
    Store(props_.ConnectString, qint16(value), "ConnectString");
}

void Morvane::SetConnectStringValue(TypeConnect value) {
    try {
        SetConnectString(int(value));
        ClearLastError();
    } catch (const RuntimeError& error) {
        RecordError(error.Number(), error.Description());
    }
}

void Morvane::SetHelpIDValue(int value) {
    if (!FitsShort(value)) {
        const RuntimeError error = RuntimeError::Overflow();
        RecordError(error.Number(), error.Description());
        return;
    }
    SetHelpID(short(value));
    ClearLastError();
}

void Morvane::ClearLastError() {
    lastErrorNumber_ = 0;
    lastError_.clear();
}

void Morvane::RecordError(int number, const QString& description) {
    lastErrorNumber_ = number;
    lastError_ = description;
    emit RuntimeErrorRaised(number, description);
}

QString Morvane::PropertyDescription(const QString& propertyName) {
    const PropertyDefinition* definition = FindPropertyDefinition(propertyName);
    return definition ? definition->description : QString();
}

void Morvane::InitProperties() {
    props_ = ControlProperties();
}

void Morvane::ReadProperties(const PropertyBag& bag) {
    props_.ReadFrom(bag);
}

void Morvane::WriteProperties(PropertyBag& bag) const {
    props_.WriteTo(bag);
}

void Morvane::SetPrompter(Prompter* prompter) {
    prompter_ = prompter;
}

Prompter& Morvane::CurrentPrompter() {
    if (prompter_ != nullptr) return *prompter_;
    if (!defaultPrompter_) defaultPrompter_ = std::make_unique<QtPrompter>(this);
    return *defaultPrompter_;
}

void Morvane::RaiseBeforeFieldExport(const QString& tableName, const QString& fieldName,
                                     short fieldType, short fieldSize, QString& bufField) {
    emit BeforeFieldExport(tableName, fieldName, fieldType, fieldSize, bufField);
}

void Morvane::RaiseBeforeRecordExport(QString& bufRecord) {
    emit BeforeRecordExport(bufRecord);
}

bool Morvane::BeforeFieldExportHandled() const {
    return isSignalConnected(QMetaMethod::fromSignal(&Morvane::BeforeFieldExport));
}

bool Morvane::BeforeRecordExportHandled() const {
    return isSignalConnected(QMetaMethod::fromSignal(&Morvane::BeforeRecordExport));
}

void Morvane::RaiseFilterTable(const QString& tableName, bool& hide) {
    emit FilterTable(tableName, hide);
}

void Morvane::RaiseFilterType(short fileType, bool& hide) {
    emit FilterType(fileType, hide);
}

void Morvane::RaiseFilterField(const QString& tableName, const QString& fieldName, bool& hide) {
    emit FilterField(tableName, fieldName, hide);
}

void Morvane::display() {
    CurrentPrompter().MsgBox(QStringLiteral("Display"), MsgButtons::OK, MsgIcon::Exclamation,
                             QStringLiteral("Property Check"));
}

template <typename Run>
void Morvane::RunSession(Run run) {
    // A new session for every call, released when the call ends. Errors are the session's
    // to report; anything escaping it must not cross a meta-call, so it is turned into the
    // control's error signal instead.
    try {
        ExportSession session(CurrentPrompter());
        ProgressWindowDisplay progressWindow(CurrentPrompter(), this);
        session.SetCaller(this);
        session.SetProgressDisplay(&progressWindow);
        SourceConnectFor(props_.ConnectString, sourceConnect_);
        run(session);
        lastOutcome_ = session.Outcome();
    } catch (const RuntimeError& error) {
        RecordError(error.Number(), error.Description());
    } catch (const std::exception& error) {
        RecordError(ErrInvalidProcedureCall, QString::fromLocal8Bit(error.what()));
    } catch (...) {
        // Anything else (thrown by a host's event handler, say) must not cross the
        // meta-call that invoked Execute or BatchExport either.
        RecordError(ErrInternal, QStringLiteral("Internal error"));
    }
}

void Morvane::Execute() {
    RunSession([this](ExportSession& session) {
        frmMorvane wizard(session, window());
        session.SetView(&wizard);
        session.ShowWizard();
    });
}

QVariant Morvane::BatchExport(const QString& setting) {
    RunSession([&setting](ExportSession& session) { session.DoBatchExport(setting); });
    return QVariant();
}

QSize Morvane::TwipsSize() const {
    return QSize(qRound(kWidthTwips * logicalDpiX() / kTwipsPerInch),
                 qRound(kHeightTwips * logicalDpiY() / kTwipsPerInch));
}

QSize Morvane::sizeHint() const {
    return TwipsSize();
}

QSize Morvane::minimumSizeHint() const {
    return TwipsSize();
}

void Morvane::SnapSize() {
    const QSize fixed = TwipsSize();
    if (minimumSize() != fixed || maximumSize() != fixed) setFixedSize(fixed);
    if (size() != fixed) resize(fixed);
}

void Morvane::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    SnapSize();
}

void Morvane::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // A move to a screen of another resolution changes the pixel size of 300 x 340 twips.
    // The window handle exists once the window is shown; one connection per handle.
    if (QWindow* handle = window()->windowHandle())
        connect(handle, &QWindow::screenChanged, this, &Morvane::SnapSize, Qt::UniqueConnection);
}

void Morvane::paintEvent(QPaintEvent*) {
    // A small sheet with a right arrow: enough to find the control on a form.
    QPainter painter(this);
    const QRectF area = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    painter.fillRect(rect(), palette().base());
    painter.setPen(palette().color(QPalette::Text));
    painter.drawRect(area);
    const qreal w = area.width(), h = area.height();
    const QRectF sheet(area.left() + w * 0.15, area.top() + h * 0.15, w * 0.45, h * 0.7);
    painter.drawRect(sheet);
    for (int line = 1; line <= 3; ++line) {
        const qreal y = sheet.top() + sheet.height() * line / 4.0;
        painter.drawLine(QPointF(sheet.left() + 2, y), QPointF(sheet.right() - 2, y));
    }
    const qreal y = area.top() + h * 0.5;
    painter.drawLine(QPointF(sheet.right() + 1, y), QPointF(area.right() - w * 0.1, y));
    painter.drawLine(QPointF(area.right() - w * 0.1, y),
                     QPointF(area.right() - w * 0.22, y - h * 0.12));
    painter.drawLine(QPointF(area.right() - w * 0.1, y),
                     QPointF(area.right() - w * 0.22, y + h * 0.12));
}

}  // namespace morvane
