MMMMM----- Recipe via Meal-Master (tm) v8.05

      Title: Kartoffelsuppe
 Categories: Deutsch
      Yield: 4 Portionen

    750 g  Kartoffeln, mehligkochend
      2    Möhren
      1    Stange Lauch
      1    Zwiebel
      1 l  Gemüsebrühe
    200 ml Sahne
      2 EL Butter
           Salz
           Pfeffer
      1 Bd Petersilie, gehackt

  Alles nach Anleitung zubereiten.

MMMMM

MMMMM----- Recipe via Meal-Master (tm) v8.05

      Title: Pfannkuchen
 Categories: Deutsch
      Yield: 4 Portionen

    250 g  Weizenmehl
      3    Eier
    500 ml Milch
      1 Pr Salz
      2 EL Öl

  Alles nach Anleitung zubereiten.

MMMMM

MMMMM----- Recipe via Meal-Master (tm) v8.05

      Title: Rinderrouladen
 Categories: Deutsch
      Yield: 4 Portionen

      4    Rinderrouladen
      4    Scheiben Speck
      2    Gewürzgurken
      1    Zwiebel
      2 TL Senf
      2 EL Öl
    250 ml Rotwein
    250 ml Fleischbrühe
           Salz und Pfeffer

  Alles nach Anleitung zubereiten.

MMMMM

MMMMM----- Recipe via Meal-Master (tm) v8.05

      Title: Apfelkuchen
 Categories: Deutsch
      Yield: 12 Stücke

    200 g  Butter
    150 g  Zucker
      1 Pk Vanillezucker
      3    Eier
    300 g  Mehl
      1 Pk Backpulver
      1 kg Äpfel
      1    Zitrone, Saft davon
     50 g  Mandeln, gehobelt

  Alles nach Anleitung zubereiten.

MMMMM

MMMMM----- Recipe via Meal-Master (tm) v8.05

      Title: Gulasch
 Categories: Deutsch
      Yield: 6 Portionen

      1 kg Rindfleisch
    500 g  Zwiebeln
      3 EL Schweineschmalz
      2 EL Paprikapulver, edelsüß
      2 EL Tomatenmark
      1    Knoblauchzehe
      1 TL Kümmel
    750 ml Rinderbrühe
           Salz

  Alles nach Anleitung zubereiten.

MMMMM

MMMMM----- Recipe via Meal-Master (tm) v8.05

      Title: Linsensuppe
 Categories: Deutsch
      Yield: 4 Portionen

    250 g  Linsen
      1    Zwiebel
      2    Möhren
    100 g  Knollensellerie
    200 g  Kartoffeln
      1 l  Gemüsebrühe
      2    Wiener Würstchen
      2 EL Essig

  Alles nach Anleitung zubereiten.

MMMMM

MMMMM----- Recipe via Meal-Master (tm) v8.05

      Title: Käsespätzle
 Categories: Deutsch
      Yield: 4 Portionen

    400 g  Mehl
      4    Eier
    100 ml Wasser
    200 g  Emmentaler, gerieben
      3    Zwiebeln
      3 EL Butter
      1 Pr Muskat

  Alles nach Anleitung zubereiten.

MMMMM

MMMMM----- Recipe via Meal-Master (tm) v8.05

      Title: Gurkensalat
 Categories: Deutsch
      Yield: 4 Portionen

      1    Salatgurke
    150 g  Joghurt
      1 EL Zitronensaft
      1 TL Zucker
      1 Bd Dill

  Alles nach Anleitung zubereiten.

MMMMM

MMMMM----- Recipe via Meal-Master (tm) v8.05

      Title: Kartoffelsalat
 Categories: Deutsch
      Yield: 6 Portionen

      1 kg festkochende Kartoffeln
      1    rote Zwiebel
    200 ml Fleischbrühe
      4 EL Weißweinessig
      5 EL Sonnenblumenöl
      1 TL Senf
      1 Bd Schnittlauch

  Alles nach Anleitung zubereiten.

MMMMM

