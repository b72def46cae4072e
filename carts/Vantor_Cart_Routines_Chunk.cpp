// The cart's tag file and the broadcast "cart" chunk written from the cart record.
#include "carts/Vantor_Cart_Routines.h"
#include "carts/Vantor_Cart_Routines_Internal.h"
#include "core/AppInfo.h"
#include "core/GeneralFunctions.h"
#include "platform/Files.h"
#include "platform/Profile.h"
#include "platform/VB.h"

#include <algorithm>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Vantor_Cart_Routines {

namespace {

constexpr size_t kTagBuffer = 255;

template <size_t N> void PutText(char (&field)[N], const std::string& text) {
    std::string fixed = VB::FixedLength(text, static_cast<int>(N));
    std::memcpy(field, fixed.data(), N);
}

void PutTimer(MultimediaAPI::CartTimer& timer, const char* usage, int32_t value) {
    std::memcpy(timer.Usage, usage, 4);
    timer.Value = value;
}

int32_t Samples(float seconds, int32_t sampleRate) {
    return VB::CLng(static_cast<double>(seconds) * sampleRate).value_or(-1);
}

std::string Colour(int32_t colour) {
    std::string hex = VB::Hex(colour);
    return std::string(8 - std::min<size_t>(8, hex.size()), '0') + hex;
}

// Sets a file's last-write time (100-ns units since 1601) through an open handle.
bool RestoreWriteTime(const std::string& fileName, int64_t fileTime) {
    int fd = ::open(Platform::ResolveExisting(fileName).c_str(), O_RDWR);
    if (fd < 0) return false;
    int64_t unixTicks = fileTime - 11644473600LL * 10000000LL;
    timespec times[2];
    times[0].tv_sec = 0;
    times[0].tv_nsec = UTIME_OMIT;
    times[1].tv_sec = unixTicks / 10000000LL;
    times[1].tv_nsec = (unixTicks % 10000000LL) * 100;
    bool ok = ::futimens(fd, times) == 0;
    ::close(fd);
    return ok;
}

} // namespace

bool ReadCartInfoFile(int32_t& cartNumber, CartTagInfo& info) {
    if (cartNumber == 0) return false;
    CartRecord rec;
    ReadCart(rec, cartNumber);
    info.TotalDuration = rec.PlayLength;
    std::string file = GetCartBaseName(cartNumber) + ".INF";
    if (GetCartBaseName(cartNumber).empty() || !Platform::FileExists(file)) return true;
    auto text = [&](const char* key) {
        return Platform::GetPrivateProfileString("Copyright", key, "", file, kTagBuffer);
    };
    info.ProductTitle = text("ProductTitle");
    info.MusicTitle = text("MusicTitle");
    info.RecordLabel = text("RecordLabel");
    info.RecordNumber = text("RecordNumber");
    info.Composer = text("Composer");
    info.Performer = text("Performer");
    info.Publisher = text("Publisher");
    info.CopyrightCode = text("CopyrightCode");
    info.TotalDuration = static_cast<float>(VB::Val(text("TotalDuration")));
    info.MusicDuration = static_cast<float>(VB::Val(text("MusicDuration")));
    return true;
}

MultimediaAPI::CartChunk BuildCartChunk(int32_t cartNumber, const CartRecord& rec,
                                        const CartTagInfo* tags, int32_t sampleRate) {
    MultimediaAPI::CartChunk chunk{};
    std::memcpy(chunk.Version, "0101", 4);
    std::string title = rec.Description1;
    std::string artist = rec.Description2;
    if (tags) {
        if (!tags->ProductTitle.empty()) title = tags->ProductTitle;
        if (!tags->MusicTitle.empty()) title = tags->MusicTitle;
        if (!tags->Composer.empty()) artist = tags->Composer;
        if (!tags->Performer.empty()) artist = tags->Performer;
    }
    PutText(chunk.Title, title);
    PutText(chunk.Artist, artist);
    PutText(chunk.CutID, std::to_string(cartNumber));
    PutText(chunk.Category, "ALL");
    PutText(chunk.Classification, rec.Description3);
    PutText(chunk.ProducerAppID, "Orbury");
    PutText(chunk.ProducerAppVersion, std::string(AppInfo::kAppTitle) + " Version " +
                                          std::to_string(AppInfo::kVersionMajor) + "." +
                                          std::to_string(AppInfo::kVersionMinor) + "." +
                                          std::to_string(AppInfo::kVersionRevision));
    std::string user = " BackColor=&H" + Colour(rec.BackColor) + "&" + " ForeColor=&H" +
                       Colour(rec.ForeColor) + "&";
    if (rec.EndingType == 1) user += " EndingType=Ends";
    if (rec.EndingType == 2) user += " EndingType=Fades";
    PutText(chunk.UserDef, user);
    chunk.LevelReference = 0;

    int slot = 0;
    auto add = [&](const char* usage, float seconds) {
        PutTimer(chunk.PostTimer[slot++], usage, Samples(seconds, sampleRate));
    };
    add("INTs", rec.IntroStart);
    add("INTe", rec.IntroEnd);
    add("OUT ", rec.Extro);
    if (rec.HookEnd > 0) {
        add("1MRK", rec.HookStart);
        add("2MRK", rec.HookEnd);
    }
    if (rec.LoopMode & kLoopOn) {
        add("3MRK", rec.LoopStart);
        add("4MRK", rec.LoopEnd);
    }
    while (slot < 8)
        PutTimer(chunk.PostTimer[slot++], "    ", -1);
    return chunk;
}

bool UpdateCartChunk(int32_t cartNumber) {
    CartRecord rec;
    if (cartNumber == 0 || ReadCart(rec, cartNumber) != 0) return false;
    std::string audio = GetCartAudioFileName(cartNumber, false, false);
    if (!(GeneralFunctions::SafeFileLen(audio) > 0)) return true;

    CartTagInfo info;
    bool useTags = MainSettings::Settings().Audio.UseCopyrightInCartChunk != 0;
    if (useTags) ReadCartInfoFile(cartNumber, info);

    MultimediaAPI::WaveFormatInfo format{};
    int32_t dataLength = 0;
    if (MultimediaAPI::ReadWaveFormat(audio, format, dataLength) != 0) return false;

    MultimediaAPI::CartChunk chunk = BuildCartChunk(cartNumber, rec, useTags ? &info : nullptr,
                                                    static_cast<int32_t>(format.SamplesPerSec));
    int64_t written = GeneralFunctions::GetFileWriteTime(audio).LastWriteTime;
    if (!MultimediaAPI::WriteCartChunk(audio, chunk, "")) return false;
    return RestoreWriteTime(audio, written);
}

} // namespace Vantor_Cart_Routines
