#!/usr/bin/env node
// Plays vimra's web build in headless Chromium: serves the site on
// localhost, drives the system's chromium over the DevTools protocol (a pipe,
// no other software), and checks that the menu appears, that the settings
// survive a reload and that a damaged stored settings file starts the game
// with its defaults, that one whole trick follows one card to its reveal,
// that Escape ends the game as on the desktop and the page says so, that
// the page works upright at phone size with touch, that on a screen of
// density 3 the canvas has every device pixel and the controls the size a
// density-1 page gives them, that turning the phone or changing the density
// lays the game out again at once with taps still landing, and that a
// browser without WebGL and a missing pack each get one clear message. The
// page's console must show no error. Screenshots go to OUT_DIR.
//
// The page reaches the game through the build's query functions
// (Module._vimraWeb*, apps/vimra/mainEmscripten.cpp): the trick's state, which
// card is in which slot, where a control or a row is on the canvas. Every
// input is a real pointer or touch event dispatched by the browser.
//
// usage: vimraWebTest.js SITE_DIR OUT_DIR [--figures]
//   --figures  also measures frames per second in each scene and prints them
'use strict';

const {spawn} = require('child_process');
const fs = require('fs');
const http = require('http');
const os = require('os');
const path = require('path');
const zlib = require('zlib');

const CHROMIUM = process.env.KX_CHROMIUM || '/usr/bin/chromium';
const WIDTH = 1280;
const HEIGHT = 720;

// Game states (apps/vimra/vimraGameIds.h) and control ids.
const StateRing = 0, StateAwaitRow = 1, StateGather = 2, StateToReveal = 4, StateReveal = 5,
      StateMenu = 8;
const idStart = 100, idQuit = 101, idAbout = 102, idOK = 104, idHowToPlay = 105, idSettings = 106,
      idLanguage = 107;
const kClearColour = [0, 0, 51];  // what the scene clears to: seen only where it draws nothing
const kChosenSlot = 10;    // the slot whose card the reveal shows
const kFirstFollowed = 17; // the middle card of the top row

const siteArg = process.argv[2];
const outArg = process.argv[3];
const wantFigures = process.argv.includes('--figures');
if (!siteArg || !outArg) {
  console.error('usage: vimraWebTest.js SITE_DIR OUT_DIR [--figures]');
  process.exit(2);
}
const SITE = path.resolve(siteArg);
const OUT = path.resolve(outArg);
fs.mkdirSync(OUT, {recursive: true});

let failures = 0;
function fail(text) {
  console.log('web: FAIL: ' + text);
  failures++;
}
function note(text) {
  console.log('web: ' + text);
}
function check(ok, text) {
  if (!ok) fail(text);
  return ok;
}
const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

// --- the screenshots' pixels: PNG, 8 bits, RGB or RGBA, not interlaced ----
function decodePng(bytes) {
  let at = 8;
  let width = 0, height = 0, channels = 0;
  const data = [];
  while (at + 8 <= bytes.length) {
    const length = bytes.readUInt32BE(at);
    const type = bytes.toString('latin1', at + 4, at + 8);
    const body = bytes.subarray(at + 8, at + 8 + length);
    if (type === 'IHDR') {
      width = body.readUInt32BE(0);
      height = body.readUInt32BE(4);
      const colourType = body[9];
      if (body[8] !== 8 || body[12] !== 0 || (colourType !== 2 && colourType !== 6)) {
        throw new Error('screenshot: a PNG this reader does not know');
      }
      channels = colourType === 6 ? 4 : 3;
    } else if (type === 'IDAT') {
      data.push(body);
    }
    at += 12 + length;
  }
  const raw = zlib.inflateSync(Buffer.concat(data));
  const stride = width * channels;
  const pixels = Buffer.alloc(stride * height);
  for (let y = 0; y < height; y++) {
    const filter = raw[y * (stride + 1)];
    const line = raw.subarray(y * (stride + 1) + 1, (y + 1) * (stride + 1));
    const out = pixels.subarray(y * stride, (y + 1) * stride);
    const above = y > 0 ? pixels.subarray((y - 1) * stride, y * stride) : Buffer.alloc(stride);
    for (let i = 0; i < stride; i++) {
      const a = i >= channels ? out[i - channels] : 0;
      const b = above[i];
      const c = i >= channels ? above[i - channels] : 0;
      let predictor = 0;
      if (filter === 1) predictor = a;
      else if (filter === 2) predictor = b;
      else if (filter === 3) predictor = (a + b) >> 1;
      else if (filter === 4) {
        const p = a + b - c, pa = Math.abs(p - a), pb = Math.abs(p - b), pc = Math.abs(p - c);
        predictor = pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
      }
      out[i] = (line[i] + predictor) & 255;
    }
  }
  return {width, height, channels, pixels};
}

