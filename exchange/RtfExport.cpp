#include "exchange/RtfExport.h"

#include "core/CodePage.h"
#include "core/Utf8.h"
#include "exchange/ExportText.h"
#include "exchange/clsRecipeExport.h"
#include "model/ClRecipe.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <vector>

namespace pf {

namespace {

constexpr const char* kNormal = "\\pard\\f0\\fs20 ";

void Section(std::string& body, std::string_view heading)
{
    body += "\\pard\\sb240\\sa60\\f0\\b\\fs24 ";
    body += RtfEscape(heading);
    body += "\\b0\\fs20\\par\r\n";
}

// The text's paragraphs without empty ones at its end.
std::string WithoutTrailingBreaks(std::string_view text)
{
    std::string out = NormalizeLineBreaks(text);
    while (out.size() >= 2 && out.compare(out.size() - 2, 2, "\r\n") == 0)
        out.erase(out.size() - 2);
    return out;
}

} // namespace

std::string RtfEscape(std::string_view text)
{
    const CodePage& cp1252 = CodePage::Windows1252();
    std::string out;
    out.reserve(text.size() + 8);
    std::size_t pos = 0;
    while (pos < text.size()) {
        const char32_t cp = NextCodePoint(text, pos);
        if (cp == U'\\' || cp == U'{' || cp == U'}') {
            out += '\\';
            out += static_cast<char>(cp);
        } else if (cp == U'\t') {
            out += "\\tab ";
        } else if (cp < 0x20) {
            // other control characters have no place in the text
        } else if (cp < 0x80) {
            out += static_cast<char>(cp);
        } else {
            unsigned char byte = 0;
            char escape[16];
            if (cp1252.Encode(cp, byte)) {
                std::snprintf(escape, sizeof escape, "\\'%02x", static_cast<unsigned>(byte));
            } else if (cp > 0xFFFF) {
                // \uN takes a signed 16-bit number: nothing beyond the basic plane fits.
                std::snprintf(escape, sizeof escape, "?");
            } else {
                std::snprintf(escape, sizeof escape, "\\u%d?",
                              static_cast<int>(static_cast<std::int16_t>(cp)));
            }
            out += escape;
        }
    }
    return out;
}

void RtfAddText(std::string& body, std::string_view text)
{
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find("\r\n", start);
        if (end == std::string_view::npos) {
            body += RtfEscape(text.substr(start));
            return;
        }
        body += RtfEscape(text.substr(start, end - start));
        body += "\\par\r\n";
        start = end + 2;
    }
}

std::string RtfDocument(const std::string& body)
{
    return "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1031{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}}\r\n"
           "\\viewkind4\\uc1\\pard\\f0\\fs20\r\n" +
           body + "}\r\n";
}

void RecAddRTFHeader(std::string& body, std::string_view title)
{
    body += "\\pard\\sa120\\f0\\b\\fs32 ";
    body += RtfEscape(title);
    body += "\\b0\\fs20\\par\r\n";
}

void RecAddRTFProperties(std::string& body, std::string_view label, std::string_view value)
{
    if (value.empty())
        return;
    body += kNormal;
    body += "\\b ";
    body += RtfEscape(label);
    body += "\\b0  ";
    RtfAddText(body, std::string(value) + "\r\n");
}

void ExportRtfRecipe(clsRecipeExport& engine, ClRecipe& recipe)
{
    std::string& body = engine.RtfBody();
    if (!body.empty())
        body += "\\page\r\n";
    RecAddRTFHeader(body, recipe.Title());
    std::string cats;
    for (const std::string& name : engine.RecipeCategories(recipe))
        cats += (cats.empty() ? "" : ", ") + name;
    RecAddRTFProperties(body, "Kategorien:", cats);
    RecAddRTFProperties(body, "Herkunft:", recipe.OriginName());
    RecAddRTFProperties(body,
                        "Mengenangaben für:", std::to_string(recipe.Yield()) + " " + recipe.YieldUnitText());
    RecAddRTFProperties(body, "Haltbarkeit:", clsRecipeExport::KopfHaltbarkeit(recipe));

    Section(body, "Zutaten");
    const int count = recipe.IngredCount();
    for (int i = 1; i <= count; ++i) {
        ClIngredient& line = recipe.Ingredient(i);
        if (line.IsTrenner()) {
            body += "\\pard\\sb120\\f0\\fs20\\i ";
            engine.WriteExportLine(line.Trennzeile(), true);
            body += "\\i0\\par\r\n";
            continue;
        }
        // Quantity right-aligned at the first tab stop, unit and text after it.
        body += "\\pard\\f0\\fs20\\tqr\\tx900\\tx1100\\tx2400 ";
        const std::string amount = line.OrgMeasurement() == Decimal4() ? std::string() : line.MengeTxt();
        engine.WriteExportLine("\t" + amount + "\t" + line.EinheitTxt() + "\t" + line.ZutatVerarbeitung());
    }
    Section(body, "Zubereitungsanweisungen");
    body += kNormal;
    engine.WriteExportLine(WithoutTrailingBreaks(recipe.Zubereitung()));
    if (!recipe.Notizen().empty()) {
        Section(body, "Notizen");
        body += kNormal;
        engine.WriteExportLine(WithoutTrailingBreaks(recipe.Notizen()));
    }
}

