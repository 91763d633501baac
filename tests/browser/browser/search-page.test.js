// The search page in headless Chromium: from file:// and over http.
'use strict';

const test = require('node:test');
const assert = require('node:assert/strict');
const fs = require('node:fs');
const path = require('node:path');

const { launch, openSearch, searchFor, captions } = require('../support/browser.js');
const { makeExampleEngine, makeTestEngine, makeSiteEngine, templateNames, fileUrl } = require('../support/engines.js');
const { serve } = require('../support/server.js');

let browser;
test.before(async () => { browser = await launch(); });
test.after(async () => { await browser.close(); });

// A fresh page that records script errors and dialogs: none may happen.
async function newPage() {
    const page = await browser.context.newPage();
    page.problems = [];
    page.on('pageerror', (error) => page.problems.push('error: ' + error.message));
    page.on('dialog', (dialog) => { page.problems.push('dialog: ' + dialog.message()); dialog.dismiss(); });
    return page;
}

async function finish(page) {
    assert.deepEqual(page.problems, []);
    await page.close();
}

const example = {};
function exampleEngine(template) {
    if (!example[template]) example[template] = makeExampleEngine(template);
    return example[template];
}

for (const template of templateNames()) {
    test(`${template}: a query on the example site finds the expected pages from file://`, async () => {
        const page = await newPage();
        assert.equal(await openSearch(page, fileUrl(exampleEngine(template))), 'ready');
        await searchFor(page, 'kilns');
        const found = await captions(page);
        assert.ok(found.includes('The old kilns at Greyscar'), found.join(' | '));
        assert.ok(found.includes('Greyscar limestone and the lime trade'), found.join(' | '));
        // Pages of the stop folder were never indexed.
        await searchFor(page, 'zinc');
        assert.deepEqual(await captions(page), []);
        assert.match(await page.textContent('#qmp-status'), /zinc/);
        await finish(page);
    });
}

test('the count of results is announced to screen readers', async () => {
    const page = await newPage();
    await openSearch(page, fileUrl(exampleEngine('Full page')) + '?q=granite');
    const status = page.locator('#qmp-status');
    assert.equal(await status.getAttribute('role'), 'status');
    const shown = (await captions(page)).length;
    assert.ok(shown >= 3);
    assert.equal(await status.textContent(), shown + ' results');
    await finish(page);
});

test('diacritics and word beginnings match in both directions', async () => {
    const page = await newPage();
    await openSearch(page, fileUrl(exampleEngine('Full page')));
    const rows = [
        ['sao bento', 'Pedreira de São Bento'],
        ['SÃO', 'Pedreira de São Bento'],
        ['elodie', 'Élodie Marchand, stone carver'],
        ['Élodie', 'Élodie Marchand, stone carver'],
        ['carri', 'Carrière de Saint-Rémy'],
        ['remy carriere', 'Carrière de Saint-Rémy'],
        ['wedg', 'Wedges and feathers'],
        ['варна', 'Писмо от Варна'],
    ];
    for (const [query, caption] of rows) {
        await searchFor(page, query);
        assert.ok((await captions(page)).includes(caption), `${query} should find ${caption}`);
    }
    await searchFor(page, 'dges');  // inside a word, not at its start
    assert.ok(!(await captions(page)).includes('Wedges and feathers'));
    // A word one edit from a word of the site is read as that word, and said.
    await searchFor(page, 'wegdes');
    assert.ok((await captions(page)).includes('Wedges and feathers'));
    assert.match(await page.textContent('#qmp-status'), /^Showing results for wedges/);
    await finish(page);
});

test('results link to the pages, also under names with spaces and accents', async () => {
    const page = await newPage();
    await openSearch(page, fileUrl(exampleEngine('Full page')) + '?q=cafe+evenings');
    const link = page.locator('#qmp-results a', { hasText: 'Café evenings' });
    assert.equal(await link.getAttribute('href'), 'news/caf%C3%A9-evenings.html');
    await Promise.all([page.waitForNavigation(), link.click()]);
    assert.equal(await page.title(), 'Café evenings');
    await finish(page);
});

test('captions that hold carets show whole and link to their pages', async () => {
    const page = await newPage();
    await openSearch(page, fileUrl(makeSiteEngine([['ops.html', 'operator^= and x^y'], ['plain.html', 'Plain']])) +
        '?q=sample');
    assert.deepEqual((await captions(page)).sort(), ['Plain', 'operator^= and x^y']);
    const link = page.locator('#qmp-results a', { hasText: 'operator^= and x^y' });
    assert.equal(await link.getAttribute('href'), 'ops.html');
    await finish(page);
});

test('the query stays in the address: back button and bookmarks work', async () => {
    const page = await newPage();
    const url = fileUrl(exampleEngine('Full page'));
    await openSearch(page, url);
    await searchFor(page, 'granite');
    const granite = await captions(page);
    await searchFor(page, 'walk');
    assert.match(page.url(), /\?q=walk$/);
    await page.goBack();
    await page.waitForFunction(() => document.getElementById('qmp-query').value === 'granite');
    assert.deepEqual(await captions(page), granite);
    // Opening the address afresh shows the same results.
    await openSearch(page, url + '?q=granite');
    assert.deepEqual(await captions(page), granite);
    await finish(page);
});

