// tarnwick-testfw: the whole application on the project's own test firmware, with
// settings and data folders of its own, so that it can be tried by hand (and run
// by tests and benchmarks) without the user's firmware.
//
//   tarnwick-testfw [--model=15c|16c|16c-ext|multi] [--firmware=FILE] [--welcome]
//                   [--home=DIR] [--report] [--quit-on=EVENT] [--close-on=EVENT] [files...]
//
// --model remembers that image as the chosen firmware (15c when none was chosen
// yet); --firmware remembers FILE as it stands instead; --welcome forgets the
// firmware so that the welcome view shows; --home holds config/, data/ and state/
// (default: testfw-home in the build folder); --report prints one line per event
// (welcome, running, lcd, opened <path>, saved, alert <text>, note <text>) with the
// milliseconds since the program started; --quit-on quits the application and
// --close-on closes its window at the first such event.
#include "app/app_model.h"
#include "platform/platform.h"
#include "support/test_firmware.h"
#include "ui/main/pending_opens.h"
#include "ui/main/quit_save.h"
#include "ui/main/tarnwick_app.h"
#include "ui/window/main_window.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <optional>

namespace {

QElapsedTimer g_clock;
bool g_report = false;
QString g_quitOn;
QString g_closeOn;
QWidget* g_window = nullptr;

void report(const QString& event) {
    if (g_report) {
        std::printf("%s %lld\n", event.toUtf8().constData(), static_cast<long long>(g_clock.elapsed()));
        std::fflush(stdout);
    }
    if (!g_quitOn.isEmpty() && event.startsWith(g_quitOn)) QTimer::singleShot(0, qApp, &QCoreApplication::quit);
    if (!g_closeOn.isEmpty() && event.startsWith(g_closeOn) && g_window)
        QTimer::singleShot(0, g_window, &QWidget::close);
}

// Reports the first paint of the welcome view and of the LCD.
class PaintWatch : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && watched->isWidgetType()) {
            const bool welcome = watched->inherits("tw::WelcomeView");
            const bool lcd = watched->inherits("tw::LCDView");
            if ((welcome && !welcome_) || (lcd && !lcd_)) {
                (welcome ? welcome_ : lcd_) = true;
                const QString name = welcome ? QStringLiteral("welcome") : QStringLiteral("lcd");
                // After the paint has been carried out.
                QTimer::singleShot(0, this, [name] { report(name); });
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool welcome_ = false;
    bool lcd_ = false;
};

std::optional<tw::test::Firmware> firmwareNamed(const QString& name) {
    if (name == QLatin1String("15c")) return tw::test::Firmware::Hp15c;
    if (name == QLatin1String("16c")) return tw::test::Firmware::Hp16c;
    if (name == QLatin1String("16c-ext")) return tw::test::Firmware::Hp16cExtended;
    if (name == QLatin1String("multi")) return tw::test::Firmware::Multi;
    return std::nullopt;
}

} // namespace

int main(int argc, char** argv) {
    g_clock.start();
    QString home = QStringLiteral(TW_TESTFW_HOME);
    QString model;
    QString firmware;
    bool welcome = false;
    for (int i = 1; i < argc; ++i) {
        const QString argument = QString::fromLocal8Bit(argv[i]);
        if (argument.startsWith(QLatin1String("--home="))) home = argument.mid(7);
        else if (argument.startsWith(QLatin1String("--model="))) model = argument.mid(8);
        else if (argument.startsWith(QLatin1String("--firmware="))) firmware = argument.mid(11);
        else if (argument.startsWith(QLatin1String("--quit-on="))) g_quitOn = argument.mid(10);
        else if (argument.startsWith(QLatin1String("--close-on="))) g_closeOn = argument.mid(11);
        else if (argument == QLatin1String("--welcome")) welcome = true;
        else if (argument == QLatin1String("--report")) g_report = true;
    }
    home = QDir(home).absolutePath();
    QDir().mkpath(home);
    qputenv("XDG_CONFIG_HOME", QDir(home).filePath(QStringLiteral("config")).toUtf8());
    qputenv("XDG_DATA_HOME", QDir(home).filePath(QStringLiteral("data")).toUtf8());
    qputenv("XDG_STATE_HOME", QDir(home).filePath(QStringLiteral("state")).toUtf8());
    qputenv("XDG_CACHE_HOME", QDir(home).filePath(QStringLiteral("cache")).toUtf8());

    if (!tw::test::firmwareBuilt()) {
        std::fputs("tarnwick-testfw: the test firmware was not built (arm-none-eabi-gcc missing)\n", stderr);
        return 2;
    }
    // The core recognises our images only through their own fingerprints.
    tw::test::useTestFingerprints();

    tw::EntryHooks hooks;
    hooks.beforeModel = [&] {
        QSettings settings;
        if (welcome) {
            settings.remove(QStringLiteral("firmwareBookmark"));
            settings.remove(QStringLiteral("firmwareName"));
        } else if (!firmware.isEmpty()) {
            settings.setValue(QStringLiteral("firmwareBookmark"), tw::Platform::fileReference(firmware));
            settings.setValue(QStringLiteral("firmwareName"), QFileInfo(firmware).fileName());
        } else if (!model.isEmpty() || !settings.contains(QStringLiteral("firmwareBookmark"))) {
            const QString chosen = model.isEmpty() ? QStringLiteral("15c") : model;
            const auto which = firmwareNamed(chosen);
            if (!which) {
                std::fprintf(stderr, "tarnwick-testfw: no test image named %s\n", chosen.toUtf8().constData());
                std::exit(2);
            }
            const auto& bytes = tw::test::firmwareBytes(*which);
            const QString name = QStringLiteral("testfw-%1.bin").arg(chosen);
            const QString path = QDir(home).filePath(name);
            QFile file(path);
            if (!file.open(QIODevice::WriteOnly) ||
                file.write(reinterpret_cast<const char*>(bytes.data()), qint64(bytes.size())) != qint64(bytes.size())) {
                std::fprintf(stderr, "tarnwick-testfw: cannot write %s\n", path.toUtf8().constData());
                std::exit(2);
            }
            settings.setValue(QStringLiteral("firmwareBookmark"), tw::Platform::fileReference(path));
            settings.setValue(QStringLiteral("firmwareName"), name);
        }
        settings.sync();
        qApp->installEventFilter(new PaintWatch(qApp));
    };
    hooks.ready = [](tw::TarnwickApp& app) {
        g_window = &app.window();
        QObject::connect(&app.model(), &tw::AppModel::isRunningChanged, &app, [&app] {
            if (app.model().isRunning()) report(QStringLiteral("running"));
        });
        QObject::connect(&app.opens(), &tw::PendingOpens::delivered, &app,
                         [](const QString& path) { report(QStringLiteral("opened ") + path); });
        QObject::connect(&app.quitSave(), &tw::QuitSave::ran, &app, [] { report(QStringLiteral("saved")); });
        QObject::connect(&app.quitSave(), &tw::QuitSave::unsavedShown, &app,
                         [](const QString& message) { report(QStringLiteral("unsaved ") + message); });
        QObject::connect(&app.model(), &tw::AppModel::errorMessageChanged, &app, [&app] {
            if (app.model().errorMessage()) report(QStringLiteral("alert ") + *app.model().errorMessage());
        });
        QObject::connect(&app.model(), &tw::AppModel::noticeChanged, &app, [&app] {
            if (app.model().notice()) report(QStringLiteral("note ") + *app.model().notice());
        });
    };
    return tw::runTarnwick(argc, argv, hooks);
}
