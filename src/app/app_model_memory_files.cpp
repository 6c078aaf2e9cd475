// Loading memory files, the trial check and the save-panel hand-off.
#include "app/app_model.h"

#include "platform/file_checks.h"
#include "app/trial_outcome.h"
#include "platform/platform.h"

#include <QFileInfo>
#include <QPointer>
#include <QTimer>

#include <algorithm>
#include <filesystem>

namespace tw {

namespace {

constexpr qint64 memorySize = 2048;

std::optional<PendingSidecar> notesBeside(const QString& memoryPath) {
    const QString path =
        QString::fromStdString(ProgramDocument::sidecarPath(std::filesystem::path(memoryPath.toStdString())).string());
    const FileRead read = readFileUpTo(path, maximumNotesFileSize);
    if (!read.ok()) return std::nullopt;
    const auto bytes = std::span(reinterpret_cast<const uint8_t*>(read.data.constData()), size_t(read.data.size()));
    auto decoded = ProgramDocument::decode(bytes);
    if (auto* doc = std::get_if<ProgramDocument>(&decoded)) return PendingSidecar{std::move(*doc), path};
    return std::nullopt;
}

} // namespace

// Everything a trial check works on, copied on the main thread, and what it found.
struct AppModel::TrialCheck {
    uint64_t ticket = 0;
    std::vector<uint8_t> image;
    std::vector<uint8_t> firmware;
    QString firmwareID;
    int variant = 0;
    std::vector<int> images;
    QString source;
    QString extension;
    QString modelName;
    MemoryOrigin origin;
    uint64_t switchesEnded = 0;

