#pragma once
// A seven-segment LED digit with a decimal point, lit and unlit colours, showing a digit
// 0..9 or any segment pattern as a mask.
#include "platform/Com.h"
#include "ui_controls/ControlGeometry.h"
#include "ui_controls/PropertyChanges.h"

#include <QWidget>
#include <array>

namespace obControls {

enum LEDErrorType : int32_t { LEDOverFlow = 100, LEDInvalidMask = 200 };
enum BackStyleType : int32_t { TRANSPARENT = 0, Opaque = 1 };

// The message of an LED error code.
std::string LEDErrorText(int32_t code);

class LED : public QWidget, public Platform::Com::Dispatchable, public PropertyChanges {
    Q_OBJECT
public:
    // userMode False = a form designer: range errors show a box and store 0.
    explicit LED(QWidget* parent = nullptr, bool userMode = true);

    static const Platform::Com::ClassInfo& Info();
    const Platform::Com::ClassInfo& Class() const override { return Info(); }
    Platform::Com::HResult Invoke(int32_t dispid, uint8_t kind,
                                  std::vector<Platform::Com::Variant>& args,
                                  Platform::Com::Variant& result,
                                  Platform::Com::ExceptionInfo* exception = nullptr) override;

    void InitProperties();
    void ReadProperties(const Platform::Com::PropertyBag& bag);
    void WriteProperties(Platform::Com::PropertyBag& bag) const;

    int16_t Value() const { return value_; }
    // False (with the error in *error) when refused at run time.
    bool SetValue(int16_t value, Platform::Com::ExceptionInfo* error = nullptr);
    bool ValueIsMask() const { return valueIsMask_; }
    void SetValueIsMask(bool value);
    bool ShowDecimal() const { return showDecimal_; }
    void SetShowDecimal(bool value);
    bool ShowBorder() const { return showBorder_; }
    void SetShowBorder(bool value);
    int32_t LEDColorOn() const { return colorOn_; }
    void SetLEDColorOn(int32_t value);
    int32_t LEDColorOff() const { return colorOff_; }
    void SetLEDColorOff(int32_t value);
    int32_t BackStyle() const { return backStyle_; }
    void SetBackStyle(int32_t value);

    // What is shown: each segment's colour, the decimal point's, and the layout in twips.
    int32_t SegmentColour(int i) const { return segmentColours_[i]; }
    int32_t DecimalColour() const { return decimalColour_; }
    const LedLayout& Layout() const { return layout_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void UpdateSegments();
    void UpdateDecimal();
    // Raises the error at run time (false); at design time shows the box (true: go on).
    bool ShowLEDError(int32_t code, Platform::Com::ExceptionInfo* error);
    void Relayout();

    bool userMode_;
    int16_t value_ = 0;
    bool valueIsMask_ = false, showDecimal_ = false, showBorder_ = false;
    int32_t colorOn_ = 255, colorOff_ = 0, backStyle_ = TRANSPARENT;
    std::array<int32_t, 7> segmentColours_{};
    int32_t decimalColour_ = 0;
    LedLayout layout_;
};

} // namespace obControls
