// One main window over an AppModel on an in-memory platform, and the helpers the
// window tests use to find menus and items and to start our test firmware.
#pragma once

#include "app/app_model.h"
#include "platform/memory_platform.h"
#include "support/hang_limit.h"
#include "support/test_firmware.h"
#include "ui/window/calculator_with_inspector.h"
#include "ui/window/content_view.h"
#include "ui/window/main_window.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QTest>

#include <memory>
#include <ostream>

// Readable texts in failure messages.
QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }
QT_END_NAMESPACE

namespace tw::test {

struct WindowFixture {
    MemoryPlatform platform;
    std::unique_ptr<AppModel> app = std::make_unique<AppModel>(platform);
    std::unique_ptr<MainWindow> window = std::make_unique<MainWindow>(*app);

    WindowFixture() { window->menuBar()->setNativeMenuBar(false); }

    ~WindowFixture() {
        window.reset();
        QObject::disconnect(app.get(), nullptr, nullptr, nullptr);
        app.reset();
    }

    // Starts the image and waits until the calculator runs.
    bool start(Firmware which) {
        useTestFingerprints();
        const auto& bytes = firmwareBytes(which);
        if (bytes.empty()) return false;
        app->start(QStringLiteral("testfw.bin"), bytes, std::nullopt);
        return QTest::qWaitFor([this] { return app->isRunning(); }, kHangLimitMs);
    }

    // Shows the window and starts the image in it; the calculator that came up, or null.
    CalculatorWithInspector* showRunning(Firmware which) {
        window->show();
        return start(which) ? window->content()->calculator() : nullptr;
    }

    // Remembers the image as the chosen firmware, as a choice in an earlier run does.
    QString remember(Firmware which) {
        const auto& bytes = firmwareBytes(which);
        const QString path = platform.root() + QStringLiteral("/testfw.bin");
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly)) return {};
        file.write(reinterpret_cast<const char*>(bytes.data()), qint64(bytes.size()));
        platform.setSetting(QStringLiteral("firmwareBookmark"), Platform::fileReference(path));
        platform.setSetting(QStringLiteral("firmwareName"), QStringLiteral("testfw.bin"));
        return path;
    }

    QMenu* menu(const QString& title) const {
        for (QAction* action : window->menuBar()->actions())
            if (action->menu() && action->text() == title) return action->menu();
        return nullptr;
    }
};

// An entry's text as the menu shows it ("&&" is a literal "&").
inline QString shownText(const QAction* action) {
    QString text = action->text();
    return text.replace(QStringLiteral("&&"), QStringLiteral("&"));
}

// The entries of a menu: their texts, "---" for separators.
inline QStringList texts(const QMenu* menu) {
    QStringList result;
    for (const QAction* action : menu->actions()) result << (action->isSeparator() ? QStringLiteral("---") : shownText(action));
    return result;
}

inline QAction* item(const QMenu* menu, const QString& text) {
    for (QAction* action : menu->actions())
        if (shownText(action) == text) return action;
    return nullptr;
}

inline QMenu* submenu(const QMenu* menu, const QString& text) {
    QAction* action = item(menu, text);
    return action ? action->menu() : nullptr;
}

} // namespace tw::test
