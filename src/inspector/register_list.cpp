#include "inspector/register_list.h"

#include "inspector/plain_tool_tip.h"

#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <utility>
#include <unordered_set>

#include "inspector/clipboard.h"
#include "inspector/inspector_style.h"

namespace tw {

namespace {

constexpr int kPadX = 10;
constexpr int kPadY = 3;
constexpr int kNameWidth = 52;
constexpr int kFlashTickMs = 33;

QFont valueFont(const QFont& base) {
    QFont f = monospacedFont(base);
    return f;
}

} // namespace

RegisterListModel::RegisterListModel(QObject* parent) : QAbstractListModel(parent), clock_(steadyInspectorClock()) {
    timer_.setInterval(kFlashTickMs);
    connect(&timer_, &QTimer::timeout, this, &RegisterListModel::advanceFlash);
}

void RegisterListModel::noteChange(const RegisterRow& row) {
    const std::uint64_t key = row.changeKey();
    auto [it, inserted] = flash_.try_emplace(row.value.name, Flash{key, -1});
    if (inserted || it->second.key == key) return;
    it->second.key = key;
    it->second.since = clock_();
    if (!timer_.isActive()) timer_.start();
}

void RegisterListModel::setRows(std::vector<RegisterRow> rows) {
    // After forgetChanges() the map is empty: this only takes the rows' keys.
    if (std::exchange(firstAppearance_, false))
        for (const RegisterRow& row : rows) noteChange(row);
    const bool sameNames =
        rows.size() == rows_.size() && std::equal(rows.begin(), rows.end(), rows_.begin(), [](const auto& a, const auto& b) {
            return a.value.name == b.value.name;
        });
    if (sameNames) {
        for (std::size_t i = 0; i < rows.size(); ++i) {
            if (rows[i] == rows_[i]) continue;
            noteChange(rows[i]);
            rows_[i] = std::move(rows[i]);
            const QModelIndex at = index(static_cast<int>(i));
            emit dataChanged(at, at);
        }
        return;
    }
    beginResetModel();
    rows_ = std::move(rows);
    std::unordered_set<std::string> shown;
    for (const RegisterRow& row : rows_) {
        noteChange(row);
        shown.insert(row.value.name);
    }
    // A name that leaves the panel starts afresh (without a flash) when it returns.
    std::erase_if(flash_, [&](const auto& entry) { return !shown.contains(entry.first); });
    endResetModel();
}

void RegisterListModel::forgetChanges() {
    flash_.clear();
    firstAppearance_ = true;
    timer_.stop();
    if (!rows_.empty()) emit dataChanged(index(0), index(rowCount() - 1), {FlashRole});
}

double RegisterListModel::opacityAt(const Flash& flash, qint64 now) const {
    if (flash.since < 0) return 0;
    const qint64 t = now - flash.since;
    if (t < kFlashHoldMs) return kFlashOpacity;
    if (t >= kFlashHoldMs + kFlashFadeMs) return 0;
    const double p = double(t - kFlashHoldMs) / double(kFlashFadeMs);
    const double eased = 1.0 - (1.0 - p) * (1.0 - p); // ease-out
    return kFlashOpacity * (1.0 - eased);
}

double RegisterListModel::flashOpacity(int row) const {
    if (row < 0 || row >= rowCount()) return 0;
    const auto it = flash_.find(rows_[static_cast<std::size_t>(row)].value.name);
    return it == flash_.end() ? 0 : opacityAt(it->second, clock_());
}

void RegisterListModel::advanceFlash() {
    const qint64 now = clock_();
    bool any = false;
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        auto it = flash_.find(rows_[i].value.name);
        if (it == flash_.end() || it->second.since < 0) continue;
        if (now - it->second.since >= kFlashHoldMs + kFlashFadeMs) it->second.since = -1;
        else any = true;
        const QModelIndex at = index(static_cast<int>(i));
        emit dataChanged(at, at, {FlashRole});
    }
    if (!any) timer_.stop();
}

int RegisterListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

QVariant RegisterListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) return {};
    const RegisterRow& row = rows_[static_cast<std::size_t>(index.row())];
    switch (role) {
    case Qt::DisplayRole: return row.shownText();
    case Qt::ToolTipRole: return plainToolTip(row.helpText());
    case Qt::AccessibleTextRole: return row.accessibleText();
    case Qt::AccessibleDescriptionRole: return row.helpText();
    case NameRole: return qs(row.value.name);
    case BaseLetterRole: return row.baseLetter();
    case DecimalLineRole: return row.decimalLine();
    case FlashRole: return flashOpacity(index.row());
    default: return {};
    }
}

Qt::ItemFlags RegisterListModel::flags(const QModelIndex& index) const {
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsEditable : Qt::NoItemFlags;
}

QWidget* RegisterRowDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                           const QModelIndex&) const {
    auto* field = new QLineEdit(parent);
    field->setReadOnly(true);
    field->setFrame(false);
    field->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    field->setFont(valueFont(option.font));
    field->setAccessibleName(tr("Value"));
    QPalette clear = field->palette();
    clear.setColor(QPalette::Base, Qt::transparent);
    field->setPalette(clear);
    return field;
}

void RegisterRowDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
    // Inspections arrive while the field is open: a new value replaces the
    // text (and the selection), the same value leaves the selection alone.
    auto* field = static_cast<QLineEdit*>(editor);
    const QString text = index.data(Qt::DisplayRole).toString();
    if (field->text() != text) {
        field->setText(text);
        field->selectAll();
    }
}

void RegisterRowDelegate::updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                                               const QModelIndex&) const {
    const QRect inner = option.rect.adjusted(kPadX + kNameWidth + 6, kPadY, -kPadX, -kPadY);
    const int h = QFontMetrics(valueFont(option.font)).height() + 2;
    editor->setGeometry(inner.left(), inner.top(), inner.width(), h);
}

void RegisterRowDelegate::paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const {
    p->save();
    p->setLayoutDirection(Qt::LeftToRight); // numbers and steps read as on the calculator
    const QRect r = option.rect;
    const double flash = index.data(RegisterListModel::FlashRole).toDouble();
    if (flash > 0) {
        QColor c = inspectorYellow();
        c.setAlphaF(static_cast<float>(flash));
        p->fillRect(r, c);
    }
    const QPalette& pal = option.palette;
    const QRect inner = r.adjusted(kPadX, kPadY, -kPadX, -kPadY);
    const QFont base = option.font;
    const QFontMetrics baseMetrics(base);
    const QFont mono = valueFont(base);
    const QFontMetrics monoMetrics(mono);
    const int lineHeight = std::max(baseMetrics.height(), monoMetrics.height());

    p->setFont(base);
    p->setPen(secondaryText(pal));
    const QRect nameRect(inner.left(), inner.top(), kNameWidth, lineHeight);
    p->drawText(nameRect, Qt::AlignLeft | Qt::AlignVCenter,
                baseMetrics.elidedText(index.data(RegisterListModel::NameRole).toString(), Qt::ElideRight, kNameWidth));

    int right = inner.right() + 1;
    const QString letter = index.data(RegisterListModel::BaseLetterRole).toString();
    if (!letter.isEmpty()) {
        const QFont small = inspectorFont(10);
        const QFontMetrics sm(small);
        const int w = sm.horizontalAdvance(letter);
        p->setFont(small);
        p->setPen(secondaryText(pal));
        p->drawText(QRect(right - w, inner.top(), w, lineHeight), Qt::AlignRight | Qt::AlignVCenter, letter);
        right -= w + 3;
    }
    // The value shrinks to half its size at most before it is cut.
    const int room = std::max(0, right - (inner.left() + kNameWidth + 6 + 4));
    const QString text = index.data(Qt::DisplayRole).toString();
    const QFont valueF = shrunkToFit(mono, text, room, 0.5);
    p->setFont(valueF);
    p->setPen(primaryText(pal));
    p->drawText(QRect(right - room, inner.top(), room, lineHeight), Qt::AlignRight | Qt::AlignVCenter,
                QFontMetrics(valueF).elidedText(text, Qt::ElideRight, room));

    const QString decimal = index.data(RegisterListModel::DecimalLineRole).toString();
    if (!decimal.isEmpty()) {
        const QFont small = monospacedFont(inspectorFont(10));
        const QFontMetrics sm(small);
        p->setFont(small);
        p->setPen(tertiaryText(pal));
        p->drawText(QRect(inner.left(), inner.top() + lineHeight, inner.width(), sm.height()),
                    Qt::AlignRight | Qt::AlignVCenter, sm.elidedText(decimal, Qt::ElideLeft, inner.width()));
    }
    p->restore();
}

