// What a file panel hands back: the chosen file's path, or the error that ended it.
#pragma once

#include <QString>

#include <optional>

namespace tw {

struct FileResult {
    std::optional<QString> path; // absolute path of the chosen file or folder
    QString error;               // the failure's description when there is no path

    static FileResult file(QString p) { return {std::move(p), {}}; }
    static FileResult failure(QString text) { return {std::nullopt, std::move(text)}; }
    bool ok() const { return path.has_value(); }
};

} // namespace tw
