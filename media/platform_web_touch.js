// The on-screen controls of a touch screen (platform_web.js's page side):
// div#touch, whose elements with data-keys hold those keys (KeyboardEvent.code
// names, or a capital letter for the key that types it; the .pad holds its
// up, right, down and left key by direction). Fingers hold keys beside the
// keyboard's: a key is up when all have let go.

var LibraryVantorTouch = {
  $VantorTouch: {
    fingerKeys: null,  // 256 counts of the fingers that hold each key
    pressedAtRead: null,  // per key, keyReads when a finger last pressed it
    keyReads: 0,
    lateReleases: [],  // keys let go by a finger before the program saw them held
    fingers: {},  // pointerId -> {control, codes} for fingers on the controls

    // Shown on a touch screen, from the start or from the first touch.
    attach: function() {
      VantorTouch.fingerKeys = new Uint8Array(256);
      VantorTouch.pressedAtRead = new Float64Array(256).fill(-1);
      var controls = VantorWeb.element('touch');
      if (!controls) return;
      if (window.matchMedia && window.matchMedia('(pointer: coarse)').matches) VantorTouch.show();
      window.addEventListener('touchstart', VantorTouch.show, {passive: true});
      controls.addEventListener('pointerdown', VantorTouch.onFingerDown);
      controls.addEventListener('pointermove', VantorTouch.onFingerMove);
      controls.addEventListener('pointerup', VantorTouch.onFingerUp);
      controls.addEventListener('pointercancel', VantorTouch.onFingerUp);
      controls.addEventListener('contextmenu', function(e) { e.preventDefault(); });
    },

    show: function() {
      var controls = VantorWeb.element('touch');
      if (!controls || !controls.hidden) return;
      controls.hidden = false;
      document.body.classList.add('touch');
      VantorWeb.fitCanvas();
    },

    // Each finger (or a mouse on the controls) keeps the control it came
    // down on; moves follow it, so a finger slides round the pad, and one
    // that leaves a button lets it go.
    onFingerDown: function(e) {
      var control = e.target.closest && e.target.closest('[data-keys]');
      if (!control || VantorWeb.dialog) return;
      e.preventDefault();
      VantorSound.resume();
      e.currentTarget.setPointerCapture(e.pointerId);
      VantorTouch.fingers[e.pointerId] = {control: control, codes: []};
      VantorTouch.onFingerMove(e);
    },

    onFingerMove: function(e) {
      var finger = VantorTouch.fingers[e.pointerId];
      if (finger) VantorTouch.holdKeys(finger, VantorTouch.keysAt(finger.control, e.clientX, e.clientY));
    },

    onFingerUp: function(e) {
      VantorSound.resume();
      var finger = VantorTouch.fingers[e.pointerId];
      if (!finger) return;
      VantorTouch.holdKeys(finger, []);
      delete VantorTouch.fingers[e.pointerId];
    },

    // The names of the keys a control holds under a finger at x, y. The pad
    // reads the finger's direction from its centre in eight sectors, with
    // a still middle; its keys are up, right, down, left.
    keysAt: function(control, x, y) {
      var r = control.getBoundingClientRect();
      var names = control.dataset.keys.split(' ');
      if (!control.classList.contains('pad'))
        return x >= r.left && x < r.right && y >= r.top && y < r.bottom ? names : [];
      var dx = x - (r.left + r.width / 2), dy = y - (r.top + r.height / 2);
      if (Math.hypot(dx, dy) < r.width * 0.15) return [];
      var sector = (Math.round(Math.atan2(dy, dx) / (Math.PI / 4)) + 8) % 8;  // 0 right, 2 down
      var held = [];
      if (sector >= 5) held.push(names[0]);
      if (sector <= 1 || sector === 7) held.push(names[1]);
      if (sector >= 1 && sector <= 3) held.push(names[2]);
      if (sector >= 3 && sector <= 5) held.push(names[3]);
      return held;
    },

    holdKeys: function(finger, names) {
      var codes = names.map(VantorTouch.scanCodeOfName);
      finger.codes.forEach(function(code) { if (codes.indexOf(code) < 0) VantorTouch.releaseKey(code); });
      codes.forEach(function(code) { if (finger.codes.indexOf(code) < 0) VantorTouch.pressKey(code); });
      finger.codes = codes;
      var control = finger.control;
      if (control.classList.contains('pad')) {
        ['up', 'right', 'down', 'left'].forEach(function(side, i) {
          control.querySelector('.' + side).classList.toggle('held', names.indexOf(control.dataset.keys.split(' ')[i]) >= 0);
        });
      } else {
        control.classList.toggle('held', codes.length > 0);
      }
    },

    scanCodeOfName: function(name) {
      return /^[A-Z]$/.test(name) ? VantorWeb.scanCodeOfLetter(name) : VantorWeb.KEY_CODES[name];
    },


    // A key held by the keyboard and by fingers is up when all have let go.
    // A finger's tap may be shorter than a frame: the key then stays held
    // until the program has read it held once.
    pressKey: function(code) {
      VantorTouch.fingerKeys[code]++;
      VantorTouch.pressedAtRead[code] = VantorTouch.keyReads;
    },

    releaseKey: function(code) {
      if (VantorTouch.pressedAtRead[code] === VantorTouch.keyReads) VantorTouch.lateReleases.push(code);
      else VantorTouch.fingerKeys[code]--;
    },

    // The keys the fingers hold, added to the keyboard's as the program reads
    // them; a tap shorter than a frame lets go after this read.
    addHeldKeys: function(keys) {
      for (var i = 0; i < 256; i++) if (VantorTouch.fingerKeys[i]) keys[i] |= 0x80;
    },

    afterRead: function() {
      VantorTouch.keyReads++;
      VantorTouch.lateReleases.forEach(function(code) { VantorTouch.fingerKeys[code]--; });
      VantorTouch.lateReleases = [];
    },
  },
};

mergeInto(LibraryManager.library, LibraryVantorTouch);
