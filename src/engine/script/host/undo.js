// Edit > Undo, run by the program in the page's top window. The undo itself is the page
// script's undoNewest, which takes back the newest paint over all frames. It is called in the
// focused frame when that frame holds the page script, else in the first window that does (a
// frameset's own document has none): with no paint left anywhere, the document it runs in
// writes its oldest state again.
(function () {
  var focused = null, windows = [window], j, w;
  try {
    var f = document.activeElement;
    if (f && (f.tagName == 'FRAME' || f.tagName == 'IFRAME')) focused = f.contentWindow;
  } catch (e) {}
  for (j = 0; j < windows.length; j++) {
    try {
      for (var k = 0; k < windows[j].frames.length; k++) windows[windows.length] = windows[j].frames[k];
    } catch (e) {}
  }
  if (focused) windows.unshift(focused);
  for (j = 0; j < windows.length; j++) {
    try {
      w = windows[j];
      if (typeof w.undoNewest == 'function') {
        w.undoNewest();
        return;
      }
    } catch (e) {}
  }
})();
