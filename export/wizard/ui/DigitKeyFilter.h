// DigitKeyFilter: lets only the digits 0 to 9 and control keys (backspace, arrows, ...)
// through to a line edit; every other typed character is discarded, so signs, blanks and
// decimal points cannot be typed. Pasted text is held to digits by a validator.
//
// Usage: DigitKeyFilter::Install(ui->MEdtSize);
#pragma once

#include <QObject>

class QLineEdit;

namespace morvane {

class DigitKeyFilter : public QObject {
    Q_OBJECT

  public:
    //! Filters `edit`'s keys; the filter is owned by the edit.
    static void Install(QLineEdit* edit);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    using QObject::QObject;
};

}  // namespace morvane
