// The application's single state object behind every view and every user flow.
// Lives on the main thread; background work hands its results back to it there.
//
// Published fields: a getter, a setter that stores and then emits <field>Changed()
// on every assignment (also when the value does not change), and that signal.
// Plain fields: a getter; the flows change them.
#pragma once

#include "app/doc_font_store.h"
#include "app/doc_fonts.h"
#include "app/export_hand_off.h"
#include "app/export_kind.h"
#include "app/face_style.h"
#include "app/file_result.h"
#include "app/file_task.h"
#include "app/link_job_runner.h"
#include "app/firmware_store.h"
#include "app/memory_file.h"
#include "app/pending_action.h"
#include "app/pending_write.h"
#include "app/skin_choice.h"
#include "app/state_store.h"
#include "app/unsaved_at_quit.h"
#include "app/ut_type.h"
#include "core/wrapper/calculator_family.h"
#include "platform/platform.h"
#include "docexport/pdf_types.h"
#include "notes/program_document.h"
#include "notes/program_document_content.h"
#include "runtime/catalog/calculator_model.h"
#include "runtime/catalog/catalog_key.h"
#include "runtime/engine/calculator_engine.h"
#include "runtime/keys/key_chord.h"
#include "runtime/keys/key_latch.h"
#include "runtime/machine/calculator_machine.h"
#include "runtime/machine/saved_state.h"
#include "runtime/snapshot/inspector_snapshot.h"
#include "runtime/snapshot/program_line.h"

#include <QDateTime>
#include <QObject>
#include <QString>
#include <QStringList>

#include <atomic>
#include <cstdint>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <thread>
#include <vector>


namespace tw {

class CalculatorLink;

class AppModel : public QObject {
    Q_OBJECT

public:
    // The settings this object keeps.
    static constexpr const char* paperKey = "pdfPaper";
    static constexpr const char* showInspectorKey = "showInspector";
    static constexpr const char* skinKey = "skin";
    static constexpr const char* faceStyleKey = "faceStyle";

    // How long the main thread waits for the engine to hand over the state.
    static constexpr double stateWaitSeconds = 3.0;

    // Never starts the engine.
    explicit AppModel(Platform& platform, QObject* parent = nullptr);
    ~AppModel() override;

    AppModel(const AppModel&) = delete;
    AppModel& operator=(const AppModel&) = delete;

    Platform& platform() const { return platform_; }