function pixelAt(image, x, y) {
  const i = (Math.round(y) * image.width + Math.round(x)) * image.channels;
  return [image.pixels[i], image.pixels[i + 1], image.pixels[i + 2]];
}

function countColour(image, rgb) {
  let n = 0;
  for (let i = 0; i < image.pixels.length; i += image.channels) {
    if (image.pixels[i] === rgb[0] && image.pixels[i + 1] === rgb[1] &&
        image.pixels[i + 2] === rgb[2]) {
      n++;
    }
  }
  return n;
}

// --- a static server; /nopack/ is the site without its pack ---------------
function startServer(root) {
  const types = {
    '.html': 'text/html; charset=utf-8',
    '.js': 'text/javascript',
    '.wasm': 'application/wasm',
  };
  const server = http.createServer((request, response) => {
    let url = decodeURIComponent(request.url.split('?')[0]);
    let withoutPack = false;
    if (url.startsWith('/nopack/')) {
      withoutPack = true;
      url = url.slice('/nopack'.length);
    }
    if (url.endsWith('/')) url += 'index.html';
    const file = path.join(root, path.normalize(url));
    const refused = !file.startsWith(root + path.sep) ||
        (withoutPack && path.basename(file) === 'vimradata.bin') || !fs.existsSync(file) ||
        !fs.statSync(file).isFile();
    if (refused) {
      response.writeHead(404, {'Content-Type': 'text/plain'});
      response.end('not found');
      return;
    }
    const data = fs.readFileSync(file);
    response.writeHead(200, {
      'Content-Type': types[path.extname(file)] || 'application/octet-stream',
      'Content-Length': data.length,
      'Cache-Control': 'no-store',
    });
    response.end(data);
  });
  return new Promise((resolve) => server.listen(0, '127.0.0.1', () => resolve(server)));
}

// --- the DevTools protocol over chromium's pipe (fd 3 in, fd 4 out) --------
class Browser {
  constructor(userDir, log) {
    const args = [
      '--headless', '--no-sandbox', '--use-angle=swiftshader', '--enable-unsafe-swiftshader',
      '--disable-background-networking', '--disable-component-update', '--no-first-run',
      '--no-default-browser-check', '--user-data-dir=' + userDir, '--remote-debugging-pipe',
      '--window-size=' + WIDTH + ',' + HEIGHT, 'about:blank',
    ];
    this.process = spawn(CHROMIUM, args, {stdio: ['ignore', log, log, 'pipe', 'pipe']});
    this.nextId = 1;
    this.pending = new Map();
    this.listeners = [];
    this.exited = false;
    this.process.on('exit', () => {
      this.exited = true;
      for (const waiter of this.pending.values()) waiter.reject(new Error('chromium exited'));
      this.pending.clear();
    });
    let buffered = Buffer.alloc(0);
    this.process.stdio[4].on('data', (chunk) => {
      buffered = Buffer.concat([buffered, chunk]);
      let end;
      while ((end = buffered.indexOf(0)) >= 0) {
        const message = JSON.parse(buffered.subarray(0, end).toString('utf8'));
        buffered = buffered.subarray(end + 1);
        this.dispatch(message);
      }
    });
  }

  send(method, params = {}, sessionId = undefined) {
    if (this.exited) return Promise.reject(new Error('chromium exited'));
    const id = this.nextId++;
    const message = {id, method, params};
    if (sessionId) message.sessionId = sessionId;
    this.process.stdio[3].write(JSON.stringify(message) + '\0');
    return new Promise((resolve, reject) => this.pending.set(id, {resolve, reject, method}));
  }

  dispatch(message) {
    if (message.id !== undefined) {
      const waiter = this.pending.get(message.id);
      if (!waiter) return;
      this.pending.delete(message.id);
      if (message.error) {
        waiter.reject(new Error(waiter.method + ': ' + message.error.message));
      } else {
        waiter.resolve(message.result);
      }
      return;
    }
    for (const listener of this.listeners) listener(message);
  }

