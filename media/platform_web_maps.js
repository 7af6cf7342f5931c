// The maps folder of the browser backend (platform_web.js's page side):
// /maps is kept in IndexedDB through the file system's IDBFS, read in before
// the program starts; each file the program writes there is stored when it
// is closed, and only that file, so pages of the site open side by side
// never delete or roll back each other's maps.

var LibraryVantorMaps = {
  $VantorMaps__deps: ['$FS', '$IDBFS'],
  $VantorMaps: {
    MAPS: '/maps',
    SHIPPED_MAPS: '/shipped-maps',
    OWN_MAP: '/maps/own .map',
    storage: true,
    syncing: false,
    syncAgain: false,
    changedMaps: {},  // paths in the maps folder written since they were last stored
    quiet: false,  // while IndexedDB's maps are read in, and the page's own writes: not changes

    // Before the program starts: the maps folder as IndexedDB last kept it.
    load: function() {
      FS.mkdir(VantorMaps.MAPS);
      if (typeof indexedDB === 'undefined' || !indexedDB) {
        VantorMaps.storageLost();
        return;
      }
      try {
        FS.mount(IDBFS, {}, VantorMaps.MAPS);
      } catch (e) {
        VantorMaps.storageLost();
        return;
      }
      addRunDependency('vantor-maps');
      VantorMaps.quiet = true;
      FS.syncfs(true, function(error) {
        VantorMaps.quiet = false;
        if (error) VantorMaps.storageLost();
        removeRunDependency('vantor-maps');
      });
    },

    // The shipped maps come with the page and are copied in at each start.
    copyShipped: function() {
      var names = [];
      try { names = FS.readdir(VantorMaps.SHIPPED_MAPS); } catch (e) { return; }
      names.forEach(function(name) {
        if (name === '.' || name === '..') return;
        FS.writeFile(VantorMaps.MAPS + '/' + name, FS.readFile(VantorMaps.SHIPPED_MAPS + '/' + name));
      });
    },

    // Maps stay in memory for the session; the page says once that they
    // will not be kept.
    storageLost: function() {
      if (!VantorMaps.storage) return;
      VantorMaps.storage = false;
      VantorWeb.notice('Karten werden in diesem Browser nicht gespeichert.');
    },

    // Stores the files of the maps folder that this page wrote; one write at
    // a time, and one more after it when something changed meanwhile.
    save: function() {
      if (!VantorMaps.storage) return;
      if (VantorMaps.syncing) {
        VantorMaps.syncAgain = true;
        return;
      }
      var paths = Object.keys(VantorMaps.changedMaps);
      if (paths.length === 0) return;
      VantorMaps.changedMaps = {};
      VantorMaps.syncing = true;
      VantorMaps.store(paths, function(error) {
        VantorMaps.syncing = false;
        if (error) VantorMaps.storageLost();
        if (VantorMaps.syncAgain) {
          VantorMaps.syncAgain = false;
          VantorMaps.save();
        }
      });
    },

    // Puts the given files into IndexedDB as the file system's own sync
    // stores them, in one transaction; a file gone from memory is deleted.
    // Only these files: a sync of the whole folder would delete, or roll back
    // to this page's copy, the maps that another page of the site (the game
    // beside the editor, a second tab) stored after this one had read them.
    store: function(paths, done) {
      IDBFS.getDB(VantorMaps.MAPS, function(error, db) {
        if (error) return done(error);
        var transaction;
        try {
          transaction = db.transaction([IDBFS.DB_STORE_NAME], 'readwrite');
        } catch (e) {
          return done(e);
        }
        transaction.oncomplete = function() { done(null); };
        transaction.onabort = function() { done(transaction.error || new Error('IndexedDB write aborted')); };
        var store = transaction.objectStore(IDBFS.DB_STORE_NAME);
        paths.forEach(function(path) {
          IDBFS.loadLocalEntry(path, function(error, entry) {
            if (error) store.delete(path);
            else store.put(entry, path);
          });
        });
      });
    },

    // A data file that the program wrote is kept as soon as it is closed:
    // the file system's write and close are watched for streams inside the
    // maps folder. A saved own map is also the chosen level's new map.
    watchFileWrites: function() {
      var write = FS.write, close = FS.close;
      FS.write = function(stream) {
        if (stream.path && stream.path.indexOf(VantorMaps.MAPS + '/') === 0) stream.vantorWritten = true;
        return write.apply(FS, arguments);
      };
      FS.close = function(stream) {
        var written = stream.vantorWritten;
        var result = close.apply(FS, arguments);
        if (written && !VantorMaps.quiet) {
          VantorMaps.changedMaps[stream.path] = true;
          VantorMaps.save();
          if (stream.path === VantorMaps.OWN_MAP) VantorLevels.onOwnMapSaved();
        }
        return result;
      };
    },

    // The page puts a level's map in place of the own map without storing
    // it: the level list keeps the map, the folder only holds the copy the
    // program reads.
    writeQuietly: function(path, bytes) {
      VantorMaps.quiet = true;
      try {
        FS.writeFile(path, bytes);
      } finally {
        VantorMaps.quiet = false;
      }
    },

    // A file's bytes and when it was last written; null when there is none.
    read: function(path) {
      try {
        return {bytes: FS.readFile(path), written: FS.stat(path).mtime.getTime()};
      } catch (e) {
        return null;
      }
    },
  },
};

mergeInto(LibraryManager.library, LibraryVantorMaps);
