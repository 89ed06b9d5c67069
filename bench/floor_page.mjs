// What the first-prompt benchmarks share: the floor, a page from disk that
// holds the first prompt's text alone, and the two ways of seeing that
// prompt in a page.
import { mkdtempSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';

/**
 * Writes the floor into a new temporary folder.
 * @returns {string} its path
 */
export function floorPage() {
  const path = join(mkdtempSync(join(tmpdir(), 'first-prompt-')), 'empty.html');
  writeFileSync(path, '<!DOCTYPE html><title>floor</title>' +
                '<pre id="screen">Type Amplification Factor (mu): </pre>');
  return path;
}

/** In the page: the time now once the prompt is on the screen, else false. */
export const prompted = () =>
  document.getElementById('screen')?.textContent.includes('(mu):') &&
  performance.now();

/**
 * In the page, before its own scripts: records when the prompt comes in,
 * as window.promptEntered. The bench's own look (prompted) comes only
 * after DOMContentLoaded and a round trip to its process, well after the
 * floor's prompt came in.
 */
export const watch = () => new MutationObserver((_, observer) => {
  if (!document.getElementById('screen')?.textContent.includes('(mu):')) return;
  window.promptEntered = performance.now();
  observer.disconnect();
}).observe(document, {subtree: true, childList: true, characterData: true});
