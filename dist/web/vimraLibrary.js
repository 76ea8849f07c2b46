// Runtime functions that SDL's inline JavaScript calls (its audio resumes
// its context and runs its callback through them). This toolchain links a
// runtime function only when a library function names it as a dependency,
// so one that does nothing names them and is linked by name.
mergeInto(LibraryManager.library, {
  vimraWebRuntime__deps: ['$autoResumeAudioContext', '$dynCall'],
  vimraWebRuntime: function() {},
});