  async close() {
    if (this.exited) return;
    const exited = new Promise((resolve) => this.process.on('exit', resolve));
    try {
      await Promise.race([this.send('Browser.close'), sleep(5000)]);
    } catch (e) {
      // it may be gone already
    }
    if (!this.exited) await Promise.race([exited, sleep(5000)]);
    if (!this.exited) this.process.kill('SIGKILL');
  }
}

class Page {
  static async open(browser, name) {
    const {targetId} = await browser.send('Target.createTarget', {url: 'about:blank'});
    const {sessionId} = await browser.send('Target.attachToTarget', {targetId, flatten: true});
    const page = new Page(browser, sessionId, name);
    await page.send('Page.enable');
    await page.send('Runtime.enable');
    await page.send('Log.enable');
    await page.send('Page.addScriptToEvaluateOnNewDocument', {
      source: 'Object.defineProperty(window, "theCanvas", ' +
          '{get: function() { return document.getElementById("canvas"); }});',
    });
    await page.setSize(WIDTH, HEIGHT, 1, false);
    return page;
  }

  constructor(browser, sessionId, name) {
    this.browser = browser;
    this.sessionId = sessionId;
    this.name = name;
    this.errors = [];
    browser.listeners.push((message) => {
      if (message.sessionId !== sessionId) return;
      const p = message.params;
      if (message.method === 'Runtime.consoleAPICalled') {
        const text = p.args.map((a) => a.value !== undefined ? a.value : a.description).join(' ');
        if (p.type === 'error' || p.type === 'assert') this.errors.push('console: ' + text);
        else if (p.type === 'warning') note(name + ': console warning: ' + text);
      } else if (message.method === 'Runtime.exceptionThrown') {
        const d = p.exceptionDetails;
        this.errors.push('exception: ' + (d.exception ? d.exception.description : d.text));
      } else if (message.method === 'Log.entryAdded' && p.entry.level === 'error') {
        this.errors.push('log: ' + p.entry.text + (p.entry.url ? ' (' + p.entry.url + ')' : ''));
      }
    });
  }

  send(method, params = {}) {
    return this.browser.send(method, params, this.sessionId);
  }

  async setSize(width, height, scale, mobile) {
    await this.send('Emulation.setDeviceMetricsOverride',
                    {width, height, deviceScaleFactor: scale, mobile});
    await this.send('Emulation.setTouchEmulationEnabled', {enabled: mobile, maxTouchPoints: 5});
  }

  async eval(expression) {
    const result = await this.send(
        'Runtime.evaluate', {expression, returnByValue: true, awaitPromise: true});
    if (result.exceptionDetails) {
      const d = result.exceptionDetails;
      throw new Error('evaluating ' + expression + ': ' +
                      (d.exception ? d.exception.description : d.text));
    }
    return result.result.value;
  }

  // Polls a page expression until it is truthy; false after `seconds`, or
  // at once when the page has thrown.
  async waitFor(expression, seconds) {
    const end = Date.now() + seconds * 1000;
    while (Date.now() < end && !this.errors.some((e) => e.startsWith('exception'))) {
      if (await this.eval('(function() { try { return !!(' + expression +
                          '); } catch (e) { return false; } })()')) {
        return true;
      }
      await sleep(100);
    }
    return false;
  }

  async navigate(url) {
    const loaded = new Promise((resolve) => {
      const listener = (message) => {
        if (message.sessionId === this.sessionId && message.method === 'Page.loadEventFired') {
          this.browser.listeners.splice(this.browser.listeners.indexOf(listener), 1);
          resolve();
        }
      };
      this.browser.listeners.push(listener);
    });
    await this.send('Page.navigate', {url});
    await Promise.race([loaded, sleep(30000)]);
  }

  async click(x, y) {
    const at = {x, y, button: 'left', clickCount: 1};
    await this.send('Input.dispatchMouseEvent', {type: 'mouseMoved', x, y});
    await sleep(150);
    await this.send('Input.dispatchMouseEvent', Object.assign({type: 'mousePressed'}, at));
    await sleep(100);
    await this.send('Input.dispatchMouseEvent', Object.assign({type: 'mouseReleased'}, at));
    // Two presses within 200 ms are a double click to the engine.
    await sleep(300);
  }

