版本=标准版v1.0
teacher=王老师
studentfontname=黑体
studentfontsize=12
studentfontbold=true
studentfontitalic=false
pytextfontname=宋体
pytextfontsize=10.5
pytextfontbold=false
pytextfontitalic=false
teacherfontname=楷体_GB2312
teacherfontsize=9
teacherfontbold=false
teacherfontitalic=true
*!*欧元€
学费 100€，书本 20€。
*!*
