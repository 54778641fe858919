MMMMM----- Recipe via Meal-Master (tm) v8.05

      Title: Pancakes
 Categories: Main dish
      Yield: 4 servings

  1 1/2 c  all-purpose flour
      2 tb sugar
      1 tb baking powder
    1/2 ts salt
  1 1/4 c  milk
      1    egg
      3 tb butter, melted

  Cook as usual.

MMMMM

MMMMM----- Recipe via Meal-Master (tm) v8.05

      Title: Beef Stew
 Categories: Main dish
      Yield: 6 servings

      2 lb beef chuck, cubed
      3 tb vegetable oil
      2    onions, chopped
      3    carrots, sliced
      4    potatoes, peeled
      2 c  beef broth
      1 tb tomato paste
      2    bay leaves
           salt and pepper

  Cook as usual.

MMMMM

MMMMM----- Recipe via Meal-Master (tm) v8.05

      Title: Chocolate Chip Cookies
 Categories: Main dish
      Yield: 36 cookies

  2 1/4 c  flour
      1 ts baking soda
      1 c  butter, softened
    3/4 c  granulated sugar
    3/4 c  brown sugar
      2    large eggs
      1 ts vanilla extract
      2 c  chocolate chips

  Cook as usual.

MMMMM

MMMMM----- Recipe via Meal-Master (tm) v8.05

      Title: Tomato Soup
 Categories: Main dish
      Yield: 4 servings

      2 lb tomatoes
      1    onion
      2    garlic cloves
      2 c  chicken broth
    1/2 c  heavy cream
      1 tb olive oil
      1 ts sugar

  Cook as usual.

MMMMM

MMMMM----- Recipe via Meal-Master (tm) v8.05

      Title: Caesar Salad
 Categories: Main dish
      Yield: 4 servings

      1    head romaine lettuce
    1/2 c  parmesan cheese, grated
      2 c  croutons
    1/4 c  olive oil
      1    lemon, juiced
      2    anchovy fillets
      1    egg yolk

  Cook as usual.

MMMMM

MMMMM----- Recipe via Meal-Master (tm) v8.05

      Title: Banana Bread
 Categories: Main dish
      Yield: 1 loaf

      3    ripe bananas
    1/3 c  butter, melted
    3/4 c  sugar
      1    egg, beaten
      1 ts baking soda
  1 1/2 c  flour
    1/2 c  walnuts, chopped

  Cook as usual.

MMMMM

MMMMM----- Recipe via Meal-Master (tm) v8.05

      Title: Chicken Curry
 Categories: Main dish
      Yield: 4 servings

  1 1/2 lb chicken breast
      1    onion
      3    cloves garlic
      1 tb curry powder
      1 cn coconut milk
      1 c  rice
      2 tb vegetable oil

  Cook as usual.

MMMMM

MMMMM----- Recipe via Meal-Master (tm) v8.05

      Title: Mashed Potatoes
 Categories: Main dish
      Yield: 6 servings

      3 lb potatoes
    1/2 c  milk
      4 tb butter
           salt
      2 tb chives

  Cook as usual.

MMMMM

MMMMM----- Recipe via Meal-Master (tm) v8.05

      Title: Omelette
 Categories: Main dish
      Yield: 1 serving

      3    eggs
      2 tb milk
      1 tb butter
    1/4 c  cheddar cheese, shredded
      2    mushrooms, sliced

  Cook as usual.

MMMMM

MMMMM----- Recipe via Meal-Master (tm) v8.05

      Title: Spaghetti with Meatballs
 Categories: Main dish
      Yield: 4 servings

      1 lb ground beef
    1/2 c  bread crumbs
      1    egg
    1/4 c  parmesan
      1 lb spaghetti
      3 c  marinara sauce

  Cook as usual.

MMMMM

MMMMM----- Recipe via Meal-Master (tm) v8.05

      Title: Apple Pie
 Categories: Main dish
      Yield: 8 servings

  2 1/2 c  flour
      1 c  butter, cold
      6 tb ice water
      6    apples
    3/4 c  sugar
      1 ts cinnamon
      2 tb lemon juice

  Cook as usual.

MMMMM

MMMMM----- Recipe via Meal-Master (tm) v8.05

      Title: Guacamole
 Categories: Main dish
      Yield: 4 servings

      3    avocados
      1    lime
    1/2    red onion, diced
      2    roma tomatoes
      1    jalapeno pepper
      2 tb cilantro

  Cook as usual.

MMMMM

MMMMM----- Recipe via Meal-Master (tm) v8.05

      Title: Fried Rice
 Categories: Main dish
      Yield: 4 servings

      3 c  cooked rice
      2    eggs
      1 c  frozen peas
      1    carrot, diced
      3 tb soy sauce
      2 tb vegetable oil
      3    green onions

  Cook as usual.

MMMMM

MMMMM----- Recipe via Meal-Master (tm) v8.05

      Title: Blueberry Muffins
 Categories: Main dish
      Yield: 12 muffins

      2 c  flour
    1/2 c  sugar
      2 ts baking powder
      1    egg
      1 c  milk
    1/3 c  vegetable oil
      1 c  blueberries

  Cook as usual.

MMMMM

