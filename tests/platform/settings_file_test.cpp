// The settings file: Qt's INI text both ways (a file of the earlier native format
// reads the same, and Qt reads ours), a write that fails keeps the earlier file,
// program notes and all, and changes it could not write are written later.
#include "platform/core_application.h"
#include "platform/ini_settings_text.h"
#include "platform/qt_platform.h"
#include "platform/settings_file.h"
#include "platform/settings_file_format.h"

#include "support/capped_child.h"
#include "support/hang_watch.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTimeZone>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

namespace tw {
namespace {

// Qt remembers the settings folder of the first use: each test names its own.
void useConfigFolder(const QString& folder) {
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(folder));
    qputenv("XDG_DATA_HOME", QFile::encodeName(folder + "/data"));
    for (const auto format : {QSettings::NativeFormat, QSettings::IniFormat})
        QSettings::setPath(format, QSettings::UserScope, folder);
}

QByteArray allBytes() {
    QByteArray bytes;
    for (int i = 0; i < 256; ++i) bytes.append(char(i));
    return bytes;
}

// What the program keeps, and text that exercises every escape and quote.
QSettings::SettingsMap sampleSettings() {
    return {
        {"firmwareBookmark", allBytes()},
        {"firmwareName", QString::fromUtf8("Loan, “15c”; café a=b \\ \"x\" 😀.bin")},
        {"showInspector", true},
        {"skin", 2},
        {"pdfPaper", "a4"},
        {"padded", "  both ends  "},
        {"lines", "one\ntwo\tthree\r\x01\x7f"},
        {"at", "@home"},
        {"nul", QString("a") + QChar(0) + "1b"},
        {"empty", ""},
        {"list", QStringList{"a", "b,c", " d", "@e"}},
        {"noList", QStringList{}},
        {"oneItem", QStringList{"x"}},
        {"ratio", 1.5},
        {"when", QDateTime(QDate(2026, 3, 14), QTime(9, 26, 53), QTimeZone::utc())},
        {"nothing", QVariant()},
        {"programDoc/0123456789abcdef", QByteArray(3000, 'n') + allBytes()},
        {"General/k", "in a group named General"},
        {QString::fromUtf8("Ünï/key with space%"), "v"},
        {"lastFolder", QString::fromUtf8("bs\\\xef\xbb\xbf" "bom")}, // a byte-order mark after an escape
    };
}

void write(QSettings& settings, const QSettings::SettingsMap& values) {
    for (auto it = values.begin(); it != values.end(); ++it) settings.setValue(it.key(), it.value());
    settings.sync();
}

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void copy(const QString& from, const QString& to) {
    QDir().mkpath(QFileInfo(to).absolutePath());
    QFile::remove(to);
    ASSERT_TRUE(QFile::copy(from, to));
}

// Every key and value of a file as Qt reads it, freshly (a path this process has not
// used yet, so Qt's cache of settings files cannot answer instead of the file).
QSettings::SettingsMap qtReads(const QString& path, const QString& fresh) {
    copy(path, fresh);
    QSettings settings(fresh, QSettings::NativeFormat);
    QSettings::SettingsMap values;
    for (const QString& key : settings.allKeys()) values.insert(key, settings.value(key));
    return values;
}

// The same as the settings give it: a key that a lookup cannot name (an empty one,
// or one with a slash at either end or two in a row) is there without its value, as
// Qt's own lookup cannot find it either.
QSettings::SettingsMap weRead(const QString& path) {
    QSettings::SettingsMap values;
    decodeIniSettings(contents(path), values);
    for (auto it = values.begin(); it != values.end(); ++it)
        if (it.key().isEmpty() || SettingsFile::normalizedKey(it.key()) != it.key()) it.value() = QVariant();
    return values;
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

TEST(SettingsFile, ReadsAndWritesTheSameTextAsQtsNativeFormat) {
    test::ensureCoreApplication();
    QTemporaryDir dir;
    const QSettings::SettingsMap sample = sampleSettings();
    {
        QSettings native(dir.filePath("native.conf"), QSettings::NativeFormat);
        write(native, sample);
    }
    writeFile(dir.filePath("ours.conf"), encodeIniSettings(sample));
    // What Qt itself reads back from its own file is the reference.
    const auto expected = qtReads(dir.filePath("native.conf"), dir.filePath("n1.conf"));
    ASSERT_EQ(expected.size(), sample.size());
    EXPECT_EQ(weRead(dir.filePath("native.conf")), expected);
    EXPECT_EQ(qtReads(dir.filePath("ours.conf"), dir.filePath("o1.conf")), expected);
    EXPECT_EQ(weRead(dir.filePath("ours.conf")), expected);
    // Even the text is Qt's, byte for byte.
    EXPECT_EQ(contents(dir.filePath("ours.conf")), contents(dir.filePath("native.conf")));
}

TEST(SettingsFile, HandWrittenIniTextReadsAsQtReadsIt) {
    test::ensureCoreApplication();
    QTemporaryDir dir;
    const QString path = dir.filePath("hand.conf");
    writeFile(path, "\xef\xbb\xbf; a comment\n[General]\nplain = spaced value   \nquoted=\"a;b\" ; trailing comment\n"
                    "continued=first \\\n  second\nmultiline=\"x\ny\"\nescapes=\\x41\\102\\q\\\"\n"
                    "[%General]\nk=1\n[grp]\nsub\\key=2\n[general]\nagain=3\nno equals here\n"
                    "utf8=caf\xc3\xa9 \xe2\x86\x92 \xf0\x9f\x98\x80, \xff\xc3 \"\xc3\xa9\"\n"
                    "bytes=@ByteArray(caf\xc3\xa9\xe2\x86\x92\\xff\\0\\x41\\x2192)\n"
                    "quotedBytes=\"@ByteArray(a,b;c) \"\nbytesList=@ByteArray(a),@ByteArray(b)\n"
                    "notBytes=@ByteArray(open\nspacedBytes=  @ByteArray(x)  \n"
                    // A byte-order mark is text except before anything else of the value.
                    "bomAfterQuote=x\\\"\xef\xbb\xbf\nbomAfterBackslash=bs\\\\\xef\xbb\xbf" "bom\n"
                    "bomAfterTab=\\t\xef\xbb\xbfz\nbomAfterText=\xc3\xa9\\t\xef\xbb\xbfz\n"
                    "bomFirst=  \xef\xbb\xbf\xef\xbb\xbfz\nbomItems=a,\xef\xbb\xbfz\n"
                    "bomBytes=@ByteArray(\\t\xef\xbb\xbf)\n"
                    // A character cut by an escape is whole after it.
                    "cut=\xe2\x82\\t\xac\ncutAtEnd=\xe2\x82\n");
    EXPECT_EQ(weRead(path), qtReads(path, dir.filePath("b.conf")));
}

TEST(SettingsFile, ScrambledIniTextReadsAsQtReadsIt) {
    test::ensureCoreApplication();
    QTemporaryDir dir;
    // Pieces that mean something to the INI reader, joined at random (with a fixed seed).
    const char* pieces[] = {"a", "b", "=", ";", "\"", "\\", ",", "[", "]", "%", " ", "\t", "\n", "\r", "x", "U", "0",
                            "1", "@", "(", ")", "/", "G", "\xc3\xa9", "7", "f", "\\x", "\\0", "@ByteArray(", "@Variant(", "\xef\xbb\xbf", "\xe2\x82"};
    QRandomGenerator random(1234);
    for (int n = 0; n < 400; ++n) {
        QByteArray text = n % 3 == 0 ? "k=" : "";
        for (int i = random.bounded(60); i > 0; --i) text += pieces[random.bounded(int(std::size(pieces)))];
        const QString path = dir.filePath(QString("scrambled%1.conf").arg(n));
        writeFile(path, text);
        EXPECT_EQ(weRead(path), qtReads(path, dir.filePath(QString("qt%1.conf").arg(n))))
            << text.toPercentEncoding().toStdString();
    }
}

TEST(SettingsFile, ASettingsFileOfTheEarlierFormatReadsAsBefore) {
    test::ensureCoreApplication();
    QTemporaryDir home;
    useConfigFolder(home.path());
    const QSettings::SettingsMap sample = sampleSettings();
    {
        // As the program wrote it before: Qt's native settings of "Tarnwick".
        QSettings earlier(home.filePath("earlier.conf"), QSettings::NativeFormat);
        write(earlier, sample);
    }
    copy(home.filePath("earlier.conf"), home.path() + "/Tarnwick/Tarnwick.conf");
    const auto expected = qtReads(home.filePath("earlier.conf"), home.filePath("ref.conf"));
    QtPlatform platform;
    for (auto it = expected.begin(); it != expected.end(); ++it)
        EXPECT_EQ(platform.setting(it.key()), it.value()) << it.key().toStdString();
}

TEST(SettingsFile, AWriteThatFailsKeepsTheEarlierFileWithItsProgramNotes) {
    test::ensureCoreApplication();
    // Notes of every firmware live in the settings: the file is small, or larger than Qt's 16 KB buffer.
    for (const int notesSize : {2000, 40000}) {
        SCOPED_TRACE(notesSize);
        QTemporaryDir home;
        useConfigFolder(home.path());
        const QString file = home.path() + "/Tarnwick/Tarnwick.conf";
        {
            QtPlatform platform;
            platform.setSetting("firmwareName", "testfw-15c.bin");
            platform.setSetting("programDoc-0123456789abcdef", QByteArray(notesSize, 'n'));
        }
        const QByteArray earlier = contents(file);
        ASSERT_GT(earlier.size(), notesSize);

        const auto outcome = test::runWithFileSizeCap(1024, [&](std::string&) {
            QtPlatform platform;
            platform.setSetting("programDoc-0123456789abcdef", QByteArray(notesSize + 10, 'm'));
            platform.setSetting("programDoc-fedcba9876543210", QByteArray(notesSize, 'o'));
            return 0; // the settings are written as the platform goes
        });
        EXPECT_EQ(outcome.exitCode, 0);
        EXPECT_EQ(contents(file), earlier);
        EXPECT_EQ(QDir(home.path() + "/Tarnwick").entryList(QDir::Files | QDir::Hidden), QStringList{"Tarnwick.conf"});

        // Without the cap the change is written.
        {
            QtPlatform platform;
            platform.setSetting("programDoc-0123456789abcdef", QByteArray(notesSize + 10, 'm'));
        }
        QtPlatform platform;
        EXPECT_EQ(platform.setting("programDoc-0123456789abcdef").toByteArray(), QByteArray(notesSize + 10, 'm'));
        EXPECT_EQ(platform.setting("firmwareName").toString(), "testfw-15c.bin");
    }
}

// A FIFO or a huge file as the settings file is moved aside before anything opens it:
// the platform comes up at once with empty settings and writes a fresh file.
TEST(SettingsFile, AFifoOrAHugeFileIsMovedAsideUnread) {
    test::ensureCoreApplication();
    for (const bool fifo : {true, false}) {
        SCOPED_TRACE(fifo ? "FIFO" : "huge file");
        QTemporaryDir home;
        useConfigFolder(home.path());
        const QString file = home.path() + "/Tarnwick/Tarnwick.conf";
        ASSERT_EQ(settingsFilePath(), file);
        ASSERT_TRUE(QDir().mkpath(home.path() + "/Tarnwick"));
        const QByteArray native = QFile::encodeName(file);
        if (fifo) {
            ASSERT_EQ(::mkfifo(native.constData(), 0644), 0);
        } else {
            ASSERT_TRUE(QFile(file).open(QIODevice::WriteOnly));
            ASSERT_EQ(::truncate(native.constData(), maximumSettingsFileSize + 1), 0); // sparse
        }
        {
            // Should the FIFO be opened for reading after all, a writer frees it so the test fails, not hangs.
            test::HangWatch watch([&] {
                const int fd = ::open(native.constData(), O_WRONLY | O_NONBLOCK);
                if (fd >= 0) ::close(fd);
            });
            {
                QtPlatform platform;
                EXPECT_FALSE(platform.setting("firmwareName").isValid());
                platform.setSetting("firmwareName", "testfw-15c.bin");
            }
            EXPECT_FALSE(watch.fired()) << "the start waited for a writer of the FIFO";
        }
        struct stat status {};
        ASSERT_EQ(::stat(native.constData(), &status), 0);
        EXPECT_TRUE(S_ISREG(status.st_mode));
        EXPECT_TRUE(contents(file).contains("testfw-15c.bin"));
        const QStringList aside =
            QDir(home.path() + "/Tarnwick").entryList({"Tarnwick.conf unusable *"}, QDir::AllEntries | QDir::System);
        EXPECT_EQ(aside.size(), 1) << aside.join(", ").toStdString();
    }
    // A regular file of an ordinary size stays where it is.
    QTemporaryDir home;
    const QString file = home.path() + "/Tarnwick.conf";
    QFile plain(file);
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.write("[General]\nskin=2\n");
    plain.close();
    EXPECT_FALSE(setAsideUnusableSettingsFile(file));
    EXPECT_FALSE(setAsideUnusableSettingsFile(home.path() + "/absent.conf"));
    EXPECT_EQ(contents(file), "[General]\nskin=2\n");
}

} // namespace
} // namespace tw