    // ---- Published fields, in declaration order ----
    const EngineSnapshot& snapshot() const { return snapshot_; }
    void setSnapshot(EngineSnapshot v) { snapshot_ = std::move(v); emit snapshotChanged(); }
    bool isRunning() const { return isRunning_; }
    void setIsRunning(bool v) { isRunning_ = v; emit isRunningChanged(); }
    bool isStarting() const { return isStarting_; }
    void setIsStarting(bool v) { isStarting_ = v; emit isStartingChanged(); }
    const std::optional<QString>& firmwareName() const { return firmwareName_; }
    void setFirmwareName(std::optional<QString> v) { firmwareName_ = std::move(v); emit firmwareNameChanged(); }
    const QString& firmwareInfo() const { return firmwareInfo_; }
    void setFirmwareInfo(QString v) { firmwareInfo_ = std::move(v); emit firmwareInfoChanged(); }
    CalculatorFamily family() const { return family_; }
    void setFamily(CalculatorFamily v) { family_ = v; emit familyChanged(); }
    const std::set<int>& pressedKeys() const { return pressedKeys_; }
    void setPressedKeys(std::set<int> v) { pressedKeys_ = std::move(v); emit pressedKeysChanged(); }
    const std::set<int>& latchedKeys() const { return latchedKeys_; }
    void setLatchedKeys(std::set<int> v) { latchedKeys_ = std::move(v); emit latchedKeysChanged(); }
    const std::vector<int>& images() const { return images_; }
    void setImages(std::vector<int> v) { images_ = std::move(v); emit imagesChanged(); }
    bool isSwitchingModel() const { return isSwitchingModel_; }
    void setIsSwitchingModel(bool v) { isSwitchingModel_ = v; emit isSwitchingModelChanged(); }
    const std::optional<PendingAction>& pendingAction() const { return pendingAction_; }
    // Moving an action in, GCC 14 warns that its absent notes (an empty std::optional) "may be
    // used uninitialized": a false alarm, as an optional reads its value only when it has one.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif
    void setPendingAction(std::optional<PendingAction> v) {
        pendingAction_ = std::move(v);
        emit pendingActionChanged();
    }
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic pop
#endif
    const std::optional<QString>& errorMessage() const { return errorMessage_; }
    void setErrorMessage(std::optional<QString> v) { errorMessage_ = std::move(v); emit errorMessageChanged(); }
    const std::optional<QString>& notice() const { return notice_; }
    void setNotice(std::optional<QString> v) { notice_ = std::move(v); emit noticeChanged(); }
    FileTask importTask() const { return importTask_; }
    void setImportTask(FileTask v) { importTask_ = v; emit importTaskChanged(); }
    const DocFonts& docFonts() const { return docFonts_; }
    void setDocFonts(DocFonts v) { docFonts_ = std::move(v); emit docFontsChanged(); }
    bool showImporter() const { return showImporter_; }
    void setShowImporter(bool v) { showImporter_ = v; emit showImporterChanged(); }
    const std::optional<MemoryFile>& exportDocument() const { return exportDocument_; }
    void setExportDocument(std::optional<MemoryFile> v) {
        exportDocument_ = std::move(v);
        emit exportDocumentChanged();
    }
    UTType exportType() const { return exportType_; }
    void setExportType(UTType v) { exportType_ = v; emit exportTypeChanged(); }
    const ProgramDocument& programDoc() const { return programDoc_; }
    void setProgramDoc(ProgramDocument v); // remembers changed notes for the firmware
    // Changes the notes in place, as the sheet's fields do at every keystroke: the step
    // comments, which may be megabytes, must stay as they are, and are neither copied
    // nor compared. Emits programDocChanged and remembers the notes for the firmware.
    void changeProgramDocFields(const std::function<void(ProgramDocument&)>& change);
    const std::optional<QString>& programDocURL() const { return programDocURL_; }
    void setProgramDocURL(std::optional<QString> v) { programDocURL_ = std::move(v); emit programDocURLChanged(); }
    bool showProgramInfo() const { return showProgramInfo_; }
    void setShowProgramInfo(bool v) { showProgramInfo_ = v; emit showProgramInfoChanged(); }
    const std::vector<ProgramLine>& docLines() const { return docLines_; }
    void setDocLines(std::vector<ProgramLine> v) { docLines_ = std::move(v); emit docLinesChanged(); }
    const std::optional<int>& editingCommentStep() const { return editingCommentStep_; }
    void setEditingCommentStep(std::optional<int> v) { editingCommentStep_ = v; emit editingCommentStepChanged(); }
    PDFPaper paper() const { return paper_; }
    void setPaper(PDFPaper v); // writes the setting
    const std::optional<QString>& memoryFileName() const { return memoryFileName_; }
    void setMemoryFileName(std::optional<QString> v) { memoryFileName_ = std::move(v); emit memoryFileNameChanged(); }
    bool showAbout() const { return showAbout_; }
    void setShowAbout(bool v) { showAbout_ = v; emit showAboutChanged(); }
    const std::optional<QString>& linkStatus() const { return linkStatus_; }
    void setLinkStatus(std::optional<QString> v) { linkStatus_ = std::move(v); emit linkStatusChanged(); }
    const std::optional<PendingWrite>& pendingWrite() const { return pendingWrite_; }
    void setPendingWrite(std::optional<PendingWrite> v) { pendingWrite_ = std::move(v); emit pendingWriteChanged(); }
    bool showInspector() const { return showInspector_; }
    void setShowInspector(bool v); // writes the setting, tells the engine
    const std::optional<InspectorSnapshot>& inspection() const { return inspection_; }
    void setInspection(std::optional<InspectorSnapshot> v) { inspection_ = std::move(v); emit inspectionChanged(); }
    bool turbo() const { return turbo_; }
    void setTurbo(bool v); // tells the engine; not saved
    SkinChoice skin() const { return skin_; }
    void setSkin(SkinChoice v); // writes the setting
    FaceStyle faceStyle() const { return faceStyle_; }
    void setFaceStyle(FaceStyle v); // writes the setting

