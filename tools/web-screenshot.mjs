// Retakes docs/web-graded.png: the web page in headless Chromium with the sample key, an exam answered as in
// the Windows screenshots (tools/windows-screenshots.sh) and graded. Needs the web build (cmake --preset web)
// and npm ci.
//
//     node tools/web-screenshot.mjs
import fs from 'node:fs';
import http from 'node:http';
import path from 'node:path';
import {fileURLToPath} from 'node:url';
import puppeteer from 'puppeteer-core';

const root = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '..');
const site = path.join(root, 'build/web/site');
const types = {'.html': 'text/html; charset=utf-8', '.js': 'text/javascript', '.wasm': 'application/wasm',
  '.ico': 'image/x-icon', '.txt': 'text/plain'};
const server = http.createServer((request, response) => {
  const file = path.join(site, path.basename(decodeURIComponent(new URL(request.url, 'http://127.0.0.1').pathname))
    || 'index.html');
  if (!fs.existsSync(file))
    return response.writeHead(404).end();
  response.writeHead(200, {'Content-Type': types[path.extname(file)] || 'application/octet-stream'});
  response.end(fs.readFileSync(file));
});
await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
const browser = await puppeteer.launch({executablePath: '/usr/bin/chromium', headless: true,
  args: [...(process.getuid() === 0 ? ['--no-sandbox'] : []), '--disable-gpu', '--no-first-run',
    '--disable-background-networking', '--disable-component-update']});
const page = await browser.newPage();
await page.evaluateOnNewDocument(() => {
  window.open = () => null;
});
await page.setViewport({width: 1100, height: 450});
await page.goto(`http://127.0.0.1:${server.address().port}/index.html`, {waitUntil: 'load'});
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
server.close();
