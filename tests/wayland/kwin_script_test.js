// Purrlox's KWin script run against stand-ins of KWin's scripting API in both shapes it meets:
// KWin 5.27 (clientList, clientAdded, a stacking number and a desktop number per window) and
// KWin 6 (windowList, windowAdded, the workspace's stacking list, lists of desktop objects).
// Only 5.27 runs on this machine; this is how the script's KWin 6 side is checked.
// Usage: node kwin_script_test.js path/to/windows.js
"use strict";
const fs = require("fs");
const vm = require("vm");
const assert = require("assert");

const source = fs.readFileSync(process.argv[2], "utf8")
    .replace("@SERVICE@", ":1.42")
    .replace("@PID@", "4242");

class Signal {
    constructor() { this.handlers = []; }
    connect(f) { this.handlers.push(f); }
    emit(...args) { for (const f of this.handlers) f(...args); }
}

const windowSignals = ["frameGeometryChanged", "stackingOrderChanged", "minimizedChanged",
                       "hiddenChanged", "fullScreenChanged", "keepAboveChanged",
                       "keepBelowChanged", "opacityChanged"];

function makeWindow(plasma6, props) {
    const w = Object.assign({
        deleted: false, managed: true, popupWindow: false, normalWindow: true, dialog: false,
        desktopWindow: false, dock: false, minimized: false, hidden: false, fullScreen: false,
        keepAbove: false, keepBelow: false, onAllDesktops: false, opacity: 1,
    }, props);
    for (const s of windowSignals) w[s] = new Signal();
    w[plasma6 ? "desktopsChanged" : "desktopChanged"] = new Signal();
    return w;
}

// Runs the script in a workspace of the given shape; returns what it sent.
function run(plasma6) {
    const calls = [];
    const desk1 = {id: "d1"}, desk2 = {id: "d2"};
    const ws = {
        virtualScreenGeometry: {x: 0, y: 0, width: 2560, height: 1440},
        cursorPos: {x: 5, y: 6},
        currentDesktopChanged: new Signal(),
        virtualScreenGeometryChanged: new Signal(),
        cursorPosChanged: new Signal(),
    };
    const list = [];
    const window = (id, props, desk) => {
        const w = makeWindow(plasma6, Object.assign({internalId: "{" + id + "}"}, props));
        if (plasma6) w.desktops = desk === undefined ? [desk1] : desk;
        else w.desktop = desk === undefined ? 1 : desk;
        return w;
    };
    // Bottom to top: desktop, back, front, ours (a panel of Purrlox, on top), other desktop.
    const desktop = window("desk", {pid: 10, desktopWindow: true, normalWindow: false,
                                    frameGeometry: {x: 0, y: 0, width: 2560, height: 1440}});
    const back = window("back", {pid: 11, frameGeometry: {x: 100, y: 200, width: 800, height: 600}});
    const front = window("front", {pid: 12, keepAbove: true,
                                   frameGeometry: {x: 50.5, y: 60, width: 300, height: 200}});
    const ours = window("ours", {pid: 4242, frameGeometry: {x: 1, y: 2, width: 130, height: 150}});
    const away = window("away", {pid: 13, frameGeometry: {x: 9, y: 9, width: 99, height: 99}},
                        plasma6 ? [desk2] : 2);
    const menu = window("menu", {pid: 11, popupWindow: true,
                                 frameGeometry: {x: 0, y: 0, width: 10, height: 10}});
    const stack = [desktop, back, away, front, menu, ours];
    list.push(back, front, ours, desktop, away, menu); // not in stacking order
    if (plasma6) {
        ws.windowList = () => list.slice();
        ws.windowAdded = new Signal();
        ws.windowRemoved = new Signal();
        ws.stackingOrder = stack;
        ws.currentDesktop = desk1;
    } else {
        ws.clientList = () => list.slice();
        ws.clientAdded = new Signal();
        ws.clientRemoved = new Signal();
        ws.currentDesktop = 1;
        ws.currentVirtualDesktop = undefined;
        stack.forEach((w, i) => { w.stackingOrder = i; });
    }
    const context = {
        workspace: ws,
        print: () => {},
        callDBus: (service, path, iface, method, text) =>
            calls.push({service, path, iface, method, value: JSON.parse(text)}),
        Map, JSON, String,
    };
    vm.runInNewContext(source, context);
    return {calls, ws, back, front, ours, away, list, stack, plasma6};
}

