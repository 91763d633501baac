/* Your own settings for this search. The program never replaces this file
 * without asking, so edit it freely: the texts, how many results a page
 * shows and which fields are searched. */
var qmpSettings = {
    // The search database beside this page, and how it is written: 'auto'
    // reads UTF-8 and falls back to ansiCharset when the text is not UTF-8
    // (a database saved outside UTF-8 mode, e.g. 'windows-1251' for Cyrillic).
    database: 'searchdb.js',
    databaseCharset: 'auto',
    ansiCharset: 'windows-1252',

    resultsPerPage: 20,
    searchIn: { keywords: true, caption: true, description: true, url: true },
    // Results follow the words as they are typed; false: only on Enter.
    searchAsYouType: true,
    showAddress: false,
    showCategory: true,

    // %d stands for a number, %s for the visitor's words.
    texts: {
        searchLabel: 'Search',
        placeholder: 'Search this site',
        categoryLabel: 'in',
        searchButton: 'Go',
        prompt: '',
        loading: 'Loading\u2026',
        loadError: 'The search is not available.',
        results: '%d pages found',
        oneResult: '1 page found',
        noResults: 'No pages match \u201c%s\u201d.',
        noWords: 'Type a word with letters or digits.',
        corrected: 'Showing results for %s',
        partial: 'Partial match \u2013 lacks: %s',
        previous: '\u2039 Back',
        next: 'More \u203a',
        pages: 'More results',
        page: 'Page %d',
        category: '%s'
    }
};
