// The web page's start-up benchmark: how long Quillmark's page takes from the navigation to the first frame that
// shows its window, against the same window written plainly as a page that reads the same key with fetch and
// TextDecoder (plain.html), twice: as it is, its style and script inline, which a strict host's policy refuses;
// and written for that host as Quillmark's page is, its style and script as files of their own (plain.css,
// plain.js, cut out of plain.html) and its key preloaded. Quillmark's page and the second plain one are served with
// that policy. Each load is a first visit (a browser context of its own, nothing cached), in headless Chromium,
// served from 127.0.0.1; the pages take turns in a shuffled order. Prints the medians, Quillmark's ratio to each,
// and the size of the program the page loads.
//
//     node bench/web/first-paint.mjs <site folder> [rounds, 40 by default]
import fs from 'node:fs';
import path from 'node:path';
import {fileURLToPath} from 'node:url';
import {launch, median, serve} from '../../tests/web/chromium.mjs';

const siteDir = process.argv[2];
const rounds = Number(process.argv[3] || 40);
const inline = fs.readFileSync(path.join(path.dirname(fileURLToPath(import.meta.url)), 'plain.html'), 'utf8');
const cut = (tag) => inline.match(new RegExp(`<${tag}>\\n([^]*?)</${tag}>\\n`));
const [style, script] = [cut('style'), cut('script')];
const files = inline.replace(style[0], '<link rel="stylesheet" href="plain.css">\n'
  + '<link rel="preload" href="答案.txt" as="fetch" crossorigin>\n')
  .replace(script[0], '<script src="plain.js"></script>\n');
const strict = {'Content-Security-Policy': "default-src 'self'; script-src 'self' 'wasm-unsafe-eval'"};
const response = (type, body, headers = strict) => ({type, body, headers});
const server = await serve((pathname) => {
  const name = path.basename(pathname);
  return {
    'plain.html': response('text/html; charset=utf-8', inline, {}),
    'plain-files.html': response('text/html; charset=utf-8', files),
    'plain.css': response('text/css', style[1]),
    'plain.js': response('text/javascript', script[1]),
    'index.html': {file: path.join(siteDir, 'index.html'), headers: strict},
  }[name] || path.join(siteDir, name || 'index.html');
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

const times = {'index.html': [], 'plain.html': [], 'plain-files.html': []};
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
const [inlined, filed] = [median(times['plain.html']), median(times['plain-files.html'])];
console.log(`rounds ${rounds}: first paint, median ms: quillmark ${quillmark.toFixed(1)}; plain, inline`
  + ` ${inlined.toFixed(1)}, ratio ${(quillmark / inlined).toFixed(3)}; plain, as files for a strict host`
  + ` ${filed.toFixed(1)}, ratio ${(quillmark / filed).toFixed(3)}`);
const bytes = (name) => fs.statSync(path.join(siteDir, name)).size;
console.log(`the program: quillmark.wasm ${bytes('quillmark.wasm')} + quillmark.js ${bytes('quillmark.js')} = `
  + `${bytes('quillmark.wasm') + bytes('quillmark.js')} bytes`);
