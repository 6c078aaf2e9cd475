// The face photographs, looked up by name in the application's data folders (at the
// folder's root, then in its "Faces" folder) and kept for the life of the process.
#pragma once

#include <QImage>
#include <QStringList>

#include <optional>
#include <string>

namespace tw {

class FaceImages {
public:
    // A photograph of the face is a few megabytes; a larger file is skipped unread.
    static constexpr qint64 maximumFileSize = 64 * 1024 * 1024;

    // The photograph of that name, or nothing. Safe from any thread. A name that was
    // not found is not searched for again until forgetMisses().
    static std::optional<QImage> image(const std::string& name);
    // The photograph face calls this when it is shown, so that a photograph added
    // since is found.
    static void forgetMisses();
    // The folders searched, in order.
    static QStringList searchFolders();
};

} // namespace tw
