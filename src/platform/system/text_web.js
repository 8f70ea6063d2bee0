// The program's text on a page's heap, as UTF-16 unit for unit, a lone surrogate included: for the system's
// page files (files_web.cpp, gb18030_web.cpp, services_web.cpp) and the web view (library.js), which all link
// this ahead of the program. By hand: emscripten's own helpers come with its runtime in some releases and must be
// asked for in others, and some decode through a TextDecoder, which replaces a lone surrogate.

// The text of `length` code units at pointer.
function quillmarkText(pointer, length) {
  var units = HEAPU16.subarray(pointer >> 1, (pointer >> 1) + length);
  var text = '';
  for (var at = 0; at < units.length; at += 4096)
    text += String.fromCharCode.apply(null, units.subarray(at, at + 4096));
  return text;
}

// Writes the first `count` code units of text at pointer, and a NUL after them.
function quillmarkStore(text, pointer, count) {
  for (var at = 0; at < count; ++at)
    HEAPU16[(pointer >> 1) + at] = text.charCodeAt(at);
  HEAPU16[(pointer >> 1) + count] = 0;
}
