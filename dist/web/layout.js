// Where the game's picture goes on the page. Every pixel of the canvas
// covers a whole square of the display's own pixels, and the picture's
// corner lies on a whole display pixel. On a desktop page the square is as
// many display pixels as the display has per CSS pixel, rounded; in full
// screen, and beside the touch controls, as many as fit the room there is.
// The layout puts the stage wherever it likes, half a display pixel off
// included; the canvas is then placed inside it by its offset (never by a
// transform, which Chromium draws a whole display pixel away from the box
// it reports).
// An older iPad has only WebKit's prefixed full screen: the page and the
// game speak the standard one, so it is given in its terms there.
(function () {
  'use strict';
  var d = document;
  if ('fullscreenEnabled' in d || !('webkitFullscreenEnabled' in d)) return;
  Object.defineProperty(d, 'fullscreenEnabled', { get: function () { return d.webkitFullscreenEnabled; } });
  Object.defineProperty(d, 'fullscreenElement', { get: function () { return d.webkitFullscreenElement; } });
  Element.prototype.requestFullscreen = function () {
    var element = this;
    return new Promise(function (entered, refused) {
      d.addEventListener('webkitfullscreenchange', entered, { once: true });
      d.addEventListener('webkitfullscreenerror', refused, { once: true });
      element.webkitRequestFullscreen();
    });
  };
  d.exitFullscreen = function () { d.webkitExitFullscreen(); return Promise.resolve(); };
  d.addEventListener('webkitfullscreenchange', function () { d.dispatchEvent(new Event('fullscreenchange')); });
})();

(function () {
  'use strict';
  var body = document.body, page = document.getElementById('page');
  var stage = document.getElementById('stage'), canvas = document.getElementById('canvas');
  var info = document.getElementById('info'), pad = document.getElementById('pad');
  var fire = document.getElementById('fire'), small = document.getElementById('small');
  var landscape = window.matchMedia('(orientation: landscape)');
  // The game's screen: the canvas's size until the game says (it may hand
  // the canvas's picture to an OffscreenCanvas, which keeps the element at
  // its first size).
  var screen = [canvas.width, canvas.height];
  // CSS pixels kept between the controls and the picture: below it in
  // portrait, at its sides in landscape.
  var below = 16, beside = 8;

  // The CSS pixel at or just after x that is a whole display pixel too: a
  // real display's page is laid out in display pixels, but one whose
  // density DevTools emulates in CSS pixels. Where no CSS pixel nearby is
  // both, the display pixel.
  function onWholePixels(x, ratio) {
    for (var n = Math.ceil(x - 0.01), last = n + 8; n <= last; n++)
      if (Math.abs(n * ratio - Math.round(n * ratio)) < 0.01)
        return n;
    return Math.round(x * ratio) / ratio;
  }

  // The room the touch controls leave the picture, in CSS pixels: in
  // portrait the page's width above the controls, in landscape its height
  // between them.
  function touchRoom() {
    var style = window.getComputedStyle(page);
    var width = page.clientWidth - parseFloat(style.paddingLeft) - parseFloat(style.paddingRight);
    var height = page.clientHeight - parseFloat(style.paddingTop) - parseFloat(style.paddingBottom);
    height -= info.offsetHeight;
    if (landscape.matches)
      width -= 2 * (Math.max(pad.offsetWidth, fire.offsetWidth) + beside);
    else
      height -= Math.max(pad.offsetHeight, fire.offsetHeight, small.offsetHeight) + below;
    return [width, height];
  }

  function placePicture(screenWidth, screenHeight) {
    if (typeof screenWidth === 'number' && typeof screenHeight === 'number') screen = [screenWidth, screenHeight];
    var ratio = window.devicePixelRatio || 1;
    var full = document.fullscreenElement === stage;
    var room = full ? [stage.clientWidth, stage.clientHeight] :
               body.classList.contains('touch') ? touchRoom() : null;
    var factor = room ? Math.max(1, Math.floor(Math.min(room[0] * ratio / screen[0],
                                                        room[1] * ratio / screen[1]))) :
                 Math.max(1, Math.round(ratio));
    var width = screen[0] * factor, height = screen[1] * factor;  // display pixels
    canvas.style.width = width / ratio + 'px';
    canvas.style.height = height / ratio + 'px';
    stage.style.width = full ? '' : width / ratio + 'px';
    stage.style.height = full ? '' : height / ratio + 'px';
    var at = stage.getBoundingClientRect();
    var x = at.left + window.scrollX, y = at.top + window.scrollY;
    var left = full ? (at.width - width / ratio) / 2 : 0, top = full ? (at.height - height / ratio) / 2 : 0;
    canvas.style.left = onWholePixels(x + left, ratio) - x + 'px';
    canvas.style.top = onWholePixels(y + top, ratio) - y + 'px';
  }

  // A display of another density (the window moved to another monitor, the
  // page zoomed) may come without a resize.
  function watchDensity() {
    var query = window.matchMedia('(resolution: ' + (window.devicePixelRatio || 1) + 'dppx)');
    query.addEventListener('change', function once() {
      query.removeEventListener('change', once);
      placeAgain();
      watchDensity();
    });
  }

  function placeAgain() { placePicture(); }
  window.addEventListener('resize', placeAgain);
  landscape.addEventListener('change', placeAgain);
  document.addEventListener('fullscreenchange', placeAgain);
  // The lines around the stage change height (a status line wraps, a
  // button comes): the stage moves, or has another room.
  if (typeof ResizeObserver === 'function') {
    var observer = new ResizeObserver(placeAgain);
    observer.observe(page);
    observer.observe(info);
  }
  watchDensity();
  placeAgain();
  // The game's screen changed size (Module.onCanvasSize).
  window.kvPlacePicture = placePicture;
})();
