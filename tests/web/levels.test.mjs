// The list of levels and levels passed on as links, as a level maker uses
// them: the old own map found as "Eigene Karte", new, rename, upload (and a
// refused one), download, delete after asking; a link made by vantormap
// played in the game page, kept, opened in the editor, made by the page and
// read back by vantormap; a broken link; two editor pages saving side by side.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import path from 'node:path';
import {
  buildDir, siteUrl, work, WAIT_MS, TEST_MS, useBrowser, waitFor, waitForState, holdKey, answerSoundQuestion,
} from './support.mjs';

const session = useBrowser({ acceptDownloads: true });
const vantormap = (...args) => execFileSync(path.join(buildDir, 'bin/vantormap'), args, { encoding: 'utf8' });
const builtInMap = (n) => path.join(buildDir, `run/maps/map ${n}.map`);
const prisonersOf = (file) => Number(/prisoners: (\d+)/.exec(vantormap('check', file))[1]);

async function waitForLevels(page, names, current) {
  let seen = [];
  await waitFor(async () => {
    seen = [await page.locator('#level-list .name').allTextContents(), await page.locator('#level-list .current .name').allTextContents()];
    return JSON.stringify(seen) === JSON.stringify([names, [current]]);
  }, () => `levels ${JSON.stringify(seen)}, expected ${JSON.stringify([names, [current]])}`);
}

// Answers the page's next prompt or question (accept with the given text, or dismiss).
function answerNext(page, accept, text) {
  const asked = new Promise((resolve) => page.once('dialog', async (dialog) => {
    resolve(dialog.message());
    await (accept ? dialog.accept(text) : dialog.dismiss());
  }));
  return asked;
}

// A press on the canvas at a point of the 800 x 600 screen, held until seen.
async function press(page, [x, y], seen) {
  const box = await page.locator('#screen').boundingBox();
  await page.mouse.move(box.x + (x * box.width) / 800, box.y + (y * box.height) / 600);
  if (!seen) return;
  await page.mouse.down();
  try { await seen(); } finally { await page.mouse.up(); }
}

// The editor page past its title picture.
async function editorPage(context, url = `${siteUrl}/vantoredit.html`) {
  const page = await context.newPage();
  await page.goto(url);
  await waitForState(page, { cursorCellX: 0 });
  await press(page, [300, 300], () => waitForState(page, { cursorCellX: 7, cursorCellY: 7 }));
  return page;
}

async function download(page) {
  const [file] = await Promise.all([page.waitForEvent('download', { timeout: WAIT_MS }),
                                    page.locator('#download-level').click()]);
  const saved = path.join(work, file.suggestedFilename());
  await file.saveAs(saved);
  return { name: file.suggestedFilename(), bytes: fs.readFileSync(saved) };
}

// Before the levels, the own map was one file in the maps folder's IndexedDB
// database, as the file system stores it.
async function storeOldOwnMap(page, bytes) {
  await page.goto(`${siteUrl}/index.html`);
  await page.evaluate((contents) => new Promise((resolve, reject) => {
    const open = indexedDB.open('/maps', 21);
    open.onupgradeneeded = () => open.result.createObjectStore('FILE_DATA').createIndex('timestamp', 'timestamp');
    open.onsuccess = () => {
      const transaction = open.result.transaction(['FILE_DATA'], 'readwrite');
      transaction.objectStore('FILE_DATA').put(
        { timestamp: new Date(), mode: 0o100666, contents: new Uint8Array(contents) }, '/maps/own .map');
      transaction.oncomplete = () => { open.result.close(); resolve(); };
      transaction.onerror = () => reject(transaction.error);
    };
  }), [...bytes]);
}

test('editor page: the old own map, new, rename, upload, a refused upload, download, delete', { timeout: TEST_MS }, async () => {
  const oldMap = fs.readFileSync(builtInMap(1));
  const seed = await session.context.newPage();
  await storeOldOwnMap(seed, oldMap);
  await seed.close();

  const page = await editorPage(session.context);
  await waitForLevels(page, ['Eigene Karte'], 'Eigene Karte');
  await waitForState(page, { mapUnsaved: 0, prisonerCount: prisonersOf(builtInMap(1)) });
  assert.deepEqual((await download(page)).bytes, oldMap);

  const named = answerNext(page, true, 'Höhle');
  await page.locator('#new-level').click();
  assert.equal(await named, 'Name der neuen Karte:');
  await waitForLevels(page, ['Eigene Karte', 'Höhle'], 'Höhle');
  await waitForState(page, { prisonerCount: 0 });

  answerNext(page, true, 'Große Höhle');
  await page.locator('#rename-level').click();
  await waitForLevels(page, ['Eigene Karte', 'Große Höhle'], 'Große Höhle');

  const mapFile = path.join(work, 'Zweite.map');
  fs.copyFileSync(builtInMap(2), mapFile);
  await page.locator('#upload-level').setInputFiles(mapFile);
  await waitForLevels(page, ['Eigene Karte', 'Große Höhle', 'Zweite'], 'Zweite');
  await waitForState(page, { prisonerCount: prisonersOf(builtInMap(2)) });
  const notMap = path.join(work, 'Bild.map');
  fs.writeFileSync(notMap, Buffer.alloc(10_000, 7));
  await page.locator('#upload-level').setInputFiles(notMap);
  await waitFor(async () => (await page.locator('#notice').textContent()).includes('keine Karte'), () => 'no refusal');
  await waitForLevels(page, ['Eigene Karte', 'Große Höhle', 'Zweite'], 'Zweite');

  const file = await download(page);
  assert.equal(file.name, 'Zweite.map');
  assert.deepEqual(file.bytes, fs.readFileSync(builtInMap(2)));

  // Asked first: no keeps the level, yes deletes it.
  let asked = answerNext(page, false);
  await page.locator('#delete-level').click();
  assert.equal(await asked, 'Die Karte „Zweite“ löschen?');
  await waitForLevels(page, ['Eigene Karte', 'Große Höhle', 'Zweite'], 'Zweite');
  asked = answerNext(page, true);
  await page.locator('#delete-level').click();
  await asked;
  await waitForLevels(page, ['Eigene Karte', 'Große Höhle'], 'Eigene Karte');
  await waitForState(page, { mapsStoring: 0 });
  await page.reload();
  await waitForLevels(page, ['Eigene Karte', 'Große Höhle'], 'Eigene Karte');
  await page.close();
});

