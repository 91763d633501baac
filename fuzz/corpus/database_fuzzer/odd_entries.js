//v2format var ln=new Array('7','8^c','','x^y^z^w',
'0x1F^a\'b^c\\d');var ds=new Array('d\/0','d1','d2','d3','extra');var kw=new Array('^a^','^b^^','^^^','c','^spare^');