#include "inspector/pinned_sections.h"

#include <QEvent>
#include <QScrollBar>
#include <QTimer>

#include <algorithm>

#include "inspector/section_header.h"

namespace tw {

PinnedSections::PinnedSections(QWidget* parent) : QScrollArea(parent), content_(new QWidget) {
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setWidgetResizable(false);
    content_->setAutoFillBackground(false);
    setWidget(content_);
    viewport()->setAutoFillBackground(false);
}

void PinnedSections::addSection(SectionHeader* header, QWidget* body) {
    header->setParent(content_);
    body->setParent(content_);
    body->installEventFilter(this);
    header->installEventFilter(this);
    header->show();
    body->show();
    sections_.push_back(Section{header, body});
    relayout();
}

void PinnedSections::setSectionShown(int index, bool shown) {
    Section& s = sections_.at(static_cast<std::size_t>(index));
    if (s.shown == shown) return;
    s.shown = shown;
    s.header->setVisible(shown);
    s.body->setVisible(shown);
    relayout();
}

bool PinnedSections::sectionShown(int index) const {
    return sections_.at(static_cast<std::size_t>(index)).shown;
}

int PinnedSections::sectionTop(int index) const {
    return sections_.at(static_cast<std::size_t>(index)).top;
}

bool PinnedSections::eventFilter(QObject* watched, QEvent* event) {
    // A body that changes its size hint (rows added, a matrix unfolded) asks
    // for a new layout; several such requests in one pass are laid out once.
    if (event->type() == QEvent::LayoutRequest && !relayoutQueued_) {
        relayoutQueued_ = true;
        QTimer::singleShot(0, this, [this] {
            relayoutQueued_ = false;
            relayout();
        });
    }
    return QScrollArea::eventFilter(watched, event);
}

void PinnedSections::resizeEvent(QResizeEvent* event) {
    QScrollArea::resizeEvent(event);
    relayout();
}

void PinnedSections::scrollContentsBy(int dx, int dy) {
    QScrollArea::scrollContentsBy(dx, dy);
    placeHeaders();
}

void PinnedSections::relayout() {
    const int width = viewport()->width();
    int y = 0;
    for (Section& s : sections_) {
        s.top = y;
        if (!s.shown) {
            s.bodyTop = s.bottom = y;
            continue;
        }
        const int headerHeight = s.header->sizeHint().height();
        y += headerHeight;
        s.bodyTop = y;
        const int bodyHeight =
            s.body->hasHeightForWidth() ? s.body->heightForWidth(width) : s.body->sizeHint().height();
        s.body->setGeometry(0, y, width, std::max(0, bodyHeight));
        y += std::max(0, bodyHeight);
        s.bottom = y;
    }
    content_->resize(width, y);
    placeHeaders();
}

void PinnedSections::placeHeaders() {
    const int width = viewport()->width();
    const int scrollTop = verticalScrollBar()->value();
    for (Section& s : sections_) {
        if (!s.shown) continue;
        const int h = s.header->sizeHint().height();
        // Pinned while its section spans the top edge, pushed up by the
        // section's end (where the next header starts).
        int y = s.top;
        if (scrollTop > s.top) y = std::min(scrollTop, s.bottom - h);
        y = std::max(y, s.top);
        s.header->setGeometry(0, y, width, h);
        s.header->raise();
    }
}

} // namespace tw
