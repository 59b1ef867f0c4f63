// The contrast report's collection, run by the program in the page's top window. Every element
// that shows text of its own (a text node child that is not only blanks) and is on show with a
// size, in the page and in every frame the program may read, gives one line: frame index, the
// element's path, its text colour, the colour behind it (or "picture"), font size in CSS px,
// font weight, tag, id, class and the start of its text, separated by tabs. The first line is
// "hwcontrast 1"; a last line "truncated" says the cap was met. The page is only read. The
// ids instrumentation numbers elements with ("3p", "1b") are the program's, not the page's,
// and are left out.
(function (cap) {
  var out = ['hwcontrast 1'], windows = [window], j, k, n = 0;
  // Frames in the order the mark script counts them: breadth first from the top window.
  for (j = 0; j < windows.length; j++) {
    try {
      for (k = 0; k < windows[j].frames.length; k++) windows[windows.length] = windows[j].frames[k];
    } catch (e) {}
  }
  // [r, g, b, a] (channels 0-255, alpha 0-1) of a computed colour, or null.
  function rgba(v) {
    var m = /^rgba?\(\s*([\d.]+)[\s,]+([\d.]+)[\s,]+([\d.]+)(?:\s*[,\/]\s*([\d.]+%?))?\s*\)$/.exec(String(v || ''));
    if (!m) return null;
    var a = m[4] === undefined ? 1 : parseFloat(m[4]);
    if (m[4] && m[4].charAt(m[4].length - 1) == '%') a /= 100;
    return [+m[1], +m[2], +m[3], Math.max(0, Math.min(1, a))];
  }
  // Colour c laid over the opaque colour under it.
  function over(c, under) {
    return [0, 1, 2].map(function (i) {
      return c[i] * c[3] + under[i] * (1 - c[3]);
    });
  }
  function hex(c) {
    var h = '#';
    for (var i = 0; i < 3; i++) h += (0x100 + Math.max(0, Math.min(255, Math.round(c[i])))).toString(16).substr(1);
    return h;
  }
  // Tabs and line breaks would break the line format; long texts are cut.
  function clean(s, most) {
    return String(s || '').replace(/\s+/g, ' ').replace(/^ | $/g, '').substr(0, most);
  }
  // The indexes of the element children from the document element down to el.
  function pathOf(el) {
    var p = [], s, i;
    while (el && el.parentElement) {
      for (i = 0, s = el; (s = s.previousElementSibling); ) i++;
      p.unshift(i);
      el = el.parentElement;
    }
    return p.join('/');
  }
  // The opaque colour behind el: a semi-transparent background is laid over what is below it;
  // the root falls back to white. null when a background picture is on the way up. Each
  // element's answer is kept in memo, since every element below it asks again.
  function behind(w, el, memo) {
    if (!el) return [255, 255, 255];
    if (memo.has(el)) return memo.get(el);
    var cs = w.getComputedStyle(el), c = rgba(cs.backgroundColor), r;
    if (cs.backgroundImage && cs.backgroundImage != 'none') {
      r = null;
    } else if (c && c[3] >= 1) {
      r = c;
    } else {
      r = behind(w, el.parentElement, memo);
      if (r && c && c[3] > 0) r = over(c, r);
    }
    memo.set(el, r);
    return r;
  }
  var skip = {SCRIPT: 1, STYLE: 1, NOSCRIPT: 1, TEMPLATE: 1, TITLE: 1, OPTION: 1, HEAD: 1, TEXTAREA: 1};
  for (j = 0; j < windows.length && n < cap; j++) {
    var w = windows[j], d = null;
    try {
      d = w.document;
      if (!d || !d.body) continue;
    } catch (e) {
      continue;
    }
    var walk = d.createTreeWalker(d.body, NodeFilter.SHOW_TEXT, null), t, seen = new Set(), memo = new Map();
    while ((t = walk.nextNode()) && n < cap) {
      var el = t.parentElement;
      if (!el || seen.has(el) || skip[el.tagName] || !/\S/.test(t.nodeValue)) continue;
      seen.add(el);
      var r = el.getBoundingClientRect(), cs = w.getComputedStyle(el);
      if (r.width <= 0 || r.height <= 0 || cs.visibility != 'visible' || parseFloat(cs.opacity) == 0) continue;
      var own = '';
      for (k = 0; k < el.childNodes.length; k++) {
        if (el.childNodes[k].nodeType == 3) own += el.childNodes[k].nodeValue;
      }
      var back = behind(w, el, memo), ink = rgba(cs.color) || [0, 0, 0, 1];
      var text = back ? over(ink, back) : ink;
      var weight = parseInt(cs.fontWeight, 10) || (cs.fontWeight == 'bold' ? 700 : 400);
      out.push([j, pathOf(el), hex(text), back ? hex(back) : 'picture', parseFloat(cs.fontSize) || 16, weight,
        el.tagName.toLowerCase(), clean(/^\d+[A-Za-z]+$/.test(el.id) ? '' : el.id, 60), clean(typeof el.className == 'string' ? el.className : '', 60),
        clean(own, 80)].join('\t'));
      n++;
    }
  }
  if (n >= cap) out.push('truncated');
  return out.join('\n');
})
