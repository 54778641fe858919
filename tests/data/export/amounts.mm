
MMMMM----- Recipe Meal-Master via Pfannola 2.00.126

      Title: Mengenprobe
 Categories: 
      Yield: 4 Portionen

  1 1/2 g  Zucker
   2.95 g  Salz
187.547 g  Mehl
 100000 g  Wasser
      1 tt Pfeffer
      2 kt Muskat
    1-2 tb Zucker; fein
    2-3 g  Hefe



:Fingerprint: 5,6,Pfannola

MMMMM
