
MMMMM----- Recipe Meal-Master via Pfannola 2.00.126

      Title: K„sesp„tzle mit R”stzwiebeln
 Categories: Vorspeise, Kalte Vorspeise
      Yield: 4 Portionen

    400 g  Mehl
      4 ea Eier; verquirlt
MMMMM----------------------Fr die K„semischung-----------------------
    250 g  Frisch geriebener
           - Emmentaler oder Bergk„se,
           - gemischt
  1 1/2 tb Butter
           Salz und Pfeffer
    500 g  Zwiebeln; in feine Ringe
           - geschnitten
    1/4 ts Muskat (frisch gerieben)

Mehl, Eier und etwas Salz zu einem z„hen Teig verrhren und so lange schlagen, bis er Blasen wirft.

Den Teig durch ein Sp„tzlebrett (oder eine Presse) in kochendes
Salzwasser schaben. Sobald die Sp„tzle oben schwimmen, mit einer
Schaumkelle herausheben und abwechselnd mit dem K„se in eine Form
schichten.
Zwiebeln in Butter br„unen und darbergeben.

:Fingerprint: 1234567,7654321,Pfannola

MMMMM