  async key(key, code) {
    const event = {key, code: key, windowsVirtualKeyCode: code, nativeVirtualKeyCode: code};
    await this.send('Input.dispatchKeyEvent', Object.assign({type: 'keyDown'}, event));
    await sleep(100);
    await this.send('Input.dispatchKeyEvent', Object.assign({type: 'keyUp'}, event));
    await sleep(300);
  }

  async tap(x, y) {
    await this.send('Input.dispatchTouchEvent', {type: 'touchStart', touchPoints: [{x, y}]});
    await sleep(100);
    await this.send('Input.dispatchTouchEvent', {type: 'touchEnd', touchPoints: []});
    await sleep(300);
  }

  // Keeps a screenshot (in device pixels) and returns its pixels.
  async shot(name) {
    const {data} = await this.send('Page.captureScreenshot', {format: 'png'});
    const file = path.join(OUT, name + '.png');
    const bytes = Buffer.from(data, 'base64');
    fs.writeFileSync(file, bytes);
    note('screenshot ' + file);
    return decodePng(bytes);
  }

  // The game's query functions.
  game(call) {
    return this.eval('Module._' + call);
  }
  // Canvas pixels per CSS pixel.
  ratio() {
    return this.eval('theCanvas.width / theCanvas.clientWidth');
  }
  // A control's centre in CSS pixels, or null when it is not shown.
  async control(id) {
    const x = await this.game('vimraWebControlCentre(' + id + ', 0)');
    const y = await this.game('vimraWebControlCentre(' + id + ', 1)');
    if (x < 0 || y < 0) return null;
    const r = await this.ratio();
    return {x: x / r, y: y / r};
  }
  // A control's rectangle in CSS pixels, or null.
  async controlBox(id) {
    const edges = [];
    for (let edge = 0; edge < 4; edge++) {
      edges.push(await this.game('vimraWebControlEdge(' + id + ', ' + edge + ')'));
    }
    if (edges.some((e) => e < 0)) return null;
    const r = await this.ratio();
    return {left: edges[0] / r, top: edges[1] / r, right: edges[2] / r, bottom: edges[3] / r};
  }
  async clickControl(id, what) {
    const at = await this.control(id);
    if (!check(at !== null, what + ' is not on the screen')) return false;
    await this.click(at.x, at.y);
    return true;
  }
  async settings() {
    const bytes = [];
    for (let i = 0; i < 48; i++) bytes.push(await this.game('vimraWebSettingsByte(' + i + ')'));
    return bytes.join(',');
  }
  state() {
    return this.game('vimraWebState()');
  }
  // Navigates to the page and waits for the game's menu; the milliseconds
  // it took, or -1.
  async openGame(url, seconds) {
    const started = Date.now();
    await this.navigate(url);
    if (!await this.waitFor('Module._vimraWebState() === ' + StateMenu + ' || ' +
                            'window.vimraPage.phase === "failed"', seconds)) {
      return -1;
    }
    if (await this.eval('window.vimraPage.phase') === 'failed') {
      fail('the page says: ' + await this.eval('window.vimraPage.message'));
      return -1;
    }
    return Date.now() - started;
  }
  // Game frames per second over `seconds`.
  async fps(seconds) {
    const f0 = await this.game('vimraWebFrames()');
    const t0 = Date.now();
    await sleep(seconds * 1000);
    const f1 = await this.game('vimraWebFrames()');
    return (f1 - f0) * 1000 / (Date.now() - t0);
  }
}

