#include "settings_dialogs/frmAudioSetup.h"

#include "carts/AudioSettingsLoader.h"
#include "carts/CartsState.h"
#include "carts/PlayerTable.h"
#include "core/DataLocation.h"
#include "core/GeneralFunctions.h"
#include "core/MainSettings.h"
#include "platform/Files.h"
#include "platform/MessageBox.h"
#include "platform/Profile.h"
#include "platform/Screen.h"
#include "platform/VB.h"
#include "platform/WaveDevices.h"
#include "settings_dialogs/LibraryRegistration.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>

namespace SettingsDialogs {
namespace {

using A = AudioSetupControls;
constexpr int kLastOrderEntry = 5; // "the last Cart Player!"
constexpr int16_t kLastPlayer = 255;

int32_t Rounded(const std::string& text) {
    return static_cast<int32_t>(VB::RoundHalfEven(VB::Val(text)));
}

// A stored order player as its list entry.
int OrderEntry(int16_t& stored) {
    if (stored == kLastPlayer) return kLastOrderEntry;
    if (stored > kMaxCartPlayers) stored = kMaxCartPlayers;
    return stored - 1;
}

std::string DeviceName(const std::string& name) {
    // A name filling its whole field without an end mark cannot be trusted.
    return name.size() >= 32 ? "Unknown recording device!" : name;
}

} // namespace

AudioSetupEngine::AudioSetupEngine() {
    AudioSettings::AudioSettingsRecord& a = MainSettings::Settings().Audio;
    A& c = controls_;
    for (uint32_t d = 0; d <= Platform::waveOutGetNumDevs(); ++d) {
        Platform::WaveOutCaps caps;
        Platform::waveOutGetDevCaps(d == 0 ? Platform::WAVE_MAPPER : d - 1, &caps);
        outputs_.push_back(caps.productName);
    }
    for (uint32_t d = 0; d < Platform::waveInGetNumDevs(); ++d) {
        Platform::WaveInCaps caps;
        Platform::waveInGetDevCaps(d, &caps);
        inputs_.push_back(DeviceName(caps.productName));
    }
    c.AutoMode = a.AutomaticPlayerAssignment != 0;
    c.NumberCartPlayers = std::to_string(a.TotalNumberCartPlayers);
    for (int i = 1; i <= kMaxCartPlayers; ++i) {
        const CartPlayers::CartPlayerRecord& p = CartPlayers::Record(static_cast<int16_t>(i));
        c.BackColour[static_cast<size_t>(i)] = p.BackColor;
        c.ForeColour[static_cast<size_t>(i)] = p.ForeColor;
        bool fits = i <= a.TotalNumberCartPlayers && p.SoundCardNumber >= 0 &&
                    p.SoundCardNumber < static_cast<int>(outputs_.size());
        c.CartPlayer[static_cast<size_t>(i)] = fits ? p.SoundCardNumber : 0;
    }
    c.AudioEditor = VB::Trim(a.AudioEditorPath);
    c.EditPriority = a.AudioEditorPriority;
    c.RunEditorIdleSpeed = a.AudioEditorRunAtIdleSpeed != 0;
    format_.FormatTag = static_cast<uint16_t>(a.Format);
    format_.Channels = static_cast<uint16_t>(a.Channels);
    format_.SamplesPerSec = static_cast<uint32_t>(a.KHz);
    c.AllowDifferentFormat = a.AllowDifferentFormat != 0;
    c.RecordLocal = a.RecordLocal != 0;
    a.Instant = std::min<int16_t>(a.Instant, kMaxCartPlayers);
    c.ICPlayer = a.Instant - 1;
    a.EditPlayer = std::min<int32_t>(a.EditPlayer, kMaxCartPlayers);
    c.EditPlayer = a.EditPlayer;
    c.FirstPlayerOrder = OrderEntry(a.FirstPlayerInOrder);
    c.LastPlayerOrder = OrderEntry(a.LastPlayerInOrder);
    a.RecordingSoundCard =
        std::min<int32_t>(a.RecordingSoundCard, static_cast<int32_t>(inputs_.size()));
    c.RecordPlayer = a.RecordingSoundCard - 1;
    c.PlayInstant = a.PlayCartsInstantly != 0;
    c.OnlyAllowEjectStoppedCarts = a.OnlyAllowEjectStoppedCarts != 0;
    c.PlayersAsToolbars = a.RegisterAsToolbars != 0;
    c.UseIndividualCartFiles = a.UseIndividualCartListFiles != 0;
    c.MaintainLegacy = a.MaintainLegacyCartList != 0;
    c.UseLargeFSBuffers = a.UseLargeFSBuffers != 0;
    c.UseLegacyCopyMode = a.UseLegacyFileCopyMode != 0;
    c.FadePercent = std::to_string(a.PlayerFadeFirePercent);
    c.Debug = std::clamp<int>(a.FSDebugMode, 0, 3);
    c.LockPlayerWhenRecording = a.LockPlayerWhenRecording != 0;
    c.RecordingLockPlayer = c.LockPlayerWhenRecording
                                ? std::clamp<int>(a.LockPlayerWhenRecording - 1, 0, kPlayerRows - 1)
                                : 0;
    c.AllowAudioFileLinking = a.AllowAudioFileLinking != 0;
    c.UseCopyrightInCartChunk = a.UseCopyrightInCartChunk != 0;
    c.SweeperVol = std::to_string(a.SweptVolume);
    c.GeneralVolume = std::to_string(a.GeneralVolume);
    c.DuckVolume = std::to_string(a.DuckAudioVolume);
    c.CartGroupVolume = std::to_string(a.CartGroupVolume);
    c.CartVolume = std::to_string(a.GeneralVolume);
    c.AdvertVolume = std::to_string(a.AdvertVolume);
    c.Ducking = a.UsePlayerDucking != 0;
    Platform::SetScreenMousePointer(Platform::vbDefault);
}

void AudioSetupEngine::SetControls(const AudioSetupControls& controls) {
    controls_ = controls;
    if (VB::Val(controls_.NumberCartPlayers) > kMaxCartPlayers) controls_.NumberCartPlayers = "4";
    emit Changed();
}

void AudioSetupEngine::LeavePercentBox(std::string AudioSetupControls::*box) {
    double value = VB::Val(controls_.*box);
    if (value > 100) controls_.*box = "100";
    if (value <= 0) controls_.*box = "0";
    emit Changed();
}

void AudioSetupEngine::SetLimitedMode(bool on) {
    limitedMode_ = on;
    emit Changed();
}

bool AudioSetupEngine::RowLive(int i) const {
    return !controls_.AutoMode && VB::Val(controls_.NumberCartPlayers) >= i;
}

bool AudioSetupEngine::PlayersEntered() const {
    return VB::Val(controls_.NumberCartPlayers) != 0;
}

std::string AudioSetupEngine::FormatText() {
    return MultimediaAPI::DescribeWaveFormat(format_, false) + " ";
}

bool AudioSetupEngine::TuningAvailable() const {
    return GeneralFunctions::SafeFileLen(LibraryRegistration::TuningProgramPath()) > 0;
}

void AudioSetupEngine::ChooseFormat(QWidget* owner) {
    int32_t size = 0;
    if (MultimediaAPI::ChooseWaveFormat(format_, owner ? static_cast<int32_t>(owner->winId()) : 0,
                                        nullptr, size))
        emit Changed();
}

void AudioSetupEngine::ChooseEditor(QWidget* owner) {
    std::string current = VB::Trim(controls_.AudioEditor);
    std::string chosen = ChooseFile(owner, "Select Sample Editor Program", current,
                                    "Programs (*.EXE *.COM *.BAT *.PIF *)");
    if (chosen.empty()) return;
    controls_.AudioEditor = VB::Trim(chosen);
    emit Changed();
}

void AudioSetupEngine::CheckFileCache() {
    DataLocation::CheckFileCacheSettings(AudioSettings::kProductKey, true);
}

void AudioSetupEngine::StartTuning() {
    if (!QProcess::startDetached(Shown(LibraryRegistration::TuningProgramPath()), {}))
        Box("The FlennStream(TM) settings program could not be started.", Platform::vbExclamation);
}

bool AudioSetupEngine::Activate() {
    if (tag_ == "LOADED") return false;
    tag_ = "LOADED";
    return true;
}

bool AudioSetupEngine::Ok() {
    const A& c = controls_;
    if (!c.MaintainLegacy && !c.UseIndividualCartFiles) {
        Box("You must specify either to 'Store each carts information individually' or 'Maintain "
            "the complete list' or both.",
            Platform::vbInformation);
        return false;
    }
    if (VB::Val(c.NumberCartPlayers) > kMaxCartPlayers) {
        Box("You cannot have more than 4 in Vantor", Platform::vbExclamation);
        return false;
    }
    // The fade percentage is checked only where the user can change it: in limited mode its
    // box is disabled, and a value nobody can edit must not keep the dialog from closing.
    if (!limitedMode_ && VB::Val(c.GeneralVolume) >= VB::Val(c.FadePercent)) {
        Box("Your 'Fire When Faded to' percentage cannot be lower than the 'Play normal carts at' "
            "percentage",
            Platform::vbExclamation);
        return false;
    }
    // The device warning and the restart notice are read one after the other.
    Platform::BlockingBoxes oneAtATime;
    Platform::SetScreenMousePointer(Platform::vbHourglass);
    AudioSettings::AudioSettingsRecord& a = MainSettings::Settings().Audio;
    auto volume = [](const std::string& text) { return static_cast<int16_t>(Rounded(text)); };
    if (limitedMode_) {
        a.CartGroupVolume = volume(c.CartGroupVolume);
        a.GeneralVolume = volume(c.CartVolume);
        a.AdvertVolume = volume(c.AdvertVolume);
    } else {
        a.DuckAudioVolume = volume(c.DuckVolume);
        a.SweptVolume = volume(c.SweeperVol);
        a.GeneralVolume = volume(c.GeneralVolume);
    }
    a.UsePlayerDucking = c.Ducking ? -1 : 0;
    a.AudioEditorPath = VB::Trim(c.AudioEditor);
    a.AudioEditorPriority = c.EditPriority;
    a.AudioEditorRunAtIdleSpeed = c.RunEditorIdleSpeed;
    const int32_t total = Rounded(c.NumberCartPlayers);
    a.TotalNumberCartPlayers = total;
    int16_t devices = MultimediaAPI::CountWaveOutDevices(44100, 1);
    if (total > devices)
        Box(devices == 0   ? "Warning : There are no suitable sound devices installed!"
            : devices == 1 ? "Warning : There is only 1 suitable sound device installed!"
                           : "Warning : There are only " + std::to_string(devices) +
                                 " suitable sound devices installed",
            Platform::vbExclamation);
    a.AutomaticPlayerAssignment = c.AutoMode ? 1 : 0;
    for (int i = 1; i <= std::min(total, kMaxCartPlayers); ++i) {
        CartPlayers::CartPlayerRecord& p = CartPlayers::Record(static_cast<int16_t>(i));
        p.SoundCardNumber =
            c.AutoMode ? 0 : static_cast<int16_t>(c.CartPlayer[static_cast<size_t>(i)]);
        p.BackColor = c.BackColour[static_cast<size_t>(i)];
        p.ForeColor = c.ForeColour[static_cast<size_t>(i)];
    }
    if (total < 1) {
        a.FirstPlayerInOrder = 0;
        a.LastPlayerInOrder = kLastPlayer;
        a.Instant = 0;
        a.EditPlayer = 0;
        a.RecordingSoundCard = 0;
        a.LockPlayerWhenRecording = 0;
    } else {
        const int16_t t = static_cast<int16_t>(total);
        a.Instant = static_cast<int16_t>(std::clamp(c.ICPlayer + 1, 1, total));
        a.EditPlayer = std::min(c.EditPlayer, total);
        int first = c.FirstPlayerOrder + 1;
        a.FirstPlayerInOrder =
            first >= t && t >= 2 ? kLastPlayer : static_cast<int16_t>(std::max(first, 0));
        int last = c.LastPlayerOrder + 1;
        a.LastPlayerInOrder = last >= t ? kLastPlayer : static_cast<int16_t>(std::max(last, 0));
        // Nothing chosen means no recording device, not the device numbered like the count.
        a.RecordingSoundCard = c.RecordPlayer + 1;
        a.LockPlayerWhenRecording =
            c.LockPlayerWhenRecording
                ? static_cast<int16_t>(std::min(c.RecordingLockPlayer + 1, total))
                : 0;
    }
    a.RegisterAsToolbars = c.PlayersAsToolbars;
    a.MaintainLegacyCartList = c.MaintainLegacy;
    a.UseIndividualCartListFiles = c.UseIndividualCartFiles;
    a.AllowAudioFileLinking = c.AllowAudioFileLinking;
    a.UseCopyrightInCartChunk = c.UseCopyrightInCartChunk;
    a.UseLargeFSBuffers = c.UseLargeFSBuffers;
    a.UseLegacyFileCopyMode = c.UseLegacyCopyMode;
    a.AllowDifferentFormat = c.AllowDifferentFormat;
    a.RecordLocal = c.RecordLocal;
    a.PlayCartsInstantly = c.PlayInstant;
    a.OnlyAllowEjectStoppedCarts = c.OnlyAllowEjectStoppedCarts;
    a.FSDebugMode = static_cast<int16_t>(c.Debug);
    a.KHz = static_cast<int32_t>(format_.SamplesPerSec);
    a.Channels = static_cast<int16_t>(format_.Channels);
    a.Format = static_cast<int16_t>(format_.FormatTag);
    a.PlayerFadeFirePercent = static_cast<int16_t>(Rounded(c.FadePercent));

    const std::string& ini = MainSettings::Settings().MainIniFile;
    GeneralFunctions::SaveReport saved = AudioSettings::SaveAudioSettings(ini);
    // Edited in this dialog but not among the saver's keys: kept so the restart keeps them.
    auto keep = [&ini, &saved](const char* key, int32_t value) {
        saved.Take(Platform::WritePrivateProfileString("Audio", key, std::to_string(value), ini));
    };
    keep("AudioEditorPriority", a.AudioEditorPriority);
    keep("AudioEditorRunAtIdleSpeed", a.AudioEditorRunAtIdleSpeed);
    keep("UseLegacyFileCopyMode", a.UseLegacyFileCopyMode);
    const std::string& part1 = Carts::State().AudiowallParts[1].Location;
    const std::string audwall = part1.empty() ? "" : Platform::JoinPath(part1, "Audwall.ini");
    GeneralFunctions::SaveReport wall;
    if (!audwall.empty()) {
        wall.Take(Platform::WritePrivateProfileString("Audiowall", "AllowAudioFileLinking",
                                                      std::to_string(a.AllowAudioFileLinking),
                                                      audwall));
        wall.Take(Platform::WritePrivateProfileString("CartChunk", "UseCopyrightInCartChunk",
                                                      std::to_string(a.UseCopyrightInCartChunk),
                                                      audwall));
    }
    Platform::SetScreenMousePointer(Platform::vbDefault);
    const bool stored = GeneralFunctions::ConfirmSave(saved, "frmAudioSetup", ini);
    if (!GeneralFunctions::ConfirmSave(wall, "frmAudioSetup", audwall) || !stored) return false;
    if (limitedMode_)
        Box(std::string("You will have to restart ") + kBoxTitle +
                " for these changes to take effect",
            Platform::vbInformation);
    tag_.clear();
    return true;
}

// ---- The form ------------------------------------------------------------------------------

namespace {

struct CheckRow {
    bool A::*field;
    const char* name;
    const char* caption;
};
const CheckRow kChecks[] = {
    {&A::PlayersAsToolbars, "chkPlayersAsToolbars",
     "Register the Cart Players with Windows(TM), so other applications don't get \"stuck\" "
     "behind."},
    {&A::OnlyAllowEjectStoppedCarts, "chkOnlyAllowEjectStoppedCarts",
     "Only allow carts to be Ejected from players when paused or cued."},
    {&A::PlayInstant, "chkPlayInstant",
     "When triggering an Instant Cart, Play it immediately (not just cue it up ready to play)"},
    {&A::AllowDifferentFormat, "chkAllowDifferentFormat",
     "Also allow users to choose a different format to record audio with"},
    {&A::RecordLocal, "chkRecordLocal",
     "Record files to the local disk, then transfer them to the network."},
    {&A::RunEditorIdleSpeed, "chkRunEditorIdleSpeed", "Run Editor at \"Idle Speed\""},
    {&A::MaintainLegacy, "chkMaintainLegacy", "Maintain the complete Cart list (recommended)"},
    {&A::UseIndividualCartFiles, "chkUseIndividualCartFiles",
     "Store each Carts information in an individual file alongside the complete Cart lists."},
    {&A::LockPlayerWhenRecording, "chkLockPlayerWhenRecording", "When recording, lock"},
    {&A::AllowAudioFileLinking, "chkAllowAudioFileLinking",
     "Allow Users to 'link' Carts to other files not stored in the Audiowall"},
    {&A::UseCopyrightInCartChunk, "chkUseCopyrightInCartChunk",
     "Use/store copyright details in CartChunk"},
    {&A::UseLargeFSBuffers, "chkUseLargeFSBuffers",
     "Increase the size of the buffers that FlennStream(TM) uses"},
    {&A::UseLegacyCopyMode, "chkUseLegacyCopyMode", "Use \"Legacy\" mode to copy/move carts."},
};

struct TextRow {
    std::string A::*field;
    const char* name;
};
const TextRow kTexts[] = {
    {&A::NumberCartPlayers, "txtNumberCartPlayers"},
    {&A::FadePercent, "txtFadePercent"},
    {&A::GeneralVolume, "txtGeneralVolume"},
    {&A::DuckVolume, "txtDuckVolume"},
    {&A::SweeperVol, "txtSweeperVol"},
    {&A::CartVolume, "txtCartVolume"},
    {&A::CartGroupVolume, "txtCartGroupVolume"},
    {&A::AdvertVolume, "txtAdvertVolume"},
    {&A::AudioEditor, "txtAudioEditor"},
};

struct ComboRow {
    int A::*field;
    const char* name;
};
const ComboRow kCombos[] = {
    {&A::RecordPlayer, "listRecordPlayer"},
    {&A::ICPlayer, "listICPlayer"},
    {&A::FirstPlayerOrder, "listFirstPlayerOrder"},
    {&A::LastPlayerOrder, "listLastPlayerOrder"},
    {&A::EditPlayer, "listEditPlayer"},
    {&A::RecordingLockPlayer, "comboRecordingLockPlayer"},
    {&A::Debug, "comboDebug"},
};

const char* const kFullDuplexTip =
    "This option should be set if your soundcards do not support Full Duplex.";

QString RowName(const char* base, int i) {
    return QString("%1%2").arg(base).arg(i);
}

QColor Colour(int32_t bgr) {
    return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}

} // namespace

frmAudioSetup::frmAudioSetup(QWidget* parent) : SettingsForm(parent) {
    setWindowTitle("Audio Setup");
    auto* top = new QVBoxLayout(this);
    tabs_ = new QTabWidget(this);
    tabs_->setObjectName("tbsView");
    tabs_->setUsesScrollButtons(false);
    top->addWidget(tabs_);
    auto page = [this](const char* caption) {
        auto* widget = new QWidget(this);
        tabs_->addTab(widget, caption);
        return new QVBoxLayout(widget);
    };
    auto named = [](QWidget* w, const QString& name) {
        w->setObjectName(name);
        return w;
    };
    auto check = [this](const char* name) {
        for (const CheckRow& row : kChecks)
            if (std::string(row.name) == name) {
                auto* box = new QCheckBox(row.caption, this);
                box->setObjectName(name);
                connect(box, &QCheckBox::clicked, this, &frmAudioSetup::Forward);
                return box;
            }
        return static_cast<QCheckBox*>(nullptr);
    };
    auto text = [this](const char* name) {
        auto* box = new QLineEdit(this);
        box->setObjectName(name);
        connect(box, &QLineEdit::textEdited, this, &frmAudioSetup::Forward);
        return box;
    };
    auto combo = [this](const char* name, const QStringList& items) {
        auto* box = new QComboBox(this);
        box->setObjectName(name);
        box->addItems(items);
        connect(box, &QComboBox::activated, this, &frmAudioSetup::Forward);
        return box;
    };
    auto button = [this](const QString& caption, const QString& name, std::function<void()> click) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(name);
        connect(b, &QPushButton::clicked, this, std::move(click));
        return b;
    };
    QStringList devices, inputs, players, order, editors, locks;
    for (const std::string& d : engine_.OutputDevices())
        devices << Shown(d);
    for (const std::string& d : engine_.InputDevices())
        inputs << Shown(d);
    for (int i = 1; i <= kPlayerRows; ++i) {
        players << QString("Player %1").arg(i);
        locks << QString("Cart Player %1").arg(i);
        if (i <= 5) order << QString("Cart Player %1").arg(i);
    }
    order << "the last Cart Player!";
    editors << "the last player" << players;

