// The touch controls: a direction pad, FIRE, PAUSE and BACK. Each holds
// down, in the game's own key state, the key its action is bound to, for
// as long as a finger is on it, exactly as that key held would: the key's
// repeat, the menus and CONTROLS' bindings work unchanged. They show on a
// screen whose main pointer is a finger, or at the first touch anywhere.
// Every finger is followed on its own (a thumb on the pad, another on
// FIRE); the pad is one surface, so a thumb sliding from one arrow to the
// next lets the first go and holds the next, and a thumb between two holds
// both. A finger leaving a control lets its key go; a cancelled touch, the
// page hidden or the window losing the focus let every key go. The picture
// itself takes no touch: the cursor moves at the game's pace only.
(function () {
  'use strict';
  var body = document.body, pad = document.getElementById('pad');
  var canvas = document.getElementById('canvas');
  // The game's numbers for the actions (kv_bound_key).
  var actions = { up: 0, down: 1, left: 2, right: 3, fire: 4, pause: 5, back: 6 };
  var fingers = {};  // pointerId: the actions it holds
  var held = {};     // action: the scancode pressed for it

  function show() {
    if (body.classList.contains('touch')) return;
    body.classList.add('touch');
    if (window.kvPlacePicture) window.kvPlacePicture();
  }

  // The directions a thumb at (x, y) holds: each arrow covers 60 degrees
  // either side of its own, so a thumb near a diagonal holds its two
  // arrows, and the middle holds none.
  function padActions(x, y) {
    var at = pad.getBoundingClientRect();
    var dx = x - (at.left + at.width / 2), dy = y - (at.top + at.height / 2);
    if (Math.sqrt(dx * dx + dy * dy) < at.width * 0.12) return [];
    var angle = Math.atan2(dy, dx) * 180 / Math.PI;  // 0 right, 90 down
    return [['right', 0], ['down', 90], ['left', 180], ['up', 270]].filter(function (arrow) {
      var off = Math.abs(((angle - arrow[1]) % 360 + 540) % 360 - 180);
      return off < 60;
    }).map(function (arrow) { return arrow[0]; });
  }

  function actionsAt(x, y) {
    var under = document.elementFromPoint(x, y);
    if (!under) return [];
    if (pad.contains(under)) return padActions(x, y);
    var control = under.closest('[data-action]');
    return control ? [control.dataset.action] : [];
  }

  function ready() {
    return window.Module && Module._kv_bound_key && Module._kv_web_key &&
           body.dataset.state === 'running';
  }

  // Presses what some finger holds and lets go of what none does.
  function update() {
    var wanted = {};
    Object.keys(fingers).forEach(function (id) {
      fingers[id].forEach(function (action) { wanted[action] = true; });
    });
    Object.keys(held).forEach(function (action) {
      if (wanted[action]) return;
      if (ready()) Module._kv_web_key(held[action], 0, 0, 0);
      delete held[action];
    });
    Object.keys(wanted).forEach(function (action) {
      if (held[action] !== undefined || !ready()) return;
      held[action] = Module._kv_bound_key(actions[action]);
      Module._kv_web_key(held[action], 0, 1, 0);
    });
    Object.keys(actions).forEach(function (action) {
      var control = document.getElementById(action);
      if (control) control.classList.toggle('down-now', held[action] !== undefined);
    });
  }

  function letGoAll() {
    fingers = {};
    update();
  }

  function follow(e) {
    if (e.pointerType !== 'touch' || !(e.pointerId in fingers)) return;
    fingers[e.pointerId] = actionsAt(e.clientX, e.clientY);
    update();
  }

  function lift(e) {
    if (!(e.pointerId in fingers)) return;
    delete fingers[e.pointerId];
    update();
  }

  document.addEventListener('pointerdown', function (e) {
    if (e.pointerType !== 'touch') return;
    show();
    var on = e.target.closest && e.target.closest('[data-action], #pad');
    if (!on) return;
    // No focus for the control (the game pauses when the canvas loses it),
    // and no mouse events made up from the touch.
    e.preventDefault();
    if (document.activeElement !== canvas) canvas.focus();
    fingers[e.pointerId] = [];
    follow(e);
  });
  document.addEventListener('pointermove', follow);
  document.addEventListener('pointerup', lift);
  document.addEventListener('pointercancel', lift);
  document.addEventListener('touchcancel', letGoAll);
  window.addEventListener('blur', letGoAll);
  canvas.addEventListener('blur', letGoAll);
  document.addEventListener('visibilitychange', function () {
    if (document.visibilityState === 'hidden') letGoAll();
  });
  // No scrolling, zooming or long-press menu from the controls or the
  // picture; the page's own buttons (full screen, play again) still click.
  document.addEventListener('touchstart', function (e) {
    var plain = e.target.closest && e.target.closest('button:not([data-action])');
    if (body.classList.contains('touch') && !plain) e.preventDefault();
  }, { passive: false });
  document.addEventListener('contextmenu', function (e) {
    if (body.classList.contains('touch')) e.preventDefault();
  });

  if (window.matchMedia('(pointer: coarse)').matches) show();
})();
