Aus der Sammlung von Tante Erna, bitte nicht weitergeben.

MMMMM----- Recipe via Meal-Master (tm) v8.06

      Title: Apfelkuchen vom Blech
 Categories: Backen, Kuchen, Vorlage
      Yield: 1 Blech

    500 g  Mehl
    1/2 l  Milch
  1 1/2 ts Salz
      3    Eier; verquirlt
    250 g  Butter; weich, in Stuecken, nicht zu
           - kalt aus dem Kuehlschrank
           Zimt
MMMMM-------------------------BELAG--------------------------------
      1 kg Aepfel; geschaelt
      2 tb Zucker

  Den Teig aus Mehl, Milch, Salz und Eiern ruehren.
  Die Butter unterkneten.

  Die Aepfel auf dem Teig verteilen und bei 180 Grad
  40 Minuten backen.

:Notizen: Schmeckt auch kalt.
:Fingerprint: 1015412,2097153,Pfannola

MMMMM

Zwischentext, der zu keinem Rezept gehoert.
