// Keys, legends, shortcuts, brackets, annunciators and colours of the HP-12C,
// HP-15C and HP-16C. Texts are exactly as printed; "−" is U+2212, "·" U+00B7.
#include "runtime/catalog/model_tables.h"

#include <algorithm>

namespace tw {

namespace {

KeyShortcut ch(char c) { return KeyShortcut::character(static_cast<unsigned char>(c)); }
KeyShortcut sk(SpecialKey key) { return KeyShortcut::special(key); }

KeyStyle styleOf(int code) {
    switch (code) {
    case keycode::enter: return KeyStyle::enter;
    case keycode::on: return KeyStyle::on;
    case keycode::f: return KeyStyle::fShift;
    case keycode::g: return KeyStyle::gShift;
    default: return KeyStyle::normal;
    }
}

KeySpec key(int code, std::string name, std::string face, std::string f, std::string g,
            std::vector<KeyShortcut> shortcuts) {
    KeySpec spec;
    spec.code = code;
    spec.face = face.empty() ? name : std::move(face);
    spec.name = std::move(name);
    spec.f = std::move(f);
    spec.g = std::move(g);
    spec.shortcuts = std::move(shortcuts);
    spec.style = styleOf(code);
    return spec;
}

// Adds ON, f and g, the same on every model, and orders the keys by code.
std::vector<KeySpec> keyboard(std::vector<KeySpec> keys) {
    keys.push_back(key(30, "ON", "ON", "", "", {sk(SpecialKey::escape)}));
    keys.push_back(key(31, "f", "f", "", "", {sk(SpecialKey::shift)}));
    keys.push_back(key(32, "g", "g", "", "", {sk(SpecialKey::option)}));
    std::sort(keys.begin(), keys.end(), [](const KeySpec& a, const KeySpec& b) { return a.code < b.code; });
    return keys;
}

// The models differ only in the band and the display.
ModelColors colors(uint32_t band, uint32_t lcd) {
    ModelColors c;
    c.body = 0x3B302A;
    c.bezel = 0x2A221E;
    c.band = band;
    c.fLegend = 0xE3A63A;
    c.gLegend = 0x5DA9E8;
    c.keyCap = 0x2B2725;
    c.keyFront = 0x45403C;
    c.fKey = 0xE3A63A;
    c.gKey = 0x5DA9E8;
    c.lcd = lcd;
    c.segment = 0x22241E;
    return c;
}

constexpr SpecialKey kRight = SpecialKey::rightArrow;
constexpr SpecialKey kDown = SpecialKey::downArrow;
constexpr SpecialKey kDelete = SpecialKey::deleteKey;
constexpr SpecialKey kReturn = SpecialKey::returnKey;

} // namespace

CalculatorModel makeHp12c() {
    CalculatorModel m;
    m.id = 12;
    m.name = "12C";
    m.subtitle = "Financial";
    m.fileExtension = "12c";
    m.keys = keyboard({
        key(0, "n", "n", "AMORT", "12×", {ch('m')}),
        key(1, "i", "i", "INT", "12÷", {ch('i')}),
        key(2, "PV", "PV", "NPV", "CFo", {ch('p')}),
        key(3, "PMT", "PMT", "RND", "CFj", {ch('j')}),
        key(4, "FV", "FV", "IRR", "Nj", {ch('v')}),
        key(5, "CHS", "CHS", "", "DATE", {ch('n'), ch('_')}),
        key(6, "7", "7", "", "BEG", {ch('7')}),
        key(7, "8", "8", "", "END", {ch('8')}),
        key(8, "9", "9", "", "MEM", {ch('9')}),
        key(9, "÷", "÷", "", "", {ch('/')}),
        key(10, "y^x", "yˣ", "PRICE", "√x", {ch('y')}),
        key(11, "1/x", "1/x", "YTM", "eˣ", {ch('e')}),
        key(12, "%T", "%T", "SL", "LN", {ch('t')}),
        key(13, "Δ%", "Δ%", "SOYD", "FRAC", {ch('d')}),
        key(14, "%", "%", "DB", "INTG", {ch('%')}),
        key(15, "EEX", "EEX", "", "ΔDYS", {ch('k')}),
        key(16, "4", "4", "", "D.MY", {ch('4')}),
        key(17, "5", "5", "", "M.DY", {ch('5')}),
        key(18, "6", "6", "", "x̄w", {ch('6')}),
        key(19, "×", "×", "", "x²", {ch('*'), ch('x')}),
        key(20, "R/S", "R/S", "P/R", "PSE", {ch('r')}),
        key(21, "SST", "SST", "Σ", "BST", {sk(kRight)}),
        key(22, "R↓", "R↓", "PRGM", "GTO", {sk(kDown)}),
        key(23, "x<>y", "x≷y", "FIN", "x≤y", {ch('w')}),
        key(24, "CLx", "CLx", "REG", "x=0", {sk(kDelete)}),
        key(25, "ENTER", "ENTER", "PREFIX", "LSTx", {sk(kReturn), ch('=')}),
        key(26, "1", "1", "", "x̂,r", {ch('1')}),
        key(27, "2", "2", "", "ŷ,r", {ch('2')}),
        key(28, "3", "3", "", "n!", {ch('3')}),
        key(29, "−", "−", "", "←", {ch('-')}),
        key(33, "STO", "STO", "", "", {ch('s')}),
        key(34, "RCL", "RCL", "", "", {ch('l')}),
        key(36, "0", "0", "", "x̄", {ch('0')}),
        key(37, ".", "·", "", "s", {ch('.'), ch(',')}),
        key(38, "Σ+", "Σ+", "", "Σ−", {ch('z')}),
        key(39, "+", "+", "", "", {ch('+')}),
    });
    m.brackets = {{"CLEAR", 21, 24}};
    m.annunciators = {{"f", 6, 3.0}, {"g", 9, 4.0}, {"BEGIN", 11, 5.0}, {"D.MY", 19, 7.0}, {"PRGM", 24, 8.6}};
    m.colors = colors(0xC9A24E, 0xA9AE99);
    return m;
}

CalculatorModel makeHp15c() {
    CalculatorModel m;
    m.id = 15;
    m.name = "15C";
    m.subtitle = "Scientific";
    m.fileExtension = "15c";
    m.keys = keyboard({
        key(0, "√x", "√x", "A", "x²", {ch('q')}),
        key(1, "e^x", "eˣ", "B", "LN", {ch('e')}),
        key(2, "10^x", "10ˣ", "C", "LOG", {ch('w')}),
        key(3, "y^x", "yˣ", "D", "%", {ch('y')}),
        key(4, "1/x", "1/x", "E", "Δ%", {ch('v')}),
        key(5, "CHS", "CHS", "MATRIX", "ABS", {ch('n'), ch('_')}),
        key(6, "7", "7", "FIX", "DEG", {ch('7')}),
        key(7, "8", "8", "SCI", "RAD", {ch('8')}),
        key(8, "9", "9", "ENG", "GRD", {ch('9')}),
        key(9, "÷", "÷", "SOLVE", "x≤y", {ch('/')}),
        key(10, "SST", "SST", "LBL", "BST", {sk(kRight)}),
        key(11, "GTO", "GTO", "HYP", "HYP⁻¹", {ch('t')}),
        key(12, "SIN", "SIN", "DIM", "SIN⁻¹", {ch('i')}),
        key(13, "COS", "COS", "(i)", "COS⁻¹", {ch('o')}),
        key(14, "TAN", "TAN", "I", "TAN⁻¹", {ch('p')}),
        key(15, "EEX", "EEX", "RESULT", "π", {ch('k')}),
        key(16, "4", "4", "x≷", "SF", {ch('4')}),
        key(17, "5", "5", "DSE", "CF", {ch('5')}),
        key(18, "6", "6", "ISG", "F?", {ch('6')}),
        key(19, "×", "×", "∫ʸₓ", "x=0", {ch('*'), ch('x')}),
        key(20, "R/S", "R/S", "PSE", "P/R", {ch('r')}),
        key(21, "GSB", "GSB", "Σ", "RTN", {ch('u')}),
        key(22, "R↓", "R↓", "PRGM", "R↑", {sk(kDown)}),
        key(23, "x<>y", "x≷y", "REG", "RND", {ch('j')}),
        key(24, "←", "⬅", "PREFIX", "CLx", {sk(kDelete)}),
        key(25, "ENTER", "ENTER", "RAN#", "LSTx", {sk(kReturn), ch('=')}),
        key(26, "1", "1", "→R", "→P", {ch('1')}),
        key(27, "2", "2", "→H.MS", "→H", {ch('2')}),
        key(28, "3", "3", "→RAD", "→DEG", {ch('3')}),
        key(29, "−", "−", "Re≷Im", "TEST", {ch('-')}),
        key(33, "STO", "STO", "FRAC", "INT", {ch('s')}),
        key(34, "RCL", "RCL", "USER", "MEM", {ch('l')}),
        key(36, "0", "0", "x!", "x̄", {ch('0')}),
        key(37, ".", "·", "ŷ,r", "s", {ch('.'), ch(',')}),
        key(38, "Σ+", "Σ+", "L.R.", "Σ−", {ch('z')}),
        key(39, "+", "+", "Py,x", "Cy,x", {ch('+')}),
    });
    m.brackets = {{"CLEAR", 21, 24}};
    m.annunciators = {{"USER", 4, 1.2}, {"f", 6, 3.0},   {"g", 9, 4.0},    {"G", 14, 5.8},
                      {"RAD", 16, 6.2}, {"C", 21, 7.8}, {"PRGM", 24, 8.6}};
    m.colors = colors(0xA9A59C, 0x898989);
    return m;
}

CalculatorModel makeHp16c() {
    CalculatorModel m;
    m.id = 16;
    m.name = "16C";
    m.subtitle = "Programmer";
    m.fileExtension = "16c";
    m.keys = keyboard({
        key(0, "A", "A", "SL", "LJ", {ch('a')}),
        key(1, "B", "B", "SR", "ASR", {ch('b')}),
        key(2, "C", "C", "RL", "RLC", {ch('c')}),
        key(3, "D", "D", "RR", "RRC", {ch('d')}),
        key(4, "E", "E", "RLn", "RLCn", {ch('e')}),
        key(5, "F", "F", "RRn", "RRCn", {ch('f')}),
        key(6, "7", "7", "MASKL", "#B", {ch('7')}),
        key(7, "8", "8", "MASKR", "ABS", {ch('8')}),
        key(8, "9", "9", "RMD", "DBLR", {ch('9')}),
        key(9, "/", "÷", "XOR", "DBL÷", {ch('/')}),
        key(10, "GSB", "GSB", "x≷(i)", "RTN", {ch('u')}),
        key(11, "GTO", "GTO", "x≷I", "LBL", {ch('t')}),
        key(12, "HEX", "HEX", "HEX", "DSZ", {ch('h')}),
        key(13, "DEC", "DEC", "DEC", "ISZ", {ch('k')}),
        key(14, "OCT", "OCT", "OCT", "√x", {ch('o')}),
        key(15, "BIN", "BIN", "BIN", "1/x", {ch('i')}),
        key(16, "4", "4", "SB", "SF", {ch('4')}),
        key(17, "5", "5", "CB", "CF", {ch('5')}),
        key(18, "6", "6", "B?", "F?", {ch('6')}),
        key(19, "*", "×", "AND", "DBL×", {ch('*'), ch('x')}),
        key(20, "R/S", "R/S", "(i)", "P/R", {ch('r')}),
        key(21, "SST", "SST", "I", "BST", {sk(kRight)}),
        key(22, "RDN", "R↓", "PRGM", "R↑", {sk(kDown)}),
        key(23, "x<>y", "x≷y", "REG", "PSE", {ch('w')}),
        key(24, "BSP", "⬅", "PREFIX", "CLx", {sk(kDelete)}),
        key(25, "ENTER", "ENTER", "WINDOW", "LSTx", {sk(kReturn), ch('=')}),
        key(26, "1", "1", "1'S", "x≤y", {ch('1')}),
        key(27, "2", "2", "2'S", "x<0", {ch('2')}),
        key(28, "3", "3", "UNSGN", "x>y", {ch('3')}),
        key(29, "-", "−", "NOT", "x>0", {ch('-')}),
        key(33, "STO", "STO", "WSIZE", "<", {ch('s')}),
        key(34, "RCL", "RCL", "FLOAT", ">", {ch('l')}),
        key(36, "0", "0", "MEM", "x≠y", {ch('0')}),
        key(37, ".", "·", "STATUS", "x≠0", {ch('.'), ch(',')}),
        key(38, "CHS", "CHS", "EEX", "x=y", {ch('n'), ch('_')}),
        key(39, "+", "+", "OR", "x=0", {ch('+')}),
    });
    m.brackets = {{"SHOW", 12, 15}, {"CLEAR", 22, 24}};
    // C comes before G on this model.
    m.annunciators = {{"f", 6, 3.0}, {"g", 9, 4.0}, {"C", 21, 7.6}, {"G", 14, 6.3}, {"PRGM", 24, 8.6}};
    m.colors = colors(0xB79A63, 0x898989);
    return m;
}

} // namespace tw
