// Starting and stopping the engine, choosing the firmware and saving the state.
#include "app/app_model.h"
#include "platform/file_checks.h"

#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QThread>

#include <atomic>
#include <thread>

namespace tw {

namespace {
constexpr const char* couldNotSwitchBack = "Could not switch the firmware back to the model the memory was saved from.";
}

struct AppModel::StartResult {
    std::unique_ptr<CalculatorMachine> machine;
    std::optional<std::string> notice;
    std::exception_ptr error;
    QString name;
    bool turbo = false;
};

AppModel::~AppModel() {
    // The engine thread and the worker threads end before the fields they report to.
    stop();
    joinWorkerThreads(true);
}

void AppModel::start(const QString& name, std::vector<uint8_t> firmware, std::optional<SavedState> state) {
    stop();
    ++memoryReplacements_; // a backup asked for before holds the memory of another run
    setIsStarting(true);
    const bool turboAtStart = turbo_;
    // Only the newest start may install its engine, whichever finishes first.
    const uint64_t ticket = ++startTicket_;

    QPointer<AppModel> self(this);
    runOnWorkerThread([self, ticket, name, turboAtStart, main = main_, firmware = std::move(firmware),
                       state = std::move(state)] {
        auto result = std::make_shared<StartResult>();
        result->name = name;
        result->turbo = turboAtStart;
        try {
            auto machine = std::make_unique<CalculatorMachine>();
            machine->load(firmware);
            result->notice = machine->start(state);
            result->machine = std::move(machine);
        } catch (...) {
            result->error = std::current_exception();
        }
        main([self, ticket, result] {
            if (self) self->finishStart(ticket, *result);
        });
    });
}

void AppModel::runOnWorkerThread(std::function<void()> work) {
    joinWorkerThreads(false);
    auto worker = std::make_unique<WorkerThread>();
    worker->thread = std::thread([work = std::move(work), done = worker->done] {
        work();
        done->store(true);
    });
    workerThreads_.push_back(std::move(worker));
}

void AppModel::joinWorkerThreads(bool all) {
    std::erase_if(workerThreads_, [all](const std::unique_ptr<WorkerThread>& t) {
        if (!all && !t->done->load()) return false;
        if (t->thread.joinable()) t->thread.join();
        return true;
    });
}

void AppModel::finishStart(uint64_t ticket, StartResult& result) {
    Q_ASSERT(QThread::currentThread() == thread());
    // A start asked for later replaces this one: its machine is dropped unseen.
    if (ticket != startTicket_) return;
    setIsStarting(false);
    if (result.error || !result.machine) {
        setErrorMessage(errorText(result.error));
        return;
    }
    setNotice(result.notice ? std::optional(QString::fromStdString(*result.notice)) : std::nullopt);
    // The memory that could not be restored stays in its file until the first save,
    // which keeps it under another name instead of overwriting it.
    setAsideBeforeSave_ = result.notice && *result.notice == couldNotSwitchBack
                              ? QString::fromStdString(result.machine->firmwareID())
                              : QString();
    install(std::move(result.machine), result.name, result.turbo);
}

void AppModel::install(std::unique_ptr<CalculatorMachine> machine, const QString& name, bool turboAtStart) {
    stop();
    setFirmwareName(name);
    setFirmwareInfo(QString::fromStdString(machine->calculator().firmwareDescription()));
    setFamily(machine->family());
    setImages(machine->images());
    firmwareID_ = QString::fromStdString(machine->firmwareID());
    firmwareData_ = machine->firmwareData();
    restoreProgramDoc();

    auto engine = std::make_unique<CalculatorEngine>(std::move(machine), main_);
    QPointer<AppModel> self(this);
    auto& callbacks = engine->callbacks();
    callbacks.onSnapshot = [self](const EngineSnapshot& s) {
        if (self) self->setSnapshot(s);
    };
    callbacks.onFault = [self](const std::string& text) {
        if (self) self->setErrorMessage(QString::fromStdString(text));
    };
    callbacks.onInspector = [self](const std::optional<InspectorSnapshot>& inspection) {
        if (!self) return;
        self->setInspection(inspection);
        self->rematchNotesIfProgramChanged(inspection);
    };
    engine->send(CalculatorEngine::Command::SetInspector{showInspector_});
    engine->send(CalculatorEngine::Command::SetTurbo{turboAtStart});
    engine_ = std::move(engine);
    engine_->start();
    setIsRunning(true);
}

void AppModel::stop() {
    if (engine_) {
        engine_->stop();
        engine_.reset(); // waits for the engine thread to end
    }
    setIsRunning(false);
    setPressedKeys({});
    setLatchedKeys({});
    latch_ = KeyLatch{};
    setInspection(std::nullopt);
}

bool AppModel::startRememberedFirmware() {
    if (engine_ || isStarting_) return false;
    auto firmware = firmwareStore_.load();
    if (!firmware) return false;
    const QString id = QString::fromStdString(sha256Hex(firmware->second));
    start(firmware->first, std::move(firmware->second), stateStore_.load(id));
    return true;
}

void AppModel::chooseFirmware(const FileResult& result) {
    if (!result.ok()) {
        setErrorMessage(result.error);
        return;
    }
    const QString path = *result.path;
    const QString name = QFileInfo(path).fileName();
    // Kind and size before reading: a FIFO must not block the main thread, a huge
    // file must not fill memory. Anything that is no regular file of a firmware's
    // size goes to the probe empty, which refuses it with the core's own words.
    const FileRead read = readFileUpTo(path, maximumFirmwareFileSize);
    if (read.error && (read.error->kind == FileReadError::Kind::cannotOpen ||
                       read.error->kind == FileReadError::Kind::readFailed)) {
        setErrorMessage(read.error->description);
        return;
    }
    std::vector<uint8_t> firmware(read.data.begin(), read.data.end());
    try {
        OrvaneCalculator probe;
        probe.loadFirmware(firmware);
    } catch (...) {
        setErrorMessage(errorText(std::current_exception()));
        return;
    }
    platform_.setSetting(firmwareStore_.bookmarkKey(), Platform::fileReference(path));
    platform_.setSetting(firmwareStore_.nameKey(), name);

    saveState(false);
    const QString id = QString::fromStdString(sha256Hex(firmware));
    start(name, std::move(firmware), stateStore_.load(id));
}

void AppModel::saveState(bool turnBackOn) {
    if (!engine_) return;
    // Reading the state lets go of every key in the engine.
    apply(latch_.releaseAll());
    // A read that fails gives no value; the engine reports a fault of the chip itself.
    std::optional<SavedState> state = engine_->performAndWait(
        stateWaitSeconds, [turnBackOn](CalculatorMachine& m) { return m.savedState(turnBackOn); });
    if (state && persistState_) storeState(*state);
}

std::optional<SavedState> AppModel::captureStateOnQuit(CalculatorMachine& machine) {
    try {
        // Every key goes up and is seen up first: an ON press with a key down is a chord.
        machine.settleKeys();
        for (int i = 0; i < 3 && !machine.isDisplayBlank(); ++i) {
            machine.coreTap(CalculatorMachine::keyON);
            machine.run(500);
        }
        SavedState state;
        state.memory = machine.calculator().readMemory();
        state.variant = machine.calculator().modelCode();
        state.firmwareID = machine.firmwareID();
        return state;
    } catch (...) {
        return std::nullopt;
    }
}

std::optional<WriteFailure> AppModel::saveStateOnQuit() {
    if (!engine_) return std::nullopt;
    auto captured = engine_->performAndWait(stateWaitSeconds, &AppModel::captureStateOnQuit);
    if (!captured || !*captured || !persistState_) return std::nullopt;
    auto failure = storeState(**captured);
    unsavedQuitState_ = failure ? *captured : std::nullopt;
    return failure;
}

std::optional<WriteFailure> AppModel::storeState(const SavedState& state) {
    if (!setAsideBeforeSave_.isEmpty()) {
        stateStore_.setAside(setAsideBeforeSave_);
        setAsideBeforeSave_.clear();
    }
    return stateStore_.save(state);
}

void AppModel::requestFreshInspection(std::function<void(std::optional<InspectorSnapshot>)> continuation) {
    if (!engine_) return;
    QPointer<AppModel> self(this);
    sendToEngine(CalculatorEngine::Command::Perform{
        [self, main = main_, continuation = std::move(continuation)](CalculatorMachine& machine) {
            // The machine as it is: keys typed before are in, keys still held (latched
            // on the face) stay down, so that a later ON still makes their chord.
            machine.settleReleasedKeys();
            std::optional<InspectorSnapshot> inspection = machine.inspect();
            main([self, continuation, inspection = std::move(inspection)] {
                if (self && continuation) continuation(inspection);
            });
        }});
}

void AppModel::sendToEngine(CalculatorEngine::Command command) {
    if (engine_) engine_->send(std::move(command));
}

} // namespace tw
