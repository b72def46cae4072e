#include "settings_dialogs/frmZELSettings.h"

#include "core/GeneralFunctions.h"
#include "core/MainSettings.h"
#include "core/SaveReport.h"
#include "main_window/CommandLine.h"
#include "platform/MessageBox.h"
#include "platform/Profile.h"
#include "platform/VB.h"
#include "settings_dialogs/FloatingCellEditor.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <optional>

namespace SettingsDialogs {
namespace {

using C = ZELSettingsControls;
constexpr const char* kMinimumNote = "(The minimum time is 0.01 seconds)";
constexpr const char* kRespondTip =
    "This option should be ticked to allow Masters to control the currently playing advert break.";
constexpr const char* kHardwareTip =
    "You should only tick this box if you are not using Hardware triggers for these actions.";
constexpr int kDailyLayout = 2;  // hh:mm:ss
constexpr int kHourlyLayout = 3; // mm:ss

std::string Flag(bool on) {
    return on ? "1" : "0";
}

// The time box's value in seconds, held below its limit.
double BoxSeconds(const std::string& text, int layout, double limit) {
    double seconds = GeneralFunctions::ParseDuration(text, layout);
    return seconds >= limit ? limit - 1 : seconds;
}

std::string NormalTime(const std::string& text, int layout, double limit) {
    return GeneralFunctions::FormatDuration(BoxSeconds(text, layout, limit), layout);
}

// A whole number within low..high from a box's text, or nothing.
std::optional<int16_t> WholeIn(const std::string& text, int low, int high) {
    double value = VB::RoundHalfEven(VB::Val(text));
    if (value < low || value > high) return std::nullopt;
    return static_cast<int16_t>(value);
}

} // namespace

bool DebugModeForced() {
    return MainWindow::CommandLine().CommandLineText.find("/DEBUG") != std::string::npos;
}

std::string ShortestSingle(float value) {
    char buffer[32];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

ZELSettingsEngine::ZELSettingsEngine() {
    const MainSettings::GeneralSettings& g = MainSettings::Settings().General;
    const MainSettings::NetworkSettings& n = MainSettings::Settings().Network;
    C& c = controls_;
    c.DebugMode = DebugModeForced() || GeneralFunctions::State().DebugMode != 0;
    c.HidePlayerControls = g.HidePlayerControls != 0;
    c.CueAdBreaksImmediately = g.CueAdBreaksImmediately != 0;
    c.AutoPlayBreaks = g.AutoPlayAdBreaks != 0;
    c.ShowCartGroups = g.ShowCartGroups != 0;
    c.AllowBreaksDuringCarts = g.AllowBreaksDuringCarts != 0;
    c.AllowCartsDuringBreaks = g.AllowCartsDuringBreaks != 0;
    c.ZOZServer = g.ZOZServerName;
    c.ZOZPort = std::clamp<int>(g.ZOZControlPort, 1, 20) - 1;
    c.NetworkMaster = n.MasterName;
    c.SendPlayerCommands = n.SendPlayerCommands != 0;
    c.RespondPlayCommands = n.RespondPlayCommands != 0;
    c.RespondBreakCommands = n.RespondOtherCommands != 0;
    c.SendPlayFromHardware = n.SendPlayFromHardware != 0;
    c.LogLoadingMode = g.LogLoadingMode >= 0 && g.LogLoadingMode <= 2 ? g.LogLoadingMode : -1;
    c.LogLoadDaily = GeneralFunctions::FormatDuration(g.LogLoadDailyInterval, kDailyLayout);
    c.LogLoadHourly = GeneralFunctions::FormatDuration(g.LogLoadHourlyInterval, kHourlyLayout);
    c.DropBreak = g.DropLateAdBreaks != 0;
    c.DropMins = c.DropBreak ? std::to_string(g.DropLateAdBreaks) : "";
    c.LogCartGroups = g.LogCartGroups != 0;
    c.LogWhenController = g.LogWhenController != 0;
    c.RecFileLocation = g.LogRecFileInDestDirectory != 0 ? 1 : 0;
    c.MuteSource = g.AdvertSourceMute != 0;
    c.SourceHWLine = std::to_string(g.SourceLine);
    c.SecsBeforeSignalling = ShortestSingle(g.NumberSecondsWaitBeforeSignal);
    c.NumberSecsToSignal = ShortestSingle(g.NumberSecondsToSignal);
    week_ = LogWarningWeek(g.LogWarningDays);
}

void ZELSettingsEngine::SetControls(const ZELSettingsControls& controls) {
    controls_ = controls;
    emit Changed();
}

void ZELSettingsEngine::NormaliseDaily() {
    controls_.LogLoadDaily = NormalTime(controls_.LogLoadDaily, kDailyLayout, 86400);
    emit Changed();
}

void ZELSettingsEngine::NormaliseHourly() {
    controls_.LogLoadHourly = NormalTime(controls_.LogLoadHourly, kHourlyLayout, 3600);
    emit Changed();
}

bool ZELSettingsEngine::Apply() {
    C& c = controls_;
    auto refuse = [](const std::string& text) {
        Box(text, Platform::vbInformation);
        return false;
    };
    if (VB::Trim(c.SecsBeforeSignalling).empty())
        return refuse("You must specify a 'Number of seconds to wait before signalling'\n" +
                      std::string(kMinimumNote));
    if (VB::Trim(c.NumberSecsToSignal).empty())
        return refuse("You must specify a 'Number of seconds to signal for'\n" +
                      std::string(kMinimumNote));
    // Both numbers are 16-bit: a value out of range is refused before any key is written.
    std::optional<int16_t> sourceLine = WholeIn(c.SourceHWLine, 0, 300);
    if (!sourceLine)
        return refuse("The hardware line to enable must be a number between 0 and 300");
    std::optional<int16_t> dropMinutes = c.DropBreak ? WholeIn(c.DropMins, 0, 32767) : 0;
    if (!dropMinutes)
        return refuse("The minutes after which a break is dropped must be a number between 0 "
                      "and 32767");
    for (std::string* box : {&c.SecsBeforeSignalling, &c.NumberSecsToSignal})
        if (VB::Val(*box) <= 0) *box = "0.01";
    // The boxes clamp on losing the focus; Enter inside one does not get there.
    c.LogLoadDaily = NormalTime(c.LogLoadDaily, kDailyLayout, 86400);
    c.LogLoadHourly = NormalTime(c.LogLoadHourly, kHourlyLayout, 3600);

    MainSettings::SettingsRecords& s = MainSettings::Settings();
    const std::string& ini = s.MainIniFile;
    GeneralFunctions::SaveReport saved;
    auto write = [&ini, &saved](const char* section, const char* key, const std::string& value) {
        saved.Take(Platform::WritePrivateProfileString(section, key, value, ini));
    };
    auto general = [&write](const char* key, const std::string& value) {
        write("General", key, value);
    };
    if (!DebugModeForced()) {
        GeneralFunctions::State().DebugMode = c.DebugMode ? -1 : 0;
        general("DebugMode", c.DebugMode ? "-1" : "0");
    }
    MainSettings::GeneralSettings& g = s.General;
    MainSettings::NetworkSettings& n = s.Network;
    g.ShowCartGroups = c.ShowCartGroups;
    g.NumberSecondsWaitBeforeSignal = static_cast<float>(VB::Val(c.SecsBeforeSignalling));
    g.NumberSecondsToSignal = static_cast<float>(VB::Val(c.NumberSecsToSignal));
    n.MasterName = VB::UCase(c.NetworkMaster);
    n.RespondOtherCommands = c.RespondBreakCommands;
    n.RespondPlayCommands = c.RespondPlayCommands;
    n.SendPlayFromHardware = c.SendPlayFromHardware;
    n.SendPlayerCommands = c.SendPlayerCommands;
    g.ZOZServerName = c.ZOZServer;
    if (c.ZOZPort >= 0) g.ZOZControlPort = static_cast<int16_t>(c.ZOZPort + 1);
    if (c.LogLoadingMode >= 0) g.LogLoadingMode = static_cast<int16_t>(c.LogLoadingMode);
    g.LogLoadDailyInterval =
        static_cast<float>(GeneralFunctions::ParseDuration(c.LogLoadDaily, kDailyLayout));
    g.LogLoadHourlyInterval =
        static_cast<float>(GeneralFunctions::ParseDuration(c.LogLoadHourly, kHourlyLayout));
    g.LogRecFileInDestDirectory = static_cast<int16_t>(c.RecFileLocation);
    g.DropLateAdBreaks = *dropMinutes;
    g.AutoPlayAdBreaks = c.AutoPlayBreaks;
    g.CueAdBreaksImmediately = c.CueAdBreaksImmediately;
    g.HidePlayerControls = c.HidePlayerControls;
    g.LogCartGroups = c.LogCartGroups;
    g.LogWhenController = c.LogWhenController;

    general("ShowCartGroups", Flag(c.ShowCartGroups));
    general("LogLoadingMode", std::to_string(g.LogLoadingMode));
    general("LogLoadDailyInterval", ShortestSingle(g.LogLoadDailyInterval));
    general("LogLoadHourlyInterval", ShortestSingle(g.LogLoadHourlyInterval));
    general("DropLateAdBreaks", std::to_string(g.DropLateAdBreaks));
    general("AutoPlayAdBreaks", Flag(c.AutoPlayBreaks));
    general("CueAdBreaksImmediately", Flag(c.CueAdBreaksImmediately));
    general("HidePlayerControls", Flag(c.HidePlayerControls));
    general("LogRecFileInDestDirectory", std::to_string(g.LogRecFileInDestDirectory));
    general("LogCartGroups", Flag(c.LogCartGroups));
    general("LogWhenController", Flag(c.LogWhenController));
    write("Network", "MasterName", n.MasterName);
    write("Network", "RespondPlayCommands", Flag(c.RespondPlayCommands));
    write("Network", "RespondOtherCommands", Flag(c.RespondBreakCommands));
    write("Network", "SendPlayFromHardware", Flag(c.SendPlayFromHardware));
    write("Network", "SendPlayerCommands", Flag(c.SendPlayerCommands));
    general("NumberSecondsWaitBeforeSignal", ShortestSingle(g.NumberSecondsWaitBeforeSignal));
    general("NumberSecondsToSignal", ShortestSingle(g.NumberSecondsToSignal));

    g.SourceLine = *sourceLine;
    g.AdvertSourceMute = c.MuteSource;
    g.AllowCartsDuringBreaks = c.AllowCartsDuringBreaks;
    g.AllowBreaksDuringCarts = c.AllowBreaksDuringCarts;
    general("SourceLine", std::to_string(g.SourceLine));
    general("AdvertSourceMute", Flag(c.MuteSource));
    general("AllowCartsDuringBreaks", Flag(c.AllowCartsDuringBreaks));
    general("AllowBreaksDuringCarts", Flag(c.AllowBreaksDuringCarts));
    general("ZOZServerName", g.ZOZServerName);
    general("ZOZControlPort", std::to_string(g.ZOZControlPort));

    g.LogWarningDays = week_.Setting();
    general("LogWarningDays", g.LogWarningDays);
    emit Changed();
    return GeneralFunctions::ConfirmSave(saved, "frmZELSettings", ini);
}

// ---- The form ------------------------------------------------------------------------------

namespace {

struct CheckRow {
    bool C::*field;
    const char* name;
    const char* caption;
    const char* tip;
};

const CheckRow kMiscellaneous[] = {
    {&C::DebugMode, "chkDebugMode", "Run in Debug Mode - creates Debugging files to send to Orbury",
     nullptr},
    {&C::HidePlayerControls, "chkHidePlayerControls",
     "Hide the Controls on Players being used to play Adverts or Cart Groups", nullptr},
    {&C::CueAdBreaksImmediately, "chkCueAdBreaksImmediately",
     "Cue Adverts ready to play as soon as ZEL starts, or the previous break finishes", nullptr},
    {&C::AutoPlayBreaks, "chkAutoPlayBreaks",
     "Automatically Play advert breaks at the specified times", nullptr},
    {&C::ShowCartGroups, "chkShowCartGroups", "Display Cart Groups when ZEL is started.", nullptr},
};
const CheckRow kRules[] = {
    {&C::AllowBreaksDuringCarts, "chkAllowBreaksDuringCarts",
     "Allow Ad Breaks to be started when 'Carts' or 'Play Lists' are running", nullptr},
    {&C::AllowCartsDuringBreaks, "chkAllowCartsDuringBreaks",
     "Allow 'Carts' or 'Play Lists' to be played during Ad Breaks", nullptr},
};
const CheckRow kInterconnection[] = {
    {&C::SendPlayerCommands, "chkSendPlayerCommands",
     "Send Player Cart Control Commands to other ZEL systems", kRespondTip},
    {&C::RespondPlayCommands, "chkRespondPlayCommands",
     "Respond to received Advert Break \"Play\" commands", kHardwareTip},
    {&C::RespondBreakCommands, "chkRespondBreakCommands",
     "Respond to received Advert Break \"Cue\", \"Dump\" and  \"Back\" commands", kRespondTip},
    {&C::SendPlayFromHardware, "chkSendPlayFromHardware",
     "Send Play commands to slaves when triggered by hardware", kHardwareTip},
};
const CheckRow kLogChecks[] = {
    {&C::LogCartGroups, "chkLogCartGroups", "Log Cart Groups being played:", nullptr},
    {&C::LogWhenController, "chkLogWhenController", "Only log plays when ZEL has control of ZOZ",
     nullptr},
};
const CheckRow kMute = {&C::MuteSource, "chkMuteSource", "Mute when playing adverts?", nullptr};

struct TextRow {
    std::string C::*field;
    const char* name;
};
const TextRow kTexts[] = {
    {&C::ZOZServer, "txtZOZServer"},
    {&C::NetworkMaster, "txtNetworkMaster"},
    {&C::LogLoadDaily, "mskLogLoadDaily"},
    {&C::LogLoadHourly, "mskLogLoadHourly"},
    {&C::DropMins, "txtDropMins"},
    {&C::SourceHWLine, "txtSourceHWLine"},
    {&C::SecsBeforeSignalling, "txtSecsBeforeSignalling"},
    {&C::NumberSecsToSignal, "txtNumberSecsToSignal"},
};
const CheckRow kDropBreak = {&C::DropBreak, "chkDropBreak",
                             "Drop a break if it is not played within", nullptr};

const char* const kDays[] = {"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"};

} // namespace

frmZELSettings::frmZELSettings(QWidget* parent) : SettingsForm(parent) {
    setWindowTitle("General Settings:");
    auto* top = new QVBoxLayout(this);
    tabs_ = new QTabWidget(this);
    tabs_->setObjectName("tbsSettings");
    tabs_->setUsesScrollButtons(false);
    top->addWidget(tabs_);

    auto checks = [this](QLayout* into, const CheckRow* rows, size_t count) {
        for (size_t i = 0; i < count; ++i) {
            auto* box = new QCheckBox(rows[i].caption, this);
            box->setObjectName(rows[i].name);
            if (rows[i].tip) box->setToolTip(rows[i].tip);
            connect(box, &QCheckBox::clicked, this, &frmZELSettings::Forward);
            into->addWidget(box);
        }
    };
    auto text = [this](const char* name) {
        auto* box = new QLineEdit(this);
        box->setObjectName(name);
        connect(box, &QLineEdit::textEdited, this, &frmZELSettings::Forward);
        if (std::string(name) != "txtZOZServer") SelectAllOnFocus(box);
        return box;
    };
    auto frame = [](QWidget* page, const char* caption) {
        auto* group = new QGroupBox(caption, page);
        page->layout()->addWidget(group);
        return group;
    };
    auto page = [this](const char* caption) {
        auto* widget = new QWidget(this);
        new QVBoxLayout(widget);
        tabs_->addTab(widget, caption);
        return widget;
    };

    QWidget* general = page("General Settings");
    checks(new QVBoxLayout(frame(general, "Miscellaneous:")), kMiscellaneous,
           std::size(kMiscellaneous));
    checks(
        new QVBoxLayout(frame(general, "Rules used to determine when to play a piece of audio:")),
        kRules, std::size(kRules));
    if (DebugModeForced()) {
        auto* debug = Control<QCheckBox>("chkDebugMode");
        debug->setText(debug->text() + " (Forced by Command Line)");
        debug->setEnabled(false);
    }

    QWidget* network = page("Network Control/ZOZ Info");
    auto* zoz = new QFormLayout(frame(network, "ZOZ Computer Details:"));
    zoz->addRow("Computer Name/TCP-IP Address:", text("txtZOZServer"));
    auto* port = new QComboBox(this);
    port->setObjectName("comboZOZPort");
    for (int n = 1; n <= 20; ++n)
        port->addItem(QString("Port %1").arg(n));
    connect(port, &QComboBox::activated, this, &frmZELSettings::Forward);
    zoz->addRow("Connect using:", port);
    auto* links = new QVBoxLayout(frame(network, "ZEL Interconnection Settings:"));
    auto* masterRow = new QFormLayout;
    QLineEdit* master = text("txtNetworkMaster");
    UpperCaseTyping(master);
    masterRow->addRow("Network Master to connect to:", master);
    links->addLayout(masterRow);
    checks(links, kInterconnection, std::size(kInterconnection));

    QWidget* logs = page("Log Settings");
    auto* reload = new QGridLayout(frame(logs, "Automatic Reloading of Log Files:"));
    auto* note =
        new QLabel("If either of the two options below are selected, the log file will be "
                   "reloaded, and the next ad break after the current time will be loaded, "
                   "regardless of the break that was previously loaded.",
                   this);
    note->setWordWrap(true);
    reload->addWidget(note, 0, 0, 1, 3);
    const char* options[][2] = {
        {"optLogLoadOnce",
         "Only load the log file when starting, or when finishing the previous file"},
        {"optLogLoadDaily", "Once a day at:"},
        {"optLogLoadHourly", "Once an hour at:"}};
    for (int i = 0; i < 3; ++i) {
        auto* option = new QRadioButton(options[i][1], this);
        option->setObjectName(options[i][0]);
        connect(option, &QRadioButton::clicked, this, &frmZELSettings::Forward);
        reload->addWidget(option, i + 1, 0, 1, i == 0 ? 3 : 1);
    }
    QLineEdit* daily = text("mskLogLoadDaily");
    daily->setInputMask("99:99:99");
    QLineEdit* hourly = text("mskLogLoadHourly");
    hourly->setInputMask("99:99");
    connect(daily, &QLineEdit::editingFinished, &engine_, &ZELSettingsEngine::NormaliseDaily);
    connect(hourly, &QLineEdit::editingFinished, &engine_, &ZELSettingsEngine::NormaliseHourly);
    reload->addWidget(daily, 2, 1);
    reload->addWidget(new QLabel("(24 hour clock)", this), 2, 2);
    reload->addWidget(hourly, 3, 1);
    reload->addWidget(new QLabel("(minutes past the hour)", this), 3, 2);
    auto* dropRow = new QHBoxLayout;
    checks(dropRow, &kDropBreak, 1);
    dropRow->addWidget(text("txtDropMins"));
    dropRow->addWidget(new QLabel("minutes of it's scheduled play time.", this));
    reload->addLayout(dropRow, 4, 0, 1, 3);
    auto* reconcile = new QVBoxLayout(frame(logs, "Reconciliation Files:"));
    checks(reconcile, kLogChecks, std::size(kLogChecks));
    auto* where = new QComboBox(this);
    where->setObjectName("comboRecFileLocation");
    where->addItems({"Source Directory", "Destination Directory"});
    connect(where, &QComboBox::activated, this, &frmZELSettings::Forward);
    auto* whereRow = new QFormLayout;
    whereRow->addRow("These files should be stored in the :", where);
    reconcile->addLayout(whereRow);

    QWidget* warnings = page("Log Warnings");
    QGroupBox* warningsBox = frame(warnings, "For each hour of the week, ZEL checks the "
                                             "following number of days ahead for Advert Logs:");
    warningsBox->setObjectName("fraLogWarnings");
    auto* warningsFrame = new QVBoxLayout(warningsBox);
    gridWeek_ = new QTableWidget(LogWarningWeek::kDays, LogWarningWeek::kHours, this);
    gridWeek_->setObjectName("gridWeek");
    gridWeek_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    for (int d = 0; d < LogWarningWeek::kDays; ++d) {
        gridWeek_->setVerticalHeaderItem(d, new QTableWidgetItem(kDays[d]));
        gridWeek_->setRowHeight(d, 20);
        for (int h = 0; h < LogWarningWeek::kHours; ++h) {
            auto* item = new QTableWidgetItem;
            item->setTextAlignment(Qt::AlignCenter);
            gridWeek_->setItem(d, h, item);
        }
    }
    gridWeek_->horizontalHeader()->setMinimumSectionSize(0);
    gridWeek_->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    for (int h = 0; h < LogWarningWeek::kHours; ++h) {
        gridWeek_->setHorizontalHeaderItem(h, new QTableWidgetItem(QString::number(h)));
        gridWeek_->setColumnWidth(h, 22);
    }
    gridWeek_->verticalHeader()->setFixedWidth(40);
    gridWeek_->verticalHeader()->setMinimumSectionSize(0);
    gridWeek_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    gridWeek_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    gridWeek_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    gridWeek_->setFixedSize(40 + LogWarningWeek::kHours * 22 + 2 * gridWeek_->frameWidth(),
                            gridWeek_->horizontalHeader()->sizeHint().height() +
                                LogWarningWeek::kDays * 20 + 2 * gridWeek_->frameWidth());
    warningsFrame->addWidget(gridWeek_);
    txtLogWarning_ =
        new FloatingCellEditor(gridWeek_, 1, true, [this](int row, int column, const QString& t) {
            engine_.Week().SetCell(row + 1, column, Typed(t));
            gridWeek_->item(row, column)->setText(Shown(engine_.Week().Cell(row + 1, column)));
        });
    txtLogWarning_->setObjectName("txtLogWarning");
    connect(gridWeek_, &QTableWidget::cellPressed, this, [this] { pressedOnGrid_ = true; });
    connect(gridWeek_, &QTableWidget::cellClicked, this, [this](int row, int column) {
        txtLogWarning_->Close();
        if (pressedOnGrid_) txtLogWarning_->Open(row, column);
        pressedOnGrid_ = false;
    });

    QWidget* hardware = page("Hardware/Router Control");
    auto* router = new QVBoxLayout(frame(hardware, "Audio Router Control:"));
    checks(router, &kMute, 1);
    auto* lineRow = new QFormLayout;
    QLineEdit* line = text("txtSourceHWLine");
    DigitsOnly(line);
    lineRow->addRow("Hardware Line to enable when ZEL Starts:", line);
    router->addLayout(lineRow);
    auto* signal = new QFormLayout(frame(hardware, "At the end of advert breaks:"));
    QLineEdit* before = text("txtSecsBeforeSignalling");
    QLineEdit* forSecs = text("txtNumberSecsToSignal");
    DigitsOnly(before, true);
    DigitsOnly(forSecs, true);
    signal->addRow(new QLabel(
        "Number of seconds to wait before hardware signalling that the break has ended:", this));
    signal->addRow(before);
    signal->addRow("Number of seconds to signal for:", forSecs);
    for (QWidget* p : {general, network, logs, warnings, hardware})
        static_cast<QVBoxLayout*>(p->layout())->addStretch();

    AddButtonRow(
        top, [this] { return engine_.Apply(); }, true);
    connect(&engine_, &ZELSettingsEngine::Changed, this, &frmZELSettings::Mirror);
    Mirror();
    tabs_->setCurrentIndex(0);
}

void frmZELSettings::Forward() {
    if (mirroring_) return;
    C c = engine_.Controls();
    auto readChecks = [&](const CheckRow* rows, size_t count) {
        for (size_t i = 0; i < count; ++i)
            c.*(rows[i].field) = Control<QCheckBox>(rows[i].name)->isChecked();
    };
    readChecks(kMiscellaneous, std::size(kMiscellaneous));
    readChecks(kRules, std::size(kRules));
    readChecks(kInterconnection, std::size(kInterconnection));
    readChecks(kLogChecks, std::size(kLogChecks));
    readChecks(&kMute, 1);
    readChecks(&kDropBreak, 1);
    for (const TextRow& row : kTexts)
        c.*(row.field) = Typed(Control<QLineEdit>(row.name)->text());
    c.ZOZPort = Control<QComboBox>("comboZOZPort")->currentIndex();
    c.RecFileLocation = Control<QComboBox>("comboRecFileLocation")->currentIndex();
    const char* options[] = {"optLogLoadOnce", "optLogLoadDaily", "optLogLoadHourly"};
    for (int i = 0; i < 3; ++i)
        if (Control<QRadioButton>(options[i])->isChecked()) c.LogLoadingMode = i;
    engine_.SetControls(c);
}

void frmZELSettings::Mirror() {
    mirroring_ = true;
    const C& c = engine_.Controls();
    auto showChecks = [&](const CheckRow* rows, size_t count) {
        for (size_t i = 0; i < count; ++i)
            Control<QCheckBox>(rows[i].name)->setChecked(c.*(rows[i].field));
    };
    showChecks(kMiscellaneous, std::size(kMiscellaneous));
    showChecks(kRules, std::size(kRules));
    showChecks(kInterconnection, std::size(kInterconnection));
    showChecks(kLogChecks, std::size(kLogChecks));
    showChecks(&kMute, 1);
    showChecks(&kDropBreak, 1);
    for (const TextRow& row : kTexts) {
        QLineEdit* box = Control<QLineEdit>(row.name);
        QString shown = Shown(c.*(row.field));
        if (box->text() != shown) box->setText(shown);
    }
    Control<QComboBox>("comboZOZPort")->setCurrentIndex(c.ZOZPort);
    Control<QComboBox>("comboRecFileLocation")->setCurrentIndex(c.RecFileLocation);
    const char* options[] = {"optLogLoadOnce", "optLogLoadDaily", "optLogLoadHourly"};
    for (int i = 0; i < 3; ++i)
        Control<QRadioButton>(options[i])->setChecked(c.LogLoadingMode == i);
    SetBoxEnabled(Control<QLineEdit>("mskLogLoadDaily"), c.LogLoadingMode == 1);
    SetBoxEnabled(Control<QLineEdit>("mskLogLoadHourly"), c.LogLoadingMode == 2);
    SetBoxEnabled(Control<QLineEdit>("txtDropMins"), c.DropBreak);
    for (int d = 0; d < LogWarningWeek::kDays; ++d)
        for (int h = 0; h < LogWarningWeek::kHours; ++h)
            gridWeek_->item(d, h)->setText(Shown(engine_.Week().Cell(d + 1, h)));
    mirroring_ = false;
}

void ShowZELSettings(QWidget* owner, const std::function<void()>& connectToZOZ,
                     const std::function<void()>& reconnectMaster) {
    const MainSettings::SettingsRecords& s = MainSettings::Settings();
    const std::string zozName = s.General.ZOZServerName;
    const int16_t zozPort = s.General.ZOZControlPort;
    const std::string master = s.Network.MasterName;
    frmZELSettings form(owner);
    ShowModal(form);
    if ((s.General.ZOZServerName != zozName || s.General.ZOZControlPort != zozPort) && connectToZOZ)
        connectToZOZ();
    if (s.Network.MasterName != master && reconnectMaster) reconnectMaster();
}

} // namespace SettingsDialogs
