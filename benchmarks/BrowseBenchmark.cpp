// The cart search and the cart browser on a 10,000-cart audiowall in a scratch folder: a search
// for a text that matches nothing, through every cart's notes, and the browser's redraw of a
// full page. Usage: browse_benchmark. Output: one "key value" per line.
#include "browsing/CartBrowserEngine.h"
#include "browsing/FindCartEngine.h"
#include "carts/Vantor_Cart_Routines.h"
#include "main_window/ProgramContext.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>

namespace {

constexpr int32_t kCarts = 10000;

std::string Line(const std::string& text) {
    std::string out = text.substr(0, 50);
    out.resize(50, ' ');
    return out;
}

void MakeAudiowall(const std::string& folder) {
    for (int p = 1; p <= 10; ++p)
        CurrentContext().Carts.AudiowallParts[static_cast<size_t>(p)].Location = folder;
    CurrentContext().Settings.Audio.NoCarts = kCarts;
    Vantor_Cart_Routines::ConnectAudiowallParts(0, true);
    const std::string notes(2000, 'n');
    for (int32_t cart = 1; cart <= kCarts; ++cart) {
        Vantor_Cart_Routines::CartRecord rec;
        rec.Description1 = Line("Advert " + std::to_string(cart));
        rec.Description2 = Line("Client " + std::to_string(cart % 97));
        rec.TotalLength = rec.PlayLength = rec.AudioEnd = 30;
        rec.Extro = 29;
        Vantor_Cart_Routines::WriteCart(rec, cart, true, false);
        std::ofstream(Vantor_Cart_Routines::GetCartBaseName(cart) + ".TXT") << notes;
    }
    // A station's audiowall folders were written long before a search runs through them.
    namespace fs = std::filesystem;
    const auto past = fs::file_time_type::clock::now() - std::chrono::hours(1);
    fs::last_write_time(folder, past);
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(folder))
        if (entry.is_directory()) fs::last_write_time(entry.path(), past);
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    ProgramContext context;
    ContextScope scope(context);
    Vantor_Cart_Routines::InitialiseCartData();
    MakeAudiowall(dir.path().toStdString());

    Browsing::FindCartEngine find;
    find.Load();
    find.Activate();
    find.Notes = true;
    find.SearchText = "matches nothing at all";
    QElapsedTimer timer;
    timer.start();
    find.cmdFind_Click();
    find.RunToEnd();
    const double searchMs = static_cast<double>(timer.nsecsElapsed()) / 1e6;
    std::printf("search_carts %d\n", kCarts);
    std::printf("search_notes_ms %.1f\n", searchMs);
    std::printf("search_per_cart_us %.2f\n", searchMs * 1000.0 / kCarts);

    Browsing::CartBrowserEngine browser;
    browser.Load();
    browser.LayoutRows(3000, 30 + 315 * 40);
    constexpr int kRedraws = 100;
    timer.restart();
    for (int i = 0; i < kRedraws; ++i) {
        browser.JumpToCart(1 + i * 97);
        browser.RedrawRows();
    }
    const double redrawMs = static_cast<double>(timer.nsecsElapsed()) / 1e6 / (2 * kRedraws);
    std::printf("browser_rows %d\n", browser.RowCount);
    std::printf("browser_redraw_page_ms %.3f\n", redrawMs);
    Vantor_Cart_Routines::CloseAudiowallParts();
    return 0;
}
