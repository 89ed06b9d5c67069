// Runs a WASI module as a program, the way qemu and wine run the other
// builds: its arguments, stdin, stdout, stderr and exit status are the
// process's own, and the file system is reachable by absolute path. Only
// the unit tests run so, since they need more of WASI than the page's host
// gives; the program and the corpus replays run in the page's own host
// (wasi-host-run.mjs). The
// host's two functions, cls and pause, do nothing: streams that are not a
// terminal are neither cleared nor waited on.
//   node --no-warnings wasi-run.mjs MODULE.wasm [ARGUMENTS...]
import { readFile } from 'node:fs/promises';
import { argv, exit } from 'node:process';
import { WASI } from 'node:wasi';

const [module, ...args] = argv.slice(2);
const wasi = new WASI({
  version: 'preview1',
  args: [module, ...args],
  preopens: { '/': '/' },
  returnOnExit: true,
});
// wasi.wasiImport, not getImportObject(), which Debian 12's node 18 lacks.
const imports = {
  wasi_snapshot_preview1: wasi.wasiImport,
  morvantic: { cls() {}, pause() {} },
};
const { instance } = await WebAssembly.instantiate(await readFile(module),
                                                   imports);
exit(wasi.start(instance));
