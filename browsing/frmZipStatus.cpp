#include "browsing/frmZipStatus.h"

#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

namespace Browsing {

namespace {

void Show(QProgressBar* bar, int16_t& value) {
    value = std::clamp<int16_t>(value, 0, 100);
    bar->setValue(value);
}

} // namespace

frmZipStatus::frmZipStatus(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint), prgMajor_(new QProgressBar),
      prgMinor_(new QProgressBar), lblMinor_(new QLabel) {
    setWindowTitle("Zipping - ");
    setAttribute(Qt::WA_ShowWithoutActivating);
    auto* layout = new QVBoxLayout(this);
    auto* cancel = new QPushButton("Cancel");
    layout->addWidget(new QLabel("Overall Progress"));
    layout->addWidget(prgMajor_);
    layout->addWidget(lblMinor_);
    layout->addWidget(prgMinor_);
    layout->addWidget(cancel, 0, Qt::AlignRight);
    prgMajor_->setRange(0, 100);
    prgMinor_->setRange(0, 100);
    connect(cancel, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });
    resize(360, 170);
}

void frmZipStatus::MinorProgress(int16_t& Value) {
    Show(prgMinor_, Value);
}
void frmZipStatus::MajorProgress(int16_t& Value) {
    Show(prgMajor_, Value);
}

void frmZipStatus::closeEvent(QCloseEvent* event) {
    CancelOption = false;
    QWidget::closeEvent(event);
}

} // namespace Browsing
