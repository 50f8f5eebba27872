// The script layer of the page: it makes and changes the elements the window
// asks for, and runs the page's timer for it; page_events.js passes the
// browser's clicks, keys and focus on to the window.
// The rules of the test, the keyboard, the focus and the box's modality are
// in the WebAssembly; nothing here decides them.
// Old browsers run this too: ECMAScript 2020 at most, no newer DOM.

var infotestPage = (function () {
  'use strict';
  var root = document.documentElement;
  var stage = null;    // the scaled window with its boxes
  var client = null;   // Form1, the client area
  var cover = null;    // an open box and what shields the window behind it
  var elements = [];   // by control number
  var tickTimer = 0;
  // The window's size and the number of Form1 come from the C++ tables
  // (infotestWindow, put into the page by make_page.py).
  var form1 = infotestWindow.form1;

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

  // Where an event landed, for the window: a control's number, -2 for the
  // open box's button, -1 for anything else.
  function targetOf(element) {
    return element && element.id === 'MsgBoxOK' ? -2 : controlOf(element);
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
    var scale = Math.min(1, width / infotestWindow.width, height / infotestWindow.height);
    stage.style.transform = 'scale(' + scale + ')';
    stage.style.left = Math.max(0, (width - infotestWindow.width * scale) / 2) + 'px';
    stage.style.top = Math.max(0, (height - infotestWindow.height * scale) / 2) + 'px';
  }

  function createWindow(title) {
    removeWindow();
    var end = document.getElementById('End');
    if (end) end.parentNode.removeChild(end);
    root.removeAttribute('data-window');
    root.removeAttribute('data-exit-status');
    document.title = title;
    // The window is the page's main content; its title, which the window
    // does not draw, is the page's heading for a screen reader.
    stage = make('main', '', 'Stage');
    stage.setAttribute('data-hidden', '');
    stage.appendChild(make('h1', 'unseen')).textContent = title;
    // What a screen reader is told beyond the focused control: the
    // answers' description (read from a hidden element) and a polite live
    // region, there from the start so that its first change is spoken.
    var description = stage.appendChild(make('div', '', 'AnswersDescription'));
    description.hidden = true;
    var spoken = stage.appendChild(make('div', 'unseen', 'Spoken'));
    spoken.setAttribute('role', 'status');
    spoken.setAttribute('aria-live', 'polite');
    client = make('div', '', 'Form1');
    client.infotestControl = form1;
    stage.appendChild(client);
    document.body.appendChild(stage);
    elements = [];
    elements[form1] = client;
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
      element.infotestInput.setAttribute('aria-describedby', 'AnswersDescription');
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
    var target = control >= 0 && control !== form1 ? focusTarget(control) : null;
    if (target) {
      target.focus();
    } else if (document.activeElement && document.activeElement.blur) {
      document.activeElement.blur();
    }
  }

  function focusBox() {
    var ok = document.getElementById('MsgBoxOK');
    if (ok) ok.focus();
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
    var title = document.title;
    removeWindow();
    var end = make('main', '', 'End');
    end.appendChild(make('h1', 'unseen')).textContent = title;
    end.appendChild(make('p')).textContent = 'Тест завершён. Эту вкладку можно закрыть.';
    var again = end.appendChild(make('p')).appendChild(make('a', '', 'Again'));
    again.textContent = 'Начать тест заново';
    again.href = '';
    again.addEventListener('click', function (event) {
      event.preventDefault();
      location.reload();
    });
    document.body.appendChild(end);
    // The focus goes to the message, so that a screen reader reads it: the
    // button that had the focus has gone with the window.
    end.tabIndex = -1;
    end.focus();
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

  // icon: the kind of the box's icon, a class of page.css; iconText: what
  // the icon says.
  function openBox(title, prompt, icon, iconText) {
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
    var picture = body.appendChild(make('div', icon, 'MsgBoxIcon'));
    picture.setAttribute('role', 'img');
    picture.setAttribute('aria-label', iconText);
    body.appendChild(make('div', '', 'MsgBoxText')).textContent = prompt;
    var ok = box.appendChild(make('div', '', 'MsgBoxButtons')).appendChild(make('button', '', 'MsgBoxOK'));
    ok.type = 'button';
    ok.textContent = 'ОК';
    client.setAttribute('aria-hidden', 'true');
    stage.appendChild(cover);
  }

  function closeBox() {
    if (cover && cover.parentNode) cover.parentNode.removeChild(cover);
    cover = null;
    if (client) client.removeAttribute('aria-hidden');
  }

  function describeAnswers(text) {
    var description = document.getElementById('AnswersDescription');
    if (description) description.textContent = text;
  }

  function announce(text) {
    var spoken = document.getElementById('Spoken');
    if (spoken) spoken.textContent = text;
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

  return {
    createWindow: createWindow, create: create, setText: setText, setAttribute: setAttribute,
    setStyle: setStyle, setFlag: setFlag, checked: checked, setChecked: setChecked, focus: focus, focusBox: focusBox,
    focused: focused, showWindow: showWindow, removeWindow: removeWindow, showEnd: showEnd, fail: fail,
    openBox: openBox, closeBox: closeBox, describeAnswers: describeAnswers, announce: announce, scheduleTick: scheduleTick, cancelTick: cancelTick, fit: fit,
    // For the events (page_events.js).
    call: call, controlOf: controlOf, targetOf: targetOf, hasWindow: function () { return stage !== null; }
  };
})();
