// Writes search databases byte for byte as the program saves them, so that
// the browser tests and the benchmark can make engines without the program.
'use strict';

const fs = require('node:fs');
const path = require('node:path');

const CRLF = '\r\n';

// Bytes of `text` in `encoding` ('utf-8' or a single-byte code page such as
// 'windows-1251'); a character the code page lacks becomes "?".
function encodeText(text, encoding) {
    if (/^utf-?8$/i.test(encoding)) return Buffer.from(text, 'utf8');
    const table = codePageTable(encoding);
    const out = Buffer.alloc(text.length);
    let n = 0;
    for (const ch of text) {
        const code = ch.codePointAt(0);
        out[n++] = code < 0x80 ? code : table.has(ch) ? table.get(ch) : 0x3f;
    }
    return out.subarray(0, n);
}

const tables = new Map();
function codePageTable(encoding) {
    if (!tables.has(encoding)) {
        const decoder = new TextDecoder(encoding);
        const table = new Map();
        for (let b = 0x80; b < 0x100; b++) {
            const ch = decoder.decode(Uint8Array.of(b));
            if (ch !== '\uFFFD' && !table.has(ch)) table.set(ch, b);
        }
        tables.set(encoding, table);
    }
    return tables.get(encoding);
}

// Percent-encodes every byte but A-Z, a-z, 0-9, "-", "." and "_".
function urlEncode(bytes) {
    let out = '';
    for (const b of bytes) {
        const ch = String.fromCharCode(b);
        out += /[A-Za-z0-9\-._]/.test(ch) ? ch : '%' + b.toString(16).toUpperCase().padStart(2, '0');
    }
    return out;
}

// An entry's text as the program writes it: quote and backslash escaped, a
// carriage return as one space, a line feed dropped (bytes as a latin1 string).
function jsEscape(bytes) {
    return Buffer.from(bytes)
        .toString('latin1')
        .replace(/\\/g, '\\\\')
        .replace(/'/g, "\\'")
        .replace(/\r/g, ' ')
        .replace(/\n/g, '');
}

// Browsers refuse a call with more than 65535 arguments (and deep ones can
// overflow the stack before that), so a longer array
// goes on as an array literal: `new Array(...first,).concat([...rest])`.
// Readers that take quoted entries separated by commas see the same entries.
const CALL_ENTRIES = 10000;

function arrayText(name, entries, empty) {
    const lines = entries.length === 0 ? [empty] : entries.map((e, i) =>
        "'" + e + "'" + (i + 1 < entries.length ? ',' : ''));
    const long = lines.length > CALL_ENTRIES;
    if (long) lines.splice(CALL_ENTRIES, 0, ').concat([');
    return 'var ' + name + '=new Array(' + CRLF + lines.map((l) => l + CRLF).join('') +
        (long ? ']' : '') + ');' + CRLF;
}

// The database text (from "//v2format" to the last ");") of a description
// {categories: [names], links: [{category, caption, url | path, description,
// keywords}]}, as a latin1 string of the bytes in `encoding`. `path` is a
// path relative to the database's folder and is stored URL-encoded; `url`
// is stored as given.
function databaseText(description, encoding = 'utf-8') {
    const enc = (text) => encodeText(String(text ?? ''), encoding);
    const links = description.links || [];
    const cg = (description.categories || []).map((name) => jsEscape(enc(name)));
    // A caption's own carets are counted after the category number.
    const carets = (l) => (String(l.caption ?? '').match(/\^/g) || []).length;
    const ln = links.map((l) => String(l.category | 0) + (carets(l) ? ':' + carets(l) : '') + '^' +
        jsEscape(enc(l.caption)) + '^' +
        jsEscape(Buffer.from(l.url !== undefined ? String(l.url) : urlEncode(enc(l.path)), 'latin1')));
    const ds = links.map((l) => jsEscape(enc(l.description)));
    const kw = links.map((l) => '^' + (l.keywords || []).map((k) => jsEscape(enc(k))).join('^') + '^');
    return '//v2format' + CRLF + '//DatabaseBegin' + CRLF + arrayText('cg', cg, "''") +
        arrayText('ln', ln, "''") + arrayText('ds', ds, "''") + arrayText('kw', kw, "'^^'");
}

// Replaces the database text of an engine file's bytes as a save does: the
// head up to two bytes past "//Settings" and the tail from "//DatabaseEnd"
// on stay.
function spliceDatabase(fileBytes, dbText) {
    const text = Buffer.from(fileBytes).toString('latin1');
    const settings = text.toLowerCase().indexOf('//settings');
    if (settings < 0) throw new Error('no //Settings marker');
    const headEnd = settings + '//Settings'.length + 2;
    const end = text.toLowerCase().indexOf('//databaseend', settings + '//Settings'.length);
    if (end < 0) throw new Error('no //DatabaseEnd marker');
    return Buffer.from(text.slice(0, headEnd) + dbText + text.slice(end), 'latin1');
}

// Writes the database of `description` into the engine file `dbPath`
// (which must hold both markers, e.g. a template's searchdb.js).
function writeDatabase(dbPath, description, encoding = 'utf-8') {
    const bytes = spliceDatabase(fs.readFileSync(dbPath), databaseText(description, encoding));
    const temp = dbPath + '~temp~';
    fs.writeFileSync(temp, bytes);
    fs.renameSync(temp, dbPath);
}

// Copies a template folder into `dir` and writes the database of
// `description` into its searchdb.js. Returns the path of qmp.html.
// The search scripts that the build puts into every template folder.
const ENGINE_SCRIPTS = path.resolve(__dirname, '../../../data/EngineScripts');

function makeEngine(templateDir, dir, description, encoding = 'utf-8') {
    fs.mkdirSync(dir, { recursive: true });
    fs.cpSync(templateDir, dir, { recursive: true });
    fs.cpSync(ENGINE_SCRIPTS, dir, { recursive: true });
    writeDatabase(path.join(dir, 'searchdb.js'), description, encoding);
    return path.join(dir, 'qmp.html');
}

module.exports = { encodeText, urlEncode, jsEscape, databaseText, spliceDatabase, writeDatabase, makeEngine };
