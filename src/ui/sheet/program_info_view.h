// The sheet in which the user writes the notes of the program in the
// calculator: title, author, description, a note per label, register and flag,
// and the step comments that no longer match a step. Every edit goes into
// the model's notes at once; there is nothing to save or revert on closing.
#pragma once

#include <optional>
#include <set>
#include <string>
#include <vector>

#include <QDialog>
#include <QStringList>

#include "notes/program_analysis.h"
#include "ui/sheet/elided_label.h"

class QFormLayout;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QVBoxLayout;

namespace tw {

class AppModel;
class NoteRow;

class ProgramInfoView : public QDialog {
    Q_OBJECT
public:
    explicit ProgramInfoView(AppModel& app, QWidget* parent = nullptr);

    // The listing's model: the inspection's when there is one, else the display's.
    int currentModel() const;

    QLineEdit* titleField() const { return title_; }
    QLineEdit* authorField() const { return author_; }
    QPlainTextEdit* descriptionField() const { return description_; }
    QLabel* modelValue() const { return model_; }
    QLabel* stepsValue() const { return steps_; }
    QGroupBox* labelsSection() const { return labels_; }
    QGroupBox* registersSection() const { return registers_; }
    QGroupBox* flagsSection() const { return flags_; }
    QGroupBox* commentsSection() const { return comments_; }
    QLabel* commentCount() const { return comment_count_; }
    QPushButton* removeOrphansButton() const { return remove_orphans_; }
    ElidedLabel* fileName() const { return file_name_; }
    QPushButton* saveNotesButton() const { return save_notes_; }
    QPushButton* exportButton() const { return export_pdf_; }
    QPushButton* doneButton() const { return done_; }
    const std::vector<NoteRow*>& rows() const { return rows_; }
    // The texts of the orphaned comments' rows, in order.
    QStringList orphanRows() const;

private:
    void refresh();           // everything from the model's current state
    void rebuildNotes();      // the label, register and flag sections
    void readNotes();         // the fields from the notes document
    void refreshComments();
    void closeThen(void (AppModel::*operation)());

    AppModel& app_;
    std::optional<ProgramAnalysis> analysis_;
    int analysed_model_ = 0;
    QLineEdit* title_ = nullptr;
    QLineEdit* author_ = nullptr;
    QPlainTextEdit* description_ = nullptr;
    QLabel* model_ = nullptr;
    QLabel* steps_ = nullptr;
    QVBoxLayout* sections_ = nullptr;
    QGroupBox* labels_ = nullptr;
    QGroupBox* registers_ = nullptr;
    QGroupBox* flags_ = nullptr;
    QGroupBox* comments_ = nullptr;
    QLabel* comment_count_ = nullptr;
    QWidget* orphan_box_ = nullptr;   // holds the orphan rows, hidden while rows come and go
    QVBoxLayout* orphan_list_ = nullptr;
    std::vector<QLabel*> orphan_rows_; // one per orphaned comment, in order
    QPushButton* remove_orphans_ = nullptr;
    ElidedLabel* file_name_ = nullptr;
    QPushButton* save_notes_ = nullptr;
    QPushButton* export_pdf_ = nullptr;
    QPushButton* done_ = nullptr;
    std::vector<NoteRow*> rows_;
    QStringList rows_key_;
    // Items no longer in the program whose notes have shown a row since the sheet opened.
    std::set<std::string> kept_labels_, kept_registers_, kept_flags_;
    std::string shown_description_; // the notes' description as last put in the editor
    bool showing_description_ = false;
};

} // namespace tw
