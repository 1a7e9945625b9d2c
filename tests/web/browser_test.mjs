// The WebAssembly build in a real headless chromium, driven through the
// DevTools protocol (puppeteer-core), against the native simulator and the
// native heavy-frame timer built in build-web-native/.
import { test, before, after, afterEach } from "node:test";
import assert from "node:assert/strict";
import { execFileSync } from "node:child_process";
import fs from "node:fs";
import http from "node:http";
import os from "node:os";
import path from "node:path";
import puppeteer from "puppeteer-core";

const root = path.resolve(import.meta.dirname, "../..");
const web = path.join(root, "build-web");
const native = path.join(root, "build-web-native");
const sim = path.join(native, "tools/sim/swarmbreak-sim");
const here = import.meta.dirname;
const W = 640, H = 480;

let server, base, browser, scratch;

const types = { ".html": "text/html", ".js": "text/javascript", ".css": "text/css",
                ".wasm": "application/wasm", ".data": "application/octet-stream",
                ".input": "text/plain" };

before(async () => {
  scratch = fs.mkdtempSync(path.join(os.tmpdir(), "sb_web_"));
  // A game folder with only what the build generates (no scores of anyone's).
  for (const d of ["images", "sounds"])
    fs.cpSync(path.join(native, "game", d), path.join(scratch, "game", d), { recursive: true });
  server = http.createServer((req, res) => {
    const url = new URL(req.url, "http://x");
    const file = url.pathname === "/heavy.html" ? null
      : url.pathname.startsWith("/tests/") ? path.join(here, path.basename(url.pathname))
      : path.join(web, path.normalize(url.pathname));
    if (file === null) {
      res.writeHead(200, { "content-type": "text/html" });
      res.end('<!doctype html><script src="heavy_frame.js"></script>');
      return;
    }
    fs.readFile(file, (err, body) => {
      if (err) { res.writeHead(404); res.end(); return; }
      res.writeHead(200, { "content-type": types[path.extname(file)] || "application/octet-stream" });
      res.end(body);
    });
  });
  await new Promise((r) => server.listen(0, "127.0.0.1", r));
  base = `http://127.0.0.1:${server.address().port}`;
  browser = await puppeteer.launch({
    executablePath: process.env.SB_CHROMIUM || "/usr/bin/chromium",
    headless: true,  // chromium's new headless mode
    args: ["--no-sandbox", "--disable-gpu", "--autoplay-policy=no-user-gesture-required"],
  });
});

// Pages of a failed test stop, so they cannot take the next test's keys.
afterEach(async () => {
  for (const c of contexts.splice(0)) await c.close().catch(() => {});
});

after(async () => {
  if (browser) await browser.close();
  if (server) server.close();
  fs.rmSync(scratch, { recursive: true, force: true });
});

// A page in a browser context of its own (its own IndexedDB), showing
// errors of the page in the test's output.
const contexts = [];
async function openPage(query, context) {
  context = context || (await browser.createBrowserContext());
  contexts.push(context);
  const page = await context.newPage();
  page.on("pageerror", (e) => console.log("page error:", e.message));
  await page.goto(`${base}/index.html${query}`);
  return { page, context };
}

async function until(page, fn, arg, what, timeout = 60000) {
  try {
    return await page.waitForFunction(fn, { timeout, polling: 50 }, arg);
  } catch (e) {
    const s = await page.evaluate(() => JSON.stringify(Module.sb && Module.sb.state));
    throw new Error(`timed out waiting for ${what}; state ${s}`);
  }
}

const state = (page) => page.evaluate(() => Module.sb.state);

// A key held as a player holds it, over several frames (the title reads
// fire as held, not as pressed).
async function tap(page, key) {
  await page.keyboard.down(key);
  await new Promise((r) => setTimeout(r, 150));
  await page.keyboard.up(key);
}

