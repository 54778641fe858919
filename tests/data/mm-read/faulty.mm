MMMMM----- Recipe via Meal-Master (tm) v8.05
      Title: Ohne Ende

      1    Ei

  Kochen.
MMMMM----- Recipe via Meal-Master (tm) v8.05
      Yield: 2

      1    Ei

MMMMM
MMMMM----- Recipe via Meal-Master (tm) v8.05
      Title: Lang

      1    Ei

  Zeile 0
  Zeile 1
  Zeile 2
  Zeile 3
  Zeile 4
  Zeile 5
  Zeile 6
  Zeile 7
  Zeile 8
  Zeile 9
  Zeile 10
  Zeile 11
  Zeile 12
  Zeile 13
  Zeile 14
  Zeile 15
  Zeile 16
  Zeile 17
  Zeile 18
  Zeile 19
  Zeile 20
  Zeile 21
  Zeile 22
  Zeile 23
  Zeile 24
  Zeile 25
  Zeile 26
  Zeile 27
  Zeile 28
  Zeile 29
  Zeile 30
  Zeile 31
  Zeile 32
  Zeile 33
  Zeile 34
  Zeile 35
  Zeile 36
  Zeile 37
  Zeile 38
  Zeile 39
  Zeile 40
  Zeile 41
  Zeile 42
  Zeile 43
  Zeile 44
  Zeile 45
  Zeile 46
  Zeile 47
  Zeile 48
  Zeile 49
  Zeile 50
  Zeile 51
  Zeile 52
  Zeile 53
  Zeile 54
  Zeile 55
  Zeile 56
  Zeile 57
  Zeile 58
  Zeile 59
  Zeile 60
  Zeile 61
  Zeile 62
  Zeile 63
  Zeile 64
  Zeile 65
  Zeile 66
  Zeile 67
  Zeile 68
  Zeile 69
  Zeile 70
  Zeile 71
  Zeile 72
  Zeile 73
  Zeile 74
  Zeile 75
  Zeile 76
  Zeile 77
  Zeile 78
  Zeile 79
  Zeile 80
  Zeile 81
  Zeile 82
  Zeile 83
  Zeile 84
  Zeile 85
  Zeile 86
  Zeile 87
  Zeile 88
  Zeile 89
  Zeile 90
  Zeile 91
  Zeile 92
  Zeile 93
  Zeile 94
  Zeile 95
  Zeile 96
  Zeile 97
  Zeile 98
  Zeile 99
  Zeile 100
  Zeile 101
  Zeile 102
  Zeile 103
  Zeile 104
  Zeile 105
  Zeile 106
  Zeile 107
  Zeile 108
  Zeile 109
  Zeile 110
  Zeile 111
  Zeile 112
  Zeile 113
  Zeile 114
  Zeile 115
  Zeile 116
  Zeile 117
  Zeile 118
  Zeile 119
  Zeile 120
  Zeile 121
  Zeile 122
  Zeile 123
  Zeile 124
  Zeile 125
  Zeile 126
  Zeile 127
  Zeile 128
  Zeile 129
  Zeile 130
  Zeile 131
  Zeile 132
  Zeile 133
  Zeile 134
  Zeile 135
  Zeile 136
  Zeile 137
  Zeile 138
  Zeile 139
  Zeile 140
  Zeile 141
  Zeile 142
  Zeile 143
  Zeile 144
  Zeile 145
  Zeile 146
  Zeile 147
  Zeile 148
  Zeile 149
MMMMM
MMMMM----- Recipe via Meal-Master (tm) v8.05
      Title: Danach

      1    Ei

  Ende.
MMMMM
