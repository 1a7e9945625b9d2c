// The page's side of the web back end (src/platform/web_backend.cpp): the
// canvas, key and focus events, pads, Web Audio, the scores folder in
// IndexedDB and the test mode (?seed=N&script=URL&shots=F,F&frames=N,
// ?missing=FILE.bmp). The game reaches all of it through Module.sb.
"use strict";

var Module = (function () {
  const canvas = document.getElementById("canvas");
  const ctx2d = canvas.getContext("2d", { alpha: false });
  const screen = document.getElementById("screen");
  const note = document.getElementById("note");
  const messages = document.getElementById("messages");
  const params = new URLSearchParams(location.search);
  const kRate = 44100;
  const kDeadZone = 1 / 3;

  // Keys the page would otherwise act on (scrolling, focus moves).
  const kGameKeys = new Set(["ArrowUp", "ArrowDown", "ArrowLeft", "ArrowRight", "Space",
                             "Tab", "Backspace", "Enter", "Escape"]);

  let audio = null;   // AudioContext, made at the first key press or click
  let cursor = 0;     // when the next queued sound starts
  let frame = null;   // ImageData on the game's frame memory

  // once: a line the game also wrote to standard error is shown once.
  function showError(text, once) {
    if (once && messages.textContent.split("\n").includes(text)) return;
    console.error(text);
    messages.hidden = false;
    messages.textContent += text + "\n";
  }

  function startAudio() {
    if (!audio) {
      try {
        audio = new AudioContext({ sampleRate: kRate, latencyHint: "interactive" });
      } catch (e) {
        return;  // no Web Audio: the game runs silent
      }
    }
    if (audio.state !== "running") audio.resume();
  }

  function toggleFullscreen() {
    if (document.fullscreenElement) document.exitFullscreen();
    else if (screen.requestFullscreen) screen.requestFullscreen().catch(() => {});
  }

  const sb = {
    params,
    events: [],
    state: null,
    shots: {},
    done: null,
    ended: false,
    firstFrameMs: null,
    showError,
    present(rgba) {
      if (!frame || frame.data.buffer !== rgba.buffer || frame.data.byteOffset !== rgba.byteOffset)
        frame = new ImageData(new Uint8ClampedArray(rgba.buffer, rgba.byteOffset, rgba.length),
                              640, 480);
      ctx2d.putImageData(frame, 0, 0);
    },
    shot(n, rgba) { sb.shots[n] = rgba; },
    setState(s) {
      sb.state = s;
      if (s.frame >= 1 && sb.firstFrameMs === null) {
        sb.firstFrameMs = performance.now();
        note.textContent = "";
      }
    },
    scriptDone(n) { sb.done = n; },
    ended(started) {
      sb.ended = true;
      note.textContent = started ? "The game has ended. Reload the page to play again."
                                 : "The game could not start.";
    },
    requestFullscreen() { if (!document.fullscreenElement) toggleFullscreen(); },
    audioRunning() { return audio !== null && audio.state === "running"; },
    heard: { samples: 0, peak: 0 },  // what went to Web Audio (tests look)
    playSamples(s16) {
      const buf = audio.createBuffer(1, s16.length, kRate);
      const ch = buf.getChannelData(0);
      let peak = sb.heard.peak;
      for (let i = 0; i < s16.length; ++i) {
        ch[i] = s16[i] / 32768;
        peak = Math.max(peak, Math.abs(s16[i]));
      }
      sb.heard.samples += s16.length;
      sb.heard.peak = peak;
      const src = audio.createBufferSource();
      src.buffer = buf;
      src.connect(audio.destination);
      // A little ahead of the clock; after a stall, start again from now.
      const now = audio.currentTime + 0.05;
      if (cursor < now || cursor > now + 0.5) cursor = now;
      src.start(cursor);
      cursor += buf.duration;
    },
    // Buttons by position (left, bottom, right, top), back and start, then
    // the stick or d-pad.
    readPad(out) {
      const pads = navigator.getGamepads ? navigator.getGamepads() : [];
      const p = Array.from(pads).find((g) => g && g.connected);
      if (!p) return 0;
      const b = (i) => (p.buttons[i] && p.buttons[i].pressed ? 1 : 0);
      const axis = (i) => { const v = p.axes[i] || 0; return v > kDeadZone ? 1 : v < -kDeadZone ? -1 : 0; };
      const standard = p.mapping === "standard";
      const order = standard ? [2, 0, 1, 3, 8, 9] : [0, 1, 2, 3, 4, 5];
      for (let i = 0; i < 6; ++i) out[i] = b(order[i]);
      let x = standard ? b(15) - b(14) : 0, y = standard ? b(13) - b(12) : 0;
      if (x === 0) x = axis(0);
      if (y === 0) y = axis(1);
      out[6] = x;
      out[7] = y;
      return 1;
    },
  };

  function onKey(e) {
    startAudio();
    if (e.type === "keydown" && e.code === "Enter" && e.altKey) {
      toggleFullscreen();
      e.preventDefault();
      return;
    }
    if (kGameKeys.has(e.code) || e.code.startsWith("Key") || e.code.startsWith("Digit"))
      e.preventDefault();
    if (e.repeat) return;  // auto-repeat is not a press
    sb.events.push({ kind: e.type === "keydown" ? 1 : 2, code: e.code, key: e.key });
  }
  window.addEventListener("keydown", onKey);
  window.addEventListener("keyup", onKey);
  window.addEventListener("blur", () => sb.events.push({ kind: 3 }));
  window.addEventListener("focus", () => sb.events.push({ kind: 3 }));
  canvas.addEventListener("pointerdown", () => { startAudio(); canvas.focus(); });
  document.getElementById("full").addEventListener("click", () => { startAudio(); toggleFullscreen(); });
  window.addEventListener("gamepadconnected", (e) => { note.textContent = "Pad connected: " + e.gamepad.id; });
  window.addEventListener("gamepaddisconnected", (e) => { note.textContent = "Pad disconnected: " + e.gamepad.id; });

  function mkdirs(FS, path) {
    let at = "";
    for (const part of path.split("/").filter(Boolean)) {
      at += "/" + part;
      try { FS.mkdir(at); } catch (e) { /* already there */ }
    }
  }

  return {
    sb,
    noInitialRun: false,
    print: (text) => console.log(text),
    printErr: (text) => showError(text),
    preRun: [function () {
      const FS = Module.FS;
      mkdirs(FS, "/game/scores");
      FS.mount(FS.filesystems.IDBFS, {}, "/game/scores");
      Module.addRunDependency("scores");
      FS.syncfs(true, (err) => {
        if (err) showError("swarmbreak: high scores from this browser not read: " + err);
        Module.removeRunDependency("scores");
      });
      const script = params.get("script");
      if (script !== null) {
        Module.addRunDependency("script");
        fetch(script)
          .then((r) => { if (!r.ok) throw new Error(r.status + " " + r.statusText); return r.text(); })
          .then((text) => FS.writeFile("/game/test.script", text))
          .catch((e) => showError("test script '" + script + "': " + e.message))
          .finally(() => Module.removeRunDependency("script"));
      }
    }],
    onRuntimeInitialized() {
      const FS = Module.FS;
      const missing = params.get("missing");
      if (missing !== null) {
        try { FS.unlink("/game/images/" + missing); } catch (e) { /* not there anyway */ }
      }
      FS.chdir("/game");
    },
  };
})();
