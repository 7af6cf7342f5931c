// The browser version in headless Chromium: the game page from the sound
// question to the end of the program, then a map made with the mouse on the
// editor page, downloaded, and played on the game page; then the same by
// touch in phone and tablet sizes (mobile emulation, real touch events through
// the browser's input), with the editor's question before unsaved work is
// left. The programs'
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
  pixelsOfColour, waitFor, waitForState, programState, holdKey, answerSoundQuestion,
} from './support.mjs';

const screenshot = process.env.VANTOR_WEB_SCREENSHOT;  // where to save docs/web.png, when set
// and web-phone.png beside it

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

// Screen pixels to page coordinates of the scaled canvas, read once: the
// window keeps its size.
async function screenToPage(page) {
  const bounds = await page.locator('#screen').boundingBox();
  return ([x, y]) => [bounds.x + (x * bounds.width) / 800, bounds.y + (y * bounds.height) / 600];
}

// The map file as its rows of 50 cells, from vantormap dump.
function mapRows(file) {
  const dump = execFileSync(path.join(buildDir, 'bin/vantormap'), ['dump', file], { encoding: 'utf8' });
  return (y) => dump.split('\n').find((line) => line.endsWith(`; ${y}`)).replaceAll(' ', '').slice(0, 50);
}

// Downloads the level saved first, "Eigene Karte", by the page's button;
// returns its rows.
async function downloadOwnMap(page, byTouch = false) {
  const button = page.locator('#download-level');
  const [download] = await Promise.all([page.waitForEvent('download', { timeout: WAIT_MS }),
                                        byTouch ? button.tap() : button.click()]);
  assert.equal(download.suggestedFilename(), 'Eigene Karte.map');
  const file = path.join(work, 'own.map');
  await download.saveAs(file);
  assert.equal(fs.statSync(file).size, 4182);
  return mapRows(file);
}

