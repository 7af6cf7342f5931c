// Where the levels are kept (platform_web_levels.js shows them): each level
// is one record {id, name, saved, map} in the IndexedDB database
// vantor-levels. Every change is one transaction on that one record, read and
// written together, so two pages open at once never delete or roll back what
// the other stored.

var LibraryVantorLevelStore = {
  $VantorLevelStore: {
    DB_NAME: 'vantor-levels',
    dbOpened: null,  // the promise of the open database
    storing: 0,  // writes on their way

    openDb: function() {
      if (!VantorLevelStore.dbOpened) {
        VantorLevelStore.dbOpened = new Promise(function(resolve, reject) {
          var open = indexedDB.open(VantorLevelStore.DB_NAME, 1);
          open.onupgradeneeded = function() {
            open.result.createObjectStore('levels', {keyPath: 'id'});
            open.result.createObjectStore('flags');
          };
          open.onsuccess = function() { resolve(open.result); };
          open.onerror = function() { reject(open.error); };
        });
      }
      return VantorLevelStore.dbOpened;
    },

    // Runs work(levels, flags) in one transaction; resolves with the result
    // of the request work returns, once everything has landed.
    transact: function(mode, work) {
      return VantorLevelStore.openDb().then(function(db) {
        return new Promise(function(resolve, reject) {
          var transaction = db.transaction(['levels', 'flags'], mode);
          var request = work(transaction.objectStore('levels'), transaction.objectStore('flags'));
          transaction.oncomplete = function() { resolve(request ? request.result : undefined); };
          transaction.onabort = function() { reject(transaction.error || new Error('IndexedDB aborted')); };
        });
      });
    },

    // Counts the write while it is on its way.
    write: function(work) {
      VantorLevelStore.storing++;
      var landed = function() { VantorLevelStore.storing--; };
      return VantorLevelStore.transact('readwrite', work).then(landed, function(error) {
        landed();
        throw error;
      });
    },

    // Reads the level, lets change(level) make the record to store (level
    // is undefined when no page has it), and stores that, all in one
    // transaction; a change that returns null stores nothing.
    update: function(id, change) {
      return VantorLevelStore.write(function(levels) {
        var read = levels.get(id);
        read.onsuccess = function() {
          var level = change(read.result);
          if (level) levels.put(level);
        };
      });
    },

    remove: function(id) {
      return VantorLevelStore.write(function(levels) { levels.delete(id); });
    },

    // All levels, oldest first (the ids begin with the time they were made).
    readAll: function() {
      return VantorLevelStore.transact('readonly', function(levels) { return levels.getAll(); }).then(function(all) {
        return all.sort(function(a, b) { return a.id < b.id ? -1 : a.id > b.id ? 1 : 0; });
      });
    },

    // The own map that players kept before there were levels becomes the
    // first level (ownLevel, null without one), once: a flag in the same
    // transaction says it was taken.
    takeOwnMap: function(ownLevel) {
      return VantorLevelStore.transact('readwrite', function(levels, flags) {
        var taken = flags.get('ownMapTaken');
        taken.onsuccess = function() {
          if (taken.result) return;
          flags.put(true, 'ownMapTaken');
          if (ownLevel) levels.put(ownLevel);
        };
      });
    },
  },
};

mergeInto(LibraryManager.library, LibraryVantorLevelStore);
