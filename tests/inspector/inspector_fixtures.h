// Hand-made inspections for the inspector's tests and screenshots, and the
// QApplication they need.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QPalette>
#include <QPlainTextEdit>

#include <string>

#include "runtime/snapshot/inspector_snapshot.h"

namespace tw::test {

// One QApplication for the whole test program: offscreen, unless the test runs on a display.
QApplication& inspectorApp();

// A test whose members may be widgets: the application exists before them.
class WithApp : public ::testing::Test {
protected:
    WithApp() { inspectorApp(); }
};

RegisterValue decimalRegister(const std::string& name, const std::string& text, std::uint64_t raw);
RegisterValue integerRegister(const std::string& name, const std::string& text, const std::string& decimal,
                              std::uint64_t word);

// An HP-12C with its financial registers and a short program.
InspectorSnapshot hp12cSnapshot();
// An HP-15C with a pool (workspace, storage, matrices A and B, program) and a
// listing of `programLines` steps.
InspectorSnapshot hp15cSnapshot(int programLines = 12);
// An HP-16C in hexadecimal, word size 16, 2's complement.
InspectorSnapshot hp16cSnapshot();

// A listing of steps 1 to n with varied keys, prefixes and mnemonics.
std::vector<ProgramLine> listing(int n);

// The lines the text of `editor` takes at the width it has.
int linesOf(const QPlainTextEdit& editor);

QPalette darkPalette();
QPalette lightPalette();

} // namespace tw::test
