#include "hardware/frmHardwareManager.h"

#include "platform/Text1252.h"
#include "platform/VB.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QScreen>
#include <QStyle>
#include <QSystemTrayIcon>
#include <algorithm>
#include <memory>

namespace HardwareManager {

namespace {

constexpr int kRowsPerColumn = 16;
const QColor kInputColour(192, 0, 0);
const QColor kOutputColour(0, 128, 0);
constexpr int16_t kTestPulseLine = 17;

void SetTextColour(QWidget* widget, const QColor& colour) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, colour);
    palette.setColor(QPalette::Text, colour);
    palette.setColor(QPalette::ButtonText, colour);
    widget->setPalette(palette);
}

class ClickLabel : public QLabel {
public:
    ClickLabel(const QString& text, std::function<void()> click)
        : QLabel(text), click_(std::move(click)) {}

protected:
    void mouseReleaseEvent(QMouseEvent*) override { click_(); }

private:
    std::function<void()> click_;
};

std::unique_ptr<frmHardwareManager>& Loaded() {
    static std::unique_ptr<frmHardwareManager> form;
    return form;
}

} // namespace

frmHardwareManager::frmHardwareManager(QWidget* parent)
    : QWidget(parent), comboCardNo_(new QComboBox(this)), lblInput(new QLabel("Red=Input", this)),
      lblOutput(new ClickLabel("Green=Output", [this] { lblOutput_Click(); })),
      popup_(new QMenu("&SysTray", this)), tray_(new QSystemTrayIcon(this)) {
    setWindowTitle("Hardware Manager");
    setWindowIcon(style()->standardIcon(QStyle::SP_ComputerIcon));
    BuildBoxes();
    connect(comboCardNo_, &QComboBox::currentIndexChanged, this, [this] { RefreshDisplay(); });
    connect(&engine_, &HardwareManagerEngine::linesChanged, this, [this] {
        if (!Minimised()) UpdateDisplay();
    });
    mPopRestore = popup_->addAction("&Restore", this, [this] { Restore(); });
    tray_->setIcon(windowIcon());
    tray_->setToolTip("Orbury Hardware Manager");
    tray_->setContextMenu(popup_);
    connect(tray_, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason r) {
        if (r == QSystemTrayIcon::Trigger || r == QSystemTrayIcon::DoubleClick) Restore();
    });
}

frmHardwareManager::~frmHardwareManager() = default;

void frmHardwareManager::BuildBoxes() {
    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel("Card:", this), 0, 0);
    grid->addWidget(comboCardNo_, 0, 1);
    const char* headings[] = {"In/Out 1 to 16", "In/Out 17 to 32", "In/Out 33 to 48"};
    for (int column = 0; column < 3; ++column) {
        headings_[static_cast<size_t>(column)] = new QLabel(headings[column], this);
        grid->addWidget(headings_[static_cast<size_t>(column)], 1, column);
    }
    for (int i = 1; i <= kBoxes; ++i) {
        auto* box = new QCheckBox("Hardware Item", this);
        boxes_[static_cast<size_t>(i - 1)] = box;
        grid->addWidget(box, 2 + (i - 1) % kRowsPerColumn, (i - 1) / kRowsPerColumn);
        // A click toggles the box first; the line follows what the box shows.
        connect(box, &QCheckBox::clicked, this, [this, i] { chkHardware_MouseUp(i); });
    }
    lblOutput->setParent(this);
    SetTextColour(lblInput, kInputColour);
    SetTextColour(lblOutput, kOutputColour);
    grid->addWidget(lblInput, 2 + kRowsPerColumn, 0);
    grid->addWidget(lblOutput, 2 + kRowsPerColumn, 1);
}

void frmHardwareManager::Form_Load() {
    const bool usable = engine_.Load();
    comboCardNo_->blockSignals(true);
    comboCardNo_->clear();
    for (const std::string& entry : engine_.CardList())
        comboCardNo_->addItem(Platform::FromWindows1252(entry));
    comboCardNo_->blockSignals(false);
    PlaceAtScreenCorner();
    show();
    if (QSystemTrayIcon::isSystemTrayAvailable()) tray_->show();
    Minimise();
    comboCardNo_->setCurrentIndex(0);
    RefreshDisplay();
    PlaceAtScreenCorner(); // again, fitted to the first card's boxes
    engine_.StartPolling(usable);
}

