// The page script's state and helpers. Instrumentation puts this file, then sb.js, stc.js and
// sbc.js, into the head of every page it shows (comments and indentation dropped, wrapped in a
// script tag). The C++ side, the tests and the elements' own handlers call the short names;
// everything else here is free to change.
//
// Cookies are the only channel back to the program: the page's change record is written as
// "data=..." (or "frameC[n]=...frameE[n]" in frame n of a frameset), and the cookie store turns
// it into the record the scheme files keep. Those markers are written as joined pieces so that
// the script text itself never holds them. The cookie texts, expiry dates included, are what
// the cookie store has always been given and stay exactly as they are.

// The element ids a click hands to the handlers, innermost first (see r); ec counts them.
var si = new Array();
var ec = 0;
// The change record's colour entries; entry 0 is always the word "initialise".
var sd = new Array();
// The change record's picture entries after the ",images:" head.
var imd = new Array();
// The undo stack: per paint the element id, the painted property, the element's own inline
// value of it before the paint, the cookie text to write back and the paint's number across
// all frames. u is one past the newest entry; the first paint goes to -1, so -1 is the state
// taken after the load.
var uc = new Array();
var ue = new Array();
var ui = new Array();
var uco = new Array();
var undoPaint = new Array();
var u = -1;
// The cookie text an undo of the next paint writes back: the record before that paint.
var sco = '';
// 1 once a picture has been picked (Ctrl+right click) and may be swapped (Ctrl+click).
var b = 0;
// Set by the painting colour file swatchBook.js, loaded afresh before every paint.
var hexCode = '';
var decCode = '';
sd[0] = 'initialise';
imd[0] = ',images:';

// The body's key handler: "g" collects the page's colours again, Ctrl+Z (or the old code 26)
// undoes the newest paint.
function gkp(v) {
  var e = v || window.event;
  var k = e ? (e.keyCode || e.charCode || e.which) : 0;
  if (e && e.ctrlKey && (k == 90 || k == 122)) k = 26;
  if (k == 103) {
    guc();
  }
  if (k == 26) {
    undoNewest();
  }
}

// Every instrumented element's click handler: notes its id, so that the body's handler, which
// runs last, finds the innermost element in si[0].
function r(i) {
  si[ec] = i;
  ec = ec + 1;
}

// "#RRGGBB" in upper case for a colour written "#rrggbb", "rrggbb" or "rgb(r, g, b)" (channels
// 0-255, larger ones taken as 255); '' for anything else.
function hexOfCssColour(v) {
  if (!v) return '';
  v = String(v).replace(/^\s+|\s+$/g, '');
  var m = /^#?([0-9a-fA-F]{6})$/.exec(v);
  if (m) return '#' + m[1].toUpperCase();
  m = /^rgb\(\s*(\d+)\s*,\s*(\d+)\s*,\s*(\d+)\s*\)$/.exec(v);
  if (m) {
    var h = '#', j;
    for (j = 1; j < 4; j++) {
      h += (0x100 + Math.min(255, parseInt(m[j], 10))).toString(16).substr(1);
    }
    return h.toUpperCase();
  }
  return '';
}

// As hexOfCssColour, and also for colour names and short forms of attributes ("red", "#F00"),
// which the browser's canvas turns into "#rrggbb".
function hexOfAnyColour(v) {
  var h = hexOfCssColour(v);
  if (h || !v) return h;
  try {
    var x = document.createElement('canvas').getContext('2d');
    x.fillStyle = '#000000';
    x.fillStyle = String(v);
    return hexOfCssColour(x.fillStyle);
  } catch (e) {
    return '';
  }
}

// Appends a collected entry for aspect k ("B" background, "C" text, "D" border) of element I.
// The decimal is the colour as the program stores it (blue in the high byte); black (0) is left
// out, as the record never lists it.
function addCollectedEntry(k, I, h) {
  if (!h) return;
  var d = parseInt(h.substr(5, 2) + h.substr(3, 2) + h.substr(1, 2), 16);
  if (d > 0) sd[sd.length] = '?' + k + I + '$' + k + '$:' + k + h + '(' + d + ')' + k.toLowerCase();
}

// Puts entry x for aspect k of element I in place of the first entry for them, dropping any
// later ones; without one it goes to the end.
function setEntry(k, I, x) {
  var p = '?' + k + I + '$' + k + '$', j, f = -1, n = new Array();
  for (j = 0; j < sd.length; j++) {
    if (sd[j].indexOf(p) == 0) {
      if (f < 0) {
        f = j;
        n[n.length] = x;
      }
    } else {
      n[n.length] = sd[j];
    }
  }
  if (f < 0) n[n.length] = x;
  sd = n;
}

// The record's swatch list: every colour of the entries once, in order, white and black left
// out.
function swatchList() {
  var l = new Array(), s = ',', j, a, c;
  l[0] = ',:Swatch:';
  for (j = 1; j < sd.length; j++) {
    a = sd[j].indexOf('#');
    c = sd[j].indexOf(')', a);
    if (a < 0 || c < 0) continue;
    c = sd[j].substring(a, c + 1);
    if (c.indexOf('#FFFFFF') >= 0 || c.indexOf('#000000') >= 0 || s.indexOf(',' + c + ',') >= 0) continue;
    s += c + ',';
    l[l.length] = '%' + c;
  }
  return l.join(',');
}

