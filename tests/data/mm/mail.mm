MMMMM----- Recipe via Meal-Master (tm) v8.05
      Title: Gr=FCnkohl mit K=E4se

      1 kg Gr=FCnkohl

  Den Gr=FCnkohl waschen, die Zwiebeln sch=E4len und w=FCrfeln, =
dann alles zusammen d=FCnsten.
MMMMM
