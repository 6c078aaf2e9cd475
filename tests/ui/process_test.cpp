// The application as a process: tarnwick-testfw started on our test firmware with
// its own settings and data folders, quit in the ways a desktop quits it, and
// started a second time with a file.
#include "support/bytes_read.h"
#include "support/capped_child.h"
#include "support/hang_limit.h"
#include "support/system_reason.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <csignal>
#include <cstdint>
#include <optional>

#include <sys/stat.h>
#include <unistd.h>

namespace {

class AppRun {
public:
    // With `fileSizeCap`, every file the program writes is capped at that many bytes,
    // as on a nearly full disk; with `folder`, it starts in that working folder.
    AppRun(const QString& home, QStringList arguments, std::optional<std::uint64_t> fileSizeCap = std::nullopt,
           const QString& folder = {}) {
        if (!folder.isEmpty()) process_.setWorkingDirectory(folder);
        if (fileSizeCap) process_.setChildProcessModifier([cap = *fileSizeCap] { tw::test::capFileSize(cap); });
        process_.setProgram(QStringLiteral(TW_TESTFW));
        process_.setArguments(QStringList{QStringLiteral("--home=") + home, QStringLiteral("--report")} + arguments);
        process_.setProcessChannelMode(QProcess::SeparateChannels);
        process_.start();
    }
    ~AppRun() {
        if (process_.state() != QProcess::NotRunning) {
            process_.kill();
            process_.waitForFinished(5000);
        }
    }

    // Waits for a line starting with the text; true when it came.
    bool waitFor(const QString& start, int ms = tw::test::kHangLimitMs) {
        QElapsedTimer clock;
        clock.start();
        for (;;) {
            read();
            if (has(start)) return true;
            if (clock.elapsed() > ms || process_.state() == QProcess::NotRunning) {
                read();
                return has(start);
            }
            process_.waitForReadyRead(50);
        }
    }
    bool has(const QString& start) const { return index(start) >= 0; }
    qsizetype index(const QString& start) const {
        for (qsizetype i = 0; i < lines_.size(); ++i)
            if (lines_[i].startsWith(start)) return i;
        return -1;
    }
    void signal(int number) { ::kill(pid_t(process_.processId()), number); }
    // What the program has read so far, while it runs.
    long long bytesRead() const { return tw::test::bytesReadSoFar(std::to_string(process_.processId())); }
    bool finished(int ms = tw::test::kHangLimitMs) {
        const bool done = process_.waitForFinished(ms);
        read();
        return done;
    }
    int exitCode() const { return process_.exitStatus() == QProcess::NormalExit ? process_.exitCode() : -1; }
    QString output() const { return lines_.join('\n') + "\n" + QString::fromUtf8(errors_); }

private:
    void read() {
        buffer_ += process_.readAllStandardOutput();
        errors_ += process_.readAllStandardError();
        qsizetype end;
        while ((end = buffer_.indexOf('\n')) >= 0) {
            lines_ << QString::fromUtf8(buffer_.left(end));
            buffer_.remove(0, end + 1);
        }
    }

