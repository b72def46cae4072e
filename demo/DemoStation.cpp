// Makes a demo station: settings, an audiowall of spoken adverts and jingles, cart groups, a
// serial profile, a hardware section on the joystick port, and advert logs for today and the
// week after it. Audio comes from espeak-ng and sox (ffmpeg for the MPEG carts).
//   vntzel_demo STATION_FOLDER
// The caller points VNTZEL_WINDIR at STATION/windows and VNTZEL_APPDIR at STATION/app.
#include "breaks/AdvertLog_FN.h"
#include "breaks/BreaksState.h"
#include "breaks/ZEL_Common.h"
#include "carts/AudioSettingsLoader.h"
#include "carts/Vantor_Cart_Routines.h"
#include "core/GeneralFunctions.h"
#include "core/MainSettings.h"
#include "platform/Clock.h"
#include "platform/Files.h"
#include "platform/Profile.h"
#include "platform/WholeFile.h"

#include <QCoreApplication>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct DemoCart {
    int32_t number;
    std::string title;
    std::string client;
    float seconds;
};

const std::vector<DemoCart>& Adverts() {
    static const std::vector<DemoCart> carts = {
        {1, "Harbour Bakery", "Fresh bread every morning", 12},
        {2, "Northfield Motors", "Spring sale on every car", 15},
        {3, "Riverside Dental", "Smile, we are open late", 10},
        {4, "Oakwood Garden Centre", "Plants for every season", 14},
        {5, "Maple Street Pharmacy", "Ask your pharmacist", 9},
        {6, "Blue Door Cafe", "Coffee and cake", 11},
        {7, "Coastline Insurance", "Cover that fits", 16},
        {8, "City Theatre", "Tickets on sale now", 13},
        {9, "Hilltop Farm Shop", "Local produce", 10},
        {10, "Kingsway Carpets", "Half price this week", 15},
        {11, "Summit Fitness", "First month free", 12},
        {12, "Bright Spark Electrics", "Call us any time", 9},
        {13, "Lakeside Hotel", "Sunday lunch", 14},
        {14, "Station Road Books", "New titles every week", 10},
        {15, "Pennywise Supermarket", "Prices down", 13},
        {16, "Willow Vets", "Caring for your pets", 11},
        {17, "Greenway Buses", "Ride for less", 12},
        {18, "Castle Jewellers", "Gifts that last", 15},
        {19, "Eastgate Opticians", "Eye tests today", 10},
        {20, "Meadow Dairy", "Milk at your door", 9},
        {21, "Seaview Caravans", "Holidays by the sea", 16},
        {22, "Town Hall Market", "Every Saturday", 11},
        {23, "Bridge Street Barbers", "Walk in welcome", 8},
        {24, "Ironworks Gym", "Stronger every day", 12},
        {25, "Orchard Cider", "Taste the valley", 10},
        {26, "Redbrick Builders", "Free quotes", 13},
        {27, "Golden Wok", "Takeaway tonight", 9},
        {28, "Silverline Taxis", "Book by phone", 8},
        {29, "Moorland Walks", "Guided tours", 14},
        {30, "Clearwater Pools", "Swim all year", 11},
    };
    return carts;
}

const std::vector<DemoCart>& Jingles() {
    static const std::vector<DemoCart> carts = {
        {31, "Station Ident One", "Your local station", 4},
        {32, "Station Ident Two", "Music and more", 4},
        {33, "Sweeper News", "News on the hour", 5},
        {34, "Sweeper Weather", "Weather next", 4},
        {35, "Sweeper Travel", "Travel news", 4},
        {36, "Jingle Morning", "Good morning", 5},
        {37, "Jingle Drive", "Drive time", 5},
        {38, "Jingle Weekend", "The weekend starts here", 6},
        {39, "Promo Competition", "Win tickets", 6},
        {40, "Promo Breakfast", "Wake up with us", 6},
    };
    return carts;
}

bool Run(const std::string& command) {
    if (std::system(command.c_str()) == 0) return true;
    std::fprintf(stderr, "demo: failed: %s\n", command.c_str());
    return false;
}

