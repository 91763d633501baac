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
    // as UTF-8 is almost all bad, a UTF-8 one almost all good.
    function looksMisdecoded(arrays) {
        var bad = 0, good = 0;
        for (var a = 0; a < arrays.length; a++) {
            var list = Array.isArray(arrays[a]) ? arrays[a] : [];
            for (var i = 0; i < list.length; i++) {
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

    // Words, "-word" exclusions and "quoted phrases" (a quote left open runs
    // to the end). Each term holds its folded text; terms that hold no letter
    // or digit are dropped.
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
            var words = foldText(raw).split(NOT_WORD).filter(Boolean);
            if (words.length === 0) continue;
            var term = { raw: raw, phrase: phrase, exclude: exclude, words: words };
            if (phrase && words.length > 1) {
                term.text = words[0];
                term.pattern = new RegExp('(?:^|[^\\p{L}\\p{N}\\p{M}])' +
                    words.map(escapeRegExp).join('[^\\p{L}\\p{N}\\p{M}]+'), 'u');
            } else {
                // A word with inner punctuation ("e-mail") is matched as written.
                term.text = phrase ? words[0] : foldText(raw).replace(/^[^\p{L}\p{N}]+|[^\p{L}\p{N}\p{M}]+$/gu, '');
            }
            term.unspaced = isUnspaced(term.text);
            terms.push(term);
        }
        return terms;
    }

    // ---- Index, matching and ranking ---------------------------------------

    var KEYWORD_SEP = '^';
    var SEP_CODE = 0x5e;

    // A kw entry as "^a^b^" without the lock markers.
    function keywordText(entry) {
        if (entry.indexOf('^~^') < 0 && entry.indexOf('^dont_update^') < 0 && entry.charAt(0) === '^') return entry;
        return '^' + entry.split('^').filter(function (k) { return k !== '' && !isLockMarker(k); }).join('^') + '^';
    }

    // Folded fields of every link that can show; links with no keywords and an
    // empty caption are left out.
    function buildIndex(db) {
        var shown = [], categories = [], captions = [], descriptions = [], keywords = [];
        for (var i = 0; i < db.count; i++) {
            var parts = splitLinkEntry(entryAt(db.ln, i));
            var kw = keywordText(entryAt(db.kw, i));
            if (kw.length <= 2 && parts.caption === '') continue;
            shown.push(i);
            categories.push(parts.category);
            captions.push(parts.caption);
            descriptions.push(entryAt(db.ds, i));
            keywords.push(kw.length <= 2 ? '^' : kw);
        }
        return {
            db: db,
            links: shown,
            categories: categories,
            captions: foldAll(captions),
            descriptions: foldAll(descriptions),
            keywords: foldAll(keywords)
        };
    }

    var WEIGHT = {
        firstKeyword: 10,   // falls with the keyword's place: 10 / (1 + place / 3)
        caption: 8,
        description: 3,
        prefix: 0.5         // a word that only begins with the query word
    };

    // The place (0 = first) of the keyword in which the text at `at` stands.
    function keywordPlace(keywords, at) {
        var place = -1;
        for (var i = 0; i < at; i++) if (keywords.charCodeAt(i) === SEP_CODE) place++;
        return place;
    }

    function placeWeight(place) {
        return WEIGHT.firstKeyword / (1 + place / 3);
    }

    // The best score of the term among the keywords: the earlier the keyword,
    // the more it counts; a whole keyword counts more than one it begins.
    function keywordScore(keywords, term) {
        var at = term.unspaced ? keywords.indexOf(term.text) : keywords.indexOf(KEYWORD_SEP + term.text);
        if (at < 0) return 0;
        if (!term.unspaced) at++;
        var whole = keywords.charCodeAt(at - 1) === SEP_CODE && keywords.charCodeAt(at + term.text.length) === SEP_CODE;
        var best = placeWeight(keywordPlace(keywords, at)) * (whole ? 1 : WEIGHT.prefix);
        if (!whole) {
            var exact = keywords.indexOf(KEYWORD_SEP + term.text + KEYWORD_SEP, at);
            if (exact >= 0) best = Math.max(best, placeWeight(keywordPlace(keywords, exact + 1)));
        }
        return best;
    }

    // 1 when the term stands in the text as a whole word (or phrase), the
    // prefix factor when a word only begins with it, 0 when it is not there.
    function textScore(text, term) {
        if (term.pattern) return term.pattern.test(text) ? 1 : 0;
        var at = findWord(text, term.text, term.unspaced, 0), best = 0;
        while (at >= 0) {
            if (term.phrase || endsWord(text, at + term.text.length)) return 1;
            best = WEIGHT.prefix;
            at = findWord(text, term.text, term.unspaced, at + 1);
        }
        return best;
    }

    // The term's score for link e of the index: 0 when it matches none of the
    // fields searched. Phrases match captions and descriptions only.
    function termScore(index, e, term, fields) {
        var caption = index.captions[e], description = index.descriptions[e], keywords = index.keywords[e];
        if (caption.indexOf(term.text) < 0 && description.indexOf(term.text) < 0 &&
            keywords.indexOf(term.text) < 0) return 0;
        var score = 0;
        if (fields.keywords && !term.phrase) score += keywordScore(keywords, term);
        if (fields.caption) score += WEIGHT.caption * textScore(caption, term);
        if (fields.description) score += WEIGHT.description * textScore(description, term);
        return score;
    }

    var ALL_FIELDS = { keywords: true, caption: true, description: true };

    // Positions (into the database's links) of the links that match every
    // word and phrase and none of the exclusions, best first; equal scores
    // keep database order. options: category (0 or absent: all), fields
    // ({keywords, caption, description}).
    function search(index, query, options) {
        options = options || {};
        var terms = typeof query === 'string' ? parseQuery(query) : query;
        var fields = options.fields || ALL_FIELDS;
        var category = options.category | 0;
        var wanted = terms.filter(function (t) { return !t.exclude; });
        var unwanted = terms.filter(function (t) { return t.exclude; });
        if (wanted.length === 0) return [];
        var hits = [];
        for (var e = 0; e < index.links.length; e++) {
            if (category > 0 && index.categories[e] !== category) continue;
            var total = 0, t;
            for (t = 0; t < wanted.length; t++) {
                var score = termScore(index, e, wanted[t], fields);
                if (score === 0) break;
                total += score;
            }
            if (t < wanted.length) continue;
            for (t = 0; t < unwanted.length; t++) if (termScore(index, e, unwanted[t], fields) > 0) break;
            if (t < unwanted.length) continue;
            hits.push({ link: index.links[e], score: total });
        }
        hits.sort(function (a, b) { return b.score - a.score || a.link - b.link; });
        return hits;
    }

    // Pieces of a text with the words that a query word or phrase word begins
    // marked, for highlighting: [{text, mark}].
    function highlight(text, terms) {
        var words = [];
        terms.forEach(function (t) {
            if (!t.exclude) words = words.concat(t.words);
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
        highlight: highlight,
        urlBytes: urlBytes,
        resolveUrl: resolveUrl,
        isSafeHref: isSafeHref,
        WEIGHT: WEIGHT
    };
});
