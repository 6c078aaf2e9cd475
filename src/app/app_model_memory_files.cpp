// Loading memory files, the trial check and the save-panel hand-off.
#include "app/app_model.h"

#include "app/file_checks.h"
#include "app/trial_outcome.h"
#include "platform/platform.h"

#include <QFileInfo>
#include <QPointer>
#include <QThreadPool>
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
    QString modelName;

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
    trialLoad(std::vector<uint8_t>(read.data.begin(), read.data.end()), QStringLiteral("“") + name + QStringLiteral("”"));
}

void AppModel::trialLoad(std::vector<uint8_t> image, const QString& source) {
    auto check = std::make_shared<TrialCheck>();
    check->ticket = ++trialTicket_;
    check->image = std::move(image);
    check->firmware = firmwareData_;
    check->firmwareID = firmwareID_;
    check->variant = snapshot_.variant;
    check->images = images_;
    check->source = source;
    check->modelName = modelName();

    if (!trialPool_) trialPool_ = new QThreadPool(this); // waits for its checks when the model goes
    QPointer<AppModel> weak(this);
    MainThreadExecutor mainThread = platform_.mainExecutor();
    trialPool_->start([check, weak, mainThread] {
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
    // A newer check (or a model switch since) makes this answer moot.
    if (check.ticket != trialTicket_) return;
    // Checked against a firmware or model that no longer runs (a new start, or the
    // first display of a start not yet in): check again against the one that does.
    if (check.firmwareID != firmwareID_ || check.variant != snapshot_.variant) {
        trialLoad(check.image, check.source);
        return;
    }
    TrialOutcome outcome = trialOutcome(check.image, check.source, check.modelName, check.check, check.fitting);
    if (auto* action = std::get_if<PendingAction>(&outcome))
        setPendingAction(std::move(*action));
    else
        setErrorMessage(std::get<QString>(outcome));
}

void AppModel::saveBackupFirst(const PendingAction& action) {
    afterExport_ = action; // before the dialog's action, which may be this one, is cleared
    setPendingAction(std::nullopt);
    saveMemoryToFile();
}

void AppModel::saveMemoryFinished(EngineOutcome<SavedState> outcome) {
    if (!outcome.ok() || !outcome.value) {
        // No panel opens: the action behind "Save Backup First…" must not wait for
        // some later, unrelated save to carry it out.
        afterExport_.reset();
        setErrorMessage(errorText(outcome.error));
        return;
    }
    setExportDocument(MemoryFile{std::move(outcome.value->memory)});
}

void AppModel::exportFinished(const FileResult& result) {
    setExportDocument(std::nullopt);
    exportNameOverride_.reset();
    const ExportKind kind = exportKind_;
    exportKind_ = ExportKind::memory;

    if (kind == ExportKind::memory) {
        std::optional<PendingAction> pending = std::move(afterExport_);
        afterExport_.reset();
        if (!result.ok()) {
            setErrorMessage(result.error);
            return;
        }
        if (pending) perform(*pending);
        return;
    }
    if (!result.ok()) {
        setErrorMessage(result.error);
        return;
    }
    if (kind == ExportKind::notes) setProgramDocURL(*result.path);
}

void AppModel::exportPanelClosed() {
    setExportDocument(std::nullopt);
    exportNameOverride_.reset();
    if (!afterExport_) return;
    // A completion that arrives within the second still finds the action.
    QTimer::singleShot(1000, this, [this] { afterExport_.reset(); });
}

} // namespace tw
