// Edit > Undo, run by the program in the page's top window: the page script's own undo, in the
// frame that has the focus (the page itself when it has none).
(function () {
  var w = window;
  try {
    var f = document.activeElement;
    if (f && (f.tagName == 'FRAME' || f.tagName == 'IFRAME') && f.contentWindow && f.contentWindow.un) {
      w = f.contentWindow;
    }
  } catch (e) {}
  if (typeof w.un == 'function') w.un();
})();