// --- the checks ---------------------------------------------------------------
async function settingsSurviveReload(page, url, figures) {
  const defaults = await page.settings();
  check(await page.clickControl(idSettings, 'the Settings button'), 'Settings');
  check(await page.waitFor('Module._vimraWebControlCentre(' + idLanguage + ', 0) >= 0', 30),
        'the Settings box did not open');
  await page.shot('02-settings');
  const stored = await page.eval('Module.settingsStored');
  await page.clickControl(idLanguage, 'the language switch');
  check(await page.waitFor('Module.settingsStored > ' + stored, 30),
        'the changed language was not stored');
  const changed = await page.settings();
  check(changed !== defaults, 'the language switch changed no setting');
  await page.clickControl(idOK, 'the OK button');
  await page.waitFor('Module._vimraWebControlCentre(' + idSettings + ', 0) >= 0', 30);
  await page.shot('03-menu-changed');

  const ms = await page.openGame(url, 180);
  if (!check(ms >= 0, 'the menu did not come back after a reload')) return defaults;
  figures.reloadToMenuMs = ms;
  check(await page.settings() === changed, 'the changed settings did not survive the reload');
  await page.shot('04-menu-after-reload');

  // A damaged stored file (one byte short) is no settings file: the game
  // starts with its defaults, as the desktop program does.
  await page.eval('(function() {' +
                  '  Module.FS.writeFile("/persist/vimraconfig.bin", new Uint8Array(47).fill(171));' +
                  '  return new Promise(function(done) { Module.FS.syncfs(false, done); });' +
                  '})()');
  check(await page.openGame(url, 180) >= 0, 'no menu with a damaged stored settings file');
  check(await page.settings() === defaults,
        'a damaged stored settings file did not start the game with its defaults');
  return defaults;
}

async function playOneTrick(page, figures) {
  const width = await page.eval('theCanvas.clientWidth');
  const height = await page.eval('theCanvas.clientHeight');
  const audioBefore = await page.eval('Module.SDL2 && Module.SDL2.audioContext ? ' +
                                      'Module.SDL2.audioContext.state : "none"');
  check(await page.clickControl(idStart, 'the Start button'), 'Start');
  if (!check(await page.waitFor('Module._vimraWebState() === ' + StateRing, 30),
             'Start did not leave the menu')) {
    return;
  }
  const audioAfter = await page.eval('Module.SDL2 && Module.SDL2.audioContext ? ' +
                                     'Module.SDL2.audioContext.state : "none"');
  note('audio: ' + audioBefore + ' before the first click, ' + audioAfter + ' after it');
  check(audioAfter === 'running', 'the first click did not start the sound');
  await sleep(1000);
  await page.shot('05-ring');
  if (wantFigures) figures.fps.ring = await page.fps(5);

  await page.click(width / 2, height / 2);  // the trick begins with a gather
  if (!check(await page.waitFor('Module._vimraWebState() === ' + StateGather, 30),
             'the click on the ring did not start the trick')) {
    return;
  }
  if (wantFigures) figures.fps.gather = await page.fps(2);
  if (!check(await page.waitFor('Module._vimraWebState() === ' + StateAwaitRow, 240),
             'the cards were not laid out')) {
    return;
  }
  await sleep(500);
  await page.shot('06-table');
  if (wantFigures) figures.fps.table = await page.fps(5);

  const card = await page.game('vimraWebCardInSlot(' + kFirstFollowed + ')');
  check(card !== 0, 'no card in the top row');
  for (let answer = 1; answer <= 3; answer++) {
    const row = await page.game('vimraWebRowOfCard(' + card + ')');
    if (!check(row >= 1 && row <= 3, 'answer ' + answer + ': the card is on no row')) return;
    const y = await page.game('vimraWebRowClickY(' + row + ')') / await page.ratio();
    note('answer ' + answer + ': the card is on row ' + row);
    await page.click(width / 2, y);
    if (!check(await page.waitFor('Module._vimraWebState() !== ' + StateAwaitRow, 30),
               'answer ' + answer + ' was not taken')) {
      return;
    }
    if (answer === 1) {
      await sleep(1500);
      await page.shot('07-gather');
    }
    if (answer < 3) {
      if (!check(await page.waitFor('Module._vimraWebState() === ' + StateAwaitRow, 240),
                 'no table after answer ' + answer)) {
        return;
      }
      await sleep(500);
      await page.shot('08-table-' + answer);
    }
  }
  check(await page.waitFor('Module._vimraWebState() === ' + StateToReveal + ' || ' +
                           'Module._vimraWebState() === ' + StateReveal, 60),
        'the third answer did not lead to the reveal');
  if (!check(await page.waitFor('Module._vimraWebState() === ' + StateReveal, 240),
             'the reveal did not come')) {
    return;
  }
  if (wantFigures) figures.fps.reveal = await page.fps(3);
  check(await page.game('vimraWebCardInSlot(' + kChosenSlot + ')') === card,
        'the followed card is not the one dealt to the reveal\'s slot');
  check(await page.waitFor('Module._vimraWebLargestCard() === ' + card, 60),
        'the reveal does not show the followed card');
  await sleep(4000);  // the card grows for a while
  await page.shot('09-reveal');
  await page.click(width / 2, height / 2);  // back to the ring
  check(await page.waitFor('Module._vimraWebState() === ' + StateRing, 240),
        'the trick did not end on the ring');

  // Escape leads back to the menu, and from there ends the game; the page
  // says so.
  for (let i = 0; i < 6 && await page.eval('window.vimraPage.phase') !== 'ended'; i++) {
    await page.key('Escape', 27);
    await page.waitFor('window.vimraPage.phase === "ended"', 20);
  }
  check(await page.eval('window.vimraPage.phase') === 'ended', 'Escape did not end the game');
  await page.shot('10-ended');
}

