// The right-click handler of the page script (after sb.js): the text paint and the picture
// pick.

// The body's context-menu handler, given the innermost clicked element: Ctrl+right click picks
// its picture (a background picture first) by writing the picture's file URL as a cookie of its
// own; a plain right click paints its text. The body's own text is never painted.
function stc(I) {
  var e = window.event, el = document.getElementById(I), s;
  if (!el) return;
  if (e && e.ctrlKey) {
    s = backgroundUrl(el);
    if (!s && el.tagName == 'IMG') s = el.src;
    if (s) {
      document.cookie = fileUrl(s) + ';expires=Fri, 31-Dec-2123 00:00:00 GMT;';
      b = 1;
    }
    return;
  }
  if (el == document.body || I == '1b') return;
  if (!paint(I, 'color', 'C', '@SWATCHBOOK_URL@')) return;
  var t = recordCookie(1);
  document.cookie = t + ';expires=Fri, 31-Dec-2123 00:00:00 GMT;';
  if (fi() >= 0) {
    sco = t + ';expires=Fri, 31-Dec-2123 00:00:00 GMT;';
  } else {
    sco = t + ';expires=Wed, 29-Dec-2123 00:00:00 GMT;';
  }
}
