MMMMM----- Recipe via Meal-Master (tm) v8.05

      Title: Linsensuppe
 Categories: Suppen
      Yield: 6

    500 g  Linsen
      2    Karotten
MMMMM------------------------QUELLE-------------------------------
                          Kochbuch der Gemeinde
                         -- Erfasst von Hans Muster

  Linsen über Nacht einweichen und mit den Karotten kochen.

MMMMM
EEEEE-----Aditional Recipe Informations
     Origin: Deutschland
    Notices: Mit Essig abschmecken.
EEEEE
