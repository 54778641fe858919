#include "planning/AddressVCard.h"

#include "core/AtomicFile.h"
#include "core/TextConv.h"
#include "core/Trim.h"
#include "core/Utf8.h"
#include "db/Database.h"
#include "db/Recordset.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>

namespace pf {
namespace {

constexpr const char* kCrLf = "\r\n";
// The contact persons of a shop or supplier: vCard has no property of its own for them.
constexpr const char* kContact = "X-ANSPRECHPARTNER";

// ---------------------------------------------------------------- writing

bool NeedsQuoting(std::string_view text)
{
    return std::any_of(text.begin(), text.end(), [](char ch) {
        const auto c = static_cast<unsigned char>(ch);
        return c < 32 || c > 126 || c == '=';
    });
}

// Quoted-printable in the form address books read: line breaks as =0D=0A, soft breaks
// ("=" at the end of a line) keep every written line below 76 characters.
std::string QuotedPrintable(std::string_view text, std::size_t firstLineUsed)
{
    static const char* hex = "0123456789ABCDEF";
    std::string out;
    std::size_t column = firstLineUsed;
    auto put = [&](const std::string& piece) {
        if (column + piece.size() > 74) {
            out += "=\r\n";
            column = 0;
        }
        out += piece;
        column += piece.size();
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            continue; // the LF that follows writes the break
        if (c == '\n') {
            put("=0D");
            put("=0A");
        } else if (c == '=' || c < 32 || c > 126 || (c == ' ' && i + 1 == text.size())) {
            put(std::string{'=', hex[c >> 4], hex[c & 15]});
        } else {
            put(std::string(1, static_cast<char>(c)));
        }
    }
    return out;
}

std::string EscapeComponent(std::string_view text)
{
    std::string out;
    for (char c : text) {
        if (c == ';' || c == '\\')
            out += '\\';
        out += c;
    }
    return out;
}

// One property line; a value that is not plain ASCII goes quoted-printable in UTF-8.
void Property(std::string& out, const std::string& name, const std::string& value)
{
    // Long plain values go quoted-printable as well, for its soft line breaks.
    if (!NeedsQuoting(value) && name.size() + 1 + value.size() <= 75) {
        out += name + ":" + value + kCrLf;
        return;
    }
    const std::string head = name + ";CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:";
    out += head + QuotedPrintable(value, head.size()) + kCrLf;
}

// ---------------------------------------------------------------- reading

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

std::string DecodeQuotedPrintable(std::string_view text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '=' && i + 2 < text.size() + 0 && HexDigit(text[i + 1]) >= 0 &&
            HexDigit(text[i + 2]) >= 0) {
            out += static_cast<char>(HexDigit(text[i + 1]) * 16 + HexDigit(text[i + 2]));
            i += 2;
        } else if (text[i] == '=' && i + 1 == text.size()) {
            // a soft break left at the end
        } else {
            out += text[i];
        }
    }
    return out;
}

// The value's bytes as UTF-8: the named character set, else UTF-8 when valid, else Windows-1252.
std::string ToUtf8(const std::string& bytes, const std::string& charset)
{
    if ((charset.empty() || charset == "UTF-8") && IsValidUtf8(bytes))
        return bytes;
    return Win1252ToUtf8(bytes);
}

struct ContentLine
{
    std::string Name;                // upper case, without a group prefix
    std::vector<std::string> Params; // upper case
    std::string Value;               // decoded, UTF-8, line breaks as CRLF
    bool Has(const std::string& param) const
    {
        for (const std::string& p : Params)
            if (p == param || p == "TYPE=" + param)
                return true;
            else if (p.rfind("TYPE=", 0) == 0) {
                // TYPE=HOME,VOICE
                std::stringstream list(p.substr(5));
                std::string one;
                while (std::getline(list, one, ','))
                    if (one == param)
                        return true;
            }
        return false;
    }
};

