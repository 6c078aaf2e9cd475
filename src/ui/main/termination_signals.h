// SIGTERM, SIGINT and SIGHUP turned into an ordinary quit of the application, so
// that the quit-time save runs for a logout, a `kill` or Ctrl+C in a terminal.
// The handler only writes the signal's number into a pipe; the main thread reads
// it through a socket notifier and does the work there.
#pragma once

#include <QObject>
#include <QSocketNotifier>

#include <memory>

namespace tw {

class TerminationSignals : public QObject {
    Q_OBJECT
public:
    // Installs the handlers; one object per process. Restores the previous
    // handlers when destroyed.
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;

    bool installed() const { return notifier_ != nullptr; }

signals:
    // On the main thread, once per signal delivered.
    void received(int signalNumber);

private:
    void drain();

    std::unique_ptr<QSocketNotifier> notifier_;
};

} // namespace tw