async function phoneUpright(page, url) {
  await page.setSize(390, 844, 2, true);
  if (!check(await page.openGame(url, 180) >= 0, 'phone: no menu')) return;
  const fills = await page.eval('theCanvas.clientWidth === innerWidth && ' +
                                'theCanvas.clientHeight === innerHeight');
  check(fills, 'phone: the canvas does not fill the page');
  note('phone: canvas ' + await page.eval('theCanvas.width + "x" + theCanvas.height') + ' for a page of ' +
       await page.eval('innerWidth + "x" + innerHeight + " at " + devicePixelRatio'));
  await page.shot('11-phone-menu');
  const start = await page.control(idStart);
  if (!check(start !== null, 'phone: no Start button')) return;
  await page.tap(start.x, start.y);
  check(await page.waitFor('Module._vimraWebState() === ' + StateRing, 30),
        'phone: a tap on Start did not leave the menu');
  await sleep(1000);
  await page.tap(195, 422);
  check(await page.waitFor('Module._vimraWebState() === ' + StateGather, 30),
        'phone: a tap on the ring did not start the trick');
  await sleep(1000);
  await page.shot('12-phone-gather');
  await page.setSize(WIDTH, HEIGHT, 1, false);
}

// The page at cssWidth x cssHeight CSS pixels and `density` device pixels
// each: the canvas's drawing buffer has every device pixel, the game has
// that size, and the GUI is laid out in the logical size a density-1 page of
// that CSS size gets (scale `plainScale` there), drawn `density` times finer.
// Waits for the game to follow a change first.
async function expectLayout(page, what, cssWidth, cssHeight, density, plainScale) {
  const w = Math.floor(cssWidth * density), h = Math.floor(cssHeight * density);
  const followed = await page.waitFor(
      'theCanvas.width === ' + w + ' && theCanvas.height === ' + h + ' && ' +
          'Module._vimraWebWindowExtent(0) === ' + w + ' && ' +
          'Module._vimraWebWindowExtent(1) === ' + h + ' && ' +
          'Math.abs(Module._vimraWebGUIScale() - ' + plainScale * density + ') < 1e-4',
      20);
  const seen = await page.eval(
      '[theCanvas.width, theCanvas.height, theCanvas.clientWidth, theCanvas.clientHeight, ' +
      'Module._vimraWebWindowExtent(0), Module._vimraWebWindowExtent(1), ' +
      'Module._vimraWebGUIScale(), Module._vimraWebGUIExtent(0), Module._vimraWebGUIExtent(1)]');
  note(what + ': canvas ' + seen[0] + 'x' + seen[1] + ' for ' + seen[2] + 'x' + seen[3] +
       ' CSS pixels, game ' + seen[4] + 'x' + seen[5] + ', GUI scale ' + seen[6].toFixed(3) +
       ' over ' + seen[7] + 'x' + seen[8]);
  if (!check(followed, what + ': the canvas and the game did not become ' + w + 'x' + h +
                           ' at GUI scale ' + plainScale * density)) {
    return false;
  }
  check(seen[2] === cssWidth && seen[3] === cssHeight, what + ': the canvas does not fill the page');
  check(Math.abs(seen[7] - cssWidth / plainScale) <= 1 &&
            Math.abs(seen[8] - cssHeight / plainScale) <= 1,
        what + ': the GUI is not laid out in the CSS size over ' + plainScale);
  return true;
}

