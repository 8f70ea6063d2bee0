// Retakes docs/web-graded.png: the web page in headless Chromium with the sample key, an exam answered as in
// the Windows screenshots (tools/windows-screenshots.sh) and graded. Needs the web build (cmake --preset web)
// and npm ci.
//
//     node tools/web-screenshot.mjs
import path from 'node:path';
import {fileURLToPath} from 'node:url';
import {launch, serve} from '../tests/web/chromium.mjs';

const root = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '..');
const site = path.join(root, 'build/web/site');
const server = await serve((pathname) => path.join(site, path.basename(pathname) || 'index.html'));
const browser = await launch();
const page = await browser.newPage();
await page.evaluateOnNewDocument(() => {
  window.open = () => null;
});
await page.setViewport({width: 1100, height: 450});
await page.goto(`${server.origin}/index.html`, {waitUntil: 'load'});
await page.waitForSelector('.quillmark-form:not([hidden])');
const press = async (caption) => (await page.$(`xpath/.//button[normalize-space(.)='${caption}']`)).click();
await press('准备做题');
await press('开始考试');
await (await page.$("input[aria-label='第 1 题']")).click();
for (const answer of 'ACABDDDBACACADAC') {
  await page.keyboard.type(answer);
  await page.keyboard.press('Enter');
}
await press('交卷');
await press('结果');
await (await page.$('.quillmark-form')).screenshot({path: path.join(root, 'docs/web-graded.png')});
await browser.close();
server.stop();