test('long result lists come in pages', async () => {
    const links = Array.from({ length: 25 }, (_, i) => ({ caption: 'Stone ' + (i + 1), path: 's' + i + '.html',
        description: 'd', keywords: ['stone'] }));
    const page = await newPage();
    await openSearch(page, fileUrl(makeTestEngine({ categories: ['All Categories'], links })) + '?q=stone');
    assert.equal(await page.textContent('#qmp-status'), '25 results');
    assert.equal((await captions(page)).length, 10);
    await page.click('#qmp-pages a[rel=next]');
    assert.match(page.url(), /[?&]p=2/);
    assert.equal((await captions(page))[0], 'Stone 11');
    await page.click('#qmp-pages a:text-is("3")');
    assert.deepEqual(await captions(page), ['Stone 21', 'Stone 22', 'Stone 23', 'Stone 24', 'Stone 25']);
    assert.equal(await page.getAttribute('#qmp-pages [aria-current=page]', 'aria-label'), 'Page 3');
    await finish(page);
});

test('the category filter lists the categories and narrows the results', async () => {
    const description = {
        categories: ['All Categories', 'Quarries', 'Walks'],
        links: [
            { category: 1, caption: 'Slate quarry', path: 'q1.html', description: 'A trail by the quarry', keywords: ['quarry'] },
            { category: 2, caption: 'Quarry trail', path: 'w1.html', description: 'Walk', keywords: ['trail', 'quarry'] },
            { category: 2, caption: 'Ridge trail', path: 'w2.html', description: 'Walk', keywords: ['trail'] }],
    };
    const page = await newPage();
    await openSearch(page, fileUrl(makeTestEngine(description)));
    assert.deepEqual(await page.locator('#qmp-category option').allTextContents(),
        ['All Categories', 'Quarries', 'Walks']);
    await searchFor(page, 'trail');
    assert.deepEqual((await captions(page)).sort(), ['Quarry trail', 'Ridge trail', 'Slate quarry']);
    await page.selectOption('#qmp-category', { label: 'Walks' });
    assert.deepEqual((await captions(page)).sort(), ['Quarry trail', 'Ridge trail']);
    assert.match(page.url(), /[?&]c=2/);
    await page.selectOption('#qmp-category', { label: 'Quarries' });
    assert.deepEqual(await captions(page), ['Slate quarry']);
    await page.selectOption('#qmp-category', { label: 'All Categories' });
    assert.equal((await captions(page)).length, 3);
    await finish(page);
});

for (const template of templateNames()) {
    test(`${template}: database text is shown as text and unsafe addresses are not links`, async () => {
        const description = {
            categories: ['All Categories', '<b onmouseover=alert(3)>cat</b>'],
            links: [
                { category: 1, caption: '<img src=x onerror=alert(1)>', path: 'a.html',
                    description: '<script>alert(2)</script> hostile', keywords: ['hostile'] },
                { caption: 'Run me', url: 'javascript%3Aalert(document.domain)', description: 'hostile link',
                    keywords: ['hostile'] },
                { caption: 'Sneaky', url: '%20JavaScript%3Aalert(1)', description: 'hostile too', keywords: ['hostile'] },
                { caption: 'Data', url: 'data%3Atext%2Fhtml%2C%3Cscript%3Ealert(1)%3C%2Fscript%3E',
                    description: 'hostile data', keywords: ['hostile'] },
                { caption: 'Mail', url: 'mailto%3Asecretary%40example.org', description: 'hostile mail',
                    keywords: ['hostile'] }],
        };
        const page = await newPage();
        await openSearch(page, fileUrl(makeTestEngine(description, { template })) + '?q=hostile');
        const results = page.locator('#qmp-results');
        assert.equal(await results.locator('img, script, b').count(), 0);
        assert.ok((await captions(page)).includes('<img src=x onerror=alert(1)>'));
        assert.match(await results.textContent(), /<script>alert\(2\)<\/script> hostile/);
        for (const caption of ['Run me', 'Data']) {
            const item = results.locator('.qmp-result', { hasText: caption });
            assert.equal(await item.locator('a').count(), 0, caption);
            assert.equal(await item.locator('.qmp-nolink').textContent(), caption);
        }
        const sneaky = await results.locator('.qmp-result', { hasText: 'Sneaky' }).locator('a').getAttribute('href');
        assert.ok(!/^\s*javascript:/i.test(sneaky), sneaky);
        assert.equal(await results.locator('a', { hasText: 'Mail' }).getAttribute('href'), 'mailto:secretary@example.org');
        await results.locator('a').first().hover();
        await page.waitForTimeout(100);
        await finish(page);
    });
}

