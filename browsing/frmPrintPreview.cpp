#include "browsing/frmPrintPreview.h"

#include "browsing/KeyCodes.h"
#include "browsing/PrintTarget.h"
#include "browsing/RtfReader.h"
#include "browsing/Twips.h"
#include "core/GeneralFunctions.h"
#include "platform/Files.h"
#include "platform/Screen.h"
#include "platform/Text1252.h"
#include "platform/VB.h"
#include "platform/WholeFile.h"

#include <QAbstractTextDocumentLayout>
#include <QCloseEvent>
#include <QDir>
#include <QGuiApplication>
#include <QPainter>
#include <QPrinter>
#include <QScreen>
#include <QTextDocumentFragment>
#include <cerrno>

namespace Browsing {

namespace {

std::string ReadWholeFile(const std::string& path) {
    std::string bytes;
    return Platform::ReadWholeFile(Platform::ResolveExisting(path), bytes) ? bytes : "";
}

// Key codes the preview keeps for itself.
bool IsOwnKey(int16_t keyCode) {
    return (keyCode >= kKeyPageUp && keyCode <= kKeyDown) || keyCode == 43 ||
           keyCode == kKeyReturn || keyCode == 'O' || keyCode == 'P' || keyCode == 'S';
}

} // namespace

frmPrintPreview::frmPrintPreview(QWidget* parent)
    : QWidget(parent), cmdPrint_(new QPushButton("&Print", this)),
      cmdSave_(new QPushButton("&Save", this)), cmdDone_(new QPushButton("&OK", this)),
      rtfFile_(new QTextEdit(this)), listFiles_(new QListWidget(this)) {
    setWindowTitle("Print Preview");
    setAttribute(Qt::WA_DeleteOnClose, false);
    cmdPrint_->setObjectName("cmdPrint");
    cmdSave_->setObjectName("cmdSave");
    cmdDone_->setObjectName("cmdDone");
    cmdPrint_->setGeometry(Twips(60, 60, 1035, 1035));
    cmdSave_->setGeometry(Twips(1200, 60, 1035, 1035));
    cmdDone_->setGeometry(Twips(8220, 60, 1035, 1035));
    listFiles_->setObjectName("listFiles");
    listFiles_->setGeometry(Twips(60, 1155, 2715, 4350));
    listFiles_->setEnabled(false);
    rtfFile_->setObjectName("rtfFile");
    rtfFile_->setReadOnly(true);
    rtfFile_->setFont(QFont("Arial"));
    rtfFile_->setGeometry(Twips(60, 1140, 9195, 4380));
    rtfFile_->raise();
    resize(9315 / kTwips, 5580 / kTwips);
    connect(cmdPrint_, &QPushButton::clicked, this, [this] { cmdPrint_Click(); });
    connect(cmdSave_, &QPushButton::clicked, this, [this] { cmdSave_Click(); });
    connect(cmdDone_, &QPushButton::clicked, this, [this] { cmdDone_Click(); });
    connect(listFiles_, &QListWidget::currentRowChanged, this, [this] { ShowSelectedFile(); });
    for (QWidget* child : findChildren<QWidget*>())
        child->installEventFilter(this);
    PlaceOnScreen();
}

frmPrintPreview::~frmPrintPreview() = default;

void frmPrintPreview::SetText(const std::string& text) {
    rtfFile_->setPlainText(Platform::FromWindows1252(text));
}

std::string frmPrintPreview::Text() const {
    QString text = rtfFile_->toPlainText();
    text.replace('\n', "\r\n");
    return Platform::ToWindows1252(text);
}

void frmPrintPreview::SetContents(const std::string& bytes) {
    if (std::optional<RtfDocument> rtf = ReadRtf(bytes))
        FillDocument(*rtf, *rtfFile_->document());
    else
        SetText(bytes);
}

void frmPrintPreview::Activate() {
    if (Activated) return;
    PlaceOnScreen();
    LoadFile(DisplayFileName);
    Activated = true;
    Platform::SetScreenMousePointer(Platform::vbDefault);
}

void frmPrintPreview::ShowReport(const std::string& text) {
    DisplayFileName.clear();
    Activate();
    SetText(text);
    show();
}

void frmPrintPreview::LoadFile(const std::string& fileName) {
    DisplayFileName = fileName;
    if (!fileName.empty()) {
        rtfFile_->clear();
        if (GeneralFunctions::SafeFileLen(fileName) > 0) SetContents(ReadWholeFile(fileName));
    }
    QTextCursor start(rtfFile_->document());
    rtfFile_->setTextCursor(start);
}

void frmPrintPreview::DisplayFolder(const std::string& folderPath, const std::string& extension) {
    FolderPath = folderPath;
    extension_ = extension;
    folderShown_ = true;
    cmdSave_->hide();
    listFiles_->setEnabled(true);
    resizeEvent(nullptr);
    QSignalBlocker block(listFiles_);
    listFiles_->clear();
    QDir dir(QString::fromStdString(folderPath));
    const QStringList names =
        dir.entryList({"*." + QString::fromStdString(extension)}, QDir::Files, QDir::Unsorted);
    for (const QString& name : names)
        listFiles_->addItem(
            QString::fromStdString(GeneralFunctions::GetFileTitle(Platform::ToWindows1252(name))));
    if (listFiles_->count() > 0) {
        listFiles_->setCurrentRow(0);
        ShowSelectedFile();
    }
}

void frmPrintPreview::HideFolder() {
    folderShown_ = false;
    cmdSave_->show();
    listFiles_->setEnabled(false);
    resizeEvent(nullptr);
}

void frmPrintPreview::ShowSelectedFile() {
    QListWidgetItem* item = listFiles_->currentItem();
    if (!item) return;
    LoadFile(FolderPath + "/" + Platform::ToWindows1252(item->text()) + "." + extension_);
}

int frmPrintPreview::InnerWidthTwips() const {
    return width() * kTwips;
}

void frmPrintPreview::resizeEvent(QResizeEvent* event) {
    if (event) QWidget::resizeEvent(event);
    QRect box = rtfFile_->geometry();
    if (folderShown_) {
        const QRect list = listFiles_->geometry();
        const int left = (list.x() + list.width()) * kTwips + 60;
        const int listRight = (list.x() + list.width()) * kTwips;
        box.setLeft(left / kTwips);
        box.setWidth(std::max(0, InnerWidthTwips() - (listRight + 120)) / kTwips);
    } else {
        box.setLeft(60 / kTwips);
        box.setWidth(std::max(0, InnerWidthTwips() - 120) / kTwips);
    }
    rtfFile_->setGeometry(box);
}

void frmPrintPreview::SetFloater() {
    setWindowFlag(Qt::WindowStaysOnTopHint, true);
    setAttribute(Qt::WA_ShowWithoutActivating, true);
}

void frmPrintPreview::SetNonFloater() {
    setWindowFlag(Qt::WindowStaysOnTopHint, false);
}

void frmPrintPreview::PlaceOnScreen() {
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect area = screen->geometry();
    move(area.x() + (area.width() - frameGeometry().width()) / 2, area.y() + 30 / kTwips);
}

bool frmPrintPreview::PrintTo(QPrinter& printer, bool selectionOnly) {
    QTextDocument document;
    if (selectionOnly)
        document.setHtml(rtfFile_->textCursor().selection().toHtml());
    else
        document.setHtml(rtfFile_->document()->toHtml());
    document.setDefaultFont(QFont("Courier"));
    QTextCursor(&document).insertBlock(); // the empty line printed first
    QPainter painter;
    if (!painter.begin(&printer)) return false;
    const QRectF page = printer.pageRect(QPrinter::DevicePixel);
    document.documentLayout()->setPaintDevice(&printer);
    document.setPageSize(page.size());
    const int pages = document.pageCount();
    for (int p = 0; p < pages; ++p) {
        if (p > 0 && !printer.newPage()) return false;
        painter.save();
        painter.translate(0, -p * page.height());
        document.drawContents(&painter, QRectF(0, p * page.height(), page.width(), page.height()));
        painter.restore();
    }
    return painter.end();
}

void frmPrintPreview::cmdPrint_Click() {
    QPrinter printer;
    ConfigurePrinter(printer);
    bool selectionOnly = rtfFile_->textCursor().hasSelection();
    if (!ChoosePrint(printer, selectionOnly, this)) return;
    if (!selectionOnly) rtfFile_->setTextCursor(QTextCursor(rtfFile_->document()));
    if (!PrintTo(printer, selectionOnly))
        GeneralFunctions::FormatErrorMessage("while printing.", 482, false);
}

void frmPrintPreview::cmdSave_Click() {
    std::optional<std::string> chosen = ChooseSaveFile("Select File to Save to", this);
    if (!chosen || VB::Trim(GeneralFunctions::GetFileName(*chosen)).empty()) return;
    if (!Platform::ReplaceWholeFile(*chosen, Text()))
        GeneralFunctions::FormatErrorMessage("while saving the file.", 75, false);
}

void frmPrintPreview::cmdDone_Click() {
    close();
}

bool frmPrintPreview::Form_KeyDown(int16_t keyCode, int16_t shift) {
    if (!ParentForm || IsOwnKey(keyCode)) return false;
    return QMetaObject::invokeMethod(ParentForm.data(), "Form_KeyDown", Q_ARG(int16_t, keyCode),
                                     Q_ARG(int16_t, shift));
}

void frmPrintPreview::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    Activate();
}

void frmPrintPreview::closeEvent(QCloseEvent* event) {
    SetNonFloater();
    ParentForm = nullptr;
    Activated = false;
    rtfFile_->clear();
    QWidget::closeEvent(event);
}

bool frmPrintPreview::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Escape || key->key() == Qt::Key_Return ||
            key->key() == Qt::Key_Enter) {
            cmdDone_Click();
            return true;
        }
        Form_KeyDown(KeyCodeOf(*key), ShiftBits(key->modifiers()));
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace Browsing
