// The web page's start-up benchmark: how long Quillmark's page takes from the navigation to the first frame that
// shows its window, against plain.html, the same window written plainly as a page that reads the same key with
// fetch and TextDecoder. Each load is a first visit (a browser context of its own, nothing cached), in headless
// Chromium, served from 127.0.0.1; the two pages take turns in a shuffled order. Prints the medians, their
// ratio, and the size of the program the page loads.
//
//     node bench/web/first-paint.mjs <site folder> [rounds, 40 by default]
import fs from 'node:fs';
import path from 'node:path';
import {fileURLToPath} from 'node:url';
import {launch, median, serve} from '../../tests/web/chromium.mjs';

const siteDir = process.argv[2];
const rounds = Number(process.argv[3] || 40);
const plain = path.join(path.dirname(fileURLToPath(import.meta.url)), 'plain.html');
const server = await serve((pathname) => {
  const name = path.basename(pathname);
  return name === 'plain.html' ? plain : path.join(siteDir, name || 'index.html');
});
const origin = server.origin;
const browser = await launch();

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
server.stop();

const quillmark = median(times['index.html']);
const reference = median(times['plain.html']);
const bytes = (name) => fs.statSync(path.join(siteDir, name)).size;
console.log(`rounds ${rounds}: first paint, median ms: quillmark ${quillmark.toFixed(1)}, plain ${reference.toFixed(1)},`
  + ` ratio ${(quillmark / reference).toFixed(3)}`);
console.log(`the program: quillmark.wasm ${bytes('quillmark.wasm')} + quillmark.js ${bytes('quillmark.js')} = `
  + `${bytes('quillmark.wasm') + bytes('quillmark.js')} bytes`);
