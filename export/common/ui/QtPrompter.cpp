#include "export/common/ui/QtPrompter.h"

#include "export/common/PromptButtons.h"

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QWidget>

namespace morvane {

namespace {

QMessageBox::StandardButton StandardButtonOf(MsgResult result) {
    switch (result) {
        case MsgResult::OK:
            return QMessageBox::Ok;
        case MsgResult::Cancel:
            return QMessageBox::Cancel;
        case MsgResult::Abort:
            return QMessageBox::Abort;
        case MsgResult::Retry:
            return QMessageBox::Retry;
        case MsgResult::Ignore:
            return QMessageBox::Ignore;
        case MsgResult::Yes:
            return QMessageBox::Yes;
        case MsgResult::No:
            return QMessageBox::No;
    }
    return QMessageBox::Ok;
}

QMessageBox::Icon IconOf(MsgIcon icon) {
    switch (icon) {
        case MsgIcon::Critical:
            return QMessageBox::Critical;
        case MsgIcon::Question:
            return QMessageBox::Question;
        case MsgIcon::Exclamation:
            return QMessageBox::Warning;
        case MsgIcon::Information:
            return QMessageBox::Information;
        case MsgIcon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

Qt::CursorShape CursorOf(int code) {
    if (code == PointerHourglass) return Qt::WaitCursor;
    if (code == 13) return Qt::BusyCursor;
    return Qt::ArrowCursor;
}

}  // namespace

QtPrompter::QtPrompter(QWidget* parent) : parent_(parent) {}

QtPrompter::~QtPrompter() {
    if (overrideSet_) QApplication::restoreOverrideCursor();
}

void QtPrompter::SetParent(QWidget* parent) {
    parent_ = parent;
}

QString QtPrompter::ShownTitle(const QString& title) const {
    return title.isEmpty() ? QApplication::applicationDisplayName() : title;
}

MsgResult QtPrompter::MsgBox(const QString& text, MsgButtons buttons, MsgIcon icon,
                             const QString& title, int defaultButton) {
    QMessageBox box(IconOf(icon), ShownTitle(title), text, QMessageBox::NoButton, parent_);
    const std::vector<MsgResult> results = ButtonResults(buttons);
    for (const MsgResult result : results) box.addButton(StandardButtonOf(result));
    box.setDefaultButton(StandardButtonOf(DefaultButtonResult(buttons, defaultButton)));
    if (results.size() == 1) box.setEscapeButton(StandardButtonOf(results.front()));
    box.exec();
    const auto clicked = box.standardButton(box.clickedButton());
    for (const MsgResult result : results)
        if (StandardButtonOf(result) == clicked) return result;
    // Closed without a button (Escape with no escape button): the last button, which is
    // the cancelling one of every set that has one.
    return results.back();
}

std::optional<QString> QtPrompter::InputBox(const QString& prompt, const QString& title,
                                            const QString& defaultText) {
    bool accepted = false;
    const QString text = QInputDialog::getText(parent_, ShownTitle(title), prompt,
                                               QLineEdit::Normal, defaultText, &accepted);
    if (!accepted) return std::nullopt;
    return text;
}

void QtPrompter::Beep() {
    QApplication::beep();
}

void QtPrompter::SetMousePointer(int code) {
    pointer_ = code;
    if (code == PointerDefault) {
        if (overrideSet_) QApplication::restoreOverrideCursor();
        overrideSet_ = false;
        return;
    }
    if (overrideSet_) {
        QApplication::changeOverrideCursor(QCursor(CursorOf(code)));
    } else {
        QApplication::setOverrideCursor(QCursor(CursorOf(code)));
        overrideSet_ = true;
    }
}

}  // namespace morvane
