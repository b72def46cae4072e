#include "core/DataLocation.h"

#include "core/GeneralFunctions.h"
#include "platform/Files.h"
#include "platform/MessageBox.h"

#include <cctype>

namespace DataLocation {
namespace {

constexpr int32_t kDriveFixed = 3;
constexpr int32_t kDriveNetwork = 4;
constexpr int32_t kDriveCdRom = 5;
constexpr int32_t kWindows95Family = 1;

// One drive letter: hits set `target`, Found, and IsNetwork for a network (small) letter.
class DriveSearch {
public:
    DriveSearch(char letter, bool& found, bool& isNetwork)
        : letter_(letter), root_(DriveRoot(letter)), found_(found), isNetwork_(isNetwork) {}

    // Tests root + relative + file; a hit sets target to root + relative.
    void Test(const std::string& relative, const std::string& file, std::string& target) {
        if (root_.empty()) return;
        std::string folder = relative.empty() ? root_ : Platform::JoinPath(root_, relative);
        if (GeneralFunctions::SafeFileLen(Platform::JoinPath(folder, file)) <= 0) return;
        target = folder;
        found_ = true;
        if (std::islower(static_cast<unsigned char>(letter_))) isNetwork_ = true;
    }

private:
    char letter_;
    std::string root_;
    bool& found_;
    bool& isNetwork_;
};

void SearchDrive(char letter, bool& found, bool& isNetwork, std::string& dataLocation,
                 std::vector<std::string>& cartFolders) {
    DriveSearch drive(letter, found, isNetwork);
    for (const char* folder : {"", "VANTOR/SYSTEM", "SYSTEM"})
        drive.Test(folder, "VNTD_SYS.INI", dataLocation);
    for (size_t n = 1; n < cartFolders.size(); ++n) {
        std::string part = std::to_string(n);
        std::string list = "Carts" + part + ".LST";
        std::string audio = "AUDIO" + part;
        for (const std::string& folder :
             {std::string(), audio, std::string("VANTOR/AUDIO"), "VANTOR/AUDIO/" + audio,
              std::string("AUDIO"), "AUDIO/" + audio})
            drive.Test(folder, list, cartFolders[n]);
    }
}

std::string Letters(int32_t driveType, bool small) {
    std::string letters = GeneralFunctions::GetDriveList(driveType);
    for (char& c : letters)
        c = static_cast<char>(small ? std::tolower(static_cast<unsigned char>(c))
                                    : std::toupper(static_cast<unsigned char>(c)));
    return letters;
}

} // namespace

std::string DriveRoot(char letter) {
    // The host's one file system is drive C, rooted where the system drive lives.
    return std::toupper(static_cast<unsigned char>(letter)) == 'C' ? Platform::SystemDriveFolder()
                                                                   : "";
}

bool FindSystemLocations(bool NetworkOnly, bool& IsNetwork, std::string& DataLocation,
                         std::vector<std::string>& CartFolders) {
    bool found = false;
    for (char letter : Letters(kDriveNetwork, true))
        SearchDrive(letter, found, IsNetwork, DataLocation, CartFolders);
    if (NetworkOnly || (!DataLocation.empty() && found)) return found;
    for (char letter : Letters(kDriveFixed, false) + Letters(kDriveCdRom, false))
        SearchDrive(letter, found, IsNetwork, DataLocation, CartFolders);
    return found;
}

void CheckFileCacheSettings(const std::string& ProductKey, bool Interactive) {
    if (ProductKey.empty()) return;
    GeneralFunctions::LoadOSVersion();
    if (GeneralFunctions::State().OSVersion.dwPlatformId != kWindows95Family) {
        if (Interactive)
            Platform::MsgBox("Your Windows(TM) Operating System does not need to be optimised, "
                             "as it is natively optimized for Audio playback",
                             Platform::vbInformation, "VNTZEL");
        return;
    }
    // The cache of the older family lives in system.ini, which this platform does not have.
}

} // namespace DataLocation
