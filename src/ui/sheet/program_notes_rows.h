// The rows of the program information sheet for one label, register or flag:
// where the program uses it and the fields holding the user's note. Each edit
// goes straight into the notes document through `write`.
#pragma once

#include <functional>
#include <string>

#include <QWidget>

#include "notes/program_analysis.h"
#include "notes/program_document.h"

class QLineEdit;
class QLabel;

namespace tw {

// Applies one change to a copy of the notes and stores the copy.
using NotesWriter = std::function<void(const std::function<void(ProgramDocument&)>&)>;

class NoteRow : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;
    // Shows the note as the document now holds it, unless the field already does
    // (so typing keeps its cursor).
    virtual void read(const ProgramDocument& doc) = 0;
};

class LabelNoteRow : public NoteRow {
    Q_OBJECT
public:
    LabelNoteRow(const ProgramAnalysis::Label& label, int model, NotesWriter write, QWidget* parent = nullptr);
    // A note kept for a label that the program no longer has.
    LabelNoteRow(const std::string& name, int model, NotesWriter write, QWidget* parent = nullptr);
    void read(const ProgramDocument& doc) override;

    QLabel* usage() const { return usage_; }
    QLineEdit* notes() const { return notes_; }

private:
    void build(const QString& title, const QString& usage, bool undefined, NotesWriter write);
    std::string name_;
    QLabel* usage_ = nullptr;
    QLineEdit* notes_ = nullptr;
};

class RegisterNoteRow : public NoteRow {
    Q_OBJECT
public:
    RegisterNoteRow(const ProgramAnalysis::Register& reg, int model, NotesWriter write, QWidget* parent = nullptr);
    RegisterNoteRow(const std::string& name, NotesWriter write, QWidget* parent = nullptr);
    void read(const ProgramDocument& doc) override;

    QLabel* usage() const { return usage_; }
    QLineEdit* noteName() const { return name_field_; }
    QLineEdit* meaning() const { return meaning_; }

private:
    void build(const QString& usage, NotesWriter write);
    std::string name_;
    QLabel* usage_ = nullptr;
    QLineEdit* name_field_ = nullptr;
    QLineEdit* meaning_ = nullptr;
};

class FlagNoteRow : public NoteRow {
    Q_OBJECT
public:
    FlagNoteRow(const ProgramAnalysis::Flag& flag, NotesWriter write, QWidget* parent = nullptr);
    FlagNoteRow(const std::string& name, NotesWriter write, QWidget* parent = nullptr);
    void read(const ProgramDocument& doc) override;

    QLabel* usage() const { return usage_; }
    QLineEdit* meaning() const { return meaning_; }

private:
    void build(const QString& usage, NotesWriter write);
    std::string name_;
    QLabel* usage_ = nullptr;
    QLineEdit* meaning_ = nullptr;
};

// The usage text of a note whose item the program no longer has.
QString leftProgramText();

} // namespace tw
