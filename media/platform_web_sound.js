// Sound for the browser backend (platform_web.cpp): each sound number is
// one AudioBuffer, played through the page's AudioContext, which starts
// suspended until the first user gesture resumes it.

var LibraryVantorSound = {
  $VantorSound: {
    audio: null,
    sounds: [],

    // Called on every key, tap and click: the first one lets sound start.
    resume: function() {
      if (VantorSound.audio && VantorSound.audio.state === 'suspended') VantorSound.audio.resume();
    },

    halt: function(slot) {
      if (!slot || !slot.source) return;
      var source = slot.source;
      slot.source = null;
      try { source.stop(); } catch (e) {}
      source.disconnect();
    },
  },

  vantor_web_open_audio: function() {
    var Context = window.AudioContext || window.webkitAudioContext;
    if (!Context) return 0;
    try {
      VantorSound.audio = new Context();
    } catch (e) {
      return 0;
    }
    VantorSound.sounds = [];
    return 1;
  },

  vantor_web_close_audio: function() {
    if (!VantorSound.audio) return;
    VantorSound.sounds.forEach(VantorSound.halt);
    VantorSound.sounds = [];
    VantorSound.audio.close();
    VantorSound.audio = null;
  },

  // 16-bit signed interleaved samples, decoded once into an AudioBuffer.
  vantor_web_load_sound: function(n, samples, bytes, frequency, channels) {
    var audio = VantorSound.audio;
    if (!audio) return 0;
    VantorSound.halt(VantorSound.sounds[n]);
    var frames = Math.floor(bytes / (2 * channels));
    var buffer = null;
    if (frames > 0) {
      try {
        buffer = audio.createBuffer(channels, frames, frequency);
      } catch (e) {
        return 0;
      }
      var first = samples >> 1;
      for (var c = 0; c < channels; c++) {
        var data = buffer.getChannelData(c);
        for (var i = 0; i < frames; i++) data[i] = HEAP16[first + i * channels + c] / 32768;
      }
    }
    VantorSound.sounds[n] = {buffer: buffer, source: null};
    return 1;
  },

  vantor_web_free_sound: function(n) {
    VantorSound.halt(VantorSound.sounds[n]);
    delete VantorSound.sounds[n];
  },

  // Each number plays at most once at a time: starting it again restarts it.
  vantor_web_play_sound: function(n, loop) {
    var slot = VantorSound.sounds[n];
    if (!VantorSound.audio || !slot) return 0;
    VantorSound.halt(slot);
    if (!slot.buffer) return 1;  // an empty sound is over at once
    var source = VantorSound.audio.createBufferSource();
    source.buffer = slot.buffer;
    source.loop = !!loop;
    source.connect(VantorSound.audio.destination);
    source.onended = function() {
      if (slot.source === source) slot.source = null;
    };
    source.start();
    slot.source = source;
    return 1;
  },

  vantor_web_halt_sound: function(n) {
    if (n === -1) VantorSound.sounds.forEach(VantorSound.halt);
    else VantorSound.halt(VantorSound.sounds[n]);
  },
};

autoAddDeps(LibraryVantorSound, '$VantorSound');
mergeInto(LibraryManager.library, LibraryVantorSound);
