#pragma once
// The split log settings dialog: the split's name, its log folders, how often new logs are
// looked for and how a log's file name is built.
#include "settings_dialogs/DialogConventions.h"

#include <QObject>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

class QCheckBox;
class QLabel;
class QLineEdit;

namespace SettingsDialogs {

// The texts of the dialog's boxes.
struct LogSettingsEntries {
    std::string SplitName;
    std::string UpdateInterval;
    std::string SourceDirectory;
    std::string DestinationDirectory;
    std::string Format;
    std::string PreSuffix;
    std::string FileExtension;
    std::string ReconcileFileExtension;
    std::string LogTXChainCode;
    bool Update = false;
    bool Suffix = false;
};

class LogSettingsEngine : public QObject {
    Q_OBJECT
public:
    LogSettingsEngine() { SetSplitNumberCaption("1"); }

    // The hidden split-number caption: setting it fills the boxes from that split's record.
    void SetSplitNumberCaption(const std::string& caption);
    int16_t SplitNumber() const { return splitNumber_; }
    // "1" when the start-up opened the dialog; then no notice about the next start is shown.
    void SetTag(const std::string& tag) { tag_ = tag; }

    const LogSettingsEntries& Entries() const { return entries_; }
    // Replaces the texts as typed; the sample name follows.
    void SetEntries(const LogSettingsEntries& entries);
    // Ticking enables the interval box; clearing it empties the box.
    void SetUpdate(bool on);
    // The sample log file name of the current moment, "The details are invalid" on failure.
    const std::string& SampleFileName() const { return sample_; }

    void BrowseSource(QWidget* owner);
    void BrowseDestination(QWidget* owner);
    // OK: checks, asks, saves; true when the dialog may close.
    bool Ok();

signals:
    void Changed();

private:
    void UpdateSample();
    bool OfferToCreate(const char* which, const std::string& directory);

    int16_t splitNumber_ = 1;
    std::string tag_;
    LogSettingsEntries entries_;
    std::string sample_;
};

class frmLogSettings : public SettingsForm {
    Q_OBJECT
public:
    explicit frmLogSettings(QWidget* parent = nullptr);
    LogSettingsEngine& Engine() { return engine_; }
    QLineEdit* Box(std::string LogSettingsEntries::*field) const;
    QCheckBox* chkUpdate() const { return chkUpdate_; }
    QCheckBox* chkSuffix() const { return chkSuffix_; }
    QLabel* lblSampleFilename() const { return lblSampleFilename_; }

private:
    void Mirror();
    void Forward();

    LogSettingsEngine engine_;
    std::vector<std::pair<std::string LogSettingsEntries::*, QLineEdit*>> boxes_;
    QCheckBox* chkUpdate_;
    QCheckBox* chkSuffix_;
    QLabel* lblSampleFilename_;
};

// The menu command: the dialog for split 1, modeless; the notice about the next start shows.
void ShowLogSettings(QWidget* owner);
// The first start: the dialog modally, tagged "1". True when the main settings file then
// holds something.
bool ShowFirstStartLogSettings();

} // namespace SettingsDialogs
