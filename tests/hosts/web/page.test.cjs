// The web page in Debian's headless chromium: it draws, draws the renderer's
// frames exactly, follows its controls, its address, its panel and its
// window, rests while hidden, and names its faults, with nothing in the
// console. Every wait polls for the state it needs.
'use strict';

const { before, after, it } = require('node:test');
const assert = require('node:assert/strict');
const s = require('./page_support.cjs');

let site;
let browser;
before(async () => {
  site = await s.serveSite();
  browser = await s.startBrowser();
});
after(async () => {
  await browser.close();
  site.close();
});

// A tab at `query` (with `init` run before the page's own scripts); the
// case's body runs, and the page must have printed nothing to its console.
async function inPage(query, width, height, body, init) {
  const tab = await s.openPage(browser.context, site.url + query, width, height, init);
  try {
    await body(tab.page);
    assert.deepEqual(tab.complaints, []);
  } finally {
    await tab.page.close();
  }
}

const framesAfter = (page, n) => s.until(page, (m) => window.quorvalentPage.frames > m, n);

it('draws particles once loaded', (t) => inPage('', 480, 360, async (page) => {
  await s.untilColoured(page, 500);
  const firstFrame = await page.evaluate(() => window.quorvalentPage.firstFrameMs);
  t.diagnostic(`first frame ${firstFrame.toFixed(0)} ms after the page began to load`);
}));

// The renderer's options for the same scene beside the page's.
const STILLS = [
  { query: 'seed=5', size: [320, 240], frames: 60, args: ['--seed', '5'] },
  { query: 'seed=9&brush=ball', size: [333, 201], frames: 80, args: ['--seed', '9', '--brush-kind', '0x20000'] },
  { query: 'seed=2&brush=picture&trail=16&half-res&depth-sort', size: [400, 300], frames: 50,
    args: ['--seed', '2', '--brush-picture', 'STAR_FLARE', '--trail', '16', '--half-res', '--depth-sort'] },
];
for (const still of STILLS) {
  const [w, h] = still.size;
  const query = `?${still.query}&size=${w}x${h}&frames=${still.frames}&still&wallpaper`;
  it(`a screenshot of ${query} is the renderer's frame`, () => inPage(query, w, h, async (page) => {
    await s.until(page, () => window.quorvalentPage.stillDone);
    const expected = s.renderedFrame([...still.args, '--size', `${w}x${h}`], still.frames);
    assert.equal(s.firstDifference(await s.screenshot(page), expected), null);
  }));
}

// What the page passes on to the animation, and when: the frames drawn when
// each event came (it acts in the next frame's input reaction, as the
// renderer's scripted input of that frame does). And a copy of the frame
// the page puts on the canvas as its frame `qvGrabAt`.
function watchPage() {
  const log = (window.qvInput = []);
  const frame = () => (window.quorvalentPage ? window.quorvalentPage.frames : 0);
  addEventListener('keydown', (e) => e.key.startsWith('Arrow') && log.push(['key', frame(), e.key]), true);
  addEventListener('keyup', (e) => e.key === 'Enter' && log.push(['key', frame(), e.key]), true);
  addEventListener('wheel', (e) => log.push(['wheel', frame(), e.deltaY]), true);
  addEventListener('pointermove', (e) => log.push([e.pointerType, frame(), e.clientX, e.clientY]), true);
  const put = CanvasRenderingContext2D.prototype.putImageData;
  CanvasRenderingContext2D.prototype.putImageData = function (image, ...rest) {
    put.call(this, image, ...rest);
    if (window.quorvalentPage.frames + 1 === window.qvGrabAt) window.qvGrabbed = Array.from(image.data);
  };
}

// The renderer's options for what the page logged. One finger moves as the
// mouse; after the 'pinch' mark, each step of the two fingers closing in is
// one notch away.
function scriptOf(log) {
  const args = [];
  let pinching = false;
  for (const [kind, frame, a, b] of log) {
    const at = frame + 1;
    if (kind === 'pinch') pinching = true;
    if (kind === 'key') args.push('--key', `${at}:${{ Enter: 'enter', ArrowDown: 'down', ArrowLeft: 'left' }[a]}`);
    if (kind === 'wheel') args.push('--wheel', `${at}:${a < 0 ? '+1' : '-1'}`);
    if (kind === 'mouse' || (kind === 'touch' && !pinching)) args.push('--mouse', `${at}:${a},${b}`);
    if (kind === 'touch' && pinching && !args.includes(`${at}:-1`)) args.push('--wheel', `${at}:-1`);
  }
  return args;
}

