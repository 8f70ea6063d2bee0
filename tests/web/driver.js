// The page's side of the browser view's driver (driver.cpp): a user's actions on the elements of the view
// (src/views/web/library.js) and what the user sees of them.
mergeInto(LibraryManager.library, {
  web_click__deps: ['$QM'],
  web_click: function (id) {
    QM.elements.get(id).element.click();
  },

  web_enabled__deps: ['$QM'],
  web_enabled: function (id) {
    var element = QM.elements.get(id).element;
    return element.tagName === 'DIV' ? !element.classList.contains('disabled') : !element.disabled;
  },

  web_visible__deps: ['$QM'],
  web_visible: function (id) {
    var item = QM.elements.get(id);
    return !item.element.hidden && !QM.windows.get(item.window).div.hidden;
  },

  web_focus__deps: ['$QM'],
  web_focus: function (id) {
    QM.elements.get(id).element.focus({preventScroll: true});
  },

  web_type__deps: ['$QM'],
  web_type: function (id, pointer, length) {
    var element = QM.elements.get(id).element;
    var text = quillmarkText(pointer, length);
    element.focus({preventScroll: true});
    element.select();
    var insert = function(part, composing) {
        element.setRangeText(part, element.selectionStart, element.selectionEnd, 'end');
        element.dispatchEvent(new InputEvent('input', {bubbles: true, inputType: part ? 'insertText' : 'deleteContentBackward',
                                                       data: part || null, isComposing: composing}));
    };
    if (!text)
        insert('', false);
    for (var i = 0; i < text.length;) {
        if (text.charCodeAt(i) < 0x80) {
            insert(text[i++], false);
            continue;
        }
        var end = i;
        while (end < text.length && text.charCodeAt(end) >= 0x80)
            ++end;
        var composed = text.substring(i, end);
        element.dispatchEvent(new CompositionEvent('compositionstart', {bubbles: true, data: ''}));
        insert(composed, true);
        element.dispatchEvent(new CompositionEvent('compositionend', {bubbles: true, data: composed}));
        i = end;
    }
  },

  web_press__deps: ['$QM'],
  web_press: function (window, enter, shift, control, alt, meta) {
    var target = document.activeElement && QM.windows.get(window).div.contains(document.activeElement)
        ? document.activeElement : QM.windows.get(window).div;
    target.dispatchEvent(new KeyboardEvent('keydown', {bubbles: true, cancelable: true, key: enter ? 'Enter' : 'Tab',
      shiftKey: !!shift, ctrlKey: !!control, altKey: !!alt, metaKey: !!meta}));
  },

  // The page's window loses the focus to another and has it back: the events the browser sends it.
  web_activate: function (window) {
    globalThis.dispatchEvent(new FocusEvent('blur'));
    globalThis.dispatchEvent(new FocusEvent('focus'));
  },

  // The callbacks the page gave the browser, called as the browser would call them.
  web_painted__deps: ['$QM'],
  web_painted: function (window) {
    QM.windows.get(window).painted();
  },

  web_tick__deps: ['$QM'],
  web_tick: function (window, timer) {
    var running = QM.windows.get(window).timers[timer];
    if (running)
      running.tick();
    return running ? 1 : 0;
  },

  web_resize__deps: ['$QM'],
  web_resize: function (window, width, height) {
    var win = QM.windows.get(window);
    win.div.style.width = width + 'px';
    win.div.style.height = height + 'px';
    win.resized(); // what its observer does before the next frame
  },

  web_settle__deps: ['$QM'],
  web_settle: function (window) {
    var win = QM.windows.get(window);
    while (win.posted)
      win.runPosted();
  },

  // A text the user sees, by its name, written into a buffer of the program's: of an element, its text, its
  // selection, its name, a list's item at index or its description; of a window, its printed lines, the last
  // thing it announced or its title. -1: no such item.
  web_read__deps: ['$QM'],
  web_read: function (id, namePointer, nameLength, index, into, capacity) {
    var item = QM.elements.get(id); // none for a window: its ids and the elements' are one count
    var text = {
      text: function (input) {
        return input.tagName === 'INPUT' ? input.value : input.textContent;
      },
      selected: function (input) {
        return input.value.substring(input.selectionStart, input.selectionEnd);
      },
      name: function (input) {
        return input.getAttribute('aria-label') || (input.tagName === 'INPUT' ? '' : input.textContent);
      },
      item: function (list) {
        return index < list.options.length ? list.options[index].textContent : null;
      },
      description: function (input) {
        return input.getAttribute('aria-description') || '';
      },
      printed: function () {
        return QM.windows.get(id).printed.textContent;
      },
      announced: function () {
        return QM.windows.get(id).announcer.textContent;
      },
      title: function () {
        return document.title;
      },
    }[quillmarkText(namePointer, nameLength)](item && item.element);
    if (text === null)
      return -1;
    var count = Math.min(text.length, capacity - 1);
    quillmarkStore(text, into, count);
    return count;
  },

  // The channel-th number of the element's background as the browser computes it, rgb(red, green, blue).
  web_background__deps: ['$QM'],
  web_background: function (id, channel) {
    var parts = getComputedStyle(QM.elements.get(id).element).backgroundColor.match(/\d+/g) || [0, 0, 0];
    return +parts[channel];
  },

  web_rect__deps: ['$QM'],
  web_rect: function (id, side) {
    var item = QM.elements.get(id);
    var form = QM.windows.get(item.window).div;
    // A hidden element has no box on the screen: where it would be.
    if (item.element.hidden || form.hidden)
      return parseFloat(item.element.style[['left', 'top', 'width', 'height'][side]]);
    var outer = form.getBoundingClientRect();
    var inner = item.element.getBoundingClientRect();
    return [inner.left - outer.left - form.clientLeft, inner.top - outer.top - form.clientTop, inner.width,
            inner.height][side];
  },

  web_focused__deps: ['$QM'],
  web_focused: function (window) {
    var item = QM.itemOf(document.activeElement);
    return item && item.window === window ? item.native : 0;
  },

  web_at__deps: ['$QM'],
  web_at: function (window, x, y) {
    var form = QM.windows.get(window).div;
    var outer = form.getBoundingClientRect();
    var item = QM.itemOf(document.elementFromPoint(outer.left + form.clientLeft + x, outer.top + form.clientTop + y));
    return item && item.window === window ? item.native : 0;
  },

  web_windowVisible__deps: ['$QM'],
  web_windowVisible: function (window) {
    return !QM.windows.get(window).div.hidden;
  },

  web_elements__deps: ['$QM'],
  web_elements: function (window) {
    return QM.windows.get(window).div.children.length - 2; // not the printed lines and the announcements
  },

  web_finished: function (status) {
    window.quillmarkTestStatus = status;
  },
});
