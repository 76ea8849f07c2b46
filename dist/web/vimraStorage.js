// Runs inside vimra.js, before the program: puts the files the game reads
// from its working directory in place, and keeps the settings file in the
// browser's storage (IndexedDB) between visits.
//
// The pack arrives as Module.vimraPack (the page has fetched it). The stored
// settings file is copied beside it as it is, without a look at its bytes:
// the game checks the file as it checks one on a disk, so a damaged stored
// file starts the game with its defaults, as on the desktop. A stored entry
// far larger than any settings file is not even copied. Whenever the game
// writes the file (onSettingsWritten), the new one goes back to storage.
Module['preRun'] = Module['preRun'] || [];
Module['preRun'].push(function() {
  var pack = Module['vimraPack'];
  if (pack) {
    FS.writeFile('/vimradata.bin', pack);
    delete Module['vimraPack'];
  }
  FS.mkdir('/persist');
  FS.mount(IDBFS, {}, '/persist');
  addRunDependency('vimra-settings');
  FS.syncfs(true, function(error) {
    // Without storage (a private window may refuse it) the game starts with
    // its defaults and keeps its choices for this visit only.
    if (!error) {
      try {
        var stat = FS.stat('/persist/vimraconfig.bin');
        if (FS.isFile(stat.mode) && stat.size <= 65536) {
          FS.writeFile('/vimraconfig.bin', FS.readFile('/persist/vimraconfig.bin'));
        }
      } catch (missing) {
      }
    }
    removeRunDependency('vimra-settings');
  });
});

var vimraSyncing = false;
var vimraSyncAgain = false;
Module['settingsStored'] = 0;
Module['onSettingsWritten'] = function vimraStoreSettings() {
  try {
    FS.writeFile('/persist/vimraconfig.bin', FS.readFile('/vimraconfig.bin'));
  } catch (unwritten) {
    return;  // the game could not write its file; it said so on the console
  }
  if (vimraSyncing) {
    vimraSyncAgain = true;
    return;
  }
  vimraSyncing = true;
  FS.syncfs(false, function(error) {
    vimraSyncing = false;
    if (!error) Module['settingsStored']++;
    if (vimraSyncAgain) {
      vimraSyncAgain = false;
      vimraStoreSettings();
    }
  });
};
