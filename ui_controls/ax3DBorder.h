#pragma once
// A rectangle with a one-pixel raised or lowered 3-D edge that passes its mouse and resize
// events on to the host.
#include "platform/Com.h"
#include "ui_controls/ControlGeometry.h"
#include "ui_controls/PropertyChanges.h"

#include <QWidget>
#include <array>

namespace obControls {

enum obBorderStyle : int32_t { Lowered = 0, Raised = 1 };

class ax3DBorder : public QWidget, public Platform::Com::Dispatchable, public PropertyChanges {
    Q_OBJECT
public:
    explicit ax3DBorder(QWidget* parent = nullptr);

    static const Platform::Com::ClassInfo& Info();
    const Platform::Com::ClassInfo& Class() const override { return Info(); }
    Platform::Com::HResult Invoke(int32_t dispid, uint8_t kind,
                                  std::vector<Platform::Com::Variant>& args,
                                  Platform::Com::Variant& result,
                                  Platform::Com::ExceptionInfo* exception = nullptr) override;

    void InitProperties();
    void ReadProperties(const Platform::Com::PropertyBag& bag);
    void WriteProperties(Platform::Com::PropertyBag& bag) const;

    int32_t BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(int32_t value);
    int32_t BackColor() const { return backColor_; }
    void SetBackColor(int32_t value);

    // lineTop, lineLeft, lineRight, lineBottom: colours (packed) and ends in twips.
    std::array<int32_t, 4> LineColours() const { return lineColours_; }
    std::array<Segment, 4> Lines() const { return lines_; }

signals:
    void Resize();
    void Click();
    void DblClick();
    void MouseDown(int16_t Button, int16_t Shift, float x, float y);
    void MouseUp(int16_t Button, int16_t Shift, float x, float y);
    void MouseMove(int16_t Button, int16_t Shift, float x, float y);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void RaiseMouse(QMouseEvent* event, void (ax3DBorder::*signal)(int16_t, int16_t, float, float));

    int32_t borderStyle_ = Raised;
    int32_t backColor_ = static_cast<int32_t>(0x8000000F);
    std::array<int32_t, 4> lineColours_{};
    std::array<Segment, 4> lines_{};
};

} // namespace obControls
