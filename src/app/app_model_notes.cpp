// Program notes: remembered for each firmware, opened, saved and kept in step with the program.
#include "app/app_model.h"
#include "platform/file_checks.h"
#include "app/document_types.h"
#include "app/proposed_file_name.h"

#include <QFile>
#include <QFileInfo>
#include <QPointer>

#include <algorithm>
#include <utility>

namespace tw {

namespace {

QString settingKey(const QString& firmwareID) {
    return QStringLiteral("programDoc.") + (firmwareID.isEmpty() ? QStringLiteral("none") : firmwareID.left(16));
}

std::vector<std::string> keySequence(const std::vector<ProgramLine>& lines) {
    std::vector<std::string> keys;
    keys.reserve(lines.size());
    for (const ProgramLine& line : lines) keys.push_back(line.keys);
    return keys;
}

// A comment is out of place when its step is gone or now holds other keys.
bool anyCommentOutOfPlace(const ProgramDocument& doc, const std::vector<ProgramLine>& lines) {
    return std::any_of(doc.comments.begin(), doc.comments.end(), [&](const StepComment& comment) {
        const auto line = std::find_if(lines.begin(), lines.end(),
                                       [&](const ProgramLine& l) { return l.line == comment.step; });
        return line == lines.end() || line->keys != comment.keys;
    });
}

QString withoutExtension(const QString& fileName) {
    const int dot = fileName.lastIndexOf(QLatin1Char('.'));
    return dot > 0 ? fileName.left(dot) : fileName;
}

// Sizes in MiB as the user reads them: "16", "16.01". Rounded up, so that a size
// over a limit never reads as the limit.
QString mebibytes(qint64 bytes) {
    constexpr qint64 mebibyte = 1024 * 1024;
    if (bytes % mebibyte == 0) return QString::number(bytes / mebibyte);
    const qint64 hundredths = (bytes * 100 + mebibyte - 1) / mebibyte;
    return QString::number(hundredths / 100) + u'.' + QString::number(hundredths % 100).rightJustified(2, u'0');
}

QString modelNameOf(const EngineSnapshot& snapshot) {
    return QString::fromStdString(ProgramDocumentInfo::modelNameFor(snapshot.variant, snapshot.model));
}

} // namespace

void AppModel::rememberProgramDoc() {
    rememberedComments_.reset(); // the comments may have changed too
    rememberProgramDocFields();
}

void AppModel::rememberProgramDocFields() {
    if (!persistState_) return;
    if (!rememberedComments_)
        rememberedComments_ = std::make_shared<const std::vector<StepComment>>(programDoc_.comments);
    // Encoding large notes takes long: it happens when the settings are written,
    // once after the typing stops and away from the main thread, from a copy. The
    // copy shares the comments it last took, so a keystroke copies only the fields.
    std::vector<StepComment> comments = std::exchange(programDoc_.comments, {});
    ProgramDocument fields = programDoc_;
    programDoc_.comments = std::move(comments);
    platform_.setSettingLazily(settingKey(firmwareID_), [fields = std::move(fields), comments = rememberedComments_] {
        ProgramDocument doc = fields;
        doc.comments = *comments;
        const std::vector<uint8_t> data = doc.encoded();
        return QVariant(QByteArray(reinterpret_cast<const char*>(data.data()), qsizetype(data.size())));
    });
}

void AppModel::restoreProgramDoc() {
    if (!persistState_) return;
    const QByteArray data = platform_.setting(settingKey(firmwareID_)).toByteArray();
    if (data.isEmpty()) return;
    auto decoded = ProgramDocument::decode(
        std::span(reinterpret_cast<const uint8_t*>(data.constData()), std::size_t(data.size())));
    if (auto* doc = std::get_if<ProgramDocument>(&decoded)) setProgramDoc(std::move(*doc));
}

void AppModel::rematchNotesIfProgramChanged(const std::optional<InspectorSnapshot>& inspection) {
    if (!inspection || !inspection->hasProgram || inspection->program.empty()) return;
    std::vector<std::string> keys = keySequence(inspection->program);
    if (keys == lastProgramKeys_) return;
    const bool seenBefore = !lastProgramKeys_.empty();
    lastProgramKeys_ = std::move(keys);
    if (programDoc_.comments.empty()) return;
    if (!seenBefore && !anyCommentOutOfPlace(programDoc_, inspection->program)) return;
    ProgramDocument doc = programDoc_;
    doc.rematch(inspection->program);
    if (!(doc == programDoc_)) setProgramDoc(std::move(doc));
}

void AppModel::memoryLoaded() {
    if (memoryFileNameCandidate_) {
        // An empty candidate stands for a memory that came from no file.
        setMemoryFileName(memoryFileNameCandidate_->isEmpty() ? std::nullopt : memoryFileNameCandidate_);
        memoryFileNameCandidate_.reset();
    }
    lastProgramKeys_.clear();
    if (pendingSidecar_) {
        setProgramDoc(pendingSidecar_->doc);
        setProgramDocURL(pendingSidecar_->url);
    } else if (programDoc_.isEmpty() && memoryFileName_) {
        ProgramDocument doc = programDoc_;
        doc.title = withoutExtension(*memoryFileName_).toStdString();
        setProgramDoc(std::move(doc));
    }
    pendingSidecar_.reset();
}

void AppModel::openProgramNotes(const FileResult& result) {
    if (!result.ok()) {
        setErrorMessage(result.error);
        return;
    }
    const QString path = *result.path;
    const QString name = QFileInfo(path).fileName();
    // Kind and size before reading: a FIFO or a huge file is no notes file.
    const FileRead read = readFileUpTo(path, maximumNotesFileSize);
    std::optional<ProgramDocument> doc;
    if (read.ok()) {
        auto decoded = ProgramDocument::decode(
            std::span(reinterpret_cast<const uint8_t*>(read.data.constData()), std::size_t(read.data.size())));
        if (auto* d = std::get_if<ProgramDocument>(&decoded)) doc = std::move(*d);
    }
    if (read.error && read.error->kind == FileReadError::Kind::tooLarge) {
        setErrorMessage(QStringLiteral("“") + name + QStringLiteral("” is too large for a program notes file (at most ") +
                        mebibytes(maximumNotesFileSize) + QStringLiteral(" MiB)."));
        return;
    }
    if (!doc) {
        setErrorMessage(QStringLiteral("“") + name + QStringLiteral("” is not a Tarnwick program notes file."));
        return;
    }
    setProgramDocURL(path);
    if (engine_) {
        QPointer<AppModel> self(this);
        requestFreshInspection([self, doc = std::move(*doc), path](std::optional<InspectorSnapshot> fresh) {
            if (self) self->applyOpenedNotes(fresh, doc, path);
        });
    } else {
        lastProgramKeys_.clear();
        setProgramDoc(std::move(*doc));
    }
}

void AppModel::applyOpenedNotes(const std::optional<InspectorSnapshot>& fresh, ProgramDocument doc,
                                const QString& url) {
    if (fresh && fresh->hasProgram && !fresh->program.empty()) {
        const auto report = doc.rematch(fresh->program);
        if (report.orphaned > 0) {
            const auto n = report.orphaned;
            setNotice(QString::number(n) + QStringLiteral(" comment") + (n == 1 ? QString() : QStringLiteral("s")) +
                      QStringLiteral(" in “") + QFileInfo(url).fileName() +
                      QStringLiteral("” no longer match a step of the program in the calculator. They are kept and "
                                     "listed in Program Info."));
        }
    }
    lastProgramKeys_ = fresh ? keySequence(fresh->program) : std::vector<std::string>{};
    setProgramDoc(std::move(doc));
}

void AppModel::showProgramInfo(const std::optional<InspectorSnapshot>& fresh) {
    if (!fresh) return;
    setDocLines(fresh->hasProgram ? fresh->program : std::vector<ProgramLine>{});
    ProgramDocument doc = programDoc_;
    doc.rematch(docLines_);
    const ProgramAnalysis analysis(docLines_, fresh->model);
    doc.addMissingEntries(analysis.labels, analysis.registers, analysis.flags);
    if (doc.title.empty() && memoryFileName_) doc.title = withoutExtension(*memoryFileName_).toStdString();
    doc.model = modelNameOf(snapshot_).toStdString();
    setProgramDoc(std::move(doc));
    setShowProgramInfo(true);
}

void AppModel::setStepComment(const QString& text, int step) {
    const std::vector<ProgramLine>& lines = inspection_ ? inspection_->program : docLines_;
    ProgramDocument doc = programDoc_;
    (void)doc.setComment(text.toStdString(), step, lines); // an unknown step changes nothing
    setProgramDoc(std::move(doc));
}

void AppModel::removeOrphanedComments() {
    ProgramDocument doc = programDoc_;
    std::erase_if(doc.comments, [](const StepComment& c) { return c.orphaned; });
    setProgramDoc(std::move(doc));
}

void AppModel::saveProgramNotes() {
    std::vector<uint8_t> data;
    try {
        data = programDoc_.encoded();
    } catch (const std::exception& error) {
        setErrorMessage(QString::fromStdString(error.what()));
        return;
    }
    // A file beyond what opening reads could never be opened again: refused here,
    // rather than written and then turned away.
    if (qint64(data.size()) > maximumNotesFileSize) {
        setErrorMessage(QStringLiteral("The program notes are too large to save (") + mebibytes(qint64(data.size())) +
                        QStringLiteral(" MiB; a notes file holds at most ") + mebibytes(maximumNotesFileSize) +
                        QStringLiteral(" MiB). Shorten the description or the comments, then save again."));
        return;
    }
    offerExport({ExportKind::notes, UTType::programdoc,
                 programDocURL_ ? withoutExtension(QFileInfo(*programDocURL_).fileName()) : defaultNotesFileName(),
                 MemoryFile{std::move(data)}});
}

QString AppModel::defaultNotesFileName() const {
    if (memoryFileName_) return *memoryFileName_;
    if (!programDoc_.title.empty())
        return proposedFileName(QString::fromStdString(programDoc_.title),
                                documentType(UTType::programdoc).fileExtension());
    return QStringLiteral("Program");
}

} // namespace tw
