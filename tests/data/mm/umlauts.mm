MMMMM----- Recipe via Meal-Master (tm) v8.05
      Title: Kaese mit Soße

      1    Gr=FCnkohl

  Kochen.
MMMMM
