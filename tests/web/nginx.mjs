// Debian's nginx on 127.0.0.1 for the browser test, with the example
// configuration that the web release ships: its listen lines made one, this
// machine's port, its root line a copy of the release's folder, which a
// test may replace while it serves, and what a row adds of a host's own.
// Started and stopped by the test, in the foreground, each step bounded.
import { spawn } from 'node:child_process';
import { chmodSync, cpSync, mkdtempSync, readFileSync, rmSync, writeFileSync }
  from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';

const sleep = (ms) => new Promise((r) => setTimeout(r, ms));
/** How long nginx may take to answer, or to stop answering. */
const WITHIN = 10000;

// The example's line `key value;` made `key wanted;`, or an error if the
// example has no such line: the test serves what the release ships.
function replaceLine(config, key, wanted) {
  const line = new RegExp(`^(\\s*)${key} [^;\\n]*;`, 'm');
  if (!line.test(config)) throw new Error(`the example has no "${key}" line`);
  return config.replace(line, (_, indent) => `${indent}${key} ${wanted};`);
}

async function answers(origin) {
  try {
    await fetch(origin, {method: 'HEAD'});
    return true;
  } catch {
    return false;
  }
}

/**
 * Serves a copy of `release`/site with `release`/nginx.conf and `rules` at
 * http://127.0.0.1:`port`. Returns {origin, root (the folder served),
 * stop()}; stop() ends the server and returns once the port is closed.
 */
export async function serve(release, port, rules = '') {
  const dir = mkdtempSync(join(tmpdir(), 'morvantic-nginx-'));
  const root = join(dir, 'site');
  cpSync(join(release, 'site'), root, {recursive: true});
  chmodSync(dir, 0o755);
  let site = readFileSync(join(release, 'nginx.conf'), 'utf8');
  site = replaceLine(site, 'listen', `127.0.0.1:${port}`)
      .replace(/^\s*listen \[[^\n]*\n/m, '');
  site = replaceLine(site, 'root', root).replace('server {', `server { ${rules}`);
  writeFileSync(join(dir, 'site.conf'), site);
  // One process as this user, logging to the folder, nothing elsewhere.
  const temp = ['client_body', 'proxy', 'fastcgi', 'uwsgi', 'scgi']
      .map((kind) => `${kind}_temp_path ${dir}/${kind};`).join(' ');
  writeFileSync(join(dir, 'nginx.conf'), `daemon off; master_process off;
pid ${dir}/nginx.pid; error_log ${dir}/error.log;
events { worker_connections 64; }
http { access_log off; ${temp} include ${dir}/site.conf; }
`);
  const origin = `http://127.0.0.1:${port}`;
  const server = spawn('nginx', ['-p', dir, '-c', join(dir, 'nginx.conf'),
                                 '-e', join(dir, 'error.log')],
                       // Debian's nginx is in /usr/sbin, on root's PATH only.
                       {stdio: 'ignore',
                        env: {...process.env, PATH: `${process.env.PATH}:/usr/sbin`}});
  let exited = false;
  server.on('exit', () => { exited = true; });
  const log = () => {
    try {
      return readFileSync(join(dir, 'error.log'), 'utf8');
    } catch {
      return '';
    }
  };
  const stop = async () => {
    if (!exited) server.kill('SIGTERM');
    for (const end = Date.now() + WITHIN; Date.now() < end; await sleep(25))
      if (exited && !(await answers(origin))) {
        rmSync(dir, {recursive: true, force: true});
        return;
      }
    server.kill('SIGKILL');
    throw new Error(`nginx did not stop: ${log()}`);
  };
  for (const end = Date.now() + WITHIN; Date.now() < end; await sleep(25)) {
    if (exited) break;
    if (await answers(origin)) return {origin, root, stop};
  }
  await stop().catch(() => {});
  throw new Error(`nginx did not start: ${log()}`);
}
