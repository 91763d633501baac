// Headless Chromium (Debian's) driven by Playwright, with a fresh profile.
'use strict';

const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const { chromium } = require('playwright-core');

const CHROMIUM = process.env.QMP_CHROMIUM || '/usr/bin/chromium';
const FLAGS = ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
    '--disable-background-networking', '--disable-component-update', '--disable-sync'];

// {context, page, close()}: a browser with an empty profile of its own.
async function launch(options = {}) {
    const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'qmp-profile-'));
    const context = await chromium.launchPersistentContext(profile, {
        executablePath: CHROMIUM, headless: true, args: FLAGS, viewport: { width: 1000, height: 800 },
        ...options });
    const page = context.pages()[0] || await context.newPage();
    return {
        context, page,
        async close() {
            await context.close();
            fs.rmSync(profile, { recursive: true, force: true });
        },
    };
}

// Opens a search page and waits until its database is loaded (or failed).
async function openSearch(page, url) {
    await page.goto(url);
    await page.waitForSelector('html[data-qmp-state]');
    return page.getAttribute('html', 'data-qmp-state');
}

// Types a query into the page's form and sends it with Enter.
async function searchFor(page, query) {
    await page.fill('#qmp-query', query);
    await page.press('#qmp-query', 'Enter');
}

// The captions shown, in order.
async function captions(page) {
    return page.locator('#qmp-results .qmp-caption').allTextContents();
}

module.exports = { launch, openSearch, searchFor, captions, FLAGS, CHROMIUM };
