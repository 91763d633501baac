// The test helper that writes engines as the program saves them.
'use strict';

const test = require('node:test');
const assert = require('node:assert/strict');
const fs = require('node:fs');
const path = require('node:path');
const vm = require('node:vm');

const db = require('../support/searchdb.js');
const TEMPLATE_DB = path.join(__dirname, '../../../data/Templates/Full page/searchdb.js');

test('an empty table and one category give the templates\' own database text', () => {
    const template = fs.readFileSync(TEMPLATE_DB, 'latin1');
    const text = db.databaseText({ categories: ['All Categories'], links: [] });
    assert.ok(template.includes('//Settings\r\n' + text + '//DatabaseEnd'));
    assert.equal(db.spliceDatabase(Buffer.from(template, 'latin1'), text).toString('latin1'), template);
});

test('entries are escaped; line breaks cannot end the script line', () => {
    assert.equal(db.jsEscape(Buffer.from("it's a\\b\r\nc")), "it\\'s a\\\\b c");
    const text = db.databaseText({ categories: ['A'], links: [
        { category: -2, caption: "O'Brien", path: 'a b/c.html', description: 'x', keywords: ['k1', 'k2'] }] });
    assert.ok(text.includes("'-2^O\\'Brien^a%20b%2Fc.html'\r\n"));
    assert.ok(text.includes("'^k1^k2^'\r\n"));
});

test('text is written in the database encoding', () => {
    assert.deepEqual([...db.encodeText('дом €', 'windows-1251')], [0xe4, 0xee, 0xec, 0x20, 0x88]);
    assert.deepEqual([...db.encodeText('ж\u4e00', 'windows-1252')], [0x3f, 0x3f]);
    assert.equal(db.urlEncode(db.encodeText('café', 'utf-8')), 'caf%C3%A9');
});

test('a long table stays a script that browsers accept, with every entry', () => {
    const links = Array.from({ length: 25000 }, (_, i) => ({ caption: 'c' + i, path: 'p' + i + '.html',
        description: 'd' + i, keywords: ['k' + i] }));
    const text = db.databaseText({ categories: ['All'], links });
    const context = {};
    vm.runInNewContext(text, context);
    assert.equal(context.ln.length, 25000);
    assert.equal(context.ln[24999], '0^c24999^p24999.html');
    assert.equal(context.kw[10000], '^k10000^');
    // Entries stay quoted and comma-separated for the program's own reader.
    const entries = text.slice(text.indexOf('var ln=new Array('), text.indexOf('var ds=')).match(/'[^']*'/g);
    assert.equal(entries.length, 25000);
});
