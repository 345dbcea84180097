#!/usr/bin/env node
"use strict";
// reference-traces: what the reference player prints with trace() for each movie.
//
//   node scripts/reference-traces.js [--frames N] [--reference DIR] MOVIE.swf[=INPUT.json]...
//
// Runs every movie for N frames (default 10) on the reference player's virtual clock, in one
// browser, and prints one JSON line a movie: {"swf", "ok", "error", "trace": [lines]}.
// A movie given as MOVIE.swf=INPUT.json also gets a person's input, in the format of
// `cardtool trace --input`: each frame the movie first advances, then the events up to the
// next Wait arrive through the page, as a mouse and a keyboard would send them.
// The reference player lives beside the project (DIR defaults to ../shared/ruffle-reference
// from the project root), never in it; its node packages come from NODE_PATH or its cache.
const path = require("path");
const fs = require("fs");
const os = require("os");

const TRACE_SOURCE = "log_adapter.rs";
const STYLE_TAIL = " color: whitesmoke; background: #444 color: gray; font-style: italic color: inherit";

function parseArgs(argv) {
  const a = { frames: 10, reference: path.resolve(__dirname, "../../shared/ruffle-reference"), movies: [] };
  for (let i = 0; i < argv.length; i++) {
    if (argv[i] === "--frames") a.frames = Math.max(1, Number(argv[++i]) | 0);
    else if (argv[i] === "--reference") a.reference = path.resolve(argv[++i]);
    else {
      const eq = argv[i].lastIndexOf("=");
      const isPair = eq > 0 && argv[i].toLowerCase().endsWith(".json");
      a.movies.push(isPair ? { swf: argv[i].slice(0, eq), input: argv[i].slice(eq + 1) } : { swf: argv[i], input: null });
    }
  }
  return a;
}

// The reference player logs each trace line as a styled console message from its log adapter.
function traceLine(consoleText) {
  const marker = consoleText.indexOf(TRACE_SOURCE);
  if (marker < 0) return null;
  const start = consoleText.indexOf("%c ", marker);
  if (start < 0) return null;
  let text = consoleText.slice(start + 3);
  if (text === STYLE_TAIL.slice(1)) return "";
  if (text.endsWith(STYLE_TAIL)) text = text.slice(0, -STYLE_TAIL.length);
  return text;
}

// Named keys of the input format to the browser's key names (KeyboardEvent.code where the
// name of the key differs).
const KEY_NAMES = {
  LeftShift: "ShiftLeft", RightShift: "ShiftRight", LeftControl: "ControlLeft", RightControl: "ControlRight",
  LeftAlt: "AltLeft", RightAlt: "AltRight", Space: "Space", Return: "Enter",
};

// Characters of the main keyboard the browser's layout would type on the keypad.
const MAIN_KEYS = { "-": "Minus", "/": "Slash" };

// The keypad's keys by the character they type, as the browser names them.
const NUMPAD_KEYS = {
  "/": "NumpadDivide", "*": "NumpadMultiply", "-": "NumpadSubtract", "+": "NumpadAdd",
  ".": "NumpadDecimal",
};

// A keypad key that types a character, as with NumLock on: the browser's own keyboard knows
// the keypad only with NumLock off (its digits move the caret), so the key goes in through
// the protocol with the character it types and the key code it has.
async function numpadKey(page, e) {
  const c = e.key && typeof e.key.Numpad === "string" ? e.key.Numpad : null;
  if (c === null || !/^[0-9*+\-./]$/.test(c)) return false;
  const code = NUMPAD_KEYS[c] || "Numpad" + c;
  const keyCode = /[0-9]/.test(c) ? 96 + Number(c) : { "*": 106, "+": 107, "-": 109, ".": 110, "/": 111 }[c];
  const down = e.type === "KeyDown";
  await cdpOf(page).send("Input.dispatchKeyEvent", {
    type: down ? "keyDown" : "keyUp", key: c, code, windowsVirtualKeyCode: keyCode,
    nativeVirtualKeyCode: keyCode, location: 3, ...(down ? { text: c, unmodifiedText: c } : {}),
  });
  return true;
}