// 24-bit bottom-up BMP (what the simulator writes) as RGBA bytes.
function readBmp(file) {
  const b = fs.readFileSync(file);
  const off = b.readUInt32LE(10), w = b.readInt32LE(18), h = b.readInt32LE(22);
  assert.equal(b.readUInt16LE(28), 24);
  const stride = (w * 3 + 3) & ~3, out = Buffer.alloc(w * Math.abs(h) * 4);
  for (let y = 0; y < Math.abs(h); ++y) {
    const row = off + (h > 0 ? Math.abs(h) - 1 - y : y) * stride;
    for (let x = 0; x < w; ++x) {
      out[(y * w + x) * 4] = b[row + x * 3 + 2];
      out[(y * w + x) * 4 + 1] = b[row + x * 3 + 1];
      out[(y * w + x) * 4 + 2] = b[row + x * 3];
      out[(y * w + x) * 4 + 3] = 255;
    }
  }
  return out;
}

test("scripted frames are pixel-identical to the simulator's", async () => {
  const cases = [
    { seed: 11, input: "walk.input", shots: [1, 40, 95, 150, 200, 201, 240, 282], flags: [] },
    { seed: 7, input: "highscore.input", shots: [300, 900], flags: ["--invincible"], query: "&invincible=1" },
  ];
  for (const c of cases) {
    const last = Math.max(...c.shots);
    const args = ["--mode", "flow", "--assets", path.join(scratch, "game"), "--seed", String(c.seed),
                  "--input", path.join(here, c.input), "--frames", String(last), ...c.flags];
    for (const f of c.shots) args.push("--shot", `${f}:${path.join(scratch, `sim_${f}.bmp`)}`);
    execFileSync(sim, args);
    const { page, context } = await openPage(
      `?seed=${c.seed}&script=/tests/${c.input}&shots=${c.shots.join(",")}&frames=${last}${c.query || ""}`);
    await until(page, () => Module.sb.done !== null, null, `${c.input} to finish`, 120000);
    for (const f of c.shots) {
      const got = Buffer.from(await page.evaluate((n) => {
        const s = Module.sb.shots[n];
        let bin = "";
        for (let i = 0; i < s.length; i += 0x8000) bin += String.fromCharCode.apply(null, s.subarray(i, i + 0x8000));
        return btoa(bin);
      }, f), "base64");
      const want = readBmp(path.join(scratch, `sim_${f}.bmp`));
      assert.equal(got.length, W * H * 4, `${c.input} frame ${f} captured`);
      let differ = 0;
      for (let i = 0; i < got.length; i += 4)
        if (got[i] !== want[i] || got[i + 1] !== want[i + 1] || got[i + 2] !== want[i + 2]) ++differ;
      assert.equal(differ, 0, `${c.input} frame ${f}: ${differ} pixels differ from the simulator's`);
    }
    await context.close();
  }
});

