°æ±¾=±ê×¼°æv1.0
teacher=ÍõÀÏÊ¦
studentfontname=ºÚÌå
studentfontsize=12
studentfontbold=true
studentfontitalic=false
pytextfontname=ËÎÌå
pytextfontsize=10.5
pytextfontbold=false
pytextfontitalic=false
teacherfontname=¿¬Ìå_GB2312
teacherfontsize=9
teacherfontbold=false
teacherfontitalic=true
*!*Å·Ôª€
Ñ§·Ñ 100€£¬Êé±¾ 20€¡£
*!*
