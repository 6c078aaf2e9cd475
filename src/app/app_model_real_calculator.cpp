// Reading and writing the real calculator over USB.
#include "app/app_model.h"

#include "app/calculator_backup.h"
#include "usblink/calculator_link.h"

#include <QFileInfo>
#include <QPointer>

#include <algorithm>
#include <cmath>
#include <mutex>

namespace tw {

namespace {

using Image = std::vector<uint8_t>;

const QString readingCalculator = QStringLiteral("Reading the calculator's memory…");
const QString readingEmulator = QStringLiteral("Reading the emulator's memory…");
const QString backingUp = QStringLiteral("Backing up the calculator's memory…");
const QString writing = QStringLiteral("Writing to the calculator…");
constexpr double pauseAfterWrite = 5.0;

Image readCalculator(CalculatorLink& link) {
    return link.session([&] { return link.readMemory(); });
}

UTType memoryType(int model) {
    return model == 15 ? UTType::memory15c : model == 12 ? UTType::memory12c : UTType::memory16c;
}

std::optional<int> firstVariant(const std::vector<int>& variants) {
    return variants.empty() ? std::nullopt : std::optional(variants.front());
}

// Whether the calculator still holds, in the part that a write replaces, the memory
// that was backed up.
bool holdsBackedUpMemory(const Image& current, const Image& backedUp) {
    constexpr auto begin = std::ptrdiff_t(CalculatorLink::writableBegin);
    constexpr auto end = std::ptrdiff_t(CalculatorLink::writableEnd);
    return current.size() == CalculatorLink::memorySize && backedUp.size() == CalculatorLink::memorySize &&
           std::equal(current.begin() + begin, current.begin() + end, backedUp.begin() + begin);
}

// "HP-15C" for 150 and 152, "HP-16C", "HP-12C".
QString runningModelName(int variant) {
    std::string label = CalculatorMachine::variantLabel(variant);
    if (const auto cut = label.find(" ("); cut != std::string::npos) label.resize(cut);
    return QStringLiteral("HP-") + QString::fromStdString(label);
}

QString previousMemorySentence(const QString& backup) {
    return QStringLiteral(" The calculator's previous memory is in “") + QFileInfo(backup).fileName() +
           QStringLiteral("”.");
}

// The backup that a write's failure names: the one made before the confirmation,
// or a fresh one when the calculator turned out to hold something else by then.
// Written on the link's thread, read on the main thread.
struct WriteBackup {
    std::mutex mutex;
    QString path;
    QString get() {
        std::lock_guard lock(mutex);
        return path;
    }
    void set(QString p) {
        std::lock_guard lock(mutex);
        path = std::move(p);
    }
};

} // namespace

LinkJobRunner& AppModel::linkRunner() {
    if (!linkRunner_) {
        linkRunner_ = std::make_unique<LinkJobRunner>(main_, linkTransports_, linkClock_);
        linkRunner_->statusChanged = [this](const std::optional<std::string>& status) {
            linkTicket_ = linkRunner_->ticket();
            setLinkStatus(status ? std::optional(QString::fromStdString(*status)) : std::nullopt);
        };
    }
    return *linkRunner_;
}

void AppModel::useLinkTransport(LinkJobRunner::TransportFactory transports, LinkClock* clock) {
    if (linkRunner_) linkRunner_->waitUntilIdle();
    linkRunner_.reset();
    linkTransports_ = std::move(transports);
    linkClock_ = clock;
}

bool AppModel::waitForLinkJob() { return linkRunner_ ? linkRunner_->waitUntilIdle() : true; }

template <class T>
void AppModel::runLink(const QString& title, double timeoutSeconds, std::function<T(CalculatorLink&)> work,
                       std::function<void(EngineOutcome<T>)> completion) {
    linkRunner().run<T>(title.toStdString(), timeoutSeconds, std::move(work), std::move(completion));
}

template void AppModel::runLink<std::vector<uint8_t>>(const QString&, double,
                                                      std::function<std::vector<uint8_t>(CalculatorLink&)>,
                                                      std::function<void(EngineOutcome<std::vector<uint8_t>>)>);
template void AppModel::runLink<CalculatorBackup>(const QString&, double,
                                                  std::function<CalculatorBackup(CalculatorLink&)>,
                                                  std::function<void(EngineOutcome<CalculatorBackup>)>);

void AppModel::readFromCalculator() {
    if (!isRunning_ || linkStatus_) return;
    QPointer<AppModel> self(this);
    runLink<Image>(readingCalculator, linkWatchdogSeconds_, readCalculator, [self](EngineOutcome<Image> outcome) {
        if (self) self->readCalculatorFinished(std::move(outcome));
    });
}

void AppModel::readCalculatorFinished(EngineOutcome<std::vector<uint8_t>> outcome) {
    if (!outcome.ok() || !outcome.value) {
        reportLinkError(outcome.error);
        return;
    }
    // This memory comes from no file: once loaded it must not carry the name or the
    // notes file of a memory file whose load was offered earlier. An empty candidate
    // clears the name when the load succeeds.
    memoryFileNameCandidate_ = QString();
    pendingSidecar_.reset();
    trialLoad(std::move(*outcome.value), QStringLiteral("the calculator"));
}

void AppModel::saveCalculatorMemoryToFile() {
    if (linkStatus_) return;
    QPointer<AppModel> self(this);
    runLink<Image>(readingCalculator, linkWatchdogSeconds_, readCalculator, [self](EngineOutcome<Image> outcome) {
        if (!self) return;
        if (!outcome.ok() || !outcome.value) {
            self->reportLinkError(outcome.error);
            return;
        }
        self->offerExport({ExportKind::memory, memoryType(self->model().id),
                           QStringLiteral("Calculator memory ") + timestamp(), MemoryFile{std::move(*outcome.value)}});
    });
}

void AppModel::writeToCalculator() {
    if (!isRunning_ || linkStatus_ || !engine_) return;
    setLinkStatus(readingEmulator);
    // Reading the emulator's memory lets go of every key in the engine.
    apply(latch_.releaseAll());
    QPointer<AppModel> self(this);
    sendToEngine(CalculatorEngine::Command::SaveState{[self](EngineOutcome<SavedState> outcome) {
        if (!self) return;
        self->setLinkStatus(std::nullopt);
        if (!outcome.ok() || !outcome.value) {
            self->reportLinkError(outcome.error);
            return;
        }
        self->backUpThenAskToWrite(std::move(outcome.value->memory), outcome.value->variant);
    }});
}

void AppModel::backUpThenAskToWrite(std::vector<uint8_t> memory, int variant) {
    // The memory is the running model's, whatever face is shown: its name decides the
    // texts of the confirmation and whether the 15.2 setting goes with the write.
    const QString emulatorModel = runningModelName(variant);
    const std::vector<int> models = images_.empty() ? std::vector<int>{variant} : images_;
    const auto folders = calculatorBackupFolders(platform_);
    QPointer<AppModel> self(this);
    runLink<CalculatorBackup>(
        backingUp, linkWatchdogSeconds_,
        [firmware = firmwareData_, models, folders, memory](CalculatorLink& link) {
            Image calculator = readCalculator(link);
            CalculatorBackup result;
            result.variants = CalculatorMachine::fittingVariants(calculator, firmware, models);
            result.needs152 = CalculatorMachine::needsExtendedMemory(memory, firmware, models);
            result.backup = QString::fromStdString(
                writeCalculatorBackup(calculator, firstVariant(result.variants), folders, timestamp().toStdString())
                    .string());
            result.calculatorMemory = std::move(calculator);
            return result;
        },
        [self, memory, emulatorModel](EngineOutcome<CalculatorBackup> outcome) {
            if (!self) return;
            if (!outcome.ok() || !outcome.value) {
                self->reportLinkError(outcome.error);
                return;
            }
            PendingWrite write;
            write.memory = memory;
            write.emulatorModel = emulatorModel;
            write.calculatorModels = outcome.value->variants;
            write.backup = outcome.value->backup;
            write.needs152 = outcome.value->needs152;
            write.calculatorMemory = std::move(outcome.value->calculatorMemory);
            self->setPendingWrite(std::move(write));
        });
}

void AppModel::confirmWrite(const PendingWrite& confirmed) {
    // A copy first: the caller may hand in the very write that clearing drops.
    const PendingWrite write = confirmed;
    setPendingWrite(std::nullopt);
    const std::optional<bool> doubleMemory =
        write.emulatorModel == QLatin1String("HP-15C") ? std::optional(CalculatorLink::isDoubleMemory(write.memory))
                                                       : std::nullopt;
    const std::vector<int> models = images_.empty() ? std::vector<int>{snapshot_.variant} : images_;
    const auto folders = calculatorBackupFolders(platform_);
    auto backup = std::make_shared<WriteBackup>();
    backup->set(write.backup);
    LinkClock& clock = linkRunner().clock();
    const double watchdog = linkWatchdogSeconds_;

    QPointer<AppModel> self(this);
    linkRunner().run<bool>(
        writing.toStdString(), watchdog,
        [write, doubleMemory, firmware = firmwareData_, models, folders, backup, &clock](CalculatorLink& link) {
            // The confirmation may come long after the backup: another calculator may
            // be connected by now, or this one changed. Its memory is saved first then.
            Image current = readCalculator(link);
            if (!holdsBackedUpMemory(current, write.calculatorMemory)) {
                const auto variants = CalculatorMachine::fittingVariants(current, firmware, models);
                backup->set(QString::fromStdString(
                    writeCalculatorBackup(current, firstVariant(variants), folders, timestamp().toStdString())
                        .string()));
            }
            link.writeMemory(write.memory, doubleMemory);
            clock.sleep(pauseAfterWrite);
            return true;
        },
        [self, backup, model = write.emulatorModel](EngineOutcome<bool> outcome) {
            if (!self) return;
            if (!outcome.ok()) {
                self->setErrorMessage(errorText(outcome.error) + previousMemorySentence(backup->get()));
                return;
            }
            self->setNotice(QStringLiteral("Done: the ") + model +
                            QStringLiteral(" memory was written to the calculator, read back and compared: the "
                                           "registers and program memory match (the calculator kept its own "
                                           "USB-session state). Press ON on the calculator to leave USB mode, then "
                                           "ON again to use it."));
        },
        // The write goes on after the watchdog and may still succeed: it did not fail.
        [self, backup, watchdog] {
            if (!self) return;
            self->setErrorMessage(
                QStringLiteral("The calculator did not finish the write within %1 seconds, so whether it has the "
                               "new memory is unknown: the write may still complete. Wait a moment, then read the "
                               "calculator back with Read from Calculator to see what it holds.")
                    .arg(std::llround(watchdog)) +
                previousMemorySentence(backup->get()));
        });
}

QString AppModel::backupCalculatorMemory(const std::vector<uint8_t>& image, std::optional<int> variant) {
    return QString::fromStdString(
        writeCalculatorBackup(image, variant, calculatorBackupFolders(platform_), timestamp().toStdString()).string());
}

void AppModel::reportLinkError(std::exception_ptr error) { setErrorMessage(errorText(error)); }

} // namespace tw
