#pragma once
// A busy panel: a title above a bar that runs while the panel is shown.
#include "platform/Com.h"
#include "ui_controls/PropertyChanges.h"

#include <QLabel>
#include <QProgressBar>
#include <QTimer>
#include <QWidget>

namespace obControls {

class obStatus : public QWidget, public Platform::Com::Dispatchable, public PropertyChanges {
    Q_OBJECT
public:
    explicit obStatus(QWidget* parent = nullptr);

    static const Platform::Com::ClassInfo& Info();
    const Platform::Com::ClassInfo& Class() const override { return Info(); }
    Platform::Com::HResult Invoke(int32_t dispid, uint8_t kind,
                                  std::vector<Platform::Com::Variant>& args,
                                  Platform::Com::Variant& result,
                                  Platform::Com::ExceptionInfo* exception = nullptr) override;
    // Nothing is stored.
    void InitProperties() {}

    std::string Caption() const;
    void SetCaption(const std::string& value);

    QLabel lblTitle{"Title"};
    QProgressBar ProgressBar;
    QTimer Timer1;
    void Timer1_Timer();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
};

} // namespace obControls
