// A key by its KeyboardEvent.code ("Space", "KeyJ", "ArrowLeft"...), as
// WebDriver names it: the character it types on a US keyboard, or one of
// WebDriver's own codes for the keys that type none.
'use strict';
const special = {
  Space: ' ', Enter: '\uE007', Escape: '\uE00C', AltLeft: '\uE00A', ShiftLeft: '\uE008', ControlLeft: '\uE009',
  ArrowLeft: '\uE012', ArrowUp: '\uE013', ArrowRight: '\uE014', ArrowDown: '\uE015',
};

exports.keyValue = code => {
  if (special[code]) return special[code];
  let m = /^Key([A-Z])$/.exec(code);
  if (m) return m[1].toLowerCase();
  if ((m = /^Digit([0-9])$/.exec(code))) return m[1];
  if ((m = /^F([0-9]+)$/.exec(code))) return String.fromCharCode(0xE031 + Number(m[1]) - 1);
  throw new Error(`no WebDriver key for ${code}`);
};
