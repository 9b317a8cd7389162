版本=标准版v1.0
teacher=****老师
studentfontname=宋体
studentfontsize=9
studentfontbold=false
studentfontitalic=false
pytextfontname=宋体
pytextfontsize=9
pytextfontbold=false
pytextfontitalic=false
teacherfontname=宋体
teacherfontsize=9
teacherfontbold=false
teacherfontitalic=false
*!*甲

*!*
*!*乙

*!*
