// The script layer of the page: it starts the program, finds and changes
// the elements of the window, and runs the page's timer for it;
// page_events.js passes the browser's clicks, keys and focus on to the
// window.
// The window is drawn from the page's own markup (made from the C++ tables
// when the page is built) as soon as its fonts and title image are ready,
// while the WebAssembly is compiled; the window in the WebAssembly then
// takes those elements over. Until it has, a click or a key on the window
// is kept and handed over when it has.
// The rules of the test, the keyboard, the focus and the box's modality are
// in the WebAssembly; nothing here decides them.
// Old browsers run this too: ECMAScript 2020 at most, no newer DOM.

var infotestPage = (function () {
  'use strict';
  var root = document.documentElement;
  var stage = document.getElementById('Stage');  // the scaled window with its boxes
  var client = null;   // Form1, the client area
  var cover = null;    // an open box and what shields the window behind it
  var elements = [];   // by control number
  var tickTimer = 0;
  // The window as the markup draws it, for every later window (the tests
  // open many).
  var pristine = stage ? stage.cloneNode(true) : null;
  var shownAt = -1;        // when the markup's window was first shown
  var programShown = false; // the program has shown its window
  var pending = [];        // what the pupil did before that
  var failed = false;
  var compiled = null;     // the WebAssembly, compiling
  var drawable = null;     // the fonts loaded and the title image decoded
  // The window's size and the number of Form1 come from the C++ tables
  // (infotestWindow, put into the page by make_page.py).
  var form1 = infotestWindow.form1;
  // What the pupil does before the program runs, carried out once it does;
  // the rest (the focus arriving, the page closing) needs nothing then.
  var kept = {infotest_click: true, infotest_pointer_down: true, infotest_key: true};

  // Calls the window; before the program has shown it, keeps the call for
  // later and answers 1: the browser's own meaning of the event is
  // cancelled, so that nothing happens before the program decides.
  function call(name) {
    if (failed) return 0;
    if (!programShown) {
      if (kept[name]) pending.push(Array.prototype.slice.call(arguments));
      return 1;
    }
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
    for (; element && element !== stage; element = element.parentNode) {
      var number = element.getAttribute ? element.getAttribute('data-control') : null;
      if (number !== null) return Number(number);
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

  // The window's elements, from the markup's window if the program has
  // not taken it yet, or else from a copy of it.
  function createWindow(title) {
    var end = document.getElementById('End');
    if (end) end.parentNode.removeChild(end);
    root.removeAttribute('data-window');
    root.removeAttribute('data-exit-status');
    document.title = title;
    if (!stage || stage.infotestTaken) {
      removeWindow();
      stage = document.body.appendChild(pristine.cloneNode(true));
    }
    stage.infotestTaken = true;
    failed = false;
    elements = [];
    var found = stage.querySelectorAll('[data-control]');
    for (var i = 0; i < found.length; i++) {
      var element = found[i];
      element.infotestInput = element.querySelector('input');
      element.infotestCaption = element.querySelector('.caption, .frame-caption');
      elements[Number(element.getAttribute('data-control'))] = element;
    }
    client = elements[form1];
  }

  function setText(control, text) {
    var target = captionOf(control);
    if (target) target.textContent = text;
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

  function reveal() {
    stage.removeAttribute('data-hidden');
    fit();
  }

  // The program shows its window; from here on the window takes the
  // pupil's clicks and keys, first those kept until now.
  function showWindow() {
    var note = document.getElementById('Note');
    if (note) note.setAttribute('hidden', '');
    reveal();
    if (!programShown) {
      programShown = true;
      Promise.resolve().then(function () {
        var waiting = pending;
        pending = [];
        for (var i = 0; i < waiting.length && stage; i++) call.apply(null, waiting[i]);
      });
    }
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

  // When the markup's window was first shown, on the page's clock; -1 if
  // it has not been.
  function windowShownAt() {
    return shownAt;
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
    failed = true;
    pending = [];
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

  // Shows the markup's window whole, with its fonts and image, with the
  // focus where the window starts it, and compiles the WebAssembly
  // meanwhile. A browser without WebAssembly, or one that cannot run the
  // program's script, gets the note instead.
  function start() {
    if (!stage) return;
    if (typeof WebAssembly !== 'object' || typeof Promise !== 'function') {
      fail();
      return;
    }
    window.addEventListener('error', function () {
      if (!programShown) fail();
    });
    try {
      prepare();
    } catch (error) {
      fail();
    }
  }

  function prepare() {
    // The fonts were asked for in the page's head.
    var settle = function () {};
    var ready = typeof infotestFontsLoading === 'object' ? infotestFontsLoading.slice() : [];
    var images = stage.querySelectorAll('img');
    for (var i = 0; i < images.length; i++) {
      if (images[i].decode) ready.push(images[i].decode().catch(settle));
    }
    drawable = Promise.all(ready).then(function () {
      if (failed || !stage || stage.infotestTaken) return;
      reveal();
      shownAt = performance.now();
      var first = stage.querySelector('[data-first-focus]');
      if (first) first.focus();
    });
    var text = atob(infotestWasm);
    infotestWasm = null;
    var bytes = new Uint8Array(text.length);
    for (var j = 0; j < text.length; j++) bytes[j] = text.charCodeAt(j);
    compiled = WebAssembly.compile(bytes);
    compiled.catch(fail);
  }

  // The program's way into its WebAssembly (emscripten's instantiateWasm):
  // instantiated from the module compiled with the page, and handed over
  // once the window can be shown, so that the program takes over a window
  // already on screen.
  function instantiate(imports, receive) {
    if (!compiled) {
      fail();
      return {};
    }
    Promise.all([compiled.then(function (module) { return WebAssembly.instantiate(module, imports); }), drawable])
      .then(function (done) { receive(done[0]); }, fail);
    return {};
  }

  start();

  return {
    instantiate: instantiate, windowShownAt: windowShownAt,
    createWindow: createWindow, setText: setText,
    setStyle: setStyle, setFlag: setFlag, checked: checked, setChecked: setChecked, focus: focus, focusBox: focusBox,
    focused: focused, showWindow: showWindow, removeWindow: removeWindow, showEnd: showEnd, fail: fail,
    openBox: openBox, closeBox: closeBox, describeAnswers: describeAnswers, announce: announce, scheduleTick: scheduleTick, cancelTick: cancelTick, fit: fit,
    // For the events (page_events.js).
    call: call, controlOf: controlOf, targetOf: targetOf, hasWindow: function () { return stage !== null; }
  };
})();
