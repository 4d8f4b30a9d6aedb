// Unpacks a gzip file (RFC 1952; its data in deflate, RFC 1951) for a
// browser without DecompressionStream (Safari before 16.4, Firefox before
// 113): the page's WebAssembly and pictures are kept gzipped. The page
// loads this only in such a browser. Slower than the browser's own, but a
// few hundred kilobytes once a visit.
//   kvGunzip(Uint8Array) -> Uint8Array; throws on a file that is not gzip
//   or is cut short.
(function () {
  'use strict';
  var LENGTH_BASE = [3, 4, 5, 6, 7, 8, 9, 10, 11, 13, 15, 17, 19, 23, 27, 31, 35, 43, 51, 59, 67, 83, 99, 115,
                     131, 163, 195, 227, 258];
  var LENGTH_EXTRA = [0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0];
  var DISTANCE_BASE = [1, 2, 3, 4, 5, 7, 9, 13, 17, 25, 33, 49, 65, 97, 129, 193, 257, 385, 513, 769, 1025,
                       1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577];
  var DISTANCE_EXTRA = [0, 0, 0, 0, 1, 1, 2, 2, 3, 3, 4, 4, 5, 5, 6, 6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12,
                        13, 13];
  // The order in which a dynamic block gives its code-length code's lengths.
  var LENGTH_ORDER = [16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15];

  // A canonical Huffman code from its symbols' code lengths: how many codes
  // there are of each length, and the symbols in the order of their codes.
  function huffman(lengths) {
    var counts = new Uint16Array(16), symbols = new Uint16Array(lengths.length), next = new Uint16Array(16);
    for (var i = 0; i < lengths.length; i++) counts[lengths[i]]++;
    counts[0] = 0;
    for (i = 1; i < 16; i++) next[i] = next[i - 1] + counts[i - 1];
    for (i = 0; i < lengths.length; i++)
      if (lengths[i]) symbols[next[lengths[i]]++] = i;
    return { counts: counts, symbols: symbols };
  }

  var fixedLiterals, fixedDistances;

  window.kvGunzip = function (input) {
    if (input[0] !== 31 || input[1] !== 139 || input[2] !== 8) throw new Error('not a gzip file');
    var flags = input[3], at = 10, end = input.length;
    if (flags & 4) at += 2 + (input[at] | input[at + 1] << 8);  // extra field
    if (flags & 8) while (input[at++]);  // file name
    if (flags & 16) while (input[at++]);  // comment
    if (flags & 2) at += 2;  // header check
    var size = (input[end - 4] | input[end - 3] << 8 | input[end - 2] << 16 | input[end - 1] << 24) >>> 0;
    var out = new Uint8Array(size), o = 0, held = 0, count = 0;

    // The next n bits, the first of them lowest.
    function bits(n) {
      while (count < n) {
        if (at >= end) throw new Error('the gzip file is cut short');
        held |= input[at++] << count;
        count += 8;
      }
      var value = held & ((1 << n) - 1);
      held >>>= n;
      count -= n;
      return value;
    }

    // One symbol of a code, read a bit at a time.
    function decode(code) {
      var bitsSoFar = 0, first = 0, index = 0;
      for (var length = 1; length < 16; length++) {
        bitsSoFar |= bits(1);
        var n = code.counts[length];
        if (bitsSoFar - first < n) return code.symbols[index + bitsSoFar - first];
        index += n;
        first = (first + n) << 1;
        bitsSoFar <<= 1;
      }
      throw new Error('a bad code in the gzip file');
    }

    function dynamicCodes() {
      var literals = bits(5) + 257, distances = bits(5) + 1, lengthCodes = bits(4) + 4;
      var codeLengths = new Uint8Array(19), lengths = new Uint8Array(literals + distances);
      for (var i = 0; i < lengthCodes; i++) codeLengths[LENGTH_ORDER[i]] = bits(3);
      var lengthCode = huffman(codeLengths);
      for (i = 0; i < lengths.length;) {
        var symbol = decode(lengthCode);
        if (symbol < 16) {
          lengths[i++] = symbol;
          continue;
        }
        var repeated = symbol === 16 ? lengths[i - 1] : 0;
        var times = symbol === 16 ? 3 + bits(2) : symbol === 17 ? 3 + bits(3) : 11 + bits(7);
        while (times--) lengths[i++] = repeated;
      }
      return [huffman(lengths.subarray(0, literals)), huffman(lengths.subarray(literals))];
    }

    function fixedCodes() {
      if (!fixedLiterals) {
        var lengths = new Uint8Array(288);
        lengths.fill(8, 0, 144);
        lengths.fill(9, 144, 256);
        lengths.fill(7, 256, 280);
        lengths.fill(8, 280, 288);
        fixedLiterals = huffman(lengths);
        fixedDistances = huffman(new Uint8Array(30).fill(5));
      }
      return [fixedLiterals, fixedDistances];
    }

    for (var last = 0; !last;) {
      last = bits(1);
      var type = bits(2);
      if (type === 0) {  // stored: from the next byte on, as it is
        held = count = 0;
        var length = input[at] | input[at + 1] << 8;
        at += 4;
        out.set(input.subarray(at, at + length), o);
        o += length;
        at += length;
        continue;
      }
      if (type === 3) throw new Error('a bad block in the gzip file');
      var codes = type === 1 ? fixedCodes() : dynamicCodes();
      for (;;) {
        var symbol = decode(codes[0]);
        if (symbol < 256) {
          out[o++] = symbol;
        } else if (symbol === 256) {
          break;
        } else {
          symbol -= 257;
          var copy = LENGTH_BASE[symbol] + bits(LENGTH_EXTRA[symbol]);
          var d = decode(codes[1]), back = DISTANCE_BASE[d] + bits(DISTANCE_EXTRA[d]);
          for (; copy > 0; copy--, o++) out[o] = out[o - back];
        }
      }
    }
    return out;
  };
})();
