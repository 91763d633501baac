var cg=new Array('All','Books');
var ln=new Array('1+Old page+old.html','0+A+b+c.html');
var ds=new Array('First');
var kw=new Array('+old+page+','+x^y+');
