#pragma once
// The per-user options read once at start, each converted to its type. Other parts read them here
// instead of asking the store again; windows that change an option write it back with WriteSetting.

#include <string>

namespace pf {

struct UserSettings
{
    long RezSearchType = 0;
    int ImportMode = 0;
    bool ImportBLSStrong = true;
    int ImportUmlaute = 0;
    int ImportNoUmlaute = 0;
    int ExportUmlautConvert = 0;
    int ExportUmlautAnsi = 0;
    int ExportNoPictures = 0;
    int ExportNoBLS = 0;
    int ExportTitelIndex = 0;
    int ExportBreak = 70;
    long ExportFingerprint = 1;
    int ExportAbhaengigkeiten = 1;
    int ExportHTMLBild = 0;
    long PrintSimple = 16;
    long PrintArbeit = 3;
    long PrintStandardMode = 1;
    bool ShowTips = true;
    bool ShowSearch = false;
    long EditFlags = 12;
    long EditKochBuch = 0;
    long EditSprache = 1;
    bool EditWord = false;
    bool EditNoBLS = false;
    bool EditNoBLSXY = true;
    bool EditFPWarnung = false;
    bool EditShowAttachement = false;
    long EditMasse = 0;
    bool EditAlternativDisplay = false;
    long EditSortModus = 0;
    bool EditOwnCat = false;
    bool EditMainCat = true;
    long EditLastFPCounter = 0;
    bool EditSaveDel = true;
    long WPDisplayMode = 0;
    bool BackupReminder = true;
};

// Reads every option from the per-user store in the order the start sequence uses.
UserSettings ReadUserSettings();
// The unit-display factor of the unit system EditMasse: 8 for 1, 4 for 2, 2 otherwise.
int UnitDisplayFactor(long editMasse);

} // namespace pf
