
MMMMM----- Recipe Meal-Master via Pfannola 2.00.126

      Title: Käsespätzle mit Röstzwiebeln
 Categories: Vorspeise, Kalte Vorspeise
      Yield: 4 Portionen

    400 g  Mehl
      4 ea Eier; verquirlt
MMMMM----------------------Für die Käsemischung-----------------------
    250 g  Frisch geriebener
           - Emmentaler oder Bergkäse,
           - gemischt
  1 1/2 tb Butter
           Salz und Pfeffer
    500 g  Zwiebeln; in feine Ringe
           - geschnitten
    1/4 ts Muskat (frisch gerieben)

Mehl, Eier und etwas Salz zu einem zähen Teig verrühren und so lange schlagen, bis er Blasen wirft.

Den Teig durch ein Spätzlebrett (oder eine Presse) in kochendes
Salzwasser schaben. Sobald die Spätzle oben schwimmen, mit einer
Schaumkelle herausheben und abwechselnd mit dem Käse in eine Form
schichten.
Zwiebeln in Butter bräunen und darübergeben.

:Fingerprint: 1234567,7654321,Pfannola

MMMMM

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

MMMMM----- Recipe Meal-Master via Pfannola 2.00.126

      Title: Spätzlesuppe 'Schwäbische Art'
 Categories: Vorspeise
      Yield: 4 Portionen

           Gemüsebrühe
    200 g  Käsespätzle
      1 ea Bund Schnittlauch; in
           - Röllchen

Schritt 1: Die Brühe erhitzen, die Spätzle hineingeben und alles bei
kleiner Hitze ziehen lassen, dabei gelegentlich umrühren.
Schritt 2: Die Brühe erhitzen, die Spätzle hineingeben und alles bei
kleiner Hitze ziehen lassen, dabei gelegentlich umrühren.
Schritt 3: Die Brühe erhitzen, die Spätzle hineingeben und alles bei
kleiner Hitze ziehen lassen, dabei gelegentlich umrühren.
Schritt 4: Die Brühe erhitzen, die Spätzle hineingeben und alles bei
kleiner Hitze ziehen lassen, dabei gelegentlich umrühren.
Schritt 5: Die Brühe erhitzen, die Spätzle hineingeben und alles bei
kleiner Hitze ziehen lassen, dabei gelegentlich umrühren.
Schritt 6: Die Brühe erhitzen, die Spätzle hineingeben und alles bei
kleiner Hitze ziehen lassen, dabei gelegentlich umrühren.
Schritt 7: Die Brühe erhitzen, die Spätzle hineingeben und alles bei
kleiner Hitze ziehen lassen, dabei gelegentlich umrühren.
Schritt 8: Die Brühe erhitzen, die Spätzle hineingeben und alles bei
kleiner Hitze ziehen lassen, dabei gelegentlich umrühren.

:Fingerprint: -5,99,Pfannola

MMMMM
