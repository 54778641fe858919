The ways Meal-Master and Rezkonv recipes are laid out, one recipe each, with a line before
each recipe that says what it shows. What the reader makes of them is kept in mm-read/layouts.txt.

An empty heading with a stray control character.

MMMMM----- Recipe via Meal-Master (tm) v8.05
      Title: Leere Ueberschrift

      1 c  flour
MMMMM-------------------------
      2 tb sugar

  Mix.
MMMMM

A rule whose text parts clean to nothing.

MMMMM----- Recipe via Meal-Master (tm) v8.05
      Title: Leere Linie

      1 c  flour
------------- - == -------------
      2 tb sugar

  Mix.
MMMMM

An empty Rezkonv rule among the ingredients.

========== REZKONV-Rezept ==========
     Titel: Leere Rezkonv-Linie

    100     Gramm  Zucker
==================  ============================
      1     Stück  Minze

  Mix.
=====

A Rezkonv amount typed past its columns.

========== REZKONV-Rezept ==========
     Titel: Verrutschte Mengen

    100     Gramm  Zucker
   1 1/2 Liter Milch
     250 g Mehl
      1     Stück  Minze

  Mix.
=====

Padding inside an ingredient text.

MMMMM----- Recipe via Meal-Master (tm) v8.05
      Title: Luecken im Text

      1 c  flour          sifted
           - twice   over

  Mix.
MMMMM

A fraction an earlier export broke after the slash.

MMMMM----- Recipe via Meal-Master (tm) v8.05
      Title: Gebrochener Bruch

      1 c  Weizen-Dinkel-Mischung, davon 1/
           - 2 gesiebt

  Die Zwiebeln mit 1/
  2 Tasse Mehl bestauben.
MMMMM

A heading without a text after it.

MMMMM----- Recipe via Meal-Master (tm) v8.05
      Title: Ueberschrift ohne Fuellung

      1 c  flour
  MMMMM------------Sauce
      2 tb sugar

  Mix.
MMMMM

Amounts of earlier exports.

MMMMM----- Recipe via Meal-Master (tm) v8.05
      Title: Alte Mengen

  1 1/2 c  flour
 2 0.95 g  salt
   2.95 g  sugar
   2,95 g  yeast

  Bake.
MMMMM

Paragraphs that begin with a number.

MMMMM----- Recipe via Meal-Master (tm) v8.05
      Title: Absaetze mit Zahlen

      1 c  flour

2 Std.

1 cup.

  Bake.
MMMMM

Codes that are no quoted-printable.

MMMMM----- Recipe via Meal-Master (tm) v8.05
      Title: Keine Codes

      1 l  Wasser=DF

  Ofen=C4 auf 180°C vorheizen.
MMMMM

Ranges.

MMMMM----- Recipe via Meal-Master (tm) v8.05
      Title: Spannen

    1-2 tb sugar
1-1 1/2 c  milk; warm
  1 - 2    eggs

  Mix.
MMMMM

Rules inside the preparation.

MMMMM----- Recipe via Meal-Master (tm) v8.05
      Title: Linien in der Zubereitung

      1 c  flour

  Mix.
  ==========================
  Serve.
  --------------------
  Enjoy.
MMMMM

The lines of a paragraph, lists and tables.

MMMMM----- Recipe via Meal-Master (tm) v8.05
      Title: Absaetze, Listen und Tabellen

      1 c  flour

  Die Zwiebeln mit 1/2 Tasse Weizen-Dinkel-Mischung bestauben und unter
  Ruehren anbraten.
  - Salz
  - Pfeffer
  Backzeit: 40 Min.
  Hitze: 180 Grad
MMMMM

Texts after a lone ";" that begin like a continuation or a heading.

MMMMM----- Recipe via Meal-Master (tm) v8.05
      Title: Texte nach Semikolon

      1 c  flour
           ; - ganz fein
           ; MMMMM----- Deko

  Mix.
MMMMM

A note that fills its 64 characters over two lines.

MMMMM----- Recipe via Meal-Master (tm) v8.05
      Title: Volle Anmerkung

      1 c  flour; aaaaaaaaaaaaaaaaaaaaaaaaaaaaaa
           - bbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbb

  Mix.
MMMMM

A word cut hard in a long ingredient.

MMMMM----- Recipe via Meal-Master (tm) v8.05
      Title: Hart getrenntes Wort

      1 g  Zitronenschalenabriebundvan-
           - illezucker; fein

  Mix.
MMMMM

A word that is no unit ends the list; a later block is preparation.

MMMMM----- Recipe via Meal-Master (tm) v8.05
      Title: Keine Einheit

      1 c  flour
      2 zz not a unit here
  Stir well.

      3 tb more text that looks like an ingredient

  Serve.
MMMMM

A later block without heading continues the list.

MMMMM----- Recipe via Meal-Master (tm) v8.05
      Title: Zweiter Block

      1 c  flour

      2    eggs

  Mix.
MMMMM

The preparation right after the ingredients; a capital T and a three-letter unit.

MMMMM----- Recipe via Meal-Master (tm) v8.05
      Title: Ohne Leerzeile

      2 T  butter
      1 pkg yeast
  Melt the butter and stir in the yeast.
  Let it rise.
