#pragma once
// The main window with its cart players on null devices, for the shots that show it.
#include "carts/Audio_Player_FN.h"
#include "carts/PlayerWindows.h"
#include "carts/AudioSettingsLoader.h"
#include "main_window/frmMain.h"

namespace Screenshots {

inline MainWindow::frmMain& OpenMainWindow() {
    qputenv("VNTZEL_WAVE_OUT_DEVICES", "null,null,null,null");
    // One player per wave-out device: four.
    AudioSettings::LoadStartupAudioSettings();
    MainWindow::frmMain& main = MainWindow::MainForm();
    main.resize(1242, 120);
    Audio_Player_FN::UsePlayerWindows();
    Audio_Player_FN::InitialiseAudio();
    Audio_Player_FN::EmbedPlayerWindows(main.picPlayer());
    Audio_Player_FN::ShowPlayerWindows();
    return main;
}

inline void CloseMainWindow() {
    Audio_Player_FN::ShutdownAudio();
    Audio_Player_FN::DestroyPlayerWindows();
    MainWindow::UnloadMainForm();
}

} // namespace Screenshots
