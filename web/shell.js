// The page's JavaScript shell: it hands every browser event that the windows need to the C++
// front end, and turns the browser's callbacks (files read, sizes changed) into events of the
// same kind. No command, rule or text lives here.

// The values the front end holds, by handle (js.h): 0 is undefined and 1 null.
var jsRefs = [undefined, null], jsFree = [], jsArgs = [];
function jsKeep(value) {
    if (value === undefined) return 0;
    if (value === null) return 1;
    var handle = jsFree.length ? jsFree.pop() : jsRefs.length;
    jsRefs[handle] = value;
    return handle;
}
var jsNames = {};
function jsName(text) {
    return jsNames[text] || (jsNames[text] = UTF8ToString(text));
}
function jsDrop(handle) {
    jsRefs[handle] = undefined;
    jsFree.push(handle);
}

(function () {
    var events = ["click", "dblclick", "input", "change", "keydown", "keyup", "focusin", "copy",
                  "beforeinput", "pointerdown", "pointermove", "pointerup", "dragover", "drop",
                  "close", "cancel", "runetally-file", "runetally-resize", "runetally-later"];
    // Before the program runs, the page already shows the main window: what the player types
    // stays in its boxes, and presses and shortcuts wait to be told once the program has loaded.
    // A shortcut's own browser action (Ctrl+P prints) is held back; editing keys are the box's.
    var early = [];
    function waits(event) {
        if (event.type == "click") return true;
        if (event.type != "keydown") return false;
        var shortcut = (event.ctrlKey || event.metaKey || event.altKey) &&
                       !/^[acvxyz]$/i.test(event.key);
        if (shortcut) event.preventDefault();
        return shortcut || event.key == "Enter" || event.key == "Escape";
    }
    function forward(event) {
        if (Module["calledRun"]) Module["_runetally_event"](jsKeep(event));
        else if (waits(event)) early.push(event);
    }
    Module["replayEarly"] = function () {
        early.splice(0).forEach(function (event) { Module["_runetally_event"](jsKeep(event)); });
    };
    for (var i = 0; i < events.length; ++i) document.addEventListener(events[i], forward, true);
    ["resize", "hashchange", "beforeunload"].forEach(function (type) {
        window.addEventListener(type, forward);
    });

    // Reads at most `limit` bytes of each file and tells the front end, with the tag it gave.
    Module["readFiles"] = function (files, tag, limit) {
        Array.prototype.forEach.call(files, function (file) {
            file.slice(0, limit).arrayBuffer().then(function (buffer) {
                document.dispatchEvent(new CustomEvent("runetally-file", {
                    detail: {tag: tag, name: file.name, bytes: new Uint8Array(buffer)}}));
            });
        });
    };

    // The page carries the WebAssembly gzipped, as base64 in a script element that is never run:
    // it is inflated as it streams into the compiler, with no data: address to fetch.
    Module["instantiateWasm"] = function (imports, done) {
        var text = atob(document.getElementById("runetally-wasm").textContent);
        var bytes = new Uint8Array(text.length);
        for (var i = 0; i < text.length; ++i) bytes[i] = text.charCodeAt(i);
        var wasm = new Response(new Blob([bytes]).stream().pipeThrough(
            new DecompressionStream("gzip")), {headers: {"Content-Type": "application/wasm"}});
        WebAssembly.instantiateStreaming(wasm, imports).then(function (result) {
            done(result.instance, result.module);
        });
        return {};
    };

    // Tells the front end once the page has been drawn.
    Module["afterPaint"] = function () {
        requestAnimationFrame(function () {
            setTimeout(function () {
                document.dispatchEvent(new CustomEvent("runetally-later"));
            }, 0);
        });
    };

    var sizes = typeof ResizeObserver === "function" ? new ResizeObserver(function (entries) {
        entries.forEach(function (entry) {
            entry.target.dispatchEvent(new CustomEvent("runetally-resize", {bubbles: true}));
        });
    }) : null;
    Module["watchSize"] = function (element) {
        if (sizes) sizes.observe(element);
    };
})();
