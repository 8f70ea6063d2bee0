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
    var text = UTF16ToString(pointer, length * 2);
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
  web_press: function (window, key, shift) {
    var target = document.activeElement && QM.windows.get(window).div.contains(document.activeElement)
        ? document.activeElement : QM.windows.get(window).div;
    target.dispatchEvent(new KeyboardEvent('keydown', {bubbles: true, cancelable: true, key: key ? 'Enter' : 'Tab',
                                                       shiftKey: !!shift}));
  },

  web_resize__deps: ['$QM'],
  web_resize: function (window, width, height) {
    var style = QM.windows.get(window).div.style;
    style.width = width + 'px';
    style.height = height + 'px';
  },

  // A text the user sees, written into a buffer of the program's: an element's text (0), its selection (1) or
  // name (2), a list's item (3), or a window's printed line (4). -1: no such item.
  web_read__deps: ['$QM'],
  web_read: function (id, what, index, into, capacity) {
    var element = what < 4 ? QM.elements.get(id).element : null;
    var text;
    if (what === 0)
      text = element.tagName === 'INPUT' ? element.value : element.textContent;
    else if (what === 1)
      text = element.value.substring(element.selectionStart, element.selectionEnd);
    else if (what === 2)
      text = element.getAttribute('aria-label') || (element.tagName === 'INPUT' ? '' : element.textContent);
    else if (what === 3)
      text = index < element.options.length ? element.options[index].textContent : null;
    else
      text = QM.windows.get(id).printed.textContent;
    if (text === null)
      return -1;
    stringToUTF16(text, into, capacity * 2);
    return Math.min(text.length, capacity - 1);
  },

  web_background__deps: ['$QM'],
  web_background: function (id) {
    var parts = getComputedStyle(QM.elements.get(id).element).backgroundColor.match(/\d+/g) || [0, 0, 0];
    return (+parts[0]) | (+parts[1] << 8) | (+parts[2] << 16);
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
    return QM.windows.get(window).div.children.length - 1;
  },

  web_finished: function (status) {
    window.quillmarkTestStatus = status;
  },
});
