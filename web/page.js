// Starts triangles in the page (emscripten's Module) and shows what the program says: each page's
// text alternative, a failure line "Couldn't ...", and the end of the run. The site fetches the
// font named by this script's data-font attribute into the program's files before it starts, and
// registers the service worker its data-worker attribute names; the one-file page has the font
// inside already, and no worker. Plain old JavaScript, so that even a browser too old for
// the program can run this far and say why it cannot go on.
(function () {
  "use strict";
  var script = document.currentScript;
  var fontName = script ? script.getAttribute("data-font") : null;
  var workerName = script ? script.getAttribute("data-worker") : null;
  var status = document.getElementById("status");
  var description = document.getElementById("description");
  var failed = false;

  function showFailure(line) {
    if (failed) {
      return;
    }
    failed = true;
    status.textContent = line;
    status.className = "failure";
  }

  function showEnd() {
    var again = document.createElement("a");
    again.href = "";
    again.textContent = "Start again";
    status.textContent = "The run has ended: that was the last page. ";
    status.appendChild(again);
    status.appendChild(document.createTextNode(" (or reload the page)."));
  }

  // Resources that fail to load (the program's script) and errors nobody caught. A preload that
  // failed is left to the fetch that uses its file, which says which file and why (the two would
  // otherwise race to say it, each in its own words).
  window.addEventListener("error", function (event) {
    var target = event.target;
    if (target && target.tagName === "LINK" && target.rel === "preload") {
      return;
    }
    if (target && target.tagName === "SCRIPT") {
      showFailure("Couldn't load " + target.src + ": the file is missing or could not be fetched");
    } else {
      showFailure("Couldn't run triangles: " + (event.message || "an error in the page"));
    }
  }, true);
  window.addEventListener("unhandledrejection", function (event) {
    showFailure("Couldn't start triangles: " + event.reason);
  });
  // A page of the site opened from disk may fetch nothing beside it.
  var onDisk = location.protocol === "file:" ?
    " (opened from disk: host the folder, or open the one-file page instead)" : "";

  if (typeof WebAssembly !== "object" || typeof Promise !== "function") {
    showFailure("Couldn't start triangles: this browser cannot run WebAssembly (a newer one can)");
    window.Module = {};
    return;
  }

  // The font, fetched at once, beside the program; null if it could not be (and said so).
  var font = null;
  if (fontName) {
    font = fetch(fontName).then(function (response) {
      if (!response.ok) {
        throw new Error(response.status + " " + response.statusText);
      }
      return response.arrayBuffer();
    }).catch(function (error) {
      showFailure("Couldn't load font " + new URL(fontName, location.href) + ": " + error.message +
                  onDisk);
      return null;
    });
  }

  // Before main: the font into the program's working folder, where it opens it (times.ttf).
  // Without it the program never starts.
  function putFont() {
    if (!font) {
      return;
    }
    Module.addRunDependency("font");
    font.then(function (bytes) {
      if (bytes) {
        Module.FS_createDataFile("/", fontName, new Uint8Array(bytes), true, false, false);
        Module.removeRunDependency("font");
      }
    });
  }

  // The site's files kept for offline use and installing (its service worker), registered once
  // the first page is shown, so that nothing of it slows that page down; only where the page was
  // served (from disk there is no worker) and only once. The page works the same without it.
  function keepForOffline() {
    if (workerName && "serviceWorker" in navigator && /^https?:$/.test(location.protocol)) {
      navigator.serviceWorker.register(workerName).catch(function () {});
      workerName = null;
    }
  }

  // Nearest pixels where the canvas is shown at its own size or larger; scaled down, nearest
  // pixels would drop whole lines, so the browser's smoothing keeps them.
  var canvas = document.getElementById("pages");
  function chooseScaling() {
    var shown = canvas.getBoundingClientRect().width * (window.devicePixelRatio || 1);
    canvas.style.imageRendering = shown >= canvas.width ? "" : "auto";
  }
  window.addEventListener("resize", chooseScaling);
  chooseScaling();

  window.Module = {
    canvas: canvas,
    preRun: [putFont],
    showFailure: showFailure,
    describePage: function (text) {
      description.textContent = text;
      keepForOffline();
    },
    onAbort: function (what) {
      showFailure("Couldn't start triangles: " + what);
    },
    // main runs across many turns of the browser's event loop (it sleeps in each wait), so its
    // status arrives through a promise.
    onRuntimeInitialized: function () {
      Module.ccall("main", "number", [], [], {async: true}).then(function (status) {
        if (status === 0) {
          showEnd();
        } else {
          showFailure("Couldn't go on: triangles ended with status " + status);
        }
      }, function (error) {
        showFailure("Couldn't go on: " + error);
      });
    }
  };
})();
