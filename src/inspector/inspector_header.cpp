#include "inspector/inspector_header.h"

#include <QEvent>

#include <algorithm>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "inspector/inspector_style.h"
#include "inspector/tag.h"
#include "runtime/snapshot/number_text.h"

namespace tw {

namespace {

QString flagName(int model, int flag) {
    const QString n = QString::number(flag);
    if (model == 15 && flag == 8) return n + "(C)";
    if (model == 16 && flag == 4) return n + "(C)";
    if (model == 16 && flag == 5) return n + "(G)";
    return n;
}

void setShown(QWidget* w, bool shown) {
    if (w->isHidden() == shown) w->setVisible(shown);
}

} // namespace

InspectorHeader::InspectorHeader(QWidget* parent) : QWidget(parent) {
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(10, 10, 10, 6);
    column->setSpacing(4);

    auto* row1 = new QHBoxLayout;
    row1->setSpacing(6);
    title_ = new QLabel(this);
    title_->setFont(inspectorFont(13, QFont::DemiBold));
    extended_ = new Tag(tr("ext. memory"), QColor(), this);
    complex_ = new Tag(tr("Complex"), inspectorComplex(), this);
    state_ = new Tag(QString(), QColor(), this);
    extended_->hide();
    complex_->hide();
    state_->hide();
    row1->addWidget(title_);
    row1->addWidget(extended_);
    row1->addWidget(complex_);
    row1->addStretch(1);
    row1->addWidget(state_);
    column->addLayout(row1);

    auto* row2 = new QHBoxLayout;
    row2->setSpacing(8);
    mode_ = new QLabel(this);
    mode_->setFont(inspectorFont(12, QFont::Normal, true));
    flags_ = new QLabel(this);
    line_ = new QLabel(this);
    line_->setFont(inspectorFont(12, QFont::Normal, true));
    for (QLabel* l : {mode_, flags_, line_}) {
        l->setTextFormat(Qt::PlainText);
        l->hide();
    }
    line_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    // When even the smallest size does not fit, the mode and flags are cut;
    // the line counter stays whole.
    for (QLabel* l : {mode_, flags_}) l->setMinimumWidth(1);
    row2->addWidget(mode_);
    row2->addWidget(flags_);
    row2->addStretch(1);
    row2->addWidget(line_);
    column->addLayout(row2);
    applyColours();
}

QString InspectorHeader::title(const InspectorSnapshot& s) {
    if (s.model == 15 && s.variant == 152) return QStringLiteral("HP-15C (15.2)");
    return "HP-" + QString::number(s.model) + "C";
}

QString InspectorHeader::flagsText(const InspectorSnapshot& s) {
    if (s.model == 12) return {};
    QStringList names;
    for (int flag : s.setFlags()) names << flagName(s.model, flag);
    return "flags " + (names.isEmpty() ? QStringLiteral("–") : names.join(' '));
}

QString InspectorHeader::flagsToolTip(int model) {
    if (model == 16) return tr("Flags set. 3: show leading zeros, 4: carry (C), 5: out of range (G).");
    return tr("Flags set. 8: complex mode, 9: overflow (blinking display).");
}

QString InspectorHeader::lineText(const InspectorSnapshot& s) {
    if (!s.hasProgram) return {};
    return "line " + qs(zeroPadded(s.line, 3)) + " / " + qs(zeroPadded(s.lines, 3));
}

void InspectorHeader::setSnapshot(const InspectorSnapshot& s) {
    title_->setText(title(s));
    setShown(extended_, s.extendedMemory);
    setShown(complex_, s.model == 15 && (s.flags & (1u << 8)));
    if (s.running) {
        state_->setText(QStringLiteral("RUNNING"));
        state_->setColor(inspectorGreen());
    } else if (s.programMode) {
        state_->setText(QStringLiteral("PRGM"));
        state_->setColor(inspectorAmber());
    }
    setShown(state_, s.running || s.programMode);

    const QString mode = qs(s.modeText().value_or(std::string()));
    const QString flags = flagsText(s);
    const QString line = lineText(s);
    const bool fitAgain = mode != mode_->text() || flags != flags_->text() || line != line_->text();
    mode_->setText(mode);
    setShown(mode_, !mode.isEmpty());
    flags_->setText(flags);
    if (!flags.isEmpty()) flags_->setToolTip(flagsToolTip(s.model));
    setShown(flags_, !flags.isEmpty());
    line_->setText(line);
    setShown(line_, !line.isEmpty());
    if (fitAgain) fitSecondRow();
}

void InspectorHeader::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    fitSecondRow();
}

void InspectorHeader::fitSecondRow() {
    const QFont mono = inspectorFont(12, QFont::Normal, true);
    const QFont plain = inspectorFont(12);
    int needed = 0;
    int gaps = 0;
    for (QLabel* l : {mode_, flags_, line_}) {
        if (l->text().isEmpty()) continue;
        needed += QFontMetrics(l == flags_ ? plain : mono).horizontalAdvance(l->text());
        ++gaps;
    }
    needed += std::max(0, gaps - 1) * 8;
    const int room = width() - 20;
    const double scale = room > 0 && needed > room ? std::max(0.7, double(room) / needed) : 1.0;
    for (QLabel* l : {mode_, flags_, line_}) {
        QFont f = l == flags_ ? plain : mono;
        f.setPointSizeF(f.pointSizeF() * scale);
        if (f != l->font()) l->setFont(f);
    }
}

QString InspectorHeader::titleText() const { return title_->text(); }
QString InspectorHeader::modeText() const { return mode_->isHidden() ? QString() : mode_->text(); }
QString InspectorHeader::shownFlagsText() const { return flags_->isHidden() ? QString() : flags_->text(); }
QString InspectorHeader::shownLineText() const { return line_->isHidden() ? QString() : line_->text(); }
bool InspectorHeader::extendedMemoryShown() const { return !extended_->isHidden(); }
bool InspectorHeader::complexShown() const { return !complex_->isHidden(); }
QString InspectorHeader::stateTag() const { return state_->isHidden() ? QString() : state_->text(); }

void InspectorHeader::changeEvent(QEvent* event) {
    if (event->type() == QEvent::PaletteChange) applyColours();
    QWidget::changeEvent(event);
}

void InspectorHeader::applyColours() {
    QPalette p = palette();
    p.setColor(QPalette::WindowText, secondaryText(palette()));
    for (QLabel* l : {mode_, flags_, line_}) l->setPalette(p);
}

} // namespace tw
