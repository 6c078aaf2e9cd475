#include "runtime/catalog/calculator_model.h"

#include "core/wrapper/lcd_state.h"
#include "runtime/catalog/model_tables.h"

namespace tw {

const CalculatorModel& CalculatorModel::hp12c() {
    static const CalculatorModel model = makeHp12c();
    return model;
}

const CalculatorModel& CalculatorModel::hp15c() {
    static const CalculatorModel model = makeHp15c();
    return model;
}

const CalculatorModel& CalculatorModel::hp16c() {
    static const CalculatorModel model = makeHp16c();
    return model;
}

const std::array<const CalculatorModel*, 3>& CalculatorModel::all() {
    static const std::array<const CalculatorModel*, 3> models = {&hp16c(), &hp15c(), &hp12c()};
    return models;
}

const CalculatorModel& CalculatorModel::model(int id) {
    for (const CalculatorModel* model : all())
        if (model->id == id) return *model;
    return hp16c();
}

const KeySpec* CalculatorModel::key(int code) const {
    for (const KeySpec& key : keys) {
        if (key.code == code) return &key;
        if (key.style == KeyStyle::enter && code == keycode::enterLower) return &key;
    }
    return nullptr;
}

const KeySpec* CalculatorModel::key(const KeyShortcut& shortcut) const {
    const KeyShortcut wanted = shortcut.lowercased();
    for (const KeySpec& key : keys)
        for (const KeyShortcut& candidate : key.shortcuts)
            if (candidate.lowercased() == wanted) return &key;
    return nullptr;
}

std::vector<Annunciator> litAnnunciators(const LCDState& lcd, const CalculatorModel& model) {
    std::vector<Annunciator> lit;
    for (const Annunciator& annunciator : model.annunciators) {
        if (annunciator.bit < 0 || annunciator.bit >= 64) continue;
        if (lcd.annunciatorBits & (uint64_t{1} << annunciator.bit)) lit.push_back(annunciator);
    }
    return lit;
}

} // namespace tw
