// Put into every page before its own scripts, with the canvas's notes:
// tells the test server of every uncaught error, rejected promise, console
// error and script or picture that did not load, so that a test sees them
// in every engine (classic WebDriver tells of none), and across reloads.
(() => {
  'use strict';
  const tell = what => {
    try {
      navigator.sendBeacon('/troubles', `${what} (${location.pathname})`);
    } catch (e) { /* the server is gone: the test is offline */ }
  };
  addEventListener('error', e => {
    const what = e.target && e.target !== window ? e.target.src || e.target.href : '';
    tell(what ? `failed: ${what}` : `uncaught: ${e.message}`);
  }, true);
  addEventListener('unhandledrejection', e => tell(`uncaught: ${(e.reason && e.reason.message) || e.reason}`));
  const error = console.error;
  console.error = function (...args) {
    tell(`console: ${args.join(' ')}`);
    return error.apply(this, args);
  };
})();
