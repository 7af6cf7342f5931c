// The browser version in headless Chromium: the game page from the sound
// question to the end of the program, then a map made with the mouse on the
// editor page, downloaded, and played on the game page. The programs'
// behaviour is tested natively; these tests prove the web backend and the
// build. Started by tests/web/run, which serves the site and sets
// VANTOR_SITE_URL; VANTOR_BUILD_DIR is the native build with vantorpak and
// vantormap.
import { test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { chromium } from 'playwright-core';

const siteUrl = process.env.VANTOR_SITE_URL;
const buildDir = process.env.VANTOR_BUILD_DIR;
const screenshot = process.env.VANTOR_WEB_SCREENSHOT;  // where to save docs/web.png, when set

// The machine is slow and shared: every wait is long, and none is a sleep.
const WAIT_MS = 120_000;
const TEST_MS = 600_000;

const work = fs.mkdtempSync(path.join(os.tmpdir(), 'vantor-web-'));
let browser, context;

before(async () => {
  assert.ok(siteUrl && buildDir, 'VANTOR_SITE_URL and VANTOR_BUILD_DIR are set by tests/web/run');
  // Playwright gives the browser a fresh profile folder of its own.
  browser = await chromium.launch({
    executablePath: '/usr/bin/chromium',
    headless: true,
    args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
           '--disable-background-networking', '--disable-component-update', '--disable-sync'],
  });
  // One context for all tests: the pages share its IndexedDB, as they share a
  // browser's. The window is larger than the screen, so the canvas is scaled.
  context = await browser.newContext({ viewport: { width: 1024, height: 800 }, acceptDownloads: true });
});

after(async () => {
  await browser?.close();
  fs.rmSync(work, { recursive: true, force: true });
});

// ---- Pictures -------------------------------------------------------------

// Pack entry N as written by `vantorpak extract`, decoded to top-down RGB.
function packPicture(entry) {
  const dir = path.join(work, 'pack');
  if (!fs.existsSync(dir)) {
    execFileSync(path.join(buildDir, 'bin/vantorpak'), ['extract', path.join(buildDir, 'run/vantor.pak'), dir]);
  }
  return decodeBmp(fs.readFileSync(path.join(dir, `${String(entry).padStart(2, '0')}.bmp`)));
}

// An uncompressed BMP of 24 or 8 bits (with its palette), either row order.
function decodeBmp(file) {
  const dataOffset = file.readUInt32LE(10);
  const headerSize = file.readUInt32LE(14);
  const width = file.readInt32LE(18);
  const rawHeight = file.readInt32LE(22);
  const bits = file.readUInt16LE(28);
  assert.ok(bits === 24 || bits === 8, `a ${bits}-bit picture`);
  const height = Math.abs(rawHeight);
  const stride = Math.ceil((width * bits) / 32) * 4;
  const palette = 14 + headerSize;
  const rgb = Buffer.alloc(width * height * 3);
  for (let y = 0; y < height; y++) {
    const row = dataOffset + stride * (rawHeight > 0 ? height - 1 - y : y);
    for (let x = 0; x < width; x++) {
      const bgr = bits === 24 ? row + 3 * x : palette + 4 * file[row + x];
      const out = 3 * (y * width + x);
      rgb[out] = file[bgr + 2];
      rgb[out + 1] = file[bgr + 1];
      rgb[out + 2] = file[bgr];
    }
  }
  return { width, height, rgb };
}

// The canvas as top-down RGB. A canvas with a WebGL context is copied to a 2D
// one first.
async function screenPixels(page) {
  const base64 = await page.evaluate(() => {
    const canvas = document.getElementById('screen');
    let context = canvas.getContext('2d');
    if (!context) {
      const copy = document.createElement('canvas');
      copy.width = canvas.width;
      copy.height = canvas.height;
      context = copy.getContext('2d');
      context.drawImage(canvas, 0, 0);
    }
    const rgba = context.getImageData(0, 0, canvas.width, canvas.height).data;
    const rgb = new Uint8Array((rgba.length / 4) * 3);
    for (let i = 0, o = 0; i < rgba.length; i += 4) {
      rgb[o++] = rgba[i];
      rgb[o++] = rgba[i + 1];
      rgb[o++] = rgba[i + 2];
    }
    let text = '';
    for (let i = 0; i < rgb.length; i += 0x8000) text += String.fromCharCode(...rgb.subarray(i, i + 0x8000));
    return btoa(text);
  });
  return Buffer.from(base64, 'base64');
}

