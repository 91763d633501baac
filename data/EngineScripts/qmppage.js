/* The search page: loads the database named in qmptp.js with a script
 * element (so it works from a CD, file://, any web server and the program's
 * preview), keeps the query in the page address, and shows the results.
 * Every text from the database goes into the page as text, never as markup.
 * A newer copy of this file may replace it; the author's settings live in
 * qmptp.js. */
(function (win) {
    'use strict';
    var doc = win.document;
    var Q = win.QmpSearch;

    var DEFAULTS = {
        database: 'searchdb.js',
        databaseCharset: 'auto',
        ansiCharset: 'windows-1252',
        resultsPerPage: 10,
        searchIn: { keywords: true, caption: true, description: true },
        showAddress: true,
        showCategory: true,
        texts: {
            prompt: 'Type one or more words and press Enter.',
            loading: 'Loading the search database\u2026',
            loadError: 'The search database could not be loaded.',
            results: '%d results',
            oneResult: '1 result',
            noResults: 'Nothing was found for \u201c%s\u201d.',
            previous: 'Previous',
            next: 'Next',
            pages: 'Result pages',
            page: 'Page %d',
            category: 'Category: %s'
        }
    };

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
    var el = {
        form: doc.getElementById('qmp-form'),
        query: doc.getElementById('qmp-query'),
        category: doc.getElementById('qmp-category'),
        categoryField: doc.getElementById('qmp-category-field'),
        status: doc.getElementById('qmp-status'),
        results: doc.getElementById('qmp-results'),
        pages: doc.getElementById('qmp-pages')
    };
    var state = { db: null, index: null, query: '', category: 0, page: 1 };
    var baseTitle = doc.title;

    function format(text, value) {
        return String(text).replace(/%[ds]/g, String(value));
    }

    function make(tag, className, text) {
        var node = doc.createElement(tag);
        if (className) node.className = className;
        if (text !== undefined) node.textContent = text;
        return node;
    }

    function setStatus(text) {
        el.status.textContent = text;
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
        var text = '?q=' + encodeURIComponent(query);
        if (category > 0) text += '&c=' + category;
        if (page > 1) text += '&p=' + page;
        return text;
    }

    function writeAddress(push) {
        var address = addressFor(state.query, state.category, state.page);
        if (win.location.search === address && !win.location.hash) return;
        try {
            win.history[push ? 'pushState' : 'replaceState'](null, '', address);
        } catch (e) {
            win.location.hash = address.slice(1);
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
        doc.body.appendChild(script);
    }

    function loadDatabase(done) {
        var auto = String(cfg.databaseCharset).toLowerCase() === 'auto';
        loadScript(auto ? 'utf-8' : cfg.databaseCharset, function (ok) {
            // A database saved in an ANSI code page reads badly as UTF-8.
            if (ok && auto && Q.looksMisdecoded([win.cg, win.ln, win.ds, win.kw])) {
                loadScript(cfg.ansiCharset, done, true);
            } else {
                done(ok);
            }
        });
    }

    function fillCategories() {
        var names = state.db.categories;
        if (!el.category) return;
        while (el.category.firstChild) el.category.removeChild(el.category.firstChild);
        names.forEach(function (name, i) {
            el.category.appendChild(make('option', '', name)).value = String(i);
        });
        if (el.categoryField) el.categoryField.hidden = names.length === 0;
    }

    // ---- Results

    function appendMarked(parent, text, terms) {
        Q.highlight(text, terms).forEach(function (piece) {
            parent.appendChild(piece.mark ? make('mark', '', piece.text) : doc.createTextNode(piece.text));
        });
    }

    function resultItem(link, terms) {
        var item = make('li', 'qmp-result');
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

    function render() {
        var list = el.results;
        while (list.firstChild) list.removeChild(list.firstChild);
        doc.title = state.query ? state.query + ' \u2013 ' + baseTitle : baseTitle;
        if (!state.index) return;
        var terms = Q.parseQuery(state.query);
        if (terms.length === 0) {
            setStatus(cfg.texts.prompt);
            renderPages(0);
            return;
        }
        var hits = Q.search(state.index, terms, { category: state.category, fields: cfg.searchIn });
        var pageCount = Math.ceil(hits.length / cfg.resultsPerPage);
        state.page = Math.min(state.page, Math.max(1, pageCount));
        setStatus(hits.length === 0 ? format(cfg.texts.noResults, state.query)
            : hits.length === 1 ? cfg.texts.oneResult : format(cfg.texts.results, hits.length));
        var start = (state.page - 1) * cfg.resultsPerPage;
        var fragment = doc.createDocumentFragment();
        hits.slice(start, start + cfg.resultsPerPage).forEach(function (hit) {
            fragment.appendChild(resultItem(Q.linkAt(state.db, hit.link), terms));
        });
        list.appendChild(fragment);
        list.start = start + 1;
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

    function submit() {
        state.query = el.query.value;
        state.category = el.category && el.category.value ? parseInt(el.category.value, 10) || 0 : 0;
        state.page = 1;
        writeAddress(true);
        render();
    }

    function start() {
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
        setStatus(cfg.texts.loading);
        loadDatabase(function (ok) {
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
        });
    }

    if (Q && el.form && el.query && el.status && el.results && el.pages) start();
})(window);