// Splits a structured value at unescaped ";" and undoes the escapes of both vCard versions.
std::vector<std::string> Components(const std::string& value)
{
    std::vector<std::string> parts(1);
    for (std::size_t i = 0; i < value.size(); ++i) {
        const char c = value[i];
        if (c == '\\' && i + 1 < value.size()) {
            const char next = value[++i];
            if (next == 'n' || next == 'N')
                parts.back() += "\r\n";
            else
                parts.back() += next;
        } else if (c == ';') {
            parts.emplace_back();
        } else {
            parts.back() += c;
        }
    }
    for (std::string& p : parts)
        p = std::string(Trim(p, kWhiteSpace));
    return parts;
}

std::string Component(const std::vector<std::string>& parts, std::size_t i)
{
    return i < parts.size() ? parts[i] : std::string();
}

// The country names an address may end with, and the prefix their postal codes get here. Germany
// is the home country: its codes stay without prefix.
std::optional<std::string> CountryPrefix(std::string_view name)
{
    std::string key = ToUpper(Trim(name, kWhiteSpace));
    for (auto [from, to] : {std::pair{"Ö", "OE"}, std::pair{"Ä", "AE"}, std::pair{"Ü", "UE"}}) {
        for (std::size_t at = key.find(from); at != std::string::npos; at = key.find(from))
            key.replace(at, std::string_view(from).size(), to);
    }
    struct Country
    {
        const char* Name;
        const char* Prefix;
    };
    static const Country countries[] = {{"SCHWEIZ", "CH"},   {"DEUTSCHLAND", ""}, {"GERMANY", ""},
                                        {"ITALIEN", "I"},    {"ITALIA", "I"},     {"OESTERREICH", "A"},
                                        {"FRANKREICH", "F"}, {"FRANCE", "F"}};
    for (const Country& c : countries)
        if (key == c.Name)
            return std::string(c.Prefix);
    return std::nullopt;
}

class CardBuilder
{
public:
    void Take(const ContentLine& line)
    {
        const std::vector<std::string> parts = Components(line.Value);
        if (line.Name == "N") {
            m_family = Component(parts, 0);
            m_given = Trimmed(Component(parts, 1) + " " + Component(parts, 2));
            m_prefix = Component(parts, 3);
            m_suffix = Component(parts, 4);
        } else if (line.Name == kContact) {
            if (const std::string contact = Trimmed(line.Value); !contact.empty())
                m_contacts.push_back(contact);
        } else if (line.Name == "FN") {
            m_formatted = Trimmed(line.Value);
        } else if (line.Name == "ORG") {
            m_org = Component(parts, 0);
        } else if (line.Name == "KIND" || line.Name == "X-ABSHOWAS") {
            const std::string kind = ToUpperAscii(Trimmed(line.Value));
            m_company = kind == "ORG" || kind == "COMPANY";
        } else if (line.Name == "ADR") {
            if (m_hasAddress && !line.Has("PREF"))
                return;
            m_hasAddress = true;
            std::string street = Component(parts, 2);
            const std::string extended = Component(parts, 1);
            if (!extended.empty())
                street = street.empty() ? extended : street + "\r\n" + extended;
            m_street = street;
            m_city = Component(parts, 3);
            m_plz = Component(parts, 5);
            m_country = Component(parts, 6);
        } else if (line.Name == "TEL") {
            std::string& target = line.Has("FAX") ? m_fax : m_phone;
            if (target.empty() || line.Has("PREF"))
                target = Trimmed(line.Value);
        } else if (line.Name == "EMAIL") {
            if (m_email.empty() || line.Has("PREF"))
                m_email = Trimmed(line.Value);
        } else if (line.Name == "URL") {
            if (m_url.empty())
                m_url = Trimmed(line.Value);
        } else if (line.Name == "NOTE") {
            m_note = Components(line.Value).size() == 1 ? Component(Components(line.Value), 0) : line.Value;
        }
    }