function browserKey(key) {
  if (typeof key === "string") return KEY_NAMES[key] || key;
  if (key && typeof key.Char === "string") return MAIN_KEYS[key.Char] || key.Char;
  if (key && typeof key.Numpad === "string") return NUMPAD_KEYS[key.Numpad] || "Numpad" + key.Numpad;
  return null;
}

// Editing commands of the input format as the keys that give them.
const TEXT_CONTROL_KEYS = {
  Backspace: ["Backspace"], Delete: ["Delete"], Enter: ["Enter"], SelectAll: ["Control", "a"],
  MoveLeft: ["ArrowLeft"], MoveRight: ["ArrowRight"], SelectLeft: ["Shift", "ArrowLeft"],
  SelectRight: ["Shift", "ArrowRight"], MoveLeftLine: ["Home"], MoveRightLine: ["End"],
  SelectLeftLine: ["Shift", "Home"], SelectRightLine: ["Shift", "End"],
  MoveLeftDocument: ["Control", "Home"], MoveRightDocument: ["Control", "End"],
  SelectLeftDocument: ["Control", "Shift", "Home"], SelectRightDocument: ["Control", "Shift", "End"],
};

// The input file split into frames: each frame's events end at a Wait; events after the
// last Wait come in the frame after it.
function inputFrames(file) {
  const events = JSON.parse(fs.readFileSync(file, "utf8"));
  if (!Array.isArray(events)) throw new Error("input: not a JSON array of events");
  const frames = [];
  let pending = [];
  for (const e of events) {
    if (e && e.type === "Wait") {
      frames.push(pending);
      pending = [];
    } else if (e && typeof e === "object") pending.push(e);
  }
  if (pending.length) frames.push(pending);
  return frames;
}

const HELD = new Set();
const MOUSE = { buttons: 0 };
const BUTTON_BITS = { left: 1, right: 2, middle: 4 };
const SESSIONS = new WeakMap();
function cdpOf(page) {
  if (!SESSIONS.has(page)) SESSIONS.set(page, page.createCDPSession());
  return { send: async (m, p) => (await SESSIONS.get(page)).send(m, p) };
}
const BUTTONS = { Left: "left", Middle: "middle", Right: "right" };

// Wheel turns go to the element under the pointer as DOM wheel events in lines or pixels,
// which the player reads as they are; the browser's own wheel input knows only pixels.
async function wheel(page, at, e) {
  const lines = typeof e.lines === "number";
  const delta = -(lines ? e.lines : Number(e.pixels) || 0);
  await page.evaluate((x, y, dy, mode) => {
    let target = document.elementFromPoint(x, y);
    while (target && target.shadowRoot) {
      const inner = target.shadowRoot.elementFromPoint(x, y);
      if (!inner || inner === target) break;
      target = inner;
    }
    if (!target) return;
    target.dispatchEvent(new WheelEvent("wheel", { clientX: x, clientY: y, deltaY: dy, deltaMode: mode,
      bubbles: true, cancelable: true, composed: true }));
  }, at[0], at[1], delta, lines ? 1 : 0);
}

// The browser holds pointer moves back until it next draws the page, which the virtual clock
// never asks for: the page is nudged to draw until the event has reached it, so that events
// keep their order and their frame.
async function pointerArrived(page, seen) {
  for (let i = 0; i < 50; i++) {
    const arrived = await page.evaluate((n) => {
      if (!window.__pointerCounting) {
        window.__pointerCounting = true;
        window.__pointerEvents = window.__pointerEvents || 0;
        for (const t of ["pointermove", "pointerdown", "pointerup"]) {
          window.addEventListener(t, () => { window.__pointerEvents++; }, true);
        }
      }
      if (window.__pointerEvents > n) return true;
      document.body.style.outlineWidth = document.body.style.outlineWidth === "0px" ? "1px" : "0px";
      return false;
    }, seen);
    if (arrived) return;
    await new Promise((r) => setTimeout(r, i < 5 ? 2 : 20));
  }
}

