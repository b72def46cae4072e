#include "browsing/frmPrintPreview.h"

#include "platform/Files.h"
#include "platform/Text1252.h"

#include <QFontDatabase>
#include <QVBoxLayout>
#include <fstream>
#include <iterator>

namespace Browsing {

frmPrintPreview::frmPrintPreview(QWidget* parent) : QWidget(parent), rtfFile_(new QTextEdit(this)) {
    setWindowTitle("Preview");
    rtfFile_->setObjectName("rtfFile");
    rtfFile_->setReadOnly(true);
    rtfFile_->setLineWrapMode(QTextEdit::NoWrap);
    rtfFile_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(rtfFile_);
    resize(640, 480);
}

void frmPrintPreview::SetText(const std::string& text) {
    rtfFile_->setPlainText(Platform::FromWindows1252(text));
}

std::string frmPrintPreview::Text() const {
    return Platform::ToWindows1252(rtfFile_->toPlainText());
}

void frmPrintPreview::Activate() {
    if (activated_) return;
    activated_ = true;
    if (DisplayFileName.empty()) return;
    std::ifstream in(Platform::ResolveExisting(DisplayFileName), std::ios::binary);
    if (!in) return;
    SetText(std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()));
}

void frmPrintPreview::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    Activate();
}

} // namespace Browsing