std::string RtfPlainText(std::string_view rtf)
{
    if (!rtf.starts_with("{\\rtf"))
        return std::string(rtf);
    const CodePage& cp1252 = CodePage::Windows1252();
    std::string out;
    // Per open group: whether its text is dropped (tables and \* destinations).
    std::vector<bool> skipped{false};
    int skipChars = 0; // replacement characters still to skip after a \uN
    std::size_t i = 0;
    auto hex = [](char c) {
        return c >= '0' && c <= '9'   ? c - '0'
               : c >= 'a' && c <= 'f' ? c - 'a' + 10
               : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                      : -1;
    };
    auto emit = [&](char32_t cp) {
        if (skipChars > 0) {
            --skipChars;
            return;
        }
        if (!skipped.back())
            AppendUtf8(out, cp);
    };
    while (i < rtf.size()) {
        const char c = rtf[i];
        if (c == '{') {
            skipped.push_back(skipped.back());
            ++i;
        } else if (c == '}') {
            if (skipped.size() > 1)
                skipped.pop_back();
            ++i;
        } else if (c == '\\' && i + 1 < rtf.size()) {
            const char next = rtf[i + 1];
            if (next == '\'') {
                // \'xx; a cut escape is dropped with what there is of it.
                if (i + 3 < rtf.size() && hex(rtf[i + 2]) >= 0 && hex(rtf[i + 3]) >= 0)
                    emit(cp1252.Decode(static_cast<unsigned char>(hex(rtf[i + 2]) * 16 + hex(rtf[i + 3]))));
                i += 2;
                for (int digits = 0; digits < 2 && i < rtf.size() && hex(rtf[i]) >= 0; ++digits)
                    ++i;
            } else if (next == '*') {
                skipped.back() = true;
                i += 2;
            } else if ((next >= 'a' && next <= 'z') || (next >= 'A' && next <= 'Z')) {
                std::size_t end = i + 1;
                while (end < rtf.size() && std::isalpha(static_cast<unsigned char>(rtf[end])))
                    ++end;
                const std::string_view word = rtf.substr(i + 1, end - i - 1);
                long number = 0;
                bool negative = false;
                bool hasNumber = false;
                if (end < rtf.size() && rtf[end] == '-') {
                    negative = true;
                    ++end;
                }
                while (end < rtf.size() && std::isdigit(static_cast<unsigned char>(rtf[end]))) {
                    number = std::min(number * 10 + (rtf[end] - '0'), 100000000L);
                    hasNumber = true;
                    ++end;
                }
                if (end < rtf.size() && rtf[end] == ' ')
                    ++end; // the blank ending a control word belongs to it
                i = end;
                if (word == "par" || word == "line") {
                    if (!skipped.back())
                        out += "\r\n";
                } else if (word == "tab") {
                    emit(U'\t');
                } else if (word == "u" && hasNumber) {
                    const long code = negative ? 65536 - number : number;
                    // Half of a surrogate pair is no character of its own.
                    const bool valid = code > 0 && code < 0x110000 && (code < 0xD800 || code > 0xDFFF);
                    emit(valid ? static_cast<char32_t>(code) : U'?');
                    skipChars = 1;
                } else if (word == "fonttbl" || word == "colortbl" || word == "stylesheet" ||
                           word == "info" || word == "pict" || word == "header" || word == "footer") {
                    skipped.back() = true;
                }
            } else {
                // An escaped character: \\, \{, \} stand for themselves; other symbols are dropped.
                if (next == '\\' || next == '{' || next == '}')
                    emit(static_cast<char32_t>(next));
                i += 2;
            }
        } else if (c == '\r' || c == '\n') {
            ++i; // line breaks of the RTF source are no text
        } else {
            const std::size_t from = i;
            const char32_t cp = NextCodePoint(rtf, i);
            if (i == from)
                ++i;
            emit(cp);
        }
    }
    while (out.ends_with("\r\n"))
        out.erase(out.size() - 2);
    return out;
}

} // namespace pf
