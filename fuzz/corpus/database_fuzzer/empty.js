//Settings
//v2format
//DatabaseBegin
var cg=new Array(
''
);
var ln=new Array(
''
);
var ds=new Array(
''
);
var kw=new Array(
'^^'
);
//DatabaseEnd