    // Cart Players
    QVBoxLayout* cart = page("Cart Players");
    auto* countRow = new QHBoxLayout;
    countRow->addWidget(named(
        new QLabel("Number of Cart Players to use (normally the number of soundcards):", this),
        "lblNumberCartPlayers"));
    QLineEdit* count = text("txtNumberCartPlayers");
    count->setMaximumWidth(50);
    SelectAllOnFocus(count);
    countRow->addWidget(count);
    cart->addLayout(countRow);
    auto* manual = new QRadioButton("Manually assign soundcards to individual Cart Players", this);
    auto* automatic = new QRadioButton("Automatically assign soundcards to Cart Players", this);
    manual->setObjectName("optCartPlayerManualMode");
    automatic->setObjectName("optCartPlayerAutoMode");
    for (QRadioButton* option : {manual, automatic}) {
        connect(option, &QRadioButton::clicked, this, &frmAudioSetup::Forward);
        cart->addWidget(option);
    }
    auto* assignments = new QGroupBox(this);
    assignments->setObjectName("frameCartPlayerAssignments");
    auto* rows = new QFormLayout(assignments);
    for (int i = 1; i <= kPlayerRows; ++i) {
        auto* list = new QComboBox(this);
        list->setObjectName(RowName("listCartPlayer", i));
        list->addItems(devices);
        connect(list, &QComboBox::activated, this, &frmAudioSetup::Forward);
        rows->addRow(named(new QLabel(QString("Player %1:").arg(i), this), RowName("lblPlayer", i)),
                     list);
    }
    cart->addWidget(assignments);
    auto* cartForm = new QFormLayout;
    cartForm->addRow(named(new QLabel("Record into:", this), "lblRecordPlayer"),
                     combo("listRecordPlayer", inputs));
    cartForm->addRow(named(new QLabel("Play IC's using:", this), "lblInstantCart"),
                     combo("listICPlayer", players));
    cart->addLayout(cartForm);
    cart->addWidget(check("chkPlayersAsToolbars"));
    cart->addStretch();

