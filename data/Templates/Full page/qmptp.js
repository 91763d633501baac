/* Your own settings for this search page. The program never replaces this
 * file without asking, so edit it freely: the texts of the page, how many
 * results a page shows and which fields are searched. */
var qmpSettings = {
    // The search database beside this page, and how it is written: 'auto'
    // reads UTF-8 and falls back to ansiCharset when the text is not UTF-8
    // (a database saved outside UTF-8 mode, e.g. 'windows-1251' for Cyrillic).
    database: 'searchdb.js',
    databaseCharset: 'auto',
    ansiCharset: 'windows-1252',

    resultsPerPage: 10,
    searchIn: { keywords: true, caption: true, description: true, url: true },
    // Results follow the words as they are typed; false: only on Enter.
    searchAsYouType: true,
    showAddress: true,
    showCategory: true,

    // %d stands for a number, %s for the visitor's words.
    texts: {
        heading: 'Search this site',
        intro: 'Find pages by the words they contain.',
        searchLabel: 'Search for',
        placeholder: 'Words to find',
        categoryLabel: 'In',
        searchButton: 'Search',
        tips: 'Tips: -word leaves out pages with that word; "two words" finds the words together.',
        resultsHeading: 'Results',
        prompt: 'Type one or more words.',
        loading: 'Loading the search database\u2026',
        loadError: 'The search database could not be loaded.',
        results: '%d results',
        oneResult: '1 result',
        noResults: 'Nothing was found for \u201c%s\u201d.',
        noWords: 'Type words with letters or digits: punctuation alone finds nothing.',
        corrected: 'Showing results for %s',
        partial: 'Partial match \u2013 lacks: %s',
        previous: 'Previous',
        next: 'Next',
        pages: 'Result pages',
        page: 'Page %d',
        category: 'Category: %s',
        footer: 'This search works in your browser, with no server.'
    }
};
