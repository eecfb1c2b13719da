// The player's messages in the words of someone holding a phone: what went
// wrong and what to do, without options or command-line names. The
// player's own message is kept for those who typed a code.

/// An Error whose message is in user words, with the player's own message
/// as error.playerMessage.
export function userError(playerMessage) {
  const error = new Error(userWords(playerMessage));
  error.playerMessage = playerMessage;
  return error;
}

/// The words for one of the player's messages.
export function userWords(message) {
  const text = String(message);
  let match;
  if (/--gap/.test(text)) return 'The gap must be between 0 and 60 seconds.';
  if ((match = /skipped - freq = (\d+) Hz/.exec(text))) {
    return 'This code\'s carrier, ' + kHz(Number(match[1])) + ', is too high for the sound at this rate.' +
      (/no --rate plays it/.test(text) ? ' No rate can play it.' : '');
  }
  if (/carrier of \d+ Hz is outside/.test(text)) return 'This code\'s carrier is outside what a TV receives (15 to 500 kHz).';
  if (/pronto/i.test(text)) return 'This Pronto code cannot be played: check that it is copied whole.';
  if (/protocol|device|subdevice|function|field|code/i.test(text))
    return 'These fields do not make a code: check the protocol and the numbers.';
  return 'This code cannot be played.';
}

/// A frequency in kHz, as the page writes it ("56.0 kHz").
export function kHz(hz) {
  return (hz / 1000).toFixed(1) + ' kHz';
}

/// A size in MB, as the page writes it.
export function megabytes(bytes) {
  return Math.ceil(bytes / 1e6) + ' MB';
}