test('an ANSI database and a UTF-8 database both give working links', async () => {
    const target = (title) => '<!DOCTYPE html><html><head><meta charset="utf-8"><title>' + title +
        '</title></head><body>ok</body></html>';
    const links = [
        { caption: 'Дом на кариерата', path: 'дом.html', description: 'Камък и вар', keywords: ['камък', 'дом'] },
        { caption: 'Деep folder page', path: 'архив/a b.html', description: 'Камък', keywords: ['камък'] }];
    // In ANSI mode a scan stores the names' code-page bytes, as a disc made on
    // such a system holds them; in UTF-8 mode their UTF-8 bytes.
    const ansiFolder = Buffer.from('\xe0\xf0\xf5\xe8\xe2', 'latin1');  // "архив" in windows-1251
    const ansi = makeTestEngine({ categories: ['Всички'], links }, {
        encoding: 'windows-1251', settings: { ansiCharset: 'windows-1251' },
        files: [[Buffer.from('\xe4\xee\xec.html', 'latin1'), target('ansi home')]] });
    const ansiRoot = Buffer.from(path.dirname(ansi) + '/');
    fs.mkdirSync(Buffer.concat([ansiRoot, ansiFolder]));
    fs.writeFileSync(Buffer.concat([ansiRoot, ansiFolder, Buffer.from('/a b.html')]), target('ansi deep'));
    const utf8 = makeTestEngine({ categories: ['Всички'], links }, {
        files: [['дом.html', target('utf8 home')], ['архив/a b.html', target('utf8 deep')]] });

    for (const [engine, name] of [[ansi, 'ansi'], [utf8, 'utf8']]) {
        const page = await newPage();
        await openSearch(page, fileUrl(engine) + '?q=' + encodeURIComponent('камък'));
        assert.deepEqual(await captions(page), ['Дом на кариерата', 'Деep folder page'], name);
        assert.equal(await page.textContent('#qmp-category option'), 'Всички');
        const addresses = await page.locator('.qmp-address').allTextContents();
        assert.deepEqual(addresses, ['дом.html', 'архив/a b.html'], name);
        for (const [caption, title] of [['Дом на кариерата', 'home'], ['Деep folder page', 'deep']]) {
            await Promise.all([page.waitForNavigation(),
                page.getByRole('link', { name: caption, exact: true }).click()]);
            assert.equal(await page.title(), `${name} ${title}`);
            await page.goBack();
            await page.waitForSelector('#qmp-results a');
        }
        await finish(page);
    }
});

test('the page works over http from a web server', async () => {
    const engine = exampleEngine('Full page');
    const server = await serve(path.dirname(engine));
    try {
        const page = await newPage();
        assert.equal(await openSearch(page, server.url + 'qmp.html'), 'ready');
        await searchFor(page, 'cafe');
        await Promise.all([page.waitForNavigation(),
            page.getByRole('link', { name: 'Café evenings', exact: true }).click()]);
        assert.equal(page.url(), server.url + 'news/caf%C3%A9-evenings.html');
        assert.equal(await page.title(), 'Café evenings');
        await page.goBack();
        await page.waitForFunction(() => document.getElementById('qmp-query').value === 'cafe');
        await finish(page);
    } finally {
        await server.close();
    }
});

test('keyboard only: every control is labelled and focus is visible', async () => {
    const page = await newPage();
    await openSearch(page, fileUrl(exampleEngine('Full page')));
    for (const label of ['Search for', 'In']) assert.equal(await page.getByLabel(label, { exact: true }).count(), 1);
    // Tab past the skip link to the query field, search, then tab to the first result.
    await page.keyboard.press('Tab');
    await page.keyboard.press('Tab');
    assert.equal(await page.evaluate(() => document.activeElement.id), 'qmp-query');
    await page.keyboard.type('incline');
    await page.keyboard.press('Enter');
    await page.waitForSelector('#qmp-results a');
    for (let i = 0; i < 10; i++) {
        await page.keyboard.press('Tab');
        if (await page.evaluate(() => document.activeElement.closest('#qmp-results') !== null)) break;
    }
    const outline = await page.evaluate(() => getComputedStyle(document.activeElement).outlineStyle);
    assert.notEqual(outline, 'none');
    await finish(page);
});

test('a new engine from each template opens with its empty database', async () => {
    for (const template of templateNames()) {
        const page = await newPage();
        const engine = makeTestEngine({ categories: ['All Categories'], links: [] }, { template });
        assert.equal(await openSearch(page, fileUrl(engine) + '?q=anything'), 'ready');
        assert.deepEqual(await captions(page), []);
        assert.match(await page.textContent('#qmp-status'), /anything/);
        await finish(page);
    }
});

test('a missing database is reported on the page', async () => {
    const page = await newPage();
    const engine = makeTestEngine({ categories: [], links: [] }, { settings: { database: 'nothere.js' } });
    assert.equal(await openSearch(page, fileUrl(engine)), 'error');
    assert.equal(await page.textContent('#qmp-status'), 'The search database could not be loaded.');
    await page.close();
});
