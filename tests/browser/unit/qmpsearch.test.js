// The search page's logic, run under Node.
'use strict';

const test = require('node:test');
const assert = require('node:assert/strict');
const path = require('node:path');

const Q = require(path.join(__dirname, '../../../data/EngineScripts/qmpsearch.js'));

// A database from link descriptions, through the same arrays the page reads.
function database(links, categories = ['All Categories']) {
    const ln = links.map((l) => (l.category || 0) + '^' + (l.caption || '') + '^' + (l.url || 'x.html'));
    const ds = links.map((l) => l.description || '');
    const kw = links.map((l) => '^' + (l.keywords || []).join('^') + '^');
    return Q.readDatabase(categories, ln, ds, kw);
}

// The captions of the links that match every word, best first.
function captionsFound(links, query, options) {
    const db = database(links, options && options.categories);
    return Q.search(Q.buildIndex(db), query, options).filter((hit) => !hit.partial)
        .map((hit) => Q.linkAt(db, hit.link).caption);
}

test('integers are read as the program reads them', () => {
    const rows = [['3', 3], ['  -12', -12], ['+7', 7], ['3a', 3], ['', 0], ['abc', 0],
        ['$1F', 31], ['x10', 16], ['0x10', 16], ['-0x10', -16], ['4294967297', 1]];
    for (const [text, value] of rows) assert.equal(Q.readInteger(text), value, text);
});

test('link entries split at the first two carets', () => {
    const rows = [
        ['2^Home^index.html', { category: 2, caption: 'Home', url: 'index.html' }],
        ['1^a^b^c%5E', { category: 1, caption: 'a', url: 'b^c%5E' }],
        ['-1^^', { category: -1, caption: '', url: '' }],
        ['4^only caption', { category: 4, caption: 'only caption', url: '' }],
        ['5', { category: 5, caption: '', url: '' }],
        // A caption's own carets, counted by the program after the category.
        ['2:1^operator^=^ops.html', { category: 2, caption: 'operator^=', url: 'ops.html' }],
        ['-1:2^^a^^b^c', { category: -1, caption: '^a^', url: 'b^c' }],
        ['2:0^a^b^c', { category: 2, caption: 'a', url: 'b^c' }],
        ['2:5^a^b^c', { category: 2, caption: 'a', url: 'b^c' }],
        ['2:x^a^b^c', { category: 2, caption: 'a', url: 'b^c' }]];
    for (const [entry, link] of rows) assert.deepEqual(Q.splitLinkEntry(entry), link, entry);
});

test('the arrays of an empty database give no links and no categories', () => {
    assert.equal(Q.readDatabase(['All Categories'], [''], [''], ['^^']).count, 0);
    assert.deepEqual(Q.readDatabase([''], [''], [''], ['^^']).categories, []);
    assert.equal(Q.readDatabase(undefined, undefined, undefined, undefined).count, 0);
});

test('a link takes its description and keywords by position, without the lock markers', () => {
    const db = Q.readDatabase(['All'], ['1^A^a.html', '0^B^b.html'], ['first'], ['^~^stone^dont_update^kiln^']);
    assert.deepEqual(Q.linkAt(db, 0), { category: 1, caption: 'A', url: 'a.html', description: 'first',
        keywords: ['stone', 'kiln'] });
    assert.deepEqual(Q.linkAt(db, 1), { category: 0, caption: 'B', url: 'b.html', description: '',
        keywords: [] });
});

test('folding drops letter case and diacritics', () => {
    const rows = [['Éclair', 'eclair'], ['São Bento', 'sao bento'], ['Straße', 'strasse'],
        ['Ørsted', 'orsted'], ['Łódź', 'lodz'], ['e\u0301te\u0301', 'ete'], ['Ёлка', 'елка'],
        ['Άγιος', 'αγιος'], ['ČESKÝ', 'cesky'], ['東京', '東京']];
    for (const [text, folded] of rows) assert.equal(Q.foldText(text), folded, text);
    assert.deepEqual(Q.foldAll(['Á', 'b\u0000c', 'É']), ['a', 'b\u0000c', 'e']);
});