// This document's index among its parent's frames, or -1 for a page of its own.
function fi() {
  try {
    var p = window.parent, j;
    if (p && p != window && p.frames.length > 0) {
      for (j = 0; j < p.frames.length; j++) {
        if (p.frames[j] == window || String(p.frames[j].location) == String(location)) return j;
      }
    }
  } catch (e) {}
  return -1;
}

// The cookie text of the change record: entries, swatch list and, when withImages, the picture
// entries, between the page's or the frame's markers.
function recordCookie(withImages) {
  var c = fi(), t = sd.join(',') + swatchList() + ',%%' + (withImages ? imd.join(',') : '');
  if (c >= 0) return 'frame' + 'C[' + c + ']=' + t + 'frame' + 'E[' + c + ']';
  return 'data=' + t + 'end' + 'Data';
}

// Runs a script file of the Temp folder in the global scope; the query defeats the cache, as
// the program rewrites these files between paints. Throws when it cannot be read.
function loadScript(p) {
  var x = new XMLHttpRequest();
  x.open('GET', p + '?' + (new Date()).getTime(), false);
  x.send(null);
  if ((x.status != 200 && x.status != 0) || !x.responseText) throw 'read';
  (0, eval)(x.responseText);
}

// Loads the painting colour into hexCode and decCode; throws unless both are well formed.
function loadColour(p) {
  hexCode = '';
  decCode = '';
  loadScript(p);
  if (!/^#[0-9A-Fa-f]{6}$/.test(hexCode) || !/^[0-9]+$/.test(decCode)) throw 'colour';
}

// The next paint's number, counted on the topmost window so that the paints of all frames of a
// frameset are ordered by one count.
function nextPaintNumber() {
  var w = window;
  try {
    w = window.top;
    w.paintCount = (w.paintCount || 0) + 1;
  } catch (e) {
    // A top window of another origin keeps its properties to itself.
    w = window;
    w.paintCount = (w.paintCount || 0) + 1;
  }
  return w.paintCount;
}

// The longhand properties behind a painted one: the border colour is four of them.
function longhands(p) {
  if (p == 'borderColor') {
    return ['border-top-color', 'border-right-color', 'border-bottom-color', 'border-left-color'];
  }
  return [p == 'backgroundColor' ? 'background-color' : 'color'];
}

// The element's own inline declarations of property p: [whether it had a style attribute, then
// a [name, value, priority] triple per longhand]; an empty value means it had none.
function inlineState(el, p) {
  var names = longhands(p), saved = [el.hasAttribute('style')], j;
  for (j = 0; j < names.length; j++) {
    saved[j + 1] = [names[j], el.style.getPropertyValue(names[j]), el.style.getPropertyPriority(names[j])];
  }
  return saved;
}

// Puts back what inlineState saved: the old declarations, or none where there was none, so that
// the stylesheets and attributes show through again; a style attribute that the paint brought
// goes again once it is empty.
function restoreInline(el, saved) {
  var j;
  for (j = 1; j < saved.length; j++) {
    if (saved[j][1]) el.style.setProperty(saved[j][0], saved[j][1], saved[j][2]);
    else el.style.removeProperty(saved[j][0]);
  }
  // Reading the attribute also brings it up to date: the browser writes declarations back to
  // it lazily, and would otherwise bring an empty one back later.
  if (!saved[0] && el.getAttribute('style') == '') el.removeAttribute('style');
}

// Pushes an undo entry: the element's state before the paint and the record to write back.
function pushUndo(saved, p, I) {
  if (!sco) sco = recordCookie(1) + ';expires=Fri, 31-Dec-2123 00:00:00 GMT;';
  uc[u] = saved;
  ue[u] = p;
  ui[u] = I;
  uco[u] = sco;
  undoPaint[u] = nextPaintNumber();
  u = u + 1;
}

// Drops the entry pushUndo made for a paint that failed.
function popUndo() {
  u = u - 1;
  delete uc[u];
  delete ue[u];
  delete ui[u];
  delete uco[u];
  delete undoPaint[u];
}

// The rules of the page's first stylesheet, or null when they cannot be read.
function firstSheetRules() {
  try {
    var s = document.styleSheets;
    if (s.length > 0) return s[0].rules || s[0]['cssRules'] || new Array();
  } catch (e) {}
  return null;
}

// Paints property p of element I with the colour of file f and records it as aspect k. 1 when
// painted; on any failure the element, the record and the undo stack stay as they were.
function paint(I, p, k, f) {
  var el = document.getElementById(I);
  if (!el) return 0;
  pushUndo(inlineState(el, p), p, I);
  try {
    loadColour(f);
    el.style[p] = hexCode;
  } catch (e) {
    popUndo();
    return 0;
  }
  setEntry(k, I, '?' + k + I + '$' + k + '$:' + k + hexCode + '(' + decCode + ')' + k.toLowerCase());
  return 1;
}

// A picture's address as a file URL: the program's page URLs carry the path percent-encoded.
function fileUrl(s) {
  s = String(s);
  var q = 'huewright://page';
  if (s.indexOf(q) == 0) {
    s = s.substr(q.length);
    try {
      s = decodeURIComponent(s);
    } catch (e) {
      s = unescape(s);
    }
    return 'file://' + s;
  }
  return s;
}

// The page URL of a file path: blanks, controls, non-ASCII and the characters that would end a
// path or a quoted value percent-encoded, the rest as it is.
function pageUrl(p) {
  var o = '', j, c;
  p = String(p);
  for (j = 0; j < p.length; j++) {
    c = p.charAt(j);
    if (c <= ' ' || c > '~' || '%#?"\'\\'.indexOf(c) >= 0) {
      try {
        o += encodeURIComponent(c);
      } catch (e) {
        o += escape(c);
      }
      if (c == '\'') o = o.substr(0, o.length - 1) + '%27';
    } else {
      o += c;
    }
  }
  return 'huewright://page' + o;
}

// The address of the element's background picture as the browser computed it, or ''.
function backgroundUrl(el) {
  try {
    var v = getComputedStyle(el).backgroundImage, m;
    if (!v || v == 'none') return '';
    m = /^url\(\s*["']?(.*?)["']?\s*\)$/.exec(v);
    return m ? m[1] : '';
  } catch (e) {
    return '';
  }
}

// Collects the page's own colours into a fresh record, element by element in document order:
// its colour attributes, the first stylesheet's rules that name its tag and class, then its
// inline style. The result becomes the snapshot an undo of the first paint writes back.
function guc() {
  var a = document.getElementsByTagName('*'), q = firstSheetRules(), j, n, el, t, c, s, w, x, y;
  sd = new Array();
  sd[0] = 'initialise';
  for (j = 0; j < a.length; j++) {
    el = a[j];
    if (!el.id) continue;
    addCollectedEntry('B', el.id, hexOfAnyColour(el.getAttribute('bgcolor')));
    addCollectedEntry('C', el.id, hexOfAnyColour(el.getAttribute('color')));
    t = el.tagName.toLowerCase();
    c = String(el.className || '').toLowerCase();
    if (q) {
      for (n = 0; n < q.length; n++) {
        s = q[n].selectorText;
        if (!s || !q[n].style) continue;
        s = s.toLowerCase().split(',');
        for (w = 0; w < s.length; w++) {
          // A selector names the element when it is "tag", ".class" or "tag.class" and its
          // class is the element's whole class attribute.
          x = s[w].replace(/^\s+|\s+$/g, '').split('.');
          y = x.length > 1 ? x[1] : '';
          if (x.length <= 2 && (x[0] == '' || x[0] == t) && y == c) {
            addCollectedEntry('B', el.id, hexOfCssColour(q[n].style.backgroundColor));
            addCollectedEntry('C', el.id, hexOfCssColour(q[n].style.color));
            addCollectedEntry('D', el.id, hexOfCssColour(q[n].style.borderColor));
            break;
          }
        }
      }
    }
    addCollectedEntry('B', el.id, hexOfCssColour(el.style.backgroundColor));
    addCollectedEntry('C', el.id, hexOfCssColour(el.style.color));
    addCollectedEntry('D', el.id, hexOfCssColour(el.style.borderColor));
  }
  sco = recordCookie(0) + ';expires=Fri, 31-Dec-2123 00:00:00 GMT;';
}

// Takes back this document's newest paint: the element shows again what it showed before and
// the record before the paint is written back. With nothing left the oldest state is written
// again; the collected entries are kept, so a later paint records them afresh.
function un() {
  if (u > -1) {
    u = u - 1;
  }
  if (!ui.hasOwnProperty(u)) return;
  var el = document.getElementById(ui[u]);
  try {
    if (el) restoreInline(el, uc[u]);
  } catch (e) {}
  if (uco[u]) document.cookie = uco[u];
}

// The number of the paint un() would take back here, or 0 when none is left.
function newestPaint() {
  return u > -1 && undoPaint.hasOwnProperty(u - 1) ? undoPaint[u - 1] : 0;
}

// This window and every frame below it, depth first.
function windowsBelow(w, list) {
  var j;
  list[list.length] = w;
  try {
    for (j = 0; j < w.frames.length; j++) windowsBelow(w.frames[j], list);
  } catch (e) {}
  return list;
}

// Undo across a frameset: takes back the newest paint of whichever frame made it. When no
// frame has one left, this document's own undo runs.
function undoNewest() {
  var top = window, all, j, n, best = null, newest = 0;
  try {
    if (window.top) top = window.top;
  } catch (e) {}
  all = windowsBelow(top, new Array());
  for (j = 0; j < all.length; j++) {
    try {
      if (typeof all[j].newestPaint != 'function') continue;
      n = all[j].newestPaint();
      if (n > newest) {
        newest = n;
        best = all[j];
      }
    } catch (e) {}
  }
  if (best) best.un();
  else un();
}