it('its keys, wheel, mouse and touch act as the renderer\'s scripted input', () => inPage('?seed=3', 320, 240,
  async (page) => {
    const next = async () => framesAfter(page, await page.evaluate(() => window.quorvalentPage.frames));
    await framesAfter(page, 3);
    await page.keyboard.press('Enter');
    for (let i = 0; i < 4; ++i) {
      await next();
      await page.mouse.wheel(0, -100);
    }
    await next();
    await page.keyboard.press('ArrowDown');
    await next();
    await page.mouse.move(200, 50);
    await next();
    await page.keyboard.press('ArrowLeft');
    await next();
    // One finger drags, then two close in, 40 pixels at a time.
    const cdp = await page.context().newCDPSession(page);
    const touch = (type, points) => cdp.send('Input.dispatchTouchEvent', { type, touchPoints: points });
    await touch('touchStart', [{ x: 30, y: 30, id: 1 }]);
    await touch('touchMove', [{ x: 90, y: 70, id: 1 }]);
    await touch('touchEnd', []);
    await next();
    await page.evaluate(() => window.qvInput.push(['pinch']));
    await touch('touchStart', [{ x: 60, y: 120, id: 2 }, { x: 260, y: 120, id: 3 }]);
    for (let gap = 200; gap > 40;) {
      await next();
      gap -= 40;
      await touch('touchMove', [{ x: 160 - gap / 2, y: 120, id: 2 }, { x: 160 + gap / 2, y: 120, id: 3 }]);
    }
    await touch('touchEnd', []);
    const last = await page.evaluate(() => window.quorvalentPage.frames);
    const shown = last + 10;
    await page.evaluate((n) => { window.qvGrabAt = n; }, shown);
    await s.until(page, () => window.qvGrabbed !== undefined);
    const grabbed = await page.evaluate(() => window.qvGrabbed);
    const frame = { width: 320, height: 240, rgb: Buffer.from(grabbed.filter((_, i) => i % 4 !== 3)) };
    const script = scriptOf(await page.evaluate(() => window.qvInput));
    const base = ['--seed', '3', '--size', '320x240'];
    const expected = s.renderedFrame([...base, ...script], shown);
    assert.equal(s.firstDifference(frame, expected), null, script.join(' '));
    // The input changed the picture.
    assert.notEqual(s.firstDifference(expected, s.renderedFrame(base, shown)), null);
  }, watchPage));

it('takes its scene from the address and from the panel', () => inPage('?brush=ball&trail=1001&fps&bogus=1', 480,
  360, async (page) => {
    await framesAfter(page, 2);
    assert.equal(await page.inputValue('select[name=brush]'), 'ball');
    assert.equal(await page.inputValue('input[name=trail]'), '1001');
    assert.equal(await page.textContent('#problems'),
                 "Not taken from the address (the default is used):\nunknown option 'bogus'");
    assert.equal(new URL(page.url()).search, '?brush=ball&trail=1001&fps');
    await s.until(page, () => /^FPS: [1-9]\d*\.\d$/.test(document.getElementById('fps').textContent));
    await page.click('#panel summary');
    await page.selectOption('select[name=brush]', 'spot');
    await page.uncheck('input[name=fps]');
    await page.check('input[name=depth-sort]');
    await s.until(page, () => location.search === '?brush=spot&trail=1001&depth-sort');
    assert.ok(await page.isHidden('#fps'));
    await framesAfter(page, 2);
  }));

it('follows the window in device pixels', () => inPage('', 400, 300, async (page) => {
  const canvasSize = (size) => s.until(page, ([w, h]) => {
    const c = document.getElementById('animation');
    return c.width === w && c.height === h;
  }, size);
  await canvasSize([400, 300]);
  await page.setViewportSize({ width: 640, height: 480 });
  await canvasSize([640, 480]);
  const cdp = await page.context().newCDPSession(page);
  await cdp.send('Emulation.setDeviceMetricsOverride', { width: 300, height: 200, deviceScaleFactor: 2, mobile: false });
  await canvasSize([600, 400]);
}));

it('rests while its tab is hidden', () => inPage('', 320, 240, async (page) => {
  await framesAfter(page, 2);
  const cdp = await page.context().newCDPSession(page);
  const { targetInfo } = await cdp.send('Target.getTargetInfo');
  const [front] = await Promise.all([page.context().waitForEvent('page'),
                                     cdp.send('Target.createTarget', { url: 'about:blank', newWindow: false })]);
  // Refreshes of the tab in front, which count the display's time: ten for
  // the page to go behind it, then sixty, a second, in which the page would
  // draw 25 frames. A browser gives a hidden tab no refreshes; headless
  // chromium gives it one a second.
  const refreshes = (n) => front.evaluate((count) => new Promise((done) => {
    const tick = () => (--count <= 0 ? done() : requestAnimationFrame(tick));
    requestAnimationFrame(tick);
  }), n);
  await refreshes(10);
  const hiddenAt = await page.evaluate(() => window.quorvalentPage.frames);
  await refreshes(60);
  assert.ok(await page.evaluate(() => window.quorvalentPage.frames) <= hiddenAt + 2);
  await cdp.send('Target.activateTarget', { targetId: targetInfo.targetId });
  await framesAfter(page, hiddenAt + 5);
  await front.close();
}));

it('Escape ends nothing; the button goes full screen and back', () => inPage('', 320, 240, async (page) => {
  await framesAfter(page, 2);
  await page.keyboard.press('Escape');
  await framesAfter(page, (await page.evaluate(() => window.quorvalentPage.frames)) + 10);
  await page.click('#full-screen');
  await s.until(page, () => document.fullscreenElement !== null);
  await page.click('#full-screen');
  await s.until(page, () => document.fullscreenElement === null);
}));

it('shows a fatal error in the program\'s words', () => inPage('?still&size=16384x16384&frames=1', 320, 240,
  async (page) => {
    await s.until(page, () => window.quorvalentPage.fault !== '');
    assert.equal(await page.textContent('#fault-caption'), 'Process Runtime Error');
    assert.equal(await page.textContent('#fault-text'), 'memory allocation return is NULL, may be size allocation = 0');
    assert.ok(await page.isHidden('#animation'));
  }));

it('says so where there is no WebAssembly', async () => {
  const page = await browser.context.newPage();
  const complaints = [];
  page.on('console', (m) => complaints.push(m.text()));
  await page.addInitScript(() => delete window.WebAssembly);
  try {
    await page.goto(site.url);
    await s.until(page, () => window.quorvalentPage.fault !== '');
    assert.match(await page.textContent('#fault-text'), /runs in WebAssembly/);
    assert.deepEqual(complaints, []);
  } finally {
    await page.close();
  }
});
