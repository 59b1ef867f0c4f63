// The click handlers of the page script (after head.js): the background paint and the picture
// swap.

// Swaps the picture of element I, an image or an element with a background picture, for the
// recoloured copy that file f names (it sets im, the copy, op, the picture it was made from,
// mod and oc, the record's modulation and old colour parts). Only the picked picture or its
// earlier copy is swapped. 1 when swapped; the picture entry of I is then replaced or added.
function swapPicture(I, f) {
  var el = document.getElementById(I), s, g = 0, e;
  if (!el) return 0;
  try {
    loadScript(f);
    if (el.tagName == 'IMG') {
      s = fileUrl(el.src);
      if (s != 'file://' + op && s != 'file://' + im) return 0;
      el.setAttribute('src', pageUrl(im));
    } else {
      s = backgroundUrl(el);
      if (!s) return 0;
      s = fileUrl(s);
      if (s != 'file://' + op && s != 'file://' + im) return 0;
      el.style.backgroundImage = 'url("' + pageUrl(im) + '")';
      g = 1;
    }
    e = '?IM' + I + '$IM$:IM&&' + op + '$rs$' + (g ? getComputedStyle(el).backgroundRepeat : '') + '&im' + mod + oc;
  } catch (x) {
    return 0;
  }
  var p = '?IM' + I + '$IM$', j, n = -1;
  for (j = 1; j < imd.length; j++) {
    if (imd[j].indexOf(p) == 0) {
      n = j;
      break;
    }
  }
  if (n < 0) n = imd.length;
  imd[n] = e;
  b = 0;
  return 1;
}

// The body's click handler, given the innermost clicked element: Alt+click paints its border,
// Ctrl+click swaps its picked picture, a plain click paints its background. A change writes the
// record at once; the snapshot for the next undo carries the paint's own expiry date on a page
// of its own.
function sb(I) {
  var e = window.event;
  if (e && e.altKey) {
    sbc(I);
    return;
  }
  if (e && e.ctrlKey) {
    if (b != 1 || !swapPicture(I, '@IM_URL@')) return;
  } else {
    var el = document.getElementById(I);
    if (!el || !paint(I, 'backgroundColor', 'B', '@SWATCHBOOK_URL@')) return;
  }
  var t = recordCookie(1);
  document.cookie = t + ';expires=Fri, 31-Dec-2123 00:00:00 GMT;';
  if (fi() >= 0) {
    sco = t + ';expires=Fri, 31-Dec-2123 00:00:00 GMT;';
  } else {
    sco = t + ';expires=Thu, 30-Dec-2123 00:00:00 GMT;';
  }
}
