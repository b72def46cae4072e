#include "browsing/frmJumptoCart.h"

#include "platform/MessageBox.h"
#include "platform/Text1252.h"
#include "platform/VB.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

namespace Browsing {

frmJumptoCart::frmJumptoCart(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint), txtCartNo_(new QLineEdit(this)) {
    setWindowTitle("Jump To Cart");
    setAttribute(Qt::WA_ShowWithoutActivating);
    auto* layout = new QGridLayout(this);
    auto* ok = new QPushButton("OK");
    auto* cancel = new QPushButton("Cancel");
    ok->setDefault(true);
    layout->addWidget(new QLabel("Enter the cart number to Jump to:"), 0, 0, 1, 2);
    layout->addWidget(txtCartNo_, 1, 0, 1, 2);
    layout->addWidget(ok, 2, 0);
    layout->addWidget(cancel, 2, 1);
    connect(ok, &QPushButton::clicked, this, [this] { cmdOK_Click(); });
    connect(cancel, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });
}

void frmJumptoCart::cmdOK_Click() {
    const double value = VB::Val(Platform::ToWindows1252(txtCartNo_->text()));
    if (value <= 0) {
        Platform::MsgBox("You must enter a number", Platform::vbInformation);
        txtCartNo_->setFocus();
        return;
    }
    // A receiver that is missing or lacks the method is ignored.
    if (QObject* receiver = JumpRequestForm.data())
        QMetaObject::invokeMethod(
            receiver, "JumpToCart",
            Q_ARG(int32_t, static_cast<int32_t>(std::min(value, 2147483647.0))));
    accept();
}

void frmJumptoCart::cmdCancel_Click() {
    reject();
}

void frmJumptoCart::done(int result) {
    JumpRequestForm = nullptr;
    QDialog::done(result);
}

} // namespace Browsing
