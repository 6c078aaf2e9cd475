// The calculator face as the window places it: chooses landscape or portrait from
// the offered size, the photograph or the drawn face, and feeds the chosen face.
#pragma once

#include "core/wrapper/lcd_state.h"
#include "runtime/catalog/calculator_model.h"
#include "ui/face/key_press_gesture.h"
#include "ui/face/keyboard_layout.h"

#include <QWidget>

#include <optional>
#include <set>

namespace tw {

class AppModel;
class CalculatorFace;
class HardwareKeyboard;
class PhotoCalculatorFace;

class CalculatorView : public QWidget {
    Q_OBJECT
public:
    explicit CalculatorView(QWidget* parent = nullptr);
    // Fed from the application model and playing it: its published state redraws the
    // face, and the face's presses, releases and latching go through its latch. The
    // desktop keyboard plays the same model while this view is shown.
    explicit CalculatorView(AppModel& app, QWidget* parent = nullptr);

    void setForcedLayout(std::optional<KeyboardLayout> layout);
    void setModel(const CalculatorModel& model);
    void setPhotoStyle(bool photo);
    void setLCD(const LCDState& lcd);
    void setPressed(const std::set<int>& pressed);
    void setLatched(const std::set<int>& latched);
    void setTurbo(bool turbo);
    void setVariant(int variant);
    void setCallbacks(FaceCallbacks callbacks);
    void setLatchHandlers(KeyLatchHandlers handlers);

    KeyboardLayout currentLayout() const;
    // The photograph is asked for: photo style, landscape, a model with a photograph.
    bool wantsPhoto() const;
    CalculatorFace* drawnFace() const { return drawn_; }
    PhotoCalculatorFace* photoFace() const { return photo_; }
    QWidget* currentFace() const;
    // Only on a view made with the application model.
    HardwareKeyboard* keyboard() const { return keyboard_; }

    void abandonPresses();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void bind(AppModel& app);
    void choose();

    std::optional<KeyboardLayout> forcedLayout_;
    const CalculatorModel* model_;
    bool photoStyle_ = false;
    LCDState lcd_;
    std::set<int> pressed_;
    std::set<int> latched_;
    bool turbo_ = false;
    int variant_ = 0;
    FaceCallbacks callbacks_;
    KeyLatchHandlers handlers_;
    CalculatorFace* drawn_;
    PhotoCalculatorFace* photo_ = nullptr;
    HardwareKeyboard* keyboard_ = nullptr;
};

} // namespace tw
