// What the browser tests share: one headless Chromium per test file, the
// canvas read as pixels, the programs' state, keys held until the program
// has seen them, and the sound question. tests/web/run sets VANTOR_SITE_URL
// (the served site) and VANTOR_BUILD_DIR (the native build with vantorpak
// and vantormap).
import { before, after } from 'node:test';
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { chromium } from 'playwright-core';

export const siteUrl = process.env.VANTOR_SITE_URL;
export const buildDir = process.env.VANTOR_BUILD_DIR;

// The machine is slow and shared: every wait is long, and none is a sleep.
export const WAIT_MS = 120_000;
export const TEST_MS = 600_000;

// Scratch files of the test file, removed with the browser.
export const work = fs.mkdtempSync(path.join(os.tmpdir(), 'vantor-web-'));

// Starts the browser before the file's tests and closes it after them. The
// returned session's context is made with the given options.
export function useBrowser(contextOptions = {}) {
  const session = {};
  before(async () => {
    assert.ok(siteUrl && buildDir, 'VANTOR_SITE_URL and VANTOR_BUILD_DIR are set by tests/web/run');
    // Playwright gives the browser a fresh profile folder of its own.
    session.browser = await chromium.launch({
      executablePath: '/usr/bin/chromium',
      headless: true,
      args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
             '--disable-background-networking', '--disable-component-update', '--disable-sync'],
    });
    // The window is larger than the screen, so the canvas is scaled.
    session.context = await session.browser.newContext({ viewport: { width: 1024, height: 800 }, ...contextOptions });
  });
  after(async () => {
    await session.browser?.close();
    fs.rmSync(work, { recursive: true, force: true });
  });
  return session;
}

// ---- Pictures -------------------------------------------------------------

// Pack entry N as written by `vantorpak extract`, decoded to top-down RGB.
export function packPicture(entry) {
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
export async function waitForPicture(page, picture, what) {
  let differing = -1;
  await waitFor(async () => (differing = differingPixels(await screenPixels(page), picture.rgb)) === 0,
                () => `${what}: ${differing} pixels differ`);
}

// Pixels of one colour in a rectangle of the canvas.
export async function pixelsOfColour(page, [left, top, width, height], [r, g, b]) {
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

export async function waitFor(condition, describe) {
  const deadline = Date.now() + WAIT_MS;
  for (;;) {
    if (await condition()) return;
    if (Date.now() > deadline) assert.fail(`waited ${WAIT_MS / 1000} s: ${describe()}`);
    await new Promise((resolve) => setTimeout(resolve, 200));
  }
}

// vantorState() as an object of its `name value` lines.
export async function programState(page) {
  const text = await page.evaluate(() => (window.vantorState ? window.vantorState() : ''));
  const fields = {};
  for (const line of text.split('\n')) {
    const space = line.indexOf(' ');
    if (space > 0) fields[line.slice(0, space)] = line.slice(space + 1);
  }
  return fields;
}

// Waits until every given field has its value.
export async function waitForState(page, expected) {
  let state = {};
  const matches = () => Object.entries(expected).every(([name, value]) => state[name] === String(value));
  await waitFor(async () => matches(state = await programState(page)),
                () => `expected ${JSON.stringify(expected)}, state has ${JSON.stringify(
                  Object.fromEntries(Object.keys(expected).map((name) => [name, state[name]])))}`);
}

// A key held until the program shows that it has seen it, then let go.
export async function holdKey(page, key, seen) {
  await page.keyboard.down(key);
  try {
    await seen();
  } finally {
    await page.keyboard.up(key);
  }
}

// Answers the game's sound question with Nein (by a tap on a touch screen);
// returns the box's texts.
export async function answerSoundQuestion(page, byTouch = false) {
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
  if (byTouch) await page.locator('#dialog-no').tap();
  else await page.locator('#dialog-no').click();
  await dialog.waitFor({ state: 'hidden', timeout: WAIT_MS });
  return box;
}
