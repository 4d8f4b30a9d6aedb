// Put into every page before its own scripts (the test server puts it at
// the top of every page it serves): stands in for the Gamepad API, as headless Chromium
// has no pads, with pads of the "standard" mapping that the tests plug in,
// press and pull out through window.kvStandInPads. Like a browser, it
// gives the page a new snapshot of the pads at each getGamepads() and
// tells it of a pad plugged in or pulled out by an event.
(() => {
  'use strict';
  const pads = [null, null, null, null];
  const make = index => ({
    id: `Stand-in pad ${index} (STANDARD GAMEPAD)`, index, connected: true, mapping: 'standard',
    timestamp: performance.now(), axes: [0, 0, 0, 0],
    buttons: Array.from({ length: 17 }, () => ({ pressed: false, touched: false, value: 0 })),
  });
  const snapshot = pad => pad && Object.assign({}, pad, {
    axes: pad.axes.slice(), buttons: pad.buttons.map(button => Object.assign({}, button)),
  });
  navigator.getGamepads = () => pads.map(snapshot);
  const tell = (type, pad) => {
    const event = new Event(type);
    event.gamepad = snapshot(pad);
    window.dispatchEvent(event);
  };
  window.kvStandInPads = {
    plug: index => { pads[index] = make(index); tell('gamepadconnected', pads[index]); return ''; },
    pullOut: index => {
      const pad = pads[index];
      pads[index] = null;
      if (pad) tell('gamepaddisconnected', Object.assign(pad, { connected: false }));
      return '';
    },
    press: (index, button, down) => {
      Object.assign(pads[index].buttons[button], { pressed: down, touched: down, value: down ? 1 : 0 });
      pads[index].timestamp = performance.now();
      return '';
    },
    axis: (index, axis, value) => {
      pads[index].axes[axis] = value;
      pads[index].timestamp = performance.now();
      return '';
    },
  };
})();
