#include "browsing/PrintTarget.h"

#include "platform/MessageBox.h"
#include "platform/Text1252.h"

#include <QFileDialog>
#include <QPrintDialog>

namespace Browsing {

namespace {

std::string& PrintFile() {
    static std::string file;
    return file;
}
PrintDialogHook& PrintHook() {
    static PrintDialogHook hook;
    return hook;
}
SaveDialogHook& SaveHook() {
    static SaveDialogHook hook;
    return hook;
}

} // namespace

void SetPrintFile(const std::string& pdfPath) {
    PrintFile() = pdfPath;
}

void ConfigurePrinter(QPrinter& printer) {
    if (PrintFile().empty()) return;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(PrintFile()));
}

std::string PrinterDeviceName(const QPrinter& printer) {
    if (printer.outputFormat() == QPrinter::PdfFormat)
        return Platform::ToWindows1252(printer.outputFileName());
    return Platform::ToWindows1252(printer.printerName());
}

void SetPrintDialogHook(PrintDialogHook hook) {
    PrintHook() = std::move(hook);
}

bool ChoosePrint(QPrinter& printer, bool& selectionOnly, QWidget* parent) {
    if (PrintHook()) return PrintHook()(printer, selectionOnly);
    if (Platform::MsgBoxIsHeadless()) return false;
    QPrintDialog dialog(&printer, parent);
    dialog.setOption(QAbstractPrintDialog::PrintToFile, false);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, selectionOnly);
    if (dialog.exec() != QDialog::Accepted) return false;
    selectionOnly = dialog.printRange() == QAbstractPrintDialog::Selection;
    return true;
}

void SetSaveDialogHook(SaveDialogHook hook) {
    SaveHook() = std::move(hook);
}

std::optional<std::string> ChooseSaveFile(const std::string& title, QWidget* parent) {
    if (SaveHook()) return SaveHook()(title);
    if (Platform::MsgBoxIsHeadless()) return std::nullopt;
    QString chosen =
        QFileDialog::getSaveFileName(parent, QString::fromStdString(title), "*.*",
                                     "All Files (*.*)", nullptr, QFileDialog::DontConfirmOverwrite);
    if (chosen.isEmpty()) return std::nullopt;
    return Platform::ToWindows1252(chosen);
}

} // namespace Browsing
