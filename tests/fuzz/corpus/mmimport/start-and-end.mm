MMMMM----- Recipe via Meal-Master (tm) v8.05
MMMMM
