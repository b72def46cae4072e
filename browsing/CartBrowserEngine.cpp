#include "browsing/CartBrowserEngine.h"

#include "browsing/KeyCodes.h"
#include "carts/Audio_Player_FN.h"
#include "carts/PlayerWindows.h"
#include "carts/Vantor_Cart_Routines.h"
#include "core/GeneralFunctions.h"
#include "core/MainSettings.h"
#include "platform/Screen.h"
#include "platform/VB.h"

#include <algorithm>
#include <cmath>

namespace Browsing {

namespace {

// The hourglass for the lifetime of a scope.
class Hourglass {
public:
    Hourglass() : before_(Platform::ScreenMousePointer()) {
        Platform::SetScreenMousePointer(Platform::vbHourglass);
    }
    ~Hourglass() { Platform::SetScreenMousePointer(before_); }

private:
    int before_;
};

std::string CaptionLine(const std::string& line) {
    return VB::Trim(line);
}

} // namespace

CartBrowserEngine::CartBrowserEngine(QObject* parent) : QObject(parent) {}

int32_t CartBrowserEngine::NoCarts() const {
    return MainSettings::Settings().Audio.NoCarts;
}

int32_t CartBrowserEngine::SelectedCart() const {
    return static_cast<int32_t>(TopCartOffset + SelectedRow);
}

void CartBrowserEngine::Load() {
    PanelHeight = 315;
    TopCartOffset = 0;
    SelectedRow = 1;
    TopPosition = 30;
    LeftPosition = ScreenWidth - WindowWidth - 30;
    RedrawRows();
}

bool CartBrowserEngine::Activate() {
    if (Shown && Active) emit FocusCartNumber();
    if (PositionApplied) return false;
    const int32_t wanted = static_cast<int32_t>(VB::Val(Tag));
    if (wanted > 0) {
        int32_t cart = std::min(wanted, NoCarts());
        JumpToCart(cart);
        Tag.clear();
    }
    PositionApplied = true;
    RedrawRows();
    return true;
}

void CartBrowserEngine::LayoutRows(int32_t labelsWidth, int32_t labelsHeight) {
    LabelsWidth = labelsWidth;
    const int32_t height = std::max(0, labelsHeight - 30);
    int32_t n = (height + PanelHeight - 1) / PanelHeight;
    const int32_t offset = static_cast<int32_t>(TopCartOffset);
    if (n + offset > NoCarts()) n = NoCarts() - offset;
    // At least one row, so that the list can always show the selection.
    RowCount = static_cast<int16_t>(std::clamp(n, NoCarts() > 0 ? 1 : 0, 32767));
    if (Rows.size() < static_cast<size_t>(RowCount)) Rows.resize(static_cast<size_t>(RowCount));
    for (size_t r = 0; r < Rows.size(); ++r)
        Rows[r].Visible = r < static_cast<size_t>(RowCount);
    emit RowsChanged();
}

void CartBrowserEngine::HideRow(BrowserRow& row) {
    row.Visible = false;
    row.Caption.clear();
    row.NumberCaption.clear();
    row.Tag.clear();
    row.NumberBackColor = kButtonFaceColour;
}

void CartBrowserEngine::FillRow(BrowserRow& row, int32_t cart) {
    Vantor_Cart_Routines::CartRecord rec;
    Vantor_Cart_Routines::ReadCart(rec, cart);
    row.Tag = rec.PlayLength > 0 ? std::to_string(cart) : std::string();
    row.Visible = true;
    row.NumberBackColor = kButtonFaceColour;
    row.NumberCaption = std::to_string(cart);
    // An empty cart takes the audiowall's empty-cart colours.
    const AudioSettings::AudioSettingsRecord& audio = MainSettings::Settings().Audio;
    const bool empty = rec.TotalLength == -1;
    row.BackColor = empty ? audio.EmptyCartBackColor : rec.BackColor;
    row.ForeColor = empty ? audio.EmptyCartForeColor : rec.ForeColor;
    const int32_t panelWidth = LabelsWidth - 30 - (15 + kCartNumberWidth + 15);
    auto fit = [&](const std::string& text) {
        if (!TextWidth) return text;
        return GeneralFunctions::FitTextToWidth(TextWidth, text, panelWidth - 120);
    };
    if (DoubleView) {
        row.Caption = fit(CaptionLine(rec.Description1)) + "\n" +
                      fit(CaptionLine(rec.Description2)) + "\n" +
                      fit(CaptionLine(rec.Description3));
    } else {
        std::string line;
        Vantor_Cart_Routines::GetCartDescription(rec, true, line);
        row.Caption = fit(VB::Trim(line));
    }
}

void CartBrowserEngine::RedrawRows() {
    Hourglass hourglass;
    PreviousSelectedRow = -1;
    for (int16_t r = 1; r <= RowCount; ++r) {
        BrowserRow& row = Rows[static_cast<size_t>(r - 1)];
        const int32_t cart = r + static_cast<int32_t>(TopCartOffset);
        if (cart <= 0 || cart > NoCarts())
            HideRow(row);
        else
            FillRow(row, cart);
    }
    emit RowsChanged();
    ShowSelection();
}

void CartBrowserEngine::ShowSelection() {
    Hourglass hourglass;
    if (SelectedRow != PreviousSelectedRow) {
        auto colour = [this](float row, int32_t value) {
            const auto index = static_cast<size_t>(row) - 1;
            if (row >= 1 && index < Rows.size()) Rows[index].NumberBackColor = value;
        };
        if (PreviousSelectedRow != -1) colour(PreviousSelectedRow, kButtonFaceColour);
        colour(SelectedRow, kSelectedNumberColour);
        PreviousSelectedRow = SelectedRow;
    }
    SetCartNumberText(std::to_string(SelectedCart()));
    if (Shown && Active) emit FocusCartNumber();
    emit SelectionChanged();
}

void CartBrowserEngine::SetDoubleView(bool ticked) {
    DoubleView = ticked;
    PanelHeight = (ticked ? 2 : 1) * 315;
}

void CartBrowserEngine::OneCartUp() {
    SelectedRow -= 1;
    if (SelectedRow <= 0) {
        SelectedRow = 1;
        if (TopCartOffset > 0) {
            TopCartOffset -= 1;
            RedrawRows();
        }
    }
    ShowSelection();
}

void CartBrowserEngine::OneCartDown() {
    if (SelectedCart() >= NoCarts()) return;
    SelectedRow += 1;
    if (SelectedRow > RowCount) {
        SelectedRow = RowCount;
        if (RowCount + TopCartOffset < NoCarts()) {
            TopCartOffset += 1;
            RedrawRows();
        }
    }
    ShowSelection();
}

void CartBrowserEngine::PageUp() {
    TopCartOffset -= RowCount;
    if (TopCartOffset < 0) {
        TopCartOffset = 0;
        SelectedRow = 1;
    }
    RedrawRows();
}

void CartBrowserEngine::PageDown() {
    TopCartOffset += RowCount;
    if (TopCartOffset + RowCount > NoCarts()) {
        TopCartOffset = static_cast<float>(std::max(0, NoCarts() - RowCount));
        SelectedRow = static_cast<float>(NoCarts()) - TopCartOffset;
    }
    RedrawRows();
}

void CartBrowserEngine::JumpToCart(int32_t CrtNo) {
    if (CrtNo <= 0 || NoCarts() < 1) return;
    // A number past the audiowall's end selects its last cart.
    const int32_t cart = std::min(CrtNo, NoCarts());
    if (cart > RowCount + TopCartOffset || cart <= TopCartOffset) {
        TopCartOffset = static_cast<float>(cart - 1);
        SelectedRow = 1;
        RedrawRows();
    } else {
        SelectedRow = static_cast<float>(cart) - TopCartOffset;
        ShowSelection();
    }
}

void CartBrowserEngine::ReturnCartNumber(int32_t CrtNo) {
    LeftPosition = ScreenWidth - WindowWidth - 30;
    Tag = std::to_string(CrtNo);
    Shown = false;
    emit HideRequested();
    PositionApplied = false;
    if (QObject* receiver = UpdateRequestForm.data())
        QMetaObject::invokeMethod(receiver, "UpdateDisplay", Q_ARG(int32_t, CrtNo));
    UpdateRequestForm = nullptr;
}

void CartBrowserEngine::PickRow(int16_t row) {
    if (!RowValid(row)) return;
    SelectedRow = row;
    if (PlayOnDblClick)
        Audio_Player_FN::PlayCart(SelectedCart(), 0);
    else
        ReturnCartNumber(SelectedCart());
}

void CartBrowserEngine::SetCartNumberText(const std::string& text) {
    txtCartNumber = text;
    const double value = VB::Val(text);
    cmdJumpCartEnabled = value > 0 && value <= NoCarts();
}

void CartBrowserEngine::JumpCommand() {
    const double value = VB::Val(txtCartNumber);
    if (value == SelectedCart()) {
        ReturnCartNumber(static_cast<int32_t>(value));
        return;
    }
    JumpToCart(static_cast<int32_t>(std::clamp(value, -1.0, 2147483647.0)));
    if (Shown && Active) emit FocusCartNumber();
}

void CartBrowserEngine::CancelCommand() {
    PositionApplied = false;
    ReturnCartNumber(0);
}

void CartBrowserEngine::Audition() {
    const int16_t player = Audio_Player_FN::FindPlayer(15);
    if (player == 0) return;
    int16_t volume = MainSettings::Settings().Audio.GeneralVolume;
    Audio_Player_FN::PlayPlayer(player, SelectedCart(), volume);
}

bool CartBrowserEngine::KeyDown(int16_t keyCode, int16_t shift) {
    const bool ctrl = (shift & 2) != 0;
    if (keyCode == 'Q' && ctrl) return true;
    if (keyCode >= kKeyF1 && keyCode <= kKeyF12) {
        int32_t cart = (shift & 4) ? SelectedCart() : 0;
        Audio_Player_FN::HandlePlayerKey(keyCode, shift, cart);
        return true;
    }
    switch (keyCode) {
    case kKeyHome:
    case kKeyEnd:
        return true;
    case kKeyUp:
        OneCartUp();
        return true;
    case kKeyDown:
        OneCartDown();
        return true;
    case kKeyPageUp:
        PageUp();
        return false;
    case kKeyPageDown:
        PageDown();
        return false;
    case kKeySpace:
        Audition();
        return false;
    case 'J':
        // The J key obeys the Jump button's rule.
        if (cmdJumpCartEnabled) JumpCommand();
        return true;
    default:
        return false;
    }
}

bool CartBrowserEngine::KeyPress(char character) {
    const char upper = static_cast<char>(std::toupper(static_cast<unsigned char>(character)));
    const int32_t cart = SelectedCart();
    switch (upper) {
    case 27:
        CancelCommand();
        return true;
    case 'L':
        emit ReportRequested(cart);
        break;
    case 'T': {
        bool exists = false;
        std::string file = Vantor_Cart_Routines::GetCartNotesFileName(cart, exists);
        if (exists) emit NotesRequested(file);
        break;
    }
    case 'F':
        OpenFind();
        break;
    case 'N':
        OpenFindNext();
        break;
    case 'B':
        OpenFindBack();
        break;
    default:
        break;
    }
    return false;
}

void CartBrowserEngine::OpenFind() {
    if (SelectedCart() <= NoCarts()) emit FindRequested(FindKind::Find, SelectedCart());
}

void CartBrowserEngine::OpenFindNext() {
    if (SelectedCart() <= NoCarts()) emit FindRequested(FindKind::FindNext, SelectedCart());
}

void CartBrowserEngine::OpenFindBack() {
    if (SelectedCart() > 0) emit FindRequested(FindKind::FindBack, SelectedCart());
}

void CartBrowserEngine::NumberPress(int16_t row) {
    if (!RowValid(row)) return;
    SelectedRow = row;
    ShowSelection();
}

void CartBrowserEngine::RowPress(int16_t row, int button, float x, float y) {
    if (!RowValid(row)) return;
    dragBegun_ = false;
    SelectedRow = row;
    ShowSelection();
    DragStartX = x;
    DragStartY = y;
    DragArmed = button == 1 && VB::Val(Rows[static_cast<size_t>(row - 1)].Tag) > 0;
}

bool CartBrowserEngine::RowMove(int16_t, int buttons, float x, float y, float twipsPerPixel) {
    if (buttons == 0 || !DragArmed || !AllowDragging || DragStartX < 0 || dragBegun_) return false;
    const float tolerance = 5 * twipsPerPixel;
    if (GeneralFunctions::PointNear(x, y, DragStartX, DragStartY, tolerance)) return false;
    dragBegun_ = true;
    return true;
}

void CartBrowserEngine::DragFinished() {
    DragStartX = DragStartY = -1;
    DragArmed = false;
}

void CartBrowserEngine::RowRelease(int16_t row, int button) {
    DragStartX = DragStartY = -1;
    if (button != 1) return;
    DragArmed = false;
    // A press that became a drag ends with its drop, never with a pick.
    if (dragBegun_) {
        dragBegun_ = false;
        return;
    }
    PickRow(row);
}

void CartBrowserEngine::RowDoubleClick(int16_t row) {
    PickRow(row);
}

} // namespace Browsing
