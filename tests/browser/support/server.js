// A tiny static web server on the loopback address for one folder.
'use strict';

const fs = require('node:fs');
const http = require('node:http');
const path = require('node:path');

const TYPES = { '.html': 'text/html', '.js': 'text/javascript', '.css': 'text/css', '.txt': 'text/plain' };

// Serves `root`; resolves to {url, close()}. Paths are percent-decoded to
// bytes, as a file system holds names.
function serve(root) {
    const server = http.createServer((request, response) => {
        const pathname = new URL(request.url, 'http://x').pathname;
        const bytes = Buffer.from(pathname.replace(/%([0-9a-fA-F]{2})/g, (_, h) =>
            String.fromCharCode(parseInt(h, 16))), 'latin1');
        const file = Buffer.concat([Buffer.from(root + '/'), bytes]);
        if (bytes.includes(Buffer.from('..')) || !fs.existsSync(file) || !fs.statSync(file).isFile()) {
            response.writeHead(404).end('not found');
            return;
        }
        // No charset in the type: the page's own declarations decide, as from a disk.
        response.writeHead(200, { 'Content-Type': TYPES[path.extname(pathname)] || 'application/octet-stream' });
        response.end(fs.readFileSync(file));
    });
    return new Promise((resolve) => {
        server.listen(0, '127.0.0.1', () => resolve({
            url: 'http://127.0.0.1:' + server.address().port + '/',
            close: () => new Promise((done) => server.close(done)),
        }));
    });
}

module.exports = { serve };