for (const plasma6 of [false, true]) {
    const name = plasma6 ? "KWin 6" : "KWin 5.27";
    const t = run(plasma6);
    const windows = () => t.calls.filter(c => c.method === "windows");

    // One list at load, to our object, front-most first, without our panel or popups.
    assert.strictEqual(windows().length, 1, name + ": one list at load");
    const first = windows()[0];
    assert.strictEqual(first.service, ":1.42");
    assert.strictEqual(first.path, "/app/purrlox/Purrlox/KWin");
    assert.strictEqual(first.iface, "app.purrlox.Purrlox.KWin");
    assert.deepStrictEqual(first.value.outputs, [0, 0, 2560, 1440]);
    const ids = first.value.windows.map(w => w.id);
    assert.deepStrictEqual(ids, ["{front}", "{away}", "{back}", "{desk}"], name + ": order " + ids);
    const byId = Object.fromEntries(first.value.windows.map(w => [w.id, w]));
    assert.deepStrictEqual(byId["{front}"].frame, [50.5, 60, 300, 200]);
    assert.strictEqual(byId["{front}"].keepAbove, true);
    assert.strictEqual(byId["{front}"].kind, "normal");
    assert.strictEqual(byId["{desk}"].kind, "desktop");
    assert.strictEqual(byId["{away}"].onDesktop, false, name + ": another desktop");
    assert.strictEqual(byId["{back}"].onDesktop, true);

    // Our own panel moving costs nothing: nothing of the script listens to it.
    for (const s of windowSignals) assert.strictEqual(t.ours[s].handlers.length, 0, name + ": " + s);

    // A move is pushed; the same state again is not.
    t.back.frameGeometry = {x: 110, y: 200, width: 800, height: 600};
    t.back.frameGeometryChanged.emit(t.back);
    assert.strictEqual(windows().length, 2, name + ": a move is pushed");
    assert.deepStrictEqual(windows()[1].value.windows.find(w => w.id === "{back}").frame,
                           [110, 200, 800, 600]);
    t.back.stackingOrderChanged.emit();
    t.front.stackingOrderChanged.emit();
    assert.strictEqual(windows().length, 2, name + ": an unchanged list is not sent again");

    // Minimizing, a desktop switch, a new window and a closed one are pushed.
    t.front.minimized = true;
    t.front.minimizedChanged.emit(t.front);
    assert.strictEqual(windows()[2].value.windows.find(w => w.id === "{front}").minimized, true);
    if (plasma6) t.ws.currentDesktop = t.away.desktops[0];
    else t.ws.currentDesktop = 2;
    t.ws.currentDesktopChanged.emit();
    const afterSwitch = windows()[3].value.windows;
    assert.strictEqual(afterSwitch.find(w => w.id === "{away}").onDesktop, true, name);
    assert.strictEqual(afterSwitch.find(w => w.id === "{back}").onDesktop, false, name);

    const late = makeWindow(plasma6, {internalId: "{late}", pid: 14, onAllDesktops: true,
                                      frameGeometry: {x: 1, y: 1, width: 2, height: 2}});
    if (plasma6) { late.desktops = []; t.stack.push(late); } else { late.stackingOrder = 99; }
    t.list.push(late);
    (plasma6 ? t.ws.windowAdded : t.ws.clientAdded).emit(late);
    assert.strictEqual(windows()[4].value.windows[0].id, "{late}", name + ": a new window on top");
    assert.strictEqual(windows()[4].value.windows[0].onDesktop, true, name + ": on all desktops");
    late.frameGeometry = {x: 3, y: 1, width: 2, height: 2};
    late.frameGeometryChanged.emit(late);
    assert.strictEqual(windows().length, 6, name + ": the new window is watched");
    t.list.splice(t.list.indexOf(late), 1);
    if (plasma6) t.stack.splice(t.stack.indexOf(late), 1);
    (plasma6 ? t.ws.windowRemoved : t.ws.clientRemoved).emit(late);
    assert.ok(!windows()[6].value.windows.some(w => w.id === "{late}"), name + ": closed");

    // The pointer, when it moves.
    t.ws.cursorPos = {x: 70, y: 80};
    t.ws.cursorPosChanged.emit();
    const pointer = t.calls.filter(c => c.method === "pointer");
    assert.deepStrictEqual(pointer.map(c => c.value), [[70, 80]], name + ": the pointer");
    console.log("ok: " + name);
}
