// The web page's memory benchmark: how soon each engine's collector takes the bytes of a key of 100 MB once the
// program has read them. The tests check what the page controls, that nothing of its own refers to them; when a
// collector takes them is the engine's own (JavaScriptCore scans the stack conservatively, and collects an old
// buffer in a full collection, which it schedules by heuristics of its own), so it is measured here and asserted
// nowhere. Each round opens the page with that key afresh, then has it make and drop a buffer of 64 MB every 50
// ms, asking between times (in a task of its own, so that asking keeps nothing alive) whether the bytes are
// gone, for 20 s at most. Prints, for each engine, the median and the longest time, the rounds that ended with
// the bytes still held, and the buffers made meanwhile.
//
//     node bench/web/key-memory.mjs <site folder> [rounds, 10 by default] [engines, chromium,firefox,webkit]
import fs from 'node:fs';
import path from 'node:path';
import {engines, launch, median, serve, watchKeyBytes} from '../../tests/web/chromium.mjs';
import {preloadScript, withPreload} from '../../tests/web/webkit.mjs';

const siteDir = process.argv[2];
const rounds = Number(process.argv[3] || 10);
const tried = (process.argv[4] || engines.join(',')).split(',');
const key = Buffer.concat([Buffer.from('标题\r\nABCDA\r\n'), Buffer.alloc(100 * 1024 * 1024, 'B')]);
let engine = null;
const server = await serve((pathname) => {
  const name = path.basename(pathname) || 'index.html';
  if (name === '答案.txt')
    return {type: 'text/plain', body: key};
  if (engine === 'webkit' && name === 'quillmark-test-preload.js')
    return {type: 'text/javascript', body: preloadScript()};
  if (engine === 'webkit' && name === 'index.html')
    return {type: 'text/html; charset=utf-8', body: withPreload(fs.readFileSync(path.join(siteDir, name), 'utf8'))};
  return path.join(siteDir, name);
});

// Milliseconds from the key's first line in the list to the bytes gone, and the buffers made meanwhile; null for
// bytes still held after 20 s.
async function collected(browser) {
  const page = await browser.newPage();
  await page.evaluateOnNewDocument(() => (window.open = () => null));
  await page.evaluateOnNewDocument(watchKeyBytes);
  await page.goto(`${server.origin}/index.html`, {waitUntil: 'load'});
  await page.waitForFunction(() => {
    const item = document.querySelector('.quillmark-form select option');
    return item && item.textContent === 'ABCDA';
  }, {timeout: 60000});
  const result = await page.evaluate(async () => {
    const started = performance.now();
    const gone = () => new Promise((resolve) => setTimeout(() => resolve(!window.keyBytes.deref())));
    for (let made = 0; performance.now() - started < 20000; ++made) {
      if (await gone())
        return {milliseconds: performance.now() - started, made};
      window.dropped = new ArrayBuffer(64 << 20);
      await new Promise((resolve) => setTimeout(resolve, 50));
    }
    return null;
  });
  await page.close();
  return result;
}

for (engine of tried) {
  const browser = await launch(engine);
  const times = [];
  const made = [];
  let held = 0;
  for (let round = 0; round < rounds; ++round) {
    const result = await collected(browser);
    if (result) {
      times.push(result.milliseconds);
      made.push(result.made);
    } else {
      ++held;
    }
  }
  await browser.close();
  const longest = times.length ? Math.max(...times) : NaN;
  console.log(`${engine.padEnd(8)} taken in ${median(times).toFixed(0)} ms (median), ${longest.toFixed(0)} ms at the ` +
    `longest, after ${median(made)} buffers of 64 MB (median); still held after 20 s in ${held} of ${rounds} rounds`);
}
server.stop();
