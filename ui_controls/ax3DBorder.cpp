#include "ui_controls/ax3DBorder.h"

#include "platform/ComControl.h"
#include "ui_controls/OleColour.h"

#include <QMouseEvent>
#include <QPainter>

using namespace Platform::Com;

namespace obControls {

namespace {

using B = ax3DBorder;
constexpr Member<ax3DBorder> kMembers[] = {
    {0x68030003, "BorderStyle", kGetPut, 0, Property<&B::BorderStyle, &B::SetBorderStyle, ToLong>},
    {0x68030002, "BackColor", kGetPut, 0, Property<&B::BackColor, &B::SetBackColor, ToLong>}};
constexpr EventMember kEvents[] = {{1, "Resize", 0},    {2, "Click", 0},   {3, "DblClick", 0},
                                   {4, "MouseDown", 4}, {5, "MouseUp", 4}, {6, "MouseMove", 4}};

const ControlClass kClass({"obControls.ax3DBorder",
                           "{A44E4D74-43F6-4080-AA2B-1FF29648289B}",
                           "_ax3DBorder",
                           "{CF920418-1F7E-4B91-BA2D-ED2CF4C9CEE4}",
                           "{058C51E1-C7BF-4E3A-8162-D5BB8AC23E63}", // __ax3DBorder
                           {},
                           kEvents},
                          kMembers);

constexpr int32_t kLight = 0xE0E0E0, kDark = 0x808080;
constexpr int32_t kButtonFace = static_cast<int32_t>(0x8000000F);
constexpr int kDefaultWidthTwips = 2370, kDefaultHeightTwips = 1125;

} // namespace

ax3DBorder::ax3DBorder(QWidget* parent) : QWidget(parent) {
    const TwipsPerPixel tpp = ScreenTwipsPerPixel(this);
    resize(static_cast<int>(kDefaultWidthTwips / tpp.x),
           static_cast<int>(kDefaultHeightTwips / tpp.y));
    InitProperties();
    ClearChanges();
}

const ClassInfo& ax3DBorder::Info() {
    return kClass.Info();
}

void ax3DBorder::InitProperties() {
    SetBorderStyle(Raised);
}

void ax3DBorder::ReadProperties(const PropertyBag& bag) {
    SetBorderStyle(ToLong(bag.ReadProperty("BorderStyle", 1)).value_or(Raised));
    SetBackColor(ToLong(bag.ReadProperty("BackColor", kButtonFace)).value_or(kButtonFace));
}

void ax3DBorder::WriteProperties(PropertyBag& bag) const {
    bag.WriteProperty("BorderStyle", borderStyle_, int32_t(Raised));
    bag.WriteProperty("BackColor", backColor_, kButtonFace);
}

void ax3DBorder::SetBorderStyle(int32_t value) {
    const bool raised = value == Raised;
    lineColours_ = raised ? std::array<int32_t, 4>{kLight, kLight, kDark, kDark}
                          : std::array<int32_t, 4>{kDark, kDark, kLight, kLight};
    borderStyle_ = value;
    MarkChanged("BorderStyle");
    update();
}

void ax3DBorder::SetBackColor(int32_t value) {
    backColor_ = value;
    MarkChanged("BackColor");
    update();
}

HResult ax3DBorder::Invoke(int32_t dispid, uint8_t kind, std::vector<Variant>& args,
                           Variant& result, ExceptionInfo* exception) {
    return kClass.Invoke(*this, dispid, kind, args, result, exception);
}

void ax3DBorder::resizeEvent(QResizeEvent*) {
    const TwipsPerPixel tpp = ScreenTwipsPerPixel(this);
    lines_ =
        BorderLines(static_cast<int32_t>(width() * tpp.x), static_cast<int32_t>(height() * tpp.y));
    emit Resize();
}

void ax3DBorder::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), TranslateColour(backColor_));
    const TwipsPerPixel tpp = ScreenTwipsPerPixel(this);
    for (int i = 0; i < 4; ++i) {
        const Segment& s = lines_[i];
        p.setPen(TranslateColour(lineColours_[i]));
        p.drawLine(QPointF(s.x1 / tpp.x, s.y1 / tpp.y), QPointF(s.x2 / tpp.x, s.y2 / tpp.y));
    }
}

void ax3DBorder::RaiseMouse(QMouseEvent* event,
                            void (ax3DBorder::*signal)(int16_t, int16_t, float, float)) {
    const TwipsPerPixel tpp = ScreenTwipsPerPixel(this);
    int16_t button = 0, shift = 0;
    const Qt::MouseButtons buttons = event->buttons() | event->button();
    if (buttons & Qt::LeftButton) button |= 1;
    if (buttons & Qt::RightButton) button |= 2;
    if (buttons & Qt::MiddleButton) button |= 4;
    if (event->modifiers() & Qt::ShiftModifier) shift |= 1;
    if (event->modifiers() & Qt::ControlModifier) shift |= 2;
    if (event->modifiers() & Qt::AltModifier) shift |= 4;
    emit(this->*signal)(button, shift, static_cast<float>(event->position().x() * tpp.x),
                        static_cast<float>(event->position().y() * tpp.y));
}

void ax3DBorder::mousePressEvent(QMouseEvent* event) {
    RaiseMouse(event, &ax3DBorder::MouseDown);
}

void ax3DBorder::mouseReleaseEvent(QMouseEvent* event) {
    RaiseMouse(event, &ax3DBorder::MouseUp);
    if (rect().contains(event->position().toPoint())) emit Click();
}

void ax3DBorder::mouseMoveEvent(QMouseEvent* event) {
    RaiseMouse(event, &ax3DBorder::MouseMove);
}

void ax3DBorder::mouseDoubleClickEvent(QMouseEvent*) {
    emit DblClick();
}

} // namespace obControls
