// CenterForm: centres a top-level window on its screen, as the wizard and its dialogs do
// before they are shown. A minimised, maximised or full-screen window is left alone.
//
// Usage:
//   CenterForm(&dialog);
//   dialog.exec();
#pragma once

class QWidget;

namespace morvane {

//! When form's window state is normal: moves it (frame included, size unchanged) so that
//! left = (screen width - frame width) / 2 and top = (screen height - frame height) / 2,
//! each halved with the remainder dropped and raised to 0 when negative. Does nothing for
//! a null form.
void CenterForm(QWidget* form);

}  // namespace morvane
