// The page's stage sets: the controls that choose one, the worker that makes packs, the pack made ahead, sharing.
// Every rule about packs (their numbers, today's, where they live, whether one is whole) is asked of the game's module.
'use strict';

var TesseraPacks = (function () {
  var AHEAD_KEY = 'tessera-next-pack';  // the seed of the pack made ahead for "New stages"
  var STAGES = 10;

  var elements = {};
  var current = null;      // the seed of the pack being played, or null for the shipped stages
  var worker = null;
  var jobs = {};           // seed -> what to do when the worker has made it
  var ahead = null;        // the pack made ahead in this tab: { seed, stored }
  var goWhenMade = false;  // "New stages" was tapped while the pack ahead was being made

  function game() { return window.Module; }

  // A line of the module's, as a sentence of its own.
  function say(element, text) {
    element.textContent = text ? text.charAt(0).toUpperCase() + text.slice(1) + '.' : '';
    element.hidden = !text;
  }

  // Where a set is played: its own address, so a reload keeps it. A seed
  // for the game's generator given in the address stays.
  function go(pack) {
    var query = new URLSearchParams();
    var seed = new URLSearchParams(location.search).get('seed');
    if (pack !== null) query.set('pack', pack);
    if (seed !== null) query.set('seed', seed);
    var text = query.toString();
    location.assign(location.pathname + (text ? '?' + text : ''));
  }

  function readAhead() {
    var text = localStorage.getItem(AHEAD_KEY);
    var seed = text === null ? NaN : Number(text);
    // Only what this page wrote: a plain number of the 32-bit range.
    return String(seed >>> 0) === text ? seed : null;
  }

  function startWorker() {
    if (worker) return worker;
    worker = new Worker('pack-worker.js');
    worker.onmessage = function (event) {
      var message = event.data;
      var job = jobs[message.seed];
      if (!job) return;
      if (message.kind === 'stage') {
        elements.progress.value = message.stage;
        elements.makingText.textContent = job.what + ': stage ' + (message.stage + 1) + ' of ' + STAGES;
        return;
      }
      delete jobs[message.seed];
      elements.progress.value = STAGES;
      elements.making.hidden = Object.keys(jobs).length === 0;
      window.tesseraPackMilliseconds = message.milliseconds;
      if (message.kind === 'made') {
        message.files.forEach(function (file) {
          game().ccall('tessera_hand_file', null, ['number', 'string', 'array', 'number'],
                       [message.seed, file.name, file.bytes, file.bytes.length]);
        });
        job.made();
      } else {
        job.failed(message.error);
      }
    };
    return worker;
  }

  // The worker makes the pack of seed; the progress bar follows it stage by stage.
  function make(seed, what, made, failed) {
    jobs[seed] = { what: what, made: made, failed: failed };
    elements.progress.value = 0;
    elements.makingText.textContent = what + ': stage 1 of ' + STAGES;
    elements.making.hidden = false;
    startWorker().postMessage({ seed: seed });
  }

  // One pack is kept made ahead, so that "New stages" plays at once. One tab
  // makes it; the others leave it to that tab.
  function makeAhead() {
    var prepare = function (done) {
      var seed = readAhead();
      if (seed === null || seed === current) {
        seed = game()._tessera_new_pack_seed() >>> 0;
        localStorage.setItem(AHEAD_KEY, String(seed));
      }
      if (game()._tessera_pack_stored(seed)) {
        ahead = { seed: seed, stored: true };
        window.tesseraAhead = seed;
        return done();
      }
      ahead = { seed: seed, stored: false };
      make(seed, 'Making the next stages', function () {
        if (!game()._tessera_store_pack(seed)) {
          ahead = null;
          if (goWhenMade) newStages();
          return done();
        }
        ahead.stored = true;
        window.tesseraAhead = seed;
        if (goWhenMade) takeAhead();
        done();
      }, function (error) {
        // "New stages" then goes to a pack's address, which makes it there and says why it cannot.
        console.warn('tessera: the next stages cannot be made: ' + error);
        ahead = null;
        if (goWhenMade) newStages();
        done();
      });
    };
    if (!navigator.locks) return prepare(function () {});
    navigator.locks.request(AHEAD_KEY, { ifAvailable: true }, function (lock) {
      if (!lock) return null;
      return new Promise(prepare);
    });
  }

  function takeAhead() {
    localStorage.removeItem(AHEAD_KEY);
    go(String(ahead.seed));
  }

  function newStages() {
    if (ahead && ahead.stored) return takeAhead();
    if (ahead) {
      // Made in this tab right now: played the moment it is stored.
      goWhenMade = true;
      elements.making.hidden = false;
      return;
    }
    // Made ahead by another tab, or not at all: the pack's address makes it if it must.
    var seed = readAhead();
    if (seed === null) seed = game()._tessera_new_pack_seed() >>> 0;
    localStorage.removeItem(AHEAD_KEY);
    go(String(seed));
  }

  function share() {
    var link = location.origin + location.pathname + '?pack=' + current + '&v=' +
      game()._tessera_pack_generator_version();
    elements.shareLink.href = link;
    elements.shareLink.textContent = link;
    elements.shareLine.hidden = false;
    var said = function (text) { elements.shareSaid.textContent = text; };
    if (navigator.share) {
      navigator.share({ title: 'Tessera: ' + elements.label.textContent, url: link }).then(function () {
        said('Shared: ');
      }, function () { said('The link: '); });
    } else if (navigator.clipboard && navigator.clipboard.writeText) {
      navigator.clipboard.writeText(link).then(function () { said('Copied: '); }, function () { said('The link: '); });
    } else {
      said('The link: ');
    }
  }

  function showCleared() {
    var module = game();
    if (!module || !module.tesseraReady) return;
    elements.cleared.textContent = module._tessera_cleared_stages() + ' of ' + STAGES + ' stages cleared';
  }

  return {
    attach: function (found) {
      elements = found;
      elements.newStages.addEventListener('click', newStages);
      elements.today.addEventListener('click', function () { go('today'); });
      elements.shipped.addEventListener('click', function () { go(null); });
      elements.share.addEventListener('click', share);
    },

    // The module's hooks: the set chosen, a pack to make first, a folder stored, the game started.
    hooks: {
      tesseraShowSet: function (label, seed, note) {
        current = seed < 0 ? null : seed;
        elements.label.textContent = label;
        say(elements.note, note);
        elements.share.disabled = current === null;
        elements.shipped.disabled = current === null;
        // ?pack=today is the day's pack: the address names it by number, so a reload keeps it.
        var query = new URLSearchParams(location.search);
        if (current !== null && query.get('pack') === 'today') {
          query.set('pack', String(current));
          history.replaceState(null, '', location.pathname + '?' + query.toString());
        }
      },
      tesseraMakePack: function (seed) {
        make(seed, 'Making ' + elements.label.textContent, function () {
          game().ccall('tessera_pack_made', null, ['number', 'string'], [1, '']);
        }, function (error) {
          game().ccall('tessera_pack_made', null, ['number', 'string'], [0, error]);
        });
      },
      tesseraFolderStored: showCleared,
      tesseraStarted: function (test) {
        elements.rule.textContent = game().UTF8ToString(game()._tessera_todays_rule());
        showCleared();
        if (!test) makeAhead();
      }
    }
  };
})();
