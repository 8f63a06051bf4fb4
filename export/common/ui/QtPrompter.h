// QtPrompter: the Prompter of the interactive control, with real Qt dialogs: a
// QMessageBox with the icon, buttons, default button and title asked for (an empty title
// shows the application's display name), a QInputDialog for input boxes, the system beep
// and the override cursor for the busy pointer (code 11 = wait cursor).
//
// Usage:
//   QtPrompter prompter(&wizard);          // dialogs are modal over wizard
//   prompter.MsgBox(text, MsgButtons::YesNo, MsgIcon::Question, title);
#pragma once

#include "export/common/Prompter.h"

#include <QPointer>

class QWidget;

namespace morvane {

class QtPrompter : public Prompter {
  public:
    //! parent: the window the dialogs are modal over (may be null).
    explicit QtPrompter(QWidget* parent = nullptr);
    ~QtPrompter() override;

    void SetParent(QWidget* parent);

    MsgResult MsgBox(const QString& text, MsgButtons buttons, MsgIcon icon, const QString& title,
                     int defaultButton = 1) override;
    std::optional<QString> InputBox(const QString& prompt, const QString& title,
                                    const QString& defaultText) override;
    void Beep() override;
    int MousePointer() const override { return pointer_; }
    //! 0 restores the normal cursor; 11 shows the wait cursor, 13 the busy cursor; other
    //! codes show the arrow.
    void SetMousePointer(int code) override;

  private:
    QString ShownTitle(const QString& title) const;

    QPointer<QWidget> parent_;
    int pointer_ = PointerDefault;
    bool overrideSet_ = false;
};

}  // namespace morvane
