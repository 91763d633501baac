// Speed of the search page in headless Chromium: time from opening
// search.html?q=... from file:// to the first results shown, and time per
// further query (search and drawing, up to the next frame), on generated
// databases. Usage: node bench/search_page/run.js [links...] (default 10000 100000).
'use strict';

const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');

const support = path.join(__dirname, '../../tests/browser/support');
const { launch } = require(path.join(support, 'browser.js'));
const { makeEngine } = require(path.join(support, 'searchdb.js'));
const { fileUrl } = require(path.join(support, 'engines.js'));
const { generate } = require('./generate.js');

const TEMPLATE = path.join(__dirname, '../../data/Templates/Full page');
const OPENS = 5;

function median(values) {
    const sorted = [...values].sort((a, b) => a - b);
    return sorted[Math.floor(sorted.length / 2)];
}

async function measure(count, browser) {
    const description = generate(count);
    const dir = fs.mkdtempSync(path.join(os.tmpdir(), 'qmp-bench-'));
    const page = makeEngine(TEMPLATE, dir, description);
    const bytes = fs.statSync(path.join(dir, 'searchdb.js')).size;
    const queries = Array.from({ length: 20 }, (_, i) => i % 4 === 3 ? description.pick() + ' -' + description.pick()
        : i % 4 === 2 ? description.pick().slice(0, 3) : description.pick());

    const firsts = [];
    let tab;
    for (let i = 0; i < OPENS; i++) {
        if (tab) await tab.close();
        tab = await browser.context.newPage();
        await tab.goto(fileUrl(page) + '?q=' + encodeURIComponent(queries[0]));
        await tab.waitForSelector('html[data-qmp-state=ready]', { timeout: 60000 });
        firsts.push(await tab.evaluate(() => performance.getEntriesByName('qmp-results')[0].startTime));
    }
    const further = [];
    for (const query of queries.slice(1)) {
        further.push(await tab.evaluate((q) => new Promise((resolve) => {
            const start = performance.now();
            document.getElementById('qmp-query').value = q;
            document.getElementById('qmp-form').requestSubmit();
            requestAnimationFrame(() => resolve(performance.now() - start));
        }), query));
    }
    await tab.close();
    fs.rmSync(dir, { recursive: true, force: true });
    return { count, megabytes: (bytes / 1048576).toFixed(1), firsts, further };
}

(async () => {
    const sizes = process.argv.slice(2).map(Number).filter(Boolean);
    const browser = await launch();
    try {
        for (const count of sizes.length ? sizes : [10000, 100000]) {
            const r = await measure(count, browser);
            const ms = (v) => v.toFixed(0) + ' ms';
            console.log(`${r.count} links (${r.megabytes} MB): first results median ${ms(median(r.firsts))}` +
                ` (max ${ms(Math.max(...r.firsts))}, ${r.firsts.length} opens); further queries median ` +
                `${ms(median(r.further))} (max ${ms(Math.max(...r.further))}, ${r.further.length} queries)`);
        }
    } finally {
        await browser.close();
    }
})();
