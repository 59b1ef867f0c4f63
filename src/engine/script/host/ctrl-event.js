// A Ctrl mouse event ("click" or "contextmenu") at view point (x, y) in CSS pixels, dispatched
// at the element under it, descending into frames (a frame's own coordinates start inside its
// border). The program appends the call's arguments. The page's handlers see it as a real
// Ctrl+click: the element's r(...) runs first, then the body's handler. A pick resets the
// page's "picture ready" flag first, so its value afterwards tells whether this pick found a
// picture. Gives [found an element, picked a picture].
(function (x, y, t) {
  var d = document, w = window, el = d.elementFromPoint(x, y), n = 0;
  while (el && (el.tagName == 'FRAME' || el.tagName == 'IFRAME') && n++ < 16) {
    var r = el.getBoundingClientRect(), c = null;
    try {
      c = el.contentDocument;
    } catch (e) {}
    if (!c || !c.defaultView) break;
    x -= r.left + el.clientLeft;
    y -= r.top + el.clientTop;
    w = c.defaultView;
    d = c;
    el = d.elementFromPoint(x, y);
  }
  if (!el || el.tagName == 'FRAME' || el.tagName == 'IFRAME') return [false, false];
  var m = t == 'contextmenu';
  if (m && typeof w.b != 'undefined') w.b = 0;
  el.dispatchEvent(new w.MouseEvent(t, {
    bubbles: true,
    cancelable: true,
    view: w,
    ctrlKey: true,
    clientX: x,
    clientY: y,
    button: m ? 2 : 0
  }));
  return [true, m && w.b == 1];
})
