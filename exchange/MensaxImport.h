#pragma once
// The reader of Mensax XML files: walks the file's bytes once, cuts out each element below the
// root <mensax> (a recipe or a menu) and reads it with an XML parser, so that the memory it takes
// is that of one element, whatever the size of the file. Each recipe is matched by its elements'
// upper-cased paths into an in-memory record and handed to the sink, which checks and stores it.
//
// Tolerant of what other programs write: a byte-order mark, CR LF or LF, entities and character
// references, CDATA, comments, UTF-8 or Windows-1252, elements in any order and case, attributes
// with blanks around "=", a stray "<" in text. Slips of hand-written files are read as meant and
// reported: an attribute value without quotes or with double quotes inside it, an element whose
// end tag is missing (it ends where an enclosing element ends). What cannot be read is reported
// through the sink with the line it starts on, and the reader goes on with the next element: an
// unknown element is skipped, a broken recipe is lost alone, a file cut in the middle gives every
// recipe before the cut. Refused with a message: a document type that declares entities (which
// could expand to any size), an element larger than the element limit, nesting deeper than
// kMaxDepth. A recipe's picture is read aside while the file is walked, so it does not count
// towards the element limit; a picture beyond the picture limit is left out of its recipe.
// Menus are read into a menu record each and handed to the sink, which finds their courses'
// recipes. The reader never writes the database; it asks the sink for recipes by fingerprint and
// food keys by code, and looks units up in the unit table it is given.

#include "db/Value.h"
#include "exchange/ImportFile.h"
#include "exchange/ImportRecipe.h"

#include <cstddef>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace pugi {
class xml_node;
}

namespace pf {

class ClUnit;
class MMImportSink;

class MensaxImport
{
public:
    static constexpr std::size_t kMaxElementBytes = std::size_t{16} << 20;
    static constexpr std::size_t kMaxPictureBytes = std::size_t{256} << 20;
    static constexpr int kMaxDepth = 64;

    // importDate: the date every recipe is stored with.
    MensaxImport(ClUnit& units, DateSerial importDate);
    ~MensaxImport();

    // Other limits than kMaxElementBytes and kMaxPictureBytes (the picture's bytes, decoded).
    void SetLimits(std::size_t maxElementBytes, std::size_t maxPictureBytes);

    // Reads every recipe of the file into sink; returns the number handed over.
    long ReadFile(const ImportText& file, MMImportSink& sink);
    // The user declined to read a file without its end tag: the run is to stop.
    bool Declined() const { return m_declined; }

    // The Base64 text's bytes; characters outside the alphabet (line breaks, blanks) are skipped.
    static Blob DecodeBase64(std::string_view text);

private:
    class Scanner;
    struct Part;
    struct OpenElement;

    // Whether the file ends with its end tag, or the user chose to read it anyway.
    bool EndTagFoundOrAccepted(const ImportText& file);
    bool ReadRoot(Scanner& scan, MMImportSink& sink);
    void ReadWholePart(Scanner& scan, bool withContent, Part& part);
    // Acts on an end tag inside a part: closes its element and any left open inside it; true when
    // the tag ends the root instead (the part's own end tag is missing).
    bool CloseElement(const Scanner& scan, Part& part, std::vector<OpenElement>& open);
    // Reports the elements open from first on as ending before tag, and ends them in the text.
    // Takes the tag the scanner has just added off the end of the part's text; false when it is not there.
    static bool TakeTagFromText(Part& part, const std::string& tag);
    void EndUnclosed(Part& part, const std::vector<OpenElement>& open, std::size_t first, const std::string& tag,
                     long line, bool inText);
    // The start tag the scanner stands on with loosely written attributes put right, reported.
    std::string RepairedTag(const std::string& tag, long line);
    // Raw bytes of the file as UTF-8.
    std::string Utf8Of(std::string text) const;
    void ReadPart(Part& part);
    void ReadRecipe(const pugi::xml_node& node, const Part& part);
    void ReadMenu(const pugi::xml_node& node, const Part& part);
    // Acts on one element of a recipe; false when its children are not to be read.
    bool RecipeElement(const std::string& path, const pugi::xml_node& node, const Part& part);
    // An ingredient line from its element: a sub-recipe by fingerprint, else its food key by code.
    ImportIngredient IngredientOf(const pugi::xml_node& node);
    void WalkRecipe(const pugi::xml_node& node, const std::string& path, const Part& part);
    void NodeError(const std::string& path, const std::string& expected, long line);
    void Problem(long line, const std::string& reason, bool lost);
    long LineOf(const Part& part, std::ptrdiff_t offset) const;
    long UnitIndex(const std::string& name);
    // The recipe's notes end with its source text again, as the writer repeats it there.
    static void DropRepeatedSource(ImportRecipe& recipe);

    ClUnit& m_units;
    DateSerial m_importDate;
    std::size_t m_maxElementBytes = kMaxElementBytes;
    std::size_t m_maxPictureBytes = kMaxPictureBytes;
    std::unordered_map<std::string, long> m_unitIndex;

    // Reading state of one file.
    const ImportText* m_file = nullptr;
    MMImportSink* m_sink = nullptr;
    ImportRecipe m_rec;
    std::size_t m_picture = 0;        // the next of the part's pictures read aside
    std::set<std::string> m_reported; // unknown paths reported in this file
    bool m_declined = false;
};

} // namespace pf