QSize RegisterRowDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const {
    const QFontMetrics baseMetrics(option.font);
    const QFontMetrics monoMetrics(valueFont(option.font));
    int h = std::max(baseMetrics.height(), monoMetrics.height());
    if (!index.data(RegisterListModel::DecimalLineRole).toString().isEmpty())
        h += QFontMetrics(monospacedFont(inspectorFont(10))).height();
    return {option.rect.width(), h + 2 * kPadY};
}

RegisterListView::RegisterListView(QWidget* parent) : QListView(parent), model_(new RegisterListModel(this)) {
    setModel(model_);
    setItemDelegate(new RegisterRowDelegate(this));
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setSelectionMode(QAbstractItemView::NoSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setMouseTracking(true);
    setUniformItemSizes(false);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    viewport()->setAutoFillBackground(false);
}

void RegisterListView::setRows(std::vector<RegisterRow> rows) {
    model_->setRows(std::move(rows));
    refit();
}

void RegisterListView::refit() {
    const int h = sizeHint().height();
    if (h == lastHeight_) return;
    lastHeight_ = h;
    setFixedHeight(h);
    updateGeometry();
}

QSize RegisterListView::sizeHint() const {
    int h = 0;
    const int n = model_->rowCount();
    if (n > 0) {
        // The rows of one list share one height but for integer rows with a
        // decimal line; measuring the two kinds is enough.
        QStyleOptionViewItem option;
        option.font = font();
        int plain = -1;
        int withDecimal = -1;
        for (int i = 0; i < n; ++i) {
            const bool dec = model_->rows()[static_cast<std::size_t>(i)].hasDecimalLine();
            int& cached = dec ? withDecimal : plain;
            if (cached < 0) cached = itemDelegate()->sizeHint(option, model_->index(i)).height();
            h += cached;
        }
    }
    return {200, h};
}

void RegisterListView::copy(int row, int item) {
    if (row < 0 || row >= model_->rowCount()) return;
    const auto items = model_->rows()[static_cast<std::size_t>(row)].copyItems();
    if (item < 0 || item >= static_cast<int>(items.size())) return;
    copyToClipboard(items[static_cast<std::size_t>(item)].text);
}

void RegisterListView::mouseDoubleClickEvent(QMouseEvent* event) {
    const QModelIndex at = indexAt(event->position().toPoint());
    if (at.isValid()) edit(at);
    event->accept();
}

void RegisterListView::contextMenuEvent(QContextMenuEvent* event) {
    const QModelIndex at = indexAt(event->pos());
    if (!at.isValid()) return;
    QMenu menu(this);
    // The texts of the row as it is now: new snapshots may change or move the
    // rows while the menu is open.
    for (const auto& item : model_->rows()[static_cast<std::size_t>(at.row())].copyItems())
        menu.addAction(item.label, this, [text = item.text] { copyToClipboard(text); });
    menu.exec(event->globalPos());
}

} // namespace tw
