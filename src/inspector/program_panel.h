// The program listing of the inspector: a pinned header, one row per step
// with the step's comment, the current step highlighted and kept in view.
#pragma once

#include <QPropertyAnimation>
#include <QStackedWidget>
#include <QWidget>

#include <map>

#include "runtime/snapshot/inspector_snapshot.h"

namespace tw {

class ContentUnavailable;
class ProgramListView;
class SectionHeader;

class ProgramPanel : public QWidget {
    Q_OBJECT
public:
    // The animated scroll to a new current step while no program runs.
    static constexpr int kScrollAnimationMs = 150;

    explicit ProgramPanel(QWidget* parent = nullptr);

    // Applies a snapshot and the step comments of the notes; scrolls to the
    // current step when it moved.
    void setSnapshot(const InspectorSnapshot& s, const std::map<int, QString>& comments);

    ProgramListView* list() const { return list_; }
    SectionHeader* header() const { return header_; }
    bool placeholderShown() const;
    // Puts the current step at the middle of the listing, at once.
    void centreCurrentStep();

signals:
    void editRequested(int step);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void scrollToStep(int step, bool animated);

    QStackedWidget* pages_;
    ContentUnavailable* placeholder_;
    QWidget* listing_;
    SectionHeader* header_;
    ProgramListView* list_;
    QPropertyAnimation* scroll_;
    int line_ = -1;
    bool haveSnapshot_ = false;
};

} // namespace tw
