MMMMM----- Recipe via Meal-Master (tm) v8.05

      Title: Wrzige K„sesp„tzle
 Categories: Hauptgerichte, K„se
      Yield: 4 Portionen

    400 g  Mehl
      4    Eier
    200 g  Bergk„se; gerieben
      2    Zwiebeln; in Ringe geschnitten
      1 pn Muskatnuá

  Aus Mehl, Eiern und Wasser einen z„hen Teig schlagen und
  portionsweise in kochendes Salzwasser schaben.

  Sp„tzle mit K„se schichten, mit ger”steten Zwiebeln servieren.

MMMMM
