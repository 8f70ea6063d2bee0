// The page's side of the web view: native elements for the program's controls, the window they stand in, its
// timers and its services. The C++ side (window.cpp, native.cpp, services.cpp) calls these; the page's events
// call back into it through the functions it exports (qm_*).
mergeInto(LibraryManager.library, {
  $QM__postset: 'QM.init();',
  $QM: {
    windows: null, // id: {div, printed, pointer, timers, posted, observer}
    elements: null, // id: {element, window, native, composing, caption, halfWidthSpaces, inkSample}
    nextId: 1,
    // Milliseconds that the machine slept (see sleptBy), and the highest lead of the wall clock over the
    // monotonic one so far.
    slept: 0,
    highestLead: 0,
    audio: null,

    // Made here: the library's objects are written out as text, which keeps no Map.
    init: function () {
      QM.windows = new Map();
      QM.elements = new Map();
      QM.highestLead = Date.now() - performance.now();
    },

    text: function (pointer, length) {
      return UTF16ToString(pointer, length * 2);
    },

    // Hands a JavaScript string to a C++ function taking (..., pointer, length): a UTF-16 copy on the heap.
    withText: function (text, call) {
      var bytes = text.length * 2 + 2;
      var pointer = _malloc(bytes);
      stringToUTF16(text, pointer, bytes);
      try {
        return call(pointer, text.length);
      } finally {
        _free(pointer);
      }
    },

    // The colour 0x00BBGGRR as CSS.
    css: function (colour) {
      return 'rgb(' + (colour & 0xff) + ',' + ((colour >> 8) & 0xff) + ',' + ((colour >> 16) & 0xff) + ')';
    },

    // SimSun where the system has it, then another Song (Ming) face, then any Chinese face.
    family: function (name) {
      if (name !== '宋体')
        return JSON.stringify(name) + ', serif';
      return '"SimSun", "宋体", "NSimSun", "Songti SC", "STSong", "AR PL UMing CN", "AR PL UMing TW", ' +
        '"Noto Serif CJK SC", "Source Han Serif SC", "Noto Serif SC", serif';
    },

    // A caption whose spaces are half as wide as a Chinese character: each space in a box of half an em, the
    // text itself as it is, for screen readers too.
    setCaption: function (item) {
      var element = item.element;
      var text = item.caption;
      element.textContent = '';
      // A caption placed by its ink moves as one piece (see place).
      var holder = item.inkSample ? element.appendChild(document.createElement('span')) : element;
      if (item.inkSample)
        holder.className = 'ink';
      if (!item.halfWidthSpaces || text.indexOf(' ') < 0) {
        holder.textContent = text;
      } else {
        text.split(/( )/).forEach(function (part) {
          if (part === ' ') {
            var space = document.createElement('span');
            space.className = 'space';
            space.textContent = ' ';
            holder.appendChild(space);
          } else if (part) {
            holder.appendChild(document.createTextNode(part));
          }
        });
      }
      QM.place(item);
    },

    // Keeps the strokes of the ink sample off the label's first and last rows, where they fit, else centres
    // them: CJK faces differ in ascent by a third of an em, and the bar is barely taller than its font. The
    // baseline is found where the page lays it out (an empty inline box sits on it), the ink about it from the
    // face's own measures.
    place: function (item) {
      var element = item.element;
      var ink = element.firstChild;
      if (!item.inkSample || !ink || ink.className !== 'ink')
        return;
      // Measured once the window shows (qm_showWindow): a hidden one has no layout to measure.
      if (QM.windows.get(item.window).div.hidden || element.hidden)
        return;
      var style = getComputedStyle(element);
      var context = (QM.canvas = QM.canvas || document.createElement('canvas')).getContext('2d');
      context.font = style.fontWeight + ' ' + style.fontSize + ' ' + style.fontFamily;
      var metrics = context.measureText(item.inkSample);
      ink.style.top = '0px';
      var marker = ink.appendChild(document.createElement('span'));
      marker.style.display = 'inline-block';
      var baseline = marker.getBoundingClientRect().top - element.getBoundingClientRect().top - element.clientTop;
      ink.removeChild(marker);
      var rows = element.clientHeight;
      var top = Math.floor(baseline - metrics.actualBoundingBoxAscent);
      var bottom = Math.ceil(baseline + metrics.actualBoundingBoxDescent) - 1;
      var move = bottom - top <= rows - 3 ? Math.min(Math.max(0, 1 - top), rows - 2 - bottom)
                                          : Math.floor((rows - 1 - top - bottom) / 2);
      ink.style.top = move + 'px';
    },

    // The time the machine slept, as of the two clocks' readings now: the monotonic clock stops in a sleep in
    // some browsers, the wall clock does not, so its lead grows by the sleep. Only a lead beyond the highest so
    // far counts, and only by more than a second: a wall clock set back lowers the lead, and its correction
    // forward only restores it.
    sleptBy: function (monotonic, wall) {
      var lead = wall - monotonic;
      if (lead > QM.highestLead) {
        if (lead - QM.highestLead > 1000)
          QM.slept += lead - QM.highestLead;
        QM.highestLead = lead;
      }
      return QM.slept;
    },

    itemOf: function (target) {
      for (var node = target; node; node = node.parentNode)
        if (node.quillmarkId)
          return QM.elements.get(node.quillmarkId);
      return null;
    },

    // A short tone for a refused input; nothing where the page may not play sound.
    beep: function () {
      try {
        var Context = window.AudioContext || window.webkitAudioContext;
        if (!Context)
          return;
        var audio = (QM.audio = QM.audio || new Context());
        if (audio.state !== 'running')
          audio.resume();
        var tone = audio.createOscillator();
        var volume = audio.createGain();
        tone.frequency.value = 880;
        volume.gain.value = 0.1;
        tone.connect(volume).connect(audio.destination);
        tone.start();
        tone.stop(audio.currentTime + 0.12);
      } catch (error) {
        // No sound here: the selected text says the rest.
      }
    },
  },

  qm_window__deps: ['$QM'],
  qm_window: function (pointer, titlePointer, titleLength, width, height, fontPointer, fontLength, points) {
    var id = QM.nextId++;
    var div = document.createElement('div');
    div.className = 'quillmark-form';
    div.lang = 'zh-CN';
    div.hidden = true;
    div.style.width = width + 'px';
    div.style.height = height + 'px';
    div.style.fontFamily = QM.family(QM.text(fontPointer, fontLength));
    div.style.fontSize = points + 'pt';
    // The printed lines: on the window's surface, under the controls, and announced as they come.
    var printed = document.createElement('div');
    printed.className = 'printed';
    printed.setAttribute('role', 'status');
    printed.setAttribute('aria-live', 'polite');
    div.appendChild(printed);
    var title = QM.text(titlePointer, titleLength);
    div.setAttribute('aria-label', title);
    document.title = title;
    (document.getElementById('quillmark') || document.body).appendChild(div);
    // A scroll container only for its resizer: a box typed into beyond its edge, or a search of the page, must
    // not scroll the controls.
    div.addEventListener('scroll', function () {
      div.scrollLeft = div.scrollTop = 0;
    });
    var win = {div: div, printed: printed, pointer: pointer, timers: {}, posted: false, observer: null};
    QM.windows.set(id, win);

    div.addEventListener('click', function (event) {
      var item = QM.itemOf(event.target);
      if (item && item.element.tagName === 'BUTTON')
        _qm_clicked(item.native);
    });
    div.addEventListener('input', function (event) {
      var item = QM.itemOf(event.target);
      if (item && !event.isComposing)
        QM.withText(item.element.value, function (text, length) {
          _qm_typed(item.native, text, length);
        });
    });
    div.addEventListener('compositionstart', function (event) {
      var item = QM.itemOf(event.target);
      if (item)
        item.composing = true;
    });
    div.addEventListener('compositionend', function (event) {
      var item = QM.itemOf(event.target);
      if (!item)
        return;
      item.composing = false;
      QM.withText(item.element.value, function (text, length) {
        _qm_typed(item.native, text, length);
      });
      _qm_idle(item.native);
    });
    div.addEventListener('focusin', function (event) {
      var item = QM.itemOf(event.target);
      if (item)
        _qm_focused(item.native);
    });
    div.addEventListener('focusout', function (event) {
      var item = QM.itemOf(event.target);
      if (item)
        _qm_idle(item.native);
    });
    div.addEventListener('keydown', function (event) {
      if (event.isComposing || event.altKey || event.ctrlKey || event.metaKey)
        return;
      var item = QM.itemOf(event.target);
      // Tab follows the form's keyboard order, answer boxes out of view included, round from the last control
      // to the first as in a desktop window.
      if (event.key === 'Tab' && _qm_tab(pointer, event.shiftKey ? 1 : 0))
        event.preventDefault();
      else if (event.key === 'Enter' && item && item.element.tagName === 'INPUT' && _qm_enter(item.native))
        event.preventDefault();
    });
    if (window.ResizeObserver) {
      win.observer = new ResizeObserver(function () {
        _qm_resized(pointer);
      });
      win.observer.observe(div);
    }
    return id;
  },

  qm_closeWindow__deps: ['$QM'],
  qm_closeWindow: function (id) {
    var win = QM.windows.get(id);
    Object.keys(win.timers).forEach(function (timer) {
      clearInterval(win.timers[timer]);
    });
    if (win.observer)
      win.observer.disconnect();
    win.div.remove();
    QM.windows.delete(id);
  },

  qm_showWindow__deps: ['$QM'],
  qm_showWindow: function (id) {
    var win = QM.windows.get(id);
    win.div.hidden = false;
    QM.elements.forEach(function (item) {
      if (item.window === id)
        QM.place(item);
    });
    // Once the frame that shows the window has been drawn.
    requestAnimationFrame(function () {
      setTimeout(function () {
        if (QM.windows.has(id))
          _qm_painted(win.pointer);
      }, 0);
    });
  },

  qm_clientWidth__deps: ['$QM'],
  // Its size as set while the window is hidden: its load runs before it shows.
  qm_clientWidth: function (id) {
    var div = QM.windows.get(id).div;
    return div.hidden ? parseInt(div.style.width, 10) : div.clientWidth;
  },

  qm_clientHeight__deps: ['$QM'],
  qm_clientHeight: function (id) {
    var div = QM.windows.get(id).div;
    return div.hidden ? parseInt(div.style.height, 10) : div.clientHeight;
  },

  // The runtime's call once the current event is over; a driver may run it sooner (qm_runPosted).
  qm_post__deps: ['$QM'],
  qm_post: function (id) {
    var win = QM.windows.get(id);
    if (win.posted)
      return;
    win.posted = true;
    queueMicrotask(function () {
      if (QM.windows.has(id) && win.posted) {
        win.posted = false;
        _qm_afterEvent(win.pointer);
      }
    });
  },

  qm_runPosted__deps: ['$QM'],
  qm_runPosted: function (id) {
    var win = QM.windows.get(id);
    if (!win.posted)
      return 0;
    win.posted = false;
    return 1;
  },

  qm_setTimer__deps: ['$QM'],
  qm_setTimer: function (id, timer, milliseconds) {
    var win = QM.windows.get(id);
    if (win.timers[timer] !== undefined) {
      clearInterval(win.timers[timer]);
      delete win.timers[timer];
    }
    if (milliseconds > 0)
      win.timers[timer] = setInterval(function () {
        _qm_timer(win.pointer, timer);
      }, milliseconds);
  },

  qm_timerRuns__deps: ['$QM'],
  qm_timerRuns: function (id, timer) {
    return QM.windows.get(id).timers[timer] !== undefined ? 1 : 0;
  },

  qm_printed__deps: ['$QM'],
  qm_printed: function (id, pointer, length) {
    QM.windows.get(id).printed.textContent = QM.text(pointer, length);
  },

  qm_make__deps: ['$QM'],
  qm_make: function (window, kind, native) {
    var tags = ['div', 'input', 'button', 'select'];
    var element = document.createElement(tags[kind]);
    element.className = ['label', 'box', 'button', 'list'][kind];
    if (kind === 1) {
      element.type = 'text';
      element.autocomplete = 'off';
      element.spellcheck = false;
    } else if (kind === 2) {
      element.type = 'button';
    } else if (kind === 3) {
      element.size = 2;
    }
    element.hidden = true;
    var id = QM.nextId++;
    element.quillmarkId = id;
    QM.elements.set(id, {element: element, window: window, native: native, composing: false, caption: '',
      halfWidthSpaces: false, inkSample: ''});
    QM.windows.get(window).div.appendChild(element);
    return id;
  },

  qm_destroy__deps: ['$QM'],
  qm_destroy: function (id) {
    QM.elements.get(id).element.remove();
    QM.elements.delete(id);
  },

  qm_bounds__deps: ['$QM'],
  qm_bounds: function (id, left, top, width, height) {
    var style = QM.elements.get(id).element.style;
    style.left = left + 'px';
    style.top = top + 'px';
    style.width = width + 'px';
    style.height = height + 'px';
  },

  qm_visible__deps: ['$QM'],
  qm_visible: function (id, visible) {
    var item = QM.elements.get(id);
    item.element.hidden = !visible;
    if (visible)
      QM.place(item);
  },

  qm_enabled__deps: ['$QM'],
  qm_enabled: function (id, enabled) {
    var element = QM.elements.get(id).element;
    if (element.tagName === 'DIV')
      element.classList.toggle('disabled', !enabled);
    else
      element.disabled = !enabled;
  },

  qm_text__deps: ['$QM'],
  qm_text: function (id, pointer, length) {
    var item = QM.elements.get(id);
    var text = QM.text(pointer, length);
    if (item.element.tagName === 'INPUT') {
      // A fresh value: the browser keeps no undo history of another box's.
      item.element.value = text;
    } else {
      item.caption = text;
      QM.setCaption(item);
    }
  },

  qm_colours__deps: ['$QM'],
  qm_colours: function (id, own, background, text) {
    var element = QM.elements.get(id).element;
    var style = element.style;
    element.classList.toggle('own-colours', !!own);
    style.backgroundColor = own ? QM.css(background) : '';
    style.color = own ? QM.css(text) : '';
  },

  qm_alignment__deps: ['$QM'],
  qm_alignment: function (id, right) {
    QM.elements.get(id).element.style.textAlign = right ? 'right' : 'left';
  },

  qm_style__deps: ['$QM'],
  qm_style: function (id, namePointer, nameLength, points, weight, italic, underline, strikeOut, halfWidthSpaces,
                      samplePointer, sampleLength) {
    var item = QM.elements.get(id);
    var style = item.element.style;
    if (namePointer) {
      style.fontFamily = QM.family(QM.text(namePointer, nameLength));
      style.fontSize = points + 'pt';
      style.fontWeight = weight;
      style.fontStyle = italic ? 'italic' : 'normal';
      style.textDecoration = (underline ? 'underline ' : '') + (strikeOut ? 'line-through' : '');
    } else {
      style.fontFamily = style.fontSize = style.fontWeight = style.fontStyle = style.textDecoration = '';
    }
    item.halfWidthSpaces = !!halfWidthSpaces;
    item.inkSample = QM.text(samplePointer, sampleLength);
    if (item.element.tagName === 'DIV')
      QM.setCaption(item);
  },

  qm_clearItems__deps: ['$QM'],
  qm_clearItems: function (id) {
    QM.elements.get(id).element.textContent = '';
  },

  qm_addItem__deps: ['$QM'],
  qm_addItem: function (id, pointer, length) {
    var option = document.createElement('option');
    option.textContent = QM.text(pointer, length);
    QM.elements.get(id).element.appendChild(option);
  },

  qm_name__deps: ['$QM'],
  qm_name: function (id, pointer, length) {
    var element = QM.elements.get(id).element;
    if (length)
      element.setAttribute('aria-label', QM.text(pointer, length));
    else
      element.removeAttribute('aria-label');
  },

  qm_stackUnder__deps: ['$QM'],
  qm_stackUnder: function (id, above) {
    // Later elements lie over earlier ones.
    var element = QM.elements.get(id).element;
    var parent = element.parentNode;
    parent.insertBefore(element, above ? QM.elements.get(above).element : null);
  },

  qm_focus__deps: ['$QM'],
  qm_focus: function (id) {
    var element = QM.elements.get(id).element;
    // An answer box beyond the window's edge takes the focus unseen: the form does not scroll to it.
    element.focus({preventScroll: true});
    if (element.tagName === 'INPUT')
      element.select();
  },

  qm_composing__deps: ['$QM'],
  qm_composing: function (id) {
    return QM.elements.get(id).composing ? 1 : 0;
  },

  // Services

  // Milliseconds from a monotonic clock (performance.now), plus the time the machine slept: the exam's time
  // runs on through a sleep as it does on the desktop. A wall clock set back or corrected changes nothing.
  qm_tickCount__deps: ['$QM'],
  qm_tickCount: function () {
    var monotonic = performance.now();
    return Math.floor(monotonic + QM.sleptBy(monotonic, Date.now())) | 0;
  },

  qm_alert__deps: ['$QM'],
  qm_alert: function (pointer, length) {
    window.alert(QM.text(pointer, length));
  },

  qm_open__deps: ['$QM'],
  qm_open: function (pointer, length) {
    // A blocked pop-up is no reason to stop the exam.
    try {
      window.open(QM.text(pointer, length), '_blank', 'noopener');
    } catch (error) {
    }
    return 1;
  },

  qm_beep__deps: ['$QM'],
  qm_beep: function () {
    QM.beep();
  },

  // The directory's length in code units; the directory itself too where capacity has room for it and a zero.
  qm_directory__deps: ['$QM'],
  qm_directory: function (pointer, capacity) {
    var directory = Module.quillmarkDirectory || '/';
    if (capacity > directory.length)
      stringToUTF16(directory, pointer, capacity * 2);
    return directory.length;
  },
});
