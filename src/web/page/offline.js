// The page offline: its service worker, the offer to reload when a new version is ready, and storage kept.
'use strict';

var TesseraOffline = (function () {
  var chosen = false;  // this tab's player asked for the new version

  // A new version waits until the player reloads: a running game never
  // gets the new files under it.
  function offer(worker, notice, reload) {
    notice.hidden = false;
    reload.onclick = function () {
      chosen = true;
      // Another tab may have taken the new version already.
      if (worker.state === 'activated') location.reload();
      else worker.postMessage('activate');
    };
  }

  function watch(registration, notice, reload) {
    if (registration.waiting && navigator.serviceWorker.controller) offer(registration.waiting, notice, reload);
    registration.addEventListener('updatefound', function () {
      var installing = registration.installing;
      installing.addEventListener('statechange', function () {
        if (installing.state === 'installed' && navigator.serviceWorker.controller) offer(installing, notice, reload);
      });
    });
  }

  return {
    attach: function (notice, reload) {
      // Saved progress is not evicted when the browser runs short of space.
      if (navigator.storage && navigator.storage.persist) navigator.storage.persist();
      if (!('serviceWorker' in navigator)) return;
      navigator.serviceWorker.addEventListener('controllerchange', function () {
        if (chosen) location.reload();
      });
      navigator.serviceWorker.register('sw.js').then(function (registration) {
        watch(registration, notice, reload);
      }, function (error) {
        console.warn('tessera: the page cannot be kept for offline play: ' + error);
      });
    }
  };
})();
