// The "vcard" command of the command-line program: "vcard export FILE" writes every address as a
// vCard 2.1 card, "vcard import FILE" stores the cards of a file as new addresses and prints how
// many were taken, found already and skipped.

#include "app/CliCommands.h"
#include "planning/AddressVCard.h"

#include <ostream>

namespace pf {

int CliVCard(CliCall& call)
{
    std::vector<std::string> words;
    if (!ParseCliArgs(call, {}, [&](const std::string& word) {
            words.push_back(word);
            return words.size() <= 2;
        }))
        return 2;
    if (words.size() != 2 || (words[0] != "export" && words[0] != "import")) {
        call.Err << "Aufruf: pfannola-cli --db DATEI vcard export DATEI.vcf | vcard import DATEI.vcf\n";
        return 2;
    }
    CliDatabase db(call);
    if (!db)
        return 1;
    AddressVCard vcard;
    vcard.SetDB(db.Get());
    if (words[0] == "export") {
        long count = 0;
        if (!vcard.ExportFile(words[1], {}, count)) {
            call.Err << vcard.LastErrorText() << "\n";
            return 1;
        }
        call.Out << "exportiert: " << count << "\n";
        return 0;
    }
    VCardImportCounts counts;
    const bool imported = vcard.ImportFile(words[1], counts);
    for (const std::string& problem : vcard.Problems())
        call.Err << problem << "\n";
    if (!imported) {
        call.Err << "Der vCard-Import ist fehlgeschlagen: " << vcard.LastErrorText() << "\n";
        return 1;
    }
    call.Out << AddressVCard::Summary(counts) << "\n";
    if (counts.Imported + counts.Existing > 0)
        return 0;
    // A script must see that nothing came in.
    call.Err << (counts.Skipped == 0 ? "In der Datei wurde keine vCard-Karte gefunden.\n"
                                     : "Keine der Karten wurde als Adresse übernommen.\n");
    return 1;
}

} // namespace pf
