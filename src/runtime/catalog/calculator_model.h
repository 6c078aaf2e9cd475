// The fixed description of the three calculators: keys and legends, brackets,
// annunciators and the colours of the drawn face. Built once on first use.
#pragma once

#include "runtime/catalog/catalog_key.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace tw {

struct LCDState;

// A label printed over a run of gold legends, from the leftmost to the rightmost key.
struct LegendBracket {
    std::string label;
    int fromCode = 0;
    int toCode = 0; // inclusive
    bool operator==(const LegendBracket&) const = default;
};

struct Annunciator {
    std::string label;
    int bit = 0;       // 0..63 in LCDState::annunciatorBits
    double cell = 0.0; // position along the display in digit cells
    bool operator==(const Annunciator&) const = default;
};

// 0xRRGGBB each.
struct ModelColors {
    uint32_t body = 0;
    uint32_t bezel = 0;
    uint32_t band = 0;
    uint32_t fLegend = 0;
    uint32_t gLegend = 0;
    uint32_t keyCap = 0;
    uint32_t keyFront = 0;
    uint32_t fKey = 0;
    uint32_t gKey = 0;
    uint32_t lcd = 0;
    uint32_t segment = 0;
    bool operator==(const ModelColors&) const = default;
};

struct CalculatorModel {
    int id = 0; // 12, 15 or 16
    std::string name;
    std::string subtitle;
    std::string fileExtension;
    std::vector<KeySpec> keys; // 39, ascending code; 35 is the lower half of ENTER
    std::vector<LegendBracket> brackets;
    std::vector<Annunciator> annunciators;
    ModelColors colors;

    static const CalculatorModel& hp12c();
    static const CalculatorModel& hp15c();
    static const CalculatorModel& hp16c();
    // hp16c, hp15c, hp12c.
    static const std::array<const CalculatorModel*, 3>& all();
    // The model with this id; the HP-16C for any other id.
    static const CalculatorModel& model(int id);

    // The key with this code (35 gives ENTER); null for no key.
    const KeySpec* key(int code) const;
    // The key that a desktop key presses, letter case ignored; null for none.
    const KeySpec* key(const KeyShortcut& shortcut) const;

    // Models are identified by id.
    bool operator==(const CalculatorModel& other) const { return id == other.id; }
};

// The model's annunciators, in its order, that the display lights.
std::vector<Annunciator> litAnnunciators(const LCDState& lcd, const CalculatorModel& model);

} // namespace tw
