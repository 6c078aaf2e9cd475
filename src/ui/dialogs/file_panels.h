// The open-file and save-file panels. Each panel keeps what it opened with (the
// task, or the document with its type and name), so that a model change while it
// is open never changes it; its result goes back through a callback.
#pragma once

#include "app/file_result.h"
#include "app/file_task.h"
#include "app/memory_file.h"
#include "app/ut_type.h"

#include <QFileDialog>
#include <QPointer>

#include <functional>

namespace tw {

class Platform;

// The extension the type's files carry ("16c", "orvanedoc", "txt"...; empty for
// plain data) and the panel's filter for it.
QString fileExtension(UTType type);
QString nameFilter(UTType type);

// The path with the type's extension added when it does not end in it already.
QString withExtension(const QString& path, UTType type);

// A file dialog that, in folder-or-file mode, accepts a selected folder as well
// as a file (a plain QFileDialog only ever opens a folder to look inside).
class FilePanel : public QFileDialog {
    Q_OBJECT
public:
    explicit FilePanel(QWidget* parent);
    void setFolderOrFile(bool on) { folderOrFile_ = on; }

    void accept() override;

private:
    bool acceptTypedNameAsShown();

    bool folderOrFile_ = false;
};

// Configures a window-modal open panel for the task, starting in the folder kept
// for it (see panel_folders.h) and keeping the folder of a choice; `done` receives
// the chosen file, or nothing when the panel was cancelled.
FilePanel* makeOpenPanel(QWidget* parent, Platform& platform, FileTask task,
                         std::function<void(FileTask task, std::optional<FileResult> result)> done);

// The save panel for a document. It proposes `name` with the type's extension,
// adds the extension to the name the user typed, asks before replacing an
// existing file under that final name, and writes the document. It starts in
// the folder kept for the type's kind of file and keeps the folder chosen.
// `finished` gets the written path or the failure; `closed` runs last, however
// the panel ended.
class SavePanel : public QObject {
    Q_OBJECT
public:
    SavePanel(QWidget* window, Platform& platform, MemoryFile document, UTType type, QString name,
              std::function<void(const FileResult&)> finished, std::function<void()> closed);

    void open();
    FilePanel* dialog() const { return dialog_; }
    const MemoryFile& document() const { return document_; }
    UTType type() const { return type_; }

    // Writes the document to the path as given, keeping an earlier file whole when the
    // write fails; answers the failure's text, which names the file.
    static std::optional<QString> write(const MemoryFile& document, const QString& path);

private:
    void chosen(const QString& path);
    void end();

    QWidget* window_;
    Platform& platform_;
    MemoryFile document_;
    UTType type_;
    QString name_;
    std::function<void(const FileResult&)> finished_;
    std::function<void()> closed_;
    QPointer<FilePanel> dialog_;
};

} // namespace tw