// Delivers one frame's events through the page: stage pixels are page pixels, since the
// player fills a viewport of the stage's size at scale 1.
async function deliver(page, events, at) {
  for (const e of events) {
    const pos = Array.isArray(e.pos) ? [Number(e.pos[0]) || 0, Number(e.pos[1]) || 0] : null;
    switch (e.type) {
      case "MouseMove":
      case "MouseDown":
      case "MouseUp": {
        if (!pos) break;
        // A press or a release carries its own position, as the format has it. The browser
        // still moves the pointer there first when it was elsewhere, so tables that compare
        // orders move before they press.
        const button = BUTTONS[e.btn] || "left";
        const type = e.type === "MouseMove" ? "mouseMoved" : e.type === "MouseDown" ? "mousePressed" : "mouseReleased";
        if (e.type === "MouseDown") MOUSE.buttons |= BUTTON_BITS[button];
        if (e.type === "MouseUp") MOUSE.buttons &= ~BUTTON_BITS[button];
        const seen = await page.evaluate(() => window.__pointerEvents || 0);
        await cdpOf(page).send("Input.dispatchMouseEvent", {
          type, x: pos[0], y: pos[1], button: e.type === "MouseMove" ? "none" : button,
          buttons: MOUSE.buttons, clickCount: e.type === "MouseMove" ? 0 : 1,
        });
        await pointerArrived(page, seen);
        at[0] = pos[0];
        at[1] = pos[1];
        break;
      }
      case "MouseWheel":
        await wheel(page, at, e);
        break;
      case "KeyDown":
      case "KeyUp": {
        if (await numpadKey(page, e)) break;
        const key = browserKey(e.key);
        if (!key) break;
        try {
          if (e.type === "KeyDown") { await page.keyboard.down(key); HELD.add(key); }
          else { await page.keyboard.up(key); HELD.delete(key); }
        } catch (err) {
          // A character no key of the layout types: it still types itself.
          if (e.type === "KeyDown" && [...key].length === 1) await page.keyboard.sendCharacter(key);
        }
        break;
      }
      case "TextInput":
        if (typeof e.codepoint === "string") await page.keyboard.sendCharacter(e.codepoint);
        break;
      case "TextControl": {
        const keys = TEXT_CONTROL_KEYS[e.code];
        if (!keys) break;
        for (const k of keys) await page.keyboard.down(k);
        for (const k of [...keys].reverse()) await page.keyboard.up(k);
        break;
      }
      default:
        break;
    }
  }
}

// Lets the keyboard reach the player without a click, which would be input of its own.
async function focusPlayer(page) {
  await page.evaluate(() => {
    const el = window.__player;
    if (!el) return;
    el.focus();
    const inner = el.shadowRoot && el.shadowRoot.querySelector("#container, [tabindex]");
    if (inner && inner.focus) inner.focus();
  });
}

// Runs `frames` frames as stepFrames does, with each frame's input delivered after it.
async function stepFramesWithInput(page, frames, frameRate, input) {
  const ft = 1000 / frameRate;
  for (let i = 0; i < 3; i++) {
    await page.evaluate(() => window.__vclock.advance(0));
    await H_yield(page);
  }
  await focusPlayer(page);
  const at = [-1, -1];
  for (let k = 0; k < frames; k++) {
    await page.evaluate((ms) => window.__vclock.advance(ms), k === 0 ? ft + 0.5 : ft);
    await H_yield(page);
    if (k < input.length && input[k].length) {
      await deliver(page, input[k], at);
      await H_yield(page);
      // A tick without time: anything the player queued from the events is handled now.
      await page.evaluate(() => window.__vclock.advance(0));
      await H_yield(page);
    }
  }
}

// Keys and buttons still held at the end of a movie are let go, so that the next movie in
// the same page starts with none held. The player goes first: letting go is no input of its.
async function releaseAll(page) {
  await page.evaluate(() => { if (window.__player) window.__player.remove(); });
  for (const b of ["left", "middle", "right"]) {
    if (!(MOUSE.buttons & BUTTON_BITS[b])) continue;
    MOUSE.buttons &= ~BUTTON_BITS[b];
    await cdpOf(page).send("Input.dispatchMouseEvent", { type: "mouseReleased", x: 0, y: 0, button: b, buttons: MOUSE.buttons, clickCount: 1 });
  }
  for (const k of [...HELD]) {
    try { await page.keyboard.up(k); } catch (e) { /* not held */ }
  }
  HELD.clear();
}

