#include "inspector/section_header.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QPainter>

#include "inspector/inspector_style.h"

namespace tw {

SectionHeader::SectionHeader(const QString& title, QWidget* trailing, QWidget* parent) : QWidget(parent) {
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(10, 4, 10, 4);
    row->setSpacing(4);
    label_ = new QLabel(this);
    label_->setTextFormat(Qt::PlainText);
    label_->setFont(inspectorFont(10, QFont::DemiBold));
    label_->setMinimumWidth(1);
    label_->installEventFilter(this);
    row->addWidget(label_, 1);
    if (trailing) row->addWidget(trailing);
    setTitle(title);
    applyColours();
}

void SectionHeader::setTitle(const QString& title) {
    if (title.toUpper() == title_) return;
    title_ = title.toUpper();
    setAccessibleName(title);
    elide();
}

bool SectionHeader::eventFilter(QObject* watched, QEvent* event) {
    if (watched == label_ && event->type() == QEvent::Resize) elide();
    return QWidget::eventFilter(watched, event);
}

void SectionHeader::elide() {
    // A narrow column cuts the title at its end rather than under the control.
    const QFontMetrics fm(label_->font());
    const int room = label_->width();
    const QString shown = fm.horizontalAdvance(title_) <= room ? title_ : fm.elidedText(title_, Qt::ElideRight, room);
    if (shown != label_->text()) label_->setText(shown);
}

void SectionHeader::paintEvent(QPaintEvent*) {
    // Rows scroll under a pinned header: an almost opaque bar keeps them
    // faintly visible without blurring, which Qt widgets cannot do cheaply.
    QPainter p(this);
    p.setLayoutDirection(Qt::LeftToRight); // the calculator's order on any desktop
    QColor bar = palette().color(QPalette::Window);
    bar = isDarkPalette(palette()) ? bar.lighter(115) : bar.darker(104);
    bar.setAlphaF(0.94f);
    p.fillRect(rect(), bar);
    QColor line = primaryText(palette());
    line.setAlphaF(0.12f);
    p.fillRect(QRect(0, height() - 1, width(), 1), line);
}

void SectionHeader::changeEvent(QEvent* event) {
    if (event->type() == QEvent::PaletteChange) applyColours();
    QWidget::changeEvent(event);
}

void SectionHeader::applyColours() {
    setSecondaryText(*label_, palette());
}

} // namespace tw
