// The page around vimra.js: checks for WebGL, fetches the program and the
// pack with a progress bar, starts the program on the page's canvas, starts
// the sound at the first touch, click or key (browsers let a page play
// sound only after one), and offers full screen. Anything that stops the
// game is said in one message on the page.
//
// window.vimraPage tells a test driver how far the page got: phase is
// 'loading', 'running', 'failed' or 'ended'; message is the text shown.
(function() {
  'use strict';

  var page = {phase: 'loading', message: ''};
  window.vimraPage = page;
  var canvas = document.getElementById('canvas');
  var loading = document.getElementById('loading');
  var statusLine = document.getElementById('status');
  var fill = document.getElementById('fill');
  var messageBox = document.getElementById('message');
  var fullscreenButton = document.getElementById('fullscreen');

  function fail(text) {
    if (page.phase === 'failed') return;  // the first cause is the one to show
    page.phase = 'failed';
    page.message = text;
    loading.style.display = 'none';
    fullscreenButton.style.display = 'none';
    messageBox.textContent = text;
    messageBox.style.display = 'block';
  }

  function hasWebGL() {
    try {
      var probe = document.createElement('canvas');
      return !!(window.WebGLRenderingContext &&
                (probe.getContext('webgl') || probe.getContext('experimental-webgl')));
    } catch (e) {
      return false;
    }
  }

  // Fetches one file, reporting the bytes received so far.
  function fetchBytes(url, progress) {
    return fetch(url).then(function(response) {
      if (!response.ok) throw new Error(url + ': ' + response.status + ' ' + response.statusText);
      var total = Number(response.headers.get('Content-Length')) || 0;
      progress(0, total);
      if (!response.body || !response.body.getReader) {
        return response.arrayBuffer().then(function(buffer) {
          progress(buffer.byteLength, total);
          return new Uint8Array(buffer);
        });
      }
      var reader = response.body.getReader();
      var parts = [];
      var received = 0;
      function next() {
        return reader.read().then(function(step) {
          if (step.done) {
            var bytes = new Uint8Array(received);
            var at = 0;
            parts.forEach(function(part) {
              bytes.set(part, at);
              at += part.length;
            });
            return bytes;
          }
          parts.push(step.value);
          received += step.value.length;
          progress(received, total);
          return next();
        });
      }
      return next();
    }, function(error) {
      throw new Error(url + ': ' + error.message);
    });
  }

  var files = ['vimra.wasm', 'vimradata.bin'];
  var received = {}, totals = {};
  function showProgress(name, have, total) {
    received[name] = have;
    totals[name] = total;
    var sumHave = 0, sumTotal = 0;
    files.forEach(function(f) {
      sumHave += received[f] || 0;
      sumTotal += totals[f] || 0;
    });
    var fraction = sumTotal > 0 ? Math.min(1, sumHave / sumTotal) : 0;
    fill.style.width = (100 * fraction).toFixed(1) + '%';
    statusLine.textContent = 'Loading… ' + Math.round(100 * fraction) + '%';
  }

  // Sound may start only after a gesture; the program opens its audio
  // device before any, so the first touch, click or key resumes it.
  function resumeAudio() {
    var sdl = window.Module && window.Module['SDL2'];
    var context = sdl && sdl.audioContext;
    if (context && context.state === 'suspended') context.resume();
    if (!context || context.state !== 'running') return;
    ['pointerdown', 'touchend', 'keydown'].forEach(function(type) {
      window.removeEventListener(type, resumeAudio, true);
    });
  }
  ['pointerdown', 'touchend', 'keydown'].forEach(function(type) {
    window.addEventListener(type, resumeAudio, true);
  });

  var root = document.documentElement;
  var requestFullscreen = root.requestFullscreen || root.webkitRequestFullscreen;
  if (requestFullscreen) {
    fullscreenButton.addEventListener('click', function(event) {
      event.stopPropagation();
      var exit = document.exitFullscreen || document.webkitExitFullscreen;
      if (document.fullscreenElement || document.webkitFullscreenElement) {
        exit.call(document);
      } else {
        var request = requestFullscreen.call(root);
        if (request && request.catch) request.catch(function() {});
      }
      canvas.focus();
    });
  }

  // The program sizes its canvas to the page's CSS size times
  // devicePixelRatio whenever the window says 'resize'. A change of density
  // alone (the window dragged to another screen, some zooms) says nothing,
  // and media-query listeners do not hear every such change either: the
  // ratio is looked at once per animation frame, and a change told as a
  // resize.
  var density = window.devicePixelRatio;
  function followDensity() {
    if (window.devicePixelRatio !== density) {
      density = window.devicePixelRatio;
      window.dispatchEvent(new Event('resize'));
    }
    window.requestAnimationFrame(followDensity);
  }
  window.requestAnimationFrame(followDensity);

  if (!hasWebGL()) {
    fail('vimra needs WebGL, which this browser does not offer or has switched off.');
    return;
  }

  Promise
      .all(files.map(function(name) {
        return fetchBytes(name, function(have, total) {
          showProgress(name, have, total);
        });
      }))
      .then(function(bytes) {
        window.Module = {
          canvas: canvas,
          wasmBinary: bytes[0],
          vimraPack: bytes[1],
          print: function(text) {
            console.log(text);
          },
          printErr: function(text) {
            console.warn(text);
          },
          onRuntimeInitialized: function() {
            page.phase = 'running';
            loading.style.display = 'none';
            if (requestFullscreen) fullscreenButton.style.display = 'block';
            canvas.focus();
          },
          onStartFailed: function(text) {
            fail(text);
          },
          onGameEnded: function() {
            page.phase = 'ended';
            page.message = 'vimra has ended. Reload the page to play again.';
            messageBox.textContent = page.message;
            messageBox.style.display = 'block';
          },
          onAbort: function(what) {
            fail('vimra stopped: ' + what);
          },
        };
        var script = document.createElement('script');
        script.src = 'vimra.js';
        script.onerror = function() {
          fail('vimra could not be loaded: vimra.js did not arrive.');
        };
        document.body.appendChild(script);
      })
      .catch(function(error) {
        fail('vimra could not be loaded: ' + error.message);
      });
})();
