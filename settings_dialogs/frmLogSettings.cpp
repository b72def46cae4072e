#include "settings_dialogs/frmLogSettings.h"

#include "breaks/BreaksState.h"
#include "core/GeneralFunctions.h"
#include "core/MainSettings.h"
#include "core/SaveReport.h"
#include "core/SettingsReader.h"
#include "platform/Clock.h"
#include "platform/Files.h"
#include "platform/MessageBox.h"
#include "platform/Profile.h"
#include "platform/VB.h"
#include "settings_dialogs/frmFileLocations.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace SettingsDialogs {
namespace {

using Field = std::string LogSettingsEntries::*;

double RoundedInterval(const std::string& text) {
    return VB::RoundHalfEven(VB::Val(text));
}

// The first failing check's message, or "" when every entry passes.
std::pair<std::string, int> FirstRefusal(const LogSettingsEntries& e) {
    if (VB::Trim(e.SplitName).empty())
        return {"You must give this split a name", Platform::vbInformation};
    // The rounded value is what is kept: 0.4 would otherwise switch the checking off.
    double interval = RoundedInterval(e.UpdateInterval);
    if (e.Update && (interval < 1 || interval > 65))
        return {"You must set the update interval to a number between 0 and 65 seconds",
                Platform::vbInformation};
    if (VB::Trim(e.SourceDirectory).empty())
        return {"You must enter an Incoming Advert log Directory", Platform::vbInformation};
    if (VB::Trim(e.DestinationDirectory).empty())
        return {"You must enter an Directory for ZEL to copy Advert logs into and work from",
                Platform::vbInformation};
    if (VB::LCase(NormalLocation(e.SourceDirectory)) ==
        VB::LCase(NormalLocation(e.DestinationDirectory)))
        return {"You cannot set ZEL to work from the the same directory you are checking for new "
                "advert log files in",
                Platform::vbExclamation};
    return {"", 0};
}

} // namespace

void LogSettingsEngine::SetSplitNumberCaption(const std::string& caption) {
    splitNumber_ = MainSettings::ToInt16(static_cast<int32_t>(VB::Fix(VB::Val(caption))));
    const ZEL_Common::SplitRecord* split = Breaks::Split(splitNumber_);
    if (!split) return;
    entries_.SplitName = split->SplitName;
    entries_.FileExtension = split->Extension;
    entries_.ReconcileFileExtension = split->ReconcileExtension;
    entries_.Format = split->DateFormat;
    entries_.PreSuffix = split->PreSuffix;
    entries_.Suffix = split->Suffix != 0;
    entries_.LogTXChainCode = split->LogTXChainCode;
    entries_.SourceDirectory = split->LogSourceDirectory;
    entries_.DestinationDirectory = split->LogDestinationDirectory;
    entries_.Update = split->LogUpdateInterval > 0;
    entries_.UpdateInterval = entries_.Update ? std::to_string(split->LogUpdateInterval) : "";
    UpdateSample();
    emit Changed();
}

void LogSettingsEngine::SetEntries(const LogSettingsEntries& entries) {
    bool update = entries_.Update;
    entries_ = entries;
    if (entries.Update != update) SetUpdate(entries.Update);
    UpdateSample();
    emit Changed();
}

void LogSettingsEngine::SetUpdate(bool on) {
    entries_.Update = on;
    if (!on) entries_.UpdateInterval.clear();
    emit Changed();
}

void LogSettingsEngine::UpdateSample() {
    std::string date = VB::FormatDate(Platform::Clock::NowSerial(), entries_.Format);
    const std::string dot = "." + entries_.FileExtension;
    sample_ = entries_.Suffix ? date + entries_.PreSuffix + dot : entries_.PreSuffix + date + dot;
}

void LogSettingsEngine::BrowseSource(QWidget* owner) {
    std::string chosen =
        ChooseFolder(owner, "Select Directory to copy Log files from", entries_.SourceDirectory);
    if (chosen.empty()) return;
    entries_.SourceDirectory = chosen;
    emit Changed();
}

void LogSettingsEngine::BrowseDestination(QWidget* owner) {
    std::string chosen =
        ChooseFolder(owner, "Select Directory to copy Log files to", entries_.DestinationDirectory);
    if (chosen.empty()) return;
    entries_.DestinationDirectory = chosen;
    emit Changed();
}

