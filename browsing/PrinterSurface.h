#pragma once
// What list printing needs of a printer, in twips: page size, device pixel size, a current
// position, font size/bold/underline, text width, text and lines, pages and the document.
// Two implementations: Qt's printer, and a recording surface whose output tests read.
#include <memory>
#include <string>
#include <vector>

class QPainter;
class QPrinter;

namespace Browsing {

class PrinterSurface {
public:
    virtual ~PrinterSurface() = default;

    int ScaleMode = 1; // 1 = twips, the only mode drawn in
    double CurrentX = 0, CurrentY = 0;
    double FontSize = 10;
    bool FontBold = false;
    bool FontUnderline = false;
    int DrawWidth = 1; // device pixels

    virtual double ScaleWidth() const = 0;
    virtual double ScaleHeight() const = 0;
    virtual double TwipsPerPixelX() const = 0;
    virtual double TwipsPerPixelY() const = 0;
    virtual double TextWidth(const std::string& text) = 0;
    virtual std::string DeviceName() const = 0;
    // Each answers false on a failure, then Failure() tells why.
    virtual bool Print(const std::string& text, bool endLine) = 0;
    virtual bool Line(double x1, double y1, double x2, double y2, int colour) = 0;
    virtual bool NewPage() = 0;
    virtual bool EndDoc() = 0;
    // Gives up the document begun (nothing more is printed).
    virtual void KillDoc() = 0;
    virtual std::string Failure() const = 0;
};

// Qt's printer (a PDF file when the print target says so).
class QtPrinterSurface : public PrinterSurface {
public:
    explicit QtPrinterSurface(QPrinter& printer);
    ~QtPrinterSurface() override;
    double ScaleWidth() const override;
    double ScaleHeight() const override;
    double TwipsPerPixelX() const override;
    double TwipsPerPixelY() const override;
    double TextWidth(const std::string& text) override;
    std::string DeviceName() const override;
    bool Print(const std::string& text, bool endLine) override;
    bool Line(double x1, double y1, double x2, double y2, int colour) override;
    bool NewPage() override;
    bool EndDoc() override;
    void KillDoc() override;
    std::string Failure() const override { return failure_; }

private:
    bool Begin();
    void ApplyFont();
    double Dpi() const;
    QPrinter& printer_;
    std::unique_ptr<QPainter> painter_;
    std::string failure_;
    bool failed_ = false;
};

// Keeps every text, line and page; text is 10 twips wide per character and point of size.
class RecordingSurface : public PrinterSurface {
public:
    struct Item {
        int page = 1;
        std::string text; // empty for a line
        double x = 0, y = 0, x2 = 0, y2 = 0;
        double size = 0;
        bool bold = false, underline = false;
    };
    double PageWidth = 11906, PageHeight = 16838; // A4
    double PixelTwips = 2.4;                      // 600 dots per inch
    // Operations that fail after this many succeeded (-1 never).
    int FailAfter = -1;
    std::vector<Item> Items;
    int Pages = 1;
    bool Ended = false, Killed = false;

    double ScaleWidth() const override { return PageWidth; }
    double ScaleHeight() const override { return PageHeight; }
    double TwipsPerPixelX() const override { return PixelTwips; }
    double TwipsPerPixelY() const override { return PixelTwips; }
    double TextWidth(const std::string& text) override;
    std::string DeviceName() const override { return "Recorder"; }
    bool Print(const std::string& text, bool endLine) override;
    bool Line(double x1, double y1, double x2, double y2, int colour) override;
    bool NewPage() override;
    bool EndDoc() override;
    void KillDoc() override { Killed = true; }
    std::string Failure() const override { return "Printer error"; }
    double LineHeight() const { return FontSize * 24; }

private:
    bool Step();
};

} // namespace Browsing