async function H_yield(page) {
  await page.evaluate(() => new Promise((r) => setTimeout(r, 0)));
}

// Files a movie loads by a relative address (its own file, a clip beside it) are served from
// the movie's folder; the page's own files still come from the harness.
let movieFolder = null;
async function serveBeside(page, port) {
  const origin = "http://127.0.0.1:" + port + "/";
  const own = new Set(["", "index.html", "movie.swf"]);
  await page.setRequestInterception(true);
  page.on("request", (req) => {
    const url = req.url();
    if (!url.startsWith(origin) || !movieFolder) return req.continue();
    const rel = decodeURIComponent(url.slice(origin.length).split(/[?#]/)[0]);
    if (own.has(rel) || rel.startsWith("ruffle/")) return req.continue();
    const file = path.normalize(path.join(movieFolder, rel));
    if (!file.startsWith(movieFolder + path.sep) || !fs.existsSync(file) || !fs.statSync(file).isFile()) {
      return req.respond({ status: 404, contentType: "text/plain", body: "not found" });
    }
    return req.respond({ status: 200, contentType: "application/octet-stream", body: fs.readFileSync(file) });
  });
}

function withTimeout(promise, ms) {
  let timer;
  return Promise.race([promise, new Promise((_, reject) => { timer = setTimeout(() => reject(new Error("timeout")), ms); })])
    .finally(() => clearTimeout(timer));
}

async function main() {
  const a = parseArgs(process.argv.slice(2));
  if (!a.movies.length) {
    console.error("usage: reference-traces.js [--frames N] [--reference DIR] MOVIE.swf[=INPUT.json]...");
    return 2;
  }
  const cache = process.env.RUFFLE_REF_HOME || path.join(os.homedir(), ".cache/ruffle-reference");
  process.env.NODE_PATH = [process.env.NODE_PATH, path.join(cache, "node_modules")].filter(Boolean).join(":");
  require("module").Module._initPaths();
  if (!fs.existsSync(path.join(a.reference, "lib/harness.js"))) {
    console.error("reference-traces: no reference player at " + a.reference);
    return 2;
  }
  const H = require(path.join(a.reference, "lib/harness.js"));
  const srv = await H.startServer(null, { cacheRuffle: true });
  let browser = null;
  let page = null;
  const opts = { vclock: true, logLevel: "info", renderer: "canvas" };
  for (const { swf: movie, input } of a.movies) {
    const out = { swf: movie, ok: false, error: null, trace: [] };
    if (input) out.input = input;
    try {
      if (!browser) browser = await H.launchBrowser({ gl: "swiftshader" });
      srv.setMovie(path.resolve(movie));
      if (!page) {
        page = await H.newHarnessPage(browser, srv.port, opts);
        await serveBeside(page.page, srv.port);
      }
      movieFolder = path.dirname(path.resolve(movie));
      const run = (async () => {
        const m = await H.startMovie(page, opts);
        if (input) await stepFramesWithInput(m.page, a.frames, m.meta.frameRate || 24, inputFrames(input));
        else await H.stepFrames(m.page, a.frames, m.meta.frameRate || 24);
        await m.page.evaluate(() => new Promise((r) => setTimeout(r, 20)));
      })();
      await withTimeout(run, 60000);
      for (const log of page.state.logs) {
        const line = traceLine(log);
        if (line !== null) out.trace.push(line);
      }
      if (input) await releaseAll(page.page);
      out.ok = true;
    } catch (e) {
      out.error = String((e && e.message) || e).split("\n")[0];
      try { if (browser) await withTimeout(browser.close(), 10000); } catch (e2) { /* a stuck page */ }
      browser = null;
      page = null;
    }
    process.stdout.write(JSON.stringify(out) + "\n");
  }
  if (browser) await browser.close();
  srv.server.close();
  return 0;
}

main().then((rc) => process.exit(rc), (e) => { console.error("reference-traces: " + ((e && e.stack) || e)); process.exit(1); });