bool LogSettingsEngine::OfferToCreate(const char* which, const std::string& directory) {
    if (GeneralFunctions::DirectoryExists(directory)) return true;
    int answer = Box(std::string("Do you want to have the ") + which + " directory " + directory +
                         " created for you?",
                     Platform::vbYesNoCancel | Platform::vbQuestion);
    if (answer == Platform::vbCancel) return false;
    if (answer == Platform::vbYes) GeneralFunctions::CreatePath(directory, false);
    return true;
}

bool LogSettingsEngine::Ok() {
    auto [refusal, icon] = FirstRefusal(entries_);
    if (!refusal.empty()) {
        Box(refusal, icon);
        return false;
    }
    if (!OfferToCreate("Source", entries_.SourceDirectory) ||
        !OfferToCreate("Destination", entries_.DestinationDirectory))
        return false;
    int16_t interval =
        entries_.Update ? static_cast<int16_t>(RoundedInterval(entries_.UpdateInterval)) : 0;
    int16_t number = splitNumber_ == 0 ? 1 : splitNumber_;
    if (ZEL_Common::SplitRecord* split = Breaks::Split(number)) split->LogUpdateInterval = interval;

    const std::string& ini = MainSettings::Settings().MainIniFile;
    const std::string n = std::to_string(number);
    GeneralFunctions::SaveReport saved;
    auto write = [&](const char* section, const char* key, const std::string& value) {
        saved.Take(Platform::WritePrivateProfileString(section, key + n, value, ini));
    };
    write("General", "SplitName", entries_.SplitName);
    write("General", "LogSourceDirectory", entries_.SourceDirectory);
    write("General", "LogDestinationDirectory", entries_.DestinationDirectory);
    write("General", "LogUpdateInterval", std::to_string(interval));
    write("LogFileName", "DateFormat", entries_.Format);
    write("LogFileName", "Extension", entries_.FileExtension);
    write("LogFileName", "PreSuffix", entries_.PreSuffix);
    write("LogFileName", "Suffix", entries_.Suffix ? "1" : "0");
    write("LogFileName", "LogTXChainCode", entries_.LogTXChainCode);
    write("LogFileName", "ReconcileExtension", entries_.ReconcileFileExtension);
    if (!GeneralFunctions::ConfirmSave(saved, "frmLogSettings", ini)) return false;
    if (VB::Val(tag_) == 0)
        Box(std::string("These settings will take effect from the next time you start ") +
                kBoxTitle,
            Platform::vbInformation);
    return true;
}

