// Relevance of the search page on real documentation sets, against a
// full-text peer, in one run: each set's pages are made into an engine with
// `qmp new` and `qmp addsite` and into the peer's index, both are searched
// in headless Chromium with the set's queries, and the rank of the first
// expected page gives MRR and success@1/@5 (ranks past 10 count as misses).
// Usage: node bench/relevance/run.js [--qmp PATH] [--json FILE] [SET...]
// (sets: the names of sets/*.json; default all). Run setup.sh once first.
'use strict';

const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const { execFileSync } = require('node:child_process');

const ROOT = path.resolve(__dirname, '../..');
const support = path.join(ROOT, 'tests/browser/support');
const { launch } = require(path.join(support, 'browser.js'));
const { serve } = require(path.join(support, 'server.js'));

const DEPTH = 10;

function options(argv) {
    const o = { qmp: process.env.QMP_BIN || path.join(ROOT, 'build/bin/qmp'), json: null, sets: [] };
    for (let i = 0; i < argv.length; i++) {
        if (argv[i] === '--qmp') o.qmp = argv[++i];
        else if (argv[i] === '--json') o.json = argv[++i];
        else o.sets.push(argv[i]);
    }
    return o;
}

// The set's HTML pages (nothing else: both engines see the same pages).
function copyPages(from, to) {
    for (const entry of fs.readdirSync(from, { withFileTypes: true })) {
        const source = path.join(from, entry.name);
        const target = path.join(to, entry.name);
        const stat = fs.statSync(source);
        if (stat.isDirectory()) {
            if (entry.name.startsWith('_')) continue;  // styles, scripts, sources
            fs.mkdirSync(target, { recursive: true });
            copyPages(source, target);
        } else if (/\.html?$/.test(entry.name)) {
            fs.copyFileSync(source, target);
        }
    }
}

function makeEngines(set, qmp) {
    const site = fs.mkdtempSync(path.join(os.tmpdir(), 'qmp-relevance-' + set.name + '-'));
    copyPages(set.folder, site);
    execFileSync(qmp, ['new', site, '--template', 'Full page'], { stdio: 'pipe' });
    const isEngine = (name) => fs.existsSync(path.join(site, name)) &&
        fs.readFileSync(path.join(site, name), 'utf8').includes('id="qmp-form"');
    // A tool whose page has the name of the site's own search page keeps the
    // site's; only --replace puts the engine's page there.
    if (!['qmp.html', 'search.html'].some(isEngine)) {
        execFileSync(qmp, ['new', site, '--template', 'Full page', '--replace'], { stdio: 'pipe' });
    }
    execFileSync(qmp, ['addsite', path.join(site, 'searchdb.js'), site], { stdio: 'pipe' });
    const page = ['qmp.html', 'search.html'].find(isEngine);
    const peer = path.join(__dirname, 'node_modules/.bin/pagefind');
    execFileSync(peer, ['--site', site, '--output-subdir', '_peer'], { stdio: 'pipe' });
    fs.writeFileSync(path.join(site, '_peer.html'), '<!DOCTYPE html><meta charset="utf-8"><title>peer</title>' +
        '<script type="module">import * as p from "/_peer/pagefind.js"; await p.init(); window.peer = p;' +
        'document.documentElement.dataset.ready = "1";</script>');
    return { site, page, bytes: fs.statSync(path.join(site, 'searchdb.js')).size };
}

// The addresses the engine shows for `query`, best first, as paths of the site.
async function ourResults(tab, url, query) {
    await tab.goto(url + '?q=' + encodeURIComponent(query));
    await tab.waitForSelector('html[data-qmp-state]');
    await tab.waitForFunction(() => document.getElementById('qmp-status').textContent !== '');
    const hrefs = await tab.$$eval('#qmp-results .qmp-caption a', (links) => links.map((a) => a.href));
    return hrefs.slice(0, DEPTH).map((h) => decodeURIComponent(new URL(h).pathname.slice(1)));
}

