/**
 * @file The host of the calculator's WebAssembly module in the page: the
 * WASI functions it imports, its two own (cls and pause), and the Asyncify
 * driver that lets it wait at fd_read and pause without blocking the page.
 *
 * A run is one instance of the module. It ends with the program's status,
 * or with 130 when the user interrupts it at a prompt; a trap rejects.
 */

/** WASI's error numbers. */
const ESUCCESS = 0;
const EBADF = 8;
const ENOSYS = 52;
const ESPIPE = 70;
const CHARACTER_DEVICE = 2;
/** A terminal: readable and writable, but neither seekable nor tellable. */
const TERMINAL_RIGHTS = (1n << 1n) | (1n << 6n);

/** The states Asyncify reports while the module unwinds or rewinds. */
const UNWINDING = 1;
const REWINDING = 2;
/** WebAssembly's page of memory. */
const PAGE_SIZE = 65536;
/** Room for the stack Asyncify saves: one page of memory, of its own. */
const STACK_SIZE = 64 * 1024;
/** The status of a run the user interrupted, as a shell reports SIGINT. */
const INTERRUPTED = 130;

/** Thrown by proc_exit to leave the module with a status. */
class Exit {
  constructor(status) { this.status = status; }
}

/** Thrown into a waiting run when the user interrupts it (Ctrl-C). */
export class Interrupt {}

/**
 * Runs `module` once at `tty`, a line discipline.
 * @param {WebAssembly.Module} module the calculator, compiled
 * @param {object} tty `write(bytes)`, `clear()`, `readable()` (whether a
 *     read can go on now), `whenReadable()` (a promise, rejected with an
 *     Interrupt), `read(size)` (at most `size` bytes, none at the end of
 *     input) and `pause()` (a promise: the key wait)
 * @returns {Promise<number>} the exit status
 */
export async function run(module, tty) {
  let instance = null;
  let waiting = null;  // the promise the suspended module waits on
  const memory = () => new DataView(instance.exports.memory.buffer);
  const bytes = (address, size) =>
    new Uint8Array(instance.exports.memory.buffer, address, size);

  // An import that may have to wait: `ready` says whether it can go on now,
  // else `wait` gives the promise to wait on. It is called once more when the
  // module resumes, and then goes on.
  let stack = 0;
  const blocking = (ready, wait, go) => (...args) => {
    const asyncify = instance.exports;
    if (asyncify.asyncify_get_state() === REWINDING) {
      asyncify.asyncify_stop_rewind();
    } else if (!ready()) {
      waiting = wait();
      memory().setUint32(stack, stack + 8, true);
      memory().setUint32(stack + 4, stack + STACK_SIZE, true);
      asyncify.asyncify_start_unwind(stack);
      return 0;
    }
    return go(...args);
  };

  const iovecs = (iovs, count) => {
    const view = memory();
    const list = [];
    for (let i = 0; i < count; ++i)
      list.push(bytes(view.getUint32(iovs + 8 * i, true),
                      view.getUint32(iovs + 8 * i + 4, true)));
    return list;
  };

  const wasi = {
    fd_write(fd, iovs, count, written) {
      if (fd !== 1 && fd !== 2) return EBADF;
      let total = 0;
      for (const piece of iovecs(iovs, count)) {
        tty.write(piece.slice());
        total += piece.length;
      }
      memory().setUint32(written, total, true);
      return ESUCCESS;
    },
    fd_read: blocking(() => tty.readable(), () => tty.whenReadable(),
                      (fd, iovs, count, read) => {
      if (fd !== 0) return EBADF;
      let total = 0;
      for (const piece of iovecs(iovs, count)) {
        const got = tty.read(piece.length);
        piece.set(got);
        total += got.length;
        if (got.length < piece.length) break;
      }
      memory().setUint32(read, total, true);
      return ESUCCESS;
    }),
    fd_fdstat_get(fd, stat) {
      if (fd > 2) return EBADF;
      const view = memory();
      view.setUint8(stat, CHARACTER_DEVICE);
      view.setUint16(stat + 2, 0, true);
      view.setBigUint64(stat + 8, TERMINAL_RIGHTS, true);
      view.setBigUint64(stat + 16, 0n, true);
      return ESUCCESS;
    },
    fd_seek: (fd) => (fd > 2 ? EBADF : ESPIPE),
    fd_close: (fd) => (fd > 2 ? EBADF : ESUCCESS),
    proc_exit(status) { throw new Exit(status); },
  };
  const morvantic = {
    cls: () => tty.clear(),
    pause: blocking(() => false, () => tty.pause(), () => {}),
  };
  // Whatever else a module might name answers that it is not there.
  const unsupported = new Proxy(wasi, {
    get: (functions, name) => functions[name] ?? (() => ENOSYS),
  });

  instance = await WebAssembly.instantiate(
      module, {wasi_snapshot_preview1: unsupported, morvantic});
  const pages = instance.exports.memory.grow(STACK_SIZE / PAGE_SIZE);
  stack = pages * PAGE_SIZE;
  try {
    for (;;) {
      instance.exports._start();
      if (instance.exports.asyncify_get_state() !== UNWINDING) return 0;
      instance.exports.asyncify_stop_unwind();
      await waiting;
      instance.exports.asyncify_start_rewind(stack);
    }
  } catch (error) {
    if (error instanceof Exit) return error.status;
    if (error instanceof Interrupt) return INTERRUPTED;
    throw error;
  }
}
