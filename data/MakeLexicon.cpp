// Tool: writes the lexicon's base-data file from its readable sources.
//   MakeLexicon SOURCEFOLDER OUTFILE
// The sources (data/lexicon/*.txt) are what people edit; the written file (data/basedata/
// 60_lexicon.csv) is checked in beside the other base data, and a test proves the two agree.
// Exit code 0 on success; the first unreadable source line is reported on stderr.

#include "lexicon/LexiconContent.h"

#include <fstream>
#include <iostream>

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::cerr << "Aufruf: MakeLexicon QUELLORDNER AUSGABEDATEI\n";
        return 2;
    }
    std::string error;
    const std::string text = pf::MakeLexiconBaseData(argv[1], error);
    if (!error.empty()) {
        std::cerr << error << "\n";
        return 1;
    }
    std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
    out << text;
    out.flush();
    if (!out) {
        std::cerr << "Die Datei " << argv[2] << " kann nicht geschrieben werden.\n";
        return 1;
    }
    return 0;
}