    // Player Colours
    QVBoxLayout* colours = page("Player Colours");
    for (int i = 1; i <= kPlayerRows; ++i) {
        auto* row = new QHBoxLayout;
        auto* panel = new QLabel(QString("Player %1").arg(i), this);
        panel->setObjectName(RowName("pnlPlayerDisplay", i));
        panel->setFont(QFont("Arial"));
        panel->setAutoFillBackground(true);
        panel->setMinimumWidth(160);
        panel->setAlignment(Qt::AlignCenter);
        row->addWidget(panel);
        auto pick = [this, i](int32_t A::*unused, bool back) {
            (void)unused;
            A c = engine_.Controls();
            int32_t& colour = (back ? c.BackColour : c.ForeColour)[static_cast<size_t>(i)];
            if (Platform::MsgBoxIsHeadless()) return;
            QColor chosen = QColorDialog::getColor(Colour(colour), this);
            if (!chosen.isValid()) return;
            colour = chosen.red() | (chosen.green() << 8) | (chosen.blue() << 16);
            engine_.SetControls(c);
        };
        row->addWidget(button("Change Background Colour", RowName("cmdPlayerBackGround", i),
                              [pick] { pick(nullptr, true); }));
        row->addWidget(button("Change Foreground Colour", RowName("cmdPlayerForeground", i),
                              [pick] { pick(nullptr, false); }));
        colours->addLayout(row);
    }
    colours->addStretch();

