// The page's part of the game: it starts the game once its files have
// come, tells in one line what became of it (loading, a failure, the end
// and its status), offers full screen and another game, and keeps the
// game's files for playing with no network.
(function () {
  'use strict';
  var body = document.body, stage = document.getElementById('stage');
  var page = document.getElementById('page');
  var canvas = document.getElementById('canvas'), status = document.getElementById('status');
  var again = document.getElementById('again'), full = document.getElementById('fullscreen');

  function say(line) { status.textContent = line; }
  function fail(line) {
    if (body.dataset.state === 'failed' || body.dataset.state === 'ended') return;
    body.dataset.state = 'failed';
    document.getElementById('loading').hidden = true;
    say(line);
    again.hidden = false;
  }

  document.addEventListener('fullscreenchange', function () { canvas.focus(); });

  // The button leaves the keys with the canvas; the game follows the
  // browser into full screen and out of it. With touch controls the page
  // goes into full screen whole, controls and all. Where the browser has no
  // full screen for a page (an iPhone), there is no button.
  full.hidden = !document.fullscreenEnabled;
  full.addEventListener('mousedown', function (e) { e.preventDefault(); });
  full.addEventListener('click', function () {
    if (document.fullscreenElement) return;
    var whole = body.classList.contains('touch') ? page : stage;
    whole.requestFullscreen().catch(function () { say('The browser refused full screen.'); });
  });
  again.addEventListener('click', function () { location.reload(); });

  // A pad seen (the browser shows a page a pad once one of its buttons is
  // pressed): the line of its buttons.
  window.addEventListener('gamepadconnected', function () {
    document.getElementById('pad-keys').hidden = false;
  });

  // Every file of the game is asked for under this page's build, so that
  // no cache (the browser's, a host's, the service worker's) can hand the
  // page a file of another build.
  var build = document.querySelector('meta[name="krove-vestin-build"]').content;
  var ofThisBuild = function (name) { return name + '?v=' + build; };

  window.Module = {
    canvas: canvas,
    locateFile: function (name, folder) { return folder + ofThisBuild(name); },
    onCanvasSize: window.kvPlacePicture,
    print: function (text) { console.log(text); },
    printErr: function (text) { console.warn(text); },
    onAbort: function (what) {
      fail((body.dataset.state === 'loading' ? 'The game could not start: ' : 'The game stopped: ') + what);
    },
    onRuntimeInitialized: function () {
      loaded = true;
      body.dataset.state = 'running';
      say('');
      canvas.focus();
      keepForOffline();
      // main returns its exit status after the quit has saved both files.
      Module.ccall('main', 'number', [], [], { async: true }).then(function (code) {
        body.dataset.status = String(code);
        body.dataset.state = 'ended';
        full.hidden = true;
        if (code === 0) say('Krove Vestin has ended; settings and scores are kept.');
        else if (!status.textContent) say('Krove Vestin has ended with status ' + code + '.');
        again.hidden = false;
      }, function (e) { fail('The game stopped: ' + e); });
    }
  };

  // The service worker keeps the game's files (sw.js). Browsers allow one
  // only on https, 127.0.0.1 and localhost; elsewhere the game plays online
  // as ever. It is registered once this page's game has loaded all it
  // needs, and a new build's worker takes over only then, so that the new
  // files come with the next visit and never mix with this one's.
  function keepForOffline() {
    if (!workers) return;
    navigator.serviceWorker.register('sw.js', { updateViaCache: 'none' }).then(function (kept) {
      var takeOver = function (worker) {
        if (worker && navigator.serviceWorker.controller) worker.postMessage('take over');
      };
      takeOver(kept.waiting);
      kept.addEventListener('updatefound', function () {
        var worker = kept.installing;
        worker.addEventListener('statechange', function () {
          if (worker.state === 'installed') takeOver(worker);
        });
      });
    }, function () { /* no worker: the game still plays, online */ });
  }

  // A new build took over while this page was still loading the old one
  // (another tab said so): its worker hands out none of the old build's
  // files, so the page starts again, on the new build.
  var loaded = false;
  var workers = 'serviceWorker' in navigator && window.isSecureContext && /^https?:$/.test(location.protocol);
  if (workers) {
    navigator.serviceWorker.addEventListener('controllerchange', function () {
      if (!loaded) location.reload();
    });
  }

  if (typeof WebAssembly !== 'object') {
    fail('This browser cannot run WebAssembly, which the game needs.');
    return;
  }
  // A file that does not come (krove-vestin.data, say) ends in an error
  // thrown by the loader: one line says so instead of a still page.
  window.addEventListener('error', function (e) {
    fail('The game could not start: ' + ((e.error && e.error.message) || e.message) + '.');
  });
  var notCome = function (name) { fail('The game could not start: ' + name + ' did not load.'); };
  window.kvLoadGame(Module, ofThisBuild, function () {
    var script = document.createElement('script');
    script.src = ofThisBuild('krove-vestin.js');
    script.onerror = function () { notCome('krove-vestin.js'); };
    document.body.appendChild(script);
  }, notCome);
})();
