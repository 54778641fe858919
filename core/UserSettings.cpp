#include "core/UserSettings.h"

#include "core/Messages.h"
#include "core/Settings.h"
#include "core/Utf8.h"


#include <cstdint>

namespace pf {

namespace {

bool StartsWithNumber(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    if (i < text.size() && (text[i] == '-' || text[i] == '+'))
        ++i;
    return i < text.size() && text[i] >= '0' && text[i] <= '9';
}

// A value of the wrong type (a word where a number belongs) would silently read as 0; the option
// keeps its default instead and the error log says which value was ignored.
std::string Checked(const char* key, const char* defaultValue, bool boolean)
{
    const std::string value = ReadSetting("", key, defaultValue, false);
    if (value.empty() || StartsWithNumber(value))
        return value;
    if (boolean) {
        const std::string upper = ToUpperAscii(value);
        if (upper == "TRUE" || upper == "WAHR" || upper == "FALSE" || upper == "FALSCH" || upper == "NEIN")
            return value;
    }
    LogError({0,
              "Die Einstellung " + std::string(key) + "=\"" + value + "\" ist " +
                  (boolean ? "kein Wahrheitswert" : "keine Zahl") + "; es gilt der Standardwert " +
                  defaultValue + ".",
              "ReadUserSettings",
              {}});
    return defaultValue;
}

long Number(const char* key, const char* defaultValue)
{
    return SettingToLong(Checked(key, defaultValue, false));
}

// Byte options keep the low eight bits, as a byte-sized option does.
int Byte(const char* key, const char* defaultValue)
{
    return static_cast<int>(static_cast<std::uint8_t>(Number(key, defaultValue) & 0xFF));
}

bool Flag(const char* key, const char* defaultValue)
{
    return SettingToBool(Checked(key, defaultValue, true));
}

} // namespace

UserSettings ReadUserSettings()
{
    UserSettings s;
    s.RezSearchType = Number("RezSearchType", "0");
    s.ImportMode = Byte("ImportMode", "0");
    s.ImportBLSStrong = Flag("ImportBLSStrong", "1");
    s.ImportUmlaute = Byte("ImportUmlaute", "0");
    s.ImportNoUmlaute = Byte("ImportNoUmlaute", "0");
    s.ExportUmlautConvert = Byte("ExportUmlautConvert", "0");
    s.ExportUmlautAnsi = Byte("ExportUmlautAnsi", "0");
    s.ExportNoPictures = Byte("ExportNoPictures", "0");
    s.ExportNoBLS = Byte("ExportNoBLS", "0");
    s.ExportTitelIndex = Byte("ExportTitelIndex", "0");
    s.ExportBreak = Byte("ExportBreak", "70");
    s.ExportFingerprint = Number("ExportFingerprint", "1");
    s.ExportAbhaengigkeiten = Byte("ExportAbhaengigkeiten", "1");
    s.ExportHTMLBild = Byte("ExportHTMLBild", "0");
    s.PrintSimple = Number("PrintSimple", "16");
    s.PrintArbeit = Number("PrintArbeit", "3");
    s.PrintStandardMode = Number("PrintStandardMode", "1");
    s.ShowTips = Flag("ShowTips", "1");
    s.ShowSearch = Flag("ShowSearch", "0");
    s.EditFlags = Number("EditFlags", "12");
    s.EditKochBuch = Number("EditKochBuch", "0");
    s.EditSprache = Number("EditSprache", "1");
    s.EditWord = Flag("EditWord", "0");
    s.EditNoBLS = Flag("EditNoBLS", "0");
    s.EditNoBLSXY = Flag("EditNoBLSXY", "1");
    s.EditFPWarnung = Flag("EditFPWarnung", "0");
    s.EditShowAttachement = Flag("EditShowAttachement", "0");
    s.EditMasse = Number("EditMasse", "0");
    s.EditAlternativDisplay = Flag("EditAlternativDisplay", "0");
    s.EditSortModus = Number("EditSortModus", "0");
    if (s.EditSortModus < 0 || s.EditSortModus > 1)
        s.EditSortModus = 0;
    s.EditOwnCat = Flag("EditOwnCat", "0");
    s.EditMainCat = Flag("EditMainCat", "1");
    s.EditLastFPCounter = Number("EditLastFPCounter", "0");
    s.EditSaveDel = Flag("EditSaveDel", "1");
    s.WPDisplayMode = Number("WPDisplayMode", "0");
    s.BackupReminder = Flag("BackupReminder", "1");
    return s;
}

int UnitDisplayFactor(long editMasse)
{
    switch (editMasse) {
    case 1:
        return 8;
    case 2:
        return 4;
    default:
        return 2;
    }
}

} // namespace pf
