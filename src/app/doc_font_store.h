// The documentation fonts the user chose: a folder or up to two font files,
// remembered as file references in the settings.
#pragma once

#include "app/doc_fonts.h"

#include <QString>

namespace tw {

class Platform;

class DocFontStore {
public:
    DocFontStore(Platform& platform, QString folderKey, QString keysKey, QString displayKey)
        : platform_(platform), folderKey_(std::move(folderKey)), keysKey_(std::move(keysKey)),
          displayKey_(std::move(displayKey)) {}

    // The fonts found now; never fails.
    DocFonts load() const;
    // Takes a folder or file the user picked; throws the failing step's error.
    DocFonts choose(const QString& path);
    void forget();

    const QString& folderKey() const { return folderKey_; }
    const QString& keysKey() const { return keysKey_; }
    const QString& displayKey() const { return displayKey_; }

private:
    Platform& platform_;
    QString folderKey_;
    QString keysKey_;
    QString displayKey_;
};

} // namespace tw
