// The list of levels that both pages share (platform_web.js's page side),
// kept by platform_web_level_store.js; each page sees the other's saves when
// it lists, which it does when it comes to the front and every few seconds.
//
// The chosen level is the program's own map: the page puts its map in
// place of the own map file, so the game's F2 plays it and the editor's F3
// loads it; the editor's F2 writes the own map, which is saved to the level.
//
// Page elements: #level-list; on the editor page the buttons #new-level,
// #rename-level, #delete-level, #download-level and the file field
// #upload-level; on both #share-link with the field #share-text, and on the
// game page #keep-level, shown while a link's level is played.

var LibraryVantorLevels = {
  $VantorLevels__deps: ['$VantorMaps', '$VantorLinks', '$VantorLevelStore'],
  $VantorLevels: {
    FIRST_LEVEL: 'Eigene Karte',
    LINK_LEVEL: 'Karte aus dem Link',
    REMEMBERED: 'vantor-level',  // localStorage: the level last chosen on either page
    REFRESH_MS: 3000,
    MAP_FILE_SIZE: 4182,

    levels: [],  // as last listed, oldest first
    current: null,  // the chosen level's id
    fromLink: null,  // the map of a link not kept as a level (yet)
    editor: false,

    // Every write goes through update or remove; each lists again once it
    // has landed.
    update: function(id, change) {
      return VantorLevelStore.update(id, change).then(VantorLevels.list, VantorLevels.failed);
    },

    remove: function(id) {
      return VantorLevelStore.remove(id).then(VantorLevels.list, VantorLevels.failed);
    },

    failed: function() {
      VantorWeb.notice('Die Karte konnte nicht gespeichert werden.');
    },

    newLevel: function(name, map, saved) {
      var id = Date.now().toString(36) + Math.random().toString(36).slice(2, 8);
      return {id: id, name: name, saved: saved || Date.now(), map: new Uint8Array(map)};
    },

    add: function(level) {
      VantorLevels.levels.push(level);
      return VantorLevels.update(level.id, function() { return level; });
    },

    // Reads the list again. While this page's writes are on their way the
    // list waits for them (each write lists again when it has landed).
    list: function() {
      if (VantorLevelStore.storing > 0) return Promise.resolve();
      return VantorLevelStore.readAll().then(function(all) {
        if (VantorLevelStore.storing > 0) return;
        var before = VantorLevels.find(VantorLevels.current);
        VantorLevels.levels = all;
        var now = VantorLevels.find(VantorLevels.current);
        if (before && now && now.saved > before.saved) VantorLevels.savedElsewhere(now);
        VantorLevels.show();
      }, function() {});
    },

    find: function(id) {
      for (var i = 0; i < VantorLevels.levels.length; i++) {
        if (VantorLevels.levels[i].id === id) return VantorLevels.levels[i];
      }
      return null;
    },

    // Another page saved the chosen level: the game plays the new map, and
    // the editor shows it unless it holds work of its own.
    savedElsewhere: function(level) {
      if (VantorLevels.fromLink) return;
      if (VantorLevels.editor && VantorWeb.mapUnsaved()) return;
      VantorLevels.openMap(level.map);
    },

    // ---- Start ---------------------------------------------------------------

    attach: function() {
      var click = function(id, handler) {
        var button = VantorWeb.element(id);
        if (button) button.addEventListener('click', function() { handler(); VantorWeb.focusCanvas(); });
      };
      click('new-level', VantorLevels.onNew);
      click('rename-level', VantorLevels.onRename);
      click('delete-level', VantorLevels.onDelete);
      click('download-level', VantorLevels.onDownload);
      click('share-link', VantorLevels.onShare);
      click('keep-level', VantorLevels.onKeep);
      var upload = VantorWeb.element('upload-level');
      if (upload) upload.addEventListener('change', VantorLevels.onUpload);
      var list = VantorWeb.element('level-list');
      if (list) list.addEventListener('click', VantorLevels.onListClick);
    },

    // When the program starts: the old own map taken in, the list read, and
    // the page's link or the level chosen last opened.
    start: function() {
      VantorLevels.editor = !!Module['_vantor_edit_map'];
      var link = VantorLinks.fromPage();
      var own = VantorMaps.read(VantorMaps.OWN_MAP);
      if (own && own.bytes.length === VantorLevels.MAP_FILE_SIZE) {
        own = VantorLevels.newLevel(VantorLevels.FIRST_LEVEL, own.bytes, own.written);
      } else {
        own = null;
      }
      var ready = VantorMaps.storage ? VantorLevelStore.takeOwnMap(own).then(VantorLevels.list) : Promise.resolve();
      ready.catch(function() {}).then(function() {
        if (link && link.map) VantorLevels.openLink(link.map);
        else VantorLevels.openRemembered();
        if (link && !link.map) VantorWeb.notice(VantorLinks.BAD_LINK);
        VantorLevels.show();
      });
      var refresh = function() { if (!document.hidden) VantorLevels.list(); };
      window.addEventListener('focus', refresh);
      document.addEventListener('visibilitychange', refresh);
      setInterval(refresh, VantorLevels.REFRESH_MS);
    },

    openRemembered: function() {
      var id = null;
      try { id = localStorage.getItem(VantorLevels.REMEMBERED); } catch (e) {}
      var level = VantorLevels.find(id) || VantorLevels.levels[0];
      if (level) VantorLevels.choose(level);
    },

    // The game plays a link's level with F2 at once; the editor opens it as
    // a new level that F2 will save.
    openLink: function(map) {
      VantorLevels.current = null;
      VantorLevels.fromLink = map;
      if (VantorLevels.editor) VantorLevels.editMap(map);
      else VantorMaps.writeQuietly(VantorMaps.OWN_MAP, map);
      VantorWeb.notice(VantorLevels.editor ? 'Karte aus dem Link geöffnet: F2 speichert sie als neue Karte.'
                                           : 'Karte aus dem Link: F2 spielt sie.');
    },

    // ---- Choosing --------------------------------------------------------------

    // Leaving the editor's map is asked first while it holds unsaved work.
    mayLeaveMap: function() {
      if (!VantorLevels.editor || !VantorWeb.mapUnsaved()) return true;
      return window.confirm('Die Karte ist nicht gespeichert. Die Änderungen verwerfen?');
    },

    choose: function(level) {
      VantorLevels.current = level.id;
      VantorLevels.fromLink = null;
      try { localStorage.setItem(VantorLevels.REMEMBERED, level.id); } catch (e) {}
      VantorLevels.openMap(level.map);
      VantorLevels.show();
    },

    // The own map file is the level's map; the editor shows it at once.
    openMap: function(map) {
      VantorMaps.writeQuietly(VantorMaps.OWN_MAP, map);
      if (VantorLevels.editor) VantorLevels.editMap(map);
    },

    // The link codec's map buffer carries the bytes into the editor.
    editMap: function(map) {
      var at = Module['_vantor_link_map']();
      HEAPU8.set(map, at);
      Module['_vantor_edit_map'](at);
    },

    onListClick: function(e) {
      var item = e.target.closest && e.target.closest('[data-level]');
      var level = item && VantorLevels.find(item.dataset.level);
      if (!level || level.id === VantorLevels.current) return;
      if (VantorLevels.mayLeaveMap()) VantorLevels.choose(level);
      VantorWeb.focusCanvas();
    },

    // The editor's F2 wrote the own map: the chosen level keeps it, or,
    // without one, it becomes a new level.
    onOwnMapSaved: function() {
      var own = VantorMaps.read(VantorMaps.OWN_MAP);
      if (!own) return;
      var level = VantorLevels.find(VantorLevels.current);
      if (!level) {
        level = VantorLevels.newLevel(VantorLevels.fromLink ? VantorLevels.LINK_LEVEL : VantorLevels.FIRST_LEVEL, own.bytes);
        VantorLevels.levels.push(level);
        VantorLevels.choose(level);
        VantorLinks.forget();
      }
      level.map = own.bytes;
      level.saved = Date.now();
      VantorLevels.update(level.id, function(stored) {
        var saved = stored || level;  // a level deleted elsewhere meanwhile comes back with the save
        saved.map = level.map;
        saved.saved = level.saved;
        return saved;
      });
    },

    // ---- The buttons -----------------------------------------------------------

    onNew: function() {
      if (!VantorLevels.mayLeaveMap()) return;
      var name = VantorLevels.askName('Name der neuen Karte:', 'Neue Karte');
      if (!name) return;
      var level = VantorLevels.newLevel(name, new Uint8Array(VantorLevels.MAP_FILE_SIZE));
      VantorLevels.add(level);
      VantorLevels.choose(level);
    },

    askName: function(question, name) {
      var answer = window.prompt(question, name);
      return answer === null ? '' : answer.trim();
    },

    onRename: function() {
      var level = VantorLevels.find(VantorLevels.current);
      if (!level) return;
      var name = VantorLevels.askName('Neuer Name der Karte:', level.name);
      if (!name || name === level.name) return;
      level.name = name;
      VantorLevels.update(level.id, function(stored) {
        if (stored) stored.name = name;
        return stored;
      });
      VantorLevels.show();
    },

    onDelete: function() {
      var level = VantorLevels.find(VantorLevels.current);
      if (!level || !window.confirm('Die Karte „' + level.name + '“ löschen?')) return;
      VantorLevels.levels.splice(VantorLevels.levels.indexOf(level), 1);
      VantorLevels.current = null;
      var next = VantorLevels.levels[0];
      if (next) VantorLevels.choose(next);
      else if (VantorLevels.editor) VantorLevels.openMap(new Uint8Array(VantorLevels.MAP_FILE_SIZE));
      VantorLevels.remove(level.id);
      VantorLevels.show();
    },

    // The level as it was last saved, or the link's map.
    shownMap: function() {
      var level = VantorLevels.find(VantorLevels.current);
      if (level) return {name: level.name, map: level.map};
      if (VantorLevels.fromLink) return {name: VantorLevels.LINK_LEVEL, map: VantorLevels.fromLink};
      VantorWeb.notice('Es gibt noch keine Karte.');
      return null;
    },

    onDownload: function() {
      var shown = VantorLevels.shownMap();
      if (!shown) return;
      var link = document.createElement('a');
      link.href = URL.createObjectURL(new Blob([shown.map], {type: 'application/octet-stream'}));
      link.download = shown.name.replace(/[\\/:*?"<>|]/g, '_') + '.map';
      document.body.appendChild(link);
      link.click();
      link.remove();
      setTimeout(function() { URL.revokeObjectURL(link.href); }, 1000);
    },

    // A map file becomes a new level, named after the file; anything that
    // is not 4182 bytes is refused and nothing changes.
    onUpload: function(e) {
      var input = e.target;
      var file = input.files && input.files[0];
      if (!file) return;
      file.arrayBuffer().then(function(buffer) {
        input.value = '';
        if (buffer.byteLength !== VantorLevels.MAP_FILE_SIZE) {
          VantorWeb.notice('„' + file.name + '“ ist keine Karte: eine Karte hat ' + VantorLevels.MAP_FILE_SIZE + ' Bytes.');
          return;
        }
        var level = VantorLevels.newLevel(file.name.replace(/\.map$/i, '') || 'Karte', new Uint8Array(buffer));
        VantorLevels.add(level);
        VantorWeb.notice('Karte „' + level.name + '“ hinzugefügt.');
        if (VantorLevels.mayLeaveMap()) VantorLevels.choose(level);
        VantorLevels.show();
      });
    },

    onShare: function() {
      var shown = VantorLevels.shownMap();
      if (shown) VantorLinks.share(shown.map);
    },

    // The game page keeps the link's level in the list.
    onKeep: function() {
      if (!VantorLevels.fromLink) return;
      var name = VantorLevels.askName('Name der Karte:', VantorLevels.LINK_LEVEL);
      if (!name) return;
      var level = VantorLevels.newLevel(name, VantorLevels.fromLink);
      VantorLevels.add(level);
      VantorLevels.choose(level);
      VantorLinks.forget();
    },

    // ---- The list --------------------------------------------------------------

    show: function() {
      var list = VantorWeb.element('level-list');
      if (!list) return;
      list.textContent = '';
      var item = function(id, name, when) {
        var entry = document.createElement('li');
        if (id) entry.dataset.level = id;
        entry.className = id === VantorLevels.current ? 'current' : '';
        var title = document.createElement('span');
        title.className = 'name';
        title.textContent = name;
        var time = document.createElement('span');
        time.className = 'saved';
        time.textContent = when;
        entry.append(title, time);
        list.appendChild(entry);
        return entry;
      };
      if (VantorLevels.fromLink) item(null, VantorLevels.LINK_LEVEL, 'nicht gespeichert').className = 'current';
      VantorLevels.levels.forEach(function(level) {
        item(level.id, level.name, new Date(level.saved).toLocaleString('de-DE',
          {day: '2-digit', month: '2-digit', year: 'numeric', hour: '2-digit', minute: '2-digit'}));
      });
      var keep = VantorWeb.element('keep-level');
      if (keep) keep.hidden = !VantorLevels.fromLink;
      VantorWeb.fitCanvas();
    },
  },
};

mergeInto(LibraryManager.library, LibraryVantorLevels);
