#include "db/Schema.h"

#include "core/Utf8.h"
#include "db/ChangeStamp.h"

#include <algorithm>
#include <initializer_list>

namespace pf {

namespace {

// Column helpers, so that a table reads as a list of names and types.
FieldDef Long(const char* name)
{
    return {name, FieldType::Long};
}
// A Long that must hold a value (key columns).
FieldDef LongReq(const char* name)
{
    return {name, FieldType::Long, 0, true};
}
// A Long that starts at 0 in new rows: the steps that create these columns say so.
FieldDef Long0(const char* name, bool required = false)
{
    return {name, FieldType::Long, 0, required, Value(0)};
}
FieldDef Integer(const char* name)
{
    return {name, FieldType::Integer};
}
FieldDef Text(const char* name, int size)
{
    return {name, FieldType::Text, size};
}
FieldDef Memo(const char* name)
{
    return {name, FieldType::Memo};
}
FieldDef Binary(const char* name)
{
    return {name, FieldType::Binary};
}
FieldDef Currency(const char* name)
{
    return {name, FieldType::Currency};
}
FieldDef Date(const char* name)
{
    return {name, FieldType::Date};
}
FieldDef Double(const char* name)
{
    return {name, FieldType::Double};
}
// Flags are false unless set, as a Yes/No column of the engine never holds Null; queries such as
// "FlagDeleted=0" and "Template=False" then see every row.
FieldDef Flag(const char* name)
{
    return {name, FieldType::Boolean, 0, false, Value(false)};
}

IndexDef Primary(const char* name, std::vector<std::string> columns)
{
    return {name, std::move(columns), true, true};
}
IndexDef Unique(const char* name, std::vector<std::string> columns)
{
    return {name, std::move(columns), true, false};
}
IndexDef Index(const char* name, std::vector<std::string> columns)
{
    return {name, std::move(columns), false, false};
}

// The nutrient columns of T_BLS_DAT: the keys of the German food key (BLS), one Double per
// nutrient, values per 100 g. T_BLS_FDESC.DKEY names them; the descriptor rows may use a subset.
const char* const kNutrientKeys[] = {
    // energy and main constituents
    "GCAL", "GJ", "GCALZB", "GJZB", "ZW", "ZE", "ZF", "ZK", "ZB", "ZM", "ZO", "ZA",
    // vitamins
    "VA", "VAR", "VAC", "VD", "VE", "VEAT", "VK", "VB1", "VB2", "VB3", "VB3A", "VB5", "VB6", "VB7", "VB9G",
    "VB12", "VC",
    // minerals and trace elements
    "MNA", "MK", "MCA", "MMG", "MP", "MS", "MCL", "MFE", "MZN", "MCU", "MMN", "MF", "MJ",
    // carbohydrates: sugar alcohols, sugars, polysaccharides, fibre fractions
    "KAM", "KAS", "KAX", "KA", "KMT", "KMF", "KMG", "KM", "KDS", "KDM", "KDL", "KD", "KMD", "KPOR", "KPON",
    "KPG", "KPS", "KP", "KBP", "KBH", "KBU", "KBC", "KBL", "KBW", "KBN",
    // amino acids, uric acid, purine nitrogen
    "EILE", "ELEU", "ELYS", "EMET", "ECYS", "EPHE", "ETYR", "ETHR", "ETRP", "EVAL", "EARG", "EHIS", "EEA",
    "EALA", "EASP", "EGLU", "EGLY", "EPRO", "ESER", "ENA", "EH", "EP",
    // fatty acids and their sums, cholesterol
    "F40", "F60", "F80", "F100", "F120", "F140", "F150", "F160", "F170", "F180", "F200", "F220", "F240", "FS",
    "F141", "F151", "F161", "F171", "F181", "F201", "F221", "F241", "FU", "F162", "F164", "F182", "F183",
    "F184", "F193", "F202", "F203", "F204", "F205", "F222", "F223", "F224", "F225", "F226", "FP", "FK", "FM",
    "FL", "FO3", "FO6", "FG", "FC",
    // derived values: P/S ratio, bread units, table salt
    "GFPS", "GKB", "GMKO"};

TableDef FoodValues()
{
    TableDef table{"T_BLS_DAT",
                   {Text("SBLS", 7), Text("SKT", 128), Currency("GP"), Currency("GD")},
                   // Nutrient values are read by food code when a recipe is calculated.
                   {Unique("ISBLS", {"SBLS"})}};
    for (const char* key : kNutrientKeys)
        table.Fields.push_back(Double(key));
    return table;
}

// Where the schema leaves a type or size open, the choice is: IDs and references Long, flags
// Boolean (false unless set), names Text(50) to Text(128), free texts Text(255), long texts Memo,
// pictures LongBinary, quantities, prices and factors Currency, dates and durations Date.

// Recipes: head, ingredient lines, instructions, categories, cookbooks, utensils, yield units.
void AddRecipeTables(std::vector<TableDef>& tables)
{
    tables.push_back({"T_REZ_KOPF",
                      {LongReq("ID"),
                       Text("RezTitle", 128),    // cut to this size on assignment
                       Text("RezMenuCard", 128), // widened to 128 by 001.10.095, the title's size
                       Long("RezYield"),
                       Long("RezYieldEinh"),
                       Long("RezSprache"),
                       Flag("Generic"),
                       Text("RezQuelle", 255),
                       Long0("RezQuelleID"),
                       Text("RezQuellePage", 8),
                       Date("RezHaltbarLagern"),
                       Date("RezHaltbarKuehl"),
                       Date("RezHaltbarTiefkuehl"),
                       Flag("Template"),
                       Flag("FlagDeleted"),
                       Memo("RezWeinTipp"),
                       Date("RezImportDate"),
                       Long("RezImportSource"),
                       Long("RezParent"),
                       Long("WPExclude"), // a whole-day serial
                       Date("RezZeitVorher"),
                       Date("RezZeitKochen"),
                       Long("RezHerkunft"),
                       Memo("RezNotizen"),
                       Long("Fingerprint1"),
                       Long("Fingerprint2")},
                      {Primary("PrimaryKey", {"ID"}), Index("IParent", {"RezParent"}),
                       // Lists are sorted by title, the import looks titles up for duplicates.
                       Index("IRezTitle", {"RezTitle"}),
                       // Duplicate detection and "own recipes" look recipes up by fingerprint.
                       Index("IFingerprint2", {"Fingerprint2"}),
                       // The search by origin country and the category merge filter on it.
                       Index("IRezHerkunft", {"RezHerkunft"}),
                       // The table of contents of a literature source lists its recipes.
                       Index("IRezQuelleID", {"RezQuelleID"}),
                       // Searches by import date and the list of import dates.
                       Index("IRezImportDate", {"RezImportDate"})}});
    tables.push_back({"T_REZ_ZUTAT",
                      {LongReq("ID"), LongReq("No"), Flag("ZutTrenner"), Text("ZutText", 255),
                       Currency("ZutAnz"), Long("ZutEinh"), Text("ZutVerarbeitung", 64),
                       Memo("ZutZubereitung"), Flag("ZutRezept"), Long("ZutBLSID")},
                      // The key also serves every read of a recipe's lines by recipe ID.
                      {Primary("PrimaryKey", {"ID", "No"}),
                       // Nutrient calculation, ingredient search and "which recipes use this
                       // recipe or food" join or filter on the food key.
                       // No index on the unit: only deleting a unit asks which lines use it, a
                       // read of the table that takes under a second at a million recipes, while
                       // an index over a few dozen values, each growing in the middle, costs
                       // every import about a sixth of its time.
                       Index("IZutBLSID", {"ZutBLSID"})}});
    tables.push_back({"T_REZ_ANWEIS",
                      {LongReq("ID"), LongReq("NO"), Memo("AnwText")},
                      // Instructions are read and deleted by recipe ID, in row order.
                      {Primary("PrimaryKey", {"ID", "NO"})}});
    tables.push_back({"T_REZ_CAT_NDX",
                      {Long("ID"), Long("CatID"), Flag("CatPrimary"), Long("No")},
                      // Read and rewritten per recipe; the search and the lexicon's recipe tree
                      // select recipes by category.
                      {Index("IRecipe", {"ID"}), Index("ICatID", {"CatID"})}});
    tables.push_back({"T_REZ_KOCHBUCH",
                      {Long("RezID"), Long("BuchID")},
                      // A recipe's cookbooks are read by recipe; every list of a cookbook joins on
                      // the cookbook.
                      {Index("IRezID", {"RezID"}), Index("IBuchID", {"BuchID"})}});
    tables.push_back({"T_REZ_GERAET",
                      {Long("RezID"), Long("GeraetID")},
                      // A recipe's utensils are read by recipe; the search by utensil filters on it.
                      {Index("IRezID", {"RezID"}), Index("IGeraetID", {"GeraetID"})}});
}

// Recipe side tables, yield units, import history, cookbooks, categories, units and searches.
void AddRecipeSideTables(std::vector<TableDef>& tables)
{
    // No part stores more than the owning recipe here; the rows go with their recipe.
    tables.push_back({"T_REZ_KOPFGEFRIER", {Long("KopfID")}, {Index("IKopfID", {"KopfID"})}});
    tables.push_back({"T_REZ_KOPFEINHEIT",
                      {LongReq("ID"), Text("NameD", 50), Text("NameE", 50), Text("NameF", 50)},
                      {Primary("PrimaryKey", {"ID"})}});
    tables.push_back({"T_REZ_IMPORT",
                      {Text("FName", 255), Date("Datum")},
                      // Adding a file to the import asks whether it was imported before.
                      {Index("IFName", {"FName"})}});
    tables.push_back({"T_BUCH",
                      {LongReq("ID"), Text("BuchTitel", 100), Memo("BuchBeschreib"), Date("BuchDatum"),
                       Date("BuchModifiziert")},
                      {Primary("PrimaryKey", {"ID"})}});
    tables.push_back({"T_CAT",
                      {LongReq("ID"), Text("CatNameD", 50), // the category's save cuts names to 20 characters
                       Long("CatType"), Long("CatParent"), Long("CatWPLevel"), Integer("CatWPRepeat"),
                       Long("LaenderCode"), // a number: non-zero marks a country, 99 is left out
                       Flag("ErfassungsFlag")},
                      {Primary("PrimaryKey", {"ID"}),
                       // The category tree reads the children of a category.
                       Index("ICatParent", {"CatParent"})}});
    tables.push_back(
        {"T_CAT_TYPE",
         {LongReq("CatTypeID"), Text("CatTypeName", 50), Long("CatParentID"), Flag("CatClassified")},
         {Primary("PrimaryKey", {"CatTypeID"})}});
    tables.push_back({"T_UNIT",
                      {LongReq("ID"),
                       Text("UnitShortD", 16),
                       Text("UnitNameD", 50),
                       Text("UnitShortUK", 16),
                       Text("UnitNameUK", 50),
                       Text("UnitShortUS", 16),
                       Text("UnitNameUS", 50),
                       Text("UnitShortF", 16),
                       Text("UnitNameF", 50),
                       Text("UnitShortI", 16),
                       Text("UnitNameI", 50),
                       Text("UnitshortS", 16),
                       Text("UnitNameS", 50),
                       Flag("Unscaled"),
                       Currency("ConvMetrisch"),
                       Currency("ConvMetrischUS"),
                       Long("AutoScaleIndex"),
                       Currency("AutoScaleValue"),
                       Long("NaehrScaleIndex"),
                       Currency("NaehrScaleValue"),
                       Flag("NoFractionOnScale")},
                      {Primary("PrimaryKey", {"ID"})}});
    tables.push_back(
        {"T_BLOB",
         {LongReq("ID"), LongReq("IDReference"), LongReq("IDType"), LongReq("IDNum"), LongReq("Property"),
          Text("BlobPath", 255), Binary("Blob"), Memo("Description")},
         // The rows of one owner share ID, IDReference and IDType: IDNum is part of
         // both keys. RefIndex also serves every lookup by owner.
         {Primary("PrimIndex", {"ID", "IDNum"}), Unique("RefIndex", {"IDReference", "IDType", "IDNum"})}});
    tables.push_back({"T_SUCHE_KOPF",
                      {Long("ID"), Text("Suchname", 64), Memo("Daten"), Text("Owner", 50)},
                      // Templates are read by ID; the default template swaps IDs through -1, so
                      // the ID is no key.
                      {Index("IID", {"ID"})}});
}

// Menus, weekly plans, shopping lists, addresses and shops.
void AddPlanningTables(std::vector<TableDef>& tables)
{
    tables.push_back(
        {"T_MENU_KOPF",
         {LongReq("MenuID"), Text("MenuTitle", 128), Memo("MenuDesc"), Memo("MenuNotizen"), Long("MenuYield"),
          Memo("MenuQuelle"), // a weekly plan keeps its level definitions here
          Long("MenuHerkunft"), Date("MenuDatum"), Date("MenuZeitVorher"), Date("MenuZeitKochen"),
          Long("MenuTree")},
         {Primary("PrimaryKey", {"MenuID"}),
          // Folder lists and every weekly-plan query select by MenuTree (and date).
          Index("IMenuTree", {"MenuTree", "MenuDatum"})}});
    tables.push_back({"T_MENU_GANG",
                      {Long("MenuID"), Long("GangNr"), Long("RezID"), Long("Yield"), Memo("GangDesc"),
                       Text("DrinkDesc", 255), Text("TitelAlternativ", 128), Long0("WeinID", true),
                       Long("WPLevel"), Long("WPDay")},
                      // Courses are read per menu; the last use of a recipe in weekly plans is
                      // looked up by recipe.
                      {Index("IMenuID", {"MenuID", "GangNr"}), Index("IRezID", {"RezID"})}});
    tables.push_back({"T_MENU_GAST",
                      {LongReq("MenuID"), LongReq("No"), LongReq("AdressID"), Memo("Notiz")},
                      {Primary("PrimaryKey", {"MenuID", "No"})}});
    tables.push_back({"T_MENU_TREE",
                      {LongReq("ID"), Long("Parent"), Text("Beschreibung", 100)},
                      // Sub-folders are read by parent.
                      {Primary("PrimaryKey", {"ID"}), Index("IParent", {"Parent"})}});
    tables.push_back({"T_WPLevel",
                      {LongReq("ID"), LongReq("WPOrder"), FieldDef("WPName", FieldType::Text, 32, true),
                       FieldDef("WPCost", FieldType::Currency, 0, true, Value(Decimal4())),
                       FieldDef("WPPrint", FieldType::Boolean, 0, true, Value(true)),
                       FieldDef("WPRepeat", FieldType::Boolean, 0, true, Value(false))},
                      {Primary("PrimIndex", {"ID"}), Unique("RefIndex", {"WPOrder"})}});
    tables.push_back({"T_SHOPPING_KOPF",
                      {LongReq("ID"), Text("Owner", 50), Date("Datum"), Text("Bezeichnung", 100)},
                      {Primary("PrimaryKey", {"ID"})}});
    tables.push_back({"T_SHOPPING_PART",
                      {Long("ID"), Long("Num"), Text("RezName", 255), Long("BaseRecipeID"),
                       Currency("UnitNum"), // the slot's yield, fixed point
                       Long("Unit")},
                      // A list's recipes are read per list.
                      {Index("IID", {"ID", "Num"})}});
    tables.push_back({"T_SHOPPING_DETAIL",
                      {Long("ID"), Long("No"), Long("ZutBLSID"), Text("ZutText", 255), Currency("ZutAnz"),
                       Long("ZutEinh"), Text("ZutEinhText", 50), Text("ZutAnzText", 50), Long("ZutRecipe")},
                      // A list's lines are read per list.
                      {Index("IID", {"ID", "No"})}});
    tables.push_back({"T_ADRESSE",
                      {LongReq("ID"),
                       Text("Name", 100),
                       Text("Adresse", 100),
                       Text("AdrPlz", 10),
                       Text("AdrOrt", 50),
                       Long("AdrType"),
                       Memo("Bemerkung"),
                       Text("Telefon1", 30),
                       Text("Fax1", 30),
                       Text("EMail", 100),
                       Text("Homepage", 255),
                       Text("AnsprechPartner", 100),
                       Text("AnsprechPartner2", 100),
                       Text("KundNummer", 50),
                       Currency("MinBestell"),
                       Text("Currency", 10),
                       Text("StoreLocations", 64), // food-group letters in shop order
                       Flag("StdAdresse"),
                       Long0("ParentID"),
                       Binary("Picture"),
                       Long0("AliasID", true),
                       Long0("Fingerprint1"),
                       Long0("Fingerprint2")},
                      {Primary("PrimaryKey", {"ID"}),
                       // The address tree reads the members of a group, aliases by their address.
                       Index("IParentID", {"ParentID"}), Index("IAliasID", {"AliasID"}),
                       // Address lists are sorted by name; imports match addresses by fingerprint.
                       Index("IName", {"Name"}), Index("IFingerprint2", {"Fingerprint2"})}});
    tables.push_back({"T_LIEFERUNG",
                      {Long("ID"), Long("Lieferant"), Long("Nahrungsmittel"), Text("SBLS", 7),
                       Text("Name", 100), Currency("Menge"), Long("Einheit"), Currency("Preis"),
                       Text("Waehrung", 10), Memo("Bemerkung"), Long("Type")},
                      // A shop's deliveries are read per shop; foods join their suppliers.
                      {Index("ILieferant", {"Lieferant"}), Index("INahrungsmittel", {"Nahrungsmittel"})}});
}

// Nutrition: foods, nutrient values and descriptors, food classes, links to the lexicon.
void AddNutritionTables(std::vector<TableDef>& tables)
{
    tables.push_back(
        {"T_BLS_KEY",
         {LongReq("ID"), Text("SBLS", 7), Text("ST", 128), Text("STE", 128), Text("STF", 128),
          Memo("ProduktInfo"), Binary("ProduktBild"),
          Long("ProduktSaison"), // twelve month bits
          Flag("ProduktHauptFlag"), Long("ProduktStandardEinheit"), Currency("ProduktStandardMenge"),
          Long("ProduktAlternativEinheit"), Currency("ProduktAlternativMenge"), Long("Fingerprint1"),
          Long("Fingerprint2"), Flag("Userflag")},
         {Primary("PrimaryKey", {"ID"}), Unique("ISBLS", {"SBLS"}),
          // Food searches and ingredient matching look foods up by name.
          Index("IST", {"ST"}),
          // The base-data merge finds foods by fingerprint.
          Index("IFingerprint2", {"Fingerprint2"})}});
    tables.push_back(FoodValues());
    tables.push_back({"T_BLS_FDESC",
                      {Long("DINDEX"), Text("DKEY", 10), Text("DDESC", 100), Text("DDESCE", 100),
                       Text("DDESCI", 100), Text("DDESCF", 100), Text("DDIM", 20)},
                      // Descriptors are loaded with "DINDEX>6" at every open.
                      {Index("IDINDEX", {"DINDEX"})}});
    tables.push_back({"T_BLS_TREE",
                      {Text("BLSKEY", 10), Text("BLSDesc", 100), Text("BLSDescE", 100), Text("BLSDescF", 100),
                       Text("BLSDescI", 100), Text("BLSDescS", 100)},
                      // Loaded in key order at every open.
                      {Index("IBLSKEY", {"BLSKEY"})}});
    tables.push_back({"T_BLS_INFO",
                      {Long("BLSID"), Long("KEYID"), Long("KEYTYPE"), Flag("Prefered")},
                      // The information page of a food reads its links; lexicon entries find their
                      // foods.
                      {Index("IBLSID", {"BLSID"}), Index("IKEY", {"KEYID", "KEYTYPE"})}});
}

// Lexicon and literature.
void AddLexiconTables(std::vector<TableDef>& tables)
{
    tables.push_back(
        {"T_INFO_KEY",
         {Long("ID"), Text("KEY", 100), Long("KEYTYPE"), Text("TREE", 10), Long("Sprachcode")},
         // Entries join their keywords by (ID, area); the lexicon search and the
         // synonym matching look keywords up by text; the tree lists a node's entries.
         {Index("IIDType", {"ID", "KEYTYPE"}), Index("IKEY", {"KEY"}), Index("ITREE", {"KEYTYPE", "TREE"})}});
    tables.push_back({"T_INFO_TREE",
                      {Text("KEY", 10), Long("KEYTYPE"), Text("KEYDESC", 100), Long("TrClass")},
                      // The tree of an area is read in key order.
                      {Index("IKEYTYPE", {"KEYTYPE", "KEY"})}});
    tables.push_back({"T_LEXIKON",
                      {Long("ID"), Long("Type"), Long("Language"), Memo("LexikonD"), Long("Fingerprint1"),
                       Long("Fingerprint2")},
                      // Keywords join their text by (ID, area); merges match by fingerprint.
                      {Index("IIDType", {"ID", "Type"}), Index("IFingerprint2", {"Fingerprint2"})}});
    tables.push_back({"T_GIFT",
                      {Long("ID"), Text("KEY", 16), Memo("Info"), Text("Farbe", 50), Memo("EnthaltenIn"),
                       Flag("Gefahr"), Long("Language"), Long("Fingerprint1"), Long("Fingerprint2")},
                      // Keywords of area 1 join their additive by ID.
                      {Index("IID", {"ID"}), Index("IFingerprint2", {"Fingerprint2"})}});
    tables.push_back({"T_GERAET",
                      {Long("ID"), Memo("GerMerkmalD"), Binary("GerBild"), Long("Language"),
                       Long("Fingerprint1"), Long("Fingerprint2"), Flag("Userflag")},
                      // Recipes and keywords of area 2 join their utensil by ID.
                      {Index("IID", {"ID"}), Index("IFingerprint2", {"Fingerprint2"})}});
    tables.push_back({"T_WEIN",
                      {Long("ID"),
                       Long("Language"),
                       Currency("Preis"),
                       Text("Currency", 10),
                       Long("Jahr"),
                       Text("Label", 100),
                       Long("Rating"),
                       Long("Reifevon"),
                       Long("ReifeIdeal"),
                       Long("ReifeBis"),
                       Currency("Alkohol"),
                       Text("Trauben", 255),
                       Long("ShopID"),
                       Memo("Detail"),
                       Memo("Degustation"),
                       Long0("ProduzentID"),
                       Long0("KellermeisterID"),
                       Long0("ViticulturistID"),
                       Long("Fingerprint1"),
                       Long("Fingerprint2")},
                      // A wine's rows (one per language) are read by ID.
                      {Index("IIDLanguage", {"ID", "Language"})}});
    tables.push_back(
        {"T_LITERATUR",
         {FieldDef("QuelleID", FieldType::Long, 0, true, Value(0)),
          FieldDef("Title", FieldType::Text, 64, true, Value("")),
          FieldDef("Jahrgang", FieldType::Long, 0, true, Value(0)), Text("EAN", 13),
          FieldDef("AutorID", FieldType::Long, 0, true, Value(0)),
          FieldDef("VerlagID", FieldType::Long, 0, true, Value(0)), Text("AusgabeNr", 10), Memo("Notiz"),
          Binary("DeckblattBild"), Long0("Fingerprint1"), Long0("Fingerprint2"), Text("Lagerort", 16),
          Text("Borrowed", 32), FieldDef("Rating", FieldType::Integer, 0, true, Value(0))},
         {Primary("PrimaryKey", {"QuelleID"}),
          // Sources are listed by title or by publisher, imports match by fingerprint.
          Index("ITitle", {"Title"}), Index("IVerlagID", {"VerlagID"}),
          Index("IFingerprint2", {"Fingerprint2"})}});
    tables.push_back(
        {"T_LITERATUR_CAT_NDX",
         {LongReq("ID"), LongReq("CatID"), FieldDef("CatPrimary", FieldType::Boolean, 0, true, Value(false))},
         {Primary("PrimIndex", {"ID", "CatID"}),
          // The literature tree lists the sources of a category.
          Index("ICatID", {"CatID"})}});
}

// System: schema history and program users.
void AddSystemTables(std::vector<TableDef>& tables)
{
    tables.push_back({"T_VERSION",
                      {Long("Major"), Long("Minor"), Long("Build"), Date("Date"), Text("Description", 255)},
                      {}});
    tables.push_back(
        {"T_USER",
         {LongReq("ID"), Text("Username", 50), Text("Desc", 255), Text("Pwd", 64), Long("Flags")},
         {Primary("PrimaryKey", {"ID"})}});
}

std::vector<TableDef> MakeSchema()
{
    std::vector<TableDef> tables;
    AddRecipeTables(tables);
    AddRecipeSideTables(tables);
    AddPlanningTables(tables);
    AddNutritionTables(tables);
    AddLexiconTables(tables);
    AddSystemTables(tables);
    return tables;
}

// The difference between the oldest structure the upgrade steps start from and the current one:
// the tables the steps create, the columns they add, remove or widen. InitialSchema() applies it
// backwards; the upgrade tests check that the steps lead from there to SchemaTables() exactly.
const char* const kTablesCreatedBySteps[] = {"T_LITERATUR", "T_MENU_GAST", "T_BLOB", "T_WPLevel",
                                             "T_LITERATUR_CAT_NDX"};

struct ColumnRef
{
    const char* Table;
    const char* Column;
};

const ColumnRef kColumnsAddedBySteps[] = {
    {"T_ADRESSE", "ParentID"},        {"T_ADRESSE", "Picture"},
    {"T_ADRESSE", "AliasID"},         {"T_ADRESSE", "Fingerprint1"},
    {"T_ADRESSE", "Fingerprint2"},    {"T_WEIN", "ProduzentID"},
    {"T_WEIN", "KellermeisterID"},    {"T_WEIN", "ViticulturistID"},
    {"T_REZ_KOPF", "RezQuelleID"},    {"T_REZ_KOPF", "RezQuellePage"},
    {"T_REZ_KOPF", "RezWeinTipp"},    {"T_REZ_KOPF", "WPExclude"},
    {"T_REZ_KOPF", "RezParent"},      {"T_MENU_KOPF", "MenuDatum"},
    {"T_MENU_GANG", "WeinID"},        {"T_MENU_GANG", "WPLevel"},
    {"T_MENU_GANG", "WPDay"},         {"T_CAT", "CatParent"},
    {"T_CAT", "CatWPLevel"},          {"T_CAT", "CatWPRepeat"},
    {"T_UNIT", "NoFractionOnScale"},  {"T_REZ_ZUTAT", "ZutVerarbeitung"},
    {"T_REZ_ZUTAT", "ZutZubereitung"}};

bool IsAddedByStep(const std::string& table, const std::string& column)
{
    return std::any_of(
        std::begin(kColumnsAddedBySteps), std::end(kColumnsAddedBySteps),
        [&](const ColumnRef& c) { return EqualsNoCase(c.Table, table) && EqualsNoCase(c.Column, column); });
}

} // namespace

const std::vector<TableDef>& SchemaTables()
{
    static const std::vector<TableDef> tables = MakeSchema();
    return tables;
}

std::vector<TableDef> InitialSchema()
{
    std::vector<TableDef> tables;
    for (const TableDef& current : SchemaTables()) {
        if (std::any_of(std::begin(kTablesCreatedBySteps), std::end(kTablesCreatedBySteps),
                        [&](const char* name) { return EqualsNoCase(name, current.Name); }))
            continue;
        TableDef table{current.Name, {}, {}};
        for (const FieldDef& field : current.Fields) {
            if (IsAddedByStep(current.Name, field.Name))
                continue;
            table.Fields.push_back(field);
            // 001.10.095 widened the menu-card title from the size it had before.
            if (EqualsNoCase(current.Name, "T_REZ_KOPF") && EqualsNoCase(field.Name, "RezMenuCard"))
                table.Fields.back().Size = 50;
        }
        if (EqualsNoCase(current.Name, "T_REZ_KOPF")) {
            // Removed by 001.10.090 (a lexicon reference for the wine) and 001.19.109 (the picture
            // file, moved to T_BLOB by 001.19.107).
            table.Fields.push_back(Long("RezWeinLexID"));
            table.Fields.push_back(Text("RezBild", 255));
        }
        // Indexes over a column the steps add come with the upgrade.
        for (const IndexDef& index : current.Indexes)
            if (std::none_of(index.Columns.begin(), index.Columns.end(),
                             [&](const std::string& c) { return IsAddedByStep(current.Name, c); }))
                table.Indexes.push_back(index);
        tables.push_back(std::move(table));
    }
    return tables;
}

std::string InitialSchemaVersion()
{
    return "000.50.073";
}

const TableDef* FindSchemaTable(const std::string& name)
{
    for (const TableDef& table : SchemaTables())
        if (EqualsNoCase(table.Name, name))
            return &table;
    return nullptr;
}

void CreateTables(Database& db, const std::vector<TableDef>& tables)
{
    DbTransaction transaction(db);
    for (const TableDef& table : tables)
        db.CreateTable(table);
    CreateChangeStamps(db);
    transaction.Commit();
}

} // namespace pf
