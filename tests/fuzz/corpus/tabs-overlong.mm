MMMMM----- Recipe via Meal-Master (tm) v8.05

      Title: Tabs und lange Zeilen
 Categories: Test
      Yield: 2

  1 1/2	c  rice
      2 c  chicken stock, preferably homemade and unsalted
      1 x  parsley

	Cook the rice in the stock.
MMMMM
