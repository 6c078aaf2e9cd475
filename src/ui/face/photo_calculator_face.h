// The calculator as a photograph with an empty display: the live display over it,
// held keys drawn pushed in, a touch area per key and the TURBO badge. Without the
// photograph the drawn face takes its place.
#pragma once

#include "core/wrapper/lcd_state.h"
#include "runtime/catalog/calculator_model.h"
#include "runtime/face/photo_face.h"
#include "ui/face/key_press_gesture.h"

#include <QImage>
#include <QPixmap>
#include <QWidget>

#include <map>
#include <optional>
#include <set>

namespace tw {

class CalculatorFace;
class LCDView;
class PhotoKeyArea;

class PhotoCalculatorFace : public QWidget {
    Q_OBJECT
public:
    explicit PhotoCalculatorFace(QWidget* parent = nullptr);
    ~PhotoCalculatorFace() override;

    void setModel(const CalculatorModel& model, const PhotoFace& face);
    void setLCD(const LCDState& lcd);
    void setPressed(const std::set<int>& pressed);
    void setLatched(const std::set<int>& latched);
    void setTurbo(bool turbo);
    void setCallbacks(FaceCallbacks callbacks);
    void setLatchHandlers(KeyLatchHandlers handlers);

    // False while the drawn face stands in for a missing photograph.
    bool showsPhoto() const { return photo_.has_value(); }
    CalculatorFace* fallback() const { return fallback_; }
    const PhotoFace& photoFace() const { return *face_; }
    PhotoKeyArea* keyArea(int code) const;
    LCDView* lcdView() const { return lcd_; }
    // Where the photograph lies in the widget.
    QRectF photoRect() const;
    // The turbo badge's box in the widget's coordinates.
    QRectF turboBadgeRect() const;
    // A key's cap in the widget's coordinates, as drawn pressed.
    QRectF capRect(int code) const;

    void abandonPresses();
    void paintPhoto(QPainter& painter);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void lookUpPhoto();
    void rebuild();
    void disconnectAreas();
    void placeChildren();
    void pressKey(int code, KeyPart part);
    void releaseKey(int code);
    bool isPressed(const KeySpec& key) const;

    const CalculatorModel* model_;
    const PhotoFace* face_;
    LCDState lcdState_;
    std::set<int> pressed_;
    std::set<int> latched_;
    bool turbo_ = false;
    FaceCallbacks callbacks_;
    KeyLatchHandlers handlers_;
    std::optional<QImage> photo_;
    QPixmap scaled_; // the photograph at the current size
    LCDView* lcd_ = nullptr;
    std::map<int, PhotoKeyArea*> areas_;
    CalculatorFace* fallback_ = nullptr;
};

} // namespace tw
