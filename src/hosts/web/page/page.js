// The page's half of the web host (src/hosts/web): loads the module, gives
// it the canvas's size in device pixels, calls it at every refresh of the
// display, puts the frames it presents on the canvas, passes the keyboard,
// the mouse and touch on, and keeps the settings panel and the address in
// step. The animation itself, its settings and its pacing are the module's.
//
// window.quorvalentPage tells how far the page has come (frames drawn, a
// still finished, the fault shown), for whoever drives the page.
'use strict';

(() => {
  const page = (window.quorvalentPage = {
    frames: 0,            // frames drawn by the module
    presents: 0,          // frames put on the canvas
    firstFrameMs: null,   // performance.now() when the first frame was drawn
    stillDone: false,
    fault: '',            // the text of a fault shown in the page
    query: '',            // the settings as the address shows them
  });

  const canvas = document.getElementById('animation');
  const context = canvas.getContext('2d', { alpha: false });
  const panel = document.getElementById('settings');
  const fpsFigure = document.getElementById('fps');

  // The program's own caption of its fatal errors, and the text it shows when
  // memory runs out (a canvas too large to allocate is one such case).
  const RUNTIME_ERROR_CAPTION = 'Process Runtime Error';

  let module = null;
  let running = false;   // an animation is started and refreshed
  let nextRefresh = 0;   // the refresh asked of the browser
  let stopped = false;   // a fault ended everything; settings reload the page
  let still = false;
  let image = null;      // the canvas's pixels, as the module's last frame
  let imageWords = null;
  const quietLines = []; // what the module printed, shown only with a fault

  function showFault(caption, text) {
    if (page.fault) return;
    page.fault = text;
    stopped = true;
    running = false;
    canvas.hidden = true;
    document.getElementById('fault-caption').textContent = caption;
    document.getElementById('fault-text').textContent = text;
    document.getElementById('fault').hidden = false;
  }

  function showProblems(lines) {
    const box = document.getElementById('problems');
    box.textContent = lines.length ? 'Not taken from the address (the default is used):\n' + lines.join('\n') : '';
    box.hidden = lines.length === 0;
  }

  // One frame of the module onto the canvas. The frame is 0xAARRGGBB words in
  // the module's memory, the canvas wants R, G, B, A bytes: each pixel is
  // rearranged on its way, opaque.
  function present(pixels, width, height, strideWords, bottomUp, x, y, w, h) {
    if (!image || image.width !== width || image.height !== height) {
      try {
        image = context.createImageData(width, height);
      } catch (e) {
        image = null;
        return false;  // the module reports it as memory run out
      }
      imageWords = new Uint32Array(image.data.buffer);
      canvas.width = width;
      canvas.height = height;
      x = 0;
      y = 0;
      w = width;
      h = height;
    }
    const source = module.HEAPU32;
    const base = pixels >>> 2;
    for (let r = y; r < y + h; ++r) {
      const from = base + (bottomUp ? height - 1 - r : r) * strideWords;
      const to = r * width;
      for (let c = x; c < x + w; ++c) {
        const p = source[from + c];
        imageWords[to + c] = 0xff000000 | (p & 0xff00) | ((p >>> 16) & 0xff) | ((p & 0xff) << 16);
      }
    }
    context.putImageData(image, 0, 0, x, y, w, h);
    page.presents += 1;
    return true;
  }

  // "FPS: 24.9": the frames shown over the last whole second.
  const fpsMeter = { since: null, frames: 0 };
  function frameShown(nowMs) {
    if (fpsMeter.since === null) fpsMeter.since = nowMs;
    fpsMeter.frames += 1;
    const elapsed = nowMs - fpsMeter.since;
    if (elapsed >= 1000) {
      const tenths = Math.floor((fpsMeter.frames * 10000) / elapsed);
      fpsFigure.textContent = `FPS: ${Math.floor(tenths / 10)}.${tenths % 10}`;
      fpsMeter.since = nowMs;
      fpsMeter.frames = 0;
    }
  }

  // The canvas's size in device pixels, once the layout has given it one.
  let canvasSize = null;
  function followCanvasSize(width, height) {
    if (width <= 0 || height <= 0) return;
    const first = canvasSize === null;
    canvasSize = { width, height };
    if (first) {
      start();
    } else if (running) {
      module._qv_resize(width, height);
    }
  }

  function watchCanvasSize() {
    // The device-pixel box is exact where the layout puts the canvas at a
    // fraction of a CSS pixel; where it disagrees with the CSS size times the
    // ratio by more than rounding (an emulated ratio), the product wins.
    const observer = new ResizeObserver((entries) => {
      const entry = entries[entries.length - 1];
      const box = entry.devicePixelContentBoxSize && entry.devicePixelContentBoxSize[0];
      const width = Math.round(entry.contentRect.width * devicePixelRatio);
      const height = Math.round(entry.contentRect.height * devicePixelRatio);
      if (box && Math.abs(box.inlineSize - width) <= 1 && Math.abs(box.blockSize - height) <= 1) {
        followCanvasSize(box.inlineSize, box.blockSize);
      } else {
        followCanvasSize(width, height);
      }
    });
    try {
      observer.observe(canvas, { box: 'device-pixel-content-box' });
    } catch (e) {
      observer.observe(canvas);
    }
  }

  // Runs a call into the module; a fault there ends the page's animation
  // (the module has shown its error by then, or the call failed on its own).
  function guarded(call) {
    try {
      return call();
    } catch (e) {
      showFault(RUNTIME_ERROR_CAPTION, page.fault || String(e && e.message ? e.message : e));
      return undefined;
    }
  }

  function refresh(now) {
    if (!running) return;
    if (document.hidden) {
      nextRefresh = requestAnimationFrame(refresh);
      return;
    }
    const frames = guarded(() => module._qv_refresh(now));
    if (!running) return;
    if (frames !== page.frames) {
      if (page.firstFrameMs === null) page.firstFrameMs = performance.now();
      page.frames = frames;
      if (!still) frameShown(now);
    }
    if (still && module._qv_still_done()) {
      page.stillDone = true;
      running = false;
      const bench = module.UTF8ToString(module._qv_bench());
      const output = document.getElementById('bench');
      output.textContent = bench;
      output.hidden = bench === '';
      return;
    }
    nextRefresh = requestAnimationFrame(refresh);
  }

  // Reads the settings from a query and shows them: in the address, the
  // panel and the page's layout.
  function takeSettings(query) {
    module.ccall('qv_settings', null, ['string'], [query]);
    const problems = module.UTF8ToString(module._qv_problems());
    showProblems(problems ? problems.trimEnd().split('\n') : []);
    page.query = module.UTF8ToString(module._qv_query());
    const address = location.pathname + (page.query ? '?' + page.query : '') + location.hash;
    history.replaceState(null, '', address);

    const settings = new URLSearchParams(page.query);
    still = settings.has('still');
    document.body.classList.toggle('wallpaper', settings.has('wallpaper'));
    fpsFigure.hidden = !settings.has('fps');
    const size = settings.get('size');
    document.body.classList.toggle('fixed-size', size !== null);
    if (size !== null) {
      const [w, h] = size.split('x').map(Number);
      canvas.style.width = `${w / devicePixelRatio}px`;
      canvas.style.height = `${h / devicePixelRatio}px`;
    } else {
      canvas.style.width = '';
      canvas.style.height = '';
    }
    showInPanel(settings);
  }

  // The panel's rows, as the module offers the scene's options to the page:
  // a list for a choice with names, a box for a value, a tick for a switch.
  let panelRows = [];
  function buildPanel() {
    const text = module.UTF8ToString(module._qv_panel());
    panelRows = text.trimEnd().split('\n').map((line) => {
      const [name, valueName, help, shownDefault, names] = line.split('\t');
      return { name, valueName, help, shownDefault, names: names ? names.split(',') : [] };
    });
    for (const row of panelRows) {
      const label = document.createElement('label');
      label.title = row.help;
      let field;
      if (row.names.length) {
        field = document.createElement('select');
        for (const name of row.names) field.add(new Option(name, name));
      } else {
        field = document.createElement('input');
        field.type = row.valueName ? 'text' : 'checkbox';
        field.placeholder = row.shownDefault;
      }
      field.name = row.name;
      if (row.valueName) {
        label.append(row.name + ' ', field);
      } else {
        label.append(field, ' ' + row.name);
      }
      panel.append(label);
    }
  }

  function showInPanel(settings) {
    for (const row of panelRows) {
      const field = panel.elements[row.name];
      if (!row.valueName) {
        field.checked = settings.has(row.name);
      } else if (field.tagName === 'SELECT') {
        const value = settings.get(row.name) || row.shownDefault;
        if (![...field.options].some((o) => o.value === value)) field.add(new Option(value, value));
        field.value = value;
      } else {
        field.value = settings.get(row.name) || '';
      }
    }
  }

  // The panel's settings over the page's others (size, still, ...); the
  // module leaves out the defaults.
  function panelQuery() {
    const settings = new URLSearchParams(page.query);
    for (const row of panelRows) {
      const field = panel.elements[row.name];
      const value = row.valueName ? field.value.trim() : field.checked ? '' : null;
      if (value === null || (row.valueName && value === '')) {
        settings.delete(row.name);
      } else {
        settings.set(row.name, value);
      }
    }
    return settings.toString();
  }

  function start() {
    if (stopped || canvasSize === null) return;
    page.frames = 0;
    page.stillDone = false;
    fpsMeter.since = null;
    fpsMeter.frames = 0;
    fpsFigure.textContent = 'FPS: 0.0';
    guarded(() => module._qv_start(canvasSize.width, canvasSize.height));
    if (stopped) return;
    running = true;
    nextRefresh = requestAnimationFrame(refresh);
  }

  function restart(query) {
    if (stopped) {
      // After a fault the module is left as the fault found it.
      location.search = query;
      return;
    }
    running = false;
    cancelAnimationFrame(nextRefresh);
    guarded(() => module._qv_stop());
    takeSettings(query);
    start();
  }

  // --- Input: the desktop program's controls, and touch.

  const NAMED_KEYS = {
    Enter: 13, ' ': 32, Shift: 16, Control: 17, Alt: 18, Tab: 9, Backspace: 8, Delete: 46, Insert: 45,
    ArrowLeft: 37, ArrowUp: 38, ArrowRight: 39, ArrowDown: 40,
  };
  const UNLISTED_KEY = 0xff;  // counts as "any key" only

  // The key's virtual-key code, or 0 for Escape: the browser's own key,
  // which leaves full screen and ends nothing.
  function virtualKey(event) {
    if (event.key === 'Escape') return 0;
    if (event.key in NAMED_KEYS) return NAMED_KEYS[event.key];
    const f = /^F(\d+)$/.exec(event.key);
    if (f && Number(f[1]) >= 1 && Number(f[1]) <= 12) return 111 + Number(f[1]);
    const letter = /^Key([A-Z])$/.exec(event.code);
    if (letter) return letter[1].charCodeAt(0);
    const digit = /^Digit(\d)$/.exec(event.code);
    if (digit) return digit[1].charCodeAt(0);
    return UNLISTED_KEY;
  }

  function onKey(event, down) {
    if (!running || event.target.closest('#controls')) return;
    const vk = virtualKey(event);
    if (vk === 0) return;
    if (vk >= 37 && vk <= 40) event.preventDefault();
    module._qv_key(vk, down ? 1 : 0);
  }

  // A position on the canvas in its device pixels.
  function canvasPoint(event) {
    const box = canvas.getBoundingClientRect();
    return [Math.floor(((event.clientX - box.left) * canvas.width) / box.width),
            Math.floor(((event.clientY - box.top) * canvas.height) / box.height)];
  }

  // One notch of a mouse wheel in the browser's units.
  const WHEEL_PIXELS = 100;
  const WHEEL_LINE_PIXELS = 33;
  let wheelPixels = 0;
  function onWheel(event) {
    if (!running) return;
    const unit = event.deltaMode === 1 ? WHEEL_LINE_PIXELS : event.deltaMode === 2 ? innerHeight : 1;
    wheelPixels += event.deltaY * unit;
    const notches = Math.trunc(wheelPixels / WHEEL_PIXELS);
    wheelPixels -= notches * WHEEL_PIXELS;
    // Away from the user (up) is a positive notch: the cloud comes nearer.
    if (notches !== 0) module._qv_wheel(-notches);
  }

  // Touch: one finger moves as the mouse does, two pinch as the wheel turns
  // (apart: nearer), one notch for every PINCH_PIXELS of their distance.
  const PINCH_PIXELS = 40;
  const touches = new Map();
  let pinchDistance = null;
  function fingerDistance() {
    const [a, b] = [...touches.values()];
    return Math.hypot(a.x - b.x, a.y - b.y);
  }

  function onPointerMove(event) {
    if (!running) return;
    if (event.pointerType !== 'touch') {
      module._qv_mouse(...canvasPoint(event));
      return;
    }
    if (!touches.has(event.pointerId)) return;
    touches.set(event.pointerId, { x: event.clientX, y: event.clientY });
    if (touches.size === 1) {
      module._qv_mouse(...canvasPoint(event));
    } else if (touches.size === 2 && pinchDistance !== null) {
      const notches = Math.trunc((fingerDistance() - pinchDistance) / PINCH_PIXELS);
      if (notches !== 0) {
        module._qv_wheel(notches);
        pinchDistance += notches * PINCH_PIXELS;
      }
    }
  }

  function onPointerButton(event, down) {
    if (!running) return;
    if (event.pointerType === 'touch') {
      if (down) {
        touches.set(event.pointerId, { x: event.clientX, y: event.clientY });
      } else {
        touches.delete(event.pointerId);
      }
      pinchDistance = touches.size === 2 ? fingerDistance() : null;
      return;
    }
    if (event.button >= 0 && event.button <= 2) module._qv_button(event.button, down ? 1 : 0);
  }

  function listen() {
    addEventListener('keydown', (e) => onKey(e, true));
    addEventListener('keyup', (e) => onKey(e, false));
    canvas.addEventListener('wheel', onWheel, { passive: true });
    canvas.addEventListener('pointermove', onPointerMove);
    canvas.addEventListener('pointerdown', (e) => onPointerButton(e, true));
    canvas.addEventListener('pointerup', (e) => onPointerButton(e, false));
    canvas.addEventListener('pointercancel', (e) => onPointerButton(e, false));
    canvas.addEventListener('contextmenu', (e) => e.preventDefault());
    panel.addEventListener('change', () => restart(panelQuery()));
    panel.addEventListener('submit', (e) => e.preventDefault());
    const fullScreen = document.getElementById('full-screen');
    fullScreen.hidden = !document.fullscreenEnabled;
    fullScreen.addEventListener('click', () => {
      if (document.fullscreenElement) {
        document.exitFullscreen();
      } else {
        document.documentElement.requestFullscreen().catch(() => {});
      }
    });
  }

  // --- Loading.

  function load() {
    if (typeof WebAssembly !== 'object') {
      showFault('Quorvalent', 'Quorvalent runs in WebAssembly, which this browser does not run here.');
      return;
    }
    const script = document.createElement('script');
    script.src = 'quorvalent.js';
    script.onerror = () => showFault('Quorvalent', 'quorvalent.js could not be loaded.');
    script.onload = () => {
      createQuorvalent({
        print: (line) => quietLines.push(line),
        printErr: (line) => quietLines.push(line),
        onAbort: (what) => showFault('Quorvalent', [String(what), ...quietLines].join('\n')),
        qvPresent: present,
        qvRuntimeError: (text) => showFault(RUNTIME_ERROR_CAPTION, text),
      }).then((instance) => {
        module = instance;
        buildPanel();
        takeSettings(location.search);
        listen();
        watchCanvasSize();
      }, (reason) => showFault('Quorvalent', String(reason)));
    };
    document.body.appendChild(script);
  }

  load();
})();
