/* The search page: loads the database named in qmptp.js with a script
 * element (so it works from a CD, file://, any web server and the program's
 * preview), keeps the query in the page address, and shows the results as
 * the visitor types. Every text from the database goes into the page as
 * text, never as markup. The page asks for the database as soon as this
 * script runs, so that it loads while the rest of the page does.
 * A newer copy of this file may replace it; the author's settings live in
 * qmptp.js. */
(function (win) {
    'use strict';
    var doc = win.document;
    var Q = null;  // qmpsearch.js, which may come after this script: taken when the page is parsed

    var DEFAULTS = {
        database: 'searchdb.js',
        databaseCharset: 'auto',
        ansiCharset: 'windows-1252',
        resultsPerPage: 10,
        searchIn: { keywords: true, caption: true, description: true, url: true },
        searchAsYouType: true,
        showAddress: true,
        showCategory: true,
        texts: {
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
            category: 'Category: %s'
        }
    };
    var TYPING_PAUSE = 250;   // ms after the last key before results show
    var ECHO_LENGTH = 60;     // characters of the query repeated on the page

    function readSettings() {
        var own = win.qmpSettings || {};
        var cfg = {};
        Object.keys(DEFAULTS).forEach(function (key) {
            cfg[key] = own[key] !== undefined ? own[key] : DEFAULTS[key];
        });
        cfg.texts = {};
        Object.keys(DEFAULTS.texts).forEach(function (key) {
            var texts = own.texts || {};
            cfg.texts[key] = typeof texts[key] === 'string' ? texts[key] : DEFAULTS.texts[key];
        });
        Object.keys(own.texts || {}).forEach(function (key) {
            if (!(key in cfg.texts)) cfg.texts[key] = String(own.texts[key]);
        });
        cfg.resultsPerPage = Math.max(1, parseInt(cfg.resultsPerPage, 10) || DEFAULTS.resultsPerPage);
        return cfg;
    }

    var cfg = readSettings();
    var el = {};
    var state = { db: null, index: null, query: '', category: 0, page: 1 };
    var baseTitle = '';

    function format(text, value) {
        return String(text).replace(/%[ds]/g, String(value));
    }

    // The visitor's words as the page repeats them: a very long query is cut.
    function echo(query) {
        var s = String(query).replace(/\s+/g, ' ').trim();
        return s.length > ECHO_LENGTH ? s.slice(0, ECHO_LENGTH - 1) + '\u2026' : s;
    }

    function make(tag, className, text) {
        var node = doc.createElement(tag);
        if (className) node.className = className;
        if (text !== undefined) node.textContent = text;
        return node;
    }

    function setStatus(text) {
        if (el.status.textContent !== text) el.status.textContent = text;
    }

    // ---- Address: the query, category and page live in it, so the back
    // button and bookmarks work. Read from "?..." (a form elsewhere may send
    // visitors here) and from "#..." (written where history is refused).

    function readAddress() {
        var values = { q: '', c: 0, p: 1 };
        [win.location.search, win.location.hash].forEach(function (part) {
            if (part.length < 2) return;
            part.slice(1).split('&').forEach(function (pair) {
                var eq = pair.indexOf('=');
                if (eq < 0) return;
                var key = pair.slice(0, eq), value;
                try {
                    value = decodeURIComponent(pair.slice(eq + 1).replace(/\+/g, ' '));
                } catch (e) {
                    return;
                }
                if (key === 'q') values.q = value;
                if (key === 'c') values.c = Math.max(0, parseInt(value, 10) || 0);
                if (key === 'p') values.p = Math.max(1, parseInt(value, 10) || 1);
            });
        });
        return values;
    }

    function addressFor(query, category, page) {
        if (query === '') return win.location.pathname;
        var text = '?q=' + encodeURIComponent(query);
        if (category > 0) text += '&c=' + category;
        if (page > 1) text += '&p=' + page;
        return text;
    }

    function writeAddress(push) {
        var address = addressFor(state.query, state.category, state.page);
        var current = win.location.search + win.location.hash;
        if ((state.query === '' && current === '') || (current === address && !win.location.hash)) return;
        try {
            win.history[push ? 'pushState' : 'replaceState'](null, '', address);
        } catch (e) {
            win.location.hash = state.query === '' ? '' : address.slice(1);
        }
    }

    // ---- Database

    // Loads the database script in `charset`; calls done(true) when it
    // defined the arrays. A second load names its charset in the address, or
    // the browser would hand back the text it decoded the first time.
    function loadScript(charset, done, again) {
        var old = doc.getElementById('qmp-database');
        if (old) old.parentNode.removeChild(old);
        win.ln = undefined;
        var script = doc.createElement('script');
        script.id = 'qmp-database';
        script.charset = charset;
        script.src = again ? cfg.database + (cfg.database.indexOf('?') < 0 ? '?' : '&') + 'charset=' +
            encodeURIComponent(charset) : cfg.database;
        script.onload = function () {
            done(Array.isArray(win.ln));
        };
        script.onerror = function () {
            done(false);
        };
        (doc.head || doc.documentElement).appendChild(script);
    }

    function loadDatabase(done) {
        var auto = String(cfg.databaseCharset).toLowerCase() === 'auto';
        loadScript(auto ? 'utf-8' : cfg.databaseCharset, done);
    }

    // A database saved in an ANSI code page reads badly as UTF-8: it is read
    // once more in ansiCharset.
    function checkCharset(ok, done) {
        var auto = String(cfg.databaseCharset).toLowerCase() === 'auto';
        if (ok && auto && Q.looksMisdecoded([win.cg, win.ln, win.ds, win.kw])) loadScript(cfg.ansiCharset, done, true);
        else done(ok);
    }

    function fillCategories() {
        var names = state.db.categories;
        if (!el.category) return;
        while (el.category.firstChild) el.category.removeChild(el.category.firstChild);
        names.forEach(function (name, i) {
            el.category.appendChild(make('option', '', name)).value = String(i);
        });
        // One category is all there is: nothing to choose.
        if (el.categoryField) el.categoryField.hidden = names.length < 2;
    }

    // ---- Results

    function appendMarked(parent, text, terms) {
        Q.highlight(text, terms).forEach(function (piece) {
            parent.appendChild(piece.mark ? make('mark', '', piece.text) : doc.createTextNode(piece.text));
        });
    }

    function resultItem(link, terms, hit) {
        var item = make('li', hit.partial ? 'qmp-result qmp-partial' : 'qmp-result');
        var target = Q.resolveUrl(link.url, cfg.ansiCharset);
        var heading = make('h3', 'qmp-caption');
        // A link to a scheme that could run code is shown as plain text.
        var title = Q.isSafeHref(target.href) ? make('a') : make('span', 'qmp-nolink');
        if (title.tagName === 'A') title.href = target.href;
        appendMarked(title, link.caption || target.display, terms);
        heading.appendChild(title);
        item.appendChild(heading);
        if (link.description) appendMarked(item.appendChild(make('p', 'qmp-description')), link.description, terms);
        var meta = make('p', 'qmp-meta');
        if (hit.partial) meta.appendChild(make('span', 'qmp-lacks', format(cfg.texts.partial, hit.missing.join(', '))));
        if (cfg.showAddress) meta.appendChild(make('span', 'qmp-address', target.display));
        var names = state.db.categories;
        if (cfg.showCategory && link.category > 0 && link.category < names.length && names[link.category]) {
            meta.appendChild(make('span', 'qmp-category', format(cfg.texts.category, names[link.category])));
        }
        if (meta.firstChild) item.appendChild(meta);
        return item;
    }

    function pageLink(text, page, current) {
        var node;
        if (current) {
            node = make('span', 'qmp-page qmp-current', text);
            node.setAttribute('aria-current', 'page');
            return node;
        }
        node = make('a', 'qmp-page', text);
        node.href = addressFor(state.query, state.category, page);
        node.addEventListener('click', function (event) {
            event.preventDefault();
            state.page = page;
            writeAddress(true);
            render();
            el.status.focus();
        });
        return node;
    }

    function renderPages(pageCount) {
        var nav = el.pages;
        while (nav.firstChild) nav.removeChild(nav.firstChild);
        nav.hidden = pageCount < 2;
        if (pageCount < 2) return;
        nav.setAttribute('aria-label', cfg.texts.pages);
        var page = state.page;
        if (page > 1) nav.appendChild(pageLink(cfg.texts.previous, page - 1, false)).setAttribute('rel', 'prev');
        var first = Math.max(1, Math.min(page - 3, pageCount - 6)), last = Math.min(pageCount, first + 6);
        for (var p = first; p <= last; p++) {
            var link = nav.appendChild(pageLink(String(p), p, p === page));
            link.setAttribute('aria-label', format(cfg.texts.page, p));
        }
        if (page < pageCount) nav.appendChild(pageLink(cfg.texts.next, page + 1, false)).setAttribute('rel', 'next');
    }

    function clearResults() {
        var list = el.results;
        while (list.firstChild) list.removeChild(list.firstChild);
    }

    function render() {
        clearResults();
        doc.title = state.query ? echo(state.query) + ' \u2013 ' + baseTitle : baseTitle;
        if (!state.index) return;
        var terms = Q.parseQuery(state.query);
        if (terms.length === 0) {
            setStatus(/\S/.test(state.query) ? cfg.texts.noWords : cfg.texts.prompt);
            renderPages(0);
            return;
        }
        var hits = Q.search(state.index, terms, { category: state.category, fields: cfg.searchIn });
        var pageCount = Math.ceil(hits.length / cfg.resultsPerPage);
        state.page = Math.min(state.page, Math.max(1, pageCount));
        var count = hits.length === 0 ? format(cfg.texts.noResults, echo(state.query))
            : hits.length === 1 ? cfg.texts.oneResult : format(cfg.texts.results, hits.length);
        setStatus(hits.corrected ? format(cfg.texts.corrected, echo(hits.corrected)) + ' \u2013 ' + count : count);
        var start = (state.page - 1) * cfg.resultsPerPage;
        var fragment = doc.createDocumentFragment();
        hits.slice(start, start + cfg.resultsPerPage).forEach(function (hit) {
            fragment.appendChild(resultItem(Q.linkAt(state.db, hit.link), terms, hit));
        });
        el.results.appendChild(fragment);
        el.results.start = start + 1;
        renderPages(pageCount);
        if (win.performance && win.performance.mark) win.performance.mark('qmp-results');
    }

    // Takes the query, category and page from the address into the form.
    function applyAddress() {
        var values = readAddress();
        state.query = values.q;
        state.category = values.c < state.db.categories.length ? values.c : 0;
        state.page = values.p;
        el.query.value = state.query;
        if (el.category && state.db.categories.length > 0) el.category.value = String(state.category);
        render();
    }

    function readForm() {
        state.query = el.query.value;
        state.category = el.category && el.category.value ? parseInt(el.category.value, 10) || 0 : 0;
        state.page = 1;
    }

    var typing = 0;

    // Enter (or the button) searches at once and makes a new history entry.
    function submit() {
        win.clearTimeout(typing);
        readForm();
        writeAddress(true);
        render();
    }

    // While the visitor types, the results follow after a short pause; the
    // address follows without a history entry for every key.
    function typed() {
        win.clearTimeout(typing);
        typing = win.setTimeout(function () {
            if (el.query.value === state.query) return;
            readForm();
            writeAddress(false);
            render();
        }, TYPING_PAUSE);
    }

    // Escape empties the field, the results and the address.
    function cleared(event) {
        if (event.key !== 'Escape' || (el.query.value === '' && state.query === '')) return;
        event.preventDefault();
        win.clearTimeout(typing);
        el.query.value = '';
        readForm();
        writeAddress(false);
        render();
    }

    function wire() {
        doc.querySelectorAll('[data-qmp-text]').forEach(function (node) {
            var text = cfg.texts[node.getAttribute('data-qmp-text')];
            if (text !== undefined) node.textContent = text;
        });
        doc.querySelectorAll('[data-qmp-placeholder]').forEach(function (node) {
            var text = cfg.texts[node.getAttribute('data-qmp-placeholder')];
            if (text !== undefined) node.setAttribute('placeholder', text);
        });
        el.form.addEventListener('submit', function (event) {
            event.preventDefault();
            submit();
        });
        if (cfg.searchAsYouType) el.query.addEventListener('input', typed);
        el.query.addEventListener('keydown', cleared);
        setStatus(cfg.texts.loading);
    }

    function ready(ok) {
        if (!ok) {
            setStatus(cfg.texts.loadError);
            doc.documentElement.setAttribute('data-qmp-state', 'error');
            return;
        }
        state.db = Q.readDatabase(win.cg, win.ln, win.ds, win.kw);
        state.index = Q.buildIndex(state.db);
        fillCategories();
        if (el.category) {
            el.category.addEventListener('change', function () {
                if (Q.parseQuery(el.query.value).length > 0) submit();
            });
        }
        win.addEventListener('popstate', applyAddress);
        win.addEventListener('hashchange', applyAddress);
        applyAddress();
        doc.documentElement.setAttribute('data-qmp-state', 'ready');
    }

    function findElements() {
        ['form', 'query', 'category', 'status', 'results', 'pages'].forEach(function (name) {
            el[name] = doc.getElementById('qmp-' + name);
        });
        el.categoryField = doc.getElementById('qmp-category-field');
        return el.form && el.query && el.status && el.results && el.pages;
    }

    // The database is asked for at once; the page is wired when its
    // elements (and the search script) are there, and searched when both are.
    function start() {
        var loaded = null, parsed = false;
        function both() {
            if (loaded !== null && parsed) checkCharset(loaded, ready);
        }
        loadDatabase(function (ok) {
            loaded = ok;
            both();
        });
        function domReady() {
            Q = win.QmpSearch;
            if (!Q || !findElements()) return;
            baseTitle = doc.title;
            wire();
            parsed = true;
            // While the database is still on its way, a search of a tiny one
            // readies the search code, so that the first results come sooner.
            if (loaded === null) {
                Q.search(Q.buildIndex(Q.readDatabase(['-'], ['0^Ready os.path^r.html'], ['ready'], ['^ready^'])),
                    'ready os.path -x "ready os"');
            }
            both();
        }
        if (doc.readyState === 'loading') doc.addEventListener('DOMContentLoaded', domReady);
        else domReady();
    }

    start();
})(window);
