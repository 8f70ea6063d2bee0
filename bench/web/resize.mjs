// The web page's resize benchmark: a sheet of 5000 boxes mid-exam, an answer being typed into box 1, and the
// window widened step by step to 4000 pixels and back to its first width, as a user drags its corner. Each step
// is timed from the new width to the end of the frame that shows it (the resize's observer has given the boxes
// that came into view their elements, and taken them from those that left), in headless Chromium on a screen
// wide enough for the widest window. Prints each step's median over the rounds, the window's element count
// after it (the spares kept hidden for the next boxes included) and how many of them show, and whether the box
// kept the focus and its text.
//
//     node bench/web/resize.mjs <site folder> [rounds, 5 by default]
import path from 'node:path';
import {launch, median, serve} from '../../tests/web/chromium.mjs';

const siteDir = process.argv[2];
const rounds = Number(process.argv[3] || 5);
const widths = [1500, 2000, 3000, 4000, 1035];
const server = await serve((pathname) => path.join(siteDir, path.basename(pathname) || 'index.html'));
const browser = await launch();
const page = await browser.newPage();
await page.setViewport({width: 4100, height: 900});
await page.evaluateOnNewDocument(() => {
  window.open = () => null;
});
await page.goto(`${server.origin}/index.html`, {waitUntil: 'load'});
await page.waitForFunction(() => {
  const form = document.querySelector('.quillmark-form');
  return form && !form.hidden;
});

const count = (await page.$$('.quillmark-form > input'))[0];
await count.click({clickCount: 3});
await page.keyboard.type('5000');
await (await page.$('xpath/.//button[normalize-space(.)=\'准备做题\']')).click();
await (await page.$('xpath/.//button[normalize-space(.)=\'开始考试\']')).click();
await (await page.$('input[aria-label=\'第 1 题\']')).click();
await page.keyboard.type('A');

const times = Object.fromEntries(widths.map((width) => [width, []]));
const elements = {};
let kept = true;
for (let round = 0; round < rounds; ++round) {
  for (const width of widths) {
    const [milliseconds, children, focus] = await page.evaluate(async (to) => {
      const form = document.querySelector('.quillmark-form');
      const start = performance.now();
      form.style.width = `${to}px`;
      await new Promise((resolve) => requestAnimationFrame(() => setTimeout(resolve, 0)));
      const active = document.activeElement;
      return [performance.now() - start, [form.children.length, form.querySelectorAll(':scope > :not([hidden])').length],
        [active.getAttribute('aria-label'), active.value]];
    }, width);
    times[width].push(milliseconds);
    elements[width] = children;
    kept &&= focus[0] === '第 1 题' && focus[1] === 'A';
  }
}
await browser.close();
server.stop();

console.log(`rounds ${rounds}: 5000 boxes mid-exam, 1035 px wide at first`);
for (const width of widths)
  console.log(`  to ${String(width).padStart(4)} px: median ${median(times[width]).toFixed(1).padStart(7)} ms,`
    + ` slowest ${Math.max(...times[width]).toFixed(1).padStart(7)} ms; elements ${elements[width][0]},`
    + ` ${elements[width][1]} of them shown`);
console.log(`box 1 kept the focus and its answer: ${kept ? 'yes' : 'NO'}`);