test('queries are words, exclusions and phrases', () => {
    const simple = (q) => Q.parseQuery(q).map((t) => [t.text, t.phrase, t.exclude]);
    assert.deepEqual(simple('Stone  KILN'), [['stone', false, false], ['kiln', false, false]]);
    assert.deepEqual(simple('slate -roof'), [['slate', false, false], ['roof', false, true]]);
    assert.deepEqual(simple('"old kilns" - , ...'), [['old', true, false]]);
    assert.deepEqual(simple('-"lime trade'), [['lime', true, true]]);
    assert.deepEqual(simple('quarry, (kiln)'), [['quarry', false, false], ['kiln', false, false]]);
    assert.deepEqual(simple('e-mail'), [['e-mail', false, false]]);
    assert.equal(Q.parseQuery('東京').length, 1);
    assert.equal(Q.parseQuery('東京')[0].unspaced, true);
    assert.equal(Q.parseQuery('tokyo')[0].unspaced, false);
});

const LINKS = [
    { caption: 'Harrowfell slate quarry', description: 'Galleries cut into the hill.', keywords: ['slate', 'quarry'] },
    { caption: 'Lime kilns', description: 'Burned limestone from the quarry.', keywords: ['kiln', 'lime'] },
    { caption: 'Café evenings', description: 'Tea and talk.', keywords: ['café'] },
    { caption: 'Cafe history', description: 'The old cafe.', keywords: ['cafe'] },
    { caption: 'São Bento', description: 'Pedreira de São Bento, granite.', keywords: ['pedreira'] },
    { caption: '東京の石', description: '', keywords: ['東京都庁舎', '花崗岩'] },
    { caption: '', description: 'nothing to show quarry', keywords: [] },
];

test('words match the start of keywords, caption words and description words', () => {
    const rows = [
        ['quarry', ['Harrowfell slate quarry', 'Lime kilns']],
        ['quarr', ['Harrowfell slate quarry', 'Lime kilns']],
        ['uarr', []],
        ['lime', ['Lime kilns']],
        ['galler', ['Harrowfell slate quarry']],
        ['slate quarry', ['Harrowfell slate quarry']],
        ['slate kiln', []],
        ['quarry -slate', ['Lime kilns']],
        ['quarry -galleries', ['Lime kilns']],
        ['-slate', []],
        ['', []],
    ];
    for (const [query, expected] of rows) assert.deepEqual(captionsFound(LINKS, query), expected, query);
});

test('letter case and diacritics are ignored both ways', () => {
    const found = (q) => captionsFound(LINKS, q).sort();
    assert.deepEqual(found('cafe'), ['Cafe history', 'Café evenings']);
    assert.deepEqual(found('CAFÉ'), ['Cafe history', 'Café evenings']);
    assert.deepEqual(captionsFound(LINKS, 'sao'), ['São Bento']);
    assert.deepEqual(captionsFound(LINKS, 'SÃO BÉNTO'), ['São Bento']);
});

test('phrases must stand in the caption or the description', () => {
    assert.deepEqual(captionsFound(LINKS, '"slate quarry"'), ['Harrowfell slate quarry']);
    assert.deepEqual(captionsFound(LINKS, '"quarry slate"'), []);
    assert.deepEqual(captionsFound(LINKS, '"from limestone"'), []);
    // Punctuation between the words does not matter.
    assert.deepEqual(captionsFound(LINKS, '"limestone, from"'), ['Lime kilns']);
    assert.deepEqual(captionsFound(LINKS, '"burned   limestone"'), ['Lime kilns']);
    // A keyword alone does not satisfy a phrase.
    assert.deepEqual(captionsFound(LINKS, '"pedreira de sao"'), ['São Bento']);
    assert.deepEqual(captionsFound([{ caption: 'A', keywords: ['granite'] }], '"granite"'), []);
});

test('words of unspaced scripts match anywhere inside a keyword', () => {
    assert.deepEqual(captionsFound(LINKS, '庁舎'), ['東京の石']);
    assert.deepEqual(captionsFound(LINKS, '崗'), ['東京の石']);
    assert.deepEqual(captionsFound(LINKS, '大阪'), []);
});

test('links with no keywords and an empty caption never show', () => {
    assert.deepEqual(captionsFound(LINKS, 'nothing'), []);
    const db = database([{ caption: '', keywords: ['quarry'] }]);
    assert.equal(Q.search(Q.buildIndex(db), 'quarry').length, 1);
});

