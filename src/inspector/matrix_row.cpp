#include "inspector/matrix_row.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QEvent>
#include <QGraphicsOpacityEffect>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QVBoxLayout>

#include <algorithm>
#include <map>

#include "inspector/clipboard.h"
#include "inspector/inspector_style.h"
#include "inspector/tag.h"

namespace tw {

namespace {

// The disclosure mark: a chevron to the right (folded) or down (unfolded).
class Chevron : public QWidget {
public:
    explicit Chevron(QWidget* parent) : QWidget(parent) { setFixedSize(10, 10); }
    void set(bool shown, bool down) {
        if (shown == shown_ && down == down_) return;
        shown_ = shown;
        down_ = down;
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        if (!shown_) return;
        QPainter p(this);
        p.setLayoutDirection(Qt::LeftToRight); // the calculator's order on any desktop
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(secondaryText(palette()), 1.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        QPolygonF mark;
        if (down_) mark << QPointF(2, 3.5) << QPointF(5, 6.5) << QPointF(8, 3.5);
        else mark << QPointF(3.5, 2) << QPointF(6.5, 5) << QPointF(3.5, 8);
        p.drawPolyline(mark);
    }

private:
    bool shown_ = false;
    bool down_ = false;
};

QString hex2(int value) {
    return QString::asprintf("%02X", static_cast<unsigned>(value));
}

} // namespace

QString matrixTsv(const MatrixValue& m) {
    return qs(m.copyText());
}

QString matrixSpanText(const MatrixValue& m) {
    const long long n = static_cast<long long>(m.rows) * m.cols;
    if (n == 0) return {};
    return "(" + QString::number(n) + " regs, Nut " + hex2(m.first) + "–" + hex2(static_cast<int>(m.first + n - 1)) +
           ")";
}

void MatrixGridModel::setMatrix(const MatrixValue& m) {
    const int rows = std::max(std::min(m.rows, kMatrixGridRows), 1);
    const int cols = std::max(std::min(m.cols, kMatrixGridCols), 1);
    if (rows == rows_ && cols == cols_) {
        m_ = m;
        if (rows_ > 0) emit dataChanged(index(0, 1), index(rows_ - 1, cols_));
        return;
    }
    beginResetModel();
    m_ = m;
    rows_ = rows;
    cols_ = cols;
    endResetModel();
}

int MatrixGridModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_; }
int MatrixGridModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : cols_ + 1; }

QVariant MatrixGridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    const int r = index.row() + 1;
    const int c = index.column();
    switch (role) {
    case Qt::DisplayRole:
        if (c == 0) return QString::number(r);
        if (const auto v = m_.value(r, c)) return qs(v->text);
        return QString();
    case Qt::TextAlignmentRole: return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    case Qt::FontRole: return c == 0 ? inspectorFont(9) : monospacedFont(inspectorFont(11));
    case Qt::ForegroundRole:
        if (c == 0 && numberColour_.isValid()) return numberColour_;
        return {};
    default: return {};
    }
}

void MatrixCellDelegate::initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const {
    QStyledItemDelegate::initStyleOption(option, index);
    if (index.column() == 0) return; // the row number
    const QStyle* style = option->widget ? option->widget->style() : QApplication::style();
    // The style keeps this margin on each side of an item's text.
    const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, option->widget) + 1;
    const int room = option->rect.width() - 2 * margin;
    if (room <= 0) return;
    option->font = shrunkToFit(option->font, option->text, room, 0.5);
    option->fontMetrics = QFontMetrics(option->font);
    option->text = option->fontMetrics.elidedText(option->text, Qt::ElideRight, room);
}

QString MatrixCellDelegate::shownText(QStyleOptionViewItem option, const QModelIndex& index) const {
    initStyleOption(&option, index);
    return option.text;
}

MatrixGridView::MatrixGridView(QWidget* parent) : QTableView(parent) {
    setFrameShape(QFrame::NoFrame);
    setShowGrid(false);
    horizontalHeader()->hide();
    verticalHeader()->hide();
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setWordWrap(false);
    setItemDelegate(new MatrixCellDelegate(this));
    viewport()->setAutoFillBackground(false);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(QFontMetrics(monospacedFont(inspectorFont(11))).height() + 1);
    horizontalHeader()->setMinimumSectionSize(14);
}

QString MatrixGridView::shownText(int row, int col) const {
    const QModelIndex at = model() ? model()->index(row, col) : QModelIndex();
    if (!at.isValid()) return {};
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    option.rect = visualRect(at);
    return static_cast<const MatrixCellDelegate*>(itemDelegate())->shownText(option, at);
}

QSize MatrixGridView::sizeHint() const {
    const int rows = model() ? model()->rowCount() : 0;
    return {200, rows * verticalHeader()->defaultSectionSize()};
}

QString MatrixGridView::selectedText() const {
    const QModelIndexList picked = selectionModel() ? selectionModel()->selectedIndexes() : QModelIndexList();
    std::map<int, std::map<int, QString>> cells;
    for (const QModelIndex& i : picked) {
        if (i.column() > 0) cells[i.row()][i.column()] = i.data().toString();
    }
    QStringList lines;
    for (const auto& [row, cols] : cells) {
        QStringList texts;
        for (const auto& [col, text] : cols) texts << text;
        lines << texts.join('\t');
    }
    return lines.join('\n');
}

void MatrixGridView::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Copy)) {
        copyToClipboard(selectedText());
        return;
    }
    QTableView::keyPressEvent(event);
}