function differingPixels(a, b) {
  if (a.length !== b.length) return Math.max(a.length, b.length) / 3;
  let count = 0;
  for (let i = 0; i < a.length; i += 3) {
    if (a[i] !== b[i] || a[i + 1] !== b[i + 1] || a[i + 2] !== b[i + 2]) count++;
  }
  return count;
}

// Waits until the canvas is the picture pixel for pixel.
async function waitForPicture(page, picture, what) {
  let differing = -1;
  await waitFor(async () => (differing = differingPixels(await screenPixels(page), picture.rgb)) === 0,
                () => `${what}: ${differing} pixels differ`);
}

// Pixels of one colour in a rectangle of the canvas.
async function pixelsOfColour(page, [left, top, width, height], [r, g, b]) {
  const rgb = await screenPixels(page);
  let count = 0;
  for (let y = top; y < top + height; y++) {
    for (let x = left; x < left + width; x++) {
      const i = 3 * (y * 800 + x);
      if (rgb[i] === r && rgb[i + 1] === g && rgb[i + 2] === b) count++;
    }
  }
  return count;
}

// ---- The page ---------------------------------------------------------------

async function waitFor(condition, describe) {
  const deadline = Date.now() + WAIT_MS;
  for (;;) {
    if (await condition()) return;
    if (Date.now() > deadline) assert.fail(`waited ${WAIT_MS / 1000} s: ${describe()}`);
    await new Promise((resolve) => setTimeout(resolve, 200));
  }
}

// vantorState() as an object of its `name value` lines.
async function programState(page) {
  const text = await page.evaluate(() => (window.vantorState ? window.vantorState() : ''));
  const fields = {};
  for (const line of text.split('\n')) {
    const space = line.indexOf(' ');
    if (space > 0) fields[line.slice(0, space)] = line.slice(space + 1);
  }
  return fields;
}

// Waits until every given field has its value.
async function waitForState(page, expected) {
  let state = {};
  const matches = () => Object.entries(expected).every(([name, value]) => state[name] === String(value));
  await waitFor(async () => matches(state = await programState(page)),
                () => `expected ${JSON.stringify(expected)}, state has ${JSON.stringify(
                  Object.fromEntries(Object.keys(expected).map((name) => [name, state[name]])))}`);
}

// A key held until the program shows that it has seen it, then let go.
async function holdKey(page, key, seen) {
  await page.keyboard.down(key);
  try {
    await seen();
  } finally {
    await page.keyboard.up(key);
  }
}

// Answers the game's sound question with Nein; returns the box's texts.
async function answerSoundQuestion(page) {
  const dialog = page.locator('#dialog');
  await dialog.waitFor({ state: 'visible', timeout: WAIT_MS });
  const box = {
    title: await page.locator('#dialog-title').textContent(),
    text: await page.locator('#dialog-text').textContent(),
    buttons: [],
  };
  for (const id of ['ok', 'yes', 'no']) {
    const button = page.locator(`#dialog-${id}`);
    if (await button.isVisible()) box.buttons.push(await button.textContent());
  }
  await page.locator('#dialog-no').click();
  await dialog.waitFor({ state: 'hidden', timeout: WAIT_MS });
  return box;
}

// ---- The tests ----------------------------------------------------------------

// The game page stays open after its program has ended; the last test starts
// it again.
let gamePage;

test('game page: sound question, title and help pictures, map 1, program end', { timeout: TEST_MS }, async () => {
  const page = gamePage = await context.newPage();
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
  const page = await context.newPage();
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
