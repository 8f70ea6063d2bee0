// The key file's name is the program's own, written in by the build (pagefiles.cpp).

// A line of the page's own above the window, where a user looks for the window.
function quillmarkLine(className, text) {
  var line = document.createElement('p');
  line.className = className;
  line.setAttribute('role', 'status');
  line.textContent = text;
  (document.getElementById('quillmark') || document.body).before(line);
  return line;
}

// Before the program starts: the key beside the page, kept among the page's files (files_web.cpp) where the program
// reads it at start-up as the desktop program reads the file beside it. A key that is not there (not found, a
// network error, a page opened from a file: address) or that is a page of the server's own (its error page, sent
// as a success) stays absent, and the program says so. The page asked for it at once (its preload), while the
// program itself loaded.
//
// A server that is slow to answer gets ten seconds: a key is a few hundred bytes, which any server that works
// at all sends within a second or two, and ten seconds is about as long as a user watches a blank page before
// reloading it. Then the key counts as absent, and an answer after that is ignored. Past a second, a line above
// the window says what the page waits for.
var quillmarkKey = new Promise(function (resolve) {
  var controller = new AbortController();
  var note = null;
  var moment = setTimeout(function () {
    note = quillmarkLine('quillmark-waiting', '正在读取“@KEY@”……');
  }, 1000);
  var limit = setTimeout(function () {
    controller.abort();
  }, 10000);
  var settle = function (bytes) {
    clearTimeout(moment);
    clearTimeout(limit);
    if (note)
      note.remove();
    resolve(bytes);
  };
  fetch('@KEY@', {signal: controller.signal})
    .then(function (response) {
      var type = response.headers.get('Content-Type') || '';
      return response.ok && !/^text\/html/i.test(type) ? response.arrayBuffer() : null;
    })
    .then(settle, function () {
      settle(null);
    });
});

// The page's folder, as the program's directory: the bytes of its address read as UTF-8 whatever they are (a
// folder named in GBK, a lone %), so that any address the browser loads runs the page.
function quillmarkFolder(pathname) {
  var bytes = [];
  pathname.replace(/[^/]*$/, '').split(/(%[0-9A-Fa-f]{2})/).forEach(function (part) {
    if (/^%[0-9A-Fa-f]{2}$/.test(part))
      bytes.push(parseInt(part.substring(1), 16));
    else
      bytes.push.apply(bytes, new TextEncoder().encode(part));
  });
  return new TextDecoder().decode(new Uint8Array(bytes));
}

// The script runs as soon as it has come, before the page may be parsed or styled (index.html): the program
// makes its window once the page is parsed and its style sheet applies (or has failed), which both usually came
// first.
Module.preRun = Module.preRun || [];
Module.preRun.push(function () {
  addRunDependency('page');
  (function ready() {
    var sheet = document.querySelector('link[rel="stylesheet"]');
    if (document.readyState === 'loading') {
      document.addEventListener('DOMContentLoaded', ready, {once: true});
    } else if (sheet && getComputedStyle(document.body).marginTop !== '0px') {
      var styled = function () {
        sheet.removeEventListener('load', styled);
        sheet.removeEventListener('error', styled);
        removeRunDependency('page');
      };
      sheet.addEventListener('load', styled);
      sheet.addEventListener('error', styled);
    } else {
      removeRunDependency('page');
    }
  })();
});

Module.preRun.push(function () {
  var directory = quillmarkFolder(location.pathname);
  Module.quillmarkDirectory = directory;
  Module.quillmarkFiles = {};
  addRunDependency('answer key');
  quillmarkKey.then(function (bytes) {
    quillmarkKey = null;
    if (bytes)
      Module.quillmarkFiles[directory + '@KEY@'] = new Uint8Array(bytes);
    removeRunDependency('answer key');
  });
});
// The program reads its files at start-up alone: their bytes, which a key of any size may be, go once it has.
Module.postRun = Module.postRun || [];
Module.postRun.push(function () {
  Module.quillmarkFiles = {};
});

// The program, compiled from here on while the rest of this script loads: its bytes were asked for with the
// page (its preload). A server that does not call them application/wasm has them compiled once they are all in.
// A page opened from a file: address may not fetch the program beside it, but may load a script: the program's
// bytes come in one (quillmark.wasm.js).
var quillmarkProgram = new Promise(function (resolve) {
  if (location.protocol !== 'file:') {
    resolve(WebAssembly.compileStreaming(fetch('quillmark.wasm', {credentials: 'same-origin'})).catch(function () {
      return fetch('quillmark.wasm', {credentials: 'same-origin'}).then(function (response) {
        return response.arrayBuffer();
      }).then(WebAssembly.compile);
    }));
    return;
  }
  var script = document.createElement('script');
  script.src = 'quillmark.wasm.js';
  script.onload = function () {
    resolve(WebAssembly.compile(Uint8Array.from(atob(quillmarkWasm), function (c) {
      return c.charCodeAt(0);
    })));
  };
  document.head.appendChild(script);
});
// A host whose policy refuses WebAssembly (a Content-Security-Policy without 'wasm-unsafe-eval') refuses even an
// empty program its instance (WebKit compiles it, then refuses that): the page then says what the host must allow,
// and goes no further.
Module.instantiateWasm = function (imports, receive) {
  quillmarkProgram.then(function (program) {
    return WebAssembly.instantiate(program, imports).then(function (instance) {
      receive(instance, program);
    });
  }).catch(function (error) {
    WebAssembly.instantiate(new Uint8Array([0, 0x61, 0x73, 0x6d, 1, 0, 0, 0])).then(function () {
      abort(error);
    }, function () {
      quillmarkLine('quillmark-refused',
        '本页无法运行：网站须在 Content-Security-Policy 的 script-src 中允许“\'wasm-unsafe-eval\'”。');
    });
  });
  return {};
};
