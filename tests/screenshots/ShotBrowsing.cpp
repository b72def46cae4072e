// The cart browser, the cart search with results and the text preview, over a small
// audiowall in a scratch folder.
#include "Screenshots.h"

#include "browsing/frmCartBrowser.h"
#include "browsing/frmFindCart.h"
#include "browsing/frmPrintPreview.h"
#include "carts/CartsState.h"
#include "carts/Vantor_Cart_Routines.h"
#include "core/MainSettings.h"

#include <QTemporaryDir>
#include <fstream>

namespace {

std::string Line(const std::string& text) {
    std::string out = text.substr(0, 50);
    out.resize(50, ' ');
    return out;
}

// Forty carts with titles, colours and lengths, but cart 6 is empty; cart 3 has notes.
void MakeAudiowall() {
    static QTemporaryDir dir;
    static bool made = false;
    if (made) return;
    made = true;
    const std::string folder = dir.path().toStdString();
    for (int p = 1; p <= 10; ++p)
        Carts::State().AudiowallParts[static_cast<size_t>(p)].Location = folder;
    MainSettings::Settings().Audio.NoCarts = 40;
    Vantor_Cart_Routines::ConnectAudiowallParts(0, true);
    const char* const titles[] = {"Morning Jingle",  "Weather Sting", "Traffic Bed",
                                  "Station ID Long", "News In",       "Sports Sweeper",
                                  "Promo: Weekend",  "Advert: Garage"};
    const int32_t colours[] = {0x00FFE0C0, 0x00C0FFC0, 0x00C0E0FF, 0x00FFFFC0};
    for (int32_t cart = 1; cart <= 40; ++cart) {
        if (cart == 6) continue;
        Vantor_Cart_Routines::CartRecord rec;
        rec.Description1 = Line(titles[cart % 8]);
        rec.Description2 = Line("Take " + std::to_string(cart));
        rec.Description3 = Line("Produced in studio " + std::to_string(cart % 3 + 1));
        rec.BackColor = colours[cart % 4];
        rec.TotalLength = rec.PlayLength = rec.AudioEnd = 10.0f + static_cast<float>(cart);
        rec.Extro = rec.TotalLength - 2;
        Vantor_Cart_Routines::WriteCart(rec, cart, true, false);
    }
    std::ofstream(Vantor_Cart_Routines::GetCartBaseName(3) + ".RTF")
        << "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\pard\\b Traffic Bed\\b0\\par "
           "Use under the \\i traffic\\i0  reports only.\\par Caf\\'e9 sponsor: read "
           "the credit \\u8364?5 offer first.\\par}";
}

Screenshots::Register browser({"CartBrowser",
                               [] {
                                   MakeAudiowall();
                                   Browsing::frmCartBrowser& window = Browsing::CartBrowser();
                                   window.resize(244, 520);
                                   window.Engine().JumpToCart(3);
                                   return static_cast<QWidget*>(&window);
                               },
                               {},
                               [](QWidget*) { Browsing::UnloadCartBrowser(); }});

Screenshots::Register find({"FindCart",
                            [] {
                                MakeAudiowall();
                                Browsing::frmFindCart& window = Browsing::FindCart();
                                window.Engine().CartStartNumber = 1;
                                return static_cast<QWidget*>(&window);
                            },
                            [](QWidget* w) {
                                auto* window = static_cast<Browsing::frmFindCart*>(w);
                                window->cmbSearchText()->setEditText("sweeper");
                                window->cmdFind_Click();
                                window->Engine().RunToEnd();
                            },
                            [](QWidget*) { Browsing::UnloadFindCart(); }});

// As it opens: the search fields and the buttons, no results yet.
Screenshots::Register findCompact({"FindCartCompact",
                                   [] {
                                       MakeAudiowall();
                                       return static_cast<QWidget*>(&Browsing::FindCart());
                                   },
                                   {},
                                   [](QWidget*) { Browsing::UnloadFindCart(); }});

Screenshots::Register preview({"PrintPreview",
                               [] {
                                   MakeAudiowall();
                                   auto* window = new Browsing::frmPrintPreview;
                                   bool exists = false;
                                   window->DisplayFileName =
                                       Vantor_Cart_Routines::GetCartNotesFileName(3, exists);
                                   return static_cast<QWidget*>(window);
                               },
                               {},
                               {}});

} // namespace
