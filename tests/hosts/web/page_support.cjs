// What the page's browser tests share: the site served on 127.0.0.1, Debian's
// chromium driven by playwright-core (never a browser of its own), the
// renderer's frames, and pictures read back from screenshots.
'use strict';

const { chromium } = require('playwright-core');
const { execFileSync } = require('node:child_process');
const fs = require('node:fs');
const http = require('node:http');
const os = require('node:os');
const path = require('node:path');
const zlib = require('node:zlib');

const SITE = process.env.QV_SITE_DIR;
const RENDERER = process.env.QV_RENDERER;
const CHROMIUM = process.env.QV_CHROMIUM || '/usr/bin/chromium';

const TYPES = { '.html': 'text/html', '.js': 'text/javascript', '.css': 'text/css', '.wasm': 'application/wasm',
                '.ico': 'image/x-icon' };

// The site folder on an ephemeral port of 127.0.0.1; resolves to its address.
function serveSite() {
  const server = http.createServer((request, response) => {
    const name = decodeURIComponent(new URL(request.url, 'http://x').pathname).replace(/^\/$/, '/index.html');
    const file = path.join(SITE, path.normalize(name));
    if (!file.startsWith(SITE) || !fs.existsSync(file) || fs.statSync(file).isDirectory()) {
      response.writeHead(404).end();
      return;
    }
    response.writeHead(200, { 'Content-Type': TYPES[path.extname(file)] || 'application/octet-stream' });
    fs.createReadStream(file).pipe(response);
  });
  return new Promise((resolve) => server.listen(0, '127.0.0.1', () => {
    resolve({ url: `http://127.0.0.1:${server.address().port}/`, close: () => server.close() });
  }));
}

// One browser with a window of tabs (the hidden-tab case needs a second tab
// in the same window). Root needs no sandbox; nothing is fetched from outside.
async function startBrowser() {
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'qv-browser-'));
  const context = await chromium.launchPersistentContext(profile, {
    executablePath: CHROMIUM,
    args: ['--disable-gpu', '--force-color-profile=srgb', '--hide-scrollbars', '--disable-background-networking',
           '--disable-component-update', '--disable-sync', '--no-first-run', '--disable-quic'],
    viewport: { width: 320, height: 240 },
    deviceScaleFactor: 1,
  });
  return { context, close: async () => { await context.close(); fs.rmSync(profile, { recursive: true, force: true }); } };
}

// A new tab of `width` x `height` CSS pixels at `url`; `complaints` collects
// whatever the page printed to its console as a warning or an error, and its
// uncaught errors.
async function openPage(context, url, width, height, init) {
  const page = await context.newPage();
  if (init) await page.addInitScript(init);
  const complaints = [];
  page.on('console', (m) => { if (m.type() === 'error' || m.type() === 'warning') complaints.push(m.text()); });
  page.on('pageerror', (e) => complaints.push(e.message));
  await page.setViewportSize({ width, height });
  await page.goto(url);
  return { page, complaints };
}

// Polls `probe` (in the page) until it returns something truthy.
function until(page, probe, arg) {
  return page.waitForFunction(probe, arg, { timeout: 120000, polling: 50 });
}

// The renderer's frame `frames` for these arguments, as { width, height, rgb }.
function renderedFrame(args, frames) {
  const out = fs.mkdtempSync(path.join(os.tmpdir(), 'qv-render-'));
  try {
    execFileSync(RENDERER, [...args, '--frames', String(frames), '--every', String(frames), '--format', 'ppm',
                            '--out', out]);
    const bytes = fs.readFileSync(path.join(out, `frame-${String(frames).padStart(6, '0')}.ppm`));
    const [header, width, height] = /^P6\s+(\d+)\s+(\d+)\s+255\s/.exec(bytes.subarray(0, 32).toString('latin1'));
    return { width: Number(width), height: Number(height), rgb: bytes.subarray(header.length) };
  } finally {
    fs.rmSync(out, { recursive: true, force: true });
  }
}

// A screenshot as { width, height, rgb }: 8-bit RGB or RGBA PNG, as chromium
// writes them.
async function screenshot(page) {
  const png = await page.screenshot();
  const width = png.readUInt32BE(16);
  const height = png.readUInt32BE(20);
  const channels = { 2: 3, 6: 4 }[png[25]];
  if (png[24] !== 8 || !channels || png[28] !== 0) throw new Error('an unexpected PNG layout');
  const chunks = [];
  for (let at = 8; at < png.length;) {
    const length = png.readUInt32BE(at);
    if (png.toString('latin1', at + 4, at + 8) === 'IDAT') chunks.push(png.subarray(at + 8, at + 8 + length));
    at += 12 + length;
  }
  const raw = zlib.inflateSync(Buffer.concat(chunks));
  const stride = width * channels;
  const rgb = Buffer.alloc(width * height * 3);
  let previous = Buffer.alloc(stride);
  for (let y = 0; y < height; ++y) {
    const filter = raw[y * (stride + 1)];
    const row = Buffer.from(raw.subarray(y * (stride + 1) + 1, (y + 1) * (stride + 1)));
    for (let i = 0; i < stride; ++i) {
      const a = i >= channels ? row[i - channels] : 0;
      const b = previous[i];
      const c = i >= channels ? previous[i - channels] : 0;
      const p = a + b - c;
      const paeth = Math.abs(p - a) <= Math.abs(p - b) && Math.abs(p - a) <= Math.abs(p - c) ? a
        : Math.abs(p - b) <= Math.abs(p - c) ? b : c;
      row[i] = (row[i] + [0, a, b, (a + b) >> 1, paeth][filter]) & 0xff;
    }
    for (let x = 0; x < width; ++x) row.copy(rgb, (y * width + x) * 3, x * channels, x * channels + 3);
    previous = row;
  }
  return { width, height, rgb };
}

// The first pixel where two pictures differ, or null.
function firstDifference(a, b) {
  if (a.width !== b.width || a.height !== b.height) return `size ${a.width}x${a.height} against ${b.width}x${b.height}`;
  for (let i = 0; i < a.rgb.length; i += 3) {
    if (a.rgb[i] !== b.rgb[i] || a.rgb[i + 1] !== b.rgb[i + 1] || a.rgb[i + 2] !== b.rgb[i + 2]) {
      const p = i / 3;
      return `pixel ${p % a.width},${Math.floor(p / a.width)}: ${[...a.rgb.subarray(i, i + 3)]} against ` +
        `${[...b.rgb.subarray(i, i + 3)]}`;
    }
  }
  return null;
}

// Clearly coloured pixels: particles (the legend and the logo are grey).
function colouredPixels(picture) {
  let coloured = 0;
  for (let i = 0; i < picture.rgb.length; i += 3) {
    const [r, g, b] = picture.rgb.subarray(i, i + 3);
    if (Math.max(r, g, b) >= 96 && Math.max(r, g, b) - Math.min(r, g, b) >= 64) coloured += 1;
  }
  return coloured;
}

// Takes screenshots until at least `least` pixels are coloured; fails after
// a generous time.
async function untilColoured(page, least) {
  const deadline = Date.now() + 120000;
  let coloured;
  do {
    coloured = colouredPixels(await screenshot(page));
    if (coloured >= least) return;
  } while (Date.now() < deadline);
  throw new Error(`only ${coloured} coloured pixels, not ${least}`);
}

module.exports = { serveSite, startBrowser, openPage, until, renderedFrame, screenshot, firstDifference,
                   untilColoured };