    // ---- Plain fields ----
    DocFontStore& docFontStore() { return docFontStore_; }
    ExportKind exportKind() const { return exportKind_; }
    const std::optional<PendingSidecar>& pendingSidecar() const { return pendingSidecar_; }
    const std::vector<std::string>& lastProgramKeys() const { return lastProgramKeys_; }
    const std::optional<QString>& memoryFileNameCandidate() const { return memoryFileNameCandidate_; }
    int linkTicket() const { return linkTicket_; }
    const std::optional<QString>& exportNameOverride() const { return exportNameOverride_; }
    FirmwareStore& firmwareStore() { return firmwareStore_; }
    StateStore& stateStore() { return stateStore_; }
    bool persistState() const { return persistState_; }
    CalculatorEngine* engine() const { return engine_.get(); }
    // The face latches keys on it directly and then applies the actions it answers.
    KeyLatch& latch() { return latch_; }
    const QString& firmwareID() const { return firmwareID_; }
    // The action waiting for the memory panel on screen to save its backup.
    std::optional<PendingAction> afterExport() const {
        return afterExport_ ? std::optional(afterExport_->action) : std::nullopt;
    }
    const std::vector<uint8_t>& firmwareData() const { return firmwareData_; }
    // Hand-offs that arrived while a save panel was shown, first to come first.
    const std::deque<ExportHandOff>& waitingExports() const { return waitingExports_; }

    // ---- Derived values ----
    // The keyboard in use: the forced skin, else the model the engine reports.
    const CalculatorModel& model() const;
    // "HP-" and the keyboard's short name, e.g. "HP-15C".
    QString modelName() const;
    // Width over height of the face.
    double faceAspectRatio() const;
    bool canSwitchModel() const;
    // "yyyy-MM-dd HH.mm.ss" in the fixed POSIX locale and the local time zone.
    static QString timestamp(const QDateTime& when = QDateTime::currentDateTime());
    // The text shown for an error: its own description, else a generic text.
    static QString errorText(std::exception_ptr error);

    // ---- Engine start, stop and saved state ----
    // Starts the engine on the firmware, restoring the state; returns at once.
    void start(const QString& name, std::vector<uint8_t> firmware, std::optional<SavedState> state);
    void stop();
    // The window's first appearance: the remembered firmware with its saved state.
    // False when no firmware is remembered (or one is already running or starting).
    bool startRememberedFirmware();
    // The open-file panel's firmware choice.
    void chooseFirmware(const FileResult& result);
    // Reads the state from the engine (waiting at most 3 s) and stores it.
    void saveState(bool turnBackOn);
    // On the engine thread: turns the calculator off and takes its state.
    static std::optional<SavedState> captureStateOnQuit(CalculatorMachine& machine);
    // The quit-time save: the capture above through the engine, then the store.
    // Answers why the state could not be written; it is then kept for saveOnQuitAgain().
    std::optional<WriteFailure> saveStateOnQuit();
    // Everything written at quit: the state (as above), then the settings with the
    // program notes, after a settings write under way. Answers what could not be written.
    UnsavedAtQuit saveOnQuit();
    // Writes again what saveOnQuit() could not write (after the user made room).
    UnsavedAtQuit saveOnQuitAgain();
    // Runs the continuation on the main thread with an inspection taken now on the
    // engine thread; without an engine nothing is sent and it never runs.
    void requestFreshInspection(std::function<void(std::optional<InspectorSnapshot>)> continuation);

