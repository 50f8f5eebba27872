// What the browser tests do to the page as a pupil would: pointer events on
// the element under the middle of what can be seen of a control, keys
// through the page's own handling; and what they read back from it.

var infotestDriver = (function () {
  'use strict';

  // The controls' elements of the window opened last. Once the program has
  // ended they are off the page, and still tell what the window showed last.
  var controls = {};

  // The texts the live region was given since the window opened.
  var announcements = [];

  function attach(ids) {
    controls = {};
    ids.split(',').concat(['AnswersDescription']).forEach(function (id) { controls[id] = document.getElementById(id); });
    announcements = [];
    listen();
  }

  // Each announcement as the page's polite live region holds it once it is
  // made (a MutationObserver would report only after the test's own
  // synchronous run). The page's script comes after this one.
  function listen() {
    if (infotestPage.announce.heard) return;
    var announce = infotestPage.announce;
    infotestPage.announce = function (text) {
      announce(text);
      var region = document.getElementById('Spoken');
      var polite = region && region.getAttribute('aria-live') === 'polite' && region.getAttribute('role') === 'status';
      var behindABox = document.getElementById('MsgBox') ? '(while a box is open) ' : '';
      announcements.push(behindABox + (polite ? region.textContent : '(no polite live region)'));
    };
    infotestPage.announce.heard = true;
  }

  // An option's accessible description: the texts of the elements that its
  // focusable input names in aria-describedby.
  function description(id) {
    var input = byId(id) && byId(id).querySelector(':scope > input');
    var refs = input ? (input.getAttribute('aria-describedby') || '').split(/\s+/) : [];
    return refs.filter(Boolean).map(function (ref) {
      var element = byId(ref);
      return element ? element.textContent : '';
    }).join(' ');
  }

  function byId(id) {
    return controls[id] || document.getElementById(id);
  }

  function intersect(a, b) {
    var left = Math.max(a.left, b.left);
    var top = Math.max(a.top, b.top);
    var right = Math.min(a.right, b.right);
    var bottom = Math.min(a.bottom, b.bottom);
    return right > left && bottom > top ? {left: left, top: top, right: right, bottom: bottom} : null;
  }

  // The part of a control the pupil can see: inside the client area, and
  // for an option inside the frame too; null when nothing of it shows.
  function seen(id) {
    var element = byId(id);
    var client = byId('Form1');
    if (!element || !client || getComputedStyle(element).visibility === 'hidden') return null;
    var rect = intersect(element.getBoundingClientRect(), client.getBoundingClientRect());
    if (rect && element.parentNode && element.parentNode.id === 'Frame1') {
      rect = intersect(rect, element.parentNode.getBoundingClientRect());
    }
    return rect;
  }

  function mouse(type, target, x, y, detail) {
    var init = {bubbles: true, cancelable: true, view: window, clientX: x, clientY: y, detail: detail, button: 0};
    var Kind = type.indexOf('pointer') === 0 ? PointerEvent : MouseEvent;
    if (Kind === PointerEvent) init.pointerType = 'mouse';
    target.dispatchEvent(new Kind(type, init));
  }

  // Returns the id of what was hit, or '' when the control cannot be seen.
  function click(id, times) {
    var rect = seen(id);
    if (!rect) return '';
    var x = (rect.left + rect.right) / 2;
    var y = (rect.top + rect.bottom) / 2;
    var target = document.elementFromPoint(x, y);
    if (!target) return '';
    for (var n = 1; n <= times; ++n) {
      mouse('pointerdown', target, x, y, n);
      mouse('mousedown', target, x, y, n);
      mouse('pointerup', target, x, y, n);
      mouse('mouseup', target, x, y, n);
      mouse('click', target, x, y, n);
    }
    if (times > 1) mouse('dblclick', target, x, y, 2);
    var hit = target.closest('[id]');
    return hit ? hit.id : '';
  }

  // Each event goes to the element focused at that moment; a held key
  // repeats its key press `repeats` times before the release.
  function key(name, shift, repeats) {
    function send(type, repeat) {
      var init = {key: name, bubbles: true, cancelable: true, shiftKey: !!shift, repeat: repeat};
      (document.activeElement || document.body).dispatchEvent(new KeyboardEvent(type, init));
    }
    send('keydown', false);
    for (var n = 0; n < (repeats || 0); ++n) send('keydown', true);
    send('keyup', false);
  }

  // Where the client area lies on the page, in CSS pixels.
  function place() {
    var rect = document.getElementById('Form1').getBoundingClientRect();
    return [rect.left, rect.top];
  }

  function caption(id) {
    var element = byId(id);
    if (id === 'Form1') return document.title;
    if (!element || element.tagName === 'IMG') return '';
    var part = element.querySelector('.caption, .frame-caption');
    return (part || element).textContent;
  }

  // 0xBBGGRR from the computed background colour.
  function backColour(id) {
    var element = byId(id);
    var style = element && (element.isConnected ? getComputedStyle(element) : element.style);
    var parts = style ? style.backgroundColor.match(/\d+/g) : null;
    if (!parts) return -1;
    return (+parts[0]) | (+parts[1] << 8) | (+parts[2] << 16);
  }

  function rect(id) {
    var element = byId(id);
    var container = element && element.parentNode;
    if (!element || !container) return [0, 0, 0, 0];
    if (!element.isConnected) return [parseFloat(element.style.left), parseFloat(element.style.top), 0, 0];
    var own = element.getBoundingClientRect();
    var outer = container.getBoundingClientRect();
    return [own.left - outer.left, own.top - outer.top, own.width, own.height];
  }

  function visible(id) {
    var element = byId(id);
    return !!element && !element.hasAttribute('data-hidden');
  }

  function selected(id) {
    var input = byId(id) && byId(id).querySelector(':scope > input');
    return !!(input && input.checked);
  }

  // Everything the model compares, for the controls named, in one call:
  // per control caption, left, top, back colour, shown and selected, joined
  // by \u001f, controls by \u001e.
  function view(ids) {
    return ids.split(',').map(function (id) {
      var place = rect(id);
      return [caption(id), place[0], place[1], backColour(id), visible(id) ? 1 : 0, selected(id) ? 1 : 0]
        .join('\u001f');
    }).join('\u001e');
  }

  function windowShown() {
    var client = document.getElementById('Form1');
    return !!client && !client.hasAttribute('data-hidden');
  }

  function pageClosing() {
    window.dispatchEvent(new PageTransitionEvent('pagehide', {persisted: false}));
  }

  return {attach: attach, seen: seen, click: click, key: key, caption: caption, backColour: backColour, rect: rect, place: place,
          visible: visible, selected: selected, view: view, windowShown: windowShown,
          pageClosing: pageClosing, description: description,
          announcements: function () { return announcements.join('\u001e'); }};
})();

// The test program's arguments come after the page's '#', blank-separated:
// GoogleTest's own, and NAME=value for its environment.
(function () {
  var words = location.hash ? decodeURIComponent(location.hash.slice(1)).split(' ') : [];
  Module['arguments'] = words.filter(function (word) { return word.indexOf('--') === 0; });
  Module['preRun'] = [function () {
    words.forEach(function (word) {
      var at = word.indexOf('=');
      if (word.indexOf('--') !== 0 && at > 0) ENV[word.slice(0, at)] = word.slice(at + 1);
    });
  }];
})();
