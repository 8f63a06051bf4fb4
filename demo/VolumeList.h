// VolumeList: the drives of the demo's drive list on this platform: the root folder, the
// user's home folder and the mounted removable media (below /media, /run/media and /mnt),
// each shown with its name and listed once.
#pragma once

#include <QString>
#include <vector>

namespace morvane::demo {

struct Volume {
    QString Path;     //!< the folder the folder list starts from
    QString Display;  //!< the text of the drive list
};

//! The volumes in list order: root, home, then removable media by path.
std::vector<Volume> ListVolumes();

//! The volume of `path` among `volumes`: the one whose path is the longest prefix of it
//! (the root when no other matches); -1 when the list is empty.
int VolumeOf(const std::vector<Volume>& volumes, const QString& path);

}  // namespace morvane::demo