    // ---- Keys and chords ----
    void apply(const KeyLatch::Actions& actions);
    void press(int code);
    void press(int code, KeyPart part);
    // A release from the keyboard or the face, through the latch.
    void release(int code);
    void sendChord(KeyChord chord);

    // ---- Model switching, memory reset and confirmed actions ----
    void switchModel(int variant, std::function<void()> then = {});
    void perform(const PendingAction& action);
    void saveMemoryToFile();
    // The reset commands of the menus: a fresh start without the saved state.
    void resetCalculator();

    // ---- Memory files and the trial check ----
    // A file handed to the application (command line, file manager): the memory-file road.
    void openFile(const QString& path);
    // "Save Backup First…": the action waits until the emulator's memory is saved.
    void saveBackupFirst(const PendingAction& action);
    void loadMemory(const FileResult& result);
    // `extension` is the file's own, lower-cased; empty for the calculator.
    void trialLoad(std::vector<uint8_t> image, const QString& source, const QString& extension = {});
    // The engine's state for saveMemoryToFile(), offered under the type and name chosen
    // when it was asked for (the one-argument form: those set now).
    void saveMemoryFinished(EngineOutcome<SavedState> outcome, UTType type, std::optional<QString> name,
                            std::optional<AfterSave> afterSave = std::nullopt);
    void saveMemoryFinished(EngineOutcome<SavedState> outcome);
    // Hands a document to the save panel: at once, or, while a panel is shown, once it closes.
    void offerExport(ExportHandOff handOff);
    // The view presents the save panel for `exportDocument`; it completes with the kind of now.
    void exportPanelOpened();
    void exportFinished(const FileResult& result);
    void exportPanelClosed();

    // ---- The real calculator ----
    // One USB job at a time on the link's own thread; the completion runs on the main thread.
    template <class T>
    void runLink(const QString& title, double timeoutSeconds, std::function<T(CalculatorLink&)> work,
                 std::function<void(EngineOutcome<T>)> completion);
    void readFromCalculator();
    void readCalculatorFinished(EngineOutcome<std::vector<uint8_t>> outcome);
    void saveCalculatorMemoryToFile();
    void writeToCalculator();
    void confirmWrite(const PendingWrite& write);
    // Writes the backup file and answers its path; throws when it cannot.
    QString backupCalculatorMemory(const std::vector<uint8_t>& image, std::optional<int> variant);
    void reportLinkError(std::exception_ptr error);
    // Later USB jobs talk through this transport, paced by this clock (tests hand in a
    // simulated calculator); the watchdog of every job.
    void useLinkTransport(LinkJobRunner::TransportFactory transports, LinkClock* clock = nullptr);
    void setLinkWatchdogSeconds(double seconds) { linkWatchdogSeconds_ = seconds; }
    // The quit path: waits for a running USB job, at most until its watchdog; true when idle.
    bool waitForLinkJob();

    // ---- Program notes ----
    void rememberProgramDoc();
    void restoreProgramDoc();
    void rematchNotesIfProgramChanged(const std::optional<InspectorSnapshot>& inspection);
    void memoryLoaded();
    void openProgramNotes(const FileResult& result);
    void applyOpenedNotes(const std::optional<InspectorSnapshot>& fresh, ProgramDocument doc, const QString& url);
    // Prepares the notes for the program-information sheet and shows it.
    void showProgramInfo(const std::optional<InspectorSnapshot>& fresh);
    void setStepComment(const QString& text, int step);
    void removeOrphanedComments();
    void saveProgramNotes();
    QString defaultNotesFileName() const;

