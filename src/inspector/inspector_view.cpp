#include "inspector/inspector_view.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

#include <algorithm>

#include "app/app_model.h"
#include "inspector/comment_editor.h"
#include "inspector/content_unavailable.h"
#include "inspector/inspector_header.h"
#include "inspector/inspector_style.h"
#include "inspector/program_list.h"
#include "inspector/program_panel.h"
#include "inspector/registers_panel.h"
#include "notes/program_document.h"

namespace tw {

namespace {

QFrame* divider(QWidget* parent) {
    auto* line = new QFrame(parent);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Plain);
    line->setFixedHeight(1);
    line->setStyleSheet(QStringLiteral("color: palette(mid);"));
    return line;
}

} // namespace

InspectorView::InspectorView(AppModel& app, QWidget* parent) : QWidget(parent), app_(app) {
    setFont(inspectorFont(12));
    // Numbers ("−1234.5") and the listing read as the calculator shows them, also on a
    // right-to-left desktop.
    setLayoutDirection(Qt::LeftToRight);
    setMinimumSize(0, 0);
    setAccessibleName(tr("Inspector"));
    pane_ = inspectorPane(app_.platform().setting(kPaneKey).toString()).value_or(InspectorPane::both);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    pages_ = new QStackedWidget(this);
    column->addWidget(pages_);

    placeholder_ = new ContentUnavailable(ContentUnavailable::Symbol::memoryChip, tr("Nothing to inspect"),
                                          QString(), pages_);
    content_ = new QWidget(pages_);
    auto* stack = new QVBoxLayout(content_);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(0);
    header_ = new InspectorHeader(content_);
    stack->addWidget(header_);

    // A segmented control labelled "Show", its label hidden.
    auto* pickerBox = new QWidget(content_);
    pickerBox->setAccessibleName(tr("Show"));
    auto* pickerRow = new QHBoxLayout(pickerBox);
    pickerRow->setContentsMargins(10, 0, 10, 6);
    pickerRow->setSpacing(0);
    picker_ = new QButtonGroup(this);
    picker_->setExclusive(true);
    for (InspectorPane p : kInspectorPanes) {
        auto* button = new QPushButton(paneTitle(p), pickerBox);
        button->setCheckable(true);
        button->setFocusPolicy(Qt::TabFocus);
        button->setAccessibleName(paneTitle(p));
        button->setAccessibleDescription(tr("Show"));
        button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        picker_->addButton(button, static_cast<int>(p));
        pickerRow->addWidget(button);
    }
    connect(picker_, &QButtonGroup::idClicked, this, [this](int id) { setPane(static_cast<InspectorPane>(id)); });
    stack->addWidget(pickerBox);
    stack->addWidget(divider(content_));

    registers_ = new RegistersPanel(&app_.platform(), content_);
    between_ = divider(content_);
    program_ = new ProgramPanel(content_);
    stack->addWidget(registers_, 1);
    stack->addWidget(between_);
    stack->addWidget(program_, 1);
    connect(program_, &ProgramPanel::editRequested, this, &InspectorView::editComment);

    pages_->addWidget(placeholder_);
    pages_->addWidget(content_);

    editor_ = new CommentEditor(this);
    connect(editor_, &CommentEditor::saveRequested, this, &InspectorView::save);
    connect(editor_, &CommentEditor::removeRequested, this, &InspectorView::remove);
    connect(editor_, &CommentEditor::cancelRequested, this, &InspectorView::cancel);

    connect(&app_, &AppModel::inspectionChanged, this, &InspectorView::applyInspection);
    connect(&app_, &AppModel::isRunningChanged, this, &InspectorView::applyRunning);
    connect(&app_, &AppModel::programDocChanged, this, &InspectorView::applyNotes);
    connect(&app_, &AppModel::editingCommentStepChanged, this, &InspectorView::applyEditingStep);

    applyPane();
    comments_ = stepComments(app_.programDoc());
    applyRunning();
    applyInspection();
    applyEditingStep();
}

QSize InspectorView::sizeHint() const {
    // The column is 260 to 520 wide, 320 by default; the window decides.
    return {320, QWidget::sizeHint().height()};
}

