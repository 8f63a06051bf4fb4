// SettingsHost: what the save prompt and the settings dialog need of the window that uses
// them (the export wizard): its session (SettingName, ReadSetting, the control's
// ExportCaption), its title, and the refresh that shows a newly read setting in its
// controls and preview.
#pragma once

#include <QString>

namespace morvane {

class ExportSession;

class SettingsHost {
  public:
    virtual ~SettingsHost() = default;

    virtual ExportSession& Session() = 0;
    //! The window's title; an empty title is never changed by the settings code.
    virtual QString Title() const = 0;
    virtual void SetTitle(const QString& title) = 0;
    //! Shows the session's current setting in the window's controls and refreshes the
    //! preview (the wizard's UpdateControls, AdjustPreviewGrid and UpdatePreview).
    virtual void RefreshFromSetting() = 0;
};

//! The save prompt of the wizard's "Save Setting" button: asks for a name (proposing the
//! current SettingName), refuses a name the settings file cannot hold with a message,
//! then stores the setting under it, replacing one of that name, and shows the name in
//! the title. Answers true when the setting was saved.
bool PromptSaveSetting(SettingsHost& host);

}  // namespace morvane
