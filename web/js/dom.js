// Small helpers for building the page: elements, buttons, the message
// line and the short confirmation a key gives.

/// The element with id `id`.
export function $(id) {
  return document.getElementById(id);
}

/// A new element `tag` with class `className` (may be empty) and text.
export function element(tag, className, text) {
  const e = document.createElement(tag);
  if (className) e.className = className;
  if (text !== undefined) e.textContent = text;
  return e;
}

/// A code's name as an element that may wrap after its ':' and '.' (never
/// inside a brand or protocol name), so it is never cut off.
export function codeName(name, className) {
  const e = element('span', className || 'code-name');
  const parts = String(name).replace(/([:.])/g, '$1\n').split('\n');
  parts.forEach((part, i) => {
    if (i) e.appendChild(document.createElement('wbr'));
    e.appendChild(document.createTextNode(part));
  });
  return e;
}

/// A button with `text` that runs `onClick`, whose errors go to the
/// message line.
export function button(text, onClick, className) {
  const b = element('button', className || '', text);
  b.type = 'button';
  b.addEventListener('click', guarded(onClick));
  return b;
}

/// Shows `text` in the message line above the view: `kind` is 'error' or
/// 'info'. `details`, when given, is the player's own message, shown under
/// "Details" for those who typed a code. An empty text clears the line.
export function say(text, kind, details) {
  const box = $('message');
  box.replaceChildren();
  box.className = text ? kind || 'info' : '';
  if (!text) return;
  box.appendChild(element('p', 'message-text', text));
  if (details && details !== text) {
    const more = element('details', 'message-details');
    more.appendChild(element('summary', '', 'Details'));
    more.appendChild(element('p', 'player-message', details));
    box.appendChild(more);
  }
  const close = button('Close', () => say(''), 'close');
  close.setAttribute('aria-label', 'Close the message');
  box.appendChild(close);
  if (box.scrollIntoView) box.scrollIntoView({ block: 'nearest' });
}

/// `action` as an event handler: an Error it throws, or a promise it
/// returns that fails, is shown on the message line.
export function guarded(action) {
  return (event) => {
    say('');
    try {
      const result = action(event);
      if (result && result.catch) result.catch(showError);
    } catch (error) {
      showError(error);
    }
  };
}

/// Shows an Error on the message line: its user words and, when it came
/// from the player, the player's own message.
export function showError(error) {
  say(error.message, 'error', error.playerMessage);
}

/// Marks `target` for a moment (a key that was sent).
export function flash(target) {
  target.classList.remove('sent');
  // Reading the layout restarts the animation.
  void target.offsetWidth;
  target.classList.add('sent');
  setTimeout(() => target.classList.remove('sent'), 600);
}
