#pragma once

#include <QString>

#include <functional>
#include <vector>

namespace tw {

// One child of the tree's "My Computer" node.
struct TreeVolume {
  QString rootString;   // native path with its trailing separator, like a drive root "E:\"
  QString displayName;  // the volume's label, or its mount point when it has none
};

using VolumeLister = std::function<std::vector<TreeVolume>()>;

// The file system root first, then every other mounted volume that holds files a user would pick:
// pseudo and memory file systems and mounts of single files are left out.
[[nodiscard]] std::vector<TreeVolume> ListMountedVolumes();

}  // namespace tw