test('ranking: earlier keywords, captions, whole words first; ties keep database order', () => {
    const rank = (links, query) => captionsFound(links, query);
    assert.deepEqual(rank([
        { caption: 'late', keywords: ['a', 'b', 'c', 'd', 'stone'] },
        { caption: 'early', keywords: ['stone', 'a'] }], 'stone'), ['early', 'late']);
    assert.deepEqual(rank([
        { caption: 'In text', description: 'About granite', keywords: ['x'] },
        { caption: 'Granite', description: 'About', keywords: ['x'] }], 'granite'), ['Granite', 'In text']);
    assert.deepEqual(rank([
        { caption: 'Kilns', keywords: ['x'] },
        { caption: 'Kiln', keywords: ['x'] }], 'kiln'), ['Kiln', 'Kilns']);
    assert.deepEqual(rank([
        { caption: 'a', keywords: ['kilns'] },
        { caption: 'b', keywords: ['kiln'] }], 'kiln'), ['b', 'a']);
    assert.deepEqual(rank([
        { caption: 'first', keywords: ['same'] },
        { caption: 'second', keywords: ['same'] },
        { caption: 'third', keywords: ['same'] }], 'same'), ['first', 'second', 'third']);
});

test('the category filter keeps one category; category 0 searches all', () => {
    const links = [
        { category: 1, caption: 'Quarry one', keywords: ['q'] },
        { category: 2, caption: 'Quarry two', keywords: ['q'] },
        { category: 0, caption: 'Quarry zero', keywords: ['q'] }];
    const categories = ['All Categories', 'One', 'Two'];
    assert.deepEqual(captionsFound(links, 'quarry', { categories, category: 2 }), ['Quarry two']);
    assert.deepEqual(captionsFound(links, 'quarry', { categories, category: 0 }),
        ['Quarry one', 'Quarry two', 'Quarry zero']);
});

test('only the fields chosen are searched', () => {
    const links = [{ caption: 'Granite', description: 'limestone', keywords: ['slate'] }];
    const only = (fields, q) => captionsFound(links, q, { fields }).length;
    assert.equal(only({ keywords: true }, 'slate'), 1);
    assert.equal(only({ keywords: true }, 'granite'), 0);
    assert.equal(only({ caption: true }, 'granite'), 1);
    assert.equal(only({ caption: true }, 'limestone'), 0);
    assert.equal(only({ description: true }, 'limestone'), 1);
});

test('highlighting marks the words a query word begins', () => {
    const terms = Q.parseQuery('quarr café -slate');
    const marked = Q.highlight('The Quarry café, slate and quarries.', terms)
        .filter((p) => p.mark).map((p) => p.text);
    assert.deepEqual(marked, ['Quarry', 'café', 'quarries']);
    assert.equal(Q.highlight('no match here', terms).map((p) => p.text).join(''), 'no match here');
});

test('stored addresses become working links', () => {
    const rows = [
        ['docs%2Fa%20b.html', 'docs/a%20b.html', 'docs/a b.html'],
        ['news%2Fcaf%C3%A9-evenings.html', 'news/caf%C3%A9-evenings.html', 'news/café-evenings.html'],
        ['100%25%23sale%3F.html', '100%25%23sale%3F.html', '100%#sale?.html'],
        ['..%2Fup.html', '../up.html', '../up.html'],
        ['a+b.html', 'a%20b.html', 'a b.html'],
        ['http%3A%2F%2Fexample.org%2Fa%20b%3Fq%3D1%26r%3D%C3%A9%23top',
            'http://example.org/a%20b?q=1&r=%C3%A9#top', 'http://example.org/a b?q=1&r=é#top'],
        ['http%3A%2F%2Fexample.org%2F50%2525', 'http://example.org/50%25', 'http://example.org/50%25'],
        ['C%3A%5Csite%5Cdocs%5Ca%20b.html', 'file:///C:/site/docs/a%20b.html', 'C:\\site\\docs\\a b.html'],
        ['%2Fhome%2Fme%2Fsite%2Fa.html', '/home/me/site/a.html', '/home/me/site/a.html'],
        ['50%', '50_', '50_'],
    ];
    for (const [stored, href, display] of rows) {
        assert.deepEqual(Q.resolveUrl(stored), { href, display }, stored);
    }
});