MMMMM

Ingredients without fixed columns.

---------- Recipe via Meal-Master (tm) v8.02
      Title: Ohne Spalten
     Yield: 2

1 1/2 cups flour
2 eggs, beaten
salt
250 g butter

Mix it all.
-----

A preparation that begins with a number.

---------- Recipe via Meal-Master (tm) v8.02
      Title: Zubereitung mit Zahl
     Yield: 2

2 hours later bake it.
3 minutes more if needed
-----

The right column shifted by hand.

MMMMM----- Recipe via Meal-Master (tm) v8.05
      Title: Verschobene Spalte

      1    chicken, 3-4 lb, cut up               2 c  flour
      2 qt water                                 1 tb baking powder
           salt and pepper to taste            3/4 c  milk

  Simmer.
MMMMM

Rezkonv headings against the fill; a preparation beginning with a number.

========== REZKONV-Rezept ==========
     Titel: Rezkonv-Ueberschriften

=====CARAMEL===
    100     Gramm  Zucker
==================DEKO====================
      1     Stück  Minze

      2 Eier trennen, das Eiweiß steif schlagen.

  1/2 5 Minuten rühren.

=====

A recipe quoted in a mail.

Am Montag schrieb Erna:
> MMMMM----- Recipe via Meal-Master (tm) v8.05
>
>       Title: Zitiert
>       Yield: 2
>
>     250 g  Quark
>
>   Verruehren.
>
> MMMMM

Quotes around the title go; an unknown yield unit reads as the recipe.

MMMMM----- Recipe via Meal-Master (tm) v8.05

      Title: 'Listen'
      Yield: 4 keine angabe

      1 c  flour

Note: serve hot.
MMMMM

Other head fields become notes.

MMMMM----- Recipe via Meal-Master (tm) v8.05

      Title: Kopf
  Preparation Time: 0:30
      Yield: 2

      1 c  flour

Note: serve hot.
MMMMM

Categories over two lines.

MMMMM----- Recipe via Meal-Master (tm) v8.05
      Title: Kekse
 Categories: Cakes, Desserts,
             Cookies

      1 c  flour

Note: serve hot.
MMMMM

A yield with a fraction and a unit.

MMMMM----- Recipe via Meal-Master (tm) v8.05
      Title: Brot
      Yield: 1 1/2 loaves

      1 c  flour

Note: serve hot.
MMMMM

A yield unit cut to its 50 characters just before a blank keeps no blank at its end.

MMMMM----- Recipe via Meal-Master (tm) v8.05
      Title: Brot
      Yield: 2 xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx Laibe

      1 c  flour

Note: serve hot.
MMMMM

An ingredient line that ends in a semicolon loses it and the blanks before it.

MMMMM----- Recipe via Meal-Master (tm) v8.05
      Title: Semikolon
      1 c  flour, sifted ;
      2 tb sugar;

  Mix.
MMMMM


Amounts meant only roughly; another word in the amount column still ends the list.

MMMMM----- Recipe via Meal-Master (tm) v8.05
      Title: Ungefaehre Mengen

  ca. 2 EL Milch
   ca 1 l  Wasser; warm
 etwa 3    Eier
     ~2 TL Salz
ca. 1-2 tb sugar
      x    Rest

  ca. 2 Stunden ruhen lassen.
MMMMM

A line of "=" in the indented preparation of a Rezkonv recipe is text; only "=====" at the
start of a line ends the recipe.

========== REZKONV-Rezept ==========
     Titel: Gleichheitszeichen

      2     Stück  Eier

  Eier verquirlen.

  =====

  In der Pfanne stocken lassen.
=====

Ranges typed with an en dash, spaced or not, read as "2-3" does and keep the list going; so
does a word that stands for the amount, kept before the note.

MMMMM----- Recipe via Meal-Master (tm) v8.05
      Title: Spannen mit Halbgeviertstrich

    2–3    Eier
  2 – 3 tb Milch
   n.B. pn Salz; fein
  etwas    Pfeffer
      1 tb Butter

  Braten.
MMMMM

A line framed by "=" in a Meal-Master preparation is text, on a line of its own.

MMMMM----- Recipe via Meal-Master (tm) v8.05
      Title: Tipp im Text

      2    Eier

Eier verquirlen.

===== Tipp =====
Mit Schnittlauch servieren.
MMMMM

A rough Rezkonv amount needs a unit in its columns or the text from column 20; the preparation,
indented by two blanks and right after the list, may begin with such a word.

========== REZKONV-Rezept ==========
     Titel: Ungefaehre Rezkonv-Mengen

    500     Gramm  Kartoffeln
  etwas            Pfeffer
  ca. 2 Esslöffel  Öl
  Etwas Öl in einer Pfanne erhitzen, die Kartoffeln darin braten.
  Zwiebel dazugeben.
=====

========== REZKONV-Rezept ==========
     Titel: Rezkonv-Zubereitung mit ca.

    500     Gramm  Mehl
  ca. 1 Std. gehen lassen.

  Dann backen.
=====
