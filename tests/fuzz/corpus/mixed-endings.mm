MMMMM----- Recipe via Meal-Master (tm) v8.05

      Title: Gemischte Zeilen
 Categories: Test      Yield: 2 Servings

    100 g  Zucker      1    Ei

  Verruehren.Fertig.
MMMMM
