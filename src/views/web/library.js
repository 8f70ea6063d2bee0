// The page's side of the web view: native elements for the program's controls, the window they stand in, its
// timers and its services. The C++ side (window.cpp, native.cpp, library.h) calls these; the page's events
// call back into it through the functions it exports (qm_*).
mergeInto(LibraryManager.library, {
  $QM__postset: 'QM.init();',
  $QM: {
    // id: {div, printed, announcer, pointer, timers, posted, observer, and the page's own event callbacks:
    // resized, runPosted, painted, activated, each timer's tick}
    windows: null,
    elements: null, // id: {element, window, native, composing, caption, halfWidthSpaces, inkSample}
    nextId: 1,
    audio: null,

    // Made here: the library's objects are written out as text, which keeps no Map.
    init: function () {
      QM.windows = new Map();
      QM.elements = new Map();
    },

    // Hands a JavaScript string to a C++ function taking (..., pointer, length): a UTF-16 copy on the heap
    // (texts go in and out of the heap through quillmarkText and quillmarkStore, platform/system/text_web.js).
    withText: function (text, call) {
      var pointer = _malloc(text.length * 2 + 2);
      quillmarkStore(text, pointer, text.length);
      try {
        return call(pointer, text.length);
      } finally {
        _free(pointer);
      }
    },

    // A colour as CSS, from its red, green and blue (0 to 255).
    css: function (red, green, blue) {
      return 'rgb(' + red + ',' + green + ',' + blue + ')';
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

    // Places the strokes of the ink sample as the program places a caption by its ink (CJK faces differ in
    // ascent by a third of an em, and the bar is barely taller than its font). The baseline is found where the
    // page lays it out (an empty inline box sits on it), the ink about it from the face's own measures.
    place: function (item) {
      var element = item.element;
      var ink = element.firstChild;
      if (!item.inkSample || !ink || ink.className !== 'ink')
        return;
      // Measured once the window shows (qm_showWindow): a hidden one has no layout to measure. And measured
      // when there is ink to place: the bar starts out with a blank caption, which the first paint need not wait
      // for.
      if (QM.windows.get(item.window).div.hidden || element.hidden || !item.caption.trim())
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
      ink.style.top = _qm_inkShift(rows, top, bottom) + 'px';
    },

    // An element's ARIA attribute, or none for an empty text: nothing left of the control shown before.
    aria: function (id, attribute, pointer, length) {
      var element = QM.elements.get(id).element;
      if (length)
        element.setAttribute(attribute, quillmarkText(pointer, length));
      else
        element.removeAttribute(attribute);
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
  qm_window: function (pointer) {
    var id = QM.nextId++;
    var div = document.createElement('div');
    div.className = 'quillmark-form';
    div.lang = 'zh-CN';
    div.hidden = true;
    // Two regions whose words screen readers say as they come, politely. The printed lines, on the window's
    // surface under the controls; and what the program announces, for screen readers alone, seen by no one.
    var liveRegion = function () {
      var region = div.appendChild(document.createElement('div'));
      region.setAttribute('role', 'status');
      region.setAttribute('aria-live', 'polite');
      return region;
    };
    var printed = liveRegion();
    printed.className = 'printed';
    var announcer = liveRegion();
    Object.assign(announcer.style, {position: 'absolute', width: '1px', height: '1px', overflow: 'hidden',
      clipPath: 'inset(50%)', whiteSpace: 'nowrap'});
    (document.getElementById('quillmark') || document.body).appendChild(div);
    // A scroll container only for its resizer: a box typed into beyond its edge, or a search of the page, must
    // not scroll the controls.
    div.addEventListener('scroll', function () {
      div.scrollLeft = div.scrollTop = 0;
    });
    var win = {div: div, printed: printed, announcer: announcer, pointer: pointer, timers: {}, posted: false,
      observer: null};
    QM.windows.set(id, win);
    // The page's events that concern the window as a whole, kept by name for what drives it in its tests.
    win.resized = function () {
      _qm_resized(pointer);
    };
    win.activated = function () {
      _qm_activated(pointer);
    };
    window.addEventListener('focus', win.activated);

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
      _qm_mayHaveLeft(item.native);
    });
    div.addEventListener('focusin', function (event) {
      var item = QM.itemOf(event.target);
      if (item)
        _qm_focused(item.native);
    });
    div.addEventListener('focusout', function (event) {
      var item = QM.itemOf(event.target);
      if (item)
        _qm_mayHaveLeft(item.native);
    });
    div.addEventListener('keydown', function (event) {
      // Tab and Enter are the program's to decide, with the modifiers held; an input method's keys are its own.
      if (event.isComposing || (event.key !== 'Tab' && event.key !== 'Enter'))
        return;
      var item = QM.itemOf(event.target);
      if (_qm_key(pointer, item ? item.native : 0, event.key === 'Enter', event.shiftKey, event.ctrlKey, event.altKey,
                  event.metaKey))
        event.preventDefault();
    });
    if (window.ResizeObserver) {
      win.observer = new ResizeObserver(win.resized);
      win.observer.observe(div);
    }
    return id;
  },

  qm_look__deps: ['$QM'],
  qm_look: function (id, titlePointer, titleLength, width, height, familyPointer, familyLength, points) {
    var div = QM.windows.get(id).div;
    div.style.width = width + 'px';
    div.style.height = height + 'px';
    div.style.fontFamily = quillmarkText(familyPointer, familyLength);
    div.style.fontSize = points + 'pt';
    var title = quillmarkText(titlePointer, titleLength);
    div.setAttribute('aria-label', title);
    document.title = title;
  },

  qm_closeWindow__deps: ['$QM'],
  qm_closeWindow: function (id) {
    var win = QM.windows.get(id);
    Object.keys(win.timers).forEach(function (timer) {
      clearInterval(win.timers[timer].handle);
    });
    if (win.observer)
      win.observer.disconnect();
    window.removeEventListener('focus', win.activated);
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
    win.painted = function () {
      if (QM.windows.has(id))
        _qm_painted(win.pointer);
    };
    requestAnimationFrame(function () {
      setTimeout(win.painted, 0);
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

  // The runtime's call once the current event is over.
  qm_post__deps: ['$QM'],
  qm_post: function (id) {
    var win = QM.windows.get(id);
    if (win.posted)
      return;
    win.posted = true;
    win.runPosted = win.runPosted || function () {
      if (QM.windows.has(id) && win.posted) {
        win.posted = false;
        _qm_afterEvent(win.pointer);
      }
    };
    queueMicrotask(win.runPosted);
  },

  qm_setTimer__deps: ['$QM'],
  qm_setTimer: function (id, timer, milliseconds) {
    var win = QM.windows.get(id);
    if (win.timers[timer] !== undefined) {
      clearInterval(win.timers[timer].handle);
      delete win.timers[timer];
    }
    if (milliseconds > 0) {
      var tick = function () {
        _qm_timer(win.pointer, timer);
      };
      win.timers[timer] = {handle: setInterval(tick, milliseconds), tick: tick};
    }
  },

  qm_printed__deps: ['$QM'],
  qm_printed: function (id, pointer, length) {
    QM.windows.get(id).printed.textContent = quillmarkText(pointer, length);
  },

  qm_make__deps: ['$QM'],
  qm_make: function (window, classPointer, classLength, native) {
    var className = quillmarkText(classPointer, classLength);
    var element = document.createElement({label: 'div', box: 'input', button: 'button', list: 'select'}[className]);
    element.className = className;
    if (className === 'box') {
      element.type = 'text';
      element.autocomplete = 'off';
      element.spellcheck = false;
    } else if (className === 'button') {
      element.type = 'button';
    } else if (className === 'list') {
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
    var text = quillmarkText(pointer, length);
    if (item.element.tagName === 'INPUT') {
      // A fresh value: the browser keeps no undo history of another box's.
      item.element.value = text;
    } else {
      item.caption = text;
      QM.setCaption(item);
    }
  },

  qm_colours__deps: ['$QM'],
  qm_colours: function (id, own, red, green, blue, textRed, textGreen, textBlue) {
    var element = QM.elements.get(id).element;
    var style = element.style;
    element.classList.toggle('own-colours', !!own);
    style.backgroundColor = own ? QM.css(red, green, blue) : '';
    style.color = own ? QM.css(textRed, textGreen, textBlue) : '';
  },

  qm_alignment__deps: ['$QM'],
  qm_alignment: function (id, right) {
    QM.elements.get(id).element.style.textAlign = right ? 'right' : 'left';
  },

  qm_style__deps: ['$QM'],
  qm_style: function (id, familyPointer, familyLength, points, weight, italic, underline, strikeOut,
                      halfWidthSpaces, samplePointer, sampleLength) {
    var item = QM.elements.get(id);
    var style = item.element.style;
    if (familyLength) {
      style.fontFamily = quillmarkText(familyPointer, familyLength);
      style.fontSize = points + 'pt';
      style.fontWeight = weight;
      style.fontStyle = italic ? 'italic' : 'normal';
      style.textDecoration = (underline ? 'underline ' : '') + (strikeOut ? 'line-through' : '');
    } else {
      style.fontFamily = style.fontSize = style.fontWeight = style.fontStyle = style.textDecoration = '';
    }
    item.halfWidthSpaces = !!halfWidthSpaces;
    item.inkSample = quillmarkText(samplePointer, sampleLength);
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
    option.textContent = quillmarkText(pointer, length);
    QM.elements.get(id).element.appendChild(option);
  },

  qm_name__deps: ['$QM'],
  qm_name: function (id, pointer, length) {
    QM.aria(id, 'aria-label', pointer, length);
  },

  qm_description__deps: ['$QM'],
  qm_description: function (id, pointer, length) {
    QM.aria(id, 'aria-description', pointer, length);
  },

  qm_announce__deps: ['$QM'],
  qm_announce: function (id, pointer, length) {
    // A new text node each time: the same words said again are news to a live region too.
    QM.windows.get(QM.elements.get(id).window).announcer.replaceChildren(
      document.createTextNode(quillmarkText(pointer, length)));
  },

  qm_stackUnder__deps: ['$QM'],
  qm_stackUnder: function (id, above) {
    // Later elements lie over earlier ones.
    var element = QM.elements.get(id).element;
    var parent = element.parentNode;
    parent.insertBefore(element, above ? QM.elements.get(above).element : null);
  },

  qm_focus__deps: ['$QM'],
  qm_focus: function (id, selectAll) {
    var element = QM.elements.get(id).element;
    // An answer box beyond the window's edge takes the focus unseen: the form does not scroll to it.
    element.focus({preventScroll: true});
    if (selectAll && element.tagName === 'INPUT')
      element.select();
  },

  qm_composing__deps: ['$QM'],
  qm_composing: function (id) {
    return QM.elements.get(id).composing ? 1 : 0;
  },

  // Services

  qm_alert__deps: ['$QM'],
  qm_alert: function (pointer, length) {
    window.alert(quillmarkText(pointer, length));
  },

  qm_open__deps: ['$QM'],
  qm_open: function (pointer, length) {
    // Opened with its opener cut at once rather than with 'noopener', which would hide whether a blocker
    // refused it.
    try {
      var opened = window.open(quillmarkText(pointer, length), '_blank');
      if (opened)
        opened.opener = null;
      return opened ? 1 : 0;
    } catch (error) {
      return 0;
    }
  },

  qm_beep__deps: ['$QM'],
  qm_beep: function () {
    QM.beep();
  },
});
