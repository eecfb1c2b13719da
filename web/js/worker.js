// Rendering away from the page's thread: a large file is rendered by a
// worker that runs this same script (the renderer and the page, from the
// page's own text, so it works from file:// too) and is ended afterwards,
// which gives its memory back. Small files are rendered at once.

import { renderHere, plan, checkSize, kMainThreadBytes } from './renderer.js';

// The script as the page carries it, read while it first runs.
const scriptText =
  typeof document !== 'undefined' && document.currentScript ? document.currentScript.text : '';

/// Whether this script runs as a worker.
export function inWorker() {
  return typeof document === 'undefined';
}

/// In a worker: renders each request {args, indices} it is sent and
/// answers {wav, report}, or {error, playerMessage}; says {ready} first.
export function serveRenders() {
  self.onmessage = (event) => {
    try {
      const result = renderHere(event.data.args, event.data.indices);
      self.postMessage(result, [result.wav.buffer]);
    } catch (error) {
      self.postMessage({ error: error.message, playerMessage: error.playerMessage });
    }
  };
  self.postMessage({ ready: true });
}

function renderInWorker(args, indices) {
  return new Promise((resolve, reject) => {
    const url = URL.createObjectURL(new Blob([scriptText], { type: 'text/javascript' }));
    const worker = new Worker(url);
    const end = () => {
      worker.terminate();
      URL.revokeObjectURL(url);
    };
    worker.onmessage = (event) => {
      const data = event.data;
      if (data.ready) {
        worker.postMessage({ args, indices });
        return;
      }
      end();
      if (data.error) {
        const error = new Error(data.error);
        error.playerMessage = data.playerMessage;
        reject(error);
      } else {
        resolve({ wav: data.wav, report: data.report });
      }
    };
    worker.onerror = (event) => {
      end();
      reject(new Error('The sound could not be made (' + (event.message || 'the worker failed') + ').'));
    };
  });
}

/// A promise of {wav, report} for the player's options `args` and the
/// listed codes `indices`: refused, before anything is rendered, when the
/// file would pass the page's limit; rendered by a worker when it is large.
export function render(args, indices) {
  let bytes;
  try {
    bytes = plan(args, indices);
    checkSize(bytes);
  } catch (error) {
    return Promise.reject(error);
  }
  if (bytes <= kMainThreadBytes || !scriptText || typeof Worker === 'undefined') {
    return new Promise((resolve) => resolve(renderHere(args, indices)));
  }
  return renderInWorker(args, indices);
}