test('addresses that are not UTF-8 keep their escapes but for the slash', () => {
    // д is 0xE4 in windows-1251.
    assert.deepEqual(Q.resolveUrl('arch%2F%E4om%20x.html', 'windows-1251'),
        { href: 'arch/%E4om%20x.html', display: 'arch/дom x.html' });
    assert.deepEqual(Q.resolveUrl('http%3A%2F%2Fex.org%2F%E4%3Fa%3Db', 'windows-1251'),
        { href: 'http://ex.org/%E4?a=b', display: 'http://ex.org/д?a=b' });
    assert.equal(Q.resolveUrl('%zz.html').href, '%zz.html');
});

test('only relative links and safe schemes become links', () => {
    const rows = [
        ['page.html', true], ['a/b c.html', true], ['../x.html', true], ['#top', true], ['//host/x', true],
        ['http://example.org/', true], ['HTTPS://example.org/', true], ['ftp://example.org/f', true],
        ['mailto:someone@example.org', true], ['file:///C:/a.html', true],
        ['javascript:alert(1)', false], ['JavaScript:alert(1)', false], ['  javascript:alert(1)', false],
        ['\u0001javascript:alert(1)', false], ['java\tscr\nipt:alert(1)', false],
        ['vbscript:x', false], ['data:text/html,<b>x</b>', false], ['blob:http://x/1', false],
    ];
    for (const [href, safe] of rows) assert.equal(Q.isSafeHref(href), safe, JSON.stringify(href));
    assert.equal(Q.isSafeHref(Q.resolveUrl('javascript%3Aalert(1)').href), false);
    // With a blank in front it is no scheme at all, only an odd relative name.
    assert.match(Q.resolveUrl('%20javascript%3Aalert%281%29').href, /^%20javascript%3A/);
});

test('a database in an ANSI code page read as UTF-8 is recognised', () => {
    assert.equal(Q.looksMisdecoded([['All'], ['0^\uFFFD\uFFFD^a.html', '0^\uFFFDx^b.html'], ['ok']]), true);
    assert.equal(Q.looksMisdecoded([['All'], ['0^Café^a.html', '0^São^b.html', '0^\uFFFD^c']]), false);
    assert.equal(Q.looksMisdecoded([['All'], ['0^plain^a.html']]), false);
});

// Every hit of a query: [caption, partial, missing words].
function hitsFound(links, query) {
    const db = database(links);
    const hits = Q.search(Q.buildIndex(db), query);
    return hits.map((hit) => [Q.linkAt(db, hit.link).caption, hit.partial, hit.missing.join(' ')]);
}

test('a word weighs by how rare it is: the rare word decides', () => {
    // Every link holds "stone"; only two hold "kiln", in different fields.
    const links = Array.from({ length: 8 }, (_, i) => ({ caption: 'Page ' + i, keywords: ['stone'] }));
    links.push({ caption: 'Stone in caption', description: 'a kiln nearby', keywords: ['stone'] });
    links.push({ caption: 'Kiln in caption', description: 'some stone', keywords: ['kiln'] });
    assert.deepEqual(captionsFound(links, 'stone kiln'), ['Kiln in caption', 'Stone in caption']);
    assert.deepEqual(captionsFound(links, 'kiln stone'), ['Kiln in caption', 'Stone in caption']);
});

test('where a word matched counts: caption, keyword place, address, description', () => {
    const rows = [
        [[{ caption: 'x', description: 'granite', url: 'a.html' }, { caption: 'Granite', url: 'b.html' }], 'Granite'],
        [[{ caption: 'late', keywords: Array.from({ length: 30 }, (_, i) => 'w' + i).concat(['slate']) },
            { caption: 'early', keywords: ['slate', 'w1'] }], 'early'],
        [[{ caption: 'text', description: 'pathlib here', url: 'other.html' },
            { caption: 'module', url: 'library%2Fpathlib.html' }], 'module'],
        [[{ caption: 'part', url: 'git-merge-tree.html' }, { caption: 'whole', url: 'git-merge.html' }], 'whole'],
    ];
    for (const [links, best] of rows) {
        const query = best === 'Granite' ? 'granite' : best === 'early' ? 'slate' : best === 'module' ? 'pathlib' : 'merge';
        assert.equal(captionsFound(links, query)[0], best, query);
    }
});

