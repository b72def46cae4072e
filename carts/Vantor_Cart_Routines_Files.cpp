// Names of a cart's own files, and deleting a cart.
#include "carts/Vantor_Cart_Routines.h"
#include "carts/Vantor_Cart_Routines_Internal.h"
#include "core/GeneralFunctions.h"
#include "platform/Files.h"
#include "platform/MessageBox.h"
#include "platform/NameCase.h"
#include "platform/RecordFile.h"
#include "platform/VB.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <vector>

namespace Vantor_Cart_Routines {

using namespace Internal;

std::string GetCartPartLocation(int32_t cartNumber) {
    if (cartNumber < 0 || cartNumber > NoCarts()) return "";
    int part = GetCartPart(cartNumber);
    if (part < 1 || part > 10) part = kPartCount;
    return Part(part).Location;
}

std::string GetCartBaseName(int32_t cartNumber) {
    if (!IsValidCart(cartNumber)) return "";
    std::string location = GetCartPartLocation(cartNumber);
    if (VB::Trim(location).empty()) return "";
    char number[16];
    std::snprintf(number, sizeof number, "VNT%05d", static_cast<int>(cartNumber));
    return Platform::JoinPath(location, number);
}

namespace {

// The first text line of a file, without its line end.
std::string FirstLine(const std::string& path) {
    std::ifstream in(Platform::ResolveExisting(path), std::ios::binary);
    std::string line;
    char c = 0;
    while (in.get(c) && c != '\r' && c != '\n')
        line += c;
    return line;
}

std::string QuotedIf(std::string path, bool quoted) {
    return quoted ? GeneralFunctions::QuoteIfSpaced(path) : path;
}

std::string UpperExtension(const std::string& name) {
    size_t dot = name.rfind('.');
    std::string ext = dot == std::string::npos ? "" : name.substr(dot + 1);
    for (char& c : ext)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return ext;
}

// Files of the stem's folder whose names start with the stem's name, ignoring case; a name
// that goes on with a digit belongs to a longer cart number and is left out.
std::vector<std::string> CartFileNames(const std::string& stem) {
    std::vector<std::string> names;
    std::filesystem::path host = Platform::HostPath(stem);
    std::string prefix = host.filename().string();
    std::error_code ec;
    std::filesystem::path folder = Platform::ResolveExisting(host.parent_path().string());
    for (const auto& item : std::filesystem::directory_iterator(folder, ec)) {
        std::string name = item.path().filename().string();
        if (!item.is_regular_file(ec) || name.size() < prefix.size()) continue;
        if (!Platform::SameNameIgnoringCase(name.substr(0, prefix.size()), prefix)) continue;
        if (name.size() > prefix.size() &&
            std::isdigit(static_cast<unsigned char>(name[prefix.size()])))
            continue;
        names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace

std::string GetCartAudioFileName(int32_t cartNumber, bool ignoreLink, bool quoted) {
    std::string stem = GetCartBaseName(cartNumber);
    if (stem.empty()) return "";
    if (!ignoreLink && MainSettings::Settings().Audio.AllowAudioFileLinking != 0 &&
        GeneralFunctions::SafeFileLen(stem + ".FLK") > 0) {
        std::string linked = FirstLine(stem + ".FLK");
        if (!linked.empty()) return QuotedIf(linked, quoted);
    }
    return QuotedIf(stem + ".WAV", quoted);
}

std::string GetCartNotesFileName(int32_t cartNumber, bool& exists) {
    std::string stem = GetCartBaseName(cartNumber);
    if (stem.empty()) return "";
    for (const char* ext : {".RTF", ".TXT"}) {
        if (GeneralFunctions::CanOpenFile(stem + ext)) {
            exists = true;
            return stem + ext;
        }
    }
    exists = false;
    return stem + ".RTF";
}

namespace Internal {

int DeleteFile(const std::string& path) {
    std::string host = Platform::ResolveExisting(path);
    if (std::remove(host.c_str()) == 0) return Platform::errNone;
    return Platform::ErrorNumberOfErrno(errno);
}

} // namespace Internal

int32_t DeleteCart(int32_t cartNumber, bool deleteAudio, bool quiet, bool notify) {
    (void)notify;
    bool writing = false;
    if (!MainSettings::CartChangeAllowed(cartNumber, writing)) {
        std::string answer;
        if (!quiet)
            MainSettings::CartMessageHook("You do not have permission to delete cart " +
                                              std::to_string(cartNumber),
                                          Platform::vbInformation, 0, answer);
        return -1;
    }

    // The cart's own audio only: a link is never followed, so a linked file stays.
    std::string audio = GetCartAudioFileName(cartNumber, true, false);
    if (deleteAudio && !audio.empty() && GeneralFunctions::SafeFileLen(audio) >= 0) {
        int error = DeleteFile(audio);
        if (error != Platform::errNone) {
            if (!quiet)
                GeneralFunctions::FormatErrorMessage(
                    "deleting the audio file for cart " + std::to_string(cartNumber), error, false);
            return error;
        }
    }

    CartRecord blank = Carts::State().BlankCartRecord;
    WriteCart(blank, cartNumber, true, false);

    std::string stem = GetCartBaseName(cartNumber);
    if (stem.empty()) return -1;
    std::string location = GetCartPartLocation(cartNumber);
    for (const std::string& name : CartFileNames(stem)) {
        if (UpperExtension(name) == "WAV") continue;
        int error = DeleteFile(Platform::JoinPath(location, name));
        if (error != Platform::errNone) {
            if (!quiet)
                GeneralFunctions::FormatErrorMessage("deleting a cart file: " + VB::Trim(name),
                                                     error, false);
            return error;
        }
    }
    return 0;
}

} // namespace Vantor_Cart_Routines