    // Playback Settings
    QVBoxLayout* playback = page("Playback Settings");
    playback->addWidget(check("chkOnlyAllowEjectStoppedCarts"));
    auto* orderFrame = new QGroupBox("Cart Player Usage Order:", this);
    orderFrame->setObjectName("framePlayoutOrder");
    auto* orderRow = new QHBoxLayout(orderFrame);
    orderRow->addWidget(named(new QLabel("Play carts starting with", this), "lblFirstPlayerOrder"));
    orderRow->addWidget(combo("listFirstPlayerOrder", order));
    orderRow->addWidget(named(new QLabel("and finishing with", this), "lblLastPlayerOrder"));
    orderRow->addWidget(combo("listLastPlayerOrder", order));
    playback->addWidget(orderFrame);
    playback->addWidget(check("chkPlayInstant"));
    auto* fadeRow = new QHBoxLayout;
    fadeRow->addWidget(
        named(new QLabel("When segueing carts, fire the next when the current has faded to", this),
              "lblFadePercentDesc1"));
    QLineEdit* fade = text("txtFadePercent");
    fade->setMaximumWidth(50);
    fadeRow->addWidget(fade);
    fadeRow->addWidget(named(new QLabel("% of maximum volume.", this), "lblFadePercentDesc0"));
    playback->addLayout(fadeRow);
    auto* volumes = new QGroupBox("Playback Volumes:", this);
    volumes->setObjectName("fraPlaybackVolumes");
    auto* volumeGrid = new QGridLayout(volumes);
    volumeGrid->addWidget(new QLabel("Play normal carts at:", this), 0, 0);
    volumeGrid->addWidget(text("txtGeneralVolume"), 0, 1);
    volumeGrid->addWidget(new QLabel("% of maximum volume", this), 0, 2);
    volumeGrid->addWidget(new QLabel("When playing a sweeper:", this), 1, 0);
    auto* ducking = new QRadioButton("'Duck' the other cart to", this);
    auto* sweeper = new QRadioButton("Play the sweeper at", this);
    ducking->setObjectName("optDucking");
    sweeper->setObjectName("optSweeper");
    for (QRadioButton* option : {ducking, sweeper})
        connect(option, &QRadioButton::clicked, this, &frmAudioSetup::Forward);
    volumeGrid->addWidget(ducking, 2, 0);
    volumeGrid->addWidget(text("txtDuckVolume"), 2, 1);
    volumeGrid->addWidget(named(new QLabel("%", this), "lblDuckVolumePerc"), 2, 2);
    volumeGrid->addWidget(sweeper, 3, 0);
    volumeGrid->addWidget(text("txtSweeperVol"), 3, 1);
    volumeGrid->addWidget(named(new QLabel("%", this), "lblSweepVolumePerc"), 3, 2);
    playback->addWidget(volumes);
    auto* cartVolumes = new QGroupBox("Cart Volumes:", this);
    cartVolumes->setObjectName("fraZELCartVolumes");
    auto* cartVolumeForm = new QFormLayout(cartVolumes);
    cartVolumeForm->addRow("Percentage of maximimum Volume to play General Carts at:",
                           text("txtCartVolume"));
    cartVolumeForm->addRow("Percentage of maximimum Volume to play Cart Groups at:",
                           text("txtCartGroupVolume"));
    cartVolumeForm->addRow("Percentage of maximimum Volume to play Adverts at:",
                           text("txtAdvertVolume"));
    playback->addWidget(cartVolumes);
    playback->addStretch();
    for (const char* name : {"txtCartVolume", "txtCartGroupVolume", "txtAdvertVolume"}) {
        SelectAllOnFocus(Control<QLineEdit>(name));
        DigitsOnly(Control<QLineEdit>(name));
    }
    for (auto [name, field] : {std::pair{"txtFadePercent", &A::FadePercent},
                               {"txtGeneralVolume", &A::GeneralVolume},
                               {"txtSweeperVol", &A::SweeperVol}}) {
        QLineEdit* box = Control<QLineEdit>(name);
        SelectAllOnFocus(box);
        DigitsOnly(box, true);
        connect(box, &QLineEdit::editingFinished, this,
                [this, percent = field] { engine_.LeavePercentBox(percent); });
    }

