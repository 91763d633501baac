// Finding the right page in headless Chromium: partial matches, names,
// typing errors, results as you type, Escape, the phone, and accessibility
// (axe-core over every template in both colour schemes).
'use strict';

const test = require('node:test');
const assert = require('node:assert/strict');

const { launch, openSearch, searchFor, captions } = require('../support/browser.js');
const { makeTestEngine, templateNames, fileUrl } = require('../support/engines.js');

let browser;
test.before(async () => { browser = await launch(); });
test.after(async () => { await browser.close(); });

const SITE = {
    categories: ['All Categories', 'Library', 'Tutorial'],
    links: [
        { category: 1, caption: 'os.path \u2014 Common pathname manipulations', path: 'library/os.path.html',
            description: 'Functions on path names: join, split, exists.', keywords: ['path', 'join', 'pathname'] },
        { category: 1, caption: 'os \u2014 Miscellaneous operating system interfaces', path: 'library/os.html',
            description: 'Portable use of operating system functions.', keywords: ['os', 'path', 'join', 'environ'] },
        { category: 1, caption: 'argparse \u2014 Parser for command-line options', path: 'library/argparse.html',
            description: 'Command-line parsing.', keywords: ['argparse', 'parser', 'arguments'] },
        { category: 2, caption: 'Data structures', path: 'tutorial/datastructures.html',
            description: 'Lists, tuples and dictionaries.', keywords: ['list', 'dictionary', 'tuple'] },
        { category: 2, caption: 'Reading and writing files', path: 'tutorial/inputoutput.html',
            description: 'Opening a file, reading CSV.', keywords: ['file', 'read', 'write'] },
    ],
};

async function newPage(options) {
    const page = await browser.context.newPage();
    if (options && options.viewport) await page.setViewportSize(options.viewport);
    page.problems = [];
    page.on('pageerror', (error) => page.problems.push('error: ' + error.message));
    return page;
}

async function finish(page) {
    assert.deepEqual(page.problems, []);
    await page.close();
}

const engines = {};
function engine(template = 'Full page') {
    if (!engines[template]) engines[template] = makeTestEngine(SITE, { template });
    return engines[template];
}

test('names, partial matches and typing errors on the page', async () => {
    const page = await newPage();
    await openSearch(page, fileUrl(engine()));
    const rows = [
        // query, first caption, status begins with
        ['os.path.join', 'os.path \u2014 Common pathname manipulations', /^2 results$/],
        ['argprase', 'argparse \u2014 Parser for command-line options', /^Showing results for argparse \u2013 1 result$/],
        ['dictonary', 'Data structures', /^Showing results for dictionary/],
        ['read csv zebra', 'Reading and writing files', /^1 result$/],
    ];
    for (const [query, first, status] of rows) {
        await searchFor(page, query);
        assert.equal((await captions(page))[0], first, query);
        assert.match(await page.textContent('#qmp-status'), status, query);
    }
    // The page that lacks a word says which.
    const partial = page.locator('.qmp-result.qmp-partial');
    assert.equal(await partial.count(), 1);
    assert.match(await partial.locator('.qmp-lacks').textContent(), /lacks: zebra$/);
    await finish(page);
});

test('results follow the typing after a pause, the address too; Escape clears all', async () => {
    const page = await newPage();
    const url = fileUrl(engine());
    await openSearch(page, url);
    await page.locator('#qmp-query').pressSequentially('argp', { delay: 30 });
    await page.waitForFunction(() => document.querySelectorAll('#qmp-results li').length === 1);
    assert.deepEqual(await captions(page), ['argparse \u2014 Parser for command-line options']);
    assert.match(page.url(), /\?q=argp$/);
    const entries = await page.evaluate(() => history.length);
    await page.locator('#qmp-query').pressSequentially('arse', { delay: 30 });
    await page.waitForFunction(() => location.search === '?q=argparse');
    // Typing replaces the history entry instead of adding one for every key.
    assert.equal(await page.evaluate(() => history.length), entries);
    await page.press('#qmp-query', 'Escape');
    assert.equal(await page.inputValue('#qmp-query'), '');
    assert.equal(await page.locator('#qmp-results li').count(), 0);
    assert.equal(await page.textContent('#qmp-status'), 'Type one or more words.');
    assert.equal(new URL(page.url()).search, '');
    await finish(page);
});

test('punctuation alone and very long queries are answered plainly', async () => {
    const page = await newPage();
    await openSearch(page, fileUrl(engine()));
    await searchFor(page, '?? -- ...');
    assert.match(await page.textContent('#qmp-status'), /punctuation alone finds nothing/);
    const long = 'zebra '.repeat(60);
    await searchFor(page, long);
    const status = await page.textContent('#qmp-status');
    assert.ok(status.length < 100, status);
    assert.match(status, /zebra zebra/);
    assert.ok((await page.title()).length < 100);
    await finish(page);
});

