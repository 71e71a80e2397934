;This is a map file for the ZEM system
;Hexes across (x)
2
;Hexes up/down (y)
1
;bmp TT1 TT2 TT3  RC  PL  E2  E3
;Row 0
;x=0
 12   3   1   7  17   0   0   0   0   0   0   0   0   0   0   0   0   0   0   0   0   0   0   0   0   0   0   0   0   0   0   0 
 40   2   0   1   0   0   5   0   0   0   0   0   0   0   0   0   0   0   0   0   0   0   0   0   0   0   0   0   0   0   0   0 