test('a link from vantormap: played with F2 and kept in the game page, a new level in the editor, shared back', { timeout: TEST_MS }, async () => {
  const map3 = builtInMap(3);
  const link = vantormap('link', map3, `${siteUrl}/vantor.html`).trim();
  const game = await session.context.newPage();
  await game.goto(link);
  await answerSoundQuestion(game);
  await waitForState(game, { introShown: 1 });
  await holdKey(game, 'F2', () => waitForState(game, { ownMapMode: 1 }));
  await waitForState(game, { ownMapMode: 1, prisonersLeft: prisonersOf(map3) });
  const before = ['Eigene Karte', 'Große Höhle'];
  await waitForLevels(game, ['Karte aus dem Link', ...before], 'Karte aus dem Link');
  answerNext(game, true, 'Von Anna');
  await game.locator('#keep-level').click();
  await waitForLevels(game, [...before, 'Von Anna'], 'Von Anna');
  await game.close();

  const editor = await editorPage(session.context, link.replace('/vantor.html#', '/vantoredit.html#'));
  await waitForLevels(editor, ['Karte aus dem Link', ...before, 'Von Anna'], 'Karte aus dem Link');
  await waitForState(editor, { prisonerCount: prisonersOf(map3), mapUnsaved: 1 });
  await editor.locator('#share-link').click();
  const shared = await editor.locator('#share-text').inputValue();
  assert.equal(shared, link);
  vantormap('unlink', shared, path.join(work, 'back.map'));
  assert.deepEqual(fs.readFileSync(path.join(work, 'back.map')), fs.readFileSync(map3));
  await holdKey(editor, 'F2', () => waitForState(editor, { mapUnsaved: 0 }));
  await waitForLevels(editor, [...before, 'Von Anna', 'Karte aus dem Link'], 'Karte aus dem Link');
  await editor.close();
});

test('a broken link says so and changes nothing', { timeout: TEST_MS }, async () => {
  const link = vantormap('link', builtInMap(2), `${siteUrl}/vantor.html`).trim();
  const game = await session.context.newPage();
  const levels = async () => (await game.evaluate(() => new Promise((resolve) => {
    indexedDB.open('vantor-levels').onsuccess = (e) => {
      e.target.result.transaction('levels').objectStore('levels').getAll().onsuccess = (r) => resolve(JSON.stringify(r.target.result));
    };
  })));
  await game.goto(`${siteUrl}/index.html`);
  const stored = await levels();
  await game.goto(link.slice(0, -5));
  await waitFor(async () => (await game.locator('#notice').textContent()) === 'Dieser Link enthält keine gültige Karte',
                () => 'no word on the broken link');
  assert.equal(await game.locator('#keep-level').isHidden(), true);
  assert.equal(await levels(), stored);
  await game.close();
});

// A wall from the palette set at cell x, y, and the map saved with F2.
async function setWall(page, [x, y]) {
  await press(page, [640, 160], () => waitForState(page, { selectedLayer: 1, selectedCode: 1 }));
  await press(page, [40 * x + 20, 40 * y + 20]);
  await waitForState(page, { cursorCellX: x, cursorCellY: y });
  await press(page, [40 * x + 20, 40 * y + 20], () => waitForState(page, { mapUnsaved: 1 }));
  await holdKey(page, 'F2', () => waitForState(page, { mapUnsaved: 0 }));
}

test('two editor pages save side by side and neither loses what the other saved', { timeout: TEST_MS }, async () => {
  const pages = [await editorPage(session.context), await editorPage(session.context)];
  const names = ['Eigene Karte', 'Von Anna'];
  const choose = (page, name) => page.locator('#level-list li', { hasText: name }).click();
  await choose(pages[0], names[0]);
  await choose(pages[1], names[1]);
  const cells = [[1, 1], [2, 2]];
  const before = [];
  for (let i = 0; i < 2; i++) before.push((await download(pages[i])).bytes);
  await setWall(pages[0], cells[0]);
  await setWall(pages[1], cells[1]);
  for (const page of pages) await waitForState(page, { mapsStoring: 0 });
  // Each page, listing again, opens the level the other saved and finds its wall.
  for (let i = 0; i < 2; i++) {
    const other = 1 - i;
    await choose(pages[i], names[other]);
    const [x, y] = cells[other];
    await waitFor(async () => (await download(pages[i])).bytes[2 * (x * 41 + y)] === 1,
                  () => `page ${i} does not see the wall page ${other} saved`);
    const expected = Buffer.from(before[other]);
    expected[2 * (x * 41 + y)] = 1;
    assert.deepEqual((await download(pages[i])).bytes, expected);
  }
  for (const page of pages) await page.close();
});
