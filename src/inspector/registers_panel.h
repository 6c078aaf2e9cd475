// The registers half of the inspector: the stack, the HP-15C memory pool and
// matrices, and the storage registers (all, or only the non-zero ones).
#pragma once

#include <QLabel>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWidget>

#include <map>
#include <optional>
#include <vector>

#include "inspector/inspector_clock.h"
#include "inspector/register_row.h"
#include "runtime/snapshot/inspector_snapshot.h"

namespace tw {

class MatrixRow;
class Platform;
class PinnedSections;
class PoolSection;
class RegisterListView;
class SectionHeader;

class RegistersPanel : public QWidget {
    Q_OBJECT
public:
    static constexpr const char* kHideZerosKey = "inspectorHideZeros";
    enum Section { stackSection, memorySection, matricesSection, storageSection };

    // The "Non-zero only" setting is kept in the platform's settings; without
    // a platform it lives as long as the panel.
    explicit RegistersPanel(Platform* platform = nullptr, QWidget* parent = nullptr);

    void setSnapshot(const InspectorSnapshot& s);
    void setClock(const InspectorClock& clock);
    // The next snapshot is the rows' first appearance: nothing flashes.
    void forgetChanges();

    bool hideZeros() const;
    void setHideZeros(bool hide);

    // The storage registers shown: all, or those whose value word is not zero.
    static std::vector<RegisterValue> shownRegisters(const std::vector<RegisterValue>& registers, bool hideZeros);
    static std::vector<RegisterRow> stackRows(const InspectorSnapshot& s);

    // Parts, for tests and screenshots.
    PinnedSections* sections() const { return sections_; }
    SectionHeader* header(Section section) const;
    RegisterListView* stackList() const { return stack_; }
    RegisterListView* storageList() const { return storage_; }
    PoolSection* pool() const { return pool_; }
    MatrixRow* matrixRow(int index) const;
    int matrixRowCount() const { return static_cast<int>(matrixRows_.size()); }
    bool allZeroShown() const;
    QToolButton* hideZerosToggle() const { return toggle_; }

protected:
    void changeEvent(QEvent* event) override;

private:
    void applyStorage();
    void applyMatrices(const std::vector<MatrixValue>& matrices);
    void applyColours();

    PinnedSections* sections_;
    std::vector<SectionHeader*> headers_;
    RegisterListView* stack_;
    PoolSection* pool_;
    QWidget* matrices_;
    QVBoxLayout* matrixLayout_;
    std::vector<MatrixRow*> matrixRows_;
    RegisterListView* storage_;
    QLabel* allZero_;
    QToolButton* toggle_;
    std::optional<InspectorSnapshot> s_;
    std::vector<RegisterValue> registers_;
    int base_ = 10;
    Platform* platform_;
    bool hideZeros_ = false;
};

} // namespace tw
