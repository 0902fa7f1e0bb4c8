// The page's stage sets: the controls that choose one and its level, the worker that makes packs, the packs made ahead, sharing.
// Every rule about packs (their names and levels, today's, where they live, whether one is whole) is asked of the game's module.
'use strict';

var TesseraPacks = (function () {
  var AHEAD_KEY = 'tessera-next-pack';  // the name of the pack made ahead for "New stages", one for each level
  var LEVEL_KEY = 'tessera-level';      // the level the player chose for new packs
  var STAGES = 10;

  var elements = {};
  var current = null;      // the name of the pack being played, or null for the shipped stages
  var worker = null;
  var jobs = {};           // pack name -> what to do when the worker has made it
  var ahead = null;        // the pack made ahead in this tab: { pack, level, stored }
  var aheadWanted = false; // packs are made ahead (not in a test's page)
  var aheadBusy = false;   // a pack is being made ahead, or the lock to make one is asked for
  var goWhenMade = false;  // "New stages" was tapped while the pack ahead was being made

  function game() { return window.Module; }

  function text(pointer) { return game().UTF8ToString(pointer); }

  function call(name, argument) { return game().ccall(name, 'string', ['string'], [argument]); }

  // A line of the module's, as a sentence of its own.
  function say(element, line) {
    element.textContent = line ? line.charAt(0).toUpperCase() + line.slice(1) + '.' : '';
    element.hidden = !line;
  }

  // The levels the module knows, as the choice's options, once.
  function offerLevels() {
    if (elements.level.options.length > 0) return;
    for (var index = 0; ; ++index) {
      var level = text(game()._tessera_pack_level(index));
      if (!level) break;
      var option = document.createElement('option');
      option.value = level;
      option.textContent = level.charAt(0).toUpperCase() + level.slice(1);
      elements.level.appendChild(option);
    }
  }

  function chosenLevel() { return elements.level.value; }

  // Chooses level when it is one of the options (the set's, or the one stored); else the choice stays.
  function choose(level) {
    for (var i = 0; i < elements.level.options.length; ++i) {
      if (elements.level.options[i].value === level) elements.level.value = level;
    }
  }

  function showRule() {
    elements.rule.textContent = call('tessera_todays_rule', chosenLevel());
  }

  // Where a set is played: its own address, so a reload keeps it. A seed
  // for the game's generator given in the address stays.
  function go(pack, level) {
    var query = new URLSearchParams();
    var seed = new URLSearchParams(location.search).get('seed');
    if (pack !== null) query.set('pack', pack);
    if (level) query.set('level', level);
    if (seed !== null) query.set('seed', seed);
    var line = query.toString();
    location.assign(location.pathname + (line ? '?' + line : ''));
  }

  // Each level has its own pack made ahead; the easiest keeps the key it has always had.
  function aheadKey(level) {
    return level === elements.level.options[0].value ? AHEAD_KEY : AHEAD_KEY + '-' + level;
  }

  function readAhead(level) {
    var name = localStorage.getItem(aheadKey(level));
    // Only a pack's name of that level, as the store writes it.
    return name !== null && call('tessera_pack_level_of', name) === level ? name : null;
  }

  function startWorker() {
    if (worker) return worker;
    worker = new Worker('pack-worker.js');
    worker.onmessage = function (event) {
      var message = event.data;
      var job = jobs[message.pack];
      if (!job) return;
      if (message.kind === 'stage') {
        elements.progress.value = message.stage;
        elements.makingText.textContent = job.what + ': stage ' + (message.stage + 1) + ' of ' + STAGES;
        return;
      }
      delete jobs[message.pack];
      elements.progress.value = STAGES;
      elements.making.hidden = Object.keys(jobs).length === 0;
      window.tesseraPackMilliseconds = message.milliseconds;
      if (message.kind === 'made') {
        message.files.forEach(function (file) {
          game().ccall('tessera_hand_file', null, ['string', 'string', 'array', 'number'],
                       [message.pack, file.name, file.bytes, file.bytes.length]);
        });
        job.made();
      } else {
        job.failed(message.error);
      }
    };
    return worker;
  }

  // The worker makes the pack named; the progress bar follows it stage by stage.
  function make(pack, what, made, failed) {
    jobs[pack] = { what: what, made: made, failed: failed };
    elements.progress.value = 0;
    elements.makingText.textContent = what + ': stage 1 of ' + STAGES;
    elements.making.hidden = false;
    startWorker().postMessage({ pack: pack });
  }

  // One pack of the chosen level is kept made ahead, so that "New stages"
  // plays at once. One tab makes it; the others leave it to that tab. When
  // the level changes meanwhile, the new level's is made next.
  function makeAhead() {
    if (!aheadWanted || aheadBusy) return;
    var level = chosenLevel();
    if (ahead && ahead.level === level) return;
    aheadBusy = true;
    var finished = function () {
      aheadBusy = false;
      if (chosenLevel() !== level) makeAhead();
    };
    var prepare = function (done) {
      var key = aheadKey(level);
      var pack = readAhead(level);
      if (pack === null || pack === current) {
        pack = call('tessera_new_pack_name', level);
        localStorage.setItem(key, pack);
      }
      var end = function () { done(); finished(); };
      if (game().ccall('tessera_pack_stored', 'number', ['string'], [pack])) {
        ahead = { pack: pack, level: level, stored: true };
        window.tesseraAhead = pack;
        return end();
      }
      ahead = { pack: pack, level: level, stored: false };
      make(pack, 'Making the next stages', function () {
        var wanted = goWhenMade && chosenLevel() === level;
        if (!game().ccall('tessera_store_pack', 'number', ['string'], [pack])) {
          ahead = null;
          if (wanted) newStages();
          return end();
        }
        ahead.stored = true;
        window.tesseraAhead = pack;
        if (wanted) takeAhead();
        end();
      }, function (error) {
        // "New stages" then goes to a pack's address, which makes it there and says why it cannot.
        console.warn('tessera: the next stages cannot be made: ' + error);
        ahead = null;
        if (goWhenMade) newStages();
        end();
      });
    };
    if (!navigator.locks) return prepare(function () {});
    navigator.locks.request(aheadKey(level), { ifAvailable: true }, function (lock) {
      if (!lock) {
        finished();
        return null;
      }
      return new Promise(prepare);
    });
  }

  function takeAhead() {
    localStorage.removeItem(aheadKey(ahead.level));
    go(ahead.pack, null);
  }

  function newStages() {
    var level = chosenLevel();
    if (ahead && ahead.level === level && ahead.stored) return takeAhead();
    if (ahead && ahead.level === level) {
      // Made in this tab right now: played the moment it is stored.
      goWhenMade = true;
      elements.making.hidden = false;
      return;
    }
    // Made ahead by another tab, or not at all: the pack's address makes it if it must.
    var pack = readAhead(level);
    if (pack === null) pack = call('tessera_new_pack_name', level);
    localStorage.removeItem(aheadKey(level));
    go(pack, null);
  }

  function share() {
    var link = location.origin + location.pathname + '?pack=' + encodeURIComponent(current) + '&v=' +
      game()._tessera_pack_generator_version();
    elements.shareLink.href = link;
    elements.shareLink.textContent = link;
    elements.shareLine.hidden = false;
    var said = function (line) { elements.shareSaid.textContent = line; };
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
      elements.today.addEventListener('click', function () { go('today', chosenLevel()); });
      elements.shipped.addEventListener('click', function () { go(null, null); });
      elements.share.addEventListener('click', share);
      elements.level.addEventListener('change', function () {
        localStorage.setItem(LEVEL_KEY, chosenLevel());
        goWhenMade = false;
        showRule();
        makeAhead();
      });
    },

    // The module's hooks: the set chosen, a pack to make first, a folder stored, the game started.
    hooks: {
      tesseraShowSet: function (label, pack, level, note) {
        current = pack || null;
        offerLevels();
        choose(localStorage.getItem(LEVEL_KEY));
        choose(level);
        localStorage.setItem(LEVEL_KEY, chosenLevel());
        elements.label.textContent = label;
        say(elements.note, note);
        elements.share.disabled = current === null;
        elements.shipped.disabled = current === null;
        // ?pack=today (or a number with a level) names the pack by its name, so a reload keeps it.
        var query = new URLSearchParams(location.search);
        if (current !== null && (query.get('pack') !== current || query.has('level'))) {
          query.set('pack', current);
          query.delete('level');
          history.replaceState(null, '', location.pathname + '?' + query.toString());
        }
      },
      tesseraMakePack: function (pack) {
        make(pack, 'Making ' + elements.label.textContent, function () {
          game().ccall('tessera_pack_made', null, ['number', 'string'], [1, '']);
        }, function (error) {
          game().ccall('tessera_pack_made', null, ['number', 'string'], [0, error]);
        });
      },
      tesseraFolderStored: showCleared,
      tesseraStarted: function (test) {
        showRule();
        showCleared();
        aheadWanted = !test;
        makeAhead();
      }
    }
  };
})();
