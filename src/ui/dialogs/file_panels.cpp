#include "ui/dialogs/file_panels.h"

#include "app/document_types.h"
#include "ui/dialogs/message_dialog.h"
#include "ui/dialogs/panel_folders.h"

#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>

namespace tw {

QString fileExtension(UTType type) {
    return documentType(type).fileExtension();
}

QString nameFilter(UTType type) {
    switch (type) {
    case UTType::memory16c: return QStringLiteral("HP-16C memory (*.16c)");
    case UTType::memory15c: return QStringLiteral("HP-15C memory (*.15c)");
    case UTType::memory12c: return QStringLiteral("HP-12C memory (*.12c)");
    case UTType::programdoc: return QStringLiteral("Program notes (*.orvanedoc)");
    case UTType::pdf: return QStringLiteral("PDF document (*.pdf)");
    case UTType::plainText: return QStringLiteral("Plain text (*.txt)");
    case UTType::json: return QStringLiteral("JSON (*.json)");
    case UTType::data: return QStringLiteral("All files (*)");
    }
    return {};
}

QString withExtension(const QString& path, UTType type) {
    const QString extension = fileExtension(type);
    if (extension.isEmpty() || path.isEmpty()) return path;
    if (QFileInfo(path).fileName().endsWith(QLatin1Char('.') + extension, Qt::CaseInsensitive)) return path;
    return path + QLatin1Char('.') + extension;
}

FilePanel::FilePanel(QWidget* parent) : QFileDialog(parent) {
    setWindowModality(Qt::WindowModal);
    setAttribute(Qt::WA_DeleteOnClose);
}

void FilePanel::accept() {
    if (acceptMode() == AcceptSave && acceptTypedNameAsShown()) return;
    if (folderOrFile_) {
        const QStringList chosen = selectedFiles();
        const QFileInfo info(chosen.value(0));
        if (!chosen.isEmpty() && info.exists()) {
            // A folder counts as a choice here instead of being opened.
            emit filesSelected(chosen);
            emit fileSelected(chosen.first());
            QDialog::accept();
            return;
        }
    }
    QFileDialog::accept();
}

bool FilePanel::acceptTypedNameAsShown() {
    // Qt's own panel reads a name with double quotes as a quoted list of names and
    // would save `it's "q".16c` as `q.16c`; such a name is taken as it stands, in
    // the panel's folder. (A desktop's native panel has no such field.)
    auto* field = findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    if (!field || !field->text().contains(QLatin1Char('"'))) return false;
    const QString path = QDir::cleanPath(directory().absoluteFilePath(field->text()));
    const QFileInfo info(path);
    if (info.isDir()) {
        // A folder is opened, as the panel does with any folder's name.
        setDirectory(path);
        field->clear();
        return true;
    }
    if (!info.absoluteDir().exists()) {
        auto* refusal = new MessageDialog(this);
        refusal->setTitle(QStringLiteral("The folder “%1” does not exist.")
                              .arg(QDir::toNativeSeparators(info.absolutePath())));
        refusal->addButton(QStringLiteral("OK"), MessageDialog::Role::cancel)->setDefault(true);
        refusal->open();
        return true;
    }
    emit filesSelected({path});
    emit fileSelected(path);
    QDialog::accept();
    return true;
}

FilePanel* makeOpenPanel(QWidget* parent, Platform& platform, FileTask task,
                         std::function<void(FileTask task, std::optional<FileResult> result)> done) {
    auto* panel = new FilePanel(parent);
    panel->setAcceptMode(QFileDialog::AcceptOpen);
    panel->setFileMode(QFileDialog::ExistingFile);
    switch (task) {
    case FileTask::firmware:
        panel->setWindowTitle(QStringLiteral("Choose Firmware"));
        panel->setNameFilter(QStringLiteral("All files (*)"));
        break;
    case FileTask::memory:
        panel->setWindowTitle(QStringLiteral("Open Memory File"));
        panel->setNameFilters({QStringLiteral("Memory files (*.16c *.15c *.12c)"), QStringLiteral("All files (*)")});
        break;
    case FileTask::notes:
        panel->setWindowTitle(QStringLiteral("Open Program Notes"));
        panel->setNameFilters({QStringLiteral("Program notes (*.orvanedoc *.json)")});
        break;
    case FileTask::fonts:
        // A folder of fonts or one font file: only Qt's own dialog lets both be chosen.
        panel->setWindowTitle(QStringLiteral("Use HP 15C Fonts"));
        panel->setOption(QFileDialog::DontUseNativeDialog);
        panel->setNameFilters({QStringLiteral("Fonts (*.ttf *.TTF *.otf)")});
        panel->setFolderOrFile(true);
        break;
    }
    // Not the process's working folder, which means nothing to the user.
    const QString folderKey = panelFolderKey(task);
    panel->setDirectory(panelStartFolder(platform, folderKey));
    // Exactly one answer, whichever way the panel ends.
    auto answered = std::make_shared<bool>(false);
    QObject::connect(panel, &QFileDialog::fileSelected, panel,
                     [task, done, answered, &platform, folderKey](const QString& path) {
        if (*answered) return;
        *answered = true;
        rememberPanelFolder(platform, folderKey, path);
        done(task, path.isEmpty() ? std::nullopt : std::optional(FileResult::file(path)));
    });
    QObject::connect(panel, &QDialog::finished, panel, [task, done, answered](int) {
        if (*answered) return;
        *answered = true;
        done(task, std::nullopt);
    });
    return panel;
}

SavePanel::SavePanel(QWidget* window, Platform& platform, MemoryFile document, UTType type, QString name,
                     std::function<void(const FileResult&)> finished, std::function<void()> closed)
    : QObject(window), window_(window), platform_(platform), document_(std::move(document)), type_(type),
      name_(std::move(name)), finished_(std::move(finished)), closed_(std::move(closed)) {}

void SavePanel::open() {
    auto* panel = new FilePanel(window_);
    dialog_ = panel;
    panel->setAcceptMode(QFileDialog::AcceptSave);
    panel->setFileMode(QFileDialog::AnyFile);
    // The extension is added below and the question asked for the name it gives.
    panel->setOption(QFileDialog::DontConfirmOverwrite);
    panel->setNameFilter(nameFilter(type_));
    if (QFileInfo(name_).isAbsolute()) {
        panel->selectFile(name_);
    } else {
        panel->setDirectory(panelStartFolder(platform_, panelFolderKey(type_)));
        panel->selectFile(withExtension(name_, type_));
    }
    auto answered = std::make_shared<bool>(false);
    connect(panel, &QFileDialog::fileSelected, this, [this, answered](const QString& path) {
        *answered = true;
        chosen(path);
    });
    connect(panel, &QDialog::finished, this, [this, answered](int) {
        if (!*answered) end();
    });
    panel->open();
}

void SavePanel::chosen(const QString& typed) {
    const QString path = withExtension(typed, type_);
    rememberPanelFolder(platform_, panelFolderKey(type_), path);
    if (QFileInfo::exists(path)) {
        const QFileInfo info(path);
        auto* question = new MessageDialog(window_);
        question->setObjectName(QStringLiteral("replaceQuestion"));
        question->setTitle(QStringLiteral("A file named “%1” already exists. Do you want to replace it?")
                               .arg(info.fileName()));
        question->setMessage(QStringLiteral("The file already exists in “%1”. Replacing it will overwrite its "
                                            "contents.")
                                 .arg(QDir::toNativeSeparators(info.absolutePath())));
        // Declined: back to the panel with the same name.
        question->addButton(QStringLiteral("Cancel"), MessageDialog::Role::cancel, [this, path] {
            name_ = path;
            open();
        });
        question->addButton(QStringLiteral("Replace"), MessageDialog::Role::destructive, [this, path] {
            const auto failure = write(document_, path);
            finished_(failure ? FileResult::failure(*failure) : FileResult::file(path));
            end();
        });
        question->open();
        return;
    }
    const auto failure = write(document_, path);
    finished_(failure ? FileResult::failure(*failure) : FileResult::file(path));
    end();
}

void SavePanel::end() {
    if (closed_) closed_();
    deleteLater();
}

std::optional<QString> SavePanel::write(const MemoryFile& document, const QString& path) {
    return document.write(path);
}

} // namespace tw
