#pragma once
// The engine tuning window: the fade mode and the silence flush that the player controls read
// from the registry when they are created, and the installed engine and player library
// versions, which must be new enough before anything can be changed.
#include <QObject>
#include <QWidget>
#include <cstdint>
#include <string>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace FlennTweak {

// What a version label shows.
struct LibraryLabel {
    std::string Text;
    bool Failed = false; // white on red
};

class FlennTweakEngine : public QObject {
    Q_OBJECT
public:
    // The warning box, the library checks and the stored values, in that order.
    void Open();

    bool SettingsEditable() const { return editable_; }
    bool SaveEnabled() const { return saveEnabled_; }
    const LibraryLabel& EngineLabel() const { return engine_; }
    const LibraryLabel& PlayerLabel() const { return player_; }
    bool FlushBuffers() const { return flushBuffers_; }
    int FadeMode() const { return fadeMode_; }
    const std::string& FlushMS() const { return flushMS_; }

    // The change handlers: each enables Save while the settings are editable.
    void SetFlushBuffers(bool on);
    void SetFadeMode(int mode);
    void SetFlushMS(const std::string& text);

    // Stores the three values (a value equal to its default is deleted); false when refused
    // or when the registry would not take them.
    bool Save();

signals:
    void Changed();

private:
    void CheckEngineLibrary();
    void CheckPlayerLibrary();
    void Touched();

    bool editable_ = false;
    bool saveEnabled_ = false;
    LibraryLabel engine_;
    LibraryLabel player_;
    bool flushBuffers_ = false;
    int fadeMode_ = 0;
    std::string flushMS_ = "1";
};

class frmFlennTweak : public QWidget {
    Q_OBJECT
public:
    explicit frmFlennTweak(QWidget* parent = nullptr);
    FlennTweakEngine& Engine() { return engine_; }
    QPushButton* cmdSave() const { return cmdSave_; }
    QLineEdit* txtFlushMS() const { return txtFlushMS_; }
    QComboBox* comboFadeMode() const { return comboFadeMode_; }

private:
    void Mirror();

    FlennTweakEngine engine_;
    QComboBox* comboFadeMode_;
    QCheckBox* chkFlushBuffers_;
    QLabel* lblFlushMSDesc_;
    QLineEdit* txtFlushMS_;
    QPushButton* cmdSave_;
    QLabel* lblFlennStreamVersion_;
    QLabel* lblFlenneyVersion_;
    bool mirroring_ = false;
};

} // namespace FlennTweak
