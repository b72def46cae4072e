#include "DialogsFixture.h"

#include "carts/PlayerTable.h"
#include "platform/WaveDevices.h"
#include "settings_dialogs/frmAudioSetup.h"

#include <QApplication>
#include <QComboBox>
#include <QEventLoop>
#include <QGroupBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <filesystem>

using namespace SettingsDialogs;
using DialogsTest::DialogsFixture;

namespace {

// Three output devices (entries 1..3 after the default) and two input devices.
class AudioSetupTest : public DialogsFixture {
protected:
    AudioSetupTest() {
        setenv("VNTZEL_WAVE_OUT_DEVICES", "null,null,null", 1);
        setenv("VNTZEL_WAVE_IN_DEVICES", "null,null", 1);
        Platform::ReloadWaveDevices();
    }
    ~AudioSetupTest() override {
        unsetenv("VNTZEL_WAVE_OUT_DEVICES");
        unsetenv("VNTZEL_WAVE_IN_DEVICES");
        Platform::ReloadWaveDevices();
    }
    AudioSettings::AudioSettingsRecord& Audio() { return context_.Settings.Audio; }
    // OK with the controls changed by edit.
    bool OkWith(AudioSetupEngine& engine, const std::function<void(AudioSetupControls&)>& edit) {
        AudioSetupControls c = engine.Controls();
        edit(c);
        engine.SetControls(c);
        Platform::ClearShownBoxes();
        return engine.Ok();
    }
};

} // namespace

TEST_F(AudioSetupTest, LoadingClampsAndOkStoresThePlayerChoices) {
    AudioSettings::AudioSettingsRecord& a = Audio();
    a.TotalNumberCartPlayers = 3;
    a.AutomaticPlayerAssignment = 0;
    a.Instant = 9;
    a.EditPlayer = 7;
    a.FirstPlayerInOrder = 255;
    a.LastPlayerInOrder = 9;
    a.RecordingSoundCard = 5;
    a.FSDebugMode = 7;
    context_.Players.PlayerTable[1].SoundCardNumber = 2;
    context_.Players.PlayerTable[2].SoundCardNumber = 9;
    context_.Carts.AudiowallParts[1].Location = dir_.Path();

    AudioSetupEngine engine;
    const AudioSetupControls& c = engine.Controls();
    EXPECT_EQ(engine.OutputDevices().size(), 4u);
    EXPECT_EQ(a.Instant, 4);
    EXPECT_EQ(c.ICPlayer, 3);
    EXPECT_EQ(a.EditPlayer, 4);
    EXPECT_EQ(c.FirstPlayerOrder, 5);
    EXPECT_EQ(a.LastPlayerInOrder, 4);
    EXPECT_EQ(c.LastPlayerOrder, 3);
    EXPECT_EQ(a.RecordingSoundCard, 2);
    EXPECT_EQ(c.Debug, 3);
    EXPECT_EQ(c.CartPlayer[1], 2);
    EXPECT_EQ(c.CartPlayer[2], 0); // beyond the device list
    EXPECT_TRUE(engine.RowLive(3));
    EXPECT_FALSE(engine.RowLive(4));

    AudioSetupControls typed = c;
    typed.NumberCartPlayers = "7";
    engine.SetControls(typed);
    EXPECT_EQ(c.NumberCartPlayers, "4");

    // Where its box can be edited, the fade point must lie above the normal volume.
    EXPECT_FALSE(OkWith(engine, [](auto& e) {
        e.GeneralVolume = "50";
        e.FadePercent = "50";
    }));
    EXPECT_EQ(Prompts(), std::vector<std::string>{"Your 'Fire When Faded to' percentage cannot be "
                                                  "lower than the 'Play normal carts at' "
                                                  "percentage"});
    engine.SetLimitedMode(true);
    EXPECT_FALSE(OkWith(engine, [](auto& e) {
        e.MaintainLegacy = false;
        e.UseIndividualCartFiles = false;
    }));
    EXPECT_EQ(Prompts(), std::vector<std::string>{"You must specify either to 'Store each carts "
                                                  "information individually' or 'Maintain the "
                                                  "complete list' or both."});
    EXPECT_EQ(Ini("CartPlayers", "TotalNumberCartPlayers"), "<missing>");

    // Limited mode with the default volume 100 and fade point 65: the fade box cannot be
    // edited there, so it does not hold OK back. Two players: the second as first player is
    // the last one; nothing to record into is none.
    ASSERT_TRUE(OkWith(engine, [](auto& e) {
        e.MaintainLegacy = true;
        e.FadePercent = "65";
        e.CartVolume = "100";
        e.NumberCartPlayers = "2";
        e.FirstPlayerOrder = 1;
        e.LastPlayerOrder = 0;
        e.RecordPlayer = -1;
        e.LockPlayerWhenRecording = true;
        e.RecordingLockPlayer = 5;
        e.EditPriority = 17;
        e.UseLegacyCopyMode = true;
        e.AllowAudioFileLinking = true;
    }));
    EXPECT_EQ(Prompts(),
              std::vector<std::string>{
                  "You will have to restart Vantor ZEL for these changes to take effect"});
    for (auto [section, key, value] : {std::tuple{"CartPlayers", "TotalNumberCartPlayers", "2"},
                                       {"CartPlayers", "FirstPlayerInOrder", "255"},
                                       {"CartPlayers", "LastPlayerInOrder", "1"},
                                       {"CartPlayers", "SoundCardNumber1", "2"},
                                       {"Audio", "RecordingSoundCard", "0"},
                                       {"Audio", "LockPlayerWhenRecording", "2"},
                                       {"Audio", "GeneralVolume", "100"},
                                       {"Audio", "PlayerFadeFirePercent", "65"},
                                       {"Audio", "AudioEditorPriority", "17"},
                                       {"Audio", "UseLegacyFileCopyMode", "1"},
                                       {"Audio", "FSDebugMode", "3"}})
        EXPECT_EQ(Ini(section, key), value) << key;
    const std::string audwall = dir_.File("Audwall.ini");
    EXPECT_EQ(Ini("Audiowall", "AllowAudioFileLinking", audwall), "1");
    EXPECT_EQ(Ini("CartChunk", "UseCopyrightInCartChunk", audwall), "0");
    EXPECT_EQ(a.Instant, 2);

    // More players than devices warns and saves; none at all clears every choice.
    ASSERT_TRUE(OkWith(engine, [](auto& e) { e.NumberCartPlayers = "4"; }));
    EXPECT_EQ(Prompts().front(), "Warning : There are only 3 suitable sound devices installed");
    ASSERT_TRUE(OkWith(engine, [](auto& e) {
        e.NumberCartPlayers = "0";
        e.AutoMode = true;
    }));
    EXPECT_EQ(a.FirstPlayerInOrder, 0);
    EXPECT_EQ(a.LastPlayerInOrder, 255);
    EXPECT_EQ(a.Instant + a.EditPlayer + a.RecordingSoundCard + a.LockPlayerWhenRecording, 0);
    EXPECT_EQ(Ini("CartPlayers", "SoundCardNumber1"), "<missing>");
}

