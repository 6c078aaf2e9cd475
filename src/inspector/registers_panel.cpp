#include "inspector/registers_panel.h"

#include <QEvent>

#include <algorithm>

#include "inspector/inspector_style.h"
#include "inspector/matrix_row.h"
#include "inspector/pinned_sections.h"
#include "inspector/pool_section.h"
#include "inspector/register_list.h"
#include "inspector/section_header.h"
#include "platform/platform.h"

namespace tw {

RegistersPanel::RegistersPanel(Platform* platform, QWidget* parent) : QWidget(parent), platform_(platform) {
    if (platform_) hideZeros_ = platform_->setting(kHideZerosKey).toBool();
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    sections_ = new PinnedSections(this);
    column->addWidget(sections_);

    stack_ = new RegisterListView;
    stack_->setAccessibleName(tr("Stack"));
    pool_ = new PoolSection;
    matrices_ = new QWidget;
    matrixLayout_ = new QVBoxLayout(matrices_);
    matrixLayout_->setContentsMargins(0, 0, 0, 0);
    matrixLayout_->setSpacing(0);

    auto* storageBody = new QWidget;
    auto* storageColumn = new QVBoxLayout(storageBody);
    storageColumn->setContentsMargins(0, 0, 0, 0);
    storageColumn->setSpacing(0);
    storage_ = new RegisterListView(storageBody);
    storage_->setAccessibleName(tr("Storage registers"));
    allZero_ = new QLabel(tr("All registers are zero."), storageBody);
    allZero_->setContentsMargins(10, 10, 10, 10);
    allZero_->hide();
    applyColours();
    storageColumn->addWidget(storage_);
    storageColumn->addWidget(allZero_);

    toggle_ = new QToolButton;
    toggle_->setText(tr("Non-zero only"));
    toggle_->setCheckable(true);
    toggle_->setFont(inspectorFont(10));
    toggle_->setAutoRaise(false);
    toggle_->setFixedWidth(QFontMetrics(toggle_->font()).horizontalAdvance(toggle_->text()) + 8);
    toggle_->setToolButtonStyle(Qt::ToolButtonTextOnly);
    toggle_->setAccessibleName(tr("Non-zero only"));
    toggle_->setChecked(hideZeros());
    connect(toggle_, &QToolButton::toggled, this, &RegistersPanel::setHideZeros);

    headers_ = {new SectionHeader(tr("Stack")), new SectionHeader(tr("Memory")), new SectionHeader(tr("Matrices")),
                new SectionHeader(tr("Storage registers (%1)").arg(0), toggle_)};
    sections_->addSection(headers_[0], stack_);
    sections_->addSection(headers_[1], pool_);
    sections_->addSection(headers_[2], matrices_);
    sections_->addSection(headers_[3], storageBody);
}

void RegistersPanel::changeEvent(QEvent* event) {
    if (event->type() == QEvent::PaletteChange) applyColours();
    QWidget::changeEvent(event);
}

void RegistersPanel::applyColours() {
    setSecondaryText(*allZero_, palette());
}

SectionHeader* RegistersPanel::header(Section section) const {
    return headers_.at(static_cast<std::size_t>(section));
}

MatrixRow* RegistersPanel::matrixRow(int index) const {
    return index >= 0 && index < matrixRowCount() ? matrixRows_[static_cast<std::size_t>(index)] : nullptr;
}

bool RegistersPanel::allZeroShown() const { return !allZero_->isHidden(); }

void RegistersPanel::setClock(const InspectorClock& clock) {
    stack_->registers()->setClock(clock);
    storage_->registers()->setClock(clock);
}

void RegistersPanel::forgetChanges() {
    stack_->registers()->forgetChanges();
    storage_->registers()->forgetChanges();
}

bool RegistersPanel::hideZeros() const {
    return hideZeros_;
}

void RegistersPanel::setHideZeros(bool hide) {
    if (hide != hideZeros_) {
        hideZeros_ = hide;
        if (platform_) platform_->setSetting(kHideZerosKey, hide);
    }
    if (toggle_->isChecked() != hide) toggle_->setChecked(hide);
    applyStorage();
}

std::vector<RegisterValue> RegistersPanel::shownRegisters(const std::vector<RegisterValue>& registers, bool hideZeros) {
    if (!hideZeros) return registers;
    std::vector<RegisterValue> shown;
    for (const RegisterValue& r : registers) {
        if ((r.isInteger ? r.word : r.raw) != 0) shown.push_back(r);
    }
    return shown;
}

std::vector<RegisterRow> RegistersPanel::stackRows(const InspectorSnapshot& s) {
    std::vector<RegisterRow> rows;
    rows.reserve(s.stack.size());
    for (const RegisterValue& v : s.stack) {
        rows.push_back(RegisterRow{v, s.base, s.imaginaryValue(v.name), s.matrixDescriptorText(v)});
    }
    return rows;
}

void RegistersPanel::setSnapshot(const InspectorSnapshot& s) {
    headers_[0]->setTitle(s.model == 12 ? tr("Stack and financial registers") : tr("Stack"));
    stack_->setRows(stackRows(s));

    const bool hasPool = s.pool.has_value();
    sections_->setSectionShown(memorySection, hasPool);
    sections_->setSectionShown(matricesSection, hasPool);
    if (hasPool) {
        pool_->setPool(*s.pool);
        applyMatrices(s.matrices);
    }

    headers_[3]->setTitle(tr("Storage registers (%1)").arg(s.registerCount));
    base_ = s.base;
    if (s.registers != registers_) {
        registers_ = s.registers;
        applyStorage();
    } else if (!s_ || s_->base != s.base) {
        applyStorage();
    }
    s_ = s;
}

void RegistersPanel::applyMatrices(const std::vector<MatrixValue>& matrices) {
    // One row per matrix, found again by the matrix's index, so that an
    // unfolded row stays unfolded from snapshot to snapshot.
    std::vector<MatrixRow*> next;
    next.reserve(matrices.size());
    for (const MatrixValue& m : matrices) {
        auto it = std::find_if(matrixRows_.begin(), matrixRows_.end(),
                               [&](MatrixRow* row) { return row && row->matrix().index == m.index; });
        MatrixRow* row = nullptr;
        if (it != matrixRows_.end()) {
            row = *it;
            *it = nullptr;
        } else {
            row = new MatrixRow(matrices_);
        }
        row->setMatrix(m);
        next.push_back(row);
    }
    for (MatrixRow* unused : matrixRows_) delete unused;
    bool inOrder = true;
    for (std::size_t i = 0; i < next.size() && inOrder; ++i)
        inOrder = matrixLayout_->itemAt(static_cast<int>(i)) && matrixLayout_->itemAt(static_cast<int>(i))->widget() == next[i];
    if (!inOrder || matrixLayout_->count() != static_cast<int>(next.size())) {
        for (MatrixRow* row : next) matrixLayout_->removeWidget(row);
        for (MatrixRow* row : next) matrixLayout_->addWidget(row);
    }
    matrixRows_ = std::move(next);
}

void RegistersPanel::applyStorage() {
    std::vector<RegisterRow> rows;
    for (RegisterValue& v : shownRegisters(registers_, hideZeros())) rows.push_back(RegisterRow{std::move(v), base_, {}, {}});
    const bool empty = rows.empty();
    storage_->setRows(std::move(rows));
    storage_->setVisible(!empty);
    allZero_->setVisible(empty);
}

} // namespace tw
