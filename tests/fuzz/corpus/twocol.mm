---------- Recipe via Meal-Master (tm) v8.02

      Title: "Best" Pancakes
 Categories: Breakfast
   Servings: 4

  1 1/2 c  flour                             1/2 ts salt
      2 tb sugar                               1    egg
  1 1/4 c  milk
-------------------------------TOPPING-------------------------------
      1 c  blueberries                         2 tb maple syrup

  Mix the dry ingredients. Whisk in the milk and the egg.
  Bake on a hot griddle until golden.

-----

Some stray text between the recipes.

---------- Recipe via Meal-Master (tm) v8.02

      Title: Tomato Soup
 Categories: Soups, Vegetarian
      Yield: 0

      2 lb tomatoes; peeled
      1    onion; chopped
      1 qt water
           Salt and pepper to taste

  Simmer everything for 30 minutes and puree.

-----
