#include "inspector/program_panel.h"

#include <QScrollBar>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

#include "inspector/content_unavailable.h"
#include "inspector/program_list.h"
#include "inspector/section_header.h"

namespace tw {

ProgramPanel::ProgramPanel(QWidget* parent) : QWidget(parent) {
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    pages_ = new QStackedWidget(this);
    column->addWidget(pages_);

    placeholder_ = new ContentUnavailable(ContentUnavailable::Symbol::numberedList, tr("No program listing"),
                                          tr("This calculator image has no program memory the inspector can read."),
                                          pages_);
    listing_ = new QWidget(pages_);
    auto* listColumn = new QVBoxLayout(listing_);
    listColumn->setContentsMargins(0, 0, 0, 0);
    listColumn->setSpacing(0);
    header_ = new SectionHeader(QString(), nullptr, listing_);
    list_ = new ProgramListView(listing_);
    listColumn->addWidget(header_);
    listColumn->addWidget(list_, 1);
    pages_->addWidget(placeholder_);
    pages_->addWidget(listing_);
    connect(list_, &ProgramListView::editRequested, this, &ProgramPanel::editRequested);

    scroll_ = new QPropertyAnimation(list_->verticalScrollBar(), "value", this);
    scroll_->setDuration(kScrollAnimationMs);
    scroll_->setEasingCurve(QEasingCurve::InOutQuad);
}

bool ProgramPanel::placeholderShown() const {
    return pages_->currentWidget() == placeholder_;
}

void ProgramPanel::setSnapshot(const InspectorSnapshot& s, const std::map<int, QString>& comments) {
    if (!s.hasProgram) {
        pages_->setCurrentWidget(placeholder_);
        haveSnapshot_ = false;
        line_ = -1;
        return;
    }
    const bool comingIntoView = pages_->currentWidget() != listing_;
    header_->setTitle("Program (" + QString::number(s.lines) + " lines)");
    list_->listing()->setListing(s.model, s.program, s.line, s.running, comments);
    const int row = list_->listing()->rowOfStep(s.line);
    if (row >= 0) {
        QItemSelectionModel* sel = list_->selectionModel();
        if (!sel->isSelected(list_->model()->index(row, 0)))
            sel->select(list_->model()->index(row, 0), QItemSelectionModel::ClearAndSelect);
    } else {
        list_->selectionModel()->clearSelection();
    }
    const bool moved = haveSnapshot_ && s.line != line_;
    line_ = s.line;
    haveSnapshot_ = true;
    if (comingIntoView) {
        pages_->setCurrentWidget(listing_);
        if (isVisible()) QTimer::singleShot(0, this, &ProgramPanel::centreCurrentStep);
    } else if (moved) {
        scrollToStep(s.line, !s.running && isVisible());
    }
}

void ProgramPanel::centreCurrentStep() {
    if (haveSnapshot_) scrollToStep(line_, false);
}

void ProgramPanel::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // Whenever the listing comes into view it shows the current step.
    QTimer::singleShot(0, this, &ProgramPanel::centreCurrentStep);
}

void ProgramPanel::scrollToStep(int step, bool animated) {
    const int row = list_->listing()->rowOfStep(step);
    if (row < 0) return;
    list_->doItemsLayout();
    const QModelIndex at = list_->model()->index(row, 0);
    QScrollBar* bar = list_->verticalScrollBar();
    const QRect r = list_->visualRect(at);
    const int target =
        std::clamp(bar->value() + r.center().y() - list_->viewport()->height() / 2, bar->minimum(), bar->maximum());
    scroll_->stop();
    if (!animated || target == bar->value()) {
        bar->setValue(target);
        return;
    }
    scroll_->setStartValue(bar->value());
    scroll_->setEndValue(target);
    scroll_->start();
}

} // namespace tw