MMMMM----- Recipe via Meal-Master (tm) v8.05

      Title: Schnitzel Wiener Art
 Categories: Deutsch
      Yield: 4 Portionen

      4    Schweineschnitzel
      2    Eier
    100 g  Semmelbrösel
     50 g  Mehl
    100 ml Butterschmalz
      1    Zitrone

  Alles nach Anleitung zubereiten.

MMMMM

MMMMM----- Recipe via Meal-Master (tm) v8.05

      Title: Erbsensuppe
 Categories: Deutsch
      Yield: 4 Portionen

    500 g  Erbsen, tiefgekühlt
      1    Zwiebel
      1 l  Brühe
    100 g  Schinkenwürfel
    100 ml Schlagsahne

  Alles nach Anleitung zubereiten.

MMMMM

MMMMM----- Recipe via Meal-Master (tm) v8.05

      Title: Quarkauflauf
 Categories: Deutsch
      Yield: 4 Portionen

    500 g  Magerquark
      3    Eier
    100 g  Zucker
     50 g  Grieß
      1 Pk Vanillinzucker
    250 g  Kirschen

  Alles nach Anleitung zubereiten.

MMMMM

MMMMM----- Recipe via Meal-Master (tm) v8.05

      Title: Bratkartoffeln
 Categories: Deutsch
      Yield: 2 Portionen

    600 g  Pellkartoffeln
      1    Zwiebel
     60 g  durchwachsener Speck
      2 EL Rapsöl

  Alles nach Anleitung zubereiten.

MMMMM

MMMMM----- Recipe via Meal-Master (tm) v8.05

      Title: Spaghetti Bolognese
 Categories: Deutsch
      Yield: 4 Portionen

    400 g  Spaghetti
    500 g  Hackfleisch, gemischt
      1    Zwiebel
      2    Knoblauchzehen
      1 Ds Tomaten, gehackt
      2 EL Olivenöl
     50 g  Parmesan

  Alles nach Anleitung zubereiten.

MMMMM

MMMMM----- Recipe via Meal-Master (tm) v8.05

      Title: Hühnerfrikassee
 Categories: Deutsch
      Yield: 4 Portionen

      1    Suppenhuhn
    200 g  Champignons
    150 g  Erbsen
     40 g  Butter
     40 g  Mehl
    125 ml Sahne
      1 EL Zitronensaft
      1 Pr Zucker

  Alles nach Anleitung zubereiten.

MMMMM

MMMMM----- Recipe via Meal-Master (tm) v8.05

      Title: Rotkohl
 Categories: Deutsch
      Yield: 6 Portionen

      1    Rotkohl
      2    Äpfel
      1    Zwiebel
      2 EL Schmalz
      3 EL Rotweinessig
      2 EL Zucker
      2    Lorbeerblätter
      3    Nelken

  Alles nach Anleitung zubereiten.

MMMMM

MMMMM----- Recipe via Meal-Master (tm) v8.05

      Title: Zwiebelkuchen
 Categories: Deutsch
      Yield: 8 Stücke

    400 g  Mehl
    1/2    Würfel Hefe
    200 ml Milch, lauwarm
      1 kg Zwiebeln
    150 g  Speck
    200 g  Schmand
      3    Eier
      1 TL Kümmel

  Alles nach Anleitung zubereiten.

MMMMM

MMMMM----- Recipe via Meal-Master (tm) v8.05

      Title: Grießbrei
 Categories: Deutsch
      Yield: 2 Portionen

    500 ml Vollmilch
     60 g  Hartweizengrieß
      2 EL Zucker
      1 Pr Salz
      1    Ei

  Alles nach Anleitung zubereiten.

MMMMM

MMMMM----- Recipe via Meal-Master (tm) v8.05

      Title: Forelle Müllerin
 Categories: Deutsch
      Yield: 2 Portionen

      2    Forellen
      3 EL Mehl
     60 g  Butter
      1    Zitrone
      2 EL Petersilie

  Alles nach Anleitung zubereiten.

MMMMM

MMMMM----- Recipe via Meal-Master (tm) v8.05

      Title: Obstsalat
 Categories: Deutsch
      Yield: 4 Portionen

      2    Bananen
      2    Orangen
      1    Apfel
    200 g  Weintrauben
      2    Kiwis
      1 EL Honig

  Alles nach Anleitung zubereiten.