    MemoryCheck check;
    std::vector<int> fitting;
};

void AppModel::openFile(const QString& path) { loadMemory(FileResult::file(path)); }

void AppModel::loadMemory(const FileResult& result) {
    if (!result.ok()) {
        setErrorMessage(result.error);
        return;
    }
    const QString path = *result.path;
    const QString name = QFileInfo(path).fileName();

    // Size and kind first: a FIFO must not block, a huge file must not be read.
    FileRead read = readFileOfSize(path, memorySize);
    if (!read.ok()) {
        const auto kind = read.error->kind;
        if (kind == FileReadError::Kind::cannotOpen || kind == FileReadError::Kind::readFailed)
            setErrorMessage(read.error->description);
        else
            setErrorMessage(QStringLiteral("“") + name +
                            QStringLiteral("” is not a calculator memory file (it must be exactly 2048 bytes)."));
        return;
    }

    memoryFileNameCandidate_ = name;
    pendingSidecar_ = notesBeside(path);
    trialLoad(std::vector<uint8_t>(read.data.begin(), read.data.end()),
              QStringLiteral("“") + name + QStringLiteral("”"), QFileInfo(name).suffix().toLower());
}

void AppModel::trialLoad(std::vector<uint8_t> image, const QString& source, const QString& extension) {
    // The file looked at now: its name and notes go with its image.
    trialLoad(std::move(image), source, extension, MemoryOrigin{memoryFileNameCandidate_, pendingSidecar_});
}

void AppModel::trialLoad(std::vector<uint8_t> image, const QString& source, const QString& extension,
                         MemoryOrigin origin) {
    auto check = std::make_shared<TrialCheck>();
    check->ticket = ++trialTicket_;
    check->image = std::move(image);
    check->firmware = firmwareData_;
    check->firmwareID = firmwareID_;
    check->variant = snapshot_.variant;
    check->images = images_;
    check->source = source;
    check->extension = extension;
    check->modelName = modelName();
    check->origin = std::move(origin);
    check->switchesEnded = switchesEnded_;

    QPointer<AppModel> weak(this);
    MainThreadExecutor mainThread = platform_.mainExecutor();
    runOnWorkerThread([check, weak, mainThread] {
        check->check = CalculatorMachine::checkMemory(check->image, check->firmware, check->variant);
        if (check->check.kind != MemoryCheck::Kind::fits) {
            std::vector<int> others;
            std::copy_if(check->images.begin(), check->images.end(), std::back_inserter(others),
                         [&](int v) { return v != check->variant; });
            check->fitting = CalculatorMachine::fittingVariants(check->image, check->firmware, others);
        }
        mainThread([check, weak] {
            if (weak) weak->finishTrialLoad(*check);
        });
    });
}

void AppModel::finishTrialLoad(const TrialCheck& check) {
    // A newer check makes this answer moot.
    if (check.ticket != trialTicket_) return;
    // The model is being switched: the check runs again once the switch has ended.
    if (isSwitchingModel_) {
        interruptedTrial_ = std::make_shared<const TrialCheck>(check);
        return;
    }
    // Checked against a firmware or model that no longer runs (a new start, a switch
    // since, or the first display of a start not yet in): check again against the one
    // that does.
    if (check.firmwareID != firmwareID_ || check.variant != snapshot_.variant ||
        check.switchesEnded != switchesEnded_) {
        trialLoad(check.image, check.source, check.extension, check.origin);
        return;
    }
    TrialOutcome outcome =
        trialOutcome(check.image, check.source, check.modelName, check.check, check.fitting, check.extension);
    if (auto* action = std::get_if<PendingAction>(&outcome)) {
        action->origin = check.origin;
        setPendingAction(std::move(*action));
    } else {
        setErrorMessage(std::get<QString>(outcome));
    }
}

void AppModel::modelSwitchEnded() {
    setIsSwitchingModel(false);
    ++switchesEnded_;
    std::shared_ptr<const TrialCheck> interrupted = std::move(interruptedTrial_);
    interruptedTrial_.reset();
    if (interrupted && interrupted->ticket == trialTicket_)
        trialLoad(interrupted->image, interrupted->source, interrupted->extension, interrupted->origin);
}

void AppModel::saveBackupFirst(const PendingAction& action) {
    const PendingAction then = action; // a copy: the dialog may hand in the very action cleared here
    setPendingAction(std::nullopt);
    requestMemoryExport(then);
}

void AppModel::saveMemoryFinished(EngineOutcome<SavedState> outcome) {
    saveMemoryFinished(std::move(outcome), exportType_, exportNameOverride_);
}

void AppModel::saveMemoryFinished(EngineOutcome<SavedState> outcome, UTType type, std::optional<QString> name,
                                  std::optional<AfterSave> afterSave) {
    if (!outcome.ok() || !outcome.value) {
        // No panel opens, and the action behind "Save Backup First…" goes with the
        // request: no later, unrelated save can carry it out.
        setErrorMessage(errorText(outcome.error));
        return;
    }
    offerExport({ExportKind::memory, type, std::move(name), MemoryFile{std::move(outcome.value->memory)},
                 std::move(afterSave)});
}

void AppModel::offerExport(ExportHandOff handOff) {
    if (exportPanelShown_) {
        // The panel on screen keeps its document and completes with its own kind.
        waitingExports_.push_back(std::move(handOff));
        return;
    }
    exportKind_ = handOff.kind;
    setExportType(handOff.type);
    exportNameOverride_ = std::move(handOff.name);
    // The action belongs to this panel alone: whatever an earlier one left goes.
    afterExport_ = std::move(handOff.afterSave);
    ++exportOffers_;
    setExportDocument(std::move(handOff.document));
}

void AppModel::exportPanelOpened() {
    exportPanelShown_ = true;
    shownExportKind_ = exportKind_;
}

void AppModel::exportFinished(const FileResult& result) {
    setExportDocument(std::nullopt);
    exportNameOverride_.reset();
    const ExportKind kind = exportPanelShown_ ? shownExportKind_ : exportKind_;
    exportKind_ = ExportKind::memory;

    if (kind == ExportKind::memory) {
        std::optional<AfterSave> pending = std::move(afterExport_);
        afterExport_.reset();
        if (!result.ok()) {
            setErrorMessage(result.error);
            return;
        }
        // Another memory replaced the one backed up meanwhile: the backup does not
        // hold what the action would now replace, so the action is dropped.
        if (pending && pending->memory == memoryReplacements_) perform(pending->action);
        return;
    }
    if (!result.ok()) {
        setErrorMessage(result.error);
        return;
    }
    if (kind == ExportKind::notes) setProgramDocURL(*result.path);
}

void AppModel::exportPanelClosed() {
    const ExportKind closed = exportPanelShown_ ? shownExportKind_ : exportKind_;
    exportPanelShown_ = false;
    setExportDocument(std::nullopt);
    exportNameOverride_.reset();
    // Only the memory panel that "Save Backup First…" opened ends the wait for its
    // action; a completion that arrives within the second still finds the action,
    // unless the next panel, with its own action, has come meanwhile.
    if (afterExport_ && closed == ExportKind::memory) {
        QTimer::singleShot(1000, this, [this, offer = exportOffers_] {
            if (exportOffers_ == offer) afterExport_.reset();
        });
    }
    // A hand-off that arrived while the panel was shown comes next.
    if (!waitingExports_.empty()) {
        ExportHandOff next = std::move(waitingExports_.front());
        waitingExports_.pop_front();
        offerExport(std::move(next));
    }
}

} // namespace tw