    QProcess process_;
    QByteArray buffer_;
    QByteArray errors_;
    QStringList lines_;
};

struct Home {
    QTemporaryDir dir;
    QString path() const { return dir.path(); }
    QString stateFile() const { return dir.path() + "/data/Tarnwick/Tarnwick/State/calculator.json"; }
    QString stateFolder() const { return dir.path() + "/data/Tarnwick/Tarnwick/State"; }
    QString file(const QString& name, const QByteArray& bytes) const {
        const QString p = QDir(dir.path()).filePath(name);
        QFile f(p);
        if (f.open(QIODevice::WriteOnly)) f.write(bytes);
        return p;
    }
};

bool testFirmwareBuilt() { return QFile::exists(QStringLiteral(TW_FIRMWARE_15C)); }

#define REQUIRE_FIRMWARE() \
    if (!testFirmwareBuilt()) GTEST_SKIP() << "test firmware not built"

TEST(Process, ATerminationSignalQuitsAndSavesTheState) {
    REQUIRE_FIRMWARE();
    for (int number : {SIGTERM, SIGINT}) {
        Home home;
        AppRun run(home.path(), {"--model=15c"});
        ASSERT_TRUE(run.waitFor("running")) << run.output().toStdString();
        ASSERT_TRUE(run.waitFor("lcd"));
        EXPECT_FALSE(QFile::exists(home.stateFile()));
        run.signal(number);
        ASSERT_TRUE(run.finished());
        EXPECT_EQ(run.exitCode(), 0) << run.output().toStdString();
        EXPECT_TRUE(run.has("saved"));
        EXPECT_TRUE(QFile::exists(home.stateFile())) << number;
    }
}

// Every file of the State folder with its bytes.
QMap<QString, QByteArray> stateFiles(const Home& home) {
    QMap<QString, QByteArray> files;
    const QDir folder(home.stateFolder());
    for (const QString& name : folder.entryList(QDir::Files | QDir::Hidden)) {
        QFile file(folder.filePath(name));
        files.insert(name, file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray());
    }
    return files;
}

TEST(Process, AQuitTimeSaveOnAFullDiskKeepsTheEarlierStateFiles) {
    REQUIRE_FIRMWARE();
    Home home;
    {
        AppRun run(home.path(), {"--model=15c"});
        ASSERT_TRUE(run.waitFor("lcd")) << run.output().toStdString();
        run.signal(SIGTERM);
        ASSERT_TRUE(run.finished());
    }
    const auto earlier = stateFiles(home);
    ASSERT_EQ(earlier.size(), 2); // the general file and the firmware's own
    ASSERT_GT(earlier.value("calculator.json").size(), 1024);

    // The remembered firmware again, with every write capped at 1 KB: the quit says
    // what could not be saved and waits; a second signal quits without it.
    AppRun run(home.path(), {}, 1024);
    ASSERT_TRUE(run.waitFor("lcd")) << run.output().toStdString();
    run.signal(SIGTERM);
    ASSERT_TRUE(run.waitFor("unsaved ")) << run.output().toStdString();
    // The child has this program's environment, so its words for the reason are ours.
    EXPECT_TRUE(run.has("unsaved Your calculator's state could not be saved: " + tw::test::systemReason(EFBIG) +
                        ". Make room"))
        << run.output().toStdString();
    EXPECT_FALSE(run.finished(500));
    run.signal(SIGTERM);
    ASSERT_TRUE(run.finished());
    EXPECT_EQ(run.exitCode(), 0) << run.output().toStdString();
    EXPECT_TRUE(run.has("saved"));
    EXPECT_TRUE(stateFiles(home) == earlier);
}

TEST(Process, ClosingTheWindowQuitsAndSaves) {
    REQUIRE_FIRMWARE();
    Home home;
    AppRun run(home.path(), {"--model=16c", "--close-on=lcd"});
    ASSERT_TRUE(run.finished()) << run.output().toStdString();
    EXPECT_EQ(run.exitCode(), 0);
    EXPECT_TRUE(run.has("saved"));
    EXPECT_TRUE(QFile::exists(home.stateFile()));
}

TEST(Process, QuittingFromTheWelcomeViewWritesNoState) {
    REQUIRE_FIRMWARE();
    Home home;
    AppRun run(home.path(), {"--welcome", "--quit-on=welcome"});
    ASSERT_TRUE(run.finished()) << run.output().toStdString();
    EXPECT_EQ(run.exitCode(), 0);
    EXPECT_TRUE(run.has("saved")); // the save ran and had nothing to write
    EXPECT_FALSE(run.has("running"));
    EXPECT_FALSE(QFile::exists(home.stateFile()));
}

TEST(Process, ARememberedFirmwareThatIsNoFileShowsTheWelcomeViewSilently) {
    REQUIRE_FIRMWARE();
    Home home;
    // A FIFO that no writer opens, and a sparse 3 GB file.
    const QString fifo = QDir(home.path()).filePath("pipe.bin");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString huge = home.file("huge.bin", QByteArray());
    const qint64 hugeSize = qint64(3) << 30;
    ASSERT_EQ(::truncate(QFile::encodeName(huge).constData(), hugeSize), 0);
    for (const QString& firmware : {fifo, huge}) {
        SCOPED_TRACE(firmware.toStdString());
        AppRun run(home.path(), {"--firmware=" + firmware});
        ASSERT_TRUE(run.waitFor("welcome")) << run.output().toStdString();
        QTest::qWait(300); // time for the start road to have run
        EXPECT_LT(run.bytesRead(), hugeSize / 10); // the huge file was not read
        run.signal(SIGTERM);
        ASSERT_TRUE(run.finished()) << run.output().toStdString();
        EXPECT_EQ(run.exitCode(), 0);
        EXPECT_FALSE(run.has("running"));
        EXPECT_FALSE(run.has("alert")) << run.output().toStdString();
        EXPECT_FALSE(run.has("note"));
        EXPECT_FALSE(QFile::exists(home.stateFile()));
    }
}

TEST(Process, ASecondStartHandsItsFileToTheRunningOneAndEnds) {
    REQUIRE_FIRMWARE();
    Home home;
    AppRun first(home.path(), {"--model=15c"});
    ASSERT_TRUE(first.waitFor("running")) << first.output().toStdString();
    const QString memory = home.file("prog.15c", QByteArray(2048, '\0'));

    AppRun second(home.path(), {memory});
    ASSERT_TRUE(second.finished());
    EXPECT_EQ(second.exitCode(), 0) << second.output().toStdString();
    EXPECT_FALSE(second.has("welcome")); // it never showed a window of its own
    EXPECT_TRUE(first.waitFor("opened " + memory)) << first.output().toStdString();

    // A relative name means the file in the folder the second start was given it in,
    // not one in the running one's folder.
    ASSERT_TRUE(QDir(home.path()).mkpath("elsewhere"));
    const QString relative = home.file("elsewhere/my prog.15c", QByteArray(2048, '\0'));
    AppRun third(home.path(), {"my prog.15c"}, std::nullopt, home.path() + "/elsewhere");
    ASSERT_TRUE(third.finished());
    EXPECT_EQ(third.exitCode(), 0) << third.output().toStdString();
    EXPECT_TRUE(first.waitFor("opened " + relative)) << first.output().toStdString();

    // Another settings folder is another Tarnwick.
    Home other;
    AppRun separate(other.path(), {"--model=15c", "--quit-on=running"});
    ASSERT_TRUE(separate.finished());
    EXPECT_TRUE(separate.has("running"));
    first.signal(SIGTERM);
    EXPECT_TRUE(first.finished());
}

TEST(Process, ACommandLineFileWaitsForTheRunningCalculator) {
    REQUIRE_FIRMWARE();
    Home home;
    const QString memory = home.file("prog.15c", QByteArray(2048, '\0'));
    {
        AppRun run(home.path(), {"--model=15c", memory});
        ASSERT_TRUE(run.waitFor("opened " + memory)) << run.output().toStdString();
        ASSERT_TRUE(run.has("running"));
        EXPECT_LT(run.index("running"), run.index("opened"));
        run.signal(SIGTERM);
        EXPECT_TRUE(run.finished());
    }
    {
        // No firmware: the file waits, and nothing reaches the load.
        AppRun run(home.path(), {"--welcome", memory});
        ASSERT_TRUE(run.waitFor("welcome"));
        QTest::qWait(500);
        run.waitFor("opened", 10);
        EXPECT_FALSE(run.has("opened"));
        run.signal(SIGTERM);
        EXPECT_TRUE(run.finished());
    }
}

} // namespace
