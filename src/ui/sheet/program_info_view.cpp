#include "ui/sheet/program_info_view.h"

#include <set>

#include <QFileInfo>
#include <QFormLayout>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QTimer>
#include <QVBoxLayout>

#include "app/app_model.h"
#include "inspector/long_text_wrap.h"
#include "inspector/one_line_text.h"
#include "notes/program_document_content.h"
#include "ui/sheet/elided_label.h"
#include "ui/sheet/program_notes_rows.h"
#include "ui/sheet/program_notes_text.h"

namespace tw {
namespace {

QString qs(const std::string& text) {
    return QString::fromStdString(text);
}

QLabel* secondary(const QString& text, QWidget* parent, double scale) {
    auto* label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setForegroundRole(QPalette::PlaceholderText);
    QFont font = label->font();
    font.setPointSizeF(font.pointSizeF() * scale);
    label->setFont(font);
    return label;
}

void clearLayout(QLayout* layout) {
    while (QLayoutItem* item = layout->takeAt(0)) {
        if (QWidget* widget = item->widget()) widget->deleteLater();
        else if (QLayout* child = item->layout()) clearLayout(child);
        delete item;
    }
}

QGroupBox* section(const QString& title, QWidget* parent) {
    auto* box = new QGroupBox(title, parent);
    box->setAccessibleName(title);
    new QVBoxLayout(box);
    return box;
}

} // namespace

ProgramInfoView::ProgramInfoView(AppModel& app, QWidget* parent) : QDialog(parent), app_(app) {
    setWindowTitle(tr("Program Information"));
    setWindowModality(Qt::WindowModal);
    // Small enough for a scaled desktop's screen: the sections scroll, the buttons stay.
    setMinimumSize(440, 300);
    resize(680, 720);

    auto* outer = new QVBoxLayout(this);
    outer->setSpacing(0);
    outer->setContentsMargins(0, 0, 0, 0);

    auto* scroll = new QScrollArea(this);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    // The title field, not the scroll area, takes the keyboard when the sheet opens.
    scroll->setFocusPolicy(Qt::NoFocus);
    auto* form = new QWidget(scroll);
    sections_ = new QVBoxLayout(form);
    sections_->setContentsMargins(16, 16, 16, 16);
    sections_->setSpacing(14);
    scroll->setWidget(form);
    outer->addWidget(scroll, 1);

    // Program
    auto* program = new QGroupBox(tr("Program"), form);
    auto* programForm = new QFormLayout(program);
    title_ = new QLineEdit(program);
    title_->setAccessibleName(tr("Title"));
    author_ = new QLineEdit(program);
    author_->setPlaceholderText(tr("optional"));
    author_->setAccessibleName(tr("Author"));
    model_ = new QLabel(program);
    steps_ = new QLabel(program);
    model_->setTextFormat(Qt::PlainText);
    steps_->setTextFormat(Qt::PlainText);
    programForm->addRow(tr("Title"), title_);
    programForm->addRow(tr("Author"), author_);
    programForm->addRow(tr("Model"), model_);
    programForm->addRow(tr("Steps"), steps_);
    sections_->addWidget(program);

    // Description
    auto* description = new QGroupBox(tr("Description"), form);
    auto* descriptionColumn = new QVBoxLayout(description);
    description_ = new QPlainTextEdit(description);
    description_->setMinimumHeight(120);
    description_->setAccessibleName(tr("Description"));
    descriptionColumn->addWidget(description_);
    descriptionColumn->addWidget(secondary(tr("What the program does and how to use it. A line starting with ## is "
                                              "a section heading (for example ## Usage); a line starting with - is "
                                              "a bullet."), description, 0.85));
    sections_->addWidget(description);

    labels_ = section(QString(), form);
    registers_ = section(tr("Registers"), form);
    flags_ = section(tr("Flags"), form);
    sections_->addWidget(labels_);
    sections_->addWidget(registers_);
    sections_->addWidget(flags_);

    // Comments
    comments_ = section(tr("Comments"), form);
    comment_count_ = secondary(QString(), comments_, 0.92);
    comments_->layout()->addWidget(comment_count_);
    orphan_box_ = new QWidget(comments_);
    orphan_list_ = new QVBoxLayout(orphan_box_);
    orphan_list_->setContentsMargins(0, 0, 0, 0);
    orphan_box_->hide();
    comments_->layout()->addWidget(orphan_box_);
    remove_orphans_ = new QPushButton(tr("Remove Comments That No Longer Match"), comments_);
    remove_orphans_->setAutoDefault(false);
    QPalette destructive = remove_orphans_->palette();
    destructive.setColor(QPalette::ButtonText, QColor(215, 0, 21));
    remove_orphans_->setPalette(destructive);
    comments_->layout()->addWidget(remove_orphans_);
    sections_->addWidget(comments_);
    sections_->addStretch(1);

    auto* divider = new QFrame(this);
    divider->setFrameShape(QFrame::HLine);
    divider->setFrameShadow(QFrame::Sunken);
    outer->addWidget(divider);

    auto* footer = new QHBoxLayout;
    footer->setContentsMargins(12, 12, 12, 12);
    file_name_ = new ElidedLabel(this);
    file_name_->setForegroundRole(QPalette::PlaceholderText);
    QFont caption = file_name_->font();
    caption.setPointSizeF(caption.pointSizeF() * 0.85);
    file_name_->setFont(caption);
    // The name takes the room the buttons leave; without one, the space does.
    footer->addWidget(file_name_, 1);
    footer->addStretch(0);
    save_notes_ = new QPushButton(tr("Save Notes…"), this);
    export_pdf_ = new QPushButton(tr("Export PDF…"), this);
    done_ = new QPushButton(tr("Done"), this);
    save_notes_->setAutoDefault(false);
    export_pdf_->setAutoDefault(false);
    done_->setDefault(true);
    footer->addWidget(save_notes_);
    footer->addWidget(export_pdf_);
    footer->addWidget(done_);
    outer->addLayout(footer);

    // The user's edits: each one goes into the notes at once, changing only its field
    // (the step comments may be megabytes, and are not copied at each keystroke).
    connect(title_, &QLineEdit::textEdited, this, [this](const QString& text) {
        app_.changeProgramDocFields([&](ProgramDocument& doc) { doc.title = text.toStdString(); });
    });
    connect(author_, &QLineEdit::textEdited, this, [this](const QString& text) {
        app_.changeProgramDocFields([&](ProgramDocument& doc) { doc.author = text.toStdString(); });
    });
    keepWrapModeFitting(*description_);
    connect(description_, &QPlainTextEdit::textChanged, this, [this] {
        if (showing_description_) return; // our own refresh, not an edit
        std::string text = description_->toPlainText().toStdString();
        if (text == app_.programDoc().description) return;
        app_.changeProgramDocFields([&](ProgramDocument& doc) { doc.description = std::move(text); });
    });
    connect(remove_orphans_, &QPushButton::clicked, &app_, &AppModel::removeOrphanedComments);
    connect(save_notes_, &QPushButton::clicked, this, [this] { closeThen(&AppModel::saveProgramNotes); });
    connect(export_pdf_, &QPushButton::clicked, this, [this] { closeThen(&AppModel::exportDocumentation); });
    connect(done_, &QPushButton::clicked, this, &QDialog::accept);

    connect(&app_, &AppModel::programDocChanged, this, &ProgramInfoView::refresh);
    connect(&app_, &AppModel::docLinesChanged, this, &ProgramInfoView::refresh);
    connect(&app_, &AppModel::inspectionChanged, this, &ProgramInfoView::refresh);
    connect(&app_, &AppModel::snapshotChanged, this, &ProgramInfoView::refresh);
    connect(&app_, &AppModel::programDocURLChanged, this, &ProgramInfoView::refresh);
    refresh();
}

int ProgramInfoView::currentModel() const {
    const auto& inspection = app_.inspection();
    return notes_text::currentModel(inspection ? std::optional<int>(inspection->model) : std::nullopt,
                                    app_.snapshot().model);
}

QStringList ProgramInfoView::orphanRows() const {
    QStringList texts;
    for (const QLabel* row : orphan_rows_) texts << row->text();
    return texts;
}

void ProgramInfoView::refresh() {
    const auto& snapshot = app_.snapshot();
    model_->setText(qs(ProgramDocumentInfo::modelNameFor(snapshot.variant, snapshot.model)));
    steps_->setText(QString::number(app_.docLines().size()));
    const auto& url = app_.programDocURL();
    file_name_->setHidden(!url);
    file_name_->setText(url ? QFileInfo(*url).fileName() : QString());

    const ProgramDocument& doc = app_.programDoc();
    if (title_->text() != qs(doc.title)) title_->setText(qs(doc.title));
    if (author_->text() != qs(doc.author)) author_->setText(qs(doc.author));
    // The editor keeps its own line ends (a CRLF text reads back with LF), so it is
    // filled only when the notes changed elsewhere; the notes are stored only on edits.
    // Its text is read only when the notes' description changed: it can be long.
    if (doc.description != shown_description_) {
        const QString text = qs(doc.description);
        shown_description_ = doc.description;
        if (description_->toPlainText() != text) {
            showing_description_ = true;
            description_->setWordWrapMode(wrapModeFor(text));
            description_->setPlainText(text);
            showing_description_ = false;
        }
    }

    const int model = currentModel();
    analysis_.emplace(app_.docLines(), model);
    analysed_model_ = model;
    rebuildNotes();
    readNotes();
    refreshComments();
}

void ProgramInfoView::rebuildNotes() {
    const ProgramDocument& doc = app_.programDoc();
    const int model = analysed_model_;
    // Rows stay as they are while their items do, so a field being typed into keeps
    // its cursor; they are only built again when the items or their usage changed.
    // A note kept for an item the program no longer has keeps a row of its own, so
    // nothing the user wrote disappears from the sheet. Once shown, such a row stays
    // while the sheet is open, also when its field is emptied: the user is typing in it.
    std::vector<std::string> wanted;
    std::set<std::string> labelNames, registerNames, flagNames;
    for (const auto& l : analysis_->labels) labelNames.insert(l.name);
    for (const auto& r : analysis_->registers) registerNames.insert(r.name);
    for (const auto& f : analysis_->flags) flagNames.insert(f.name);
    const auto keep = [](std::set<std::string>& kept, const std::string& name, bool written) {
        if (written) kept.insert(name);
        return kept.count(name) > 0;
    };
    std::vector<std::string> keptLabels, keptRegisters, keptFlags;
    for (const auto& [name, text] : doc.labels)
        if (!labelNames.count(name) && keep(kept_labels_, name, !text.empty())) keptLabels.push_back(name);
    for (const auto& [name, note] : doc.registers)
        if (!registerNames.count(name) && keep(kept_registers_, name, !(note.name.empty() && note.meaning.empty())))
            keptRegisters.push_back(name);
    for (const auto& [name, text] : doc.flags)
        if (!flagNames.count(name) && keep(kept_flags_, name, !text.empty())) keptFlags.push_back(name);
    for (const auto& l : analysis_->labels) wanted.push_back("L" + l.name + "\x1f" + notes_text::labelUsage(l, model));
    for (const auto& name : keptLabels) wanted.push_back("l" + name);
    for (const auto& r : analysis_->registers) wanted.push_back("R" + r.name + "\x1f" + notes_text::registerUsage(r, model));
    for (const auto& name : keptRegisters) wanted.push_back("r" + name);
    for (const auto& f : analysis_->flags) wanted.push_back("F" + f.name + "\x1f" + notes_text::flagUsage(f));
    for (const auto& name : keptFlags) wanted.push_back("f" + name);
    wanted.push_back(std::to_string(model));
    const QStringList key = [&] {
        QStringList out;
        for (const auto& w : wanted) out << qs(w);
        return out;
    }();
    if (rows_key_ == key) return;
    rows_key_ = key;

    rows_.clear();
    // Built again with their sections hidden, so the rows are laid out once, not once per row.
    for (QGroupBox* box : {labels_, registers_, flags_}) {
        box->hide();
        clearLayout(box->layout());
    }
    NotesWriter write = [this](const std::function<void(ProgramDocument&)>& change) {
        app_.changeProgramDocFields(change);
    };
    auto add = [this](QGroupBox* box, NoteRow* row) {
        box->layout()->addWidget(row);
        rows_.push_back(row);
    };
    for (const auto& l : analysis_->labels) add(labels_, new LabelNoteRow(l, model, write, labels_));
    for (const auto& name : keptLabels) add(labels_, new LabelNoteRow(name, model, write, labels_));
    for (const auto& r : analysis_->registers) add(registers_, new RegisterNoteRow(r, model, write, registers_));
    for (const auto& name : keptRegisters) add(registers_, new RegisterNoteRow(name, write, registers_));
    for (const auto& f : analysis_->flags) add(flags_, new FlagNoteRow(f, write, flags_));
    for (const auto& name : keptFlags) add(flags_, new FlagNoteRow(name, write, flags_));

    labels_->setTitle(model == 12 ? tr("Branch targets") : tr("Labels"));
    labels_->setAccessibleName(labels_->title());
    labels_->setHidden(labels_->layout()->count() == 0);
    registers_->setHidden(registers_->layout()->count() == 0);
    flags_->setHidden(flags_->layout()->count() == 0);
}

void ProgramInfoView::readNotes() {
    for (NoteRow* row : rows_) row->read(app_.programDoc());
}

void ProgramInfoView::refreshComments() {
    const ProgramDocument& doc = app_.programDoc();
    comments_->setTitle(qs(notes_text::commentsHeader(doc)));
    comments_->setAccessibleName(comments_->title());
    comment_count_->setText(qs(notes_text::commentCountLine(doc)));
    // Each row keeps its label and changes only when its text does, so typing elsewhere
    // in the sheet lays out nothing here. Rows come and go with their box hidden: a row
    // shown in a visible sheet lays out every row before it again, which made n new rows
    // cost n² row layouts.
    std::vector<const StepComment*> orphans; // not copied: a comment can be megabytes long
    for (const StepComment& c : doc.comments)
        if (c.orphaned) orphans.push_back(&c);
    if (orphans.size() != orphan_rows_.size()) orphan_box_->hide();
    while (orphan_rows_.size() > orphans.size()) {
        delete orphan_rows_.back();
        orphan_rows_.pop_back();
    }
    for (size_t i = 0; i < orphans.size(); ++i) {
        // Its line breaks as spaces: the lines after one would read as rows of their own.
        const QString text = oneLineText(qs(notes_text::orphanLine(*orphans[i])));
        if (i < orphan_rows_.size()) {
            if (orphan_rows_[i]->text() != text) orphan_rows_[i]->setText(text);
            continue;
        }
        auto* row = new QLabel(text, orphan_box_);
        row->setTextFormat(Qt::PlainText); // the user's comment as typed
        row->setWordWrap(true);
        // A word longer than the row must not widen the sheet: the row takes the width
        // the sheet has, and such a word is cut at its edge.
        QSizePolicy policy = row->sizePolicy();
        policy.setHorizontalPolicy(QSizePolicy::Ignored);
        row->setSizePolicy(policy);
        orphan_list_->addWidget(row);
        orphan_rows_.push_back(row);
    }
    orphan_box_->setHidden(orphans.empty());
    remove_orphans_->setHidden(orphans.empty());
}

void ProgramInfoView::closeThen(void (AppModel::*operation)()) {
    accept();
    // After the sheet is gone, so the file dialog is not stacked over it.
    QTimer::singleShot(0, &app_, [app = &app_, operation] { (app->*operation)(); });
}

} // namespace tw
