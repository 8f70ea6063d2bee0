// The web page's start-up benchmark: how long Quillmark's page takes from the navigation to the first frame that
// shows its window, against plain.html, the same window written plainly as a page that reads the same key with
// fetch and TextDecoder. Each load is a first visit (a browser context of its own, nothing cached), in headless
// Chromium, served from 127.0.0.1; the two pages take turns in a shuffled order. Prints the medians, their
// ratio, and the size of the program the page loads.
//
//     node bench/web/first-paint.mjs <site folder> [rounds, 40 by default]
import fs from 'node:fs';
import http from 'node:http';
import os from 'node:os';
import path from 'node:path';
import {fileURLToPath} from 'node:url';
import puppeteer from 'puppeteer-core';

const siteDir = process.argv[2];
const rounds = Number(process.argv[3] || 40);
const plain = path.join(path.dirname(fileURLToPath(import.meta.url)), 'plain.html');
const types = {'.html': 'text/html; charset=utf-8', '.js': 'text/javascript', '.wasm': 'application/wasm',
  '.ico': 'image/x-icon', '.txt': 'text/plain'};

const server = http.createServer((request, response) => {
  const name = path.basename(decodeURIComponent(new URL(request.url, 'http://127.0.0.1').pathname));
  const file = name === 'plain.html' ? plain : path.join(siteDir, name || 'index.html');
  if (!fs.existsSync(file)) {
    response.writeHead(404);
    return response.end();
  }
  response.writeHead(200, {'Content-Type': types[path.extname(file)] || 'application/octet-stream'});
  response.end(fs.readFileSync(file));
});
await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
const origin = `http://127.0.0.1:${server.address().port}`;

const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'quillmark-bench-'));
const browser = await puppeteer.launch({
  executablePath: '/usr/bin/chromium',
  headless: true,
  userDataDir: profile,
  args: [...(process.getuid() === 0 ? ['--no-sandbox'] : []), '--disable-gpu', '--disable-quic', '--no-first-run',
    '--disable-background-networking', '--disable-component-update', '--disable-sync'],
});

// Milliseconds from the navigation's start to the end of the first frame that shows the window: the moment the
// window's element loses its hidden attribute, then the frame drawn after it.
async function firstPaint(page) {
  const context = await browser.createBrowserContext();
  const tab = await context.newPage();
  await tab.setViewport({width: 1280, height: 800});
  await tab.evaluateOnNewDocument(() => {
    window.open = () => null;
    new MutationObserver((changes, observer) => {
      const form = document.querySelector('.quillmark-form');
      if (!form || form.hidden)
        return;
      observer.disconnect();
      requestAnimationFrame(() => setTimeout(() => {
        window.firstPaint = performance.now();
      }, 0));
    }).observe(document, {subtree: true, childList: true, attributes: true});
  });
  await tab.goto(`${origin}/${page}`, {waitUntil: 'load'});
  await tab.waitForFunction(() => window.firstPaint !== undefined);
  const milliseconds = await tab.evaluate(() => window.firstPaint);
  await context.close();
  return milliseconds;
}

const times = {'index.html': [], 'plain.html': []};
for (const page of Object.keys(times))
  await firstPaint(page); // a warm server and browser process first
for (let round = 0; round < rounds; ++round) {
  const order = Object.keys(times).sort(() => Math.random() - 0.5);
  for (const page of order)
    times[page].push(await firstPaint(page));
}
await browser.close();
server.close();
fs.rmSync(profile, {recursive: true, force: true});

const median = (values) => {
  const sorted = [...values].sort((a, b) => a - b);
  const middle = sorted.length >> 1;
  return sorted.length % 2 ? sorted[middle] : (sorted[middle - 1] + sorted[middle]) / 2;
};
const quillmark = median(times['index.html']);
const reference = median(times['plain.html']);
const bytes = (name) => fs.statSync(path.join(siteDir, name)).size;
console.log(`rounds ${rounds}: first paint, median ms: quillmark ${quillmark.toFixed(1)}, plain ${reference.toFixed(1)},`
  + ` ratio ${(quillmark / reference).toFixed(3)}`);
console.log(`the program: quillmark.wasm ${bytes('quillmark.wasm')} + quillmark.js ${bytes('quillmark.js')} = `
  + `${bytes('quillmark.wasm') + bytes('quillmark.js')} bytes`);
