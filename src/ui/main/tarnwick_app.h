// The application's entry: one AppModel for the life of the process, one main
// window, one instance per user and settings store, files from the command line
// and from later starts, and the quit-time save.
#pragma once

#include <QObject>
#include <QStringList>

#include <functional>
#include <memory>

namespace tw {

class AppModel;
class MainWindow;
class PendingOpens;
class Platform;
class QuitSave;
class SingleInstance;

class TarnwickApp : public QObject {
    Q_OBJECT
public:
    // Needs the QApplication. `instance` (may be null) is already listening; the
    // files it receives from later starts join `files`.
    TarnwickApp(Platform& platform, SingleInstance* instance, const QStringList& files);
    ~TarnwickApp() override;

    AppModel& model() const { return *model_; }
    MainWindow& window() const { return *window_; }
    PendingOpens& opens() const { return *opens_; }
    QuitSave& quitSave() const { return *quitSave_; }

    // Shows the window; a later start's hand-over brings it forward again.
    void show();

private:
    std::unique_ptr<AppModel> model_; // outlives the window and its views
    std::unique_ptr<MainWindow> window_;
    PendingOpens* opens_;
    QuitSave* quitSave_;
};

struct EntryHooks {
    // After the QApplication exists and is named, before anything reads the settings.
    std::function<void()> beforeModel;
    // After the window was shown, before the event loop runs.
    std::function<void(TarnwickApp&)> ready;
};

// The whole program: runs until the application quits; answers the exit status.
int runTarnwick(int& argc, char** argv, const EntryHooks& hooks = {});

} // namespace tw
