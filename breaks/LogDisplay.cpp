#include "breaks/LogDisplay.h"

#include "breaks/AdvertLog_FN.h"
#include "breaks/BreaksState.h"
#include "breaks/CartTiming.h"
#include "breaks/LogLines.h"
#include "breaks/SplitEngine.h"
#include "breaks/ZEL_Common.h"
#include "core/GeneralFunctions.h"
#include "platform/Screen.h"

#include <QApplication>
#include <QPalette>
#include <cmath>

namespace {

const QColor kBreakTimeColour{255, 0, 0};
const QColor kCartColour{0, 128, 0};
const QColor kLengthColour{128, 0, 0};
const QColor kTotalColour{255, 0, 0};

QColor TitleColour() {
    return QApplication::palette().color(QPalette::ButtonText);
}

} // namespace

LogDisplay::LogDisplay(SplitEngine& engine, QObject* parent) : QObject(parent), engine_(engine) {
    connect(&TimerScroll, &QTimer::timeout, this, &LogDisplay::TimerScroll_Timer);
}

void LogDisplay::FollowEngine() {
    if (engine_.DisplayedBreakPos() == followedPos_) return;
    followedPos_ = engine_.DisplayedBreakPos();
    DisplayedBreakPos = followedPos_;
}

void LogDisplay::KeepPlace(int32_t Shown, int32_t FilePos, int32_t Grown) {
    DisplayedBreakPos = FilePos < Shown ? Shown + Grown : Shown;
    followedPos_ = engine_.DisplayedBreakPos();
}

void LogDisplay::UpdateLog(int32_t widthTwips, int visibleRows) {
    width_ = widthTwips;
    visibleRows_ = std::min(visibleRows, kMaxRows);
    GeneralFunctions::WriteDebugLine("UpdateLog", -1);
    Rows.clear();
    Frame.reset();
    LogLinePos.fill(0);
    DisplayedBreakTime = -1;
    ZEL_Common::SplitRecord& split = engine_.Split();
    const int16_t file = split.LogFileNumber;
    if (file == 0) {
        emit changed();
        return;
    }
    Caption = split.SplitName;
    if (split.LoadedLogDate >= 1)
        Caption += " : " + VB::FormatDate(split.LoadedLogDate, "dd mmm yyyy");
    const int previousPointer = Platform::ScreenMousePointer();
    Platform::SetScreenMousePointer(Platform::vbHourglass);

    const int32_t restore = LogLines::Position(file);
    const int32_t length = static_cast<int32_t>(Platform::FileNumbers::Length(file));
    DisplayedBreakPos = std::clamp(DisplayedBreakPos, 1, std::max(1, length));
    LogLines::Seek(file, DisplayedBreakPos);
    bool breakOpen = false, frameOpen = false;
    float total = 0;
    int frameFirst = 0;
    std::vector<LogText> current;
    auto endRow = [&] {
        Rows.push_back(std::move(current));
        current.clear();
    };
    auto row = [&] { return static_cast<int>(Rows.size()) + 1; };
    auto totalRow = [&] {
        current.push_back({total > 0 ? GeneralFunctions::FormatDuration(total, 203) : "--:--",
                           width_ - 120, true, kTotalColour});
        endRow();
        total = 0;
        breakOpen = false;
    };
    auto closeFrame = [&] {
        const bool running = Breaks::State().BreakRunning;
        const QColor colour = running                             ? kPlayingColour
                              : engine_.Break().PlayingPlayer < 1 ? kNotCuedColour
                                                                  : kCuedColour;
        Frame = LogFrame{frameFirst, row() - 1, colour};
        frameOpen = false;
    };
    while (row() <= visibleRows_ && !LogLines::AtEnd(file)) {
        const int32_t position = LogLines::Position(file);
        const std::string line = GeneralFunctions::ReadFileLine(file);
        if (VB::Trim(line).empty()) {
            if (breakOpen && row() <= visibleRows_) totalRow();
            if (frameOpen) closeFrame();
            if (row() <= visibleRows_) endRow();
            continue;
        }
        const std::string chain = AdvertLog_FN::GetLineChainCode(line);
        if (!split.LogTXChainCode.empty() && VB::UCase(VB::Trim(split.LogTXChainCode)) != chain)
            continue;
        const float time = AdvertLog_FN::GetLineTime(line);
        if (DisplayedBreakTime == -1) DisplayedBreakTime = time;
        if (!breakOpen) {
            breakOpen = true;
            current.push_back({GeneralFunctions::FormatDuration(time, 1).substr(0, 5), 60, false,
                               kBreakTimeColour});
            if (time == split.CuedBreakTime && !frameOpen && !Frame) {
                frameOpen = true;
                frameFirst = row();
            }
        }
        LogLinePos[static_cast<size_t>(row())] = position;
        const int32_t cart = AdvertLog_FN::GetLineCartNumber(line);
        BreakCarts::CartTiming timing;
        BreakCarts::ReadCartTiming(cart, timing);
        std::string lengthText = "--:--";
        if (timing.PlayLength > 0) {
            lengthText = GeneralFunctions::FormatDuration(timing.Extro, 202);
            total += timing.Extro;
        }
        current.push_back({AdvertLog_FN::GetLineTitle(line), 1000, false, TitleColour()});
        current.push_back({std::to_string(cart), width_ - 1250, true, kCartColour});
        current.push_back({lengthText, width_ - 120, true, kLengthColour});
        endRow();
    }
    if (breakOpen && row() <= visibleRows_) totalRow();
    if (frameOpen) closeFrame();
    LogLines::Seek(file, restore);
    Platform::SetScreenMousePointer(previousPointer);
    emit changed();
}

