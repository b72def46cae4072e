#include "settings_dialogs/LibraryRegistration.h"

#include "core/GeneralFunctions.h"
#include "core/Registry.h"
#include "platform/Com.h"
#include "platform/Files.h"

#include <QCoreApplication>
#include <dlfcn.h>
#include <filesystem>

namespace LibraryRegistration {
namespace {

// The file of the loaded library that holds a class's registration data.
std::string LibraryOfClass(const char* classId) {
    const Platform::Com::ClassInfo* info = Platform::Com::FindClass(classId);
    Dl_info found{};
    if (!info || dladdr(info, &found) == 0 || !found.dli_fname) return "";
    std::error_code ec;
    return std::filesystem::canonical(found.dli_fname, ec).string();
}

void Register(const char* key, const char* classId) {
    const std::string stored = Registry::GetRegString(Platform::HKEY_LOCAL_MACHINE, key, "", "");
    if (!stored.empty() && GeneralFunctions::SafeFileLen(stored) > 0) return;
    const std::string file = LibraryOfClass(classId);
    if (!file.empty()) Registry::SaveRegString(Platform::HKEY_LOCAL_MACHINE, key, "", file, "");
}

} // namespace

std::string TuningProgramPath() {
    return Platform::JoinPath(
        GeneralFunctions::GetSpecialFolderPath(GeneralFunctions::CSIDL_PROGRAM_FILES_COMMON),
        "Orbury Shared/FlennStream/FlennTweak");
}

void RegisterLibraries() {
    Register(kEngineLibraryKey, "{DB32A521-8798-4674-A47F-0619CBD40D98}");
    Register(kPlayerLibraryKey, "{46B2886F-C2CA-4382-953B-1F1372A87613}");
    const std::string place = TuningProgramPath();
    const std::string built =
        Platform::JoinPath(QCoreApplication::applicationDirPath().toStdString(), "FlennTweak");
    std::error_code ec;
    if (GeneralFunctions::SafeFileLen(place) > 0 || !std::filesystem::exists(built, ec)) return;
    std::filesystem::create_directories(std::filesystem::path(place).parent_path(), ec);
    std::filesystem::remove(place, ec);
    std::filesystem::create_symlink(built, place, ec);
}

} // namespace LibraryRegistration