    // False when the card has no name to file it under.
    bool Build(ClAddress& a)
    {
        a.SetStatus(static_cast<long>(AddressKind::Person));
        if (!m_family.empty() || !m_given.empty()) {
            a.SetNameFamily(m_family.empty() ? m_given : m_family);
            a.SetNameGiven(m_family.empty() ? "" : m_given);
        } else if (!m_formatted.empty()) {
            // "Anna Maria Müller": the last word is the family name.
            const std::size_t blank = m_formatted.find_last_of(' ');
            a.SetNameFamily(blank == std::string::npos ? m_formatted : m_formatted.substr(blank + 1));
            a.SetNameGiven(blank == std::string::npos ? "" : Trimmed(m_formatted.substr(0, blank)));
        } else if (m_org.empty()) {
            return false;
        }
        std::vector<std::string> contacts = m_contacts;
        std::string note = m_note;
        if (!m_org.empty()) {
            // A card names a company and a person: it is the company's when it says so, or when the
            // person's name is the company's (as this program writes a shop); then the person is the
            // one to ask for there. Otherwise it is the person's card, and the company where the
            // person works goes to the notes.
            const std::string person = m_family.empty() && m_given.empty()
                                           ? m_formatted
                                           : Joined({m_prefix, m_given, m_family, m_suffix});
            const std::string classic = m_given.empty() ? m_family : m_family + ", " + m_given;
            const bool noPerson = person.empty() || person == m_org || classic == m_org;
            if (m_company || noPerson) {
                if (contacts.empty() && !noPerson)
                    contacts.push_back(person);
                a.SetNameFamily(m_org);
                a.SetNameGiven("");
                a.SetStatus(static_cast<long>(AddressKind::Geschaeft));
            } else {
                note = note.empty() ? "Firma: " + m_org : note + "\r\nFirma: " + m_org;
            }
        }
        if (!contacts.empty())
            a.SetAnsprechpartner1(contacts[0]);
        if (contacts.size() > 1)
            a.SetAnsprechpartner2(contacts[1]);
        // A country may stand in its own field or as the last line of the street.
        std::string street = m_street;
        std::string country = m_country;
        const std::size_t lastBreak = street.rfind('\n');
        if (country.empty() && lastBreak != std::string::npos &&
            CountryPrefix(street.substr(lastBreak + 1))) {
            country = street.substr(lastBreak + 1);
            street = Trimmed(street.substr(0, lastBreak));
        }
        std::string plz = m_plz;
        if (!country.empty()) {
            const std::optional<std::string> prefix = CountryPrefix(country);
            if (!prefix) {
                note = note.empty() ? "Land: " + country : note + "\r\nLand: " + country;
            } else if (!prefix->empty() && !plz.empty() && plz.find('-') == std::string::npos) {
                plz = *prefix + "-" + plz;
            }
        }
        a.SetAddress(street);
        a.SetPlz(plz);
        a.SetCity(m_city);
        a.SetTelefon(m_phone);
        a.SetTelefax(m_fax);
        a.Setemail(m_email);
        a.SetWebSite(m_url);
        a.SetNotices(note);
        return true;
    }

private:
    static std::string Trimmed(std::string_view text) { return std::string(Trim(text, kWhiteSpace)); }
    // The non-empty parts, one blank between them.
    static std::string Joined(std::initializer_list<std::string> parts)
    {
        std::string text;
        for (const std::string& part : parts)
            if (!part.empty())
                text += (text.empty() ? "" : " ") + part;
        return text;
    }

    std::string m_family, m_given, m_prefix, m_suffix, m_formatted, m_org;
    std::vector<std::string> m_contacts;
    bool m_company = false; // the card says it is a company's
    std::string m_street, m_city, m_plz, m_country;
    std::string m_phone, m_fax, m_email, m_url, m_note;
    bool m_hasAddress = false;
};

// The physical lines of the file, line ends of any kind removed.
std::vector<std::string> PhysicalLines(std::string_view bytes)
{
    std::vector<std::string> lines;
    std::string current;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (c == '\r' || c == '\n') {
            lines.push_back(current);
            current.clear();
            if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')
                ++i;
        } else {
            current += c;
        }
    }
    if (!current.empty())
        lines.push_back(current);
    return lines;
}

bool IsQuotedPrintable(const std::string& head)
{
    const std::string upper = ToUpperAscii(head);
    return upper.find("QUOTED-PRINTABLE") != std::string::npos;
}

} // namespace

