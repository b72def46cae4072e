#include "settings_dialogs/frmFileLocations.h"

#include "breaks/ZEL_Common.h"
#include "carts/CartsState.h"
#include "core/GeneralFunctions.h"
#include "core/MainSettings.h"
#include "core/SaveReport.h"
#include "platform/Files.h"
#include "platform/MessageBox.h"
#include "platform/Profile.h"
#include "platform/Screen.h"
#include "platform/VB.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>

namespace SettingsDialogs {
namespace {

constexpr const char* kSection = "FileLocations";
constexpr const char* kBrowseTitle = "Select the directory that the audio is stored in";

Vantor_Cart_Routines::AudiowallPart& Part(int i) {
    return Carts::State().AudiowallParts.at(static_cast<size_t>(i));
}

bool SameLocation(const std::string& a, const std::string& b) {
    return VB::UCase(VB::Trim(a)) == VB::UCase(VB::Trim(b));
}

void SetStatusOfSharers(const std::string& location, int32_t status) {
    for (int j = 1; j <= kCartLocationCount; ++j)
        if (SameLocation(Part(j).Location, location)) Part(j).Status = status;
}

// Looks for (and if need be creates) the folder of part i, once for all parts sharing it.
void ExaminePart(int i) {
    using namespace Vantor_Cart_Routines;
    AudiowallPart& part = Part(i);
    if (part.Status != PartNotExamined) return;
    if (part.Location.empty()) {
        part.Status = PartMissing;
        return;
    }
    bool found = GeneralFunctions::DirectoryExists(part.Location) ||
                 GeneralFunctions::CreatePath(part.Location, false);
    SetStatusOfSharers(part.Location, found ? PartFound : PartMissing);
}

bool WriteKey(const std::string& iniFile, const std::string& key, const std::string& value) {
    return iniFile.empty() || Platform::WritePrivateProfileString(kSection, key, value, iniFile);
}

std::string CartKey(int i) {
    return "Carts" + std::to_string(i);
}

} // namespace

std::string NormalLocation(const std::string& text) {
    std::string location = VB::Trim(text);
    if (!location.empty() && Platform::IsSeparator(location.back())) location.pop_back();
    return location;
}

FileLocationsEngine::FileLocationsEngine()
    : iniFile_(MainSettings::Settings().MainIniFile),
      data_(VB::Trim(MainSettings::Settings().DataFolder)) {
    for (int i = 1; i <= kCartLocationCount; ++i)
        carts_[static_cast<size_t>(i)] = VB::Trim(Part(i).Location);
    CheckSingleCartLocation();
    Platform::SetScreenMousePointer(Platform::vbDefault);
}

void FileLocationsEngine::SetIniFile(const std::string& name) {
    iniFile_ = name;
    data_ = Platform::GetPrivateProfileString(kSection, "Data", MainSettings::Settings().DataFolder,
                                              name);
    for (int i = 1; i <= kCartLocationCount; ++i)
        SetCartText(
            i, Platform::GetPrivateProfileString(kSection, CartKey(i), Part(i).Location, name));
    CheckSingleCartLocation();
    emit Changed();
}

void FileLocationsEngine::SetDataText(const std::string& text) {
    data_ = text;
    emit Changed();
}

void FileLocationsEngine::SetCartText(int i, const std::string& text) {
    carts_.at(static_cast<size_t>(i)) = text;
    if (useOne_) CopyFirstCartText();
    emit Changed();
}

void FileLocationsEngine::CopyFirstCartText() {
    for (int i = 2; i <= kCartLocationCount; ++i)
        carts_[static_cast<size_t>(i)] = carts_[1];
}

void FileLocationsEngine::SetUseOneCartLocation(bool on) {
    useOne_ = on;
    if (on) CopyFirstCartText();
    emit Changed();
}

void FileLocationsEngine::CheckSingleCartLocation() {
    for (int i = 2; i <= kCartLocationCount; ++i)
        if (!SameLocation(carts_[static_cast<size_t>(i)], carts_[1])) return;
    SetUseOneCartLocation(true);
}

void FileLocationsEngine::Browse(int part, QWidget* owner) {
    const std::string& current = part == 0 ? data_ : CartText(part);
    std::string chosen = ChooseFolder(owner, kBrowseTitle, current);
    if (chosen.empty()) return;
    if (part == 0)
        SetDataText(VB::Trim(chosen));
    else
        SetCartText(part, VB::Trim(chosen));
}

bool FileLocationsEngine::Done() {
    data_ = NormalLocation(data_);
    if (data_.empty()) {
        // Data folders made at the root of the file system help nobody.
        Box("You must enter a Data Location", Platform::vbExclamation);
        emit Changed();
        return false;
    }
    for (int i = 1; i <= kCartLocationCount; ++i) {
        std::string& text = carts_[static_cast<size_t>(i)];
        text = NormalLocation(text);
        Part(i).Location = text;
        Part(i).Status = Vantor_Cart_Routines::PartNotExamined;
    }
    GeneralFunctions::SaveReport saved;
    for (int i = 1; i <= kCartLocationCount; ++i) {
        ExaminePart(i);
        saved.Take(WriteKey(iniFile_, CartKey(i), Part(i).Location));
    }
    MainSettings::Settings().DataFolder = data_;
    saved.Take(WriteKey(iniFile_, "Data", data_));
    saved.Take(
        WriteKey(iniFile_, "Schedules", Platform::JoinPath(data_, ZEL_Common::kScheduleFolder)));
    saved.Take(WriteKey(iniFile_, "Logs", Platform::JoinPath(data_, ZEL_Common::kLogsFolder)));
    ZEL_Common::CreateDataDirectories(data_);
    const std::string& first = Part(1).Location;
    MainSettings::Settings().Audio.NoCarts =
        first.empty() ? 9999
                      : Platform::GetPrivateProfileInt("Audiowall", "NoCarts", 9999,
                                                       Platform::JoinPath(first, "Audwall.ini"));
    Platform::SetScreenMousePointer(Platform::vbDefault);
    emit Changed();
    return GeneralFunctions::ConfirmSave(saved, "frmFileLocations", iniFile_);
}

frmFileLocations::frmFileLocations(QWidget* parent) : SettingsForm(parent) {
    static const char* const captions[kCartLocationCount + 1] = {
        "Data Location:",      "Carts 1 to 1000:",    "Carts 1001 to 2000:",  "Carts 2001 to 3000:",
        "Carts 3001 to 4000:", "Carts 4001 to 5000:", "Carts 5001 to 6000:",  "Carts 6001 to 7000:",
        "Carts 7001 to 8000:", "Carts 8001 to 9000:", "Carts 9001 to 10000:", "Carts 10001 to..."};
    setWindowTitle("Vantor File Locations");
    auto* grid = new QGridLayout(this);
    for (int i = 0; i <= kCartLocationCount; ++i) {
        auto* label = new QLabel(captions[i], this);
        auto* box = new QLineEdit(this);
        auto* browse = new QPushButton("Browse", this);
        browse->setObjectName(i == 0 ? QString("cmdChangeDataLoc")
                                     : QString("cmdChangeCartLocation%1").arg(i));
        box->setMaxLength(255);
        box->setMinimumWidth(360);
        SelectAllOnFocus(box);
        int row = i == 0 ? 0 : i + 1;
        grid->addWidget(label, row, 0);
        grid->addWidget(box, row, 1);
        grid->addWidget(browse, row, 2);
        connect(browse, &QPushButton::clicked, this, [this, i] { engine_.Browse(i, this); });
        if (i == 0) {
            txtDataLocation_ = box;
            connect(box, &QLineEdit::textEdited, this,
                    [this](const QString& t) { engine_.SetDataText(Typed(t)); });
        } else {
            txtCartLocations_[static_cast<size_t>(i)] = box;
            labels_[static_cast<size_t>(i)] = label;
            browse_[static_cast<size_t>(i)] = browse;
            connect(box, &QLineEdit::textEdited, this,
                    [this, i](const QString& t) { engine_.SetCartText(i, Typed(t)); });
        }
    }
    chkUseOneCartLocation_ =
        new QCheckBox("Use one directory for all the carts on the Audiowall", this);
    grid->addWidget(chkUseOneCartLocation_, 1, 1);
    connect(chkUseOneCartLocation_, &QCheckBox::clicked, this,
            [this](bool on) { engine_.SetUseOneCartLocation(on); });
    cmdDone_ = new QPushButton("OK", this);
    grid->addWidget(cmdDone_, kCartLocationCount + 2, 2);
    WireButtons(cmdDone_, nullptr, nullptr, [this] { return engine_.Done(); });
    connect(&engine_, &FileLocationsEngine::Changed, this, &frmFileLocations::Mirror);
    setFixedSize(sizeHint());
    Mirror();
}

void frmFileLocations::Mirror() {
    auto show = [](QLineEdit* box, const std::string& text) {
        QString shown = Shown(text);
        if (box->text() != shown) box->setText(shown);
    };
    show(txtDataLocation_, engine_.DataText());
    bool rowsOn = !engine_.UseOneCartLocation();
    for (int i = 1; i <= kCartLocationCount; ++i) {
        show(txtCartLocations(i), engine_.CartText(i));
        if (i == 1) continue;
        SetBoxEnabled(txtCartLocations(i), rowsOn);
        labels_[static_cast<size_t>(i)]->setEnabled(rowsOn);
        browse_[static_cast<size_t>(i)]->setEnabled(rowsOn);
    }
    QSignalBlocker block(chkUseOneCartLocation_);
    chkUseOneCartLocation_->setChecked(engine_.UseOneCartLocation());
}

void ShowFileLocations(QWidget* owner) {
    frmFileLocations form(owner);
    form.Engine().SetIniFile(MainSettings::Settings().MainIniFile);
    ShowModal(form);
}

} // namespace SettingsDialogs
