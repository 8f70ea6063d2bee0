// What the web page's tests, its benchmarks and its screenshot share: a small static server on 127.0.0.1 at a
// free port, and a headless browser driven by puppeteer-core: Debian's Chromium (through the DevTools protocol)
// or Debian's Firefox ESR (through WebDriver BiDi); or Debian's WebKitGTK, through WebDriver classic on a virtual
// screen (webkit.mjs). The network here reaches nothing beyond the machine, so the
// browser makes no background traffic of its own.
import fs from 'node:fs';
import http from 'node:http';
import path from 'node:path';
import puppeteer from 'puppeteer-core';
import {launchWebKit} from './webkit.mjs';

const types = {'.html': 'text/html; charset=utf-8', '.css': 'text/css', '.js': 'text/javascript',
  '.wasm': 'application/wasm', '.ico': 'image/x-icon', '.txt': 'text/plain'};

// Serves what find(path) names, or resolves to, for each request's path, its bytes read as UTF-8 whatever they
// are (a folder named in GBK, a lone %): a file, as a path; a response, as {type, body}; either with {headers}
// of its own, as {file, headers} or {type, body, headers}; or nothing, for a 404. Resolves to the server's
// origin and a function that stops it, and with it any request still waiting for its answer.
export async function serve(find) {
  const server = http.createServer(async (request, response) => {
    const pathname = new URL(request.url, 'http://127.0.0.1').pathname;
    const bytes = pathname.split(/(%[0-9A-Fa-f]{2})/).map((part) =>
      /^%[0-9A-Fa-f]{2}$/.test(part) ? Buffer.from([parseInt(part.slice(1), 16)]) : Buffer.from(part));
    let found = await find(Buffer.concat(bytes).toString('utf8'));
    if (typeof found === 'string')
      found = {file: found};
    if (found && found.file) {
      const type = types[path.extname(found.file)] || 'application/octet-stream';
      found = fs.existsSync(found.file) ? {...found, type, body: fs.readFileSync(found.file)} : null;
    }
    if (!found)
      found = {status: 404, type: 'text/plain', body: 'not found'};
    response.writeHead(found.status || 200, {'Content-Type': found.type, 'Cache-Control': 'no-store',
      ...found.headers});
    response.end(found.body);
  });
  await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
  return {origin: `http://127.0.0.1:${server.address().port}`, stop: () => {
    server.close();
    server.closeAllConnections();
  }};
}

// The engines the tests try: Chrome's, Firefox's and Safari's.
export const engines = ['chromium', 'firefox', 'webkit'];

// The browser, with a fresh profile that puppeteer removes when the browser closes.
export function launch(engine = 'chromium') {
  if (engine === 'webkit')
    return launchWebKit();
  // Firefox as its users have it where puppeteer would loosen it: a page from a file: address reads no file
  // beside it, and a pop-up that no click asked for is blocked.
  if (engine === 'firefox')
    return puppeteer.launch({browser: 'firefox', executablePath: '/usr/bin/firefox-esr', headless: true,
      extraPrefsFirefox: {'security.fileuri.strict_origin_policy': true, 'dom.disable_open_during_load': true}});
  return puppeteer.launch({
    executablePath: '/usr/bin/chromium',
    headless: true,
    args: [...(process.getuid() === 0 ? ['--no-sandbox'] : []), '--disable-gpu', '--disable-quic', '--no-first-run',
      '--disable-background-networking', '--disable-component-update', '--disable-sync', '--hide-scrollbars',
      '--font-render-hinting=none'],
  });
}

// Run in a page before its scripts: the bytes of a key of over 100 MB, as the page receives them, are
// window.keyBytes, a weak reference that keeps nothing alive.
export function watchKeyBytes() {
  const arrayBuffer = Response.prototype.arrayBuffer;
  Response.prototype.arrayBuffer = function () {
    return arrayBuffer.call(this).then((bytes) => {
      if (bytes.byteLength > 100e6)
        window.keyBytes = new WeakRef(bytes);
      return bytes;
    });
  };
}

// The median of some numbers, for the benchmarks.
export function median(values) {
  const sorted = [...values].sort((a, b) => a - b);
  const middle = sorted.length >> 1;
  return sorted.length % 2 ? sorted[middle] : (sorted[middle - 1] + sorted[middle]) / 2;
}
