// frmTest ("Test Morvane"): the demo's window. The user picks a kind of source, a drive, a
// folder and a file; Export sets the export control's properties from that choice and runs
// its wizard. The control is not linked: it is any QWidget created from the control plugin
// by class name, reached only through Qt's meta-object system (properties by name, Execute
// by invokeMethod, the FilterType signal connected by its signature).
#pragma once

#include <QFileSystemModel>
#include <QWidget>
#include <memory>
#include <vector>

#include "demo/VolumeList.h"

class QListWidgetItem;

namespace Ui {
class frmTest;
}

namespace morvane::demo {

class frmTest : public QWidget {
    Q_OBJECT

  public:
    //! `settingsFile` is the control's IniFile for every export; the folder list starts at
    //! `startFolder`.
    frmTest(const QString& settingsFile, const QString& startFolder, QWidget* parent = nullptr);
    ~frmTest() override;

    //! Places the control (created by the caller from the plugin) on the window as
    //! Morvane1, gives it the caption "Export Data !" and handles its FilterType event.
    //! A null control leaves Export disabled with `problem` shown in the label.
    void AttachControl(QWidget* control, const QString& problem = QString());
    QWidget* Control() const { return control_; }

    //! The folder list's folder, and choosing one as a click in the folder list does.
    QString DirPath() const { return dirPath_; }
    void SetDirPath(const QString& path);
    //! The file names the file list shows.
    QStringList FileNames() const;

  private slots:
    void OnCombo1Changed(int index);
    void OnDrive1Changed(int index);
    void OnDir1Clicked(const QModelIndex& index);
    void OnExport();
    void OnFileDoubleClicked(QListWidgetItem* item);
    //! The control's FilterType event: the Paradox, Excel and Lotus WK3 kinds are hidden.
    void OnFilterType(short FileType, bool& Hide);

  private:
    void RefreshFiles();
    //! Selects the current folder in the folder list, expanded to and scrolled into view.
    void ShowCurrentFolder();

    std::unique_ptr<Ui::frmTest> ui_;
    QFileSystemModel folders_;
    std::vector<Volume> volumes_;
    QString dirPath_;
    QString settingsFile_;
    QWidget* control_ = nullptr;
};

}  // namespace morvane::demo
