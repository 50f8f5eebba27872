// The browser's events, handed over to the window in the WebAssembly as they
// come: which key, which control, whether it repeats. The window decides
// what each does and whether the browser's own meaning is cancelled; nothing
// here decides it. Old browsers run this too: ECMAScript 2020 at most.

(function (page) {
  'use strict';
  // The window's codes (from the C++ tables, in infotestWindow) of the
  // browser's key names, older names included.
  var keyCodes = {
    Tab: infotestWindow.keys.Tab, Enter: infotestWindow.keys.Enter,
    Escape: infotestWindow.keys.Escape, Esc: infotestWindow.keys.Escape,
    ' ': infotestWindow.keys.Space, Spacebar: infotestWindow.keys.Space,
    ArrowLeft: infotestWindow.keys.Left, Left: infotestWindow.keys.Left,
    ArrowUp: infotestWindow.keys.Up, Up: infotestWindow.keys.Up,
    ArrowRight: infotestWindow.keys.Right, Right: infotestWindow.keys.Right,
    ArrowDown: infotestWindow.keys.Down, Down: infotestWindow.keys.Down
  };
  // Whether a key is one of the two that press a focused button.
  function pressesButton(code) {
    return code === infotestWindow.keys.Enter || code === infotestWindow.keys.Space;
  }

  document.addEventListener('click', function (event) {
    page.call('infotest_click', page.targetOf(event.target));
  });

  // A press that would take the focus away from an open box is cancelled.
  document.addEventListener('mousedown', function (event) {
    if (page.call('infotest_pointer_down', page.targetOf(event.target))) event.preventDefault();
  });

  document.addEventListener('keydown', function (event) {
    if (!page.hasWindow() || event.ctrlKey || event.altKey || event.metaKey) return;
    var code = keyCodes[event.key] || 0;
    if (page.call('infotest_key', code, event.shiftKey ? 1 : 0, event.repeat ? 1 : 0)) event.preventDefault();
  });

  // The browser presses a focused button on the release of Space and Enter;
  // the window pressed it already on the key press.
  document.addEventListener('keyup', function (event) {
    var code = keyCodes[event.key];
    if (page.hasWindow() && pressesButton(code)) event.preventDefault();
  });

  document.addEventListener('focusin', function (event) {
    page.call('infotest_focus_in', page.targetOf(event.target));
  });

  // A box with overflow hidden can still be scrolled (by focusing or
  // finding something outside it): it is put straight back.
  document.addEventListener('scroll', function (event) {
    var target = event.target;
    if (target && target.nodeType === 1 && page.controlOf(target) >= 0 && (target.scrollTop || target.scrollLeft)) {
      target.scrollTop = 0;
      target.scrollLeft = 0;
    }
  }, true);

  document.addEventListener('contextmenu', function (event) {
    if (page.call('infotest_context_menu', page.targetOf(event.target))) event.preventDefault();
  });

  window.addEventListener('resize', page.fit);
  window.addEventListener('pagehide', function (event) {
    if (!event.persisted) page.call('infotest_page_closing');
  });
})(infotestPage);

// The program's script (emscripten's) finds its settings here: anything that
// stops it halfway shows the note, and its WebAssembly comes from the page's
// script layer, compiled from the copy inside the page (make_page.py): the
// loader fetches no file, which the page's policy would refuse (and report).
var Module = {
  onAbort: function () { infotestPage.fail(); },
  instantiateWasm: infotestPage.instantiate
};
