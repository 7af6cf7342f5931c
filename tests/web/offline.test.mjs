// The site as a player keeps it: the game page reloaded without a network
// after one visit, and the zip of `scripts/web --zip` unpacked into a
// subfolder of another server. Started by tests/web/run, which also sets
// VANTOR_SITE_DIR and VANTOR_WEB_ZIP.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import http from 'node:http';
import path from 'node:path';
import {
  buildDir, work, TEST_MS, useBrowser, packPicture, waitForPicture, waitFor,
  waitForState, holdKey, answerSoundQuestion,
} from './support.mjs';

const session = useBrowser();

function prisonersOf(map) {
  return Number(/prisoners: (\d+)/.exec(execFileSync(path.join(buildDir, 'bin/vantormap'), ['check', map]))[1]);
}

// Serves the files below `root` on a loopback port, as any static host
// would, but kept out of the browser's HTTP cache: offline, only what the
// service worker cached can be there.
async function serveFolder(root) {
  const types = { '.html': 'text/html', '.css': 'text/css', '.js': 'text/javascript', '.json': 'application/json',
                  '.wasm': 'application/wasm', '.png': 'image/png' };
  const server = http.createServer((request, response) => {
    let file = path.join(root, decodeURIComponent(new URL(request.url, 'http://host').pathname));
    if (file.endsWith(path.sep)) file = path.join(file, 'index.html');
    fs.readFile(file, (error, bytes) => {
      response.writeHead(error ? 404 : 200, { 'Content-Type': types[path.extname(file)] ?? 'application/octet-stream',
                                              'Cache-Control': 'no-store' });
      response.end(error ? undefined : bytes);
    });
  });
  await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
  return server;
}

test('offline: after one visit the game page reloads without a network and plays the chosen level', { timeout: TEST_MS }, async () => {
  const server = await serveFolder(process.env.VANTOR_SITE_DIR);
  const siteUrl = `http://127.0.0.1:${server.address().port}`;
  // Map 2 uploaded in the running editor becomes the chosen level, kept in
  // IndexedDB; the editor stays open until its write is surely done.
  const map2 = path.join(buildDir, 'run/maps/map 2.map');
  const editor = await session.context.newPage();
  await editor.goto(`${siteUrl}/vantoredit.html`);
  await waitForState(editor, { cursorCellX: 0 });
  await editor.locator('#upload-level').setInputFiles(map2);
  await waitFor(async () => (await editor.locator('#notice').textContent()).endsWith('hinzugefügt.'),
                () => 'no notice that the map was added');
  await waitForState(editor, { mapsStoring: 0 });

  const page = await session.context.newPage();
  await page.goto(`${siteUrl}/vantor.html`);
  await page.evaluate(() => navigator.serviceWorker.ready);
  await session.context.setOffline(true);
  try {
    await page.reload();
    await answerSoundQuestion(page);
    await waitForPicture(page, packPicture(15), 'the title picture offline');
    await holdKey(page, 'F2', () => waitForState(page, { ownMapMode: 1 }));
    await waitForState(page, { ownMapMode: 1, prisonersLeft: prisonersOf(map2) });
  } finally {
    await session.context.setOffline(false);
    await page.close();
    await editor.close();
    server.close();
  }
});

test('the zip: unpacked into a subfolder of a static host, it plays from the overview page', { timeout: TEST_MS }, async () => {
  const zip = process.env.VANTOR_WEB_ZIP;
  assert.ok(zip && fs.existsSync(zip), `no zip ${zip}: scripts/web --zip writes it`);
  const root = path.join(work, 'host');
  execFileSync('python3', ['-m', 'zipfile', '-e', zip, path.join(root, 'games', 'vantor')]);
  const server = await serveFolder(root);
  const page = await session.context.newPage();
  try {
    await page.goto(`http://127.0.0.1:${server.address().port}/games/vantor/`);
    await page.locator('#play-game').click();
    await answerSoundQuestion(page);
    await waitForPicture(page, packPicture(15), 'the title picture from the subfolder');
    await holdKey(page, 'F1', () => waitForState(page, { mapNumber: 1 }));
  } finally {
    await page.close();
    server.close();
  }
});
