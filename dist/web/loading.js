// The game's files, fetched at once as soon as the page is read, with a bar
// of how many of their bytes have come out of how many (the sizes come
// with the page, as the build made them). The packed pictures and the
// WebAssembly are fetched here and kept gzipped in their files (an
// ordinary host sends them as they are): they are unpacked by the
// browser's DecompressionStream, or by inflate.js where it has none. The
// script comes by the page's preload and starts once the pictures are here
// too; the WebAssembly is compiled as soon as it has come. The bar goes the
// moment the game puts its first picture; a file that does not come leaves
// the page's one line saying so.
(function () {
  'use strict';
  var box = document.getElementById('loading');
  var bar = document.getElementById('loading-bar'), said = document.getElementById('loading-bytes');
  var sizes = document.querySelector('meta[name="krove-vestin-sizes"]').content.split(' ').map(Number);
  var come = [0, 0, 0];  // the script, the WebAssembly, the packed pictures
  var total = sizes[0] + sizes[1] + sizes[2];
  var kb = function (n) { return Math.round(n / 1000); };

  function show() {
    var now = come[0] + come[1] + come[2];
    bar.max = total;
    bar.value = now;
    said.textContent = kb(now) + ' of ' + kb(total) + ' KB';
  }

  // A file's bytes, counted as they come.
  function fetchCounted(url, part) {
    return fetch(url).then(function (response) {
      if (!response.ok) throw new Error('HTTP ' + response.status);
      if (!response.body || !response.body.getReader) {
        return response.arrayBuffer().then(function (bytes) {
          come[part] = bytes.byteLength;
          show();
          return bytes;
        });
      }
      var reader = response.body.getReader(), chunks = [];
      return (function next() {
        return reader.read().then(function (read) {
          if (read.done) {
            var whole = new Uint8Array(come[part]), at = 0;
            chunks.forEach(function (chunk) { whole.set(chunk, at); at += chunk.length; });
            return whole.buffer;
          }
          chunks.push(read.value);
          come[part] += read.value.length;
          show();
          return next();
        });
      })();
    });
  }

  // The file's bytes unpacked.
  var ownUnpacker = null;
  function unpacked(bytes, urlOf) {
    if (typeof DecompressionStream === 'function') {
      var stream = new Blob([bytes]).stream().pipeThrough(new DecompressionStream('gzip'));
      return new Response(stream).arrayBuffer();
    }
    ownUnpacker = ownUnpacker || new Promise(function (here, lost) {
      var script = document.createElement('script');
      script.src = urlOf('inflate.js');
      script.onload = here;
      script.onerror = lost;
      document.head.appendChild(script);
    });
    return ownUnpacker.then(function () { return window.kvGunzip(new Uint8Array(bytes)).buffer; });
  }

  // Starts fetching for the page's Module; start(Module) runs the game's
  // script once it and the pictures are here; fail(name) says a file did
  // not come.
  window.kvLoadGame = function (Module, urlOf, start, fail) {
    show();
    var failed = function (name) { return function () { box.hidden = true; fail(name); }; };
    var fetchUnpacked = function (name, part) {
      return fetchCounted(urlOf(name), part).then(function (bytes) { return unpacked(bytes, urlOf); });
    };
    var wasm = fetchUnpacked('krove-vestin.wasm', 1), data = fetchUnpacked('krove-vestin.data', 2);
    wasm.catch(failed('krove-vestin.wasm'));
    data.catch(failed('krove-vestin.data'));
    Module.instantiateWasm = function (imports, done) {
      wasm.then(function (bytes) { return WebAssembly.instantiate(bytes, imports); })
        .then(function (made) { done(made.instance, made.module); }, failed('krove-vestin.wasm'));
      return {};
    };
    Module.onFirstPicture = function () { box.hidden = true; };
    // The script, preloaded: once it has come, or the preload has failed (the
    // script's own element then says so), or where the browser preloads
    // nothing. It may have come before this ran: the browser's list of what
    // the page has fetched tells.
    var script = new Promise(function (done) {
      var preload = document.getElementById('preload-script');
      var arrived = function () {
        come[0] = sizes[0];
        show();
        done();
      };
      if (!preload.relList || !preload.relList.supports || !preload.relList.supports('preload')) done();
      if (performance.getEntriesByName && performance.getEntriesByName(preload.href).length) arrived();
      preload.addEventListener('load', arrived);
      preload.addEventListener('error', done);
    });
    Promise.all([script, data]).then(function (got) {
      Module.getPreloadedPackage = function () { return got[1]; };
      start();
    }, function () { /* said above */ });
  };
})();