async function peerResults(tab, query) {
    const urls = await tab.evaluate(async ({ q, depth }) => {
        const found = await window.peer.search(q);
        const data = await Promise.all(found.results.slice(0, depth).map((r) => r.data()));
        return data.map((d) => d.url);
    }, { q: query, depth: DEPTH });
    return urls.map((u) => decodeURIComponent(u.replace(/[#?].*$/, '').replace(/^\//, '')));
}

function score(ranked, expected) {
    const at = ranked.findIndex((url) => expected.includes(url));
    return at < 0 ? 0 : at + 1;
}

function summary(ranks) {
    const n = ranks.length;
    const mrr = ranks.reduce((s, r) => s + (r ? 1 / r : 0), 0) / n;
    return { mrr, at1: ranks.filter((r) => r === 1).length, at5: ranks.filter((r) => r && r <= 5).length, n };
}

async function runSet(set, o, browser) {
    const made = makeEngines(set, o.qmp);
    const server = await serve(made.site);
    const tab = await browser.context.newPage();
    const peerTab = await browser.context.newPage();
    await peerTab.goto(server.url + '_peer.html');
    await peerTab.waitForSelector('html[data-ready]');
    const rows = [];
    for (const { q, expect } of set.queries) {
        const ours = await ourResults(tab, server.url + made.page, q);
        const theirs = await peerResults(peerTab, q);
        rows.push({ q, ours: score(ours, expect), peer: score(theirs, expect), top: ours[0] || '', peerTop: theirs[0] || '' });
    }
    await tab.close();
    await peerTab.close();
    await server.close();
    fs.rmSync(made.site, { recursive: true, force: true });
    return { name: set.name, pages: set.pages, bytes: made.bytes, rows,
        ours: summary(rows.map((r) => r.ours)), peer: summary(rows.map((r) => r.peer)) };
}

function countPages(folder) {
    let n = 0;
    const walk = (dir) => fs.readdirSync(dir, { withFileTypes: true }).forEach((e) => {
        if (e.isDirectory()) walk(path.join(dir, e.name));
        else if (/\.html?$/.test(e.name)) n++;
    });
    walk(folder);
    return n;
}

(async () => {
    const o = options(process.argv.slice(2));
    const setsDir = path.join(__dirname, 'sets');
    const names = o.sets.length ? o.sets : fs.readdirSync(setsDir).filter((f) => f.endsWith('.json'))
        .map((f) => f.slice(0, -5)).sort();
    const browser = await launch();
    const results = [];
    let ahead = true;
    try {
        for (const name of names) {
            const set = JSON.parse(fs.readFileSync(path.join(setsDir, name + '.json'), 'utf8'));
            set.name = name;
            if (!fs.existsSync(set.folder)) throw new Error(`${set.folder} is missing: run bench/relevance/setup.sh`);
            set.pages = countPages(set.folder);
            const r = await runSet(set, o, browser);
            results.push(r);
            for (const row of r.rows) {
                console.log(`  ${row.q.padEnd(28)} qmp ${String(row.ours || '-').padStart(2)}  peer ` +
                    `${String(row.peer || '-').padStart(2)}   ${row.top}`);
            }
            const line = (who, s) => `${who} MRR ${s.mrr.toFixed(3)}, success@1 ${s.at1}/${s.n}, success@5 ${s.at5}/${s.n}`;
            console.log(`${name} (${r.pages} pages, database ${(r.bytes / 1024).toFixed(0)} kB): ` +
                `${line('qmp', r.ours)}; ${line('peer', r.peer)}`);
            ahead = ahead && r.ours.mrr > r.peer.mrr;
        }
    } finally {
        await browser.close();
    }
    if (o.json) fs.writeFileSync(o.json, JSON.stringify(results, null, 2));
    console.log(ahead ? 'ahead of the peer on every set' : 'NOT ahead of the peer on every set');
    process.exitCode = ahead ? 0 : 1;
})();
