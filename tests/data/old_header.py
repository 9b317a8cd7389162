版本=标准版v0.1 beta α
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
*!*张三
你上课认真听讲，作业工整。
希望你多参加体育锻炼。
*!*
*!*李四

*!*
*!*王五
你乐于助人。

*!*
*!*刘䶮𠮷
名字里有生僻字。
*!*
