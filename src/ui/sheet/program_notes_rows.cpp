#include "ui/sheet/program_notes_rows.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "ui/sheet/program_notes_text.h"

namespace tw {
namespace {

QString qs(const std::string& text) {
    return QString::fromStdString(text);
}

// Names and usages come from the listing and the notes file: shown as written.
QLabel* titleLabel(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    label->setFixedWidth(90);
    label->setAlignment(Qt::AlignLeading | Qt::AlignTop);
    return label;
}

QLabel* usageLabel(const QString& text, bool alarm, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    QFont caption = label->font();
    caption.setPointSizeF(caption.pointSizeF() * 0.85);
    label->setFont(caption);
    if (alarm) {
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText, QColor(215, 0, 21));
        label->setPalette(palette);
    } else {
        label->setForegroundRole(QPalette::PlaceholderText);
    }
    return label;
}

QLineEdit* field(const QString& label, QWidget* parent) {
    auto* edit = new QLineEdit(parent);
    edit->setPlaceholderText(label);
    edit->setAccessibleName(label);
    return edit;
}

// Writes the field into the document only on the user's edits, never on ours.
void showText(QLineEdit* edit, const std::string& text) {
    const QString value = qs(text);
    if (edit->text() != value) edit->setText(value);
}

} // namespace

QString leftProgramText() {
    return QObject::tr("no longer in the program");
}

LabelNoteRow::LabelNoteRow(const ProgramAnalysis::Label& label, int model, NotesWriter write, QWidget* parent)
    : NoteRow(parent), name_(label.name) {
    build(qs(notes_text::labelTitle(label, model)), qs(notes_text::labelUsage(label, model)),
          notes_text::labelIsUndefined(label), std::move(write));
}

LabelNoteRow::LabelNoteRow(const std::string& name, int model, NotesWriter write, QWidget* parent)
    : NoteRow(parent), name_(name) {
    build(qs((model == 12 ? "line " : "LBL ") + name), leftProgramText(), false, std::move(write));
}

void LabelNoteRow::build(const QString& title, const QString& usage, bool undefined, NotesWriter write) {
    auto* column = new QVBoxLayout(this);
    column->setSpacing(4);
    column->setContentsMargins(0, 0, 0, 0);
    auto* line = new QHBoxLayout;
    line->addWidget(titleLabel(title, this));
    usage_ = usageLabel(usage, undefined, this);
    line->addWidget(usage_, 1);
    column->addLayout(line);
    notes_ = field(tr("Notes"), this);
    notes_->setAccessibleDescription(title);
    column->addWidget(notes_);
    connect(notes_, &QLineEdit::textEdited, this, [this, write](const QString& text) {
        write([&](ProgramDocument& doc) { doc.labels[name_] = text.toStdString(); });
    });
}

void LabelNoteRow::read(const ProgramDocument& doc) {
    auto it = doc.labels.find(name_);
    showText(notes_, it == doc.labels.end() ? std::string() : it->second);
}

RegisterNoteRow::RegisterNoteRow(const ProgramAnalysis::Register& reg, int model, NotesWriter write,
                                 QWidget* parent)
    : NoteRow(parent), name_(reg.name) {
    build(qs(notes_text::registerUsage(reg, model)), std::move(write));
}

RegisterNoteRow::RegisterNoteRow(const std::string& name, NotesWriter write, QWidget* parent)
    : NoteRow(parent), name_(name) {
    build(leftProgramText(), std::move(write));
}

void RegisterNoteRow::build(const QString& usage, NotesWriter write) {
    auto* column = new QVBoxLayout(this);
    column->setSpacing(4);
    column->setContentsMargins(0, 0, 0, 0);
    auto* line = new QHBoxLayout;
    line->addWidget(titleLabel(qs(name_), this));
    usage_ = usageLabel(usage, false, this);
    line->addWidget(usage_, 1);
    column->addLayout(line);
    auto* fields = new QHBoxLayout;
    name_field_ = field(tr("Name"), this);
    name_field_->setMaximumWidth(160);
    meaning_ = field(tr("Meaning"), this);
    name_field_->setAccessibleDescription(qs(name_));
    meaning_->setAccessibleDescription(qs(name_));
    fields->addWidget(name_field_);
    fields->addWidget(meaning_, 1);
    column->addLayout(fields);
    connect(name_field_, &QLineEdit::textEdited, this, [this, write](const QString& text) {
        write([&](ProgramDocument& doc) { doc.registers[name_].name = text.toStdString(); });
    });
    connect(meaning_, &QLineEdit::textEdited, this, [this, write](const QString& text) {
        write([&](ProgramDocument& doc) { doc.registers[name_].meaning = text.toStdString(); });
    });
}

void RegisterNoteRow::read(const ProgramDocument& doc) {
    auto it = doc.registers.find(name_);
    const RegisterNote note = it == doc.registers.end() ? RegisterNote{} : it->second;
    showText(name_field_, note.name);
    showText(meaning_, note.meaning);
}

FlagNoteRow::FlagNoteRow(const ProgramAnalysis::Flag& flag, NotesWriter write, QWidget* parent)
    : NoteRow(parent), name_(flag.name) {
    build(qs(notes_text::flagUsage(flag)), std::move(write));
}

FlagNoteRow::FlagNoteRow(const std::string& name, NotesWriter write, QWidget* parent)
    : NoteRow(parent), name_(name) {
    build(leftProgramText(), std::move(write));
}

void FlagNoteRow::build(const QString& usage, NotesWriter write) {
    auto* line = new QHBoxLayout(this);
    line->setContentsMargins(0, 0, 0, 0);
    line->addWidget(titleLabel(tr("Flag %1").arg(qs(name_)), this));
    meaning_ = field(tr("Meaning"), this);
    meaning_->setAccessibleDescription(tr("Flag %1").arg(qs(name_)));
    line->addWidget(meaning_, 1);
    usage_ = usageLabel(usage, false, this);
    line->addWidget(usage_);
    connect(meaning_, &QLineEdit::textEdited, this, [this, write](const QString& text) {
        write([&](ProgramDocument& doc) { doc.flags[name_] = text.toStdString(); });
    });
}

void FlagNoteRow::read(const ProgramDocument& doc) {
    auto it = doc.flags.find(name_);
    showText(meaning_, it == doc.flags.end() ? std::string() : it->second);
}

} // namespace tw
