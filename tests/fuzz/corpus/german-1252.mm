MMMMM----- Recipe via Meal-Master (tm) v8.05

      Title: Würzige Käsespätzle
 Categories: Hauptgerichte, Käse
      Yield: 4 Portionen

    400 g  Mehl
      4    Eier
    200 g  Bergkäse; gerieben
      2    Zwiebeln; in Ringe geschnitten
      1 pn Muskatnuß

  Aus Mehl, Eiern und Wasser einen zähen Teig schlagen und
  portionsweise in kochendes Salzwasser schaben.

  Spätzle mit Käse schichten, mit gerösteten Zwiebeln servieren.

MMMMM