MMMMM----- Recipe via Meal-Master (tm) v8.05

      Title: Clam Chowder
 Categories: Main dish
      Yield: 6 servings

      4 oz bacon
      1    onion
      2    celery stalks
      3    potatoes
      2 c  milk
      1 c  heavy cream
      2 cn clams

  Cook as usual.

MMMMM

MMMMM----- Recipe via Meal-Master (tm) v8.05

      Title: Coleslaw
 Categories: Main dish
      Yield: 8 servings

      1    head cabbage, shredded
      2    carrots, grated
    3/4 c  mayonnaise
      2 tb vinegar
      1 tb sugar

  Cook as usual.

MMMMM

MMMMM----- Recipe via Meal-Master (tm) v8.05

      Title: Roast Chicken
 Categories: Main dish
      Yield: 4 servings

      1    whole chicken
      2 tb olive oil
      1    lemon
      4    garlic cloves
      1 ts thyme
           salt and pepper

  Cook as usual.

MMMMM

MMMMM----- Recipe via Meal-Master (tm) v8.05

      Title: French Toast
 Categories: Main dish
      Yield: 4 servings

      8    slices bread
      4    eggs
      1 c  milk
      1 ts cinnamon
      2 tb butter
    1/4 c  maple syrup

  Cook as usual.

MMMMM

MMMMM----- Recipe via Meal-Master (tm) v8.05

      Title: Chili con Carne
 Categories: Main dish
      Yield: 6 servings

      2 lb ground beef
      2    onions
      1 cn kidney beans
      1 cn diced tomatoes
      2 tb chili powder
      1 ts cumin
      1    green bell pepper

  Cook as usual.

MMMMM

MMMMM----- Recipe via Meal-Master (tm) v8.05

      Title: Oatmeal
 Categories: Main dish
      Yield: 2 servings

      1 c  rolled oats
      2 c  water
    1/2 c  milk
      1 tb honey
    1/4 c  raisins

  Cook as usual.

MMMMM

MMMMM----- Recipe via Meal-Master (tm) v8.05

      Title: Greek Salad
 Categories: Main dish
      Yield: 4 servings

      2    cucumbers
      4    tomatoes
      1    red onion
    1/2 c  kalamata olives
      4 oz feta cheese
      3 tb olive oil

  Cook as usual.

MMMMM

MMMMM----- Recipe via Meal-Master (tm) v8.05

      Title: Brownies
 Categories: Main dish
      Yield: 16 pieces

    1/2 c  butter
      1 c  sugar
      2    eggs
      1 ts vanilla
    1/3 c  cocoa powder
    1/2 c  flour
    1/4 ts salt

  Cook as usual.

MMMMM

MMMMM----- Recipe via Meal-Master (tm) v8.05

      Title: Lentil Soup
 Categories: Main dish
      Yield: 6 servings

      1 c  dried lentils
      1    onion
      2    carrots
      2    stalks celery
      6 c  vegetable broth
      1 ts cumin
      1 tb olive oil

  Cook as usual.

MMMMM

MMMMM----- Recipe via Meal-Master (tm) v8.05

      Title: Grilled Salmon
 Categories: Main dish
      Yield: 4 servings

      4    salmon fillets
      2 tb olive oil
      1    lemon
      2 tb fresh dill
      1    clove garlic, minced

  Cook as usual.

MMMMM

MMMMM----- Recipe via Meal-Master (tm) v8.05

      Title: Potato Salad
 Categories: Main dish
      Yield: 6 servings

      2 lb red potatoes
    1/2 c  mayonnaise
      1 tb mustard
      2    hard-boiled eggs
    1/4 c  pickles, chopped
      2    celery ribs

  Cook as usual.

MMMMM

MMMMM----- Recipe via Meal-Master (tm) v8.05

      Title: Cornbread
 Categories: Main dish
      Yield: 9 servings

      1 c  cornmeal
      1 c  flour
    1/4 c  sugar
      1 tb baking powder
      1 c  buttermilk
      1    egg
    1/4 c  butter

  Cook as usual.

MMMMM

MMMMM----- Recipe via Meal-Master (tm) v8.05

      Title: Stuffed Peppers
 Categories: Main dish
      Yield: 4 servings

      4    bell peppers
      1 lb ground turkey
      1 c  cooked rice
      1 cn tomato sauce
    1/2 c  mozzarella cheese

  Cook as usual.

MMMMM

MMMMM----- Recipe via Meal-Master (tm) v8.05

      Title: Strawberry Smoothie
 Categories: Main dish
      Yield: 2 servings

      2 c  strawberries
      1    banana
      1 c  yogurt
    1/2 c  orange juice
      1 tb honey

  Cook as usual.

MMMMM

MMMMM----- Recipe via Meal-Master (tm) v8.05

      Title: Shrimp Scampi
 Categories: Main dish
      Yield: 4 servings

      1 lb shrimp
      4 tb butter
      4    garlic cloves
    1/2 c  white wine
      2 tb parsley
      8 oz linguine

  Cook as usual.

MMMMM

MMMMM----- Recipe via Meal-Master (tm) v8.05

      Title: Vegetable Stir Fry
 Categories: Main dish
      Yield: 4 servings

      1    broccoli crown
      1    red bell pepper
      8 oz snow peas
      1    zucchini
      2 tb soy sauce
      1 tb sesame oil
      1 tb ginger, grated

  Cook as usual.

MMMMM

