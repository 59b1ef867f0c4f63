// The contrast report's outline, run by the program in the page's top window: takes the
// outline off the element that has it, then, unless the frame index is below 0, outlines the
// element at path (child indexes from the document element, as the collection writes it) in
// frame f and scrolls it into view. The outline is the element's own inline outline, with the
// values it had before kept on the element and put back when it goes; no element is added and
// no stylesheet touched, so the page's scripts and records see nothing of it. Gives whether an
// element was outlined. The program appends the call's arguments.
(function (f, path) {
  var windows = [window], j, k, w, el, i, s;
  for (j = 0; j < windows.length; j++) {
    try {
      for (k = 0; k < windows[j].frames.length; k++) windows[windows.length] = windows[j].frames[k];
    } catch (e) {}
  }
  for (j = 0; j < windows.length; j++) {
    try {
      el = windows[j].__hwContrastMark;
      if (!el) continue;
      s = el.__hwContrastSaved;
      windows[j].__hwContrastMark = null;
      el.__hwContrastSaved = null;
      if (!s) continue;
      el.style.removeProperty('outline');
      el.style.removeProperty('outline-offset');
      if (s[1]) el.style.setProperty('outline', s[1], s[2]);
      if (s[3]) el.style.setProperty('outline-offset', s[3], s[4]);
      if (!s[0] && el.getAttribute('style') == '') el.removeAttribute('style');
    } catch (e) {}
  }
  if (f < 0 || f >= windows.length) return false;
  try {
    w = windows[f];
    el = w.document.documentElement;
    var steps = path ? String(path).split('/') : [];
    for (i = 0; i < steps.length && el; i++) el = el.children[parseInt(steps[i], 10)] || null;
    if (!el || el == w.document.documentElement) return false;
    el.__hwContrastSaved = [el.hasAttribute('style'), el.style.getPropertyValue('outline'),
      el.style.getPropertyPriority('outline'), el.style.getPropertyValue('outline-offset'),
      el.style.getPropertyPriority('outline-offset')];
    w.__hwContrastMark = el;
    el.style.setProperty('outline', '3px solid #ff00ff', 'important');
    el.style.setProperty('outline-offset', '2px', 'important');
    el.scrollIntoView({block: 'center', inline: 'nearest'});
    return true;
  } catch (e) {
    return false;
  }
})