test("keys start a game, move, fire and answer the quit prompt both ways", async () => {
  // Navigation to the first title frame, in fresh profiles (nothing cached);
  // the best of three, as the machine is shared.
  const times = [];
  let page, context;
  for (let i = 0; i < 3; ++i) {
    if (context) await context.close();
    ({ page, context } = await openPage(""));
    await until(page, () => Module.sb.state && Module.sb.state.frame >= 1, null, "the title");
    times.push(await page.evaluate(() => Math.round(Module.sb.firstFrameMs)));
  }
  console.log(`navigation to the first title frame: ${times.join(", ")} ms`);
  assert.ok(Math.min(...times) < 1000, `first title frame after ${times} ms`);
  assert.equal((await state(page)).gamestate, 0);

  await page.bringToFront();
  await page.focus("#canvas");
  await tap(page, "Space");
  await until(page, () => Module.sb.state.gamestate === 2 && Module.sb.state.frame > 0, null, "a game");
  await new Promise((r) => setTimeout(r, 1500));  // the wave's intro
  const start = await state(page);
  await page.keyboard.down("ArrowLeft");
  await page.keyboard.down("Space");
  await until(page, (x) => Module.sb.state.x < x - 10, start.x, "the player to walk left");
  await until(page, () => Module.sb.state.shots > 0, null, "a shot");
  // The shots are heard: the mixer's samples reach Web Audio, not silence.
  await until(page, () => Module.sb.heard.peak > 1000, null, "a sound");
  await page.keyboard.up("Space");
  await page.keyboard.up("ArrowLeft");

  // The prompt's red box; while it is up no frames come.
  const red = () => page.evaluate(() => {
    const p = document.getElementById("canvas").getContext("2d").getImageData(95, 195, 1, 1).data;
    return p[0] > 200 && p[1] < 60 && p[2] < 60;
  });
  await tap(page, "Escape");
  await until(page, () => {
    const p = document.getElementById("canvas").getContext("2d").getImageData(95, 195, 1, 1).data;
    return p[0] > 200 && p[1] < 60 && p[2] < 60;
  }, null, "the quit prompt");
  const held = (await state(page)).frame;
  await new Promise((r) => setTimeout(r, 500));
  assert.equal((await state(page)).frame, held, "frames went on under the quit prompt");

  await tap(page, "KeyN");
  await until(page, (f) => Module.sb.state.frame > f + 10, held, "play to go on after N");
  assert.equal((await state(page)).gamestate, 2);
  assert.equal(await red(), false);

  await tap(page, "Escape");
  await until(page, (f) => {
    const p = document.getElementById("canvas").getContext("2d").getImageData(95, 195, 1, 1).data;
    return Module.sb.state.frame > f && p[0] > 200 && p[1] < 60;
  }, held, "the quit prompt again");
  await tap(page, "KeyY");
  await until(page, () => Module.sb.state.gamestate !== 2, null, "the game to end after Y");
  await context.close();
});

test("a saved high-score table is still there after a reload", async () => {
  const { page, context } = await openPage("?seed=7&invincible=1&script=/tests/highscore.input");
  const read = () => page.evaluate(() => {
    try { return Module.FS.readFile("/game/scores/hiscores.dat", { encoding: "utf8" }); } catch (e) { return ""; }
  });
  await until(page, () => {
    try { return Module.FS.readFile("/game/scores/hiscores.dat", { encoding: "utf8" }).length > 0; } catch (e) { return false; }
  }, null, "the table to be saved", 120000);
  const saved = await read();
  assert.match(saved, /^5700\r?\n/m, "the new score in the saved table");

  await page.goto(`${base}/index.html`);  // the same browser profile, a fresh game
  await until(page, () => Module.sb.state && Module.sb.state.frame >= 1, null, "the title after the reload");
  assert.equal(await read(), saved);
  await context.close();
});

test("a missing image gives the desktop's message, on the page", async () => {
  const game = path.join(scratch, "missing");
  fs.cpSync(path.join(scratch, "game"), game, { recursive: true });
  fs.rmSync(path.join(game, "images", "grunts.bmp"));
  try { execFileSync(sim, ["--mode", "flow", "--assets", game, "--frames", "1"]); } catch (e) { /* status 1 */ }
  const desktop = fs.readFileSync(path.join(game, "errors.log"), "utf8").trim();
  assert.match(desktop, /grunts\.bmp/);

  const { page, context } = await openPage("?missing=grunts.bmp");
  await until(page, () => document.getElementById("messages").textContent.length > 0, null, "the message");
  // The log's line, then whatever else the game wrote to standard error.
  const shown = (await page.$eval("#messages", (e) => e.textContent)).split("\n");
  assert.equal(shown[0], desktop);
  assert.equal(await page.$eval("#messages", (e) => e.hidden), false);
  await context.close();
});

