#include "main_window/frmCommTest.h"

#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

namespace MainWindow {

namespace {

QPointer<frmCommTest>& Instance() {
    static QPointer<frmCommTest> form;
    return form;
}

} // namespace

frmCommTest::frmCommTest(QWidget* parent) : QWidget(parent), lblTestCount_(new QLabel("0")) {
    setWindowTitle("Test Command Recieved");
    setAttribute(Qt::WA_DeleteOnClose);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel("Number of Test Commands Received:"));
    lblTestCount_->setObjectName("lblTestCount");
    lblTestCount_->setAlignment(Qt::AlignCenter);
    QFont big = lblTestCount_->font();
    big.setPointSize(big.pointSize() * 2);
    lblTestCount_->setFont(big);
    layout->addWidget(lblTestCount_);
    auto* cmdOK = new QPushButton("OK");
    cmdOK->setObjectName("cmdOK");
    layout->addWidget(cmdOK);
    connect(cmdOK, &QPushButton::clicked, this, &QWidget::close);
}

void frmCommTest::IncrementCount() {
    count_ = lblTestCount_->text().toInt() + 1;
    lblTestCount_->setText(QString::number(count_));
}

void ShowCommTestAndCount() {
    if (!Instance()) Instance() = new frmCommTest();
    Instance()->show();
    Instance()->IncrementCount();
}

frmCommTest* CommTestIfLoaded() {
    return Instance().data();
}

} // namespace MainWindow
