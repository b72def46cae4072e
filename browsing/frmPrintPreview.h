#pragma once
// The text preview window: shows a rich-text or plain-text file, or text given to it, prints
// it and saves it; optionally lists the files of one folder beside the text.
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QTextEdit>
#include <QWidget>
#include <string>

class QPrinter;

namespace Browsing {

class frmPrintPreview : public QWidget {
    Q_OBJECT
public:
    explicit frmPrintPreview(QWidget* parent = nullptr);
    ~frmPrintPreview() override;

    // The file loaded on the first activation; empty keeps the text already in the box.
    std::string DisplayFileName;
    // Receives the keys this window does not use, by name ("Form_KeyDown"(keyCode, shift)).
    QPointer<QObject> ParentForm;

    QTextEdit* rtfFile() const { return rtfFile_; }
    QListWidget* listFiles() const { return listFiles_; }
    QPushButton* cmdSave() const { return cmdSave_; }

    // Plain 8-bit text of the box (paragraphs end with CR LF in Text()).
    void SetText(const std::string& text);
    std::string Text() const;
    // Rich text when the bytes are rich text, else plain text.
    void SetContents(const std::string& bytes);
    // The first-activation handling (also run by showing the window).
    void Activate();
    // Shows text given to the window in place of a file.
    void ShowReport(const std::string& text);

    void LoadFile(const std::string& fileName);
    void DisplayFolder(const std::string& folderPath, const std::string& extension);
    void HideFolder();
    void SetFloater();
    void SetNonFloater();

    void cmdPrint_Click();
    void cmdSave_Click();
    void cmdDone_Click();
    // Prints the whole text, or the selection only; false when the printer failed.
    bool PrintTo(QPrinter& printer, bool selectionOnly);
    // The key handler; true when the key was passed on to ParentForm.
    bool Form_KeyDown(int16_t keyCode, int16_t shift);

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void PlaceOnScreen();
    void ShowSelectedFile();
    int InnerWidthTwips() const;

    QPushButton* cmdPrint_;
    QPushButton* cmdSave_;
    QPushButton* cmdDone_;
    QTextEdit* rtfFile_;
    QListWidget* listFiles_;
    std::string FolderPath;
    std::string extension_;
    bool Activated = false;
    bool folderShown_ = false;
};

} // namespace Browsing
