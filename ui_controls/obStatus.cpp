#include "ui_controls/obStatus.h"

#include "platform/ComControl.h"
#include "ui_controls/ControlGeometry.h"

using namespace Platform::Com;

namespace obControls {

namespace {

// A put takes the caption as text; the argument is not written back.
HResult Caption(obStatus& status, Call& call) {
    if (!call.Put()) return Result<&obStatus::Caption>(status, call);
    auto text = ToText(call.args[0]);
    if (!text) return DISP_E_TYPEMISMATCH;
    status.SetCaption(*text);
    return S_OK;
}

constexpr Member<obStatus> kMembers[] = {{0x68030000, "Caption", kGetPut, 0, Caption}};

const ControlClass kClass({"obControls.obStatus",
                           "{99203E9C-2FAB-4240-9065-E1E965BC73D9}",
                           "_obStatus",
                           "{0CF258B4-B336-4F71-B2C4-3B58F3286EC1}",
                           "{888DB773-B1F5-4B46-B05E-1C89C434AF4C}", // __obStatus, no events
                           {},
                           {}},
                          kMembers);

constexpr int kDefaultWidthTwips = 3030, kDefaultHeightTwips = 900;

} // namespace

obStatus::obStatus(QWidget* parent) : QWidget(parent) {
    lblTitle.setParent(this);
    ProgressBar.setParent(this);
    ProgressBar.setTextVisible(false);
    ProgressBar.setRange(0, 100);
    ProgressBar.setValue(20);
    Timer1.setInterval(100);
    connect(&Timer1, &QTimer::timeout, this, &obStatus::Timer1_Timer);
    const TwipsPerPixel tpp = ScreenTwipsPerPixel(this);
    resize(static_cast<int>(kDefaultWidthTwips / tpp.x),
           static_cast<int>(kDefaultHeightTwips / tpp.y));
}

const ClassInfo& obStatus::Info() {
    return kClass.Info();
}

HResult obStatus::Invoke(int32_t dispid, uint8_t kind, std::vector<Variant>& args, Variant& result,
                         ExceptionInfo* exception) {
    return kClass.Invoke(*this, dispid, kind, args, result, exception);
}

std::string obStatus::Caption() const {
    return lblTitle.text().toLatin1().toStdString();
}

void obStatus::SetCaption(const std::string& value) {
    lblTitle.setText(QString::fromLatin1(value.data(), static_cast<int>(value.size())));
    MarkChanged("Caption");
}

void obStatus::Timer1_Timer() {
    ProgressBar.setValue(
        StatusBarStep(ProgressBar.value(), ProgressBar.minimum(), ProgressBar.maximum()));
}

void obStatus::showEvent(QShowEvent*) {
    ProgressBar.setValue(ProgressBar.minimum() + 20);
    Timer1.start();
}

void obStatus::hideEvent(QHideEvent*) {
    Timer1.stop();
}

void obStatus::resizeEvent(QResizeEvent*) {
    const TwipsPerPixel tpp = ScreenTwipsPerPixel(this);
    const StatusLayout s =
        LayoutStatus(static_cast<int32_t>(width() * tpp.x), static_cast<int32_t>(height() * tpp.y));
    auto place = [&](QWidget& w, int32_t l, int32_t t, int32_t wd, int32_t h) {
        w.setGeometry(static_cast<int>(l / tpp.x), static_cast<int>(t / tpp.y),
                      std::max(0, static_cast<int>(wd / tpp.x)),
                      std::max(0, static_cast<int>(h / tpp.y)));
    };
    place(ProgressBar, s.barLeft, s.barTop, s.barWidth, s.barHeight);
    place(lblTitle, s.titleLeft, s.titleTop, s.titleWidth, s.titleHeight);
}

} // namespace obControls