test('links that match every word come first; when they are few, partial matches follow, marked', () => {
    const links = [
        { caption: 'Slate quarry', keywords: ['slate', 'quarry'] },
        { caption: 'Slate roofs', keywords: ['slate', 'roof'] },
        { caption: 'Lime kiln', keywords: ['lime', 'kiln'] },
        { caption: 'Old slate quarry kiln', keywords: ['slate', 'quarry', 'kiln'] },
    ];
    assert.deepEqual(hitsFound(links, 'slate quarry kiln'), [
        ['Old slate quarry kiln', false, ''],
        ['Slate quarry', true, 'kiln'],
    ]);
    // One word of two: half of them is enough; an exclusion still excludes.
    assert.deepEqual(hitsFound(links, 'roof kiln -lime'),
        [['Slate roofs', true, 'kiln'], ['Old slate quarry kiln', true, 'roof']]);
    // A phrase keeps its meaning.
    assert.deepEqual(hitsFound(links, '"quarry slate"'), []);
    // Many full matches: no partial ones.
    const many = Array.from({ length: 12 }, (_, i) => ({ caption: 'Both ' + i, keywords: ['slate', 'kiln'] }));
    assert.ok(hitsFound(many.concat(links), 'slate kiln').every(([, partial]) => !partial));
});

test('query words are cut as the indexer cuts text; a name matches as written and by its parts', () => {
    const words = (q) => Q.parseQuery(q).map((t) => [t.text, t.parts]);
    assert.deepEqual(words('os.path.join'), [['os.path.join', ['os', 'path', 'join']]]);
    assert.deepEqual(words('cherry-pick'), [['cherry-pick', ['cherry', 'pick']]]);
    assert.deepEqual(words("don't (slate),"), [['dont', null], ['slate', null]]);
    assert.deepEqual(words('f-string'), [['f-string', ['string']]]);
    const links = [
        { caption: 'Paths', keywords: ['path', 'join', 'os'], url: 'os.html' },
        { caption: 'Joining', keywords: ['join', 'path'], url: 'library%2Fos.path.html' },
        { caption: 'Unrelated', keywords: ['path'], url: 'x.html' },
        { caption: 'Use os.path.join for this', keywords: ['other'], url: 'faq.html' },
    ];
    assert.deepEqual(captionsFound(links, 'os.path.join'), ['Joining', 'Use os.path.join for this', 'Paths']);
});

test('a word that matches nothing is read as the nearest word of the vocabulary', () => {
    const links = [
        { caption: 'The argparse module', keywords: ['argparse', 'parser'] },
        { caption: 'Dictionary objects', keywords: ['dictionary'] },
        { caption: 'Stash', keywords: ['stash'] },
        { caption: 'Tiny', keywords: ['cat'] },
    ];
    const rows = [
        ['argprase', 'argparse'],   // two letters swapped: one edit
        ['dictonary', 'dictionary'],
        ['stahs', 'stash'],
        ['argprse', 'argparse'],    // a letter left out
        ['cta', ''],                // fewer than 4 letters: never
        ['sthas', ''],              // two edits at 5 letters: too many
        ['dixtionery', 'dictionary'], // two edits from 8 letters
        ['argparse', ''],           // found as it is
    ];
    const db = database(links);
    const index = Q.buildIndex(db);
    for (const [query, read] of rows) {
        const hits = Q.search(index, query);
        assert.equal(hits.corrected, read, query);
        assert.equal(hits.length > 0, read !== '' || query === 'argparse', query);
    }
    assert.equal(Q.search(index, 'argprase -stash').corrected, 'argparse -stash');
});

test('edit distance counts a swap of neighbours as one edit and stops early', () => {
    const rows = [['stash', 'stash', 0], ['stahs', 'stash', 1], ['kitten', 'sitting', 3], ['ab', 'ba', 1],
        ['', 'abc', 3], ['dictonary', 'dictionary', 1]];
    for (const [a, b, d] of rows) assert.equal(Q.editDistance(a, b, 3), d, a + ' ' + b);
    assert.ok(Q.editDistance('kitten', 'sitting', 1) > 1);
});

test('highlighting marks the parts of names and what a word was read as', () => {
    const terms = Q.parseQuery('os.path.join argprase');
    Q.search(Q.buildIndex(database([{ caption: 'argparse', keywords: ['argparse'] }])), terms);
    const marked = Q.highlight('Use os.path and join with argparse', terms).filter((p) => p.mark).map((p) => p.text);
    assert.deepEqual(marked, ['os', 'path', 'join', 'argparse']);
});