    // Recording/Editing Settings
    QVBoxLayout* recording = page("Recording/Editing Settings");
    auto* record = new QGroupBox("Record Audio Settings:", this);
    record->setObjectName("fraRecordSettings");
    auto* recordRow = new QHBoxLayout(record);
    recordRow->addWidget(
        named(new QLabel("New Audio will be recorded using the audio format:", this),
              "lblAudioFormatDesc"));
    recordRow->addWidget(named(new QLabel(this), "lblAudioFormat"));
    recordRow->addWidget(
        button("Choose", "cmdSelectAudioFormat", [this] { engine_.ChooseFormat(this); }));
    recording->addWidget(record);
    recording->addWidget(check("chkAllowDifferentFormat"));
    recording->addWidget(check("chkRecordLocal"));
    auto* edit = new QGroupBox("Edit Audio Settings:", this);
    edit->setObjectName("fraEditAudioSettings");
    auto* editForm = new QGridLayout(edit);
    editForm->addWidget(named(new QLabel("Edit carts and audio using:", this), "lblEditPlayer"), 0,
                        0);
    editForm->addWidget(combo("listEditPlayer", editors), 0, 1);
    editForm->addWidget(
        named(new QLabel("The Audio Editor used to edit existing audio, or to create new audio is:",
                         this),
              "lblAudioEditor"),
        1, 0, 1, 3);
    QLineEdit* editor = text("txtAudioEditor");
    SelectAllOnFocus(editor);
    editForm->addWidget(editor, 2, 0, 1, 2);
    editForm->addWidget(
        button("Choose", "cmdSelectAudioEditor", [this] { engine_.ChooseEditor(this); }), 2, 2);
    editForm->addWidget(named(new QLabel("Priority:", this), "lblEditingPriorityDesc"), 3, 0);
    auto* priority = new QSlider(Qt::Horizontal, this);
    priority->setObjectName("sldEditPriority");
    priority->setRange(0, 20);
    priority->setToolTip(
        "Adjusts how time is shared between this product and the Audio Editor during editing");
    connect(priority, &QSlider::valueChanged, this, &frmAudioSetup::Forward);
    auto* priorityRow = new QHBoxLayout;
    priorityRow->addWidget(
        named(new QLabel("Editor runs faster", this), "lblEditPriorityDescEditor"));
    priorityRow->addWidget(priority);
    priorityRow->addWidget(
        named(new QLabel("Orbury products run faster", this), "lblEditPriorityDescProduct"));
    editForm->addLayout(priorityRow, 3, 1, 1, 2);
    editForm->addWidget(check("chkRunEditorIdleSpeed"), 4, 0, 1, 3);
    recording->addWidget(edit);
    recording->addStretch();

