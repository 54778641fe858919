EEEEE-----Aditional Recipe Informations
     Origin: X
        BLS: ,,,,
