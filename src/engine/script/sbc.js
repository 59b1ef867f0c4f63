// The border paint of the page script (after stc.js).

// Paints the border of element I (Alt+click) and writes the record.
function sbc(I) {
  var el = document.getElementById(I);
  if (!el) return;
  if (!paint(I, 'borderColor', 'D', '@SWATCHBOOK_URL@')) return;
  var t = recordCookie(1);
  document.cookie = t + ';expires=Fri, 31-Dec-2123 00:00:00 GMT;';
  sco = t + ';expires=Fri, 31-Dec-2123 00:00:00 GMT;';
}