std::map<int, QString> InspectorView::stepComments(const ProgramDocument& doc) {
    std::map<int, QString> map;
    for (const StepComment& c : doc.comments) {
        if (!c.orphaned && !map.contains(static_cast<int>(c.step)))
            map.emplace(static_cast<int>(c.step), ProgramListModel::listedComment(c.text));
    }
    return map;
}

QString InspectorView::editorTitle(int step, int model) {
    return tr("Comment for step %1").arg(ProgramListModel::stepLabel(step, model));
}

void InspectorView::setPane(InspectorPane pane) {
    if (pane != pane_) {
        pane_ = pane;
        app_.platform().setSetting(kPaneKey, rawValue(pane));
    }
    applyPane();
}

void InspectorView::applyPane() {
    if (QAbstractButton* b = picker_->button(static_cast<int>(pane_)); b && !b->isChecked()) b->setChecked(true);
    const bool regs = pane_ != InspectorPane::program;
    const bool prog = pane_ != InspectorPane::registers;
    registers_->setVisible(regs);
    between_->setVisible(regs && prog);
    program_->setVisible(prog);
}

void InspectorView::showEvent(QShowEvent* event) {
    // The column shown again: the calculator was not inspected while it was
    // hidden, so the next inspection is the rows' first appearance, not a change.
    if (!event->spontaneous()) registers_->forgetChanges();
    QWidget::showEvent(event);
}

void InspectorView::setClock(const InspectorClock& clock) {
    registers_->setClock(clock);
}

bool InspectorView::placeholderShown() const {
    return pages_->currentWidget() == placeholder_;
}

void InspectorView::applyRunning() {
    placeholder_->setDescription(app_.isRunning() ? tr("The calculator is switching models.")
                                                  : tr("Choose a firmware file first."));
}

void InspectorView::applyInspection() {
    const auto& s = app_.inspection();
    if (!s) {
        pages_->setCurrentWidget(placeholder_);
        return;
    }
    header_->setSnapshot(*s);
    registers_->setSnapshot(*s);
    program_->setSnapshot(*s, comments_);
    pages_->setCurrentWidget(content_);
}

void InspectorView::applyNotes() {
    auto comments = stepComments(app_.programDoc());
    if (comments == comments_) return;
    comments_ = std::move(comments);
    if (const auto& s = app_.inspection()) program_->setSnapshot(*s, comments_);
}

void InspectorView::editComment(int step) {
    const auto text = app_.programDoc().comment(step);
    editor_->setDraft(text ? qs(*text) : QString());
    app_.setEditingCommentStep(step);
}

void InspectorView::applyEditingStep() {
    const auto& step = app_.editingCommentStep();
    if (!step) {
        if (editor_->isVisible()) editor_->hide();
        return;
    }
    const int model = app_.inspection() ? app_.inspection()->model : 0;
    editor_->present(editorTitle(*step, model));
}

bool InspectorView::stepInListing(int step) const {
    const std::vector<ProgramLine>& lines = app_.inspection() ? app_.inspection()->program : app_.docLines();
    return std::any_of(lines.begin(), lines.end(), [&](const ProgramLine& l) { return l.line == step; });
}

void InspectorView::save() {
    const auto step = app_.editingCommentStep();
    if (step) {
        const QString draft = editor_->draft();
        // The step may have gone while the editor was open (the program was
        // edited on the calculator): the notes could not keep the text, so
        // the editor stays open with it rather than pretend it saved.
        if (!draft.trimmed().isEmpty() && !stepInListing(*step)) {
            const int model = app_.inspection() ? app_.inspection()->model : 0;
            editor_->setNotice(tr("Step %1 is no longer in the program, so the comment was not saved. "
                                  "Copy the text or cancel.")
                                   .arg(ProgramListModel::stepLabel(*step, model)));
            return;
        }
        app_.setStepComment(draft, *step);
    }
    app_.setEditingCommentStep(std::nullopt);
}

void InspectorView::remove() {
    if (const auto step = app_.editingCommentStep()) app_.setStepComment(QString(), *step);
    app_.setEditingCommentStep(std::nullopt);
}

void InspectorView::cancel() {
    app_.setEditingCommentStep(std::nullopt);
}

} // namespace tw
