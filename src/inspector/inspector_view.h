// The inspector column: the header of the latest inspection, the pane
// choice, the registers and program panels, and the step-comment editor,
// which is the one place where the inspector changes anything (the notes,
// through AppModel).
#pragma once

#include <QButtonGroup>
#include <QFrame>
#include <QStackedWidget>
#include <QWidget>

#include <map>
#include <optional>

#include "inspector/inspector_clock.h"
#include "inspector/inspector_pane.h"
#include "notes/program_document.h"

namespace tw {

class AppModel;
class CommentEditor;
class ContentUnavailable;
class InspectorHeader;
class ProgramPanel;
class RegistersPanel;

class InspectorView : public QWidget {
    Q_OBJECT
public:
    static constexpr const char* kPaneKey = "inspectorPane";

    explicit InspectorView(AppModel& app, QWidget* parent = nullptr);

    // Live comments by step as the listing shows them (a long one only its start);
    // the first in document order wins.
    static std::map<int, QString> stepComments(const ProgramDocument& doc);
    // "Comment for step 005" ("05" on the HP-12C).
    static QString editorTitle(int step, int model);

    QSize sizeHint() const override;

    InspectorPane pane() const { return pane_; }
    void setPane(InspectorPane pane);
    // Loads the draft from the notes and opens the editor on the step.
    void editComment(int step);

    // The editor's buttons.
    void save();
    void remove();
    void cancel();

    void setClock(const InspectorClock& clock);

    // Parts, for tests and screenshots.
    bool placeholderShown() const;
    ContentUnavailable* placeholder() const { return placeholder_; }
    InspectorHeader* header() const { return header_; }
    RegistersPanel* registers() const { return registers_; }
    ProgramPanel* program() const { return program_; }
    CommentEditor* editor() const { return editor_; }
    QButtonGroup* picker() const { return picker_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void applyInspection();
    void applyRunning();
    void applyNotes();
    void applyEditingStep();
    void applyPane();
    bool stepInListing(int step) const;

    AppModel& app_;
    InspectorPane pane_ = InspectorPane::both;
    std::map<int, QString> comments_;

    QStackedWidget* pages_;
    ContentUnavailable* placeholder_;
    QWidget* content_;
    InspectorHeader* header_;
    QButtonGroup* picker_;
    RegistersPanel* registers_;
    QFrame* between_;
    ProgramPanel* program_;
    CommentEditor* editor_;
};

} // namespace tw
