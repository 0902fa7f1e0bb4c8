// The page's pointer layer: mouse, pen and touch on the canvas, as one stream of Pointer Events, become the game's mouse.
// Nothing listens to mouse or touch events, so the mouse events a browser makes up after a touch never press twice.
'use strict';

var TesseraPointer = (function () {
  var DRAG_PIXELS = 8;           // a finger that moves further than this (page pixels) drags
  var SECOND_TAP_MS = 300;       // a second finger that lifts this soon after the first still turns
  var TAP_MS = 500;              // a second finger held longer is no tap

  var screen = null;
  var mouseButtons = 0;          // the DOM buttons mask last seen from the mouse
  var first = null;              // the finger (or pen) that moves the game's mouse
  var second = null;             // a second finger, which taps to turn
  var firstLiftedAt = -Infinity;

  function game() { return window.Module && Module.tesseraReady ? Module : null; }

  // The pointer's place on the canvas as shown: fractional page pixels, any scale.
  function moveTo(event) {
    var module = game();
    if (!module) return;
    var shown = screen.getBoundingClientRect();
    module._tessera_pointer_move(event.clientX - shown.left, event.clientY - shown.top, shown.width, shown.height);
  }

  function button(which, down) {
    var module = game();
    if (module) module._tessera_pointer_button(which, down ? 1 : 0);
  }

  function click(which) {
    button(which, true);
    button(which, false);
  }

  // The mouse: every change of its buttons mask, so that a second button
  // pressed while one is held (which comes as a pointermove) counts too.
  function mouseEvent(event) {
    moveTo(event);
    var changed = event.buttons ^ mouseButtons;
    if (changed & 1) button(0, (event.buttons & 1) !== 0);
    if (changed & 2) button(2, (event.buttons & 2) !== 0);
    mouseButtons = event.buttons;
  }

  function down(event) {
    event.preventDefault();
    screen.setPointerCapture(event.pointerId);
    if (event.pointerType === 'mouse') return mouseEvent(event);
    if (first === null) {
      // A tap is a left click where the finger lands: down and up at once,
      // so that a drag's drop at the lift is a press of its own.
      var module = game();
      first = { id: event.pointerId, x: event.clientX, y: event.clientY, dragged: false,
                landedAt: module ? module._tessera_frames_run() : 0 };
      moveTo(event);
      click(0);
    } else if (second === null) {
      second = { id: event.pointerId, at: event.timeStamp };
    }
  }

  function move(event) {
    if (event.pointerType === 'mouse') return mouseEvent(event);
    if (first === null || event.pointerId !== first.id) return;
    if (Math.abs(event.clientX - first.x) > DRAG_PIXELS || Math.abs(event.clientY - first.y) > DRAG_PIXELS) {
      first.dragged = true;
    }
    // The click where the finger landed must be seen there: a quick drag
    // would otherwise take the piece from where the finger has got to.
    var module = game();
    if (module && module._tessera_frames_run() <= first.landedAt) return;
    moveTo(event);
  }

  function up(event) {
    if (event.pointerType === 'mouse') return mouseEvent(event);
    if (first !== null && event.pointerId === first.id) {
      moveTo(event);
      var module = game();
      // A drag that carries a piece drops it where the finger lifts.
      if (first.dragged && module && module._tessera_carrying_piece()) click(0);
      first = null;
      firstLiftedAt = event.timeStamp;
    } else if (second !== null && event.pointerId === second.id) {
      // A second finger's tap turns, at the first finger's place.
      var tapped = event.timeStamp - second.at <= TAP_MS;
      var soon = first !== null || event.timeStamp - firstLiftedAt <= SECOND_TAP_MS;
      if (tapped && soon) click(2);
      second = null;
    }
  }

  function cancel(event) {
    if (event.pointerType === 'mouse') {
      mouseButtons = 0;
      button(0, false);
      button(2, false);
    } else if (first !== null && event.pointerId === first.id) {
      first = null;
    } else if (second !== null && event.pointerId === second.id) {
      second = null;
    }
  }

  return {
    attach: function (canvas, turnButton) {
      screen = canvas;
      canvas.addEventListener('pointerdown', down);
      canvas.addEventListener('pointermove', move);
      canvas.addEventListener('pointerup', up);
      canvas.addEventListener('pointercancel', cancel);
      canvas.addEventListener('contextmenu', function (event) { event.preventDefault(); });
      // The Turn button: one right click where the mouse is.
      turnButton.addEventListener('pointerdown', function (event) { event.preventDefault(); click(2); });
      turnButton.addEventListener('click', function (event) {
        if (event.detail === 0) click(2);  // from the keyboard
      });
    }
  };
})();
