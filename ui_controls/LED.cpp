#include "ui_controls/LED.h"

#include "platform/MessageBox.h"
#include "ui_controls/OleColour.h"

#include <QPainter>

namespace Com = Platform::Com;

namespace obControls {

namespace {
constexpr int32_t kObjectErrorBase = static_cast<int32_t>(0x80040000);
constexpr int kDefaultWidthTwips = 1350, kDefaultHeightTwips = 1755;
} // namespace

std::string LEDErrorText(int32_t code) {
    switch (code) {
    case LEDOverFlow:
        return "Invalid Value:  Valid values are 0 to 9.";
    case LEDInvalidMask:
        return "Invalid Value (Mask):  Valid values are 0 to 127.";
    default:
        return "Unknown Error!";
    }
}

LED::LED(QWidget* parent, bool userMode) : QWidget(parent), userMode_(userMode) {
    const TwipsPerPixel tpp = ScreenTwipsPerPixel(this);
    resize(static_cast<int>(kDefaultWidthTwips / tpp.x),
           static_cast<int>(kDefaultHeightTwips / tpp.y));
    UpdateSegments();
    UpdateDecimal();
}

void LED::InitProperties() {
    value_ = 0;
    valueIsMask_ = showDecimal_ = showBorder_ = false;
    colorOn_ = 255;
    colorOff_ = 0;
    UpdateSegments();
    UpdateDecimal();
}

void LED::ReadProperties(const Com::PropertyBag& bag) {
    auto flag = [&](const char* key) {
        return Com::ToBoolean(bag.ReadProperty(key, false)).value_or(false);
    };
    auto whole = [&](const char* key, int32_t def) {
        return Com::ToLong(bag.ReadProperty(key, def)).value_or(def);
    };
    SetValueIsMask(flag("ValueIsMask"));
    SetValue(static_cast<int16_t>(whole("Value", 0)));
    SetShowDecimal(flag("ShowDecimal"));
    SetLEDColorOn(whole("LEDColorOn", 255));
    SetLEDColorOff(whole("LEDColorOff", 0));
    SetShowBorder(flag("ShowBorder"));
    backStyle_ = whole("BackStyle", TRANSPARENT);
    update();
}

void LED::WriteProperties(Com::PropertyBag& bag) const {
    bag.WriteProperty("Value", value_, int16_t(0));
    bag.WriteProperty("ShowDecimal", showDecimal_, false);
    bag.WriteProperty("LEDColorOn", colorOn_, 255);
    bag.WriteProperty("LEDColorOff", colorOff_, 0);
    bag.WriteProperty("ShowBorder", showBorder_, false);
    bag.WriteProperty("BackStyle", backStyle_, int32_t(TRANSPARENT));
    bag.WriteProperty("ValueIsMask", valueIsMask_, false);
}

bool LED::SetValue(int16_t value, Com::ExceptionInfo* error) {
    const int16_t highest = valueIsMask_ ? 127 : 9;
    if (value < 0 || value > highest) {
        if (!ShowLEDError(valueIsMask_ ? LEDInvalidMask : LEDOverFlow, error)) return false;
        value = 0;
    }
    value_ = value;
    MarkChanged("Value");
    UpdateSegments();
    return true;
}

void LED::SetValueIsMask(bool value) {
    if (value == valueIsMask_) return;
    valueIsMask_ = value;
    MarkChanged("ValueIsMask");
    UpdateSegments();
}

void LED::SetShowDecimal(bool value) {
    showDecimal_ = value;
    MarkChanged("ShowDecimal");
    UpdateDecimal();
}

void LED::SetShowBorder(bool value) {
    showBorder_ = value;
    MarkChanged("ShowBorder");
    Relayout();
}

void LED::SetLEDColorOn(int32_t value) {
    colorOn_ = value;
    MarkChanged("LEDColorOn");
    UpdateSegments();
    UpdateDecimal();
}

void LED::SetLEDColorOff(int32_t value) {
    colorOff_ = value;
    MarkChanged("LEDColorOff");
    UpdateSegments();
    UpdateDecimal();
}

void LED::SetBackStyle(int32_t value) {
    backStyle_ = value;
    MarkChanged("BackStyle");
    update();
}

void LED::UpdateSegments() {
    const int32_t mask = valueIsMask_ ? value_ : DigitMask(value_);
    for (int i = 0; i < 7; ++i)
        segmentColours_[i] = (mask & (1 << i)) ? colorOn_ : colorOff_;
    update();
}

void LED::UpdateDecimal() {
    decimalColour_ = showDecimal_ ? colorOn_ : colorOff_;
    update();
}

bool LED::ShowLEDError(int32_t code, Com::ExceptionInfo* error) {
    const std::string message = LEDErrorText(code);
    if (userMode_) {
        if (error) *error = {kObjectErrorBase + code, message};
        return false;
    }
    Platform::MsgBox(message, Platform::vbExclamation, "LED Error");
    return true;
}

void LED::Relayout() {
    const TwipsPerPixel tpp = ScreenTwipsPerPixel(this);
    const int border = showBorder_ ? 1 : 0;
    layout_ = LayoutLed(static_cast<int32_t>((width() - 2 * border) * tpp.x),
                        static_cast<int32_t>((height() - 2 * border) * tpp.y));
    update();
}

void LED::resizeEvent(QResizeEvent*) {
    Relayout();
}

void LED::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const TwipsPerPixel tpp = ScreenTwipsPerPixel(this);
    if (backStyle_ == Opaque) p.fillRect(rect(), palette().color(QPalette::Button));
    const int border = showBorder_ ? 1 : 0;
    if (showBorder_) {
        p.setPen(Qt::black);
        p.drawRect(rect().adjusted(0, 0, -1, -1));
    }
    p.translate(border, border);
    p.setRenderHint(QPainter::Antialiasing);
    auto px = [&](int32_t twips, double factor) { return twips / factor; };
    for (int i = 0; i < 7; ++i) {
        const Segment& s = layout_.segments[i];
        p.setPen(QPen(TranslateColour(segmentColours_[i]), std::max(1, layout_.thickness),
                      Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(px(s.x1, tpp.x), px(s.y1, tpp.y)),
                   QPointF(px(s.x2, tpp.x), px(s.y2, tpp.y)));
    }
    const QColor decimal = TranslateColour(decimalColour_);
    p.setPen(decimal);
    p.setBrush(decimal);
    p.drawRect(QRectF(px(layout_.decimalLeft, tpp.x), px(layout_.decimalTop, tpp.y),
                      px(layout_.c, tpp.x), px(layout_.c, tpp.y)));
}

} // namespace obControls
