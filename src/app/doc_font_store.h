// Finds the HP 15C key and display fonts that the PDF documentation uses when the
// user has them: in a folder or font files the user chose (remembered as file
// references in the settings and checked on every use), else in the folder
// "Firmware/Fonts" of the home folder. A font is recognised by its glyphs, never by
// its file name.
#pragma once

#include "app/doc_fonts.h"

#include <QString>

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <vector>

namespace tw {

class Platform;

enum class DocFontKind { keys, display, neither };

// Key glyphs are tested first: a font with both sets counts as the key font.
DocFontKind docFontKind(const TrueTypeFont& font);

// Adds a font file's bytes (nothing when the file could not be read) to the fonts
// being gathered: the first font of each kind wins, and bytes that are not a
// TrueType font of either kind are skipped without a word.
void addDocFont(DocFonts& fonts, const std::optional<std::vector<uint8_t>>& bytes, const QString& path);

// Where a load looks, resolved from the settings. Taken on the main thread, since
// the settings are not shared between threads; the loading itself may run anywhere.
struct DocFontLocations {
    std::optional<QString> folder;
    std::optional<QString> keysFile;
    std::optional<QString> displayFile;
    QString defaultFolder;
};

class DocFontStore {
public:
    static constexpr const char* keysFileName = "HP15CSimulatorKeys.ttf";
    static constexpr const char* displayFileName = "HP15CSimulatorDisplay.ttf";

    // Why a chosen location cannot be used; the caller words the message.
    struct ChooseError : std::runtime_error {
        using std::runtime_error::runtime_error;
    };

    DocFontStore(Platform& platform, QString folderKey, QString keysKey, QString displayKey)
        : platform_(platform), folderKey_(std::move(folderKey)), keysKey_(std::move(keysKey)),
          displayKey_(std::move(displayKey)) {}

    // The fonts found now; never fails. Main thread (it reads the settings).
    DocFonts load() const { return load(locations()); }
    DocFontLocations locations() const;
    // Reads the fonts from the given places; any thread.
    static DocFonts load(const DocFontLocations& locations);
    // Takes a folder or file the user picked and answers the fonts found afterwards;
    // throws ChooseError, and then stores nothing.
    DocFonts choose(const QString& path);
    // Drops every remembered choice and the application's own "Fonts" folder.
    void forget();

    const QString& folderKey() const { return folderKey_; }
    const QString& keysKey() const { return keysKey_; }
    const QString& displayKey() const { return displayKey_; }

private:
    std::optional<QString> resolve(const QString& key) const;

    Platform& platform_;
    QString folderKey_;
    QString keysKey_;
    QString displayKey_;
};

} // namespace tw
