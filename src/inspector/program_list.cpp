#include "inspector/program_list.h"

#include "inspector/plain_tool_tip.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

#include "inspector/inspector_style.h"
#include "inspector/one_line_text.h"
#include "runtime/snapshot/number_text.h"
#include "runtime/snapshot/utf8.h"

namespace tw {

namespace {

constexpr int kPadX = 10;
constexpr int kPadY = 2;
constexpr int kGap = 6;
constexpr int kKeysWidth = 86;

} // namespace

QString ProgramListModel::stepLabel(int step, int model) {
    return qs(zeroPadded(step, model == 12 ? 2 : 3));
}

QString ProgramListModel::listedComment(std::string_view text) {
    const std::string_view start = utf8Start(text, kListedCommentBytes);
    const QString shown = QString::fromUtf8(start.data(), qsizetype(start.size()));
    return start.size() < text.size() ? shown + QChar(0x2026) : shown;
}

void ProgramListModel::touchRow(int row, const QList<int>& roles) {
    if (row < 0 || row >= rowCount()) return;
    const QModelIndex at = index(row);
    emit dataChanged(at, at, roles);
}

void ProgramListModel::setListing(int model, const std::vector<ProgramLine>& program, int line, bool running,
                                  const std::map<int, QString>& comments) {
    const bool sameSteps = model == model_ && program.size() == lines_.size() &&
                           std::equal(program.begin(), program.end(), lines_.begin(),
                                      [](const auto& a, const auto& b) { return a.line == b.line; });
    if (!sameSteps) {
        beginResetModel();
        model_ = model;
        lines_ = program;
        comments_ = comments;
        line_ = line;
        running_ = running;
        endResetModel();
        return;
    }
    // Same rows: repaint those whose step or comment changed, and the rows
    // that gain or lose the highlight.
    const bool commentsChanged = comments != comments_;
    for (std::size_t i = 0; i < program.size(); ++i) {
        const int step = program[i].line;
        bool changed = !(program[i] == lines_[i]);
        if (changed) lines_[i] = program[i];
        if (commentsChanged) {
            const auto was = comments_.find(step);
            const auto now = comments.find(step);
            const bool wasThere = was != comments_.end();
            const bool nowThere = now != comments.end();
            changed = changed || wasThere != nowThere || (wasThere && was->second != now->second);
        }
        if (changed) touchRow(static_cast<int>(i) + 1);
    }
    if (commentsChanged) comments_ = comments;
    const int oldLine = line_;
    const bool runningChanged = running != running_;
    line_ = line;
    running_ = running;
    if (oldLine != line) {
        touchRow(rowOfStep(oldLine));
        touchRow(rowOfStep(line));
    } else if (runningChanged) {
        touchRow(rowOfStep(line));
    }
}

int ProgramListModel::rowOfStep(int step) const {
    if (step == 0) return 0;
    // Steps are listed in ascending order; fall back to a scan otherwise.
    const auto it = std::lower_bound(lines_.begin(), lines_.end(), step,
                                     [](const ProgramLine& l, int s) { return l.line < s; });
    if (it != lines_.end() && it->line == step) return static_cast<int>(it - lines_.begin()) + 1;
    const auto any = std::find_if(lines_.begin(), lines_.end(), [&](const ProgramLine& l) { return l.line == step; });
    return any == lines_.end() ? -1 : static_cast<int>(any - lines_.begin()) + 1;
}

int ProgramListModel::stepOfRow(int row) const {
    if (row <= 0 || row > static_cast<int>(lines_.size())) return 0;
    return lines_[static_cast<std::size_t>(row - 1)].line;
}

QString ProgramListModel::commentOf(int step) const {
    const auto it = comments_.find(step);
    return it == comments_.end() ? QString() : it->second;
}

int ProgramListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(lines_.size()) + 1;
}

QVariant ProgramListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) return {};
    const int row = index.row();
    const ProgramLine* pl = row == 0 ? nullptr : &lines_[static_cast<std::size_t>(row - 1)];
    const int step = pl ? pl->line : 0;
    switch (role) {
    case StepRole: return step;
    case LabelRole: return stepLabel(step, model_);
    case KeysRole: return pl ? qs(pl->keys) : QString();
    case PrefixRole: return pl ? qs(pl->prefix) : QString();
    case MnemonicRole: return pl ? qs(pl->mnemonic) : QString();
    case CommentRole: return pl ? oneLineText(commentOf(step)) : QString();
    case CurrentRole: return step == line_;
    case RunningRole: return running_;
    case Qt::ToolTipRole: {
        const QString c = pl ? commentOf(step) : QString();
        return c.isEmpty() ? QVariant() : QVariant(plainToolTip(c));
    }
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole: {
        QStringList parts{stepLabel(step, model_) + "-"};
        if (pl) {
            for (const std::string* s : {&pl->keys, &pl->prefix, &pl->mnemonic})
                if (!s->empty()) parts << qs(*s);
            const QString c = commentOf(step);
            if (!c.isEmpty()) parts << oneLineText(c);
        }
        return parts.join(' ');
    }
    default: return {};
    }
}

