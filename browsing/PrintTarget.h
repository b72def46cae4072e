#pragma once
// The printer and the print and save choosers of the browsing windows. Interactive runs show
// Qt's dialogs; tests install hooks, and headless runs without a hook answer "cancelled".
#include <QPrinter>
#include <functional>
#include <optional>
#include <string>

class QWidget;

namespace Browsing {

// Output file of the printer (PDF); empty = the system's default printer.
void SetPrintFile(const std::string& pdfPath);
// Points printer at the current output.
void ConfigurePrinter(QPrinter& printer);
// The printer's device name, as messages name it.
std::string PrinterDeviceName(const QPrinter& printer);

// The print dialog: true to print; selectionOnly in: a selection exists; out: print only it.
using PrintDialogHook = std::function<bool(QPrinter& printer, bool& selectionOnly)>;
void SetPrintDialogHook(PrintDialogHook hook);
bool ChoosePrint(QPrinter& printer, bool& selectionOnly, QWidget* parent);

// The save dialog: the chosen path, or nothing when cancelled.
using SaveDialogHook = std::function<std::optional<std::string>(const std::string& title)>;
void SetSaveDialogHook(SaveDialogHook hook);
std::optional<std::string> ChooseSaveFile(const std::string& title, QWidget* parent);

} // namespace Browsing
