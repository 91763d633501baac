/* Search logic of the engine's search page: reading the database arrays,
 * folding text for matching, parsing a query, matching and ranking, and
 * turning stored addresses into safe links. It touches no page: qmppage.js
 * wires it to the search page. A newer copy of this file may replace it; the
 * author's own settings live in qmptp.js. Runs in browsers and under Node. */
(function (root, factory) {
    'use strict';
    var api = factory();
    if (typeof module === 'object' && module.exports) module.exports = api;
    else root.QmpSearch = api;
})(this, function () {
    'use strict';

    // ---- Database arrays -------------------------------------------------

    // The program reads integers this way: leading blanks, a sign, decimal
    // digits or hexadecimal ones after "$", "x" or "0x"; the digits read so
    // far give the value ("3a" gives 3, "" gives 0).
    function readInteger(text) {
        var i = 0, n = text.length, negative = false, value = 0, base = 10;
        while (i < n && text.charCodeAt(i) <= 32) i++;
        if (text[i] === '-' || text[i] === '+') negative = text[i++] === '-';
        if (text[i] === '$' || text[i] === 'x' || text[i] === 'X') {
            base = 16;
            i++;
        } else if (text[i] === '0' && (text[i + 1] === 'x' || text[i + 1] === 'X')) {
            base = 16;
            i += 2;
        }
        for (; i < n; i++) {
            var digit = parseInt(text[i], base);
            if (isNaN(digit)) break;
            value = (value * base + digit) % 4294967296;
        }
        if (value >= 2147483648) value -= 4294967296;  // 32-bit wrap, as stored
        return negative ? -value : value;
    }

    // One stored ln entry: category, caption and URL split at the first two
    // carets; further carets belong to the URL. A caption's own carets are
    // counted after the category number ("2:1^a^b^c" is the caption "a^b"),
    // when the entry holds that many.
    function splitLinkEntry(entry) {
        var first = entry.indexOf('^');
        if (first < 0) return { category: readInteger(entry), caption: '', url: '' };
        var second = entry.indexOf('^', first + 1);
        var counted = /^-?[0-9]+:([0-9]+)$/.exec(entry.slice(0, first));
        if (counted) {
            var end = second;
            for (var k = Number(counted[1]); k > 0 && end >= 0; k--) end = entry.indexOf('^', end + 1);
            if (end >= 0) second = end;
        }
        return {
            category: readInteger(entry.slice(0, first)),
            caption: second < 0 ? entry.slice(first + 1) : entry.slice(first + 1, second),
            url: second < 0 ? '' : entry.slice(second + 1)
        };
    }

    // Keywords that lock a link against updates are markers, not words.
    function isLockMarker(keyword) {
        return keyword === '~' || keyword === 'dont_update';
    }

    function entryAt(list, i) {
        return i < list.length && list[i] !== undefined && list[i] !== null ? String(list[i]) : '';
    }

    // The database of the four arrays, read lazily: links are made when asked
    // for. An array that holds only '' is an empty table; ds and kw entries
    // beyond ln are ignored.
    function readDatabase(cg, ln, ds, kw) {
        cg = Array.isArray(cg) ? cg : [];
        ln = Array.isArray(ln) ? ln : [];
        return {
            categories: cg.length === 1 && cg[0] === '' ? [] : cg.map(String),
            count: ln.length === 1 && ln[0] === '' ? 0 : ln.length,
            ln: ln,
            ds: Array.isArray(ds) ? ds : [],
            kw: Array.isArray(kw) ? kw : []
        };
    }

    // Link i of the database: {category, caption, url, description, keywords}.
    function linkAt(db, i) {
        var link = splitLinkEntry(entryAt(db.ln, i));
        link.description = entryAt(db.ds, i);
        link.keywords = entryAt(db.kw, i).split('^').filter(function (k) {
            return k !== '' && !isLockMarker(k);
        });
        return link;
    }

    // How many texts of the arrays decoded badly (U+FFFD) against how many
    // hold other non-ASCII characters: a database in an ANSI code page read
    // as UTF-8 is almost all bad, a UTF-8 one almost all good. A few
    // hundred entries spread over each array tell as well as all of them.
    function looksMisdecoded(arrays) {
        var bad = 0, good = 0, SAMPLE = 400;
        for (var a = 0; a < arrays.length; a++) {
            var list = Array.isArray(arrays[a]) ? arrays[a] : [];
            var step = Math.max(1, Math.floor(list.length / SAMPLE));
            for (var i = 0; i < list.length; i += step) {
                var s = String(list[i]);
                if (!NON_ASCII.test(s)) continue;
                if (s.indexOf('\uFFFD') >= 0) bad++;
                else good++;
            }
        }
        return bad > good;
    }

    // ---- Folding text for matching -----------------------------------------

    var NON_ASCII = /[^\x00-\x7f]/;
    var NON_ASCII_ALL = /[^\x00-\x7f]/g;
    // Combining accents of Latin, Greek and Cyrillic letters, Hebrew points
    // and Arabic vowel marks: what a visitor leaves out when typing.
    var DIACRITICS = /[\u0300-\u036f\u1ab0-\u1aff\u1dc0-\u1dff\u20d0-\u20ff\ufe20-\ufe2f\u0591-\u05c7\u064b-\u065f\u0670]/g;
    // Letters that carry their mark inside and do not decompose.
    var LETTERS = { 'ß': 'ss', 'æ': 'ae', 'œ': 'oe', 'ø': 'o', 'đ': 'd', 'ð': 'd', 'ł': 'l',
        'ħ': 'h', 'ı': 'i', 'ŧ': 't', 'þ': 'th', 'ŀ': 'l', 'ĸ': 'k' };
    var SPECIAL_LETTERS = /[ßæœøđðłħıŧþŀĸ]/g;
    var WORD_CHAR = /[\p{L}\p{N}\p{M}]/u;
    var NOT_WORD = /[^\p{L}\p{N}\p{M}]+/u;
    // Scripts written without spaces between words.
    var UNSPACED = /[\p{Script=Han}\p{Script=Hiragana}\p{Script=Katakana}\p{Script=Thai}\p{Script=Lao}\p{Script=Khmer}\p{Script=Myanmar}]/u;

    var foldedChars = Object.create(null);

    function foldChar(ch) {
        var folded = foldedChars[ch];
        if (folded === undefined) {
            folded = ch.normalize('NFD').replace(DIACRITICS, '').replace(SPECIAL_LETTERS, function (c) {
                return LETTERS[c];
            });
            foldedChars[ch] = folded;
        }
        return folded;
    }

    // Lower case without diacritics: "Éclair" and "eclair" fold alike. Each
    // character folds on its own, so texts fold alike however long they are.
    function foldText(text) {
        var s = String(text).toLowerCase();
        return NON_ASCII.test(s) ? s.replace(NON_ASCII_ALL, foldChar) : s;
    }

    // foldText of many texts at once: folding a few long texts is much
    // faster than folding many short ones.
    function foldAll(texts) {
        var out = [], BLOCK = 4096;
        for (var i = 0; i < texts.length; i += BLOCK) {
            var block = texts.slice(i, i + BLOCK);
            var folded = foldText(block.join('\u0000')).split('\u0000');
            if (folded.length !== block.length) folded = block.map(foldText);  // a text held U+0000
            for (var k = 0; k < folded.length; k++) out.push(folded[k]);
        }
        return out;
    }

    function isWordChar(code, text, at) {
        if (code < 0x80) {
            return (code >= 0x61 && code <= 0x7a) || (code >= 0x30 && code <= 0x39) ||
                (code >= 0x41 && code <= 0x5a);
        }
        return WORD_CHAR.test(text.charAt(at));
    }

    // Where `word` stands in `text` at the start of a word (or anywhere for
    // words of unspaced scripts), from `from` on; -1 when nowhere.
    function findWord(text, word, unspaced, from) {
        var at = text.indexOf(word, from || 0);
        if (unspaced) return at;
        while (at > 0 && isWordChar(text.charCodeAt(at - 1), text, at - 1)) at = text.indexOf(word, at + 1);
        return at;
    }

    function endsWord(text, at) {
        return at >= text.length || !isWordChar(text.charCodeAt(at), text, at);
    }

    function isUnspaced(text) {
        return UNSPACED.test(text);
    }

    // ---- Queries ------------------------------------------------------------

    function escapeRegExp(text) {
        return text.replace(/[.*+?^${}()|[\]\\]/g, '\\$&');
    }

    // Apostrophes inside a word are dropped, as the indexer drops them
    // (don't is read as dont).
    var APOSTROPHES = /(\p{L})['\u2019](?=\p{L})/gu;
    var EDGE_MARKS = /^[^\p{L}\p{N}]+|[^\p{L}\p{N}\p{M}]+$/gu;
    var MIN_PART = 2;

    // A query word cut as the indexer cuts text: {text, parts}. A word with
    // marks inside (os.path.join, cherry-pick, lru_cache) is a name: it is
    // looked for as written and through its parts.
    function queryWord(raw) {
        var folded = foldText(raw).replace(APOSTROPHES, '$1');
        var parts = folded.split(NOT_WORD).filter(Boolean);
        if (parts.length === 0) return null;
        var text = folded.replace(EDGE_MARKS, '');
        var long = parts.filter(function (p) { return p.length >= MIN_PART; });
        return { text: parts.length > 1 ? text : parts[0], parts: parts.length > 1 ? (long.length ? long : parts) : null };
    }

    // Words, "-word" exclusions and "quoted phrases" (a quote left open runs
    // to the end). Terms that hold no letter or digit are dropped.
    function parseQuery(query) {
        var terms = [], s = String(query || ''), i = 0, n = s.length;
        while (i < n) {
            while (i < n && /\s/.test(s[i])) i++;
            if (i >= n) break;
            var exclude = false;
            if (s[i] === '-' && i + 1 < n && !/\s/.test(s[i + 1])) {
                exclude = true;
                i++;
            }
            var raw, phrase = false;
            if (s[i] === '"') {
                var close = s.indexOf('"', i + 1);
                if (close < 0) close = n;
                raw = s.slice(i + 1, close);
                phrase = true;
                i = close + 1;
            } else {
                var start = i;
                while (i < n && !/\s/.test(s[i]) && s[i] !== '"') i++;
                raw = s.slice(start, i);
            }
            var words = foldText(raw).replace(APOSTROPHES, '$1').split(NOT_WORD).filter(Boolean);
            if (words.length === 0) continue;
            var term = { raw: raw, phrase: phrase, exclude: exclude, words: words, parts: null };
            if (phrase && words.length > 1) {
                term.text = words[0];
                term.pattern = new RegExp('(?:^|[^\\p{L}\\p{N}\\p{M}])' + words.map(function (w) {
                    return wordPattern(w).source;
                }).join('[^\\p{L}\\p{N}\\p{M}]+'), 'iu');
            } else if (phrase) {
                term.text = words[0];
            } else {
                var word = queryWord(raw);
                term.text = word.text;
                term.parts = word.parts;
            }
            term.unspaced = isUnspaced(term.text);
            terms.push(term);
        }
        return terms;
    }

    // ---- Index ----------------------------------------------------------------

    var KEYWORD_SEP = '^';
    var SEP_CODE = 0x5e;
    var ENTRY_SEP = '\u0001';

    // Each array of the database as one text, the entries
    // separated by ENTRY_SEP, and where each entry starts: looking for a word
    // is then one search through one text, and the links it is found in
    // follow from the places. The texts are not even lower-cased: a word is
    // looked for with a pattern that matches every way of writing it (see
    // wordPattern), which costs far less than folding the whole database
    // before the first results.
    function fieldText(entries) {
        var low = entries.join(ENTRY_SEP);
        var starts = new Int32Array(entries.length + 1), n = 0, at = -1;
        while ((at = low.indexOf(ENTRY_SEP, at + 1)) >= 0 && n < entries.length) starts[++n] = at + 1;
        if (entries.length > 0 && n !== entries.length - 1) {
            // An entry held the separator itself.
            return fieldText(entries.map(function (e) { return String(e).split(ENTRY_SEP).join(' '); }));
        }
        starts[entries.length] = low.length + 1;
        return { low: low, starts: starts };
    }

    function entryOf(field, e) {
        return field.low.slice(field.starts[e], field.starts[e + 1] - 1);
    }

    // Positions of the entries in which `pattern` (global) matches, in
    // order; where it first matches in each goes into `firstAt`.
    function entriesMatching(field, pattern, firstAt) {
        var out = [], starts = field.starts, low = field.low, e = 0, m;
        pattern.lastIndex = 0;
        while ((m = pattern.exec(low)) !== null) {
            while (starts[e + 1] <= m.index) e++;
            out.push(e);
            firstAt[e] = m.index;
            pattern.lastIndex = starts[e + 1];
        }
        return out;
    }

    // The database as the search reads it: the arrays ln (category, caption
    // and address), ds and kw, made into fields when the first search needs
    // them. Building it costs nothing, so the first results come soon.
    function buildIndex(db) {
        return { db: db, count: db.count, fields: {}, vocabulary: null, parts: [] };
    }

    function field(index, name) {
        if (!index.fields[name]) {
            var list = index.db[name];
            var f = index.fields[name] = fieldText(list.length > index.count ? list.slice(0, index.count) : list);
            if (name === 'kw') index.locked = /\^(?:~|dont_update)\^/.test(f.low);
        }
        return index.fields[name];
    }

    // The parts of a link's ln entry: {category, caption, url},
    // the url as words are looked for in it; kept once made.
    function linkParts(index, e) {
        var parts = index.parts[e];
        if (!parts) {
            parts = index.parts[e] = splitLinkEntry(entryOf(field(index, 'ln'), e));
            parts.url = urlText(parts.url);
            var slash = parts.url.lastIndexOf('/');
            parts.name = parts.url.slice(slash + 1).replace(/\.[^.]*$/, '');
            parts.names = parts.name.split(/[-._ ]+/);
            parts.folders = '/' + parts.url.slice(0, slash + 1);
        }
        return parts;
    }

    // The keywords of link e as "^a^b^", without the lock markers.
    function keywordsOf(index, e) {
        if (e >= index.db.kw.length) return '^';
        var entry = entryOf(field(index, 'kw'), e);
        return index.locked || entry.charAt(0) !== '^' ? keywordText(entry) : entry;
    }

    // A kw entry as "^a^b^" without the lock markers.
    function keywordText(entry) {
        if (entry.indexOf('^~^') < 0 && entry.indexOf('^dont_update^') < 0 && entry.charAt(0) === '^') return entry;
        return '^' + entry.split('^').filter(function (k) { return k !== '' && !isLockMarker(k); }).join('^') + '^';
    }

    // Links with no keywords and an empty caption are never shown.
    function isShown(index, e) {
        var kw = field(index, 'kw');
        if (e < index.db.kw.length && kw.starts[e + 1] - kw.starts[e] > 16) return true;
        return keywordsOf(index, e).length > 2 || linkParts(index, e).caption !== '';
    }

    // The address as words are looked for in it: the path with its slashes.
    function urlText(url) {
        return foldText(url.replace(/%2f/gi, '/').replace(/%20|\+/g, ' ').replace(/%5f/gi, '_').replace(/%2d/gi, '-'));
    }

    // ---- Matching and ranking ---------------------------------------------

    var MARKS = '[' + DIACRITICS.source.slice(1, -1) + ']*';

    // For each folded letter (or pair), the lower-case letters of the Latin,
    // Greek and Cyrillic blocks that fold to it (what foldText makes of them,
    // kept here so that no page load has to work it out).
    var VARIANTS = {
        'a': 'àáâãäåāăąǎǟǡǻȁȃȧḁạảấầẩẫậắằẳẵặ', 'ae': 'æǣǽ', 'b': 'ḃḅḇ', 'c': 'çćĉċčḉ', 'd': 'ðďđḋḍḏḑḓ',
        'e': 'èéêëēĕėęěȅȇȩḕḗḙḛḝẹẻẽếềểễệ', 'f': 'ḟ', 'g': 'ĝğġģǧǵḡ', 'h': 'ĥħȟḣḥḧḩḫẖ',
        'i': 'ìíîïĩīĭįıǐȉȋḭḯỉị', 'j': 'ĵǰ', 'k': 'ķĸǩḱḳḵ', 'l': 'ĺļľŀłḷḹḻḽ', 'm': 'ḿṁṃ', 'n': 'ñńņňǹṅṇṉṋ',
        'o': 'òóôõöøōŏőơǒǫǭǿȍȏȫȭȯȱṍṏṑṓọỏốồổỗộớờởỡợ', 'oe': 'œ', 'p': 'ṕṗ', 'r': 'ŕŗřȑȓṙṛṝṟ',
        's': 'śŝşšșṡṣṥṧṩ', 'ss': 'ß', 't': 'ţťŧțṫṭṯṱẗ', 'th': 'þ', 'u': 'ùúûüũūŭůűųưǔǖǘǚǜȕȗṳṵṷṹṻụủứừửữự',
        'v': 'ṽṿ', 'w': 'ŵẁẃẅẇẉẘ', 'x': 'ẋẍ', 'y': 'ýÿŷȳẏẙỳỵỷỹ', 'z': 'źżžẑẓẕ', 'ſ': 'ẛ', 'ʒ': 'ǯ',
        'ʹ': 'ʹ', 'α': 'άἀἁἂἃἄἅἆἇὰάᾀᾁᾂᾃᾄᾅᾆᾇᾰᾱᾲᾳᾴᾶᾷ', 'ε': 'έἐἑἒἓἔἕὲέ', 'η': 'ήἠἡἢἣἤἥἦἧὴήᾐᾑᾒᾓᾔᾕᾖᾗῂῃῄῆῇ',
        'ι': 'ίΐϊἰἱἲἳἴἵἶἷὶίιῐῑῒΐῖῗ', 'ο': 'όὀὁὂὃὄὅὸό', 'ρ': 'ῤῥ', 'υ': 'ύϋΰὐὑὒὓὔὕὖὗὺύῠῡῢΰῦῧ',
        'ω': 'ώὠὡὢὣὤὥὦὧὼώᾠᾡᾢᾣᾤᾥᾦᾧῲῳῴῶῷ', 'ϒ': 'ϓϔ', 'а': 'ӑӓ', 'г': 'ѓ', 'е': 'ѐёӗ', 'ж': 'ӂӝ', 'з': 'ӟ',
        'и': 'ѝйӣӥ', 'к': 'ќ', 'о': 'ӧ', 'у': 'ўӯӱӳ', 'ч': 'ӵ', 'ы': 'ӹ', 'э': 'ӭ', 'і': 'ї', 'ѵ': 'ѷ',
        'ә': 'ӛ', 'ө': 'ӫ'
    };

    function variants() {
        return VARIANTS;
    }

    function letterClass(c) {
        var v = variants()[c];
        return (v ? '[' + escapeRegExp(c) + v + ']' : escapeRegExp(c)) + MARKS;
    }

    // A pattern (global) that matches every way of writing the folded
    // `text`: in either letter case, with or without diacritics, precomposed
    // or not, ss as ß.
    function wordPattern(text) {
        var source = '', all = variants();
        for (var i = 0; i < text.length; i++) {
            var pair = text.substr(i, 2);
            if (pair.length === 2 && all[pair]) {
                source += '(?:' + letterClass(text[i]) + letterClass(text[i + 1]) + '|[' + all[pair] + ']' + MARKS + ')';
                i++;
            } else {
                source += letterClass(text[i]);
            }
        }
        return new RegExp(source, 'giu');
    }

    var WEIGHT = {
        keywords: 3,        // a whole keyword; falls with its place: 1 / (1 + place / 10)
        caption: 4,
        description: 1,
        url: 3,             // the file's name, or a part of it
        prefix: 0.5,        // a word that only begins with the query word
        name: 1.5,          // a name found as written, over its parts found apart
        singular: 0.8,      // a plural query word found in the singular
        partialBelow: 10,   // partial matches follow when fewer pages match every word
        many: 20000         // links beyond which a word is judged by its first match in each
    };

    // The place (0 = first) of the keyword in which the text at `at` stands.
    function keywordPlace(keywords, at) {
        var place = -1;
        for (var i = 0; i < at; i++) if (keywords.charCodeAt(i) === SEP_CODE) place++;
        return place;
    }

    function placeWeight(place) {
        return 1 / (1 + place / 10);
    }

    // How well the word of `pattern` matches a keyword list "^a^b^": 1 for the
    // first keyword, less for later ones; a keyword that only begins with it
    // counts less.
    function keywordScore(keywords, pattern, unspaced) {
        var best = 0, m;
        pattern.lastIndex = 0;
        while ((m = pattern.exec(keywords)) !== null) {
            var at = m.index;
            if (unspaced || keywords.charCodeAt(at - 1) === SEP_CODE) {
                var whole = keywords.charCodeAt(at + m[0].length) === SEP_CODE;
                var score = placeWeight(keywordPlace(keywords, at)) * (whole ? 1 : WEIGHT.prefix);
                if (score > best) best = score;
                if (whole) break;
            }
            pattern.lastIndex = at + 1;
        }
        return best;
    }

    // 1 when the word of `pattern` stands in the text as a whole word, the
    // prefix factor when a word only begins with it, 0 when it is not there.
    function textScore(text, pattern, unspaced) {
        var best = 0, m;
        pattern.lastIndex = 0;
        while ((m = pattern.exec(text)) !== null) {
            var at = m.index;
            if (unspaced || at === 0 || !isWordChar(text.charCodeAt(at - 1), text, at - 1)) {
                if (unspaced || endsWord(text, at + m[0].length)) return 1;
                best = WEIGHT.prefix;
            }
            pattern.lastIndex = at + 1;
        }
        return best;
    }

    // How well `word` matches an address (linkParts): its file's name
    // (without the extension) as a whole, one of its parts (the more of the
    // name it covers, the better), or a folder's name.
    function urlScore(parts, word) {
        if (parts.name === word) return 1;
        var names = parts.names, best = 0;
        for (var i = 0; i < names.length; i++) {
            if (names[i] === word) return 0.5 + 0.5 / names.length;
            if (names[i].indexOf(word) === 0) best = 0.3;
        }
        if (!best && parts.folders.indexOf('/' + word + '/') >= 0) best = 0.3;
        return best;
    }

    // A word in the plural also matches its singular, a little less: the
    // keywords hold one form of a word, the visitor may type the other.
    function singular(word) {
        return word.length >= 4 && /[^su]s$/.test(word) ? word.slice(0, -1) : '';
    }

    // A query word made ready for matching: its text and its pattern, and
    // the same for its singular.
    function matcher(word, unspaced) {
        var one = unspaced ? '' : singular(word);
        return { text: word, pattern: wordPattern(word), unspaced: unspaced, one: one ? matcher(one, false) : null };
    }

    // The score of one word in link e: 0 when no field searched holds it.
    // `found` (the word's candidates, below) may say which fields hold it at
    // all, and where.
    function wordScore(index, e, w, fields, found) {
        var score = 0, bits = found ? found.holding[e] : 7, quick;
        if (fields.keywords && (bits & 1)) {
            quick = found && !index.locked ? firstMatchScore(index, 'kw', e, found, true) : -1;
            score += WEIGHT.keywords * (quick >= 0 ? quick : keywordScore(keywordsOf(index, e), w.pattern, w.unspaced));
        }
        if ((fields.caption || fields.url) && (bits & 2)) {
            var parts = linkParts(index, e);
            if (fields.caption) score += WEIGHT.caption * textScore(parts.caption, w.pattern, w.unspaced);
            if (fields.url) score += WEIGHT.url * urlScore(parts, w.text);
        }
        if (fields.description && (bits & 4) && e < index.db.ds.length) {
            quick = found ? firstMatchScore(index, 'ds', e, found, false) : -1;
            score += WEIGHT.description * (quick >= 0 ? quick : textScore(entryOf(field(index, 'ds'), e), w.pattern, w.unspaced));
        }
        return score === 0 && w.one ? WEIGHT.singular * wordScore(index, e, w.one, fields) : score;
    }

    // A name's score where it stands as the start of an address
    // (os.path.join on os.path.html: two of its three parts).
    function nameUrlScore(parts, term) {
        var name = parts.name;
        if (!name || term.text.indexOf(name) !== 0) return 0;
        var next = term.text.charAt(name.length);
        if (next !== '' && !NOT_WORD.test(next)) return 0;
        return name.split(NOT_WORD).filter(Boolean).length / term.text.split(NOT_WORD).filter(Boolean).length;
    }

    // The links in which a field searched holds the word (or its singular),
    // in order, and the fields that hold it in each: only those need a
    // closer look. {list, holding: Uint8Array of KW | LN | DS bits}.
    var KW = 1, LN = 2, DS = 4;

    function candidates(index, w, fields) {
        var pattern = (w.one || w).pattern, holding = new Uint8Array(index.count), lists = [], at = {};
        function scan(name, bit) {
            at[name] = new Int32Array(index.count);
            var list = entriesMatching(field(index, name), pattern, at[name]);
            for (var k = 0; k < list.length; k++) holding[list[k]] |= bit;
            lists.push(list);
        }
        if (fields.keywords) scan('kw', KW);
        if (fields.caption || fields.url) scan('ln', LN);
        if (fields.description) scan('ds', DS);
        var list = lists.length === 1 ? lists[0] : union(lists);
        return { list: list, holding: holding, at: at, word: w, many: list.length > WEIGHT.many };
    }

    // What the first match of a candidate says at once, in the field's text:
    // 1 for a whole word (a whole keyword, with its place), or -1 when a
    // closer look at the entry is needed. A word that begins very many words
    // (the first letters typed) is judged by its first match alone.
    function firstMatchScore(index, name, e, found, keyword) {
        var f = field(index, name), low = f.low, at = found.at[name][e], w = found.word;
        if (w.one) return -1;
        w.pattern.lastIndex = at;
        var m = w.pattern.exec(low), end = at + m[0].length;
        if (keyword) {
            var starts = low.charCodeAt(at - 1) === SEP_CODE, whole = starts && low.charCodeAt(end) === SEP_CODE;
            if (!whole && !(found.many && starts)) return -1;
            var place = 0;
            for (var i = f.starts[e] + 1; i < at; i++) if (low.charCodeAt(i) === SEP_CODE) place++;
            return placeWeight(place) * (whole ? 1 : WEIGHT.prefix);
        }
        if (w.unspaced) return 1;
        var startsWord = at === f.starts[e] || !isWordChar(low.charCodeAt(at - 1), low, at - 1);
        if (startsWord && endsWord(low, end)) return 1;
        return found.many && startsWord ? WEIGHT.prefix : -1;
    }


    // Sorted lists merged into one, without repeats.
    function union(lists) {
        return lists.reduce(function (a, b) {
            var out = [], i = 0, j = 0;
            while (i < a.length || j < b.length) {
                var x = j >= b.length || (i < a.length && a[i] <= b[j]) ? a[i++] : b[j++];
                if (out.length === 0 || out[out.length - 1] !== x) out.push(x);
            }
            return out;
        });
    }

    // The links that the term matches, with the score of each: {links, scores}.
    function matchTerm(index, term, fields) {
        var links = [], scores = [], list, k;
        function add(e, s) {
            if (s > 0) {
                links.push(e);
                scores.push(s);
            }
        }
        if (term.pattern) {
            // A phrase of several words, in captions and descriptions.
            var first = matcher(term.text, term.unspaced);
            list = candidates(index, first, { caption: fields.caption, description: fields.description }).list;
            for (k = 0; k < list.length; k++) {
                var e = list[k], s = 0;
                if (fields.caption && term.pattern.test(linkParts(index, e).caption)) s += WEIGHT.caption;
                if (fields.description && term.pattern.test(entryOf(field(index, 'ds'), e))) s += WEIGHT.description;
                add(e, s);
            }
            return { links: links, scores: scores };
        }
        var textFields = term.phrase ? { caption: fields.caption, description: fields.description } : fields;
        var whole = matcher(term.text, term.unspaced);
        if (!term.parts) {
            var found = candidates(index, whole, textFields);
            list = found.list;
            for (k = 0; k < list.length; k++) add(list[k], wordScore(index, list[k], whole, textFields, found));
            return { links: links, scores: scores };
        }
        // A name: as written, as the start of an address, or all its parts.
        var byLink = new Map();
        list = candidates(index, whole, textFields).list;
        for (k = 0; k < list.length; k++) byLink.set(list[k], WEIGHT.name * wordScore(index, list[k], whole, textFields));
        var parts = term.parts.map(function (p) { return matcher(p, false); });
        var partLists = parts.map(function (p) { return candidates(index, p, textFields).list; });
        var shortest = partLists.reduce(function (a, b) { return a.length <= b.length ? a : b; });
        for (k = 0; k < shortest.length; k++) {
            var link = shortest[k], sum = 0, all = true;
            for (var p = 0; p < parts.length && all; p++) {
                var ps = wordScore(index, link, parts[p], textFields);
                all = ps > 0;
                sum += ps;
            }
            var named = fields.url ? WEIGHT.name * WEIGHT.url * nameUrlScore(linkParts(index, link), term) : 0;
            if (all || named > 0) byLink.set(link, Math.max(byLink.get(link) || 0, (all ? sum / parts.length : 0) + named));
        }
        Array.from(byLink.keys()).sort(function (a, b) { return a - b; }).forEach(function (e) { add(e, byLink.get(e)); });
        return { links: links, scores: scores };
    }

    // ---- Typing errors ---------------------------------------------------------

    // The words of the keywords and captions (folded), with how often each
    // occurs, grouped by length.
    function vocabulary(index) {
        if (index.vocabulary) return index.vocabulary;
        var counts = new Map();
        ['kw', 'ln'].forEach(function (name) {
            field(index, name).low.toLowerCase().split(/[^\p{L}\p{N}\p{M}]+/u).forEach(function (w) {
                if (w.length >= 3) counts.set(w, (counts.get(w) || 0) + 1);
            });
        });
        var byLength = [];
        counts.forEach(function (count, word) {
            var folded = foldText(word);
            (byLength[folded.length] = byLength[folded.length] || []).push([folded, count]);
        });
        index.vocabulary = byLength;
        return byLength;
    }

    // The edit distance of a and b (a letter added, dropped, changed, or two
    // neighbours swapped), or more than `most` when it is more.
    function editDistance(a, b, most) {
        var n = a.length, m = b.length;
        if (Math.abs(n - m) > most) return most + 1;
        var before = null, previous = [], current = [];
        for (var j = 0; j <= m; j++) previous[j] = j;
        for (var i = 1; i <= n; i++) {
            current = [i];
            var least = i;
            for (j = 1; j <= m; j++) {
                var cost = a.charCodeAt(i - 1) === b.charCodeAt(j - 1) ? 0 : 1;
                var d = Math.min(previous[j] + 1, current[j - 1] + 1, previous[j - 1] + cost);
                if (before && i > 1 && j > 1 && a.charCodeAt(i - 1) === b.charCodeAt(j - 2) &&
                    a.charCodeAt(i - 2) === b.charCodeAt(j - 1)) d = Math.min(d, before[j - 2] + 1);
                current[j] = d;
                if (d < least) least = d;
            }
            if (least > most) return most + 1;
            before = previous;
            previous = current;
        }
        return previous[m];
    }

    // The word of the database's vocabulary that `word` was most likely
    // meant to be: within one edit for words of 4 to 7 letters, two from 8;
    // of several, the one most links hold. Empty when there is none.
    function correction(index, word) {
        if (word.length < 4 || isUnspaced(word) || /^\p{N}+$/u.test(word)) return '';
        var most = word.length >= 8 ? 2 : 1, byLength = vocabulary(index), best = '', bestCount = 0, bestDistance = 9;
        for (var length = word.length - most; length <= word.length + most; length++) {
            (byLength[length] || []).forEach(function (entry) {
                var d = editDistance(word, entry[0], most);
                if (d > most) return;
                if (d < bestDistance || (d === bestDistance && entry[1] > bestCount)) {
                    best = entry[0];
                    bestCount = entry[1];
                    bestDistance = d;
                }
            });
        }
        return best;
    }

    // ---- Search ------------------------------------------------------------------

    var ALL_FIELDS = { keywords: true, caption: true, description: true, url: true };

    // The links that match the query, best first: [{link, score, partial,
    // missing}], where link is a position into the database's links. Every
    // word weighs by how rare it is among the links, by where it matched and
    // by the place of the keyword; links that match every word and phrase
    // come first, and when they are fewer than WEIGHT.partialBelow, links
    // that match at least half of them follow, marked partial, with the
    // words they lack. Links that match an exclusion never show. A word that
    // matches nothing is read as the nearest word of the vocabulary; the
    // result's `corrected` then holds the query as searched. options:
    // category (0 or absent: all), fields ({keywords, caption, description,
    // url}).
    function search(index, query, options) {
        options = options || {};
        var terms = typeof query === 'string' ? parseQuery(query) : query;
        var fields = options.fields ? Object.assign({ url: true }, options.fields) : ALL_FIELDS;
        var category = options.category | 0;
        var wanted = terms.filter(function (t) { return !t.exclude; });
        var unwanted = terms.filter(function (t) { return t.exclude; });
        var hits = [];
        hits.corrected = '';
        hits.terms = terms;
        if (wanted.length === 0) return hits;
        var count = index.count;
        var matches = wanted.map(function (t) {
            var m = matchTerm(index, t, fields);
            if (m.links.length === 0 && !t.phrase && !t.parts) {
                var better = correction(index, t.text);
                if (better) {
                    t.corrected = better;
                    t.words = [better];
                    t.text = better;
                    m = matchTerm(index, t, fields);
                }
            }
            return m;
        });
        if (wanted.some(function (t) { return t.corrected; })) {
            hits.corrected = terms.map(function (t) {
                return (t.exclude ? '-' : '') + (t.phrase ? '"' + t.raw + '"' : t.corrected || t.raw);
            }).join(' ');
        }
        var excluded = new Uint8Array(count);
        unwanted.forEach(function (t) {
            matchTerm(index, t, fields).links.forEach(function (e) { excluded[e] = 1; });
        });
        // Each word weighs by how rare it is: ln(1 + links / links holding it).
        var totals = new Float64Array(count), matched = new Uint8Array(count), which = new Uint32Array(count);
        var touched = [];
        matches.forEach(function (m, i) {
            var weight = Math.log(1 + count / m.links.length);
            for (var k = 0; k < m.links.length; k++) {
                var e = m.links[k];
                if (matched[e] === 0) touched.push(e);
                matched[e]++;
                which[e] |= 1 << Math.min(i, 31);
                totals[e] += weight * m.scores[k];
            }
        });
        var full = [], partial = [], least = Math.ceil(wanted.length / 2);
        touched.forEach(function (e) {
            if (excluded[e] || !isShown(index, e)) return;
            if (category > 0 && linkParts(index, e).category !== category) return;
            if (matched[e] === wanted.length) full.push(e);
            else if (wanted.length > 1 && matched[e] >= least) partial.push(e);
        });
        var byScore = function (a, b) { return totals[b] - totals[a] || a - b; };
        full.sort(byScore);
        full.forEach(function (e) { hits.push({ link: e, score: totals[e], partial: false, missing: [] }); });
        if (full.length < WEIGHT.partialBelow) {
            partial.sort(function (a, b) { return matched[b] - matched[a] || byScore(a, b); });
            partial.forEach(function (e) {
                var missing = wanted.filter(function (t, i) {
                    return (which[e] & (1 << Math.min(i, 31))) === 0;
                }).map(function (t) { return t.corrected || t.raw; });
                hits.push({ link: e, score: totals[e], partial: true, missing: missing });
            });
        }
        return hits;
    }

    // Pieces of a text with the words that a query word (or its parts, or
    // what it was read as) begins marked, for highlighting: [{text, mark}].
    function highlight(text, terms) {
        var words = [];
        terms.forEach(function (t) {
            if (t.exclude) return;
            words = words.concat(t.words, t.parts || []);
        });
        var pieces = [], last = 0, s = String(text), m;
        var WORD = /[\p{L}\p{N}\p{M}]+/gu;
        while ((m = WORD.exec(s)) !== null) {
            var folded = foldText(m[0]);
            var hit = words.some(function (w) {
                return isUnspaced(w) ? folded.indexOf(w) >= 0 : folded.indexOf(w) === 0;
            });
            if (!hit) continue;
            if (m.index > last) pieces.push({ text: s.slice(last, m.index), mark: false });
            pieces.push({ text: m[0], mark: true });
            last = m.index + m[0].length;
        }
        if (last < s.length) pieces.push({ text: s.slice(last), mark: false });
        return pieces;
    }

    // ---- Addresses -----------------------------------------------------------

    // The bytes of a stored URL, decoded as the program decodes it: "+" is a
    // space, a bad escape gives 0xFF, a "%" cut short by the end gives "_".
    function urlBytes(url) {
        var bytes = [], s = String(url);
        for (var i = 0; i < s.length; i++) {
            var c = s.charCodeAt(i);
            if (c === 0x2b) {
                bytes.push(0x20);
            } else if (c === 0x25) {
                if (s.length - i - 1 < 2) {
                    bytes.push(0x5f);
                    continue;
                }
                var hex = s.substr(i + 1, 2);
                bytes.push(/^[0-9a-fA-F]{2}$/.test(hex) ? parseInt(hex, 16) : 0xff);
                i += 2;
            } else if (c < 0x80) {
                bytes.push(c);
            } else {
                // Text typed into the database unescaped: its UTF-8 bytes.
                var cp = s.codePointAt(i);
                if (cp > 0xffff) i++;
                var utf8 = new TextEncoder().encode(String.fromCodePoint(cp));
                for (var k = 0; k < utf8.length; k++) bytes.push(utf8[k]);
            }
        }
        return new Uint8Array(bytes);
    }

    function decodeUtf8(bytes) {
        try {
            return new TextDecoder('utf-8', { fatal: true }).decode(bytes);
        } catch (e) {
            return null;
        }
    }

    function decodeAnsi(bytes, charset) {
        try {
            return new TextDecoder(charset || 'windows-1252').decode(bytes);
        } catch (e) {
            return new TextDecoder('windows-1252').decode(bytes);
        }
    }

    var SCHEME = /^([a-zA-Z][a-zA-Z0-9+.-]*):/;
    var DRIVE = /^[a-zA-Z]:[\\/]/;

    // An absolute URL made usable: characters that may not stand in a URL are
    // escaped; reserved ones and existing escapes stay.
    function encodeAbsolute(text) {
        return text.replace(/%(?![0-9a-fA-F]{2})|[^A-Za-z0-9\-._~!$&'()*+,;=:@/?#%[\]]/gu, function (ch) {
            return encodeURIComponent(ch);
        });
    }

    function encodePath(text) {
        return text.split('/').map(encodeURIComponent).join('/');
    }

    // A stored (percent-encoded) URL as a link target and as the address
    // shown: {href, display}. A URL whose bytes are UTF-8 is decoded and
    // re-encoded (relative paths segment by segment); one that is not (an
    // ANSI database) keeps its escapes except that %2F becomes "/".
    function resolveUrl(url, ansiCharset) {
        var bytes = urlBytes(url);
        var text = decodeUtf8(bytes);
        if (text !== null) {
            if (DRIVE.test(text)) {
                var path = text.replace(/\\/g, '/');
                return { href: 'file:///' + path.slice(0, 2) + encodePath(path.slice(2)), display: text };
            }
            return { href: SCHEME.test(text) ? encodeAbsolute(text) : encodePath(text), display: text };
        }
        var display = decodeAnsi(bytes, ansiCharset);
        var href = String(url).replace(/%2F/gi, '/').replace(/\+/g, '%20');
        // An absolute address needs its reserved characters back to work.
        var head = String.fromCharCode.apply(null, Array.prototype.slice.call(bytes, 0, 32));
        if (SCHEME.test(head)) {
            href = href.replace(/%([0-9a-fA-F]{2})/g, function (esc, hex) {
                var ch = String.fromCharCode(parseInt(hex, 16));
                return RESERVED.indexOf(ch) >= 0 ? ch : esc;
            });
        }
        return { href: href, display: display };
    }

    var RESERVED = ":/?#[]@!$&'()*+,;=~";

    var SAFE_SCHEMES = ['http', 'https', 'ftp', 'mailto', 'file'];

    // Whether a link target may become a link: relative addresses and the
    // schemes http, https, ftp, mailto and file. Judged on the text as a
    // browser reads it (outer blanks and controls, inner tabs and line
    // breaks ignored).
    function isSafeHref(href) {
        var s = String(href).replace(/^[\u0000-\u0020]+|[\u0000-\u0020]+$/g, '').replace(/[\t\n\r]/g, '');
        var m = SCHEME.exec(s);
        return !m || SAFE_SCHEMES.indexOf(m[1].toLowerCase()) >= 0;
    }

    return {
        readInteger: readInteger,
        splitLinkEntry: splitLinkEntry,
        readDatabase: readDatabase,
        linkAt: linkAt,
        looksMisdecoded: looksMisdecoded,
        foldText: foldText,
        foldAll: foldAll,
        parseQuery: parseQuery,
        buildIndex: buildIndex,
        search: search,
        correction: correction,
        editDistance: editDistance,
        highlight: highlight,
        urlBytes: urlBytes,
        resolveUrl: resolveUrl,
        isSafeHref: isSafeHref,
        WEIGHT: WEIGHT
    };
});