    // ---- Documentation export and its fonts ----
    void exportDocumentation();
    void exportListing(const std::optional<InspectorSnapshot>& fresh);
    ProgramDocumentContent documentationContent(const InspectorSnapshot& inspection) const;
    void renderDocumentation(const InspectorSnapshot& inspection, PDFPaper paper);
    // On a background thread: reads the fonts afresh from where they were found, renders
    // and hands both back to the main thread.
    void renderDocumentationPDF(const ProgramDocumentContent& content, const DocFontLocations& fonts, PDFPaper paper,
                                const QString& name);
    void offerPDFExport(const QString& name, std::vector<uint8_t> data);
    void loadDocFonts();
    void useDocFonts(const FileResult& result);

signals:
    void snapshotChanged();
    void isRunningChanged();
    void isStartingChanged();
    void firmwareNameChanged();
    void firmwareInfoChanged();
    void familyChanged();
    void pressedKeysChanged();
    void latchedKeysChanged();
    void imagesChanged();
    void isSwitchingModelChanged();
    void pendingActionChanged();
    void errorMessageChanged();
    void noticeChanged();
    void importTaskChanged();
    void docFontsChanged();
    void showImporterChanged();
    void exportDocumentChanged();
    void exportTypeChanged();
    void programDocChanged();
    void programDocURLChanged();
    void showProgramInfoChanged();
    void docLinesChanged();
    void editingCommentStepChanged();
    void paperChanged();
    void memoryFileNameChanged();
    void showAboutChanged();
    void linkStatusChanged();
    void pendingWriteChanged();
    void showInspectorChanged();
    void inspectionChanged();
    void turboChanged();
    void skinChanged();
    void faceStyleChanged();

private:
    // Where a start's machine comes back to the main thread.
    struct StartResult;
    // A background thread of a start or a trial check; `done` is set as its last step.
    struct WorkerThread {
        std::thread thread;
        std::shared_ptr<std::atomic<bool>> done = std::make_shared<std::atomic<bool>>(false);
    };
    // Runs `work` on a thread of its own, joined once it has ended (or when the model goes).
    // Plain threads rather than a Qt thread pool: the hand-over of work to a pool thread
    // is hidden from ThreadSanitizer, a thread's start and join are not.
    void runOnWorkerThread(std::function<void()> work);
    void finishStart(uint64_t ticket, StartResult& result);
    void install(std::unique_ptr<CalculatorMachine> machine, const QString& name, bool turboAtStart);
    // Joins the worker threads that have ended (all of them when `all`).
    void joinWorkerThreads(bool all);
    // Appends one command to the engine's queue (under its lock) and wakes it.
    void sendToEngine(CalculatorEngine::Command command);
    // Writes a state through the store, after setting aside a memory that could not be
    // restored. Answers why it failed, if it did.
    std::optional<WriteFailure> storeState(const SavedState& state);
    // Remembers the notes when only fields other than the step comments changed.
    void rememberProgramDocFields();

    Platform& platform_;
    // Hands work to the main thread from any thread. Work that comes back from a
    // background thread captures a QPointer to this object and does nothing once it is gone.
    MainThreadExecutor main_;

