// The game's files come in packs (web/pack.py makes them): the pictures,
// gzipped, before the game starts, for its first frame draws them; the
// effects and the music once that frame is shown, so that a first visit
// waits only for what it draws. Each sound plays from when it has come.
// The sounds are fetched and unpacked by this same script in a worker, off
// the thread that runs the frames.
'use strict';

const packs = (() => {
  const names = ['pictures.pack.gz', 'effects.pack.gz', 'music.pack'];

  // The gzip comes off as the bytes arrive, in one pass, unless a host
  // already took it off in transit.
  async function unzipped(body) {
    const [peek, whole] = body.tee();
    const reader = peek.getReader();
    const {value} = await reader.read();
    reader.cancel();
    return value?.[0] === 0x1f && value?.[1] === 0x8b ?
        whole.pipeThrough(new DecompressionStream('gzip')) :
        whole;
  }

  async function unpacked(answer, name) {
    if (!answer.ok) throw new Error(`${name} did not load (${answer.status} ${answer.statusText})`);
    const body = name.endsWith('.gz') ? await unzipped(answer.body) : answer.body;
    const bytes = new Uint8Array(await new Response(body).arrayBuffer());
    const length = new DataView(bytes.buffer).getUint32(0, true);
    let at = 4 + length;
    const index = JSON.parse(new TextDecoder().decode(bytes.subarray(4, at)));
    return index.map(([path, size]) => [path, bytes.subarray(at, (at += size))]);
  }

  const fetched = (name) => fetch(name).then((answer) => unpacked(answer, name));

  // In the worker: each pack named to it, fetched, unpacked and handed over
  // (its files share one buffer, which moves rather than being copied).
  if (typeof document === 'undefined') {
    self.onmessage = ({data: name}) => fetched(name).then(
        (files) => self.postMessage({files}, files.length ? [files[0][1].buffer] : []),
        (error) => self.postMessage({error: error.message}));
    return;
  }

  // Started before the game's code has come; the game starts once it is in.
  const pictures = fetched(names[0]);

  function loadPictures(failed) {
    Module.addRunDependency('pictures');
    pictures.then((files) => {
      for (const [path, bytes] of files) {
        Module.FS_createPath('/', path.slice(0, path.lastIndexOf('/')), true, true);
        Module.FS_createDataFile('/' + path, null, bytes, true, !bytes.length);
      }
      Module.removeRunDependency('pictures');
    }, (error) => failed(error.message));
  }

  // Settles once every sound has come or failed.
  function loadSounds(failed) {
    const sounds = names.slice(1);
    const helper = new Worker('packs.js');
    let waiting = sounds.length;
    return new Promise((settled) => {
      const done = () => {
        helper.terminate();
        settled();
      };
      helper.onmessage = ({data: {files, error}}) => {
        files?.forEach(([path, bytes]) => Module.soundArrived(path, bytes));
        if (error) failed(error);
        if (--waiting === 0) done();
      };
      helper.onerror = (event) => {
        failed(event.message || 'packs.js would not start in a worker');
        done();
      };
      sounds.forEach((name) => helper.postMessage(name));
    });
  }

  return {loadPictures, loadSounds, names};
})();
