// The page's side of the web video driver (SDL_webvideo.c), as an emscripten JavaScript
// library linked into the program (--js-library). It draws on the page's canvas (Module.canvas)
// and queues the window's key presses and releases, and taps and clicks on the canvas, until SDL
// pumps them. Module.webVideo.nextInput() is a promise kept by the next event: the program's
// wait awaits it, so nothing of the program runs between events.
mergeInto(LibraryManager.library, {
  $webVideo: {
    F1: 282,
    LAST_FUNCTION_KEY: 15,
    LAST_WORLD_KEY: 255, // SDL's symbols stop at Latin-1
    SPACE: 32, // a tap is the space bar of a touch screen

    // SDL 1.2's key symbols for a KeyboardEvent: modifiers and locks by the key's place, other
    // named keys by name, function keys by number, a key that types one character by that
    // character in lower case (SDL's symbols for letters), anything else SDLK_UNKNOWN, 0 (still a
    // key, which turns the page). The tables are looked up by the browser's names, so they are
    // literals of this function with quoted names: closure, which minifies the page's script,
    // renames other properties.
    keySym: function (event) {
      var byPlace = { "ShiftRight": 303, "ShiftLeft": 304, "ControlRight": 305, "ControlLeft": 306,
        "AltRight": 307, "AltLeft": 308, "MetaRight": 312, "MetaLeft": 311, "OSRight": 312,
        "OSLeft": 311 };
      var byName = { "Backspace": 8, "Tab": 9, "Clear": 12, "Enter": 13, "Pause": 19,
        "Escape": 27, "Delete": 127, "ArrowUp": 273, "ArrowDown": 274, "ArrowRight": 275,
        "ArrowLeft": 276, "Insert": 277, "Home": 278, "End": 279, "PageUp": 280, "PageDown": 281,
        "NumLock": 300, "CapsLock": 301, "ScrollLock": 302, "Shift": 304, "Control": 306,
        "Alt": 308, "Meta": 311, "OS": 311, "AltGraph": 313, "Compose": 314, "Help": 315,
        "PrintScreen": 316, "ContextMenu": 319 };
      var name = event.key || "";
      if (name !== "AltGraph" && byPlace.hasOwnProperty(event.code)) {
        return byPlace[event.code];
      }
      if (byName.hasOwnProperty(name)) {
        return byName[name];
      }
      var functionKey = /^F([0-9]+)$/.exec(name);
      if (functionKey && functionKey[1] >= 1 && functionKey[1] <= webVideo.LAST_FUNCTION_KEY) {
        return webVideo.F1 + Number(functionKey[1]) - 1;
      }
      var character = name.length === 1 ? name.toLowerCase().charCodeAt(0) : 0;
      return character <= webVideo.LAST_WORLD_KEY ? character : 0;
    },

    // Keys the page would act on itself (scrolling, find as you type) act on the program alone;
    // those held with Ctrl, Alt or Meta, Tab (to the links) and the function keys (reload, full
    // screen) keep their meaning in the browser.
    keepsBrowserMeaning: function (event) {
      return event.ctrlKey || event.altKey || event.metaKey || /^(Tab|F[0-9]+)$/.test(event.key);
    },
  },

  web_has_canvas: function () {
    return typeof Module === "object" && Module["canvas"] ? 1 : 0;
  },

  // Sizes the canvas and starts listening: keys on the window (the canvas never takes the focus,
  // so no focus ring is drawn over it), taps and clicks on the canvas alone. 0 without a canvas.
  web_open__deps: ["$webVideo"],
  web_open: function (width, height) {
    var canvas = Module["canvas"]; // the page's (web/page.js), by the name it gives
    var context = canvas ? canvas.getContext("2d") : null;
    if (!context) {
      return 0;
    }
    if (Module.webVideo) {
      Module.webVideo.close();
    }
    canvas.width = width;
    canvas.height = height;
    var video = { events: [], wake: null, context: context, height: height };
    function queue(down, sym) {
      video.events.push(down, sym);
      if (video.wake) {
        var wake = video.wake;
        video.wake = null;
        wake();
      }
    }
    function onKey(event) {
      if (event.target.closest && event.target.closest("a, button, input, select, textarea")) {
        return; // the key is for the link or control that has the focus (Enter opens a link)
      }
      if (!(event.type === "keydown" && event.repeat)) { // a held key is one press
        queue(event.type === "keydown" ? 1 : 0, webVideo.keySym(event));
      }
      if (!webVideo.keepsBrowserMeaning(event)) {
        event.preventDefault();
      }
    }
    function onTap() {
      queue(1, webVideo.SPACE);
      queue(0, webVideo.SPACE);
    }
    window.addEventListener("keydown", onKey);
    window.addEventListener("keyup", onKey);
    canvas.addEventListener("click", onTap);
    video.nextInput = function () {
      return new Promise(function (resolve) {
        if (video.events.length > 0 || Module.webVideo !== video) {
          resolve();
        } else {
          video.wake = resolve;
        }
      });
    };
    video.close = function () {
      window.removeEventListener("keydown", onKey);
      window.removeEventListener("keyup", onKey);
      canvas.removeEventListener("click", onTap);
      Module.webVideo = null;
      if (video.wake) {
        video.wake();
      }
    };
    Module.webVideo = video;
    return 1;
  },

  // Puts a rectangle of the screen (32-bit, red, green, blue and alpha in memory order, rows of
  // the canvas's width) onto the canvas, read straight from the program's memory.
  web_present: function (pixels, pitch, x, y, w, h) {
    var video = Module.webVideo;
    if (!video) {
      return;
    }
    var screen = new Uint8ClampedArray(HEAPU8.buffer, pixels, pitch * video.height);
    video.context.putImageData(new ImageData(screen, pitch / 4, video.height), 0, 0, x, y, w, h);
  },

  // Takes the oldest queued event: 1 with *down and *sym set, or 0 when there is none.
  web_next_event: function (down, sym) {
    var video = Module.webVideo;
    if (!video || video.events.length === 0) {
      return 0;
    }
    HEAP32[down >> 2] = video.events.shift();
    HEAP32[sym >> 2] = video.events.shift();
    return 1;
  },

  web_close: function () {
    if (Module.webVideo) {
      Module.webVideo.close();
    }
  },
});