    // Published fields, in declaration order.
    EngineSnapshot snapshot_{};
    bool isRunning_ = false;
    bool isStarting_ = false;
    std::optional<QString> firmwareName_;
    QString firmwareInfo_;
    CalculatorFamily family_ = CalculatorFamily::none;
    std::set<int> pressedKeys_;
    std::set<int> latchedKeys_;
    std::vector<int> images_;
    bool isSwitchingModel_ = false;
    std::optional<PendingAction> pendingAction_;
    std::optional<QString> errorMessage_;
    std::optional<QString> notice_;
    FileTask importTask_ = FileTask::firmware;
    DocFontStore docFontStore_;
    DocFonts docFonts_;
    bool showImporter_ = false;
    std::optional<MemoryFile> exportDocument_;
    UTType exportType_ = UTType::memory16c;
    ExportKind exportKind_ = ExportKind::memory;
    ProgramDocument programDoc_;
    // The step comments as the notes were last remembered, shared with the settings'
    // writer, so that a change of another field does not copy them again.
    std::shared_ptr<const std::vector<StepComment>> rememberedComments_;
    std::optional<QString> programDocURL_;
    bool showProgramInfo_ = false;
    std::vector<ProgramLine> docLines_;
    std::optional<int> editingCommentStep_;
    PDFPaper paper_ = PDFPaper::a4;
    std::optional<QString> memoryFileName_;
    std::optional<PendingSidecar> pendingSidecar_;
    std::vector<std::string> lastProgramKeys_;
    std::optional<QString> memoryFileNameCandidate_;
    bool showAbout_ = false;
    std::optional<QString> linkStatus_;
    std::optional<PendingWrite> pendingWrite_;
    int linkTicket_ = 0;
    std::optional<QString> exportNameOverride_;
    bool showInspector_ = false;
    std::optional<InspectorSnapshot> inspection_;
    bool turbo_ = false;
    SkinChoice skin_ = SkinChoice::automatic;
    FaceStyle faceStyle_ = FaceStyle::photo;
    FirmwareStore firmwareStore_;
    StateStore stateStore_;
    bool persistState_ = true;
    std::unique_ptr<CalculatorEngine> engine_;
    KeyLatch latch_;
    QString firmwareID_;
    std::optional<AfterSave> afterExport_;
    std::vector<uint8_t> firmwareData_;

    // The newest start; a start's result is used only while it is the newest.
    uint64_t startTicket_ = 0;
    // The identity whose saved files must be set aside before the next save (a
    // memory that could not be restored); empty when none.
    QString setAsideBeforeSave_;
    // The state taken at quit that could not be written yet.
    std::optional<SavedState> unsavedQuitState_;
    std::vector<std::unique_ptr<WorkerThread>> workerThreads_;

    // Memory loads and trial checks.
    struct TrialCheck;
    void trialLoad(std::vector<uint8_t> image, const QString& source, const QString& extension, MemoryOrigin origin);
    void loadIntoEngine(const std::vector<uint8_t>& image, MemoryOrigin origin);
    // Asks the engine for its memory for the save panel, with the action to carry out once it is saved.
    void requestMemoryExport(std::optional<PendingAction> then);
    // Counts the replacements of the emulator's memory (loads, switches, resets, starts):
    // a backup taken before one no longer holds what its action would replace.
    uint64_t memoryReplacements_ = 0;
    void finishTrialLoad(const TrialCheck& check);
    // Ends a model switch; a trial check it interrupted runs again on the model now running.
    void modelSwitchEnded();
    // The newest trial check; an older one's result is dropped.
    uint64_t trialTicket_ = 0;
    // Model switches ended so far: a check that saw one end (or start) runs again.
    uint64_t switchesEnded_ = 0;
    // A check whose answer came during a switch, to run again when the switch ends.
    std::shared_ptr<const TrialCheck> interruptedTrial_;

    // The save panel on screen and the kind it was opened for; hand-offs meanwhile wait.
    bool exportPanelShown_ = false;
    ExportKind shownExportKind_ = ExportKind::memory;
    // Counts the documents handed to the panel, so that a late clearing of one panel's
    // action leaves the next panel's alone.
    uint64_t exportOffers_ = 0;
    std::deque<ExportHandOff> waitingExports_;

    // The real calculator: the link's worker thread, made on first use.
    LinkJobRunner& linkRunner();
    void backUpThenAskToWrite(std::vector<uint8_t> memory, int variant);
    std::unique_ptr<LinkJobRunner> linkRunner_;
    LinkJobRunner::TransportFactory linkTransports_;
    LinkClock* linkClock_ = nullptr;
    double linkWatchdogSeconds_ = 25.0;
};

} // namespace tw