MatrixRow::MatrixRow(QWidget* parent) : QWidget(parent) {
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(10, 3, 10, 3);
    column->setSpacing(3);

    header_ = new QWidget(this);
    header_->installEventFilter(this);
    header_->setContextMenuPolicy(Qt::DefaultContextMenu);
    auto* line = new QHBoxLayout(header_);
    line->setContentsMargins(0, 0, 0, 0);
    line->setSpacing(6);
    chevron_ = new Chevron(header_);
    letter_ = new QLabel(header_);
    letter_->setFont(inspectorFont(12, QFont::DemiBold));
    letter_->setFixedWidth(14);
    dims_ = new QLabel(header_);
    dims_->setFont(monospacedFont(inspectorFont(12)));
    span_ = new QLabel(header_);
    span_->setFont(inspectorFont(10));
    result_ = new Tag(QStringLiteral("RESULT"), inspectorAmber(), header_);
    result_->hide();
    line->addWidget(chevron_);
    line->addWidget(letter_);
    line->addWidget(dims_);
    line->addWidget(span_);
    line->addStretch(1);
    line->addWidget(result_);
    header_->setGraphicsEffect(new QGraphicsOpacityEffect(header_));
    column->addWidget(header_);

    gridModel_ = new MatrixGridModel(this);
    grid_ = new MatrixGridView(this);
    grid_->setModel(gridModel_);
    grid_->setAccessibleName(tr("Matrix values"));
    auto* gridRow = new QHBoxLayout;
    gridRow->setContentsMargins(24, 0, 0, 0);
    gridRow->addWidget(grid_);
    column->addLayout(gridRow);
    more_ = new QLabel(this);
    more_->setFont(inspectorFont(9));
    more_->setAlignment(Qt::AlignRight);
    column->addWidget(more_);
    grid_->hide();
    more_->hide();
    applyColours();
}

void MatrixRow::setMatrix(const MatrixValue& m) {
    if (!first_ && m == m_) return;
    first_ = false;
    m_ = m;
    refresh();
}

void MatrixRow::toggle() {
    if (m_.isEmpty()) return;
    expanded_ = !expanded_;
    refresh();
}

QString MatrixRow::copyItemText() const {
    if (m_.isEmpty()) return {};
    return tr("Copy Matrix %1 as TSV").arg(qs(m_.letter()));
}

void MatrixRow::copy() const {
    if (!m_.isEmpty()) copyToClipboard(matrixTsv(m_));
}

QString MatrixRow::headerText() const {
    QStringList parts{letter_->text(), dims_->text()};
    if (!span_->text().isEmpty()) parts << span_->text();
    return parts.join(' ');
}

bool MatrixRow::gridShown() const { return !grid_->isHidden(); }
QString MatrixRow::moreText() const { return more_->isHidden() ? QString() : more_->text(); }
bool MatrixRow::resultShown() const { return !result_->isHidden(); }

void MatrixRow::refresh() {
    const bool dimensioned = !m_.isEmpty();
    static_cast<Chevron*>(chevron_)->set(dimensioned, expanded_);
    letter_->setText(qs(m_.letter()));
    dims_->setText(QString::number(m_.rows) + "×" + QString::number(m_.cols));
    span_->setText(matrixSpanText(m_));
    span_->setVisible(dimensioned);
    result_->setVisible(m_.isResult);
    static_cast<QGraphicsOpacityEffect*>(header_->graphicsEffect())->setOpacity(dimensioned ? 1.0 : 0.45);
    header_->setCursor(dimensioned ? Qt::PointingHandCursor : Qt::ArrowCursor);
    header_->setAccessibleName(headerText());

    const bool showGrid = expanded_ && dimensioned && !m_.values.empty();
    if (showGrid) {
        gridModel_->setMatrix(m_);
        const int shownCols = std::max(std::min(m_.cols, kMatrixGridCols), 1);
        grid_->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Fixed);
        grid_->horizontalHeader()->resizeSection(0, 14 + 8);
        for (int c = 1; c <= shownCols; ++c) grid_->horizontalHeader()->setSectionResizeMode(c, QHeaderView::Stretch);
        grid_->setFixedHeight(grid_->sizeHint().height());
    }
    grid_->setVisible(showGrid);
    const bool cut = m_.rows > kMatrixGridRows || m_.cols > kMatrixGridCols;
    more_->setText(QString::number(m_.rows) + "×" + QString::number(m_.cols) + ": copy as TSV to see all");
    more_->setVisible(showGrid && cut);
    updateGeometry();
}

bool MatrixRow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == header_) {
        if (event->type() == QEvent::MouseButtonRelease &&
            static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
            toggle();
            return true;
        }
        if (event->type() == QEvent::ContextMenu) {
            if (!m_.isEmpty()) {
                QMenu menu(this);
                menu.addAction(copyItemText(), this, [this] { copy(); });
                menu.exec(static_cast<QContextMenuEvent*>(event)->globalPos());
            }
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void MatrixRow::changeEvent(QEvent* event) {
    if (event->type() == QEvent::PaletteChange) applyColours();
    QWidget::changeEvent(event);
}

void MatrixRow::applyColours() {
    QPalette secondary = palette();
    secondary.setColor(QPalette::WindowText, secondaryText(palette()));
    span_->setPalette(secondary);
    QPalette tertiary = palette();
    tertiary.setColor(QPalette::WindowText, tertiaryText(palette()));
    more_->setPalette(tertiary);
    gridModel_->setNumberColour(tertiaryText(palette()));
}

} // namespace tw
