#include "core/wrapper/lcd_state.h"
#include "runtime/catalog/calculator_model.h"

#include <gtest/gtest.h>

#include <set>
#include <unordered_set>

namespace tw {

namespace {

KeyShortcut ch(char32_t c) { return KeyShortcut::character(c); }
KeyShortcut sk(SpecialKey k) { return KeyShortcut::special(k); }

int codeFor(const CalculatorModel& model, const KeyShortcut& shortcut) {
    const KeySpec* key = model.key(shortcut);
    return key ? key->code : -1;
}

class EveryModel : public ::testing::TestWithParam<const CalculatorModel*> {};

INSTANTIATE_TEST_SUITE_P(Catalog, EveryModel, ::testing::ValuesIn(CalculatorModel::all()),
                         [](const auto& testInfo) { return "hp" + testInfo.param->name; });

TEST_P(EveryModel, KeyboardHasThirtyNineKeysInCodeOrderWithTheSharedStyles) {
    const CalculatorModel& model = *GetParam();
    ASSERT_EQ(model.keys.size(), 39u);
    int expected = 0;
    for (const KeySpec& key : model.keys) {
        if (expected == 35) ++expected;
        EXPECT_EQ(key.code, expected++);
        const KeyStyle style = key.code == 25   ? KeyStyle::enter
                               : key.code == 30 ? KeyStyle::on
                               : key.code == 31 ? KeyStyle::fShift
                               : key.code == 32 ? KeyStyle::gShift
                                                : KeyStyle::normal;
        EXPECT_EQ(key.style, style) << key.code;
        EXPECT_FALSE(key.name.empty()) << key.code;
        EXPECT_FALSE(key.face.empty()) << key.code;
        EXPECT_FALSE(key.shortcuts.empty()) << key.code;
        EXPECT_EQ(key.rowSpan(), key.code == 25 ? 2 : 1);
    }
    for (int code : {30, 31, 32}) {
        const KeySpec* key = model.key(code);
        ASSERT_NE(key, nullptr);
        EXPECT_TRUE(key->f.empty() && key->g.empty()) << code;
    }
    EXPECT_EQ(model.key(30)->face, "ON");
}

TEST_P(EveryModel, NoShortcutPressesTwoKeys) {
    std::unordered_set<KeyShortcut> seen;
    for (const KeySpec& key : GetParam()->keys)
        for (const KeyShortcut& shortcut : key.shortcuts)
            EXPECT_TRUE(seen.insert(shortcut.lowercased()).second)
                << "key " << key.code << " repeats " << shortcut.label();
}

TEST_P(EveryModel, EveryShortcutFindsItsOwnKeyInEitherCase) {
    const CalculatorModel& model = *GetParam();
    for (const KeySpec& key : model.keys) {
        for (const KeyShortcut& shortcut : key.shortcuts) {
            EXPECT_EQ(codeFor(model, shortcut), key.code) << shortcut.label();
            if (shortcut.isCharacter() && shortcut.asCharacter() >= U'a' && shortcut.asCharacter() <= U'z') {
                EXPECT_EQ(codeFor(model, ch(shortcut.asCharacter() - 0x20)), key.code);
            }
        }
    }
}

TEST_P(EveryModel, SpecialKeysOfTheShiftsAndTheMissingOnes) {
    const CalculatorModel& model = *GetParam();
    EXPECT_EQ(codeFor(model, sk(SpecialKey::shift)), 31);
    EXPECT_EQ(codeFor(model, sk(SpecialKey::option)), 32);
    EXPECT_EQ(codeFor(model, sk(SpecialKey::escape)), 30);
    EXPECT_EQ(codeFor(model, sk(SpecialKey::returnKey)), 25);
    EXPECT_EQ(codeFor(model, sk(SpecialKey::upArrow)), -1);
    EXPECT_EQ(codeFor(model, sk(SpecialKey::leftArrow)), -1);
    EXPECT_EQ(codeFor(model, sk(SpecialKey::tab)), -1);
}

TEST_P(EveryModel, LookupByCodeTreatsTheCellBelowEnterAsEnter) {
    const CalculatorModel& model = *GetParam();
    const KeySpec* enter = model.key(35);
    ASSERT_NE(enter, nullptr);
    EXPECT_EQ(enter->code, 25);
    EXPECT_EQ(enter, model.key(25));
    EXPECT_EQ(model.key(40), nullptr);
    EXPECT_EQ(model.key(-1), nullptr);
    EXPECT_EQ(model.key(39)->code, 39);
}

TEST(Catalog, ModelsAndTheirOrder) {
    const auto& all = CalculatorModel::all();
    EXPECT_EQ(all[0]->id, 16);
    EXPECT_EQ(all[1]->id, 15);
    EXPECT_EQ(all[2]->id, 12);
    EXPECT_EQ(&CalculatorModel::model(12), &CalculatorModel::hp12c());
    EXPECT_EQ(&CalculatorModel::model(99), &CalculatorModel::hp16c());
    EXPECT_EQ(&CalculatorModel::model(0), &CalculatorModel::hp16c());

    const CalculatorModel& hp15 = CalculatorModel::hp15c();
    EXPECT_EQ(hp15.name, "15C");
    EXPECT_EQ(hp15.subtitle, "Scientific");
    EXPECT_EQ(hp15.fileExtension, "15c");
    EXPECT_EQ(CalculatorModel::hp12c().subtitle, "Financial");
    EXPECT_EQ(CalculatorModel::hp16c().subtitle, "Programmer");
}

TEST(Catalog, SampleKeysOfEachModel) {
    const KeySpec& n12 = *CalculatorModel::hp12c().key(0);
    EXPECT_EQ(n12.f, "AMORT");
    EXPECT_EQ(n12.g, "12\u00D7");
    const KeySpec& dot12 = *CalculatorModel::hp12c().key(37);
    EXPECT_EQ(dot12.name, ".");
    EXPECT_EQ(dot12.face, "\u00B7");
    EXPECT_EQ(CalculatorModel::hp12c().key(18)->g, "x\u0304w");
    EXPECT_EQ(CalculatorModel::hp12c().key(26)->g, "x\u0302,r");
    EXPECT_EQ(CalculatorModel::hp12c().key(29)->name, "\u2212");

    const CalculatorModel& hp15 = CalculatorModel::hp15c();
    EXPECT_EQ(hp15.key(19)->f, "\u222B\u02B8\u2093");
    EXPECT_EQ(hp15.key(11)->g, "HYP\u207B\u00B9");
    EXPECT_EQ(hp15.key(24)->name, "\u2190");
    EXPECT_EQ(hp15.key(24)->face, "\u2B05");
    EXPECT_EQ(hp15.key(1)->face, "e\u02E3");
    EXPECT_EQ(hp15.key(37)->f, "\u0177,r");

    const CalculatorModel& hp16 = CalculatorModel::hp16c();
    EXPECT_EQ(hp16.key(9)->name, "/");
    EXPECT_EQ(hp16.key(9)->face, "\u00F7");
    EXPECT_EQ(hp16.key(29)->name, "-");
    EXPECT_EQ(hp16.key(29)->face, "\u2212");
    EXPECT_EQ(hp16.key(10)->f, "x\u2277(i)");
    EXPECT_EQ(hp16.key(38)->name, "CHS");
    EXPECT_EQ(hp16.key(38)->f, "EEX");
}

TEST(Catalog, ShortcutLookupIgnoresLetterCaseOnly) {
    EXPECT_EQ(codeFor(CalculatorModel::hp15c(), ch(U'Q')), 0);
    EXPECT_EQ(codeFor(CalculatorModel::hp15c(), ch(U'q')), 0);
    EXPECT_EQ(codeFor(CalculatorModel::hp12c(), ch(U'q')), -1);
    EXPECT_EQ(codeFor(CalculatorModel::hp12c(), ch(U'M')), 0);
    EXPECT_EQ(codeFor(CalculatorModel::hp16c(), ch(U'F')), 5);
    EXPECT_EQ(codeFor(CalculatorModel::hp16c(), ch(U'_')), 38);
    EXPECT_EQ(codeFor(CalculatorModel::hp12c(), ch(U',')), 37);
    EXPECT_EQ(codeFor(CalculatorModel::hp12c(), ch(U'\u00D7')), -1);
}

TEST(Catalog, ShiftCodeNeedsTheLegend) {
    const CalculatorModel& hp12 = CalculatorModel::hp12c();
    EXPECT_EQ(hp12.key(5)->shiftCode(KeyPart::fLabel), std::nullopt);
    EXPECT_EQ(hp12.key(5)->shiftCode(KeyPart::gLabel), 32);
    EXPECT_EQ(hp12.key(0)->shiftCode(KeyPart::fLabel), 31);
    EXPECT_EQ(hp12.key(0)->shiftCode(KeyPart::face), std::nullopt);
    EXPECT_EQ(hp12.key(9)->shiftCode(KeyPart::gLabel), std::nullopt);
}

TEST(Catalog, ShortcutLabelsAndHelpTexts) {
    const CalculatorModel& hp15 = CalculatorModel::hp15c();
    EXPECT_EQ(hp15.key(25)->shortcutLabels(), "\u23CE =");
    EXPECT_EQ(hp15.key(25)->helpText(), "ENTER \u2014 keyboard: \u23CE Return or =");
    EXPECT_EQ(CalculatorModel::hp12c().key(19)->shortcutLabels(), "* X");
    EXPECT_EQ(hp15.key(30)->helpText(), "ON \u2014 keyboard: esc");
    EXPECT_EQ(hp15.key(32)->helpText(), "g \u2014 keyboard: Alt");
    EXPECT_EQ(hp15.key(24)->shortcutLabels(), "\u232B Delete");

    KeySpec bare{.code = 3, .name = "x", .face = "X", .f = {}, .g = {}, .shortcuts = {}, .style = KeyStyle::normal};
    EXPECT_EQ(bare.shortcutLabels(), "");
    EXPECT_EQ(bare.helpText(), "X");
}

TEST(Catalog, SpecialKeyNamesAndLabels) {
    ASSERT_EQ(allSpecialKeys.size(), 10u);
    for (SpecialKey key : allSpecialKeys) EXPECT_EQ(specialKey(rawValue(key)), key);
    EXPECT_EQ(rawValue(SpecialKey::deleteKey), "delete");
    EXPECT_EQ(specialKey("deleteKey"), std::nullopt);
    EXPECT_EQ(specialKey("Tab"), std::nullopt);
    EXPECT_EQ(label(SpecialKey::returnKey), "\u23CE Return");
    EXPECT_EQ(label(SpecialKey::tab), "\u21E5 Tab");
    EXPECT_EQ(label(SpecialKey::shift), "\u21E7 Shift");
    EXPECT_EQ(label(SpecialKey::option), "Alt");
    EXPECT_EQ(sk(SpecialKey::returnKey).label(), "\u23CE Return");
    EXPECT_EQ(sk(SpecialKey::returnKey).shortLabel(), "\u23CE");
    EXPECT_EQ(ch(U'm').label(), "M");
    EXPECT_EQ(ch(U'\u00E9').label(), "\u00C9");
}

TEST(Catalog, BracketsAnnunciatorsAndColours) {
    const CalculatorModel& hp16 = CalculatorModel::hp16c();
    ASSERT_EQ(hp16.brackets.size(), 2u);
    EXPECT_EQ(hp16.brackets[0], (LegendBracket{"SHOW", 12, 15}));
    EXPECT_EQ(hp16.brackets[1], (LegendBracket{"CLEAR", 22, 24}));
    EXPECT_EQ(CalculatorModel::hp12c().brackets, (std::vector<LegendBracket>{{"CLEAR", 21, 24}}));

    std::vector<std::string> labels;
    for (const Annunciator& a : hp16.annunciators) labels.push_back(a.label);
    EXPECT_EQ(labels, (std::vector<std::string>{"f", "g", "C", "G", "PRGM"}));
    EXPECT_EQ(CalculatorModel::hp15c().annunciators.front(), (Annunciator{"USER", 4, 1.2}));
    EXPECT_EQ(CalculatorModel::hp12c().annunciators[2], (Annunciator{"BEGIN", 11, 5.0}));

    EXPECT_EQ(CalculatorModel::hp12c().colors.band, 0xC9A24Eu);
    EXPECT_EQ(CalculatorModel::hp12c().colors.lcd, 0xA9AE99u);
    EXPECT_EQ(CalculatorModel::hp15c().colors.band, 0xA9A59Cu);
    EXPECT_EQ(hp16.colors.band, 0xB79A63u);
    EXPECT_EQ(hp16.colors.lcd, 0x898989u);
    ModelColors shared = hp16.colors;
    shared.band = CalculatorModel::hp15c().colors.band;
    EXPECT_EQ(shared, CalculatorModel::hp15c().colors);
}

TEST(Catalog, LitAnnunciatorsFollowTheModelsOrder) {
    LCDState lcd;
    lcd.annunciatorBits = (uint64_t{1} << 14) | (uint64_t{1} << 21) | (uint64_t{1} << 6);
    std::vector<std::string> lit;
    for (const Annunciator& a : litAnnunciators(lcd, CalculatorModel::hp16c())) lit.push_back(a.label);
    EXPECT_EQ(lit, (std::vector<std::string>{"f", "C", "G"}));
    lit.clear();
    for (const Annunciator& a : litAnnunciators(lcd, CalculatorModel::hp12c())) lit.push_back(a.label);
    EXPECT_EQ(lit, (std::vector<std::string>{"f"}));
    EXPECT_TRUE(litAnnunciators(LCDState::blank(), CalculatorModel::hp15c()).empty());

    CalculatorModel odd = CalculatorModel::hp12c();
    odd.annunciators = {{"far", 64, 0.0}, {"low", 0, 0.0}, {"neg", -1, 0.0}};
    lcd.annunciatorBits = ~uint64_t{0};
    const auto shown = litAnnunciators(lcd, odd);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].label, "low");
}

} // namespace

} // namespace tw
