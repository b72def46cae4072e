#include "ui_controls/LEDProperties.h"

#include "ui_controls/LED.h"

#include <QGridLayout>

namespace obControls {

namespace {
constexpr int32_t kTypeMismatch = 13;
}

LEDProperties::LEDProperties(QWidget* parent) : QWidget(parent) {
    auto* grid = new QGridLayout(this);
    grid->addWidget(&chkShowBorder, 0, 0, 1, 2);
    grid->addWidget(&chkShowDecimal, 1, 0, 1, 2);
    grid->addWidget(&chkValueIsMask, 2, 0, 1, 2);
    grid->addWidget(&lblValue, 3, 0);
    grid->addWidget(&txtValue, 3, 1);
    for (QCheckBox* box : {&chkShowBorder, &chkShowDecimal, &chkValueIsMask})
        connect(box, &QCheckBox::clicked, this, [this] { changed_ = true; });
    connect(&txtValue, &QLineEdit::textChanged, this, [this] { changed_ = true; });
}

void LEDProperties::SelectionChanged(const std::vector<LED*>& selected) {
    first_ = selected.empty() ? nullptr : selected.front();
    if (!first_) return;
    chkShowBorder.setChecked(first_->ShowBorder());
    chkShowDecimal.setChecked(first_->ShowDecimal());
    chkValueIsMask.setChecked(first_->ValueIsMask());
    txtValue.setText(QString::number(first_->Value()));
    changed_ = false;
}

bool LEDProperties::ApplyChanges(Platform::Com::ExceptionInfo* error) {
    if (!first_) return true;
    first_->SetShowBorder(chkShowBorder.isChecked());
    first_->SetShowDecimal(chkShowDecimal.isChecked());
    first_->SetValueIsMask(chkValueIsMask.isChecked());
    auto value = Platform::Com::ToInteger(std::string(txtValue.text().toLatin1().constData()));
    if (!value) {
        if (error) *error = {kTypeMismatch, "Type mismatch"};
        return false;
    }
    if (!first_->SetValue(*value, error)) return false;
    changed_ = false;
    return true;
}

} // namespace obControls
