#include "inspector/inspector_fixtures.h"

#include <QStyleFactory>
#include <QTextBlock>
#include <QTextLayout>

#include <array>

namespace tw::test {

QApplication& inspectorApp() {
    static int argc = 1;
    static char name[] = "inspector_test";
    static char* argv[] = {name, nullptr};
    static QApplication* app = [] {
        // Offscreen where no display is given, as where the X server tests skip.
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
            qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        auto* a = new QApplication(argc, argv);
        QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
        return a;
    }();
    return *app;
}

RegisterValue decimalRegister(const std::string& name, const std::string& text, std::uint64_t raw) {
    RegisterValue v;
    v.name = name;
    v.text = text;
    v.raw = raw;
    return v;
}

RegisterValue integerRegister(const std::string& name, const std::string& text, const std::string& decimal,
                              std::uint64_t word) {
    RegisterValue v;
    v.name = name;
    v.text = text;
    v.decimal = decimal;
    v.isInteger = true;
    v.word = word;
    v.raw = word;
    return v;
}

std::vector<ProgramLine> listing(int n) {
    struct Step {
        const char* keys;
        const char* prefix;
        const char* mnemonic;
    };
    static constexpr std::array<Step, 8> steps = {{
        {"42,21,11", "f", "LBL A"},
        {"45  1", "", "RCL 1"},
        {"20", "", "×"},
        {"43 30", "g", "x≠0"},
        {"22  1", "", "GTO 1"},
        {"44 40  2", "", "STO + 2"},
        {"43 32", "g", "RTN"},
        {"42,21, 1", "f", "LBL 1"},
    }};
    std::vector<ProgramLine> lines;
    for (int i = 1; i <= n; ++i) {
        const Step& s = steps[static_cast<std::size_t>(i - 1) % steps.size()];
        lines.push_back(ProgramLine{i, s.keys, s.mnemonic, s.prefix, {}});
    }
    return lines;
}

InspectorSnapshot hp12cSnapshot() {
    InspectorSnapshot s;
    s.model = 12;
    s.variant = 120;
    s.hasProgram = true;
    s.line = 3;
    s.lines = 8;
    for (const char* name : {"X", "Y", "Z", "T", "LAST X", "n", "i", "PV", "PMT", "FV"})
        s.stack.push_back(decimalRegister(name, "0.00", 0));
    s.stack[0] = decimalRegister("X", "1,234.56", 0x123456);
    s.stack[5] = decimalRegister("n", "360.00", 0x36);
    s.stack[6] = decimalRegister("i", "0.50", 0x5);
    s.stack[7] = decimalRegister("PV", "250,000.00", 0x25);
    s.registerCount = 20;
    for (int r = 0; r < 20; ++r) {
        const std::string name = r < 10 ? "R" + std::to_string(r) : "R." + std::to_string(r - 10);
        s.registers.push_back(r % 4 == 1 ? decimalRegister(name, std::to_string(r) + ".00", std::uint64_t(r))
                                         : decimalRegister(name, "0.00", 0));
    }
    s.program = {{1, "45  1", "RCL 1", "", {}}, {2, "45  2", "RCL 2", "", {}}, {3, "40", "+", "", {}},
                 {4, "44  3", "STO 3", "", {}}, {5, "43 36", "LSTx", "g", {}}, {6, "36", "ENTER", "", {}},
                 {7, "20", "×", "", {}},        {8, "43,33 00", "GTO 00", "g", {}}};
    return s;
}

InspectorSnapshot hp15cSnapshot(int programLines) {
    InspectorSnapshot s;
    s.model = 15;
    s.variant = 150;
    s.flags = (1u << 1) | (1u << 9);
    s.hasProgram = true;
    s.program = listing(programLines);
    s.lines = programLines;
    s.line = programLines > 2 ? 2 : 0;
    s.stack = {decimalRegister("X", "3.141592654", 0x3141592654), decimalRegister("Y", "2.000000000", 0x2),
               decimalRegister("Z", "0.000000000", 0), decimalRegister("T", "0.000000000", 0),
               decimalRegister("LAST X", "1.000000000", 0x1), decimalRegister("I", "0.000000000", 0)};
    s.registerCount = 20;
    for (int r = 0; r < 20; ++r) {
        const std::string name = r < 10 ? "R" + std::to_string(r) : "R." + std::to_string(r - 10);
        s.registers.push_back(r % 3 == 0 ? decimalRegister(name, std::to_string(r * 7) + ".000000000",
                                                           0x1000 + std::uint64_t(r))
                                         : decimalRegister(name, "0.000000000", 0));
    }
    Pool15 p;
    p.variant = 150;
    p.base = 0x90;
    p.top = 0x100;
    p.scratch = 23; // 0x90-0xA6
    p.gap = 23;     // 0xA7-0xBD
    p.data = 0xBE;
    p.storage = 18; // 0xBE-0xCF
    p.starts = {0xD0, 0xD6, 0xE8, 0xE8, 0xE8};
    p.rows = {2, 3, 0, 0, 0};
    p.cols = {3, 6, 0, 0, 0};
    p.result = 1;
    p.pool = 0xE8;
    p.programLow = 0xF4;
    p.programRegisters = 12;
    p.gmem = "19 12 46-4";
    s.pool = p;
    for (int m = 0; m < 5; ++m) {
        MatrixValue mv;
        mv.index = m;
        mv.rows = p.rows[static_cast<std::size_t>(m)];
        mv.cols = p.cols[static_cast<std::size_t>(m)];
        mv.first = p.starts[static_cast<std::size_t>(m)];
        mv.isResult = m == 1;
        for (int e = 0; e < mv.rows * mv.cols; ++e)
            mv.values.push_back(decimalRegister("", std::to_string(e + 1) + ".5", std::uint64_t(e + 1)));
        s.matrices.push_back(mv);
    }
    return s;
}

InspectorSnapshot hp16cSnapshot() {
    InspectorSnapshot s;
    s.model = 16;
    s.variant = 160;
    s.base = 16;
    s.wordSize = 16;
    s.complement = 2;
    s.flags = (1u << 3) | (1u << 4);
    s.hasProgram = true;
    s.lines = 5;
    s.line = 0;
    s.program = {{1, "43,22, A", "LBL A", "g", {}}, {2, "45  1", "RCL 1", "", {}}, {3, "40", "+", "", {}},
                 {4, "42 44", "RMD", "f", {}},       {5, "43 21", "RTN", "g", {}}};
    s.stack = {integerRegister("X", "FF", "255", 0xFF), integerRegister("Y", "7FFF", "32767", 0x7FFF),
               integerRegister("Z", "0", "0", 0), integerRegister("T", "0", "0", 0),
               integerRegister("LAST X", "1", "1", 1), integerRegister("I", "A", "10", 10)};
    s.registerCount = 32;
    for (int r = 0; r < 32; ++r) {
        const std::string name = r < 10 ? "R" + std::to_string(r) : "R." + std::to_string(r - 10);
        const std::uint64_t w = r % 5 == 0 ? std::uint64_t(r * 17) : 0;
        char hex[16];
        std::snprintf(hex, sizeof hex, "%llX", static_cast<unsigned long long>(w));
        s.registers.push_back(integerRegister(name, hex, std::to_string(w), w));
    }
    return s;
}

static QPalette withRoles(QColor window, QColor text, QColor base, QColor button) {
    QPalette p;
    p.setColor(QPalette::Window, window);
    p.setColor(QPalette::WindowText, text);
    p.setColor(QPalette::Base, base);
    p.setColor(QPalette::AlternateBase, base.lighter(110));
    p.setColor(QPalette::Text, text);
    p.setColor(QPalette::Button, button);
    p.setColor(QPalette::ButtonText, text);
    p.setColor(QPalette::Mid, window.lightness() < 128 ? window.lighter(160) : window.darker(130));
    p.setColor(QPalette::Highlight, QColor(52, 120, 210));
    p.setColor(QPalette::HighlightedText, Qt::white);
    p.setColor(QPalette::ToolTipBase, base);
    p.setColor(QPalette::ToolTipText, text);
    return p;
}

int linesOf(const QPlainTextEdit& editor) {
    int lines = 0;
    for (QTextBlock block = editor.document()->begin(); block.isValid(); block = block.next())
        lines += block.layout()->lineCount();
    return lines;
}

QPalette darkPalette() {
    return withRoles(QColor(38, 38, 40), QColor(232, 232, 232), QColor(28, 28, 30), QColor(58, 58, 62));
}

QPalette lightPalette() {
    return withRoles(QColor(239, 239, 239), QColor(20, 20, 20), QColor(255, 255, 255), QColor(225, 225, 225));
}

} // namespace tw::test
