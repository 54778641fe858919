#include "nutrition/FoodCode.h"

#include "db/Database.h"

#include <array>

namespace pf {

namespace {

using Texts = std::array<const char*, 10>; // by digit 0..9, null where a digit says nothing

constexpr Texts kProcessing = {
    "handelsüblich, unverarbeitet",
    "frisch, unverarbeitet",
    "tiefgefroren, tiefgefr.Filet, gehärtet(Fett), blanchiert, industriell gegart",
    "Konzentrat, Pulpen, Extrakt, entölt/entfettet, Filet(Fisch), industriell gekocht",
    "getrocknet, geraspelt, gesalzen(Fisch), Mehl, Flocken, geschrotet, industriell gedämpft",
    "Pulver, Instant, Mehl entfettet, industriell gedünstet",
    "Saft, geräuchert, geröstet, pasteurisiert, industriell gebacken",
    "Trunk, Nektar, gesalzen, gepöckelt-geräuchert, Konserve in Öl, ultrahocherhitzt, industriell gegrillt",
    "Erzeugnisse, Mus, Paste, gepöckelt-ungeräuchert, gesäuert, Präserve, Marmelade, sterilisiert, "
    "industriell "
    "gebraten in Fett",
    "Konserve"};
constexpr Texts kMilkFat = {nullptr,
                            "<1% Fett (für mager, entrahmt = 0.3% Fett)",
                            "1-3% Fett (für fettarm, entrahmt = 1.5-1.8% Fett)",
                            "<5% Fett (für vollfett = 3.5% Fett)",
                            "<10% Fett (ohne Angabe = 7.5% Fett)",
                            "10% Fett (Sahne/Rahm ...)",
                            "15% Fett",
                            "20% Fett",
                            "30% Fett",
                            "40% Fett"};
constexpr Texts kCheeseFat = {nullptr,
                              "Magerstufe (<10%) F.i.Tr.",
                              "Viertelfettstufe (10%) F.i.Tr.",
                              "Halbfettstufe (20%) F.i.Tr.",
                              "Dreiviertelfettstufe (30%) F.i.Tr.",
                              "Fettstufe (40%) F.i.Tr.",
                              "Vollfettstufe (45%) F.i.Tr.",
                              "Rahmstufe (50%) F.i.Tr.",
                              "Doppelrahmstufe (60%) F.i.Tr.",
                              "65-85% Fett i.Tr. (>65%) F.i.Tr."};
constexpr Texts kBeverage = {nullptr,
                             "Getränk schwarz",
                             "Getränk mit Milch",
                             "Getränk mit Milch und Zucker",
                             "Getränk mit Kondensmilch/Sahne/Rahm",
                             "Getränk mit Kondensmilch/Sahne/Rahm und Zucker",
                             "Getränk mit Zucker",
                             "Getränk mit Zucker und Zitrone",
                             "Getränk mit Alkohol",
                             "trocken"};
constexpr Texts kComponent = {nullptr,
                              "Hauptkomponente, Haushalt",
                              "Hauptkomponente, Grossküche",
                              "Hauptkomponente, Gastronomie",
                              "Neben-Komponente, Haushalt",
                              "Neben-Komponente, Grossküche",
                              "Neben-Komponente, Gastronomie",
                              nullptr,
                              nullptr,
                              nullptr};
constexpr Texts kPreparation = {
    "handelsüblich, nicht zubereitet",
    "handelsüblich, nicht zubereitet",
    "gegart (allgemein), erwärmt, aufbereitet, blanchiert, mikrowellenerwärmt, mikrowellengegart",
    "gekocht, druckgekocht, gargezogen, pochiert",
    "gedämpft, druckgedämpft",
    "gedünstet, druckgedünstet, geschmort, druckgeschmort",
    "gebacken, gebraten (in Luft), Auflauf, gratiniert",
    "gegrillt, geröstet, getoastet",
    "gebraten in Fett, fritiert",
    nullptr};
constexpr Texts kWeight = {"Verzehrsgewicht ohne Küchenabfall",
                           "Verzehrsgewicht ohne Küchenabfall",
                           "Verzehrsgewicht ohne Küchenabfall",
                           "Verzehrsgewicht ohne Küchenabfall",
                           "Verzehrsgewicht mit Küchenabfall",
                           "Verzehrsgewicht mit Küchenabfall",
                           nullptr,
                           nullptr,
                           nullptr,
                           nullptr};

// Subgroups whose fifth character states the processing.
constexpr std::string_view kProcessingGroups =
    "E1 F0 F1 F2 F3 F4 F5 F6 F7 G0 G1 G2 G3 G4 G5 G6 G7 H0 H1 H2 H3 H4 H5 "
    "H6 H7 K1 K4 K7 T0 T1 T2 T3 T4 T5 T6 T7 U0 U1 U3 U5 U7 U9 V0 V1 V2 "
    "V3 V4 V5 V6 V7";

void Append(std::string& result, const Texts& texts, std::string_view code, std::size_t position)
{
    if (code.size() <= position || code[position] < '0' || code[position] > '9')
        return;
    const char* text = texts[static_cast<std::size_t>(code[position] - '0')];
    if (!text)
        return;
    if (!result.empty())
        result += "\r\n";
    result += text;
}

} // namespace

std::string DescribeFoodCode(std::string_view code)
{
    std::string result;
    const std::string_view group = code.substr(0, 2);
    if (group.size() == 2 && kProcessingGroups.find(std::string(group) + " ") != std::string_view::npos)
        Append(result, kProcessing, code, 4);
    if (group == "M1" || group == "M2")
        Append(result, kMilkFat, code, 4);
    if ((group.size() == 2 && group[0] == 'M' && group[1] >= '3' && group[1] <= '7') ||
        code.starts_with("M81") || code.starts_with("M82") || code.starts_with("M83"))
        Append(result, kCheeseFat, code, 4);
    if (group.size() == 2 && group[0] == 'N' && group[1] >= '4' && group[1] <= '7')
        Append(result, kBeverage, code, 4);
    if (!code.empty() && (code[0] == 'X' || code[0] == 'Y'))
        Append(result, kComponent, code, 5);
    else
        Append(result, kPreparation, code, 5);
    Append(result, kWeight, code, 6);
    return result;
}

std::string GetFoodInfoText(Database& db, std::string& code)
{
    for (std::size_t p = 7;; --p) {
        const Value info = db.Scalar("SELECT ProduktInfo FROM T_BLS_KEY WHERE SBLS=?", {code});
        if (!info.IsNull() && !info.AsText().empty())
            return info.AsText();
        if (p == 3)
            return {};
        if (code.size() >= p)
            code[p - 1] = '0';
    }
}

} // namespace pf