// Every menu button inside the page, and the scene drawn over all of it.
async function expectMenuFits(page, what, image) {
  const width = await page.eval('innerWidth'), height = await page.eval('innerHeight');
  for (const id of [idStart, idQuit, idAbout, idHowToPlay, idSettings]) {
    const box = await page.controlBox(id);
    if (!check(box !== null, what + ': menu button ' + id + ' is not shown')) continue;
    check(box.left >= 0 && box.top >= 0 && box.right <= width && box.bottom <= height,
          what + ': menu button ' + id + ' runs off the page: ' + JSON.stringify(box));
  }
  const clear = countColour(image, kClearColour);
  check(clear === 0, what + ': ' + clear + ' pixels of the clear colour show');
}

// Green like the Start button's face, not like anything behind it.
function looksGreen(rgb) {
  return rgb[1] > rgb[0] + 30 && rgb[1] > rgb[2] + 30;
}

// A phone at density 3 (390 x 844 CSS pixels, upright, touch): every device
// pixel drawn and the controls as large as on a density-1 phone; a tap on
// the Start button where it is drawn starts; turning the phone to landscape
// and back, and a change of density alone, lay the game out again at once,
// with taps still landing on what they touch.
async function denseScreenAndTurns(page, url) {
  await page.setSize(390, 844, 3, true);
  if (!check(await page.openGame(url, 180) >= 0, 'density 3: no menu')) return;
  if (!await expectLayout(page, 'density 3 upright', 390, 844, 3, 1)) return;
  await sleep(500);
  let image = await page.shot('15-dense-upright-menu');
  check(image.width === 1170 && image.height === 2532,
        'density 3: the screenshot is ' + image.width + 'x' + image.height);
  await expectMenuFits(page, 'density 3 upright', image);
  const start = await page.control(idStart);
  const startBox = await page.controlBox(idStart);
  if (!check(start !== null && startBox !== null, 'density 3: no Start button')) return;
  // The button the game hit-tests there is the one drawn there: its face
  // is green left and right of its label.
  for (const x of [startBox.left + 0.08 * (startBox.right - startBox.left),
                   startBox.right - 0.08 * (startBox.right - startBox.left)]) {
    const rgb = pixelAt(image, x * 3, start.y * 3);
    check(looksGreen(rgb), 'density 3: the Start button is not drawn where the game answers ' +
                               'it: ' + rgb + ' at ' + x.toFixed(1) + ', ' + start.y.toFixed(1));
  }

  // Turned to landscape on the menu: laid out anew, and a tap on Settings
  // opens its box, whose OK closes it.
  await page.setSize(844, 390, 3, true);
  if (!await expectLayout(page, 'density 3 landscape', 844, 390, 3, 1)) return;
  await sleep(300);
  image = await page.shot('16-dense-landscape-menu');
  await expectMenuFits(page, 'density 3 landscape', image);
  const settings = await page.control(idSettings);
  if (!check(settings !== null, 'density 3 landscape: no Settings button')) return;
  await page.tap(settings.x, settings.y);
  if (!check(await page.waitFor('Module._vimraWebControlCentre(' + idLanguage + ', 0) >= 0', 30),
             'density 3 landscape: a tap on Settings did not open its box')) {
    return;
  }
  await page.shot('17-dense-landscape-settings');
  const ok = await page.control(idOK);
  if (!check(ok !== null, 'density 3 landscape: the box has no OK')) return;
  await page.tap(ok.x, ok.y);
  check(await page.waitFor('Module._vimraWebControlCentre(' + idLanguage + ', 0) < 0 && ' +
                           'Module._vimraWebControlCentre(' + idSettings + ', 0) >= 0', 30),
        'density 3 landscape: OK did not close the box');

  // Start, then upright again during the ring; then density 2 alone, as
  // when the window moves to another screen: a tap still starts the trick.
  const startAgain = await page.control(idStart);
  if (!check(startAgain !== null, 'density 3 landscape: no Start button')) return;
  await page.tap(startAgain.x, startAgain.y);
  if (!check(await page.waitFor('Module._vimraWebState() === ' + StateRing, 30),
             'density 3 landscape: a tap on Start did not leave the menu')) {
    return;
  }
  await page.setSize(390, 844, 3, true);
  if (!await expectLayout(page, 'density 3 upright again', 390, 844, 3, 1)) return;
  await sleep(300);
  image = await page.shot('18-dense-upright-ring');
  const clear = countColour(image, kClearColour);
  check(clear === 0, 'density 3 upright ring: ' + clear + ' pixels of the clear colour show');
  await page.setSize(390, 844, 2, true);
  if (!await expectLayout(page, 'density 2 alone', 390, 844, 2, 1)) return;
  await page.tap(195, 422);
  check(await page.waitFor('Module._vimraWebState() === ' + StateGather, 30),
        'density 2: a tap on the ring did not start the trick');
  await page.setSize(WIDTH, HEIGHT, 1, false);
}

