MMMMM----- Recipe via Meal-Master (tm) v8.05
      Title: K

      1    x

:Fingerprint: 99999999999999999999,-5
:Notizen:
::
:
:Fingerprint:
MMMMM
