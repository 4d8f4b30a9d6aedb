// Put into every page before its own scripts (the test server puts it at
// the top of every page it serves, in every engine): notes each picture the game puts on its canvas, in the
// page itself, so that a test can time the game and look at its frames
// without taking the page's one thread while the game runs. A test reads
// what was noted once, when the timed part is over.
//   kvCanvasLog.times      performance.now() of every picture put
//   kvCanvasLog.firstShown the index of the first one not all black, or -1
//   kvCanvasLog.picture    the last picture put, whole (RGBA rows)
//   kvCanvasLog.keep(from, count)  copies of the next count pictures put
//                          at or after page time from: kept, keptTimes
//   kvCanvasLog.hold(on)   on: from the next picture on, pictures are
//                          noted but that one is put in their place, so
//                          the canvas keeps showing it (held; a promise of
//                          it); off: the game's last picture put at once
(() => {
  'use strict';
  const log = {
    times: [], firstShown: -1, width: 0, height: 0, picture: null,
    kept: [], keptTimes: [], keepFrom: Infinity, keepCount: 0, held: null, toHold: null,
  };
  let putAgain = () => {};  // the game's last picture put again, on its canvas
  // A picture is held once it is on the canvas: going into full screen and
  // out of it, Chromium shows a canvas blank until something is put on it.
  log.hold = on => {
    if (on) return log.held ? '' : new Promise(held => { log.toHold = held; });
    if (log.held) {
      log.held = null;
      putAgain();
    }
    return '';
  };
  // The copies are made here, before the pictures come, so that keeping
  // them costs the game no allocation (nor the collections it brings).
  let spare = [];
  log.keep = (from, count) => {
    const bytes = (log.width * log.height || 320 * 240) * 4;
    spare = Array.from({ length: count }, () => new Uint8ClampedArray(bytes));
    log.kept = [];
    log.keptTimes = [];
    log.keepFrom = from;
    log.keepCount = count;
    return '';
  };
  window.kvCanvasLog = log;

  const allBlack = pixels => {
    const words = new Uint32Array(pixels.buffer, pixels.byteOffset, pixels.length >> 2);
    for (let i = 0; i < words.length; i++)
      if (words[i] & 0x00ffffff) return false;
    return true;
  };

  // The canvas's whole picture after a put of some of its rows.
  const note = (canvas, image, dx, dy, sx, sy, sw, sh) => {
    if (log.width !== canvas.width || log.height !== canvas.height) {
      log.width = canvas.width;
      log.height = canvas.height;
      log.picture = new Uint8ClampedArray(log.width * log.height * 4);
    }
    const x0 = Math.max(0, dx + sx), y0 = Math.max(0, dy + sy);
    const x1 = Math.min(log.width, dx + sx + sw), y1 = Math.min(log.height, dy + sy + sh);
    if (x0 === 0 && y0 === 0 && x1 === log.width && y1 === log.height && image.width === log.width) {
      log.picture.set(image.data);
      return;
    }
    for (let y = y0; y < y1; y++) {
      const from = ((y - dy) * image.width + x0 - dx) * 4;
      log.picture.set(image.data.subarray(from, from + (x1 - x0) * 4), (y * log.width + x0) * 4);
    }
  };

  // The game's canvas, or the OffscreenCanvas it hands its picture to.
  const watch = Context => {
    const put = Context.prototype.putImageData;
    Context.prototype.putImageData = function (image, dx, dy, sx, sy, sw, sh) {
      if (this.canvas.id === 'canvas' || this.canvas instanceof OffscreenCanvas) {
        const now = performance.now();
        if (sx === undefined) [sx, sy, sw, sh] = [0, 0, image.width, image.height];
        note(this.canvas, image, dx, dy, sx, sy, sw, sh);
        putAgain = () => put.call(this, new ImageData(log.picture, log.width, log.height), 0, 0);
        log.times.push(now);
        if (log.firstShown < 0 && !allBlack(log.picture)) log.firstShown = log.times.length - 1;
        if (now >= log.keepFrom && log.kept.length < log.keepCount) {
          const copy = spare.pop();
          if (copy && copy.length === log.picture.length) copy.set(log.picture);
          log.kept.push(copy && copy.length === log.picture.length ? copy : log.picture.slice());
          log.keptTimes.push(now);
        }
        // Held, the same picture is put again: WebKit takes a screenshot
        // only once something is drawn.
        if (log.held) return put.call(this, new ImageData(log.held, log.width, log.height), 0, 0);
        if (log.toHold) {
          put.apply(this, arguments);
          log.held = log.picture.slice();
          log.toHold('');
          log.toHold = null;
          return undefined;
        }
      }
      return put.apply(this, arguments);
    };
  };
  watch(CanvasRenderingContext2D);
  if (typeof OffscreenCanvasRenderingContext2D === 'function') watch(OffscreenCanvasRenderingContext2D);
})();
