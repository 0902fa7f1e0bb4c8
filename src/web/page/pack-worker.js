// The pack worker: makes the stage packs the page asks for by name, one at a time, with the authoring library's WebAssembly.
'use strict';

var queue = [];
var running = false;

var Module = {
  tesseraStage: function (pack, stage) { postMessage({ kind: 'stage', pack: pack, stage: stage }); },
  tesseraFile: function (pack, name, bytes) { made.push({ name: name, bytes: bytes }); },
  tesseraFailed: function (pack, error) { postMessage({ kind: 'failed', pack: pack, error: error }); },
  onRuntimeInitialized: function () { running = false; next(); }
};
var made = [];
running = true;  // until the module is ready

function next() {
  if (running || queue.length === 0) return;
  running = true;
  var pack = queue.shift();
  made = [];
  var started = performance.now();
  if (Module.ccall('tessera_make_pack', 'number', ['string'], [pack])) {
    postMessage({ kind: 'made', pack: pack, files: made, milliseconds: performance.now() - started },
                made.map(function (file) { return file.bytes.buffer; }));
  }
  made = [];
  running = false;
  next();
}

onmessage = function (event) {
  queue.push(String(event.data.pack));
  next();
};

importScripts('tessera-packs.js');
