// The script layer of the page: it makes and changes the elements the window
// asks for and passes the browser's clicks, keys and timer on to the window.
// The rules of the test are in the WebAssembly; nothing here decides them.
// Old browsers run this too: ECMAScript 2020 at most, no newer DOM.

var infotestPage = (function () {
  'use strict';
  var root = document.documentElement;
  var stage = null;    // the scaled window with its boxes
  var client = null;   // Form1, the client area
  var cover = null;    // an open box and what shields the window behind it
  var elements = [];   // by control number
  var tickTimer = 0;

  var keyCodes = {
    Tab: 9, Enter: 13, Escape: 27, Esc: 27, ' ': 32, Spacebar: 32,
    ArrowLeft: 37, Left: 37, ArrowUp: 38, Up: 38, ArrowRight: 39, Right: 39, ArrowDown: 40, Down: 40
  };

  function call(name) {
    var exported = Module['_' + name];
    if (!exported) return 0;
    try {
      return exported.apply(null, Array.prototype.slice.call(arguments, 1));
    } catch (error) {
      // The WebAssembly catches its own exceptions (the window's error
      // boundary): what arrives here stopped it halfway, so the run ends.
      fail();
      return 0;
    }
  }

  function make(tag, className, id) {
    var element = document.createElement(tag);
    if (className) element.className = className;
    if (id) element.id = id;
    return element;
  }

  // The control an element belongs to, or -1.
  function controlOf(element) {
    for (; element; element = element.parentNode) {
      if (typeof element.infotestControl === 'number') return element.infotestControl;
      if (element === stage) break;
    }
    return -1;
  }

  function captionOf(control) {
    var element = elements[control];
    return element && element.infotestCaption ? element.infotestCaption : element;
  }

  function focusTarget(control) {
    var element = elements[control];
    return element && element.infotestInput ? element.infotestInput : element;
  }

  // The window at the largest scale at which it fits the viewport, never
  // above 1:1, centred; nothing is cut off and nothing scrolls.
  function fit() {
    if (!stage) return;
    var width = window.innerWidth || root.clientWidth;
    var height = window.innerHeight || root.clientHeight;
    var scale = Math.min(1, width / 794, height / 428);
    stage.style.transform = 'scale(' + scale + ')';
    stage.style.left = Math.max(0, (width - 794 * scale) / 2) + 'px';
    stage.style.top = Math.max(0, (height - 428 * scale) / 2) + 'px';
  }

  function createWindow(title) {
    removeWindow();
    var end = document.getElementById('End');
    if (end) end.parentNode.removeChild(end);
    root.removeAttribute('data-window');
    root.removeAttribute('data-exit-status');
    document.title = title;
    stage = make('div', '', 'Stage');
    stage.setAttribute('data-hidden', '');
    client = make('div', '', 'Form1');
    client.infotestControl = 0;
    stage.appendChild(client);
    document.body.appendChild(stage);
    elements = [client];
  }

  function create(control, kind, id, parent, style) {
    var element;
    if (kind === 'command') {
      element = make('button', 'command', id);
      element.type = 'button';
    } else if (kind === 'picture') {
      element = make('img', 'picture', id);
      element.src = infotestAssets.titleImage;
      element.tabIndex = 0;
      element.draggable = false;
    } else if (kind === 'frame') {
      element = make('div', 'frame', id);
      element.setAttribute('role', 'radiogroup');
      element.setAttribute('aria-labelledby', id + 'Caption');
      element.appendChild(make('div', 'frame-border'));
      element.infotestCaption = element.appendChild(make('span', 'frame-caption', id + 'Caption'));
    } else if (kind === 'option') {
      element = make('label', 'option', id);
      element.infotestInput = element.appendChild(make('input'));
      element.infotestInput.type = 'radio';
      element.infotestInput.name = 'answer';
      element.infotestCaption = element.appendChild(make('span', 'caption'));
    } else {
      element = make('div', 'label', id);
    }
    element.setAttribute('style', style);
    element.infotestControl = control;
    (elements[parent] || client).appendChild(element);
    elements[control] = element;
  }

  function setText(control, text) {
    var target = captionOf(control);
    if (target) target.textContent = text;
  }

  function setAttribute(control, name, value) {
    if (elements[control]) elements[control].setAttribute(name, value);
  }

  function setStyle(control, name, value) {
    if (elements[control]) elements[control].style.setProperty(name, value);
  }

  // "hidden" (shown or not) and "outside" (placed out of its container):
  // either way the control is not drawn, not focusable, not found and not
  // clicked, and leaves the accessibility tree.
  function setFlag(control, name, on) {
    var element = elements[control];
    if (!element) return;
    if (on) element.setAttribute('data-' + name, ''); else element.removeAttribute('data-' + name);
  }

  function checked(control) {
    var input = elements[control] && elements[control].infotestInput;
    return !!(input && input.checked);
  }

  function setChecked(control, on) {
    var input = elements[control] && elements[control].infotestInput;
    if (input) input.checked = !!on;
  }

  function focus(control) {
    var target = control > 0 ? focusTarget(control) : null;
    if (target) {
      target.focus();
    } else if (document.activeElement && document.activeElement.blur) {
      document.activeElement.blur();
    }
  }

  function focused() {
    return controlOf(document.activeElement);
  }

  function showWindow() {
    var note = document.getElementById('Note');
    if (note) note.setAttribute('hidden', '');
    stage.removeAttribute('data-hidden');
    fit();
    // Marked once the browser has drawn it.
    requestAnimationFrame(function () {
      setTimeout(function () {
        if (stage && root.getAttribute('data-window') !== 'ended') root.setAttribute('data-window', 'shown');
      }, 0);
    });
  }

  function removeWindow() {
    if (stage && stage.parentNode) stage.parentNode.removeChild(stage);
    stage = client = cover = null;
    elements = [];
  }

  function showEnd(status) {
    removeWindow();
    var end = make('div', '', 'End');
    end.appendChild(make('p')).textContent = 'Тест завершён. Эту вкладку можно закрыть.';
    var again = end.appendChild(make('p')).appendChild(make('a', '', 'Again'));
    again.textContent = 'Начать тест заново';
    again.href = '';
    again.addEventListener('click', function (event) {
      event.preventDefault();
      location.reload();
    });
    document.body.appendChild(end);
    root.setAttribute('data-exit-status', String(status));
    root.setAttribute('data-window', 'ended');
  }

  // Anything that stops the WebAssembly halfway leaves the note, never a
  // blank page, and ends the run with the internal-error status.
  function fail() {
    cancelTick();
    removeWindow();
    var note = document.getElementById('Note');
    if (note) note.removeAttribute('hidden');
    root.setAttribute('data-exit-status', '1');
    root.setAttribute('data-window', 'ended');
  }

  function openBox(title, prompt, iconAlt, iconSource) {
    if (!stage) return;
    closeBox();
    cover = make('div', '', 'MsgBoxCover');
    var box = cover.appendChild(make('div', '', 'MsgBox'));
    box.setAttribute('role', 'alertdialog');
    box.setAttribute('aria-modal', 'true');
    box.setAttribute('aria-labelledby', 'MsgBoxTitle');
    box.setAttribute('aria-describedby', 'MsgBoxText');
    box.appendChild(make('div', '', 'MsgBoxTitle')).textContent = title;
    var body = box.appendChild(make('div', '', 'MsgBoxBody'));
    var icon = body.appendChild(make('img', '', 'MsgBoxIcon'));
    icon.alt = iconAlt;
    icon.src = iconSource;
    body.appendChild(make('div', '', 'MsgBoxText')).textContent = prompt;
    var ok = box.appendChild(make('div', '', 'MsgBoxButtons')).appendChild(make('button', '', 'MsgBoxOK'));
    ok.type = 'button';
    ok.textContent = 'ОК';
    client.setAttribute('aria-hidden', 'true');
    stage.appendChild(cover);
    ok.focus();
  }

  function closeBox() {
    if (cover && cover.parentNode) cover.parentNode.removeChild(cover);
    cover = null;
    if (client) client.removeAttribute('aria-hidden');
  }

  function scheduleTick(delay) {
    cancelTick();
    if (delay < 0) return;
    // It only wakes the window, which counts the ticks due from
    // performance.now() and schedules the next wake-up itself.
    tickTimer = setTimeout(function () {
      tickTimer = 0;
      call('infotest_clock');
    }, Math.max(0, delay));
  }

  function cancelTick() {
    if (tickTimer) clearTimeout(tickTimer);
    tickTimer = 0;
  }

  function boxOpen() {
    return cover !== null;
  }

  // ---- The browser's events ----

  document.addEventListener('click', function (event) {
    if (boxOpen()) {
      if (event.target && event.target.id === 'MsgBoxOK') call('infotest_close_box');
      return;
    }
    var control = controlOf(event.target);
    if (control > 0) call('infotest_click', control);
  });

  document.addEventListener('keydown', function (event) {
    if (!stage || event.ctrlKey || event.altKey || event.metaKey) return;
    var code = keyCodes[event.key];
    if (code === undefined) {
      // While a box is open no other key does anything behind it.
      if (boxOpen()) event.preventDefault();
      return;
    }
    // A held Space or Enter presses a button once, as a native button does:
    // its repeats would otherwise race through the questions.
    if (event.repeat && (code === 13 || code === 32)) {
      event.preventDefault();
      return;
    }
    if (call('infotest_key', code, event.shiftKey ? 1 : 0)) event.preventDefault();
  });

  // The browser presses a focused button on the release of Space and Enter;
  // the window pressed it already on the key press.
  document.addEventListener('keyup', function (event) {
    var code = keyCodes[event.key];
    if (stage && (code === 13 || code === 32)) event.preventDefault();
  });

  // The focus stays in an open box.
  document.addEventListener('focusin', function (event) {
    if (boxOpen() && event.target.id !== 'MsgBoxOK') document.getElementById('MsgBoxOK').focus();
  });

  // A box with overflow hidden can still be scrolled (by focusing or
  // finding something outside it): it is put straight back.
  document.addEventListener('scroll', function (event) {
    var target = event.target;
    if (target && target.nodeType === 1 && controlOf(target) >= 0 && (target.scrollTop || target.scrollLeft)) {
      target.scrollTop = 0;
      target.scrollLeft = 0;
    }
  }, true);

  document.addEventListener('contextmenu', function (event) {
    if (controlOf(event.target) >= 0 || boxOpen()) event.preventDefault();
  });

  window.addEventListener('resize', fit);
  window.addEventListener('pagehide', function (event) {
    if (!event.persisted) call('infotest_page_closing');
  });

  return {
    createWindow: createWindow, create: create, setText: setText, setAttribute: setAttribute,
    setStyle: setStyle, setFlag: setFlag, checked: checked, setChecked: setChecked, focus: focus,
    focused: focused, showWindow: showWindow, removeWindow: removeWindow, showEnd: showEnd, fail: fail,
    openBox: openBox, closeBox: closeBox, scheduleTick: scheduleTick, cancelTick: cancelTick, fit: fit
  };
})();

Module['onAbort'] = function () { infotestPage.fail(); };

// The WebAssembly comes inside the page in base64 (make_page.py). Handed to
// the loader as its binary, it is compiled from memory: the loader fetches
// no file, which the page's policy would refuse (and report).
Module['wasmBinary'] = (function () {
  var text = atob(infotestAssets.wasm);
  var bytes = new Uint8Array(text.length);
  for (var i = 0; i < text.length; i++) bytes[i] = text.charCodeAt(i);
  infotestAssets.wasm = null;
  return bytes;
})();
