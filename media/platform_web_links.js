// Levels passed on as links (platform_web.js's page side): the game page's
// address with the map in its fragment, vantor.html#karte=TEXT. The text is
// made and read by the programs' own codec (formats/maplink.cpp, exported by
// web/link_hook.cpp), the same one vantormap uses. Fragments never reach the
// server, so a link works on any static host and uploads nothing.

var LibraryVantorLinks = {
  $VantorLinks: {
    KEY: '#karte=',
    MAP_FILE_SIZE: 4182,
    MAX_TEXT: 8192,  // as the codec's bound: a longer text is no link of ours
    BAD_LINK: 'Dieser Link enthält keine gültige Karte',

    // The link text of a map's bytes.
    encode: function(bytes) {
      HEAPU8.set(bytes, Module['_vantor_link_map']());
      return VantorWeb.text(Module['_vantor_link_encode']());
    },

    // The map's bytes, or null when the text holds no valid map.
    decode: function(text) {
      if (text.length > VantorLinks.MAX_TEXT || /[^A-Za-z0-9_-]/.test(text)) return null;
      var at = Module['_vantor_link_text'](text.length);
      if (!at) return null;
      for (var i = 0; i < text.length; i++) HEAPU8[at + i] = text.charCodeAt(i);
      if (!Module['_vantor_link_decode']()) return null;
      var map = Module['_vantor_link_map']();
      return HEAPU8.slice(map, map + VantorLinks.MAP_FILE_SIZE);
    },

    // The game page's address with the map inside, from either page.
    linkTo: function(bytes) {
      var page = new URL('vantor.html', location.href);
      page.hash = '';
      return page.href + VantorLinks.KEY + VantorLinks.encode(bytes);
    },

    // What the page was opened with: null without a link, else {map}, with
    // map null when the link is cut off, altered or made up.
    fromPage: function() {
      var hash = location.hash;
      if (hash.indexOf(VantorLinks.KEY) !== 0) return null;
      return {map: VantorLinks.decode(hash.slice(VantorLinks.KEY.length))};
    },

    // The fragment goes once its level is kept: a reload then opens the
    // list, not the link again.
    forget: function() {
      if (location.hash) history.replaceState(null, '', location.pathname + location.search);
    },

    // Shows the link in the page, to be copied by hand, and copies it where
    // the browser lets the page write to the clipboard.
    share: function(bytes) {
      var link = VantorLinks.linkTo(bytes);
      var field = VantorWeb.element('share-text');
      if (field) {
        field.value = link;
        field.hidden = false;
        field.select();
      }
      var copied = function() { VantorWeb.notice('Link kopiert (' + link.length + ' Zeichen).'); };
      var shown = function() { VantorWeb.notice('Link zum Kopieren steht im Feld.'); };
      if (navigator.clipboard && navigator.clipboard.writeText) navigator.clipboard.writeText(link).then(copied, shown);
      else shown();
    },
  },
};

mergeInto(LibraryManager.library, LibraryVantorLinks);