std::string AddressVCard::Write(const std::vector<ClAddress>& addresses)
{
    std::string out;
    for (const ClAddress& a : addresses) {
        out += std::string("BEGIN:VCARD") + kCrLf;
        out += std::string("VERSION:2.1") + kCrLf;
        Property(out, "N", EscapeComponent(a.NameFamily()) + ";" + EscapeComponent(a.NameGiven()));
        Property(out, "FN", a.NameFriend());
        const auto kind = static_cast<AddressKind>(a.Status());
        if (kind == AddressKind::Geschaeft || kind == AddressKind::Lieferant || kind == AddressKind::Verlag)
            Property(out, "ORG", EscapeComponent(a.NameClassic()));
        for (const std::string& contact : {a.Ansprechpartner1(), a.Ansprechpartner2()})
            if (!contact.empty())
                Property(out, kContact, contact);
        Property(out, "ADR;HOME",
                 ";;" + EscapeComponent(a.Address()) + ";" + EscapeComponent(a.City()) + ";;" +
                     EscapeComponent(a.Plz()) + ";");
        if (!a.Telefon().empty())
            Property(out, "TEL;HOME;VOICE", a.Telefon());
        if (!a.Telefax().empty())
            Property(out, "TEL;HOME;FAX", a.Telefax());
        if (!a.email().empty())
            Property(out, "EMAIL;PREF;INTERNET", a.email());
        if (!a.WebSite().empty())
            Property(out, "URL;WORK", a.WebSite());
        out += std::string("END:VCARD") + kCrLf;
    }
    return out;
}

VCardReadResult AddressVCard::Read(std::string_view bytes)
{
    VCardReadResult result;
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF")
        bytes.remove_prefix(3);
    const std::vector<std::string> lines = PhysicalLines(bytes);
    std::optional<CardBuilder> card;
    std::size_t cardStart = 0;
    // Unfolding in vCard 2.1 takes only the line break (the blank is part of the value); from 3.0
    // on the break and one blank go.
    bool foldKeepsBlank = true;
    auto skip = [&](std::size_t lineNo, const std::string& why) {
        ++result.Skipped;
        result.Problems.push_back("Karte ab Zeile " + std::to_string(lineNo) + " übersprungen: " + why);
    };
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::size_t lineNo = i + 1;
        std::string line = lines[i];
        if (Trim(line, kWhiteSpace).empty())
            continue;
        // A folded line continues the one before; it was joined there.
        const std::size_t colon = line.find(':');
        if (colon == std::string::npos) {
            if (card)
                result.Problems.push_back("Zeile " + std::to_string(lineNo) + " ist unvollständig: " + line);
            continue;
        }
        std::string head = line.substr(0, colon);
        std::string value = line.substr(colon + 1);
        const bool qp = IsQuotedPrintable(head);
        // Soft breaks of quoted-printable, then folded lines (starting with a blank).
        while (i + 1 < lines.size()) {
            if (qp && !value.empty() && value.back() == '=') {
                value.pop_back();
                value += lines[++i];
            } else if (!lines[i + 1].empty() && (lines[i + 1][0] == ' ' || lines[i + 1][0] == '\t')) {
                const std::string& next = lines[++i];
                value += ToUpperAscii(head).find("BASE64") != std::string::npos ||
                                 ToUpperAscii(head).find("ENCODING=B") != std::string::npos
                             ? std::string(Trim(next, " \t"))
                             : next.substr(foldKeepsBlank ? 0 : 1);
            } else {
                break;
            }
        }
        ContentLine content;
        std::stringstream params(head);
        std::string piece;
        bool first = true;
        while (std::getline(params, piece, ';')) {
            piece = ToUpperAscii(Trim(piece, kWhiteSpace));
            if (first) {
                const std::size_t dot = piece.rfind('.');
                content.Name = dot == std::string::npos ? piece : piece.substr(dot + 1);
                first = false;
            } else {
                content.Params.push_back(piece);
            }
        }
        if (content.Name == "BEGIN" && ToUpperAscii(Trim(value, kWhiteSpace)) == "VCARD") {
            if (card)
                skip(cardStart, "die Karte endet nicht mit END:VCARD.");
            card.emplace();
            cardStart = lineNo;
            foldKeepsBlank = true;
            continue;
        }
        if (content.Name == "VERSION")
            foldKeepsBlank = Trim(value, kWhiteSpace) == "2.1";
        if (!card)
            continue;
        if (content.Name == "END" && ToUpperAscii(Trim(value, kWhiteSpace)) == "VCARD") {
            ClAddress address;
            if (card->Build(address))
                result.Cards.push_back(std::move(address));
            else
                skip(cardStart, "die Karte enthält keinen Namen.");
            card.reset();
            continue;
        }
        std::string charset;
        for (const std::string& p : content.Params)
            if (p.rfind("CHARSET=", 0) == 0)
                charset = p.substr(8);
        if (qp)
            value = DecodeQuotedPrintable(value);
        value = ToUtf8(value, charset);
        // Line breaks the way the program keeps them in texts.
        std::string normalized;
        for (std::size_t k = 0; k < value.size(); ++k) {
            if (value[k] == '\r' && k + 1 < value.size() && value[k + 1] == '\n')
                continue;
            normalized +=
                value[k] == '\n' || value[k] == '\r' ? std::string(kCrLf) : std::string(1, value[k]);
        }
        content.Value = normalized;
        card->Take(content);
    }
    if (card)
        skip(cardStart, "die Datei endet vor END:VCARD.");
    return result;
}

