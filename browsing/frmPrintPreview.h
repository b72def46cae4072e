#pragma once
// The text preview window: shows a text file, or text given to it, in its rich-text box.
#include <QTextEdit>
#include <QWidget>
#include <string>

namespace Browsing {

class frmPrintPreview : public QWidget {
    Q_OBJECT
public:
    explicit frmPrintPreview(QWidget* parent = nullptr);

    // The file loaded on the first activation; empty loads nothing.
    std::string DisplayFileName;
    QTextEdit* rtfFile() const { return rtfFile_; }
    // Plain 8-bit text of the box.
    void SetText(const std::string& text);
    std::string Text() const;
    // The first-activation load (also run by showing the window).
    void Activate();

protected:
    void showEvent(QShowEvent* event) override;

private:
    QTextEdit* rtfFile_;
    bool activated_ = false;
};

} // namespace Browsing
