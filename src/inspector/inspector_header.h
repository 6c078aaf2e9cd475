// The top of the inspector: the model's name and the state the snapshot
// carries at a glance (extended memory, complex mode, running or program
// mode, the HP-16C number mode, the set flags and the program line).
#pragma once

#include <QLabel>
#include <QString>
#include <QWidget>

#include "runtime/snapshot/inspector_snapshot.h"

namespace tw {

class Tag;

class InspectorHeader : public QWidget {
    Q_OBJECT
public:
    explicit InspectorHeader(QWidget* parent = nullptr);

    // Updates only what the new snapshot changes.
    void setSnapshot(const InspectorSnapshot& s);

    static QString title(const InspectorSnapshot& s);
    // "flags 1 8(C) 9", "flags –"; empty on the HP-12C.
    static QString flagsText(const InspectorSnapshot& s);
    static QString flagsToolTip(int model);
    // "line 007 / 042"; empty without a program.
    static QString lineText(const InspectorSnapshot& s);

    // The parts, for tests and accessibility checks.
    QString titleText() const;
    QString modeText() const;
    QString shownFlagsText() const;
    QString shownLineText() const;
    bool extendedMemoryShown() const;
    bool complexShown() const;
    // "RUNNING", "PRGM" or empty.
    QString stateTag() const;

protected:
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void applyColours();
    // Row 2 shrinks to 0.7 of its size before it is cut.
    void fitSecondRow();

    QLabel* title_;
    Tag* extended_;
    Tag* complex_;
    Tag* state_;
    QLabel* mode_;
    QLabel* flags_;
    QLabel* line_;
};

} // namespace tw
