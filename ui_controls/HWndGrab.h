#pragma once
// The window grabber: watches its host form's window, keeps it between its minimum and
// maximum size (twips), reports moves and mouse messages, and draws the menu items
// registered with it.
#include "platform/Com.h"
#include "ui_controls/ControlGeometry.h"
#include "ui_controls/PropertyChanges.h"

#include <QImage>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QWidget>

namespace obControls {

class HWndGrab : public QObject, public Platform::Com::Dispatchable, public PropertyChanges {
    Q_OBJECT
public:
    // host: the form that carries the control; userMode False = a form designer (no hook).
    explicit HWndGrab(QWidget* host = nullptr, bool userMode = true);
    ~HWndGrab() override;

    static const Platform::Com::ClassInfo& Info();
    const Platform::Com::ClassInfo& Class() const override { return Info(); }
    Platform::Com::HResult Invoke(int32_t dispid, uint8_t kind,
                                  std::vector<Platform::Com::Variant>& args,
                                  Platform::Com::Variant& result,
                                  Platform::Com::ExceptionInfo* exception = nullptr) override;

    void InitProperties();
    void ReadProperties(const Platform::Com::PropertyBag& bag);
    void WriteProperties(Platform::Com::PropertyBag& bag) const;

    int32_t hwnd() const;
    bool LimitWindowSize() const { return limitWindowSize_; }
    void SetLimitWindowSize(bool value);
    bool LimitCodeSizing() const { return limitCodeSizing_; }
    void SetLimitCodeSizing(bool& value);
    int32_t MaxWidth() const { return limits_.maxWidth; }
    void SetMaxWidth(int32_t value);
    int32_t MaxHeight() const { return limits_.maxHeight; }
    void SetMaxHeight(int32_t value);
    int32_t MinWidth() const { return limits_.minWidth; }
    void SetMinWidth(int32_t value);
    int32_t MinHeight() const { return limits_.minHeight; }
    void SetMinHeight(int32_t value);
    int32_t MouseHoverTime() const { return mouseHoverTime_; }
    void SetMouseHoverTime(int32_t value);
    bool ReturnAllMessages() const { return returnAllMessages_; }
    void SetReturnAllMessages(bool value);

    // Menu registration: item menuNum of the menu bar's menu subMenu.
    void AddMenuItem(int32_t subMenu, int32_t menuNum, const std::string& Caption,
                     const QImage& Icon, const QImage& disIcon = {});
    int32_t AddPopup(QObject* hMenu, QMenu* hSubMenu, QAction* menuItemID,
                     const std::string& Caption, const QImage& Icon, const QImage& disIcon = {});
    void ClearMenuItem(int32_t& hClear);
    void FinaliseMenus();

    bool Hooked() const { return !hooked_.isNull(); }
    // The twips per pixel used for the limits (the host's screen unless set).
    void SetTwipsPerPixel(TwipsPerPixel tpp) { tpp_ = tpp; }

signals:
    // Raised never on this platform: copy-data and non-client messages do not exist here.
    void CopyDataReceived(int32_t lParam, int32_t& retCode);
    void CopyDataReceivedEx(int32_t lParam, int32_t& retCode, int32_t SenderHWND);
    void WindowsNonClientMouseMove(int16_t Button, int16_t Shift, int16_t x, int16_t y);
    void WindowsNonClientMouseLeave();
    void WindowsNonClientMouseHover(int16_t Button, int16_t Shift, int16_t x, int16_t y);

    void Move(int32_t clientx, int32_t clienty, int32_t screenx, int32_t screeny);
    void WindowProcMessage(int32_t hwnd, int32_t uMsg, int32_t wParam, int32_t lParam);
    void WindowsClientMouseMove(int16_t Button, int16_t Shift, int16_t x, int16_t y);
    void WindowsClientMouseLeave();
    void WindowsClientMouseHover(int16_t Button, int16_t Shift, int16_t x, int16_t y);
    void WindowsMouseWheel(int16_t Button, int16_t Shift, int16_t x, int16_t y,
                           int16_t WheelDistance);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void HookWindow();
    void UnhookWindow();
    // True when the event was answered here (not passed on).
    bool ProcessWindowMessage(QEvent* event);
    bool EnforceSize();
    void ApplySizeHints();
    TwipsPerPixel Tpp() const;

    QPointer<QWidget> host_;
    QPointer<QWidget> hooked_;
    bool userMode_;
    bool limitWindowSize_ = false;
    bool limitCodeSizing_ = true;
    bool returnAllMessages_ = false;
    int32_t mouseHoverTime_ = 0;
    SizeLimits limits_;
    std::optional<TwipsPerPixel> tpp_;
    QTimer hoverTimer_;
    ButtonShift lastKeys_;
    QPoint lastMouse_;
    bool widgetLimits_ = false; // the widget's minimum and maximum sizes are ours
    bool windowHints_ = false;  // so are the native window's size hints
};

} // namespace obControls
