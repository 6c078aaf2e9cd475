// The calculator drawn without photographs, entirely from its catalogue entry: body,
// display in its bezel, name block, keyboard band, gold legends, brackets and keys.
#pragma once

#include "core/wrapper/lcd_state.h"
#include "runtime/catalog/calculator_model.h"
#include "ui/face/face_layout.h"
#include "ui/face/key_press_gesture.h"

#include <QWidget>

#include <map>
#include <set>

namespace tw {

class DecorationLayer;
class KeyView;
class LCDView;
class LegendArea;

class CalculatorFace : public QWidget {
    Q_OBJECT
public:
    explicit CalculatorFace(QWidget* parent = nullptr);
    ~CalculatorFace() override;

    void setModel(const CalculatorModel& model);
    void setLCD(const LCDState& lcd);
    void setPressed(const std::set<int>& pressed);
    void setLatched(const std::set<int>& latched);
    void setKeyboardLayout(KeyboardLayout layout);
    void setTurbo(bool turbo);
    void setVariant(int variant) { variant_ = variant; }
    void setCallbacks(FaceCallbacks callbacks) { callbacks_ = std::move(callbacks); }
    void setLatchHandlers(KeyLatchHandlers handlers) { handlers_ = std::move(handlers); }

    const CalculatorModel& model() const { return *model_; }
    KeyboardLayout keyboardLayout() const { return layout_; }
    FaceLayout faceLayout() const { return FaceLayout::make(size(), layout_); }
    bool turbo() const { return turbo_; }
    int variant() const { return variant_; }

    KeyView* keyView(int code) const;
    LegendArea* legendArea(int code) const;
    LCDView* lcdView() const { return lcd_; }

    // Ends every press in progress (before the keys go away, or when the face is hidden).
    void abandonPresses();

    // Paints the face without its child widgets (for the benchmarks).
    void paintFace(QPainter& painter) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void rebuildKeys();
    void disconnectKeys();
    void placeChildren();
    void paintNameBlock(QPainter& painter, const FaceLayout& f) const;
    void paintLegends(QPainter& painter, const FaceLayout& f) const;
    void paintKeyShadows(QPainter& painter) const;
    void paintBadges(QPainter& painter) const;
    void pressKey(int code, KeyPart part);
    void releaseKey(int code);

    const CalculatorModel* model_;
    KeyboardLayout layout_ = KeyboardLayout::landscape;
    bool turbo_ = false;
    int variant_ = 0;
    std::set<int> pressed_;
    std::set<int> latched_;
    FaceCallbacks callbacks_;
    KeyLatchHandlers handlers_;
    LCDView* lcd_;
    std::map<int, KeyView*> keys_;
    std::map<int, LegendArea*> legends_;
    DecorationLayer* decorations_;
};

} // namespace tw