test("the heavy frame draws within 3x the native time and under 1 ms", async () => {
  // Each side's figure is its fastest round, but a neighbour's burst can still
  // land on one side only: up to three paired measurements, the best counts.
  let best = null;
  for (let attempt = 0; attempt < 3 && !(best && best.web <= 3 * best.native); ++attempt) {
    const out = execFileSync(path.join(native, "heavy_frame"), [path.join(scratch, "game")], { encoding: "utf8" });
    const nativeUs = Number(/heavy_frame_us ([\d.]+)/.exec(out)[1]);
    const context = await browser.createBrowserContext();
    const page = await context.newPage();
    await page.goto(`${base}/heavy.html`);
    await page.waitForFunction(() => window.heavyFrameUs !== undefined, { timeout: 120000 });
    const webUs = await page.evaluate(() => window.heavyFrameUs);
    await context.close();
    console.log(`heavy frame: native ${nativeUs} us, browser ${webUs} us (${(webUs / nativeUs).toFixed(2)}x)`);
    if (!best || webUs / nativeUs < best.web / best.native) best = { native: nativeUs, web: webUs };
  }
  assert.ok(best.web <= 3 * best.native, `browser ${best.web} us > 3 x native ${best.native} us`);
  assert.ok(best.web < 1000, `browser ${best.web} us`);
});

test("the transfer stays within 3 MB", () => {
  const bytes = ["swarmbreak.js", "swarmbreak.wasm", "swarmbreak.data", "page.js", "index.html", "style.css"]
    .reduce((n, f) => n + fs.statSync(path.join(web, f)).size, 0);
  console.log(`transfer: ${bytes} bytes`);
  assert.ok(bytes <= 3 * 1024 * 1024);
});

test("a pad alone opens the options and starts a game; the button and Alt+Enter switch full screen", async () => {
  // Headless chromium has no pads: the page reads a stand-in with the
  // standard mapping (0 bottom, 8 back, 15 d-pad right) that the test moves.
  const context = await browser.createBrowserContext();
  contexts.push(context);
  const page = await context.newPage();
  await page.evaluateOnNewDocument(() => {
    const pad = { id: "stand-in", index: 0, connected: false, mapping: "standard",
                  axes: [0, 0, 0, 0], buttons: Array.from({ length: 17 }, () => ({ pressed: false, value: 0 })) };
    window.testPad = pad;
    navigator.getGamepads = () => [pad.connected ? pad : null];
  });
  await page.goto(`${base}/index.html`);
  await until(page, () => Module.sb.state && Module.sb.state.frame >= 1, null, "the title");
  await page.bringToFront();  // focus changes drop presses not yet read
  await page.focus("#canvas");
  const hold = (i, on) => page.evaluate((i, on) => { window.testPad.buttons[i].pressed = on; }, i, on);
  // Held until the game shows it took the press, as a player holds a button
  // until the screen answers; then released for a few frames.
  const pressUntil = async (i, fn, what) => {
    await hold(i, true);
    await until(page, fn, null, what);
    await hold(i, false);
    const f = (await state(page)).frame;
    await until(page, (f) => Module.sb.state.frame > f + 3, f, "frames after the release");
  };

  await hold(8, true);  // Back, before the pad is connected: nothing
  await new Promise((r) => setTimeout(r, 300));
  await hold(8, false);
  assert.equal((await state(page)).gamestate, 0, "a disconnected pad was read");
  await page.evaluate(() => { window.testPad.connected = true; });
  await pressUntil(8, () => Module.sb.state.gamestate === 3, "the options after Back");
  await pressUntil(8, () => Module.sb.state.gamestate === 0, "the title after Back again");
  await pressUntil(0, () => Module.sb.state.gamestate === 2 && Module.sb.state.frame > 0,
                   "a game after the bottom button");

  await page.click("#full");
  await until(page, () => document.fullscreenElement !== null, null, "full screen after the button");
  // In full screen only the game shows: Alt+Enter leaves it.
  await page.keyboard.down("AltLeft");
  await page.keyboard.press("Enter");
  await page.keyboard.up("AltLeft");
  await until(page, () => document.fullscreenElement === null, null, "a window again after Alt+Enter");
});
