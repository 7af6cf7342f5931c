// The page side of the browser backend (platform_web.cpp), linked with
// --js-library. It owns the canvas, the keyboard and pointer listeners, the
// dialog that stands in for the message box, frame pacing and the page's
// notices. Beside it: platform_web_sound.js (Web Audio),
// platform_web_touch.js (the on-screen controls), platform_web_maps.js (the
// maps folder kept in IndexedDB), platform_web_levels.js and
// platform_web_level_store.js (the list of levels and where it is kept) and
// platform_web_links.js (levels passed on as links).
//
// Page elements (all found by id): canvas#screen; div#dialog with
// #dialog-title, #dialog-text and the buttons #dialog-ok, #dialog-yes,
// #dialog-no; #ended with button#restart; #notice; #bar below the picture.

var LibraryVantorWeb = {
  $VantorWeb__deps: ['$VantorSound', '$VantorTouch', '$VantorMaps', '$VantorLevels', '$VantorLevelStore'],
  $VantorWeb__postset: 'VantorWeb.attach();',
  $VantorWeb: {
    FRAME_MS: 1000 / 60,
    CONTROL_COLUMN: 150,  // CSS pixels beside the picture for the controls, lying

    // KeyboardEvent.code to set-1 scan codes (keys of the extended block
    // carry 0x80), the same keys as the SDL backend's table.
    KEY_CODES: {
      Escape: 0x01, Digit1: 0x02, Digit2: 0x03, Digit3: 0x04, Digit4: 0x05, Digit5: 0x06,
      Digit6: 0x07, Digit7: 0x08, Digit8: 0x09, Digit9: 0x0A, Digit0: 0x0B, Minus: 0x0C,
      Equal: 0x0D, Backspace: 0x0E, Tab: 0x0F, KeyQ: 0x10, KeyW: 0x11, KeyE: 0x12, KeyR: 0x13,
      KeyT: 0x14, KeyY: 0x15, KeyU: 0x16, KeyI: 0x17, KeyO: 0x18, KeyP: 0x19, BracketLeft: 0x1A,
      BracketRight: 0x1B, Enter: 0x1C, ControlLeft: 0x1D, KeyA: 0x1E, KeyS: 0x1F, KeyD: 0x20,
      KeyF: 0x21, KeyG: 0x22, KeyH: 0x23, KeyJ: 0x24, KeyK: 0x25, KeyL: 0x26, Semicolon: 0x27,
      Quote: 0x28, Backquote: 0x29, ShiftLeft: 0x2A, Backslash: 0x2B, KeyZ: 0x2C, KeyX: 0x2D,
      KeyC: 0x2E, KeyV: 0x2F, KeyB: 0x30, KeyN: 0x31, KeyM: 0x32, Comma: 0x33, Period: 0x34,
      Slash: 0x35, ShiftRight: 0x36, NumpadMultiply: 0x37, AltLeft: 0x38, Space: 0x39,
      CapsLock: 0x3A, F1: 0x3B, F2: 0x3C, F3: 0x3D, F4: 0x3E, F5: 0x3F, F6: 0x40, F7: 0x41,
      F8: 0x42, F9: 0x43, F10: 0x44, NumLock: 0x45, ScrollLock: 0x46, Numpad7: 0x47,
      Numpad8: 0x48, Numpad9: 0x49, NumpadSubtract: 0x4A, Numpad4: 0x4B, Numpad5: 0x4C,
      Numpad6: 0x4D, NumpadAdd: 0x4E, Numpad1: 0x4F, Numpad2: 0x50, Numpad3: 0x51,
      Numpad0: 0x52, NumpadDecimal: 0x53, IntlBackslash: 0x56, F11: 0x57, F12: 0x58,
      NumpadEnter: 0x9C, ControlRight: 0x9D, NumpadDivide: 0xB5, PrintScreen: 0xB7,
      AltRight: 0xB8, Pause: 0xC5, Home: 0xC7, ArrowUp: 0xC8, PageUp: 0xC9, ArrowLeft: 0xCB,
      ArrowRight: 0xCD, End: 0xCF, ArrowDown: 0xD0, PageDown: 0xD1, Insert: 0xD2, Delete: 0xD3,
      MetaLeft: 0xDB, MetaRight: 0xDC, OSLeft: 0xDB, OSRight: 0xDC, ContextMenu: 0xDD,
    },
    // Keys the programs use, kept from scrolling the page or starting a
    // browser shortcut (F1 help, F3 search, Ctrl combinations, Space).
    KEPT_KEYS: ['ArrowUp', 'ArrowDown', 'ArrowLeft', 'ArrowRight', 'F1', 'F2', 'F3', 'F4',
                'Escape', 'ControlLeft', 'ControlRight', 'Space', 'Enter', 'Tab', 'Backspace'],
    SWITCH_KEYS: ['AltLeft', 'AltRight', 'Tab'],

    keys: null,  // 256 bytes from the keyboard, 0x80 = held; made by attach
    letterCodes: {},  // 'A'..'Z' -> KeyboardEvent.code of the key that typed it
    inFront: true,
    focusChanges: 0,
    pointerX: 0,
    pointerY: 0,
    buttons: [],  // [x, y, button | 0x100 when pressed] per change
    lateButtons: [],  // changes that wait for the read after the next
    mouseButtons: 0,  // PointerEvent.buttons as the program was told them
    canvasFinger: null,  // the pointerId of the finger that is the mouse
    mouseHeld: false,
    nextFrameAt: 0,
    canvas: null,
    context: null,
    image: null,
    dialog: null,  // the open box: its buttons and its answer function

    element: function(id) { return document.getElementById(id); },

    // The keys go to the page, not to a button that happens to have the focus.
    focusCanvas: function() {
      if (document.activeElement && document.activeElement.blur) document.activeElement.blur();
      var canvas = VantorWeb.element('screen');
      if (canvas) canvas.focus();
    },

    // The programs' texts are Windows-1252 bytes.
    text: function(ptr) {
      var end = ptr;
      while (HEAPU8[end]) end++;
      var bytes = HEAPU8.slice(ptr, end);
      try {
        return new TextDecoder('windows-1252').decode(bytes);
      } catch (e) {
        return String.fromCharCode.apply(null, bytes);
      }
    },

    notice: function(text) {
      var line = VantorWeb.element('notice');
      if (line) line.textContent = text;
    },

    // ---- Listeners -------------------------------------------------------------

    attach: function() {
      if (typeof window === 'undefined') return;
      VantorWeb.keys = new Uint8Array(256);
      VantorWeb.readLayout();
      window.vantorRunning = false;
      addOnPreRun(VantorMaps.load);
      __ATMAIN__.push({func: VantorWeb.startProgram});
      window.addEventListener('keydown', function(e) { VantorWeb.onKey(e, true); });
      window.addEventListener('keyup', function(e) { VantorWeb.onKey(e, false); });
      window.addEventListener('blur', VantorWeb.onBlur);
      window.addEventListener('focus', VantorWeb.onFocus);
      window.addEventListener('pointermove', VantorWeb.onPointerMove);
      window.addEventListener('pointerup', VantorWeb.onPointerUp);
      window.addEventListener('pointercancel', VantorWeb.onPointerUp);
      window.addEventListener('resize', VantorWeb.fitCanvas);
      window.addEventListener('orientationchange', VantorWeb.fitCanvas);
      if (window.visualViewport) window.visualViewport.addEventListener('resize', VantorWeb.fitCanvas);
      window.addEventListener('beforeunload', VantorWeb.onLeave);
      var canvas = VantorWeb.element('screen');
      if (canvas) {
        canvas.addEventListener('pointerdown', VantorWeb.onPointerDown);
        canvas.addEventListener('contextmenu', function(e) { e.preventDefault(); });
      }
      VantorTouch.attach();
      var restart = VantorWeb.element('restart');
      if (restart) restart.addEventListener('click', function() { location.reload(); });
      ['ok', 'yes', 'no'].forEach(function(name) {
        var button = VantorWeb.element('dialog-' + name);
        if (button) button.addEventListener('click', function() { VantorWeb.answer(button); });
      });
      VantorMaps.watchFileWrites();
      VantorLevels.attach();
      VantorWeb.fitCanvas();
      VantorWeb.focusCanvas();
    },

    startProgram: function() {
      VantorMaps.copyShipped();
      VantorLevels.start();
      window.vantorRunning = true;
      // The program's state lines, and whether maps or levels are still
      // being written to IndexedDB.
      window.vantorState = function() {
        var report = Module['_vantor_state'];
        return (report ? VantorWeb.text(report()) : '') + 'mapsStoring ' + (VantorWeb.storing() ? 1 : 0) + '\n';
      };
    },

    onKey: function(e, down) {
      VantorSound.resume();
      if (VantorWeb.dialog) {
        if (down) VantorWeb.dialogKey(e);
        return;
      }
      if (e.target && e.target.tagName === 'INPUT') return;
      var code = VantorWeb.KEY_CODES[e.code];
      if (code === undefined) return;
      if (down && !VantorWeb.inFront) VantorWeb.onFocus();  // a key event means the page is in front
      if (down && /^[a-zA-Z]$/.test(e.key)) VantorWeb.letterCodes[e.key.toUpperCase()] = e.code;
      VantorWeb.keys[code] = down ? 0x80 : 0;
      if (!down && VantorWeb.SWITCH_KEYS.indexOf(e.code) >= 0) VantorWeb.focusChanges |= 4;
      if (VantorWeb.KEPT_KEYS.indexOf(e.code) >= 0 || e.ctrlKey) e.preventDefault();
    },

    // The browser's layout map, where it has one, gives the letters of keys
    // not typed yet.
    readLayout: function() {
      if (!navigator.keyboard || !navigator.keyboard.getLayoutMap) return;
      navigator.keyboard.getLayoutMap().then(function(map) {
        map.forEach(function(key, code) {
          var letter = key.toUpperCase();
          if (/^[A-Z]$/.test(letter) && !VantorWeb.letterCodes[letter]) VantorWeb.letterCodes[letter] = code;
        });
      }, function() {});
    },

    // A program that is not in front reads every key as up.
    onBlur: function() {
      VantorWeb.keys.fill(0);
      if (VantorWeb.inFront) VantorWeb.focusChanges |= 1;
      VantorWeb.inFront = false;
    },

    onFocus: function() {
      if (!VantorWeb.inFront) VantorWeb.focusChanges |= 2;
      VantorWeb.inFront = true;
    },

    // Where the frame lies inside the canvas element's box: scaled to fit it
    // and centred, should the box not be exactly 4:3.
    frameRect: function() {
      var canvas = VantorWeb.canvas || VantorWeb.element('screen');
      var r = canvas.getBoundingClientRect();
      var scale = Math.min(r.width / canvas.width, r.height / canvas.height) || 1;
      var w = canvas.width * scale, h = canvas.height * scale;
      return {left: r.left + (r.width - w) / 2, top: r.top + (r.height - h) / 2, scale: scale,
              width: canvas.width, height: canvas.height};
    },

    followPointer: function(e) {
      if (!VantorWeb.element('screen')) return;
      var f = VantorWeb.frameRect();
      var x = Math.floor((e.clientX - f.left) / f.scale);
      var y = Math.floor((e.clientY - f.top) / f.scale);
      VantorWeb.pointerX = Math.max(0, Math.min(f.width - 1, x));
      VantorWeb.pointerY = Math.max(0, Math.min(f.height - 1, y));
    },

    // The pointer over the canvas is the mouse: a mouse with its buttons as
    // they are, or one finger as the left button held where it touches. A
    // finger's press waits for one read, so that the program sees the
    // pointer at the new point before the button (the editor sets the cell
    // that was under the pointer in the frame before).
    onPointerDown: function(e) {
      window.focus();
      VantorSound.resume();
      e.preventDefault();
      VantorWeb.followPointer(e);
      if (e.pointerType === 'mouse') {
        VantorWeb.setButtons(e.buttons, false);
        return;
      }
      VantorTouch.show();
      if (VantorWeb.canvasFinger !== null) return;
      VantorWeb.canvasFinger = e.pointerId;
      e.currentTarget.setPointerCapture(e.pointerId);
      VantorWeb.setButtons(VantorWeb.mouseButtons | 1, true);
    },

    // A mouse button pressed away from the canvas is not the program's, one
    // pressed while another is held (and so only seen in a move) is.
    onPointerMove: function(e) {
      if (e.pointerType === 'mouse') {
        VantorWeb.followPointer(e);
        VantorWeb.setButtons(VantorWeb.mouseButtons ? e.buttons : 0, false);
      } else if (e.pointerId === VantorWeb.canvasFinger) {
        VantorWeb.followPointer(e);
      }
    },

    // A finger's press is no user gesture yet, its release is: sound may
    // start from there.
    onPointerUp: function(e) {
      VantorSound.resume();
      if (e.pointerType === 'mouse') {
        VantorWeb.onPointerMove(e);
      } else if (e.pointerId === VantorWeb.canvasFinger) {
        VantorWeb.canvasFinger = null;
        VantorWeb.setButtons(VantorWeb.mouseButtons & ~1, false);
      }
    },

    // PointerEvent.buttons bits (1 left, 2 right, 4 middle) to the
    // programs' buttons 1, 2 and 3, one change per bit, in the order seen.
    setButtons: function(buttons, late) {
      var changed = buttons ^ VantorWeb.mouseButtons;
      VantorWeb.mouseButtons = buttons;
      if (VantorWeb.dialog || !VantorWeb.mouseHeld) return;
      var queue = late || VantorWeb.lateButtons.length ? VantorWeb.lateButtons : VantorWeb.buttons;
      [[1, 1], [2, 2], [4, 3]].forEach(function(bit) {
        if (changed & bit[0])
          queue.push([VantorWeb.pointerX, VantorWeb.pointerY, bit[1] | (buttons & bit[0] ? 0x100 : 0)]);
      });
    },

    // The canvas takes the largest 4:3 box inside the seen part of the
    // window, above the bar and, upright, the on-screen controls; lying,
    // the controls and the bar stand in columns beside it. The page takes
    // exactly the seen size, so it never scrolls.
    fitCanvas: function() {
      var canvas = VantorWeb.element('screen');
      if (!canvas) return;
      var seen = window.visualViewport;
      var w = seen ? seen.width : document.documentElement.clientWidth;
      var h = seen ? seen.height : document.documentElement.clientHeight;
      var body = document.body;
      body.style.width = w + 'px';
      body.style.height = h + 'px';
      var touch = body.classList.contains('touch');
      var lying = touch && w > h;
      body.classList.toggle('landscape', lying);
      var room = {w: w - (lying ? 2 * VantorWeb.CONTROL_COLUMN : 0), h: h};
      var below = lying ? [] : touch ? ['bar', 'touch'] : ['bar'];
      below.forEach(function(id) {
        var element = VantorWeb.element(id);
        if (element) room.h -= element.getBoundingClientRect().height;
      });
      var scale = Math.max(0, Math.min(room.w / canvas.width, room.h / canvas.height));
      var width = Math.floor(canvas.width * scale);
      canvas.style.width = width + 'px';
      canvas.style.height = Math.floor(canvas.height * scale) + 'px';
      body.style.setProperty('--side', Math.floor((w - width) / 2) + 'px');
    },

    scanCodeOfLetter: function(letter) {
      var code = VantorWeb.letterCodes[letter] || 'Key' + letter;
      return VantorWeb.KEY_CODES[code] || 0;
    },

    // ---- Leaving the page --------------------------------------------------------

    storing: function() { return VantorMaps.syncing || VantorLevelStore.storing > 0; },

    // The editor's hook: whether its map holds work not saved yet.
    mapUnsaved: function() {
      var unsaved = Module['_vantor_map_unsaved'];
      return !!(window.vantorRunning && unsaved && unsaved());
    },

    // The browser asks before the page goes while the editor's map is
    // unsaved, and while a saved map is still on its way to IndexedDB (it
    // would be lost with the page).
    onLeave: function(e) {
      var losing = VantorWeb.storing() || VantorWeb.mapUnsaved();
      if (!losing) return;
      e.preventDefault();
      e.returnValue = '';
    },

    // ---- Frame pacing -----------------------------------------------------------

    // Frame k of a run is due at start + k/60 s; it is shown at the first
    // animation frame that comes within a few milliseconds of that time, so
    // a 60 Hz display shows every frame and a faster one skips its extra
    // refreshes. After a stall (a pause, a dialog) a new run starts.
    waitFrame: function(wakeUp) {
      function onAnimationFrame(now) {
        var due = VantorWeb.nextFrameAt;
        if (due === 0 || now > due + 100) due = now;
        if (now >= due - 4) {
          VantorWeb.nextFrameAt = due + VantorWeb.FRAME_MS;
          wakeUp();
        } else {
          requestAnimationFrame(onAnimationFrame);
        }
      }
      requestAnimationFrame(onAnimationFrame);
    },

    // ---- The dialog --------------------------------------------------------------

    openDialog: function(title, text, yesNo, answer) {
      var box = VantorWeb.element('dialog');
      VantorWeb.element('dialog-title').textContent = title;
      VantorWeb.element('dialog-text').textContent = text;
      var shown = yesNo ? ['yes', 'no'] : ['ok'];
      var buttons = [];
      ['ok', 'yes', 'no'].forEach(function(name) {
        var button = VantorWeb.element('dialog-' + name);
        var visible = shown.indexOf(name) >= 0;
        button.hidden = !visible;
        if (visible) buttons.push(button);
      });
      VantorWeb.keys.fill(0);  // the box has the keyboard now
      VantorWeb.dialog = {buttons: buttons, answer: answer};
      box.hidden = false;
      buttons[0].focus();
    },

    // Enter is the first button, Escape the last.
    dialogKey: function(e) {
      var buttons = VantorWeb.dialog.buttons;
      if (e.key === 'Enter') VantorWeb.answer(buttons[0]);
      else if (e.key === 'Escape') VantorWeb.answer(buttons[buttons.length - 1]);
      else return;
      e.preventDefault();
    },

    answer: function(button) {
      var dialog = VantorWeb.dialog;
      if (!dialog) return;
      var index = dialog.buttons.indexOf(button);
      if (index < 0) return;
      VantorWeb.dialog = null;
      VantorWeb.element('dialog').hidden = true;
      VantorWeb.focusCanvas();
      // The answer is a user gesture: audio may start from now on.
      VantorSound.resume();
      dialog.answer(index + 1);
    },

  },

  // ---- What platform_web.cpp calls ---------------------------------------------

  vantor_web_has_canvas: function() {
    return typeof document !== 'undefined' && VantorWeb.element('screen') ? 1 : 0;
  },

  vantor_web_open_canvas: function(width, height) {
    var canvas = VantorWeb.element('screen');
    canvas.width = width;
    canvas.height = height;
    VantorWeb.canvas = canvas;
    VantorWeb.context = canvas.getContext('2d', {alpha: false});
    VantorWeb.image = VantorWeb.context.createImageData(width, height);
    VantorWeb.nextFrameAt = 0;
    VantorWeb.fitCanvas();
  },

  vantor_web_close_canvas: function() {
    VantorWeb.context = null;
    VantorWeb.image = null;
  },

  vantor_web_present: function(pixels, width, height) {
    if (!VantorWeb.context) return;
    VantorWeb.image.data.set(HEAPU8.subarray(pixels, pixels + width * height * 4));
    VantorWeb.context.putImageData(VantorWeb.image, 0, 0);
  },

  vantor_web_wait_frame: function() {
    return Asyncify.handleSleep(VantorWeb.waitFrame);
  },

  vantor_web_take_focus_changes: function() {
    var changes = VantorWeb.focusChanges;
    VantorWeb.focusChanges = 0;
    return changes;
  },

  vantor_web_in_front: function() {
    return VantorWeb.inFront && !VantorWeb.dialog ? 1 : 0;
  },

  vantor_web_read_keys: function(keys) {
    var held = HEAPU8.subarray(keys, keys + 256);
    held.set(VantorWeb.keys);
    VantorTouch.addHeldKeys(held);
    VantorTouch.afterRead();
  },

  // Copies up to capacity button changes as (x, y, code) and returns how
  // many there were, which may be more.
  vantor_web_take_buttons: function(events, capacity) {
    var list = VantorWeb.buttons;
    VantorWeb.buttons = VantorWeb.lateButtons;
    VantorWeb.lateButtons = [];
    for (var i = 0; i < list.length && i < capacity; i++) {
      HEAP32[(events >> 2) + 3 * i] = list[i][0];
      HEAP32[(events >> 2) + 3 * i + 1] = list[i][1];
      HEAP32[(events >> 2) + 3 * i + 2] = list[i][2];
    }
    return list.length;
  },

  vantor_web_pointer: function(xy) {
    HEAP32[xy >> 2] = VantorWeb.pointerX;
    HEAP32[(xy >> 2) + 1] = VantorWeb.pointerY;
  },

  vantor_web_hold_mouse: function(held) {
    VantorWeb.mouseHeld = !!held;
    VantorWeb.buttons = [];
    VantorWeb.lateButtons = [];
    var canvas = VantorWeb.element('screen');
    if (canvas) canvas.style.cursor = held ? 'none' : '';
  },

  vantor_web_scan_code_of_letter: function(letter) {
    return VantorWeb.scanCodeOfLetter(String.fromCharCode(letter));
  },

  vantor_web_message_box: function(title, text, yesNo) {
    var titleText = VantorWeb.text(title), bodyText = VantorWeb.text(text);
    return Asyncify.handleSleep(function(wakeUp) {
      VantorWeb.openDialog(titleText, bodyText, yesNo, function(button) {
        VantorWeb.nextFrameAt = 0;
        wakeUp(button);
      });
    });
  },


  vantor_web_program_ended: function() {
    window.vantorRunning = false;
    var ended = VantorWeb.element('ended');
    if (ended) ended.hidden = false;
    var restart = VantorWeb.element('restart');
    if (restart) restart.focus();
  },

  vantor_web_halt: function() {
    return Asyncify.handleSleep(function() {});
  },
};

autoAddDeps(LibraryVantorWeb, '$VantorWeb');
mergeInto(LibraryManager.library, LibraryVantorWeb);
