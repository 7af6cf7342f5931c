// The browser version in headless Chromium: the game page from the sound
// question to the end of the program, then a map made with the mouse on the
// editor page, downloaded, and played on the game page. The programs'
// behaviour is tested natively; these tests prove the web backend and the
// build. Started by tests/web/run, which serves the site and sets
// VANTOR_SITE_URL; VANTOR_BUILD_DIR is the native build with vantorpak and
// vantormap.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import path from 'node:path';
import {
  buildDir, siteUrl, work, WAIT_MS, TEST_MS, useBrowser, packPicture, waitForPicture,
  pixelsOfColour, waitFor, waitForState, holdKey, answerSoundQuestion,
} from './support.mjs';

const screenshot = process.env.VANTOR_WEB_SCREENSHOT;  // where to save docs/web.png, when set

// One context for all tests: the pages share its IndexedDB, as they share a
// browser's.
const session = useBrowser({ acceptDownloads: true });

// ---- The tests ----------------------------------------------------------------

// The game page stays open after its program has ended; the last test starts
// it again.
let gamePage;

test('game page: sound question, title and help pictures, map 1, program end', { timeout: TEST_MS }, async () => {
  const page = gamePage = await session.context.newPage();
  await page.goto(`${siteUrl}/vantor.html`);
  const box = await answerSoundQuestion(page);
  assert.deepEqual(box, { title: 'Soundkarte gefunden', text: 'Sound aktivieren ?', buttons: ['Ja', 'Nein'] });
  await waitForState(page, { soundOff: 1 });

  const title = packPicture(15);
  await waitForPicture(page, title, 'the title picture after the intro');
  await holdKey(page, 'F3', () => waitForPicture(page, packPicture(17), 'the help picture on F3'));
  await holdKey(page, 'Escape', () => waitForPicture(page, title, 'the title picture after Escape'));

  const map1 = execFileSync(path.join(buildDir, 'bin/vantormap'), ['check', path.join(buildDir, 'run/maps/map 1.map')]);
  const prisoners = Number(/prisoners: (\d+)/.exec(map1)[1]);
  await holdKey(page, 'F1', () => waitForState(page, { prisonersLeft: prisoners }));
  await waitForState(page, { mapNumber: 1, ownMapMode: 0, lives: 3, prisonersLeft: prisoners });
  if (screenshot) await page.screenshot({ path: screenshot });

  await page.keyboard.down('Escape');
  await page.keyboard.down('KeyJ');
  await page.locator('#ended').waitFor({ state: 'visible', timeout: WAIT_MS });
  await page.keyboard.up('KeyJ');
  await page.keyboard.up('Escape');
  assert.equal((await page.locator('#ended').textContent()).includes('Das Programm wurde beendet.'), true);
  assert.equal(await page.locator('#restart').textContent(), 'Neu starten');
  assert.equal(await page.evaluate(() => window.vantorRunning), false);
});

// The editor's palette lies at x 620 to 659 from y 100, 40 pixels per icon;
// the view's cells are 40 pixels square.
const ICON = { target: 4, prisoner: 5, start: 6 };
const iconPoint = (index) => [640, 100 + 40 * index + 20];
const cellPoint = (x, y) => [40 * x + 20, 40 * y + 20];

test('editor page: a map set with the mouse, saved with F2 and downloaded', { timeout: TEST_MS }, async () => {
  const page = await session.context.newPage();
  await page.goto(`${siteUrl}/vantoredit.html`);
  const canvas = page.locator('#screen');
  await canvas.waitFor({ state: 'visible', timeout: WAIT_MS });
  // Screen pixels to page coordinates of the scaled canvas, read once: the
  // window keeps its size.
  const bounds = await canvas.boundingBox();
  const moveTo = ([x, y]) => page.mouse.move(bounds.x + (x * bounds.width) / 800, bounds.y + (y * bounds.height) / 600);
  // The button held until the editor has acted on it; the editor reads it once a frame.
  const press = async (point, seen) => {
    await moveTo(point);
    await page.mouse.down();
    try {
      await seen();
    } finally {
      await page.mouse.up();
    }
  };
  const setCell = async (icon, layer, code, [x, y], count) => {
    await press(iconPoint(icon), () => waitForState(page, { selectedLayer: layer, selectedCode: code }));
    // A cell is set where the pointer was in the frame before the button.
    await moveTo(cellPoint(x, y));
    await waitForState(page, { cursorCellX: x, cursorCellY: y });
    await press(cellPoint(x, y), () => waitForState(page, count));
  };

  // The title takes any click; nothing is chosen yet, so nothing is set.
  await waitForState(page, { cursorCellX: 0 });
  await press([300, 300], () => waitForState(page, { cursorCellX: 7, cursorCellY: 7 }));
  await setCell(ICON.target, 1, 6, [3, 5], { targetCount: 1 });
  await setCell(ICON.prisoner, 2, 3, [8, 5], { prisonerCount: 1 });
  await setCell(ICON.start, 2, 2, [5, 2], { startCount: 1 });

  // "Karte gespeichert" is drawn in pure green below the palette while F2 is held.
  const saveNotice = [605, 515, 195, 25];
  const green = [0, 255, 0];
  assert.equal(await pixelsOfColour(page, saveNotice, green), 0);
  await holdKey(page, 'F2', () => waitFor(async () => (await pixelsOfColour(page, saveNotice, green)) > 0,
                                          () => 'no "Karte gespeichert" while F2 is held'));

  const [download] = await Promise.all([page.waitForEvent('download', { timeout: WAIT_MS }), page.locator('#download').click()]);
  assert.equal(download.suggestedFilename(), 'own.map');
  const file = path.join(work, 'own.map');
  await download.saveAs(file);
  assert.equal(fs.statSync(file).size, 4182);
  const dump = execFileSync(path.join(buildDir, 'bin/vantormap'), ['dump', file], { encoding: 'utf8' });
  const row = (y) => dump.split('\n').find((line) => line.endsWith(`; ${y}`)).replaceAll(' ', '').slice(0, 50);
  assert.equal(row(2), '.....S' + '.'.repeat(44));
  assert.equal(row(5), '...T....P' + '.'.repeat(41));
  await page.close();
});

test('game page, started again: F2 plays the map saved in the editor', { timeout: TEST_MS }, async () => {
  const page = gamePage;
  await page.locator('#restart').click();
  await answerSoundQuestion(page);
  await waitForState(page, { introShown: 1 });
  await holdKey(page, 'F2', () => waitForState(page, { ownMapMode: 1 }));
  await waitForState(page, { ownMapMode: 1, prisonersLeft: 1 });
  await page.close();
});
