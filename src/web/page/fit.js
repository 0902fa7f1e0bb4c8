// Fits the 640 x 480 canvas to any screen at 4:3, with the controls beside it in landscape and below it in portrait.
'use strict';

var TesseraFit = (function () {
  var WIDTH = 640;
  var HEIGHT = 480;
  var GAP = 12;  // the page's padding and the gap between the canvas and its controls, in CSS pixels

  var app, screen, controls, rotateHint;
  var resolutionQuery = null;

  // A mouse keeps today's whole-number scales where one fits; a finger gets
  // every pixel of the screen, at any scale.
  function scaleFor(width, height) {
    var scale = Math.min(width / WIDTH, height / HEIGHT);
    var coarse = matchMedia('(pointer: coarse)').matches;
    return !coarse && scale >= 1 ? Math.floor(scale) : scale;
  }

  function fit() {
    var portrait = innerHeight > innerWidth;
    app.classList.toggle('portrait', portrait);
    // A portrait screen narrower than the picture shows a small board.
    rotateHint.hidden = !(portrait && innerWidth - 2 * GAP < WIDTH);
    var width = innerWidth - 2 * GAP;
    var height = innerHeight - 2 * GAP;
    if (portrait) {
      height -= controls.offsetHeight + GAP;
    } else {
      width -= controls.offsetWidth + GAP;
    }
    var ratio = devicePixelRatio || 1;
    // Whole device pixels, a multiple of 4 wide, so the shown canvas is exactly 4:3.
    var deviceWidth = Math.max(4, Math.floor(WIDTH * scaleFor(width, height) * ratio / 4) * 4);
    screen.style.width = deviceWidth / ratio + 'px';
    screen.style.height = deviceWidth * 3 / 4 / ratio + 'px';
    // Each game pixel a whole number of device pixels: crisp. Otherwise
    // nearest-neighbour would make some pixels wider than others: smooth.
    screen.classList.toggle('crisp', deviceWidth % WIDTH === 0);
    watchResolution(ratio);
  }

  // A change of devicePixelRatio (a zoom, a move to another screen) fires no resize everywhere.
  function watchResolution(ratio) {
    if (resolutionQuery) resolutionQuery.removeEventListener('change', fit);
    resolutionQuery = matchMedia('(resolution: ' + ratio + 'dppx)');
    resolutionQuery.addEventListener('change', fit);
  }

  return {
    attach: function (appElement, canvas, controlsElement, hint) {
      app = appElement;
      screen = canvas;
      controls = controlsElement;
      rotateHint = hint;
      addEventListener('resize', fit);
      addEventListener('orientationchange', fit);
      if (window.visualViewport) visualViewport.addEventListener('resize', fit);
      // Controls that grow or shrink (a progress bar, a notice) change the room left for the board.
      if (window.ResizeObserver) new ResizeObserver(fit).observe(controls);
      fit();
    },
    fit: fit
  };
})();
