
MMMMM----- Recipe Meal-Master via Pfannola 2.00.126

      Title: Kaesespaetzle mit Roestzwiebeln
 Categories: Vorspeise, Kalte Vorspeise
      Yield: 4 Portionen

    400 g  Mehl
      4 ea Eier; verquirlt
MMMMM----------------------Fuer die Kaesemischung-----------------------
    250 g  Frisch geriebener
           - Emmentaler oder Bergkaese,
           - gemischt
  1 1/2 tb Butter
           Salz und Pfeffer
    500 g  Zwiebeln; in feine Ringe
           - geschnitten
    1/4 ts Muskat (frisch gerieben)

Mehl, Eier und etwas Salz zu einem zaehen Teig verruehren und so lange schlagen, bis er Blasen wirft.

Den Teig durch ein Spaetzlebrett (oder eine Presse) in kochendes
Salzwasser schaben. Sobald die Spaetzle oben schwimmen, mit einer
Schaumkelle herausheben und abwechselnd mit dem Kaese in eine Form
schichten.
Zwiebeln in Butter braeunen und daruebergeben.

:Fingerprint: 1234567,7654321,Pfannola

MMMMM
