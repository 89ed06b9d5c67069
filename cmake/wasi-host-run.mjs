// Runs a WASI module as the page runs it: through the page's own host,
// web/wasi-host.mjs, so that what the tests compare byte for byte under
// node is what the page runs. Its input is handed over as the page's line
// discipline hands over what is typed: each line with its "\n" in a read
// of its own, a last line without one as Ctrl-D hands it over, then the
// end of input (a read of 0 bytes). What the module writes goes to stdout
// byte for byte; cls and pause do nothing, as for streams that are not a
// terminal. The status is the run's; a read after the end of input ends
// the run as Ctrl-C would (status 130), since nothing more will come; a
// trap is reported on stderr with status 70 (EX_SOFTWARE).
//   node wasi-host-run.mjs MODULE.wasm <INPUT
import { readFileSync, writeSync } from 'node:fs';
import { argv, exit } from 'node:process';
import { Interrupt, run } from '../web/wasi-host.mjs';

const LINE_FEED = 10;
const FAILED = 70;

/**
 * The reads a line discipline hands over for `input`, typed ahead.
 * @param {Uint8Array} input
 * @returns {Uint8Array[]} the lines, then an empty one: the end of input
 */
function typedLines(input) {
  const lines = [];
  let start = 0;
  for (let end = 0; end < input.length; ++end) {
    if (input[end] !== LINE_FEED) continue;
    lines.push(input.subarray(start, end + 1));
    start = end + 1;
  }
  if (start < input.length) lines.push(input.subarray(start));
  lines.push(new Uint8Array(0));
  return lines;
}

/**
 * A tty of the host's kind (see run() in web/wasi-host.mjs) over `lines`.
 * @param {Uint8Array[]} lines
 */
function streams(lines) {
  return {
    write(bytes) { writeSync(1, bytes); },
    clear() {},
    readable: () => lines.length > 0,
    whenReadable: () => Promise.reject(new Interrupt()),
    read(size) {
      const next = lines[0];
      if (next.length <= size) return lines.shift();
      lines[0] = next.subarray(size);
      return next.subarray(0, size);
    },
    pause: () => Promise.resolve(),
  };
}

const module = await WebAssembly.compile(readFileSync(argv[2]));
const input = new Uint8Array(readFileSync(0));
try {
  exit(await run(module, streams(typedLines(input))));
} catch (error) {
  console.error(`the module failed: ${error.message ?? error}`);
  exit(FAILED);
}
