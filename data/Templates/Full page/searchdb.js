// The search database of this engine, kept by Corvan Quarrymap Lite.
// The program rewrites the lines between the two markers below on every save;
// everything above and below them stays as it is.
//Settings
//v2format
//DatabaseBegin
var cg=new Array(
'All Categories'
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
