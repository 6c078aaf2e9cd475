#include "ui/face/face_images.h"

#include "platform/file_checks.h"
#include "ui/face/face_paint.h"

#include <QBuffer>
#include <QDir>
#include <QImageReader>
#include <QStandardPaths>

#include <map>
#include <mutex>
#include <set>

namespace tw {

namespace {

struct Cache {
    std::mutex lock;
    std::map<std::string, QImage> images;
    std::set<std::string> misses;
};

Cache& cache() {
    static Cache shared; // created once, also under concurrent first use
    return shared;
}

std::optional<QImage> load(const QString& path) {
    // A FIFO or a huge file in a photograph's place is no photograph: it must not
    // hold the window.
    FileRead read = readFileUpTo(path, FaceImages::maximumFileSize);
    if (!read.ok()) return std::nullopt;
    QBuffer buffer(&read.data);
    QImageReader reader(&buffer);
    QImage image = reader.read();
    if (image.isNull()) return std::nullopt; // a file that does not decode: try the next folder
    return image;
}

} // namespace

QStringList FaceImages::searchFolders() {
    QStringList folders;
    for (const QString& root : QStandardPaths::standardLocations(QStandardPaths::AppDataLocation)) {
        folders << root << QDir(root).filePath(QStringLiteral("Faces"));
    }
    return folders;
}

std::optional<QImage> FaceImages::image(const std::string& name) {
    Cache& c = cache();
    std::lock_guard guard(c.lock);
    if (const auto it = c.images.find(name); it != c.images.end()) return it->second;
    if (c.misses.count(name)) return std::nullopt;
    const QString file = qText(name) + QStringLiteral(".png");
    for (const QString& folder : searchFolders()) {
        if (auto image = load(QDir(folder).filePath(file))) {
            c.images.emplace(name, *image);
            return image;
        }
    }
    c.misses.insert(name);
    return std::nullopt;
}

void FaceImages::forgetMisses() {
    Cache& c = cache();
    std::lock_guard guard(c.lock);
    c.misses.clear();
}

} // namespace tw