bool AddressVCard::ExportFile(const std::string& path, const std::vector<long>& ids, long& count)
{
    LastErrorClear();
    count = 0;
    std::vector<ClAddress> addresses;
    const bool read = Recorded([&] {
        std::vector<long> chosen = ids;
        if (chosen.empty()) {
            auto rs =
                Db().OpenRecordset("SELECT ID FROM T_ADRESSE WHERE ID>0 AND (AliasID=0 OR AliasID=ID OR "
                                   "AliasID IS NULL) AND AdrType<>0 ORDER BY Name");
            for (; !rs->Eof(); rs->MoveNext())
                chosen.push_back(static_cast<long>(rs->Field("ID").AsLong()));
        }
        for (long id : chosen) {
            ClAddress a;
            a.SetDB(&Db());
            if (a.GetID(id))
                addresses.push_back(std::move(a));
        }
    });
    if (!read)
        return false;
    if (!WriteFileAtomically(path, Write(addresses))) {
        SetError(-1, "Die Datei \"" + path + "\" kann nicht geschrieben werden.");
        return false;
    }
    count = static_cast<long>(addresses.size());
    return true;
}

bool AddressVCard::ImportFile(const std::string& path, VCardImportCounts& counts, long group)
{
    LastErrorClear();
    counts = {};
    m_problems.clear();
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        SetError(-1, "Die Datei \"" + path + "\" kann nicht gelesen werden.");
        return false;
    }
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    VCardReadResult read = Read(bytes);
    m_problems = read.Problems;
    counts.Skipped = read.Skipped;
    try {
        Database& db = Db();
        DbTransaction transaction(db);
        for (ClAddress& card : read.Cards) {
            const long existing = static_cast<long>(
                db.Scalar("SELECT COUNT(*) FROM T_ADRESSE WHERE Name=? AND COALESCE(AdrPlz,'')=?",
                          {Value(card.NameClassic()), Value(card.Plz())})
                    .AsLong());
            if (existing > 0) {
                ++counts.Existing;
                continue;
            }
            card.SetDB(&db);
            card.ParentIDUnconditional(group);
            if (!card.Save()) {
                // A card whose fields do not fit is skipped; the others are kept.
                if (card.LastError() > 0) {
                    TakeError(card);
                    counts = {};
                    return false;
                }
                m_problems.push_back("\"" + card.NameClassic() + "\" übersprungen: " + card.LastErrorText());
                ++counts.Skipped;
                continue;
            }
            ++counts.Imported;
        }
        transaction.Commit();
    } catch (const DbError& e) {
        SetDbError(e);
        counts = {};
        return false;
    }
    return true;
}

std::string AddressVCard::Summary(const VCardImportCounts& counts)
{
    return "übernommen: " + std::to_string(counts.Imported) +
           ", bereits vorhanden: " + std::to_string(counts.Existing) +
           ", übersprungen: " + std::to_string(counts.Skipped);
}

} // namespace pf
