#!/usr/bin/env node
"use strict";
// reference-traces: what the reference player prints with trace() for each movie.
//
//   node scripts/reference-traces.js [--frames N] [--reference DIR] MOVIE.swf...
//
// Runs every movie for N frames (default 10) on the reference player's virtual clock, in one
// browser, and prints one JSON line a movie: {"swf", "ok", "error", "trace": [lines]}.
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
    else a.movies.push(argv[i]);
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

function withTimeout(promise, ms) {
  let timer;
  return Promise.race([promise, new Promise((_, reject) => { timer = setTimeout(() => reject(new Error("timeout")), ms); })])
    .finally(() => clearTimeout(timer));
}

async function main() {
  const a = parseArgs(process.argv.slice(2));
  if (!a.movies.length) {
    console.error("usage: reference-traces.js [--frames N] [--reference DIR] MOVIE.swf...");
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
  for (const movie of a.movies) {
    const out = { swf: movie, ok: false, error: null, trace: [] };
    try {
      if (!browser) browser = await H.launchBrowser({ gl: "swiftshader" });
      srv.setMovie(path.resolve(movie));
      if (!page) page = await H.newHarnessPage(browser, srv.port, opts);
      const run = (async () => {
        const m = await H.startMovie(page, opts);
        await H.stepFrames(m.page, a.frames, m.meta.frameRate || 24);
        await m.page.evaluate(() => new Promise((r) => setTimeout(r, 20)));
      })();
      await withTimeout(run, 60000);
      for (const log of page.state.logs) {
        const line = traceLine(log);
        if (line !== null) out.trace.push(line);
      }
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
