// The pack worker: makes the stage packs the page asks for, one at a time, with the authoring library's WebAssembly.
'use strict';

var queue = [];
var running = false;

var Module = {
  tesseraStage: function (seed, stage) { postMessage({ kind: 'stage', seed: seed, stage: stage }); },
  tesseraFile: function (seed, name, bytes) { made.push({ name: name, bytes: bytes }); },
  tesseraFailed: function (seed, error) { postMessage({ kind: 'failed', seed: seed, error: error }); },
  onRuntimeInitialized: function () { running = false; next(); }
};
var made = [];
running = true;  // until the module is ready

function next() {
  if (running || queue.length === 0) return;
  running = true;
  var seed = queue.shift();
  made = [];
  var started = performance.now();
  if (Module._tessera_make_pack(seed)) {
    postMessage({ kind: 'made', seed: seed, files: made, milliseconds: performance.now() - started },
                made.map(function (file) { return file.bytes.buffer; }));
  }
  made = [];
  running = false;
  next();
}

onmessage = function (event) {
  queue.push(event.data.seed);
  next();
};

importScripts('tessera-packs.js');
