MMMMM----- Recipe via Meal-Master (tm) v8.05
      Title: Mit Schluesseln

    500 g  Frisch geriebener
           - Emmentaler
      3 tb Butter

Schmelzen.

MMMMM
EEEEE-----Aditional Recipe Informations
        BLS: ,,M111000
EEEEE
