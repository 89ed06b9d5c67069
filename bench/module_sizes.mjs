// Where the module's bytes go: its code, its data and the rest (types,
// imports, exports, tables) by the sections of the WebAssembly binary, for
// the module as built and for the same module without Asyncify, which the
// build writes beside it; the difference is what Asyncify costs.
//   node bench/module_sizes.mjs BUILD_DIR   (a wasm build, e.g. build-bench-wasm)
import { readFileSync } from 'node:fs';
import { join } from 'node:path';
import { argv } from 'node:process';

/**
 * The bytes of a module's code section, data section and everything else.
 * @param {Uint8Array} bytes a WebAssembly binary
 * @returns {{total: number, code: number, data: number, rest: number}}
 */
function split(bytes) {
  const sizes = {total: bytes.length, code: 0, data: 0, rest: 8};
  let at = 8;  // past the magic number and the version
  const leb = () => {
    let value = 0;
    for (let shift = 0; ; shift += 7) {
      const byte = bytes[at++];
      value += (byte & 0x7f) * 2 ** shift;
      if (byte < 0x80) return value;
    }
  };
  while (at < bytes.length) {
    const start = at;
    const id = bytes[at++];
    const end = leb() + at;
    const kind = id === 10 ? 'code' : id === 11 ? 'data' : 'rest';
    sizes[kind] += end - start;
    at = end;
  }
  return sizes;
}

const build = argv[2];
const built = split(readFileSync(join(build, 'morvantic.wasm')));
const bare = split(readFileSync(join(build, 'morvantic-without-asyncify.wasm')));
const row = (what, sizes) => console.log(
    `${what.padEnd(24)} ${String(sizes.total).padStart(7)} bytes: code ` +
    `${sizes.code}, data ${sizes.data}, the rest ${sizes.rest}`);
row('morvantic.wasm', built);
row('without Asyncify', bare);
row('Asyncify', {total: built.total - bare.total, code: built.code - bare.code,
                 data: built.data - bare.data, rest: built.rest - bare.rest});