TEST_F(AudioSetupTest, LimitedModeAndThePercentBoxes) {
    frmAudioSetup form;
    AudioSetupEngine& engine = form.Engine();
    EXPECT_TRUE(form.Control<QGroupBox>("fraZELCartVolumes")->isHidden());
    engine.SetLimitedMode(true);
    EXPECT_TRUE(form.Control<QGroupBox>("fraPlaybackVolumes")->isHidden());
    EXPECT_FALSE(form.Control<QGroupBox>("fraZELCartVolumes")->isHidden());
    EXPECT_FALSE(form.Control<QComboBox>("listICPlayer")->isEnabled());
    EXPECT_FALSE(form.Control<QLineEdit>("txtFadePercent")->isEnabled());

    QLineEdit* fade = form.Control<QLineEdit>("txtFadePercent");
    fade->setEnabled(true);
    fade->setText("150");
    emit fade->textEdited("150");
    emit fade->editingFinished();
    EXPECT_EQ(engine.Controls().FadePercent, "100");
    fade->setText("");
    emit fade->textEdited("");
    emit fade->editingFinished();
    EXPECT_EQ(fade->text(), "0");
    form.Control<QLineEdit>("txtCartVolume")->clear();
    DialogsTest::Type(form.Control<QLineEdit>("txtCartVolume"), "8x0");
    EXPECT_EQ(engine.Controls().CartVolume, "80");

    // OK by its button with the three volumes typed, each stored in its own key, and four
    // players for three devices: the warning and the restart notice come one after the other.
    for (auto [name, text] : {std::pair{"txtCartGroupVolume", "40"},
                              {"txtAdvertVolume", "70"},
                              {"txtNumberCartPlayers", "4"}}) {
        form.Control<QLineEdit>(name)->clear();
        DialogsTest::Type(form.Control<QLineEdit>(name), text);
    }
    Platform::SetMsgBoxHook({});
    Platform::ShowBoxesWhenHeadless(true);
    Platform::ClearShownBoxes();
    auto boxesOnScreen = [] {
        std::vector<QMessageBox*> open;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* box = qobject_cast<QMessageBox*>(w); box && box->isVisible())
                open.push_back(box);
        return open;
    };
    size_t mostOnScreen = 0;
    QTimer presser;
    QObject::connect(&presser, &QTimer::timeout, [&] {
        mostOnScreen = std::max(mostOnScreen, boxesOnScreen().size());
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
            box->button(QMessageBox::Ok)->click();
    });
    presser.start(10);
    QEventLoop loop;
    QTimer::singleShot(0, [&] {
        form.Control<QPushButton>("cmdOK")->click();
        mostOnScreen = std::max(mostOnScreen, boxesOnScreen().size());
        loop.quit();
    });
    loop.exec();
    for (QMessageBox* left : boxesOnScreen())
        delete left;
    Platform::ShowBoxesWhenHeadless(false);
    EXPECT_EQ(mostOnScreen, 1u);
    EXPECT_EQ(Prompts(), (std::vector<std::string>{
                             "Warning : There are only 3 suitable sound devices installed",
                             "You will have to restart Vantor ZEL for these changes to take "
                             "effect"}));
    EXPECT_EQ(Ini("Audio", "GeneralVolume"), "80");
    EXPECT_EQ(Ini("Audio", "CartGroupVolume"), "40");
    EXPECT_EQ(Ini("Audio", "AdvertVolume"), "70");
}
