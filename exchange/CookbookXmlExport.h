#pragma once
// The cookbook XML export for mobile cookbook applications (modes 70 to the clipboard, 71 to a
// file): a plain UTF-8 document that such an application can take apart with any XML parser.
//
//   <kochbuch programm="…" version="…">
//     <rezept nummer="ID" sprache="DE">
//       <titel>, <portionen anzahl="N">unit</portionen>, <kategorie> per category, <quelle>,
//       <zeiten vorbereitung="min" kochen="min" /> when either is set,
//       <zutaten [titel="heading"]> per ingredient group with
//         <zutat menge="1.5" einheit="EL" [rezept="sub-recipe ID"] [hinweis="note"] [zubereitung="…"]>
//         text</zutat>,
//       <zubereitung> with one <schritt> per non-empty line, <notizen> with one <zeile> per line,
//       <bild format="jpg"> with the first picture as Base64 (unless pictures are switched off)
//     </rezept>
//   </kochbuch>
//
// Amounts carry "." as decimal separator; texts are escaped and reduced by the line sink to the
// characters the exchange formats carry.

namespace pf {

class ClRecipe;
class clsRecipeExport;

void CookbookXmlMediaInit(clsRecipeExport& engine);
void ExportCookbookXmlRecipe(clsRecipeExport& engine, ClRecipe& recipe);
void CookbookXmlMediaClose(clsRecipeExport& engine);

} // namespace pf
