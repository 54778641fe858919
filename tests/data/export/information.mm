
MMMMM----- Recipe Meal-Master via Pfannola 2.00.126

      Title: Käsespätzle mit Röstzwiebeln
 Categories: Vorspeise, Kalte Vorspeise
      Yield: 8 Portionen

    800 g  Mehl
      8 ea Eier; verquirlt
MMMMM----------------------Für die Käsemischung-----------------------
    500 g  Frisch geriebener
           - Emmentaler oder Bergkäse,
           - gemischt
      3 tb Butter
           Salz und Pfeffer
   1000 g  Zwiebeln; in feine Ringe
           - geschnitten
    1/2 ts Muskat (frisch gerieben)

Mehl, Eier und etwas Salz zu einem zähen Teig verrühren und so lange schlagen, bis er Blasen wirft.

Den Teig durch ein Spätzlebrett (oder eine Presse) in kochendes
Salzwasser schaben. Sobald die Spätzle oben schwimmen, mit einer
Schaumkelle herausheben und abwechselnd mit dem Käse in eine Form
schichten.
Zwiebeln in Butter bräunen und darübergeben.

:Fingerprint: 1234567,7654321,Pfannola

MMMMM
EEEEE-----Aditional Recipe Informations
     Origin: Deutschland
        BLS: B100000,,,,,,M111000,,,,
    Notices: Schmeckt auch am nächsten Tag, in der Pfanne mit etwas
             Butter aufgebraten. Dazu passt ein grüner Salat.
EEEEE

MMMMM----- Recipe Meal-Master via Pfannola 2.00.126

      Title: Gemüsebrühe
 Categories: Vorspeise
      Yield: 2 Portionen

      1 l  Wasser
      2 ea Möhren
    1/2 ea Sellerieknolle; geschält
      1 pn Salz

Gemüse putzen, grob schneiden und in Wasser eine Stunde köcheln
lassen. Abseihen.

MMMMM