async function clearMessages(browser, base) {
  const noWebGL = await Page.open(browser, 'no-webgl');
  await noWebGL.send('Page.addScriptToEvaluateOnNewDocument', {
    source: 'HTMLCanvasElement.prototype.getContext = function() { return null; };',
  });
  await noWebGL.navigate(base + '/');
  check(await noWebGL.waitFor('window.vimraPage.phase === "failed"', 30),
        'without WebGL the page shows no message');
  const text = await noWebGL.eval('window.vimraPage.message');
  check(/WebGL/.test(text), 'without WebGL the message does not say so: ' + text);
  check(await noWebGL.eval('getComputedStyle(document.getElementById("message")).display') ===
            'block',
        'without WebGL the message is not shown');
  await noWebGL.shot('13-no-webgl');
  check(noWebGL.errors.length === 0, 'without WebGL: ' + noWebGL.errors.join('; '));

  const noPack = await Page.open(browser, 'no-pack');
  await noPack.navigate(base + '/nopack/');
  check(await noPack.waitFor('window.vimraPage.phase === "failed"', 60),
        'without the pack the page shows no message');
  const packText = await noPack.eval('window.vimraPage.message');
  check(/vimradata\.bin/.test(packText), 'without the pack the message does not name it: ' +
        packText);
  await noPack.shot('14-no-pack');
  // The failed request itself is on this page's console, as it should be.
}

async function main() {
  for (const file of ['index.html', 'vimraPage.js', 'vimra.js', 'vimra.wasm', 'vimradata.bin']) {
    if (!fs.existsSync(path.join(SITE, file))) {
      // Skipped (77): the browser build is made separately.
      console.error('web: ' + SITE + ' holds no ' + file + '; dist/web/build.sh makes the site');
      process.exit(77);
    }
  }
  const server = await startServer(SITE);
  const base = 'http://127.0.0.1:' + server.address().port;
  const url = base + '/';
  const userDir = fs.mkdtempSync(path.join(os.tmpdir(), 'vimra-web-'));
  const log = fs.openSync(path.join(OUT, 'chromium.log'), 'w');
  const browser = new Browser(userDir, log);
  const figures = {fps: {}};
  let page = null;
  const watchdog = setTimeout(() => {
    fail('the test took longer than 12 minutes');
    browser.process.kill('SIGKILL');
    process.exit(1);
  }, 12 * 60 * 1000);
  try {
    page = await Page.open(browser, 'game');
    const ms = await page.openGame(url, 240);
    if (check(ms >= 0, 'the menu did not appear')) {
      figures.navigationToMenuMs = ms;
      note('navigation to the menu took ' + ms + ' ms');
      await sleep(500);
      await page.shot('01-menu');
      if (wantFigures) figures.fps.menu = await page.fps(5);
      await settingsSurviveReload(page, url, figures);
      await playOneTrick(page, figures);
      await phoneUpright(page, url);
      await denseScreenAndTurns(page, url);
    }
    await clearMessages(browser, base);
  } catch (error) {
    fail(error.stack || String(error));
  } finally {
    clearTimeout(watchdog);
    if (page) {
      for (const error of page.errors) fail('console of the game\'s page: ' + error);
    }
    await browser.close();
    server.close();
    // The browser's last writes may still be landing in its profile.
    fs.rmSync(userDir, {recursive: true, force: true, maxRetries: 10, retryDelay: 200});
  }
  for (const scene of Object.keys(figures.fps)) {
    note('figure: ' + scene + ' ' + figures.fps[scene].toFixed(1) + ' frames per second');
  }
  fs.writeFileSync(path.join(OUT, 'figures.json'), JSON.stringify(figures, null, 2) + '\n');
  if (failures > 0) {
    console.log('web: ' + failures + ' check(s) failed');
    process.exit(1);
  }
  note('all checks passed');
}

main();
