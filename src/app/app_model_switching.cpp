// Model switching, memory reset, confirmed actions and saving the memory to a file.
#include "app/app_model.h"

#include "app/document_types.h"
#include "app/overloaded.h"
#include "core/wrapper/calculator_error.h"
#include "core/wrapper/orvane_calculator.h"

#include <QFileInfo>
#include <QPointer>

namespace tw {

void AppModel::switchModel(int variant, std::function<void()> then) {
    if (!engine_) return;
    apply(latch_.releaseAll());
    ++memoryReplacements_;
    setIsSwitchingModel(true);
    // The face follows the new model.
    if (skin_ != SkinChoice::automatic) setSkin(SkinChoice::automatic);

    QPointer<AppModel> weak(this);
    sendToEngine(CalculatorEngine::Command::SwitchModel{
        variant, [weak, then = std::move(then)](EngineOutcome<int> outcome) {
            if (!weak) return;
            weak->modelSwitchEnded();
            if (!outcome.ok()) {
                weak->setErrorMessage(errorText(outcome.error));
                return;
            }
            if (weak->persistState_) weak->saveState(true);
            if (then) then();
        }});
}

void AppModel::perform(const PendingAction& confirmed) {
    // A copy first: the dialog hands in the very action that is cleared here.
    const PendingAction action = confirmed;
    // The dialog's action is answered; another one shown meanwhile (a file handed in
    // while a backup was being saved or a model switched) still waits for its own answer.
    if (pendingAction_ == action) setPendingAction(std::nullopt);
    std::visit(Overloaded{
                   [this](const PendingAction::SwitchModel& a) { switchModel(a.variant); },
                   [&](const PendingAction::LoadMemory& a) { loadIntoEngine(a.data, action.origin); },
                   [&](const PendingAction::LoadMemoryAnyway& a) { loadIntoEngine(a.data, action.origin); },
                   [&](const PendingAction::SwitchThenLoad& a) {
                       // The load waits for a switch that succeeded.
                       QPointer<AppModel> weak(this);
                       switchModel(a.variant, [weak, data = a.data, origin = action.origin] {
                           if (weak) weak->perform(PendingAction::loadMemory(data, QString(), origin));
                       });
                   },
                   [this](const PendingAction::MemoryReset&) {
                       apply(latch_.releaseAll());
                       if (!engine_) return;
                       ++memoryReplacements_;
                       sendToEngine(CalculatorEngine::Command::PlayChord{KeyChord(KeyChord::memoryReset)});
                   },
               },
               action.value);
}

void AppModel::loadIntoEngine(const std::vector<uint8_t>& image, MemoryOrigin origin) {
    if (!engine_) return;
    // The engine lets go of every key before it loads; the face must not go on showing them.
    apply(latch_.releaseAll());
    ++memoryReplacements_;
    QPointer<AppModel> weak(this);
    sendToEngine(CalculatorEngine::Command::LoadMemory{
        image, [weak, origin = std::move(origin)](std::exception_ptr error) {
            if (!weak) return;
            if (error) {
                weak->setErrorMessage(errorText(error));
                return;
            }
            // This image's own name and notes, whatever file was looked at since.
            weak->memoryFileNameCandidate_ = origin.fileName;
            weak->pendingSidecar_ = origin.sidecar;
            weak->memoryLoaded();
        }});
}

void AppModel::saveMemoryToFile() { requestMemoryExport(std::nullopt); }

void AppModel::requestMemoryExport(std::optional<PendingAction> then) {
    std::optional<QString> name =
        memoryFileName_ ? std::optional(QFileInfo(*memoryFileName_).completeBaseName()) : std::nullopt;
    const UTType type = memoryType(model().id);
    // A save panel on screen keeps its own kind, type and name; this memory waits for it.
    if (!exportPanelShown_) {
        exportNameOverride_ = name;
        exportKind_ = ExportKind::memory;
        setExportType(type);
    }
    if (!engine_) return;
    // Reading the memory lets go of every key in the engine.
    apply(latch_.releaseAll());
    // The backup holds the memory of now: a replacement before it is saved drops the action.
    std::optional<AfterSave> afterSave =
        then ? std::optional(AfterSave{std::move(*then), memoryReplacements_}) : std::nullopt;
    QPointer<AppModel> weak(this);
    sendToEngine(CalculatorEngine::Command::SaveState{
        [weak, type, name, afterSave = std::move(afterSave)](EngineOutcome<SavedState> outcome) mutable {
            if (weak) weak->saveMemoryFinished(std::move(outcome), type, name, std::move(afterSave));
        }});
}

void AppModel::resetCalculator() {
    stop();
    // The saved state goes only once the restart is sure to have a firmware to run:
    // an unreadable or refused firmware file must not cost the user's memory.
    auto firmware = firmwareStore_.load();
    if (!firmware) return;
    try {
        OrvaneCalculator probe;
        probe.loadFirmware(firmware->second);
    } catch (const CalculatorError& error) {
        setErrorMessage(QString::fromStdString(error.what()));
        return;
    }
    stateStore_.clear(firmwareID_);
    start(firmware->first, std::move(firmware->second), std::nullopt);
}

} // namespace tw
