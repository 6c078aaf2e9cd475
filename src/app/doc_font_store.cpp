#include "app/doc_font_store.h"

#include "platform/file_checks.h"
#include "platform/platform.h"

#include <QDir>
#include <QFileInfo>

#include <initializer_list>

namespace tw {

namespace {

// Fonts are read on the main thread when chosen and before every PDF: a FIFO or a
// huge file in a font's place is skipped unread rather than waited for.
std::optional<std::vector<uint8_t>> readBytes(const QString& path) {
    const FileRead read = readFileUpTo(path, maximumFontFileSize);
    if (!read.ok()) return std::nullopt;
    return std::vector<uint8_t>(read.data.begin(), read.data.end());
}

bool hasAll(const TrueTypeFont& font, std::initializer_list<char32_t> scalars) {
    for (char32_t c : scalars)
        if (!font.hasGlyph(c)) return false;
    return true;
}

void addFile(DocFonts& fonts, const QString& path) { addDocFont(fonts, readBytes(path), path); }

} // namespace

DocFontKind docFontKind(const TrueTypeFont& font) {
    if (hasAll(font, {U'\u00A4', U'\u00B4', U'|'})) return DocFontKind::keys;
    if (hasAll(font, {U'8', U',', U'-'})) return DocFontKind::display;
    return DocFontKind::neither;
}

void addDocFont(DocFonts& fonts, const std::optional<std::vector<uint8_t>>& bytes, const QString& path) {
    if (!bytes) return;
    std::optional<TrueTypeFont> font;
    try {
        font.emplace(*bytes);
    } catch (const TrueTypeFont::FontError&) {
        return;
    }
    switch (docFontKind(*font)) {
    case DocFontKind::keys:
        if (fonts.keys) return;
        fonts.keys = std::move(font);
        fonts.source = path;
        return;
    case DocFontKind::display:
        if (fonts.display) return;
        fonts.display = std::move(font);
        if (fonts.source.isEmpty()) fonts.source = path;
        return;
    case DocFontKind::neither:
        return;
    }
}

std::optional<QString> DocFontStore::resolve(const QString& key) const {
    // A reference that no longer resolves stays stored; its target is simply absent.
    return Platform::resolveFileReference(platform_.setting(key).toByteArray());
}

DocFontLocations DocFontStore::locations() const {
    return {resolve(folderKey_), resolve(keysKey_), resolve(displayKey_),
            QDir(platform_.homeFolder()).filePath(QStringLiteral("Firmware/Fonts"))};
}

DocFonts DocFontStore::load(const DocFontLocations& where) {
    DocFonts fonts;
    if (where.folder && QFileInfo(*where.folder).isDir()) {
        const QDir folder(*where.folder);
        addFile(fonts, folder.filePath(QLatin1String(keysFileName)));
        addFile(fonts, folder.filePath(QLatin1String(displayFileName)));
    }
    // A chosen file's kind is decided by its glyphs again, whichever key it is stored under.
    for (const auto& file : {where.keysFile, where.displayFile})
        if (file && QFileInfo(*file).isFile()) addFile(fonts, *file);
    const QDir fallback(where.defaultFolder);
    if (!fonts.keys) addFile(fonts, fallback.filePath(QLatin1String(keysFileName)));
    if (!fonts.display) addFile(fonts, fallback.filePath(QLatin1String(displayFileName)));
    return fonts;
}

DocFonts DocFontStore::choose(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists()) throw ChooseError("no such file or folder");
    if (info.isDir()) {
        platform_.setSetting(folderKey_, Platform::fileReference(path));
        return load();
    }
    const FileRead read = readFileUpTo(path, maximumFontFileSize);
    if (read.error) {
        if (!read.error->description.isEmpty()) throw ChooseError(read.error->description.toStdString());
        throw ChooseError(read.error->kind == FileReadError::Kind::notRegular ? "not a regular file"
                                                                                : "too large for a font");
    }
    std::optional<TrueTypeFont> font;
    try {
        font.emplace(std::span(reinterpret_cast<const uint8_t*>(read.data.constData()), std::size_t(read.data.size())));
    } catch (const TrueTypeFont::FontError& error) {
        throw ChooseError(error.what());
    }
    switch (docFontKind(*font)) {
    case DocFontKind::keys: platform_.setSetting(keysKey_, Platform::fileReference(path)); break;
    case DocFontKind::display: platform_.setSetting(displayKey_, Platform::fileReference(path)); break;
    case DocFontKind::neither: throw ChooseError("neither of the two fonts");
    }
    return load();
}

void DocFontStore::forget() {
    platform_.removeSetting(folderKey_);
    platform_.removeSetting(keysKey_);
    platform_.removeSetting(displayKey_);
    // Nothing else writes there; most often it does not exist at all.
    const QString appData = platform_.appDataFolder();
    if (!appData.isEmpty()) QDir(QDir(appData).filePath(QStringLiteral("Fonts"))).removeRecursively();
}

} // namespace tw
