// Loaded into KWin by Purrlox: tells it where KWin draws every window, in stacking order, and
// where the pointer is, each time one of them changes. Purrlox fills in the two values below
// before loading it, and unloads it again when it quits.
// KWin 5.27 (clientList, clientAdded, per-window desktop numbers) and KWin 6 (windowList,
// windowAdded, lists of desktops) are both handled by asking what the workspace offers.
var purrlox = {service: "@SERVICE@", pid: @PID@};
var path = "/app/purrlox/Purrlox/KWin";
var iface = "app.purrlox.Purrlox.KWin";

var plasma6 = typeof workspace.windowList === "function";
var lastSent = "";
var watched = [];

function allWindows() {
    return plasma6 ? workspace.windowList() : workspace.clientList();
}

// Purrlox's own panels, and windows that are not windows to stand on (menus, tooltips, windows
// KWin does not manage), are left out before anything is connected to them: our panels move
// with every step of the cat, and none of that must come back here.
function wanted(w) {
    if (!w || w.deleted || w.managed === false || w.popupWindow) return false;
    return w.pid !== purrlox.pid;
}

function currentDesktop() {
    return workspace.currentVirtualDesktop || workspace.currentDesktop;
}

function onCurrentDesktop(w) {
    if (w.onAllDesktops) return true;
    var desks = w.desktops;
    if (desks && desks.length !== undefined) {
        var cur = currentDesktop();
        for (var i = 0; i < desks.length; i++)
            if (desks[i] === cur || (desks[i] && cur && desks[i].id === cur.id)) return true;
        if (desks.length > 0) return false;
    }
    // KWin 5.27: numbers.
    return typeof w.desktop !== "number" || w.desktop === workspace.currentDesktop;
}

function kind(w) {
    if (w.desktopWindow) return "desktop";
    if (w.dock) return "dock";
    if (w.normalWindow || w.dialog) return "normal";
    return "other";
}

// Front-most first. KWin 6 gives the order as a list (bottom first); 5.27 as a number per window.
function ordered() {
    var list = [];
    var all = allWindows();
    for (var i = 0; i < all.length; i++)
        if (wanted(all[i])) list.push(all[i]);
    var stack = workspace.stackingOrder;
    if (stack && stack.length !== undefined) {
        var rank = new Map();
        for (var j = 0; j < stack.length; j++) rank.set(stack[j], j);
        list.sort(function (a, b) { return (rank.get(b) || 0) - (rank.get(a) || 0); });
    } else {
        list.sort(function (a, b) { return b.stackingOrder - a.stackingOrder; });
    }
    return list;
}

function describe(w) {
    var g = w.frameGeometry;
    return {
        id: String(w.internalId),
        frame: [g.x, g.y, g.width, g.height],
        pid: w.pid,
        kind: kind(w),
        minimized: !!w.minimized,
        hidden: !!w.hidden,
        fullScreen: !!w.fullScreen,
        keepAbove: !!w.keepAbove,
        keepBelow: !!w.keepBelow,
        onDesktop: onCurrentDesktop(w),
        opacity: w.opacity
    };
}

// Several signals come for one change (a raise renumbers every window): only a list that
// differs from the last one sent goes out.
// Each output with its own work area (the panels on it cut away). KWin 6 lists outputs
// (workspace.screens); 5.27 numbers them (workspace.numScreens).
function screens() {
    var out = [];
    if (typeof workspace.clientArea !== "function") return out;
    var known = typeof KWin !== "undefined";
    var maximize = known ? KWin.MaximizeArea : 2, whole = known ? KWin.ScreenArea : 7;
    var desk = currentDesktop();
    var list = workspace.screens;
    var listed = list && list.length !== undefined;
    var count = listed ? list.length : (workspace.numScreens || 0);
    for (var i = 0; i < count; i++) {
        var s = listed ? list[i] : i;
        var g = s && s.geometry ? s.geometry : workspace.clientArea(whole, s, desk);
        var w = workspace.clientArea(maximize, s, desk) || g;
        if (!g) continue;
        out.push({
            name: s && s.name !== undefined ? String(s.name) : "",
            frame: [g.x, g.y, g.width, g.height],
            work: [w.x, w.y, w.width, w.height],
            scale: s && typeof s.devicePixelRatio === "number" ? s.devicePixelRatio : 0,
            refresh: s && typeof s.refreshRate === "number" ? s.refreshRate / 1000 : 0
        });
    }
    return out;
}

function push() {
    var g = workspace.virtualScreenGeometry;
    var list = ordered();
    var windows = [];
    for (var i = 0; i < list.length; i++) windows.push(describe(list[i]));
    var text = JSON.stringify({outputs: [g.x, g.y, g.width, g.height], screens: screens(),
                               windows: windows});
    if (text === lastSent) return;
    lastSent = text;
    callDBus(purrlox.service, path, iface, "windows", text);
}

function connectSignal(object, name, handler) {
    var signal = object[name];
    if (signal && typeof signal.connect === "function") signal.connect(handler);
}

var windowSignals = ["frameGeometryChanged", "stackingOrderChanged", "minimizedChanged",
                     "hiddenChanged", "fullScreenChanged", "keepAboveChanged", "keepBelowChanged",
                     "desktopChanged", "desktopsChanged", "desktopPresenceChanged",
                     "opacityChanged", "windowTypeChanged"];

function watch(w) {
    if (!wanted(w) || watched.indexOf(w) >= 0) return;
    watched.push(w);
    for (var i = 0; i < windowSignals.length; i++) connectSignal(w, windowSignals[i], push);
}

function added(w) {
    watch(w);
    push();
}

function removed(w) {
    var at = watched.indexOf(w);
    if (at >= 0) watched.splice(at, 1);
    push();
}

connectSignal(workspace, plasma6 ? "windowAdded" : "clientAdded", added);
connectSignal(workspace, plasma6 ? "windowRemoved" : "clientRemoved", removed);
connectSignal(workspace, "currentDesktopChanged", push);
connectSignal(workspace, "virtualScreenGeometryChanged", push);
connectSignal(workspace, "screensChanged", push);
connectSignal(workspace, "clientAreaChanged", push);
connectSignal(workspace, "numberScreensChanged", push);
connectSignal(workspace, "screenResized", push);
connectSignal(workspace, "cursorPosChanged", function () {
    var p = workspace.cursorPos;
    callDBus(purrlox.service, path, iface, "pointer", JSON.stringify([p.x, p.y]));
});

var initial = allWindows();
for (var k = 0; k < initial.length; k++) watch(initial[k]);
push();
