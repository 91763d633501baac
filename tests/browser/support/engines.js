// Engines for the browser tests: the example site's, and small made-up ones.
'use strict';

const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const { execFileSync } = require('node:child_process');

const { makeEngine } = require('./searchdb.js');

const SOURCE = path.resolve(__dirname, '../../..');
const TEMPLATES = path.join(SOURCE, 'data/Templates');
const EXAMPLE_SITE = path.join(SOURCE, 'examples/site');

function templateNames() {
    return fs.readdirSync(TEMPLATES).filter((n) => fs.statSync(path.join(TEMPLATES, n)).isDirectory()).sort();
}

function freshFolder(name) {
    return fs.mkdtempSync(path.join(os.tmpdir(), 'qmp-' + name + '-'));
}

// The example site with a search engine in its root folder; returns the
// path of qmp.html. This is the one place that decides how the engine
// is made: with QMP_BIN set (the qmp tool), by `qmp new` and `qmp addsite`
// as the README does it; otherwise from the recorded scan of the site in
// fixtures/example-site.json.
function makeExampleEngine(template = 'Full page') {
    const root = freshFolder('example');
    fs.cpSync(EXAMPLE_SITE, root, { recursive: true });
    const qmp = process.env.QMP_BIN;
    if (qmp) {
        execFileSync(qmp, ['new', root, '--template', template], { stdio: 'pipe' });
        execFileSync(qmp, ['addsite', path.join(root, 'searchdb.js'), root], { stdio: 'pipe' });
        return path.join(root, 'qmp.html');
    }
    const description = JSON.parse(fs.readFileSync(path.join(__dirname, '../fixtures/example-site.json'), 'utf8'));
    return makeEngine(path.join(TEMPLATES, template), root, description, description.encoding);
}

// A made-up engine: `description` as for makeEngine, `settings` replacing
// entries of the template's qmptp.js settings, `files` a list of [name,
// content] written into the engine folder (a name is a relative path, or a
// Buffer of a file name's raw bytes).
function makeTestEngine(description, { template = 'Full page', encoding = 'utf-8', settings, files = [] } = {}) {
    const root = freshFolder('engine');
    const page = makeEngine(path.join(TEMPLATES, template), root, description, encoding);
    if (settings) {
        fs.appendFileSync(path.join(root, 'qmptp.js'),
            '\nObject.assign(qmpSettings, ' + JSON.stringify(settings) + ');\n');
    }
    for (const [name, content] of files) {
        if (Buffer.isBuffer(name)) {
            fs.writeFileSync(Buffer.concat([Buffer.from(root + '/'), name]), content);
        } else {
            fs.mkdirSync(path.dirname(path.join(root, name)), { recursive: true });
            fs.writeFileSync(path.join(root, name), content);
        }
    }
    return page;
}

// An engine for a site of `pages` ([name, title] pairs, each page holding
// its title and the word "sample"): scanned by the qmp tool when QMP_BIN is
// set, otherwise written from the titles as the program would store them.
function makeSiteEngine(pages) {
    const qmp = process.env.QMP_BIN;
    if (!qmp) {
        return makeTestEngine({ categories: ['All Categories'], links: pages.map(([name, title]) =>
            ({ caption: title, path: name, keywords: ['sample'] })) });
    }
    const root = freshFolder('site');
    execFileSync(qmp, ['new', root], { stdio: 'pipe' });
    for (const [name, title] of pages) {
        fs.writeFileSync(path.join(root, name),
            '<html><head><meta charset="utf-8"><title>' + title + '</title></head><body>sample</body></html>');
    }
    execFileSync(qmp, ['addsite', path.join(root, 'searchdb.js'), root], { stdio: 'pipe' });
    return path.join(root, 'qmp.html');
}

function fileUrl(file) {
    return 'file://' + file.split('/').map(encodeURIComponent).join('/');
}

module.exports = { makeExampleEngine, makeTestEngine, makeSiteEngine, templateNames, fileUrl, TEMPLATES };