void ProgramRowDelegate::paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const {
    p->save();
    p->setLayoutDirection(Qt::LeftToRight); // numbers and steps read as on the calculator
    const QRect r = option.rect;
    const QPalette& pal = option.palette;
    const bool dark = isDarkPalette(pal);
    const bool current = index.data(ProgramListModel::CurrentRole).toBool();
    if (current) p->fillRect(r, currentRowBackground(dark, index.data(ProgramListModel::RunningRole).toBool()));

    QFont font = option.font;
    font.setWeight(current ? QFont::DemiBold : QFont::Normal);
    const QFont mono = monospacedFont(font);
    const QRect inner = r.adjusted(kPadX, kPadY, -kPadX, -kPadY);
    int x = inner.left();
    const auto draw = [&](const QFont& f, const QColor& c, const QString& text, int width = -1) {
        const QFontMetrics fm(f);
        const int w = width >= 0 ? width : fm.horizontalAdvance(text);
        p->setFont(f);
        p->setPen(c);
        p->drawText(QRect(x, inner.top(), std::max(0, std::min(w, inner.right() + 1 - x)), inner.height()),
                    Qt::AlignLeft | Qt::AlignVCenter, text);
        x += w + kGap;
    };

    draw(mono, current ? primaryText(pal) : secondaryText(pal), index.data(ProgramListModel::LabelRole).toString() + "-");
    draw(mono, primaryText(pal), index.data(ProgramListModel::KeysRole).toString(), kKeysWidth);
    const QString prefix = index.data(ProgramListModel::PrefixRole).toString();
    if (!prefix.isEmpty()) {
        QFont bold = font;
        bold.setWeight(QFont::Bold);
        draw(bold, prefixColor(prefix, current, dark), prefix);
    }
    draw(font, primaryText(pal), index.data(ProgramListModel::MnemonicRole).toString());
    const QString comment = index.data(ProgramListModel::CommentRole).toString();
    if (!comment.isEmpty() && x + kGap < inner.right()) {
        x += kGap;
        QFont italic = font;
        italic.setItalic(true);
        const QFontMetrics fm(italic);
        const int room = inner.right() + 1 - x;
        draw(italic, secondaryText(pal), fm.elidedText(comment, Qt::ElideRight, room), room);
    }
    p->restore();
}

QSize ProgramRowDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const {
    const QFontMetrics fm(option.font);
    const QFontMetrics mono(monospacedFont(option.font));
    return {option.rect.width(), std::max(fm.height(), mono.height()) + 2 * kPadY};
}

ProgramListView::ProgramListView(QWidget* parent) : QListView(parent), model_(new ProgramListModel(this)) {
    setModel(model_);
    setItemDelegate(new ProgramRowDelegate(this));
    setUniformItemSizes(true);
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    // Selection stands for the current step (read by assistive tools); the
    // user's clicks never change it.
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setMouseTracking(true);
    viewport()->setAutoFillBackground(false);
    setAccessibleName(tr("Program listing"));
}

QString ProgramListView::menuItemText(int row) const {
    const int step = model_->stepOfRow(row);
    if (step == 0) return {};
    return model_->hasComment(step) ? tr("Edit Comment…") : tr("Add Comment…");
}

void ProgramListView::contextMenuEvent(QContextMenuEvent* event) {
    const QModelIndex at = indexAt(event->pos());
    if (!at.isValid()) return;
    const int step = model_->stepOfRow(at.row());
    if (step == 0) return;
    QMenu menu(this);
    menu.addAction(menuItemText(at.row()), this, [this, step] { emit editRequested(step); });
    menu.exec(event->globalPos());
}

void ProgramListView::mouseDoubleClickEvent(QMouseEvent* event) {
    const QModelIndex at = indexAt(event->position().toPoint());
    if (at.isValid()) {
        const int step = model_->stepOfRow(at.row());
        if (step != 0) emit editRequested(step);
    }
    event->accept();
}

QItemSelectionModel::SelectionFlags ProgramListView::selectionCommand(const QModelIndex& index,
                                                                     const QEvent* event) const {
    if (event) return QItemSelectionModel::NoUpdate;
    return QListView::selectionCommand(index, event);
}

} // namespace tw