    // Advanced
    QVBoxLayout* advanced = page("Advanced");
    auto* warning =
        new QLabel("Changing the following settings could result in losing information from your "
                   "Audiowall, and you should consult Orbury Ltd. before continuing.",
                   this);
    warning->setObjectName("Label6");
    warning->setWordWrap(true);
    advanced->addWidget(warning);
    advanced->addWidget(check("chkMaintainLegacy"));
    advanced->addWidget(check("chkUseIndividualCartFiles"));
    auto* lockRow = new QHBoxLayout;
    lockRow->addWidget(check("chkLockPlayerWhenRecording"));
    lockRow->addWidget(combo("comboRecordingLockPlayer", locks));
    lockRow->addWidget(named(new QLabel("so it cannot be used.", this), "lblLockPlayer"));
    lockRow->addStretch();
    for (const char* name :
         {"chkLockPlayerWhenRecording", "comboRecordingLockPlayer", "lblLockPlayer"})
        findChild<QWidget*>(name)->setToolTip(kFullDuplexTip);
    advanced->addLayout(lockRow);
    advanced->addWidget(check("chkAllowAudioFileLinking"));
    advanced->addWidget(check("chkUseCopyrightInCartChunk"));
    Control<QCheckBox>("chkUseCopyrightInCartChunk")
        ->setToolTip("This overwrites the Cart Descriptions in the Cart Chunk with any Copyright "
                     "Information");
    advanced->addWidget(check("chkUseLargeFSBuffers"));
    advanced->addWidget(check("chkUseLegacyCopyMode"));
    auto* debugRow = new QFormLayout;
    debugRow->addRow(named(new QLabel("Audio Debugging Mode:", this), "lblDebugMode"),
                     combo("comboDebug", {"Play Normally", "Use Basic Debugging",
                                          "Use Medium Debugging", "Use Full Debugging!"}));
    advanced->addLayout(debugRow);
    advanced->addWidget(button("Check that this computer is fully optimised for Audio playback.",
                               "cmdCheckVCACHE", [this] { engine_.CheckFileCache(); }));
    advanced->addWidget(
        button("Advanced FlennStream(TM) settings. Only change if directed to by Orbury.",
               "cmdFlennTweak", [this] { engine_.StartTuning(); }));
    advanced->addStretch();