int LogDisplay::RowAt(int32_t yTwips) const {
    if (LogLineHeight <= 0 || yTwips < 0) return 0;
    const int row = static_cast<int>(yTwips / LogLineHeight) + 1;
    return row <= kMaxRows ? row : 0;
}

bool LogDisplay::DragOver(int row, int state) {
    if (state == 1) {
        const bool had = MarkerShown;
        MarkerShown = false;
        DropMarkerRow = 0;
        return had;
    }
    if (row == DropMarkerRow || row == 0) return false;
    // The marker shows between two advert rows only; DropMarkerRow still follows the mouse.
    MarkerShown = RowHoldsAdvert(row) && (row == 1 || RowHoldsAdvert(row - 1));
    DropMarkerRow = static_cast<int16_t>(row);
    return true;
}

int32_t LogDisplay::DropOnRow(int row) {
    if (!RowHoldsAdvert(row)) return 0;
    MarkerShown = false;
    DropMarkerRow = -1;
    return LogLinePos[static_cast<size_t>(row)];
}

int32_t LogDisplay::DroppedCart(const std::string& sourceName, int32_t cartNumber,
                                const std::string& tag) {
    const std::string name = VB::LCase(sourceName);
    if (name == "cartcontrol") return cartNumber;
    static const char* const kTagged[] = {"lblqlistentry",  "lblcartname",   "lblpadentry",
                                          "cmdinstantcart", "m2instantcart", "lblcartnumber",
                                          "lviewitems",     "pnlcart",       "pnlcartnumber"};
    for (const char* tagged : kTagged)
        if (name == tagged) return static_cast<int32_t>(VB::Int(VB::Val(tag)));
    return 0;
}

void LogDisplay::sftDown_Click(int16_t argument) {
    if (sftDownTag == "DONE" && argument == 0) return;
    DisplayedBreakPos = engine_.GetNextAdBreakFilePos(DisplayedBreakTime + 0.1f);
    UpdateLog();
}

void LogDisplay::sftUp_Click(int16_t argument) {
    if (sftUpTag == "DONE" && argument == 0) return;
    DisplayedBreakPos = engine_.GetPreviousAdBreakFilePos(DisplayedBreakTime);
    UpdateLog();
}

void LogDisplay::ScrollPress(bool down) {
    TimerScroll.setProperty("Tag", down ? "1" : "0");
    TimerScroll.setInterval(500);
    TimerScroll.start();
}

void LogDisplay::ScrollRelease(bool down) {
    TimerScroll.stop();
    (down ? sftDownTag : sftUpTag).clear();
}

void LogDisplay::TimerScroll_Timer() {
    TimerScroll.setInterval(100);
    const QString tag = TimerScroll.property("Tag").toString();
    if (tag == "0") {
        sftUp_Click(100);
        sftUpTag = "DONE";
    } else if (tag == "1") {
        sftDown_Click(100);
        sftDownTag = "DONE";
    } else {
        TimerScroll.stop();
    }
}
