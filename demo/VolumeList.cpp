#include "demo/VolumeList.h"

#include <QDir>
#include <QStorageInfo>
#include <algorithm>

namespace morvane::demo {

namespace {

bool IsRemovableMount(const QString& path) {
    return path.startsWith(QLatin1String("/media/")) ||
           path.startsWith(QLatin1String("/run/media/")) || path.startsWith(QLatin1String("/mnt/"));
}

}  // namespace

std::vector<Volume> ListVolumes() {
    std::vector<Volume> volumes{{QStringLiteral("/"), QStringLiteral("/ (root)")}};
    const QString home = QDir::homePath();
    if (home != QLatin1String("/")) volumes.push_back({home, home + QStringLiteral(" (home)")});
    std::vector<Volume> removable;
    for (const QStorageInfo& storage : QStorageInfo::mountedVolumes()) {
        const QString root = storage.rootPath();
        if (!storage.isValid() || !storage.isReady() || !IsRemovableMount(root)) continue;
        const QString name = storage.displayName();
        removable.push_back(
            {root, name == root ? root : root + QStringLiteral(" [") + name + u']'});
    }
    std::sort(removable.begin(), removable.end(),
              [](const Volume& a, const Volume& b) { return a.Path < b.Path; });
    volumes.insert(volumes.end(), removable.begin(), removable.end());
    return volumes;
}

int VolumeOf(const std::vector<Volume>& volumes, const QString& path) {
    int best = volumes.empty() ? -1 : 0;
    int bestLength = -1;
    for (int i = 0; i < static_cast<int>(volumes.size()); ++i) {
        const QString& root = volumes[static_cast<size_t>(i)].Path;
        const bool contains = path == root || root == QLatin1String("/") ||
                              path.startsWith(root.endsWith(u'/') ? root : root + u'/');
        if (contains && root.size() > bestLength) {
            best = i;
            bestLength = static_cast<int>(root.size());
        }
    }
    return best;
}

}  // namespace morvane::demo