std::string Quote(const std::string& text) {
    std::string out = "'";
    for (char c : text)
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

// Speech over a tone bed, exactly `seconds` long, in the cart's format: most carts 44.1 kHz
// stereo PCM, every fifth 22.05 kHz mono PCM, every seventh MPEG layer II.
bool MakeAudio(const DemoCart& cart, const std::string& path, const std::string& scratch) {
    std::string speech = scratch + "/speech.wav";
    std::string bed = scratch + "/bed.wav";
    std::string mixed = scratch + "/mixed.wav";
    std::string seconds = std::to_string(cart.seconds);
    int tone = 220 + (cart.number * 37) % 440;
    if (!Run("espeak-ng -s 150 -w " + Quote(speech) + " " + Quote(cart.title + ". " + cart.client) +
             " 2>/dev/null"))
        return false;
    if (!Run("sox -n -r 44100 -c 2 -b 16 " + Quote(bed) + " synth " + seconds + " sine " +
             std::to_string(tone) + " vol 0.12 fade 0.2 " + seconds + " 0.5"))
        return false;
    if (!Run("sox -m " + Quote(bed) + " \"|sox " + Quote(speech) + " -r 44100 -c 2 -p pad 0.3 " +
             seconds + "\" " + Quote(mixed) + " trim 0 " + seconds))
        return false;
    if (cart.number % 7 == 0)
        return Run("ffmpeg -loglevel error -y -i " + Quote(mixed) +
                   " -ar 48000 -c:a mp2 -b:a 192k " + Quote(path));
    if (cart.number % 5 == 0) return Run("sox " + Quote(mixed) + " -r 22050 -c 1 " + Quote(path));
    return Run("cp " + Quote(mixed) + " " + Quote(path));
}

void SetText(std::string& field, const std::string& text) {
    field = text.substr(0, Vantor_Cart_Routines::kDescriptionLength);
    field.resize(Vantor_Cart_Routines::kDescriptionLength, ' ');
}

// VNTZEL_DEMO_CART_SECONDS shortens every cart to at most that many seconds (quick stations
// for tests).
DemoCart Shortened(DemoCart cart) {
    if (const char* text = std::getenv("VNTZEL_DEMO_CART_SECONDS"))
        if (float most = std::strtof(text, nullptr); most > 0 && most < cart.seconds)
            cart.seconds = most;
    return cart;
}

bool MakeCart(DemoCart cart, bool advert, const std::string& scratch) {
    cart = Shortened(cart);
    std::string path = Vantor_Cart_Routines::GetCartAudioFileName(cart.number, true, false);
    if (path.empty() || !MakeAudio(cart, path, scratch)) return false;
    Vantor_Cart_Routines::CartRecord rec;
    SetText(rec.Description1, cart.title);
    SetText(rec.Description2, cart.client);
    SetText(rec.Description3, advert ? "Demo advert" : "Demo jingle");
    rec.BackColor = advert ? 0xC0FFC0 : 0xFFE0C0;
    rec.ForeColor = 0;
    rec.TotalLength = rec.AudioEnd = rec.PlayLength = cart.seconds;
    rec.IntroEnd = advert ? std::min(2.0f, cart.seconds / 2) : 0.0f;
    rec.Extro = cart.seconds - (advert ? 0.5f : 1.0f);
    return Vantor_Cart_Routines::WriteCart(rec, cart.number, true, true) == 0;
}

void Write(const std::string& section, const std::string& key, const std::string& value,
           const std::string& file) {
    Platform::WritePrivateProfileString(section, key, value, file);
}

void WriteSettings(const std::string& ini, const std::string& station) {
    std::string app = station + "/app";
    Write("FileLocations", "Data", station + "/data", ini);
    Write("FileLocations", "Carts1", station + "/audiowall", ini);
    Write("General", "DebugMode", "0", ini);
    Write("General", "ShowCartGroups", "1", ini);
    Write("General", "AutoPlayAdBreaks", "1", ini);
    Write("General", "DropLateAdBreaks", "5", ini);
    Write("General", "CueAdBreaksImmediately", "1", ini);
    Write("General", "LogLoadingMode ", "1", ini);
    Write("General", "LogRecFileInDestDirectory", "1", ini);
    Write("General", "SplitName1", "DEMO NORTH EAST", ini);
    Write("General", "LogSourceDirectory1", app + "/source", ini);
    Write("General", "LogDestinationDirectory1", app + "/dest", ini);
    Write("General", "LogUpdateInterval1", "20", ini);
    Write("LogFileName", "Extension1", "LOG", ini);
    Write("LogFileName", "DateFormat1", "YYMMDD", ini);
    Write("LogFileName", "LogTXChainCode1", "NE", ini);
    Write("LogFileName", "ReconcileExtension1", "REC", ini);
    Write("Network", "MasterName", "", ini);
    Write("CartPlayers", "TotalNumberCartPlayers", "4", ini);
    Write("ZELNetwork", "UseSerial", "0", ini);
    Write("ZELNetwork", "SerialPort", "1", ini);
    Write("ZELNetwork", "SerialProfileName", "VANTOR25.PRF", ini);
    Write("ZELNetwork", "SerialSettings", "9600,n,8,1", ini);
    // Card 1 is the joystick port: button 1 plays the cued break. Without a stick the card
    // stays idle, with no message.
    Write("Hardware1", "CardType", "5", ini);
    Write("Hardware1", "BaseAddress", "0", ini);
    for (const char* line : {"1", "2", "3", "4"}) // a stick's buttons are inputs
        Write("Hardware1", std::string("LineType") + line, "0", ini);
    Write("Hardware1", "Description1", "Play break", ini);
    Write("Hardware1", "Action1", "5", ini);
    Write("Hardware1", "Action1Data1", "1", ini);
    // Check at every hour that the logs of the next two days are there.
    Write("General", "LogWarningDays", std::string(168, '2'), ini);
    // Five cart groups of jingles and sweepers.
    const char* groups[] = {"Idents", "Sweepers", "Morning", "Drive", "Promos"};
    for (int g = 1; g <= 5; ++g) {
        std::string section = "CartGroup" + std::to_string(g);
        Write(section, "Description", groups[g - 1], ini);
        Write(section, "CheckAgainstAds", "0", ini);
        Write(section, "CartNumber1", std::to_string(29 + 2 * g), ini);
        Write(section, "CartNumber2", std::to_string(30 + 2 * g), ini);
    }
    Write("CartGroup2", "SelectionMode", "1", ini);
    Write("CartGroups", "Description1", "Groups &1 to 20", ini);
}

void WriteProfile(const std::string& path) {
    Write("General", "ProfileName", "Demo studio", path);
    Write("CommandCodes", "StartCode", "<ESC>", path);
    Write("CommandCodes", "EndCode", "<CR>", path);
    Write("IncomingSerialCodes", "B", "BREAK", path);
    Write("IncomingSerialCodes", "K", "KILL", path);
    Write("IncomingSerialCodes", "T", "TEST", path);
    for (int g = 1; g <= 5; ++g)
        Write("IncomingSerialCodes", "G" + std::to_string(g), "GROUP " + std::to_string(g), path);
    Write("Serial", "Settings", "9600,n,8,1", path);
    Write("Serial", "Handshaking", "0", path);
}

// A whole number from the environment, or fallback when unset or not above 0.
int EnvironmentNumber(const char* name, int fallback) {
    const char* text = std::getenv(name);
    const int value = text ? std::atoi(text) : 0;
    return value > 0 ? value : fallback;
}

// The day's break times in seconds after midnight: one every 15 minutes; on today's log also
// breaks close to now so that a new station plays one soon. VNTZEL_DEMO_BREAK_SECONDS sets a
// run of close breaks that far apart (VNTZEL_DEMO_BREAKS of them, default 60), the first
// VNTZEL_DEMO_FIRST_BREAK_SECONDS after now (default 60); without it one break comes about a
// minute after now unless a quarter-hour break is due within two minutes anyway.
std::set<int> BreakTimes(int32_t day) {
    constexpr int kQuarter = 900, kDay = 86400;
    std::set<int> times;
    for (int time = 0; time < kDay; time += kQuarter)
        times.insert(time);
    if (day != Platform::Clock::Today()) return times;
    const int now = static_cast<int>(std::ceil(Platform::Clock::Timer()));
    const int spacing = EnvironmentNumber("VNTZEL_DEMO_BREAK_SECONDS", 0);
    const int first = now + EnvironmentNumber("VNTZEL_DEMO_FIRST_BREAK_SECONDS", 60);
    if (spacing == 0) {
        if (times.lower_bound(now + 20) == times.upper_bound(now + 120) && first < kDay)
            times.insert(first);
        return times;
    }
    // The close run replaces the quarter-hour breaks it overlaps.
    const int count = EnvironmentNumber("VNTZEL_DEMO_BREAKS", 60);
    times.erase(times.lower_bound(first - spacing + 1), times.lower_bound(first + count * spacing));
    for (int i = 0; i < count && first + i * spacing < kDay; ++i)
        times.insert(first + i * spacing);
    return times;
}

// Each break: three or four of the split's adverts, and two lines of another chain that the
// split leaves alone.
bool WriteLog(int32_t day) {
    std::string path = ZEL_Common::GetSourceLogPath(1, day, false);
    std::string text;
    const std::vector<DemoCart>& adverts = Adverts();
    size_t next = static_cast<size_t>(day % 7);
    int index = 0;
    for (int time : BreakTimes(day)) {
        int count = 3 + index % 2;
        for (int i = 0; i < count; ++i) {
            const DemoCart cart = Shortened(adverts[next++ % adverts.size()]);
            text +=
                AdvertLog_FN::BuildLogLine(static_cast<float>(time), "NE", cart.number, cart.title,
                                           "D" + std::to_string(day) + "-" + std::to_string(index),
                                           cart.seconds, false) +
                "\r\n";
        }
        for (int i = 0; i < 2; ++i)
            text += AdvertLog_FN::BuildLogLine(static_cast<float>(time), "SW", 900 + i,
                                               "Other chain advert", "", 30, false) +
                    "\r\n";
        text += "\r\n";
        ++index;
    }
    // A running program reading the log finds the old or the new one whole.
    return Platform::ReplaceWholeFile(path, text);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: vntzel_demo STATION_FOLDER\n");
        return 2;
    }
    std::string station = fs::absolute(argv[1]).lexically_normal().string();
    if (!station.empty() && station.back() == '/') station.pop_back();
    for (const char* folder : {"windows", "app/source", "app/dest", "data", "audiowall", "scratch"})
        fs::create_directories(station + "/" + folder);
    std::string windows = GeneralFunctions::GetWindowsFolder();
    std::string ini = Platform::JoinPath(windows, "VNTZEL.INI");
    // VNTZEL_DEMO_CARTS=N (benchmarks) adds list entries up to cart N, without audio.
    const int32_t listed = std::max(
        40, std::atoi(std::getenv("VNTZEL_DEMO_CARTS") ? std::getenv("VNTZEL_DEMO_CARTS") : "0"));
    WriteSettings(ini, station);
    // Each audiowall part holds a thousand carts; a big list spreads over parts in one folder.
    for (int32_t part = 2; part <= (listed + 999) / 1000; ++part)
        Write("FileLocations", "Carts" + std::to_string(part), station + "/audiowall", ini);
    WriteProfile(Platform::JoinPath(Platform::AppFolder(), "VANTOR25.PRF"));
    Write("Audiowall", "NoCarts", std::to_string(std::max(1000, listed)),
          station + "/audiowall/Audwall.ini");
    Write("Audiowall", "Version", "2.6", station + "/audiowall/Audwall.ini");

    MainSettings::LoadMainSettings();
    AudioSettings::LoadStartupAudioSettings();
    ZEL_Common::CreateDataDirectories(station + "/data");
    if (Vantor_Cart_Routines::ConnectAudiowallParts(0, true) != 0) {
        std::fprintf(stderr, "demo: the audiowall in %s/audiowall could not be made\n",
                     station.c_str());
        return 1;
    }
    int made = 0;
    for (const DemoCart& cart : Adverts())
        made += MakeCart(cart, true, station + "/scratch") ? 1 : 0;
    for (const DemoCart& cart : Jingles())
        made += MakeCart(cart, false, station + "/scratch") ? 1 : 0;
    for (int32_t number = 41; number <= listed; ++number) {
        Vantor_Cart_Routines::CartRecord rec;
        SetText(rec.Description1, "Library cart " + std::to_string(number));
        rec.TotalLength = rec.AudioEnd = rec.PlayLength = 30;
        rec.Extro = 29;
        Vantor_Cart_Routines::WriteCart(rec, number, true, false);
    }
    Vantor_Cart_Routines::CloseAudiowallParts();
    fs::remove_all(station + "/scratch");

    // Today's log and a week of logs after it.
    const int32_t today = Platform::Clock::Today();
    bool logs = true;
    for (int32_t day = today; day <= today + 7; ++day)
        logs = WriteLog(day) && logs;
    std::printf("demo station %s: %d carts, logs %s\n", station.c_str(), made,
                logs ? "written" : "FAILED");
    return made == static_cast<int>(Adverts().size() + Jingles().size()) && logs ? 0 : 1;
}
