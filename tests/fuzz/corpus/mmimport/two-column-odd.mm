MMMMM----- Recipe via Meal-Master (tm) v8.05
      Title: T

      1 c  flour                               2 zz nope      2 zz nope      2 zz nope
      1 c  flour                               2 zz nope      2 zz nope      2 zz nope
      1 c  flour                               2 zz nope      2 zz nope      2 zz nope
      1 c  flour                               2 zz nope      2 zz nope      2 zz nope
      1 c  flour                               2 zz nope      2 zz nope      2 zz nope
      1 c  flour                               2 zz nope      2 zz nope      2 zz nope
      1 c  flour                               2 zz nope      2 zz nope      2 zz nope
      1 c  flour                               2 zz nope      2 zz nope      2 zz nope
      1 c  flour                               2 zz nope      2 zz nope      2 zz nope
      1 c  flour                               2 zz nope      2 zz nope      2 zz nope
      1 c  flour                               2 zz nope      2 zz nope      2 zz nope
      1 c  flour                               2 zz nope      2 zz nope      2 zz nope
      1 c  flour                               2 zz nope      2 zz nope      2 zz nope
      1 c  flour                               2 zz nope      2 zz nope      2 zz nope
      1 c  flour                               2 zz nope      2 zz nope      2 zz nope
      1 c  flour                               2 zz nope      2 zz nope      2 zz nope
      1 c  flour                               2 zz nope      2 zz nope      2 zz nope
      1 c  flour                               2 zz nope      2 zz nope      2 zz nope
      1 c  flour                               2 zz nope      2 zz nope      2 zz nope
      1 c  flour                               2 zz nope      2 zz nope      2 zz nope
MMMMM
