// Search engine settings: edit the values below to change the search page.
var qmpResultsPerPage=10;
var qmpSearchFields='keywords,caption,description';
//Settings
//v2format
//DatabaseBegin
var cg=new Array(
'All Categories',
'Quarry history',
'Walks & trails',
'O\'Brien\'s \\ notes'
);
var ln=new Array(
'0^Welcome to the society^index.html',
'1^The old slate workings^history%2Fslate.html',
'2^Ridge walk (8 km)^walks%2Fridge%20walk.html',
'3^Notes^notes.txt'
);
var ds=new Array(
'The home page of the society.',
'How slate was cut and carried from 1790 to 1930.',
'A circular walk along the quarry ridge; boots advised.',
''
);
var kw=new Array(
'^society^quarry^home^',
'^slate^workings^history^quarry^carts^',
'^walk^ridge^~^',
'^^'
);
//DatabaseEnd
function qmpLoaded(){return ln.length;}