test('one category only: no category list; the live region is there from the first paint', async () => {
    for (const template of templateNames()) {
        const page = await newPage();
        const single = makeTestEngine({ categories: ['All Categories'], links: SITE.links.map((l) => ({ ...l, category: 0 })) },
            { template });
        await page.goto(fileUrl(single) + '?q=path');
        // Before the database is read, the region is in the page and rendered.
        const region = await page.evaluate(() => {
            const s = document.getElementById('qmp-status');
            return s && s.getAttribute('role') === 'status' && getComputedStyle(s).display !== 'none';
        });
        assert.ok(region, template);
        await page.waitForSelector('html[data-qmp-state=ready]');
        assert.equal(await page.isVisible('#qmp-category'), false, template);
        assert.match(await page.textContent('#qmp-status'), /^2 /, template);
        await finish(page);
    }
});

test('on a phone the first result starts in the upper half of the screen', async () => {
    for (const template of templateNames()) {
        const page = await newPage({ viewport: { width: 390, height: 844 } });
        await openSearch(page, fileUrl(engine(template)) + '?q=path');
        const top = await page.locator('#qmp-results li').first().evaluate((li) => li.getBoundingClientRect().top);
        assert.ok(top < 844 / 2, `${template}: first result at ${top}px`);
        await finish(page);
    }
});

// A computed CSS colour as [r, g, b, alpha] (0-255 and 0-1): rgb(), rgba()
// and color(srgb ...), as getComputedStyle gives them.
function rgba(colour) {
    const n = colour.match(/[\d.]+/g).map(Number);
    const scale = colour.startsWith('color(') ? 255 : 1;
    return [n[0] * scale, n[1] * scale, n[2] * scale, n.length > 3 ? n[3] : 1];
}

// The contrast of `fore` drawn over the opaque `back`.
function contrast(fore, back) {
    const b = rgba(back), f = rgba(fore);
    const over = f.slice(0, 3).map((v, i) => v * f[3] + b[i] * (1 - f[3]));
    const lum = (c) => {
        const [r, g, bl] = c.map((v) => {
            v /= 255;
            return v <= 0.03928 ? v / 12.92 : Math.pow((v + 0.055) / 1.055, 2.4);
        });
        return 0.2126 * r + 0.7152 * g + 0.0722 * bl;
    };
    const [x, y] = [lum(over), lum(b.slice(0, 3))].sort((p, q) => q - p);
    return (x + 0.05) / (y + 0.05);
}

for (const template of templateNames()) {
    for (const colorScheme of ['light', 'dark']) {
        test(`${template}, ${colorScheme}: no serious accessibility fault; field border and highlights contrast`, async () => {
            const page = await newPage();
            await page.emulateMedia({ colorScheme });
            await openSearch(page, fileUrl(engine(template)) + '?q=path+zebra');
            await page.addScriptTag({ path: require.resolve('axe-core/axe.min.js') });
            const result = await page.evaluate(() => window.axe.run(document, { resultTypes: ['violations'] }));
            const serious = result.violations.filter((v) => v.impact === 'serious' || v.impact === 'critical')
                .map((v) => v.id + ': ' + v.nodes.map((n) => n.target.join(' ')).join(', '));
            assert.deepEqual(serious, []);
            const colours = await page.evaluate(() => {
                const field = getComputedStyle(document.getElementById('qmp-query'));
                const under = (node) => {
                    for (let n = node; n; n = n.parentElement) {
                        const bg = getComputedStyle(n).backgroundColor;
                        if (!/rgba\(.*, 0\)$/.test(bg) && bg !== 'transparent') return bg;
                    }
                    return 'rgb(255, 255, 255)';
                };
                const mark = document.querySelector('#qmp-results mark');
                return { border: field.borderTopColor, around: under(document.getElementById('qmp-query').parentElement),
                    fieldBg: under(document.getElementById('qmp-query')),
                    markText: getComputedStyle(mark).color, markBg: getComputedStyle(mark).backgroundColor };
            });
            assert.ok(contrast(colours.border, colours.fieldBg) >= 3, JSON.stringify(colours));
            assert.ok(contrast(colours.border, colours.around) >= 3, JSON.stringify(colours));
            assert.ok(contrast(colours.markText, colours.markBg) >= 4.5, JSON.stringify(colours));
            await finish(page);
        });
    }
}
