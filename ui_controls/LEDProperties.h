#pragma once
// The LED's property page: its three options and its value, applied to the first selected
// control.
#include "platform/Com.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QWidget>
#include <vector>

namespace obControls {

class LED;

class LEDProperties : public QWidget {
    Q_OBJECT
public:
    explicit LEDProperties(QWidget* parent = nullptr);

    QCheckBox chkShowBorder{"ShowBorder"};
    QCheckBox chkShowDecimal{"ShowDecimal"};
    QCheckBox chkValueIsMask{"ValueIsMask"};
    QLabel lblValue{"Value:"};
    QLineEdit txtValue;

    void SelectionChanged(const std::vector<LED*>& selected);
    bool Changed() const { return changed_; }
    // Applies the page in order; false (with the error) when the value is refused, the
    // properties before it staying applied.
    bool ApplyChanges(Platform::Com::ExceptionInfo* error = nullptr);

private:
    QPointer<LED> first_;
    bool changed_ = false;
};

} // namespace obControls
