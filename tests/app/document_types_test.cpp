// The desktop's view of the application: the shared-mime-info types and the
// launcher entry, as the freedesktop tools read them, agreeing with the types the
// save panel is given, and installed where the desktop looks for them.
#include "app/document_types.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace {

using tw::UTType;
using tw::documentType;

QString sourceDir() { return qEnvironmentVariable("TW_SOURCE_DIR"); }
QString binaryDir() { return qEnvironmentVariable("TW_BINARY_DIR"); }

struct ToolRun {
    int exitCode = -1;
    QString out;
    QString err;
};

ToolRun run(const QString& program, const QStringList& arguments) {
    QProcess p;
    p.start(program, arguments);
    if (!p.waitForFinished(60000)) return {};
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
}

QString tool(const char* name) {
    const QString path = QStandardPaths::findExecutable(name);
    if (path.isEmpty()) ADD_FAILURE() << name << " is missing: run scripts/setup.sh";
    return path;
}

QString readText(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return QString::fromUtf8(f.readAll());
}

QStringList desktopValues(const QString& entry, const QString& key) {
    for (const QString& line : entry.split('\n'))
        if (line.startsWith(key + "=")) return line.mid(key.size() + 1).split(';', Qt::SkipEmptyParts);
    return {};
}

constexpr UTType ours[] = {UTType::memory16c, UTType::memory15c, UTType::memory12c, UTType::programdoc};

TEST(DocumentTypes, TheMimeDatabaseTakesOurTypesAsTheSavePanelNamesThem) {
    const QString update = tool("update-mime-database");
    if (update.isEmpty()) return;
    QTemporaryDir scratch;
    ASSERT_TRUE(QDir(scratch.path()).mkpath("packages"));
    ASSERT_TRUE(QFile::copy(sourceDir() + "/data/mime/tarnwick.xml", scratch.filePath("packages/tarnwick.xml")));

    // The tool reports problems on stderr but still exits with 0.
    const ToolRun r = run(update, {scratch.path()});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    for (const QString& line : r.err.split('\n'))
        EXPECT_FALSE(line.contains("Error") || line.contains("Warning") || line.contains("Unknown")) << line.toStdString();

    const QString globs = readText(scratch.filePath("globs2"));
    const QString subclasses = readText(scratch.filePath("subclasses"));
    const QString types = readText(scratch.filePath("types"));
    for (UTType type : ours) {
        const auto t = documentType(type);
        SCOPED_TRACE(t.mimeTypeName().toStdString());
        EXPECT_TRUE(types.split('\n').contains(t.mimeTypeName()));
        EXPECT_TRUE(globs.contains(":" + t.mimeTypeName() + ":*." + t.fileExtension() + "\n"));
        EXPECT_TRUE(subclasses.contains(t.mimeTypeName() + " " + QString::fromLatin1(t.subclassOf.data()) + "\n"));
    }
}

TEST(DocumentTypes, TheDesktopEntryIsValidAndOpensTheMemoryFiles) {
    const QString validate = tool("desktop-file-validate");
    if (validate.isEmpty()) return;
    const QString path = sourceDir() + "/data/desktop/tarnwick.desktop";
    const ToolRun r = run(validate, {path});
    EXPECT_EQ(r.exitCode, 0) << r.out.toStdString() << r.err.toStdString();
    EXPECT_TRUE(r.out.trimmed().isEmpty()) << r.out.toStdString(); // not even a hint

    const QString entry = readText(path);
    // Files handed over on the command line take the memory-file road.
    EXPECT_EQ(desktopValues(entry, "Exec"), QStringList{"tarnwick %F"});
    EXPECT_EQ(desktopValues(entry, "MimeType"),
              (QStringList{documentType(UTType::memory16c).mimeTypeName(),
                           documentType(UTType::memory15c).mimeTypeName(),
                           documentType(UTType::memory12c).mimeTypeName()}));
}

// Their own component, so that the check needs none of the programs built.
TEST(DocumentTypes, InstallPutsBothFilesWhereTheDesktopLooks) {
    QTemporaryDir prefix;
    const ToolRun r = run("cmake", {"--install", binaryDir(), "--component", "desktop", "--prefix", prefix.path()});
    ASSERT_EQ(r.exitCode, 0) << r.out.toStdString() << r.err.toStdString();
    EXPECT_EQ(readText(prefix.filePath("share/mime/packages/tarnwick.xml")),
              readText(sourceDir() + "/data/mime/tarnwick.xml"));
    EXPECT_EQ(readText(prefix.filePath("share/applications/tarnwick.desktop")),
              readText(sourceDir() + "/data/desktop/tarnwick.desktop"));
}

TEST(DocumentTypes, EachModelSavesItsOwnMemoryType) {
    EXPECT_EQ(tw::memoryType(15), UTType::memory15c);
    EXPECT_EQ(tw::memoryType(12), UTType::memory12c);
    EXPECT_EQ(tw::memoryType(16), UTType::memory16c);
    EXPECT_EQ(tw::memoryType(0), UTType::memory16c);
}

} // namespace