frmLogSettings::frmLogSettings(QWidget* parent) : SettingsForm(parent) {
    setWindowTitle("Vantor ZEL Log File Settings:");
    setAttribute(Qt::WA_DeleteOnClose, false);
    auto box = [this](Field field, const char* name, bool upper, bool selectAll = true) {
        auto* edit = new QLineEdit(this);
        edit->setObjectName(name);
        if (selectAll) SelectAllOnFocus(edit);
        if (upper) UpperCaseTyping(edit);
        boxes_.emplace_back(field, edit);
        connect(edit, &QLineEdit::textEdited, this, &frmLogSettings::Forward);
        return edit;
    };
    auto browse = [this](QLineEdit* edit, const char* name,
                         void (LogSettingsEngine::*handler)(QWidget*)) {
        auto* row = new QHBoxLayout;
        auto* button = new QPushButton("Browse", this);
        button->setObjectName(name);
        row->addWidget(edit, 1);
        row->addWidget(button);
        connect(button, &QPushButton::clicked, this, [this, handler] { (engine_.*handler)(this); });
        return row;
    };
    auto* top = new QVBoxLayout(this);
    auto* nameForm = new QFormLayout;
    nameForm->addRow("Split Name:", box(&LogSettingsEntries::SplitName, "txtSplitName", false));
    top->addLayout(nameForm);

    auto* locations = new QGroupBox("File Locations:", this);
    auto* locationsForm = new QVBoxLayout(locations);
    auto* updateRow = new QHBoxLayout;
    chkUpdate_ = new QCheckBox("Check for new log files every", this);
    QLineEdit* interval =
        box(&LogSettingsEntries::UpdateInterval, "txtUpdateInterval", false, false);
    DigitsOnly(interval, true);
    interval->setMaximumWidth(60);
    updateRow->addWidget(chkUpdate_);
    updateRow->addWidget(interval);
    updateRow->addWidget(new QLabel("seconds.", this));
    updateRow->addStretch();
    locationsForm->addLayout(updateRow);
    locationsForm->addWidget(
        new QLabel("Directory to check for new incoming log files from:", this));
    locationsForm->addLayout(
        browse(box(&LogSettingsEntries::SourceDirectory, "txtSourceDirectory", false),
               "cmdBrowseSource", &LogSettingsEngine::BrowseSource));
    locationsForm->addWidget(new QLabel("Directory to copy log files into and work from:", this));
    locationsForm->addLayout(
        browse(box(&LogSettingsEntries::DestinationDirectory, "txtDestinationDirectory", false),
               "cmdBrowseDest", &LogSettingsEngine::BrowseDestination));
    top->addWidget(locations);

    auto* logFile = new QGroupBox("Log file:", this);
    auto* logForm = new QFormLayout(logFile);
    logForm->addRow("Date format :", box(&LogSettingsEntries::Format, "txtFormat", true));
    chkSuffix_ = new QCheckBox("Suffix", this);
    auto* preRow = new QHBoxLayout;
    preRow->addWidget(box(&LogSettingsEntries::PreSuffix, "txtPreSuffix", true));
    preRow->addWidget(chkSuffix_);
    logForm->addRow("Prefix (or suffix) :", preRow);
    logForm->addRow("File Extension :",
                    box(&LogSettingsEntries::FileExtension, "txtFileExtension", true));
    logForm->addRow("Reconcile Extension:", box(&LogSettingsEntries::ReconcileFileExtension,
                                                "txtReconcileFileExtension", false));
    logForm->addRow("TX Chain Code:",
                    box(&LogSettingsEntries::LogTXChainCode, "txtLogTXChainCode", true));
    lblSampleFilename_ = new QLabel(this);
    logForm->addRow("Sample Filename:", lblSampleFilename_);
    top->addWidget(logFile);

    AddButtonRow(top, [this] { return engine_.Ok(); });

    connect(chkUpdate_, &QCheckBox::clicked, this, [this](bool on) { engine_.SetUpdate(on); });
    connect(chkSuffix_, &QCheckBox::clicked, this, &frmLogSettings::Forward);
    connect(&engine_, &LogSettingsEngine::Changed, this, &frmLogSettings::Mirror);
    Mirror();
    setFixedSize(sizeHint().expandedTo(QSize(520, 0)));
}

QLineEdit* frmLogSettings::Box(Field field) const {
    for (const auto& [f, edit] : boxes_)
        if (f == field) return edit;
    return nullptr;
}

void frmLogSettings::Forward() {
    LogSettingsEntries entries = engine_.Entries();
    for (const auto& [field, edit] : boxes_)
        entries.*field = Typed(edit->text());
    entries.Suffix = chkSuffix_->isChecked();
    engine_.SetEntries(entries);
}

void frmLogSettings::Mirror() {
    const LogSettingsEntries& e = engine_.Entries();
    for (const auto& [field, edit] : boxes_) {
        QString shown = Shown(e.*field);
        if (edit->text() != shown) edit->setText(shown);
    }
    QSignalBlocker blockUpdate(chkUpdate_), blockSuffix(chkSuffix_);
    chkUpdate_->setChecked(e.Update);
    chkSuffix_->setChecked(e.Suffix);
    SetBoxEnabled(Box(&LogSettingsEntries::UpdateInterval), e.Update);
    lblSampleFilename_->setText(Shown(engine_.SampleFileName()));
}

void ShowLogSettings(QWidget* owner) {
    auto* form = new frmLogSettings(owner);
    form->setAttribute(Qt::WA_DeleteOnClose);
    form->Engine().SetSplitNumberCaption("1");
    form->show();
}

bool ShowFirstStartLogSettings() {
    const std::string file = Platform::JoinPath(GeneralFunctions::GetWindowsFolder(), "VNTZEL.INI");
    frmLogSettings form;
    form.Engine().SetTag("1");
    form.Engine().SetSplitNumberCaption("1");
    ShowModal(form);
    return GeneralFunctions::SafeFileLen(file) > 0;
}

} // namespace SettingsDialogs