MMMMM

MMMMM----- Recipe via Meal-Master (tm) v8.05

      Title: Tomatensuppe
 Categories: Deutsch
      Yield: 4 Portionen

      1 kg Tomaten
      1    Zwiebel
      1    Knoblauchzehe
    500 ml Gemüsebrühe
    100 g  Crème fraîche
      1 TL Zucker
      1 Bd Basilikum

  Alles nach Anleitung zubereiten.

MMMMM

MMMMM----- Recipe via Meal-Master (tm) v8.05

      Title: Rührei
 Categories: Deutsch
      Yield: 2 Portionen

      4    Eier
      4 EL Milch
      1 EL Butter
      1 Pr Salz
      1 EL Schnittlauchröllchen

  Alles nach Anleitung zubereiten.

MMMMM

MMMMM----- Recipe via Meal-Master (tm) v8.05

      Title: Sauerkraut mit Kassler
 Categories: Deutsch
      Yield: 4 Portionen

    800 g  Sauerkraut
      4    Scheiben Kassler
      1    Zwiebel
      1 TL Wacholderbeeren
    200 ml Apfelsaft
      1 kg Kartoffeln

  Alles nach Anleitung zubereiten.

MMMMM

MMMMM----- Recipe via Meal-Master (tm) v8.05

      Title: Marmorkuchen
 Categories: Deutsch
      Yield: 16 Stücke

    250 g  Margarine
    200 g  Zucker
      4    Eier
    375 g  Mehl
      1 Pk Backpulver
    125 ml Milch
      2 EL Kakao

  Alles nach Anleitung zubereiten.

MMMMM

MMMMM----- Recipe via Meal-Master (tm) v8.05

      Title: Paprikagemüse
 Categories: Deutsch
      Yield: 4 Portionen

      2    rote Paprikaschoten
      2    gelbe Paprika
      1    Zucchini
      1    Zwiebel
      2 EL Olivenöl
           Salz, Pfeffer

  Alles nach Anleitung zubereiten.

MMMMM

MMMMM----- Recipe via Meal-Master (tm) v8.05

      Title: Milchreis
 Categories: Deutsch
      Yield: 4 Portionen

      1 l  Milch
    200 g  Milchreis
      3 EL Zucker
      1    Vanilleschote
      1 Pr Zimt

  Alles nach Anleitung zubereiten.

MMMMM

MMMMM----- Recipe via Meal-Master (tm) v8.05

      Title: Kohlrouladen
 Categories: Deutsch
      Yield: 4 Portionen

      1    Weißkohl
    500 g  Rinderhack
      1    Brötchen vom Vortag
      1    Ei
      1    Zwiebel
    400 ml Brühe
      2 EL saure Sahne

  Alles nach Anleitung zubereiten.

MMMMM

MMMMM----- Recipe via Meal-Master (tm) v8.05

      Title: Brokkoli-Auflauf
 Categories: Deutsch
      Yield: 4 Portionen

    500 g  Brokkoli
    300 g  Nudeln
    200 g  gekochter Schinken
    200 ml Sahne
    150 g  Gouda, gerieben
      2    Eier

  Alles nach Anleitung zubereiten.

MMMMM

MMMMM----- Recipe via Meal-Master (tm) v8.05

      Title: Heringssalat
 Categories: Deutsch
      Yield: 4 Portionen

      6    Matjesfilets
      2    Äpfel
      1    Zwiebel
      3    Rote Bete, gekocht
    150 g  Mayonnaise
    150 g  Joghurt

  Alles nach Anleitung zubereiten.

MMMMM

MMMMM----- Recipe via Meal-Master (tm) v8.05

      Title: Zitronenkuchen
 Categories: Deutsch
      Yield: 12 Stücke

    250 g  weiche Butter
    250 g  Puderzucker
      4    Eier
    250 g  Mehl
      2 TL Backpulver
      2    Bio-Zitronen

  Alles nach Anleitung zubereiten.

MMMMM