test('editor page: a map set with the mouse, saved with F2 and downloaded', { timeout: TEST_MS }, async () => {
  const page = await session.context.newPage();
  await page.goto(`${siteUrl}/vantoredit.html`);
  const canvas = page.locator('#screen');
  await canvas.waitFor({ state: 'visible', timeout: WAIT_MS });
  const toPage = await screenToPage(page);
  const moveTo = (point) => page.mouse.move(...toPage(point));
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

  const row = await downloadOwnMap(page);
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

// ---- By touch -----------------------------------------------------------------

// A phone held upright and lying, and a tablet upright.
const TOUCH_SIZES = [{ width: 390, height: 844 }, { width: 844, height: 390 }, { width: 768, height: 1024 }];

const touchContext = (viewport) =>
  session.browser.newContext({ viewport, isMobile: true, hasTouch: true, deviceScaleFactor: 2, acceptDownloads: true });

// Fingers through the browser's touch input: send(type, [[x, y], ...]) with
// finger i at the i-th point; 'touchEnd' with none lifts them all.
async function fingers(page) {
  const cdp = await page.context().newCDPSession(page);
  return (type, points) => cdp.send('Input.dispatchTouchEvent',
                                        { type, touchPoints: points.map(([x, y], id) => ({ x, y, id })) });
}

async function centre(locator) {
  const box = await locator.boundingBox();
  return [box.x + box.width / 2, box.y + box.height / 2];
}

// The whole picture is seen at 4:3 and as large as the room allows, the page
// neither scrolls nor zooms, and every control is inside the viewport, large
// enough for a thumb and, upright, off the picture.
async function checkLayout(page, { width, height }) {
  const layout = await page.evaluate(() => {
    const box = (element) => {
      const r = element.getBoundingClientRect();
      return { left: r.left, top: r.top, right: r.right, bottom: r.bottom, width: r.width, height: r.height };
    };
    const root = document.documentElement;
    return {
      canvas: box(document.getElementById('screen')),
      controls: [...document.querySelectorAll('#touch [data-keys], #bar')].map(box),
      page: [root.scrollWidth, root.scrollHeight, window.scrollX, window.scrollY, window.visualViewport.scale],
    };
  });
  const { canvas } = layout;
  const where = `${width}x${height}: ${JSON.stringify(layout)}`;
  const inside = (r) => r.left >= 0 && r.top >= 0 && r.right <= width && r.bottom <= height;
  const overlap = (a, b) => a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
  assert.ok(inside(canvas), `the picture is cut off at ${where}`);
  assert.ok(Math.abs(canvas.width * 3 - canvas.height * 4) <= 4, `the picture is not 4:3 at ${where}`);
  assert.ok(canvas.width >= 0.6 * Math.min(width, (height * 4) / 3), `the picture is small at ${where}`);
  assert.deepEqual(layout.page, [width, height, 0, 0, 1], `the page scrolls or zooms at ${where}`);
  layout.controls.forEach((control, i) => {
    assert.ok(inside(control), `control ${i} is out of view at ${where}`);
    if (i < layout.controls.length - 1) assert.ok(control.width >= 44 && control.height >= 44, `control ${i} is small at ${where}`);
    if (height > width) assert.ok(!overlap(control, canvas), `control ${i} covers the picture at ${where}`);
  });
}

for (const viewport of TOUCH_SIZES) {
  test(`game page by touch at ${viewport.width}x${viewport.height}: map 1, steer and fire, Escape and J`, { timeout: TEST_MS }, async () => {
    const touchContextForSize = await touchContext(viewport);
    const page = await touchContextForSize.newPage();
    await page.goto(`${siteUrl}/vantor.html`);
    await answerSoundQuestion(page, true);
    await checkLayout(page, viewport);
    await waitForState(page, { introShown: 1 });
    await page.locator('#touch [data-keys="F1"]').tap();
    await waitForState(page, { mapNumber: 1, ownMapMode: 0, onPlatform: 1 });
    if (screenshot && viewport.width === 390) await page.screenshot({ path: path.join(path.dirname(screenshot), 'web-phone.png'), scale: 'css' });

    // One finger lifts off with the pad's top, slides round to its right
    // side, and a second finger holds fire meanwhile.
    const world = (state) => [Number(state.craftX) + Number(state.scrollX), Number(state.craftY) + Number(state.scrollY)];
    const [startX, startY] = world(await programState(page));
    const pad = await page.locator('#touch .pad').boundingBox();
    const padPoint = (dx, dy) => [pad.x + pad.width * (0.5 + dx * 0.4), pad.y + pad.height * (0.5 + dy * 0.4)];
    const fire = await centre(page.locator('#touch .fire'));
    const send = await fingers(page);
    await send('touchStart', [padPoint(0, -1)]);
    await waitFor(async () => world(await programState(page))[1] < startY - 20, () => 'the craft did not lift off');
    await send('touchMove', [padPoint(0.7, -0.7)]);
    await send('touchMove', [padPoint(1, 0)]);
    await send('touchStart', [padPoint(1, 0), fire]);
    await waitFor(async () => {
      const state = await programState(page);
      return state.fireLatch === '1' && world(state)[0] > startX + 40;
    }, () => 'the craft did not fly right while firing');
    await send('touchEnd', []);

    // The quit question is all black but for its red line.
    await page.locator('#touch [data-keys="Escape"]').tap();
    await waitFor(async () => (await pixelsOfColour(page, [0, 0, 800, 280], [0, 0, 0])) === 800 * 280 &&
                              (await pixelsOfColour(page, [320, 290, 200, 16], [255, 0, 0])) > 0,
                  () => 'no quit question after Escape');
    await page.locator('#touch [data-keys="KeyJ"]').tap();
    await page.locator('#ended').waitFor({ state: 'visible', timeout: WAIT_MS });
    await touchContextForSize.close();
  });
}

test('editor page by touch: a painted row and the markers, saved by F2 and played; unsaved work asks', { timeout: TEST_MS }, async () => {
  const phone = await touchContext(TOUCH_SIZES[0]);
  const page = await phone.newPage();
  await page.goto(`${siteUrl}/vantoredit.html`);
  await page.locator('#screen').waitFor({ state: 'visible', timeout: WAIT_MS });
  // Turned on its side and back, the page follows.
  for (const viewport of [TOUCH_SIZES[0], TOUCH_SIZES[1], TOUCH_SIZES[0]]) {
    await page.setViewportSize(viewport);
    await page.waitForFunction((width) => document.body.style.width === `${width}px`, viewport.width);
    await checkLayout(page, viewport);
  }
  const toPage = await screenToPage(page);
  const tapAt = (point) => page.touchscreen.tap(...toPage(point));
  await waitForState(page, { cursorCellX: 0 });
  await tapAt([300, 300]);
  await waitForState(page, { cursorCellX: 7, cursorCellY: 7 });

  const setCell = async (icon, layer, code, [x, y], count) => {
    await tapAt(iconPoint(icon));
    await waitForState(page, { selectedLayer: layer, selectedCode: code });
    await tapAt(cellPoint(x, y));
    await waitForState(page, count);
  };
  // A finger drawn slowly along row 10 from column 2 to 8 walls every cell.
  await tapAt(iconPoint(1));
  await waitForState(page, { selectedLayer: 1, selectedCode: 1 });
  const send = await fingers(page);
  await send('touchStart', [toPage(cellPoint(2, 10))]);
  for (let x = 3; x <= 8; x++) {
    await send('touchMove', [toPage(cellPoint(x, 10))]);
    await waitForState(page, { cursorCellX: x, cursorCellY: 10 });
  }
  await send('touchEnd', []);
  await waitForState(page, { undoSteps: 1, mapUnsaved: 1 });
  // Undone, the map is empty again and nothing would be lost; redone, it would.
  await page.locator('#touch [data-keys="ControlLeft Z"]').tap();
  await waitForState(page, { undoSteps: 0, redoSteps: 1, mapUnsaved: 0 });
  await page.locator('#touch [data-keys="ControlLeft Y"]').tap();
  await waitForState(page, { undoSteps: 1, redoSteps: 0, mapUnsaved: 1 });

  // Leaving now asks; staying keeps the map.
  const asked = [];
  page.on('dialog', (dialog) => {
    asked.push(dialog.type());
    dialog.dismiss();
  });
  page.reload().catch(() => {});
  await waitFor(async () => asked.length > 0, () => 'no question before the unsaved map is left');
  assert.deepEqual(asked, ['beforeunload']);
  await waitForState(page, { mapUnsaved: 1, cursorCellX: 8 });

  await setCell(ICON.target, 1, 6, [3, 5], { targetCount: 1 });
  await setCell(ICON.prisoner, 2, 3, [8, 5], { prisonerCount: 1 });
  await setCell(ICON.start, 2, 2, [5, 2], { startCount: 1 });
  await page.locator('#touch [data-keys="F2"]').tap();
  await waitForState(page, { mapUnsaved: 0, mapsStoring: 0 });
  const row = await downloadOwnMap(page, true);
  assert.equal(row(2), '.....S' + '.'.repeat(44));
  assert.equal(row(5), '...T....P' + '.'.repeat(41));
  assert.equal(row(10), '..' + '#'.repeat(7) + '.'.repeat(41));

  // Saved, the page goes without a question, and the game plays the map.
  await page.reload();
  assert.deepEqual(asked, ['beforeunload']);
  const game = await phone.newPage();
  await game.goto(`${siteUrl}/vantor.html`);
  await answerSoundQuestion(game, true);
  await waitForState(game, { introShown: 1 });
  await game.locator('#touch [data-keys="F2"]').tap();
  await waitForState(game, { ownMapMode: 1, prisonersLeft: 1 });
  await phone.close();
});