    AddButtonRow(top, [this] { return engine_.Ok(); });
    connect(&engine_, &AudioSetupEngine::Changed, this, &frmAudioSetup::Mirror);
    Mirror();
    tabs_->setCurrentIndex(0);
}

void frmAudioSetup::Forward() {
    if (mirroring_) return;
    A c = engine_.Controls();
    for (const CheckRow& row : kChecks)
        c.*(row.field) = Control<QCheckBox>(row.name)->isChecked();
    for (const TextRow& row : kTexts)
        c.*(row.field) = Typed(Control<QLineEdit>(row.name)->text());
    for (const ComboRow& row : kCombos)
        c.*(row.field) = Control<QComboBox>(row.name)->currentIndex();
    for (int i = 1; i <= kPlayerRows; ++i)
        c.CartPlayer[static_cast<size_t>(i)] =
            findChild<QComboBox*>(RowName("listCartPlayer", i))->currentIndex();
    c.AutoMode = Control<QRadioButton>("optCartPlayerAutoMode")->isChecked();
    c.Ducking = Control<QRadioButton>("optDucking")->isChecked();
    c.EditPriority = Control<QSlider>("sldEditPriority")->value();
    engine_.SetControls(c);
}

void frmAudioSetup::Mirror() {
    mirroring_ = true;
    const A& c = engine_.Controls();
    const bool limited = engine_.LimitedMode();
    for (const CheckRow& row : kChecks)
        Control<QCheckBox>(row.name)->setChecked(c.*(row.field));
    for (const TextRow& row : kTexts) {
        QLineEdit* box = Control<QLineEdit>(row.name);
        if (box->text() != Shown(c.*(row.field))) box->setText(Shown(c.*(row.field)));
    }
    for (const ComboRow& row : kCombos)
        Control<QComboBox>(row.name)->setCurrentIndex(c.*(row.field));
    Control<QRadioButton>("optCartPlayerAutoMode")->setChecked(c.AutoMode);
    Control<QRadioButton>("optCartPlayerManualMode")->setChecked(!c.AutoMode);
    Control<QRadioButton>("optDucking")->setChecked(c.Ducking);
    Control<QRadioButton>("optSweeper")->setChecked(!c.Ducking);
    Control<QSlider>("sldEditPriority")->setValue(c.EditPriority);
    for (int i = 1; i <= kPlayerRows; ++i) {
        auto* list = findChild<QComboBox*>(RowName("listCartPlayer", i));
        list->setCurrentIndex(c.CartPlayer[static_cast<size_t>(i)]);
        SetBoxEnabled(list, engine_.RowLive(i));
        findChild<QLabel*>(RowName("lblPlayer", i))->setEnabled(engine_.RowLive(i));
        auto* panel = findChild<QLabel*>(RowName("pnlPlayerDisplay", i));
        QPalette palette = panel->palette();
        palette.setColor(QPalette::Window, Colour(c.BackColour[static_cast<size_t>(i)]));
        palette.setColor(QPalette::WindowText, Colour(c.ForeColour[static_cast<size_t>(i)]));
        panel->setPalette(palette);
        bool shown = i <= kMaxCartPlayers;
        for (QWidget* w :
             {static_cast<QWidget*>(panel), findChild<QWidget*>(RowName("cmdPlayerBackGround", i)),
              findChild<QWidget*>(RowName("cmdPlayerForeground", i))}) {
            w->setVisible(shown);
            w->setEnabled(!limited);
        }
    }
    const bool players = engine_.PlayersEntered();
    for (const char* name : {"framePlayoutOrder", "lblFirstPlayerOrder", "lblLastPlayerOrder"})
        findChild<QWidget*>(name)->setEnabled(players);
    SetBoxEnabled(Control<QComboBox>("listFirstPlayerOrder"), players);
    SetBoxEnabled(Control<QComboBox>("listLastPlayerOrder"), players);
    SetBoxEnabled(Control<QComboBox>("listICPlayer"), players && !limited);
    Control<QLabel>("lblInstantCart")->setEnabled(players && !limited);
    Control<QCheckBox>("chkPlayersAsToolbars")->setEnabled(!limited);
    Control<QCheckBox>("chkPlayInstant")->setEnabled(!limited);
    SetBoxEnabled(Control<QLineEdit>("txtFadePercent"), !limited);
    Control<QLabel>("lblFadePercentDesc0")->setEnabled(!limited);
    Control<QLabel>("lblFadePercentDesc1")->setEnabled(!limited);
    Control<QWidget>("fraPlaybackVolumes")->setVisible(!limited);
    Control<QWidget>("fraZELCartVolumes")->setVisible(limited);
    SetBoxEnabled(Control<QLineEdit>("txtDuckVolume"), c.Ducking);
    Control<QLabel>("lblDuckVolumePerc")->setEnabled(c.Ducking);
    SetBoxEnabled(Control<QLineEdit>("txtSweeperVol"), !c.Ducking);
    Control<QLabel>("lblSweepVolumePerc")->setEnabled(!c.Ducking);
    SetBoxEnabled(Control<QComboBox>("comboRecordingLockPlayer"), c.LockPlayerWhenRecording);
    Control<QLabel>("lblAudioFormat")->setText(Shown(engine_.FormatText()));
    Control<QPushButton>("cmdFlennTweak")->setEnabled(engine_.TuningAvailable());
    mirroring_ = false;
}

void frmAudioSetup::showEvent(QShowEvent* event) {
    SettingsForm::showEvent(event);
    QWidget* count = Control<QLineEdit>("txtNumberCartPlayers");
    if (engine_.Activate() && count->isEnabled()) count->setFocus();
}

void frmAudioSetup::reject() {
    engine_.Cancel();
    SettingsForm::reject();
}

void ShowAudioSetup(QWidget* owner) {
    // One dialog for the run: its entries persist between openings.
    static QPointer<frmAudioSetup> form;
    if (!form) form = new frmAudioSetup(owner);
    form->Engine().SetLimitedMode(true);
    ShowModal(*form);
}

} // namespace SettingsDialogs