// The screen's bottom right corner: where neither a tray nor a window manager takes the
// window away, it stays clear of the main window's players and log at the top left.
void frmHardwareManager::PlaceAtScreenCorner() {
    adjustSize();
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect free = screen->availableGeometry();
    const QSize outer = frameGeometry().size(); // move() places the frame
    move(std::max(free.left(), free.right() + 1 - outer.width()),
         std::max(free.top(), free.bottom() + 1 - outer.height()));
}

void frmHardwareManager::Form_Unload() {
    unloading_ = true;
    engine_.Unload();
    tray_->hide();
}

void frmHardwareManager::RefreshDisplay() {
    const int card = comboCardNo_->currentIndex() + 1;
    const int total = card >= 1 ? HardwareAPI::Card(card).TotalLines : 0;
    for (int i = 1; i <= kBoxes; ++i) {
        QCheckBox* box = chkHardware(i);
        if (i > total) {
            box->setVisible(false);
            continue;
        }
        const HardwareAPI::HardwareLine& line = HardwareAPI::Card(card).Line(i);
        const std::string text = VB::Trim(line.Description);
        box->setText(Platform::FromWindows1252(text.empty() ? "No description" : text));
        box->setVisible(true);
        SetTextColour(box, line.LineType == 0 ? kInputColour : kOutputColour);
    }
    // A column's heading only over boxes of the card's own lines.
    for (int column = 1; column <= 3; ++column)
        Label(column)->setVisible(total > (column - 1) * kRowsPerColumn);
    UpdateDisplay();
}

void frmHardwareManager::UpdateDisplay() {
    const int card = comboCardNo_->currentIndex() + 1;
    if (card <= 0) return;
    const int shown = std::min<int>(HardwareAPI::Card(card).TotalLines, kBoxes);
    for (int i = 1; i <= shown; ++i)
        chkHardware(i)->setChecked(HardwareAPI::Card(card).Line(i).State != 0);
}

void frmHardwareManager::chkHardware_MouseUp(int Index) {
    int16_t number =
        static_cast<int16_t>(comboCardNo_->currentIndex() * HardwareAPI::kLinesPerCard + Index);
    HardwareAPI::SetHardwareLine(number, chkHardware(Index)->isChecked() ? HardwareAPI::OutputOn
                                                                         : HardwareAPI::OutputOff);
}

void frmHardwareManager::lblOutput_Click() {
    int16_t line = kTestPulseLine;
    HardwareAPI::SetHardwareLine(line, HardwareAPI::OutputPulse);
}

void frmHardwareManager::Form_KeyPress(int KeyAscii) {
    if (KeyAscii == 27) Minimise();
}

void frmHardwareManager::Restore() {
    setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
    UpdateDisplay();
}

void frmHardwareManager::Minimise() {
    if (QSystemTrayIcon::isSystemTrayAvailable() && tray_->isVisible())
        hide();
    else
        setWindowState(windowState() | Qt::WindowMinimized);
}

bool frmHardwareManager::Minimised() const {
    return isHidden() || (windowState() & Qt::WindowMinimized);
}

void frmHardwareManager::closeEvent(QCloseEvent* event) {
    if (unloading_) return event->accept();
    // The user's close only puts the window back in the tray.
    event->ignore();
    Minimise();
}

void frmHardwareManager::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange) return;
    if (windowState() & Qt::WindowMinimized) {
        if (QSystemTrayIcon::isSystemTrayAvailable() && tray_->isVisible()) hide();
    } else {
        UpdateDisplay();
    }
}

void frmHardwareManager::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) return Form_KeyPress(27);
    QWidget::keyPressEvent(event);
}

frmHardwareManager& LoadHardwareManager() {
    if (!Loaded()) {
        Loaded() = std::make_unique<frmHardwareManager>();
        Loaded()->Form_Load();
    }
    return *Loaded();
}

void UnloadHardwareManager() {
    if (!Loaded()) return;
    Loaded()->Form_Unload();
    Loaded()->close();
    Loaded().reset();
}

frmHardwareManager* HardwareManagerIfLoaded() {
    return Loaded().get();
}

} // namespace HardwareManager
