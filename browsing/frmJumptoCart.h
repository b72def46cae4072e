#pragma once
// The jump-to-cart dialog: asks for a cart number and hands it to JumpRequestForm's
// "JumpToCart" by name.
#include <QDialog>
#include <QLineEdit>
#include <QPointer>

namespace Browsing {

class frmJumptoCart : public QDialog {
    Q_OBJECT
public:
    explicit frmJumptoCart(QWidget* parent = nullptr);

    QPointer<QObject> JumpRequestForm;
    QLineEdit* txtCartNo() const { return txtCartNo_; }

    void cmdOK_Click();
    void cmdCancel_Click();
    void cmdFind_Click() {}

protected:
    void done(int result) override;

private:
    QLineEdit* txtCartNo_;
};

} // namespace Browsing
