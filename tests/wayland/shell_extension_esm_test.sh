#!/usr/bin/env bash
# The ES-module form of the Shell extension (GNOME 45 and later; this machine's Shell loads only
# the legacy form, which the e2e runs): loaded as a module by gjs, with the Shell's own modules
# stood in for, it must parse, export a default Extension class with enable and disable, and
# build the list from windows the way the legacy form does, and put the paw in the top bar.
set -euo pipefail
dir=${1:?usage: $0 build/gnome-shell/esm/UUID}
command -v gjs >/dev/null || { echo "SKIP: gjs is not installed" >&2; exit 77; }
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
sed -e "s|^import Meta from 'gi://Meta';|import {Meta} from './stubs.js';|" \
    -e "s|^import Clutter from 'gi://Clutter';|import {Clutter} from './stubs.js';|" \
    -e "s|^import St from 'gi://St';|import {St} from './stubs.js';|" \
    -e "s|^import \* as PanelMenu from 'resource:///org/gnome/shell/ui/panelMenu.js';|import * as PanelMenu from './stubs.js';|" \
    -e "s|^import \* as Main from 'resource:///org/gnome/shell/ui/main.js';|import * as Main from './stubs.js';|" \
    -e "s|^import {Extension} from 'resource:///org/gnome/shell/extensions/extension.js';|import {Extension} from './stubs.js';|" \
    "$dir/extension.js" >"$tmp/extension.js"
grep -q "resource:///" "$tmp/extension.js" && { echo "FAIL: an unknown Shell import is left" >&2; exit 1; }
cat >"$tmp/stubs.js" <<'JS'
export const Meta = {WindowType: {NORMAL: 0, DESKTOP: 1, DOCK: 2, DIALOG: 3, MODAL_DIALOG: 4},
    WindowClientType: {WAYLAND: 0, X11: 1}};
export const layoutManager = {monitors: [{x: 0, y: 0, width: 1280, height: 800},
    {x: 1280, y: 0, width: 1920, height: 1080}], primaryIndex: 1,
    connect: () => 1, disconnect: () => {}};
export class Extension { constructor(metadata) { this.metadata = metadata; } }
// The top bar's paw: the Shell's actors, as far as the button uses them.
class Actor { constructor(p = {}) { Object.assign(this, p); this.children = []; }
    add_child(c) { this.children.push(c); } connect() { return 1; } destroy() { this.gone = true; } }
export const St = {BoxLayout: Actor, Label: Actor};
export const Clutter = {ActorAlign: {CENTER: 2}, EVENT_STOP: true};
export class Button extends Actor {}
export const panel = {statusArea: {}, addToStatusArea(role, b) { this.statusArea[role] = b; }};
JS
cat >"$tmp/check.js" <<'JS'
import System from 'system';
import PurrloxExtension from './extension.js';
import {Extension} from './stubs.js';
import * as Main from './stubs.js';
const fail = m => { printerr(`FAIL: ${m}`); System.exit(1); };
if (!(PurrloxExtension.prototype instanceof Extension)) fail('the default export is no Extension');
for (const m of ['enable', 'disable'])
    if (typeof PurrloxExtension.prototype[m] !== 'function') fail(`no ${m}()`);
// A Shell with two windows, the back one minimized, and the signals counted.
const connected = [];
const win = (seq, x, minimized) => ({
    get_frame_rect: () => ({x, y: 100, width: 300, height: 200}), get_workspace: () => ({index: () => 0}),
    get_window_type: () => 0, get_stable_sequence: () => seq, minimized, is_fullscreen: () => false,
    is_above: () => false, is_on_all_workspaces: () => false, located_on_workspace: () => true,
    get_pid: () => 100 + seq, get_client_type: () => 0, is_override_redirect: () => false,
    connect: s => { connected.push(s); return connected.length; }, disconnect: () => {},
});
const back = win(1, 10, true), front = win(2, 400, false);
const emitter = {connect: () => 1, disconnect: () => {}};
globalThis.global = {
    display: {...emitter, sort_windows_by_stacking: ws => [back, front].filter(w => ws.includes(w))},
    workspace_manager: {...emitter, get_active_workspace: () => ({index: () => 0,
        get_work_area_for_monitor: i => ({x: 1280 * i, y: 32 * i, width: 1280 + 640 * i,
                                          height: 800 + 248 * i})})},
    get_window_actors: () => [{meta_window: back}, {meta_window: front}],
    get_pointer: () => [5, 6, 0],
};
const ext = new PurrloxExtension({uuid: 'purrlox@purrlox.app'});
ext.enable();
const list = JSON.parse(ext._export.GetWindows());
if (list.windows.map(w => w.x).join() !== '400,10') fail(`not front-most first: ${JSON.stringify(list)}`);
if (list.windows[1].shown || !list.windows[0].shown) fail('the minimized window is shown');
// Each monitor with its own work area (the top bar on the second one only), and the primary.
if (JSON.stringify(list.outputs) !== '[[0,0,1280,800,{"work":[0,0,1280,800],"primary":false}],'
    + '[1280,0,1920,1080,{"work":[1280,32,1920,1048],"primary":true}]]')
    fail(`outputs: ${JSON.stringify(list.outputs)}`);
if (!connected.includes('position-changed') || !connected.includes('unmanaged')) fail('window signals');
if (ext._export.GetPointer().join() !== '5,6') fail('pointer');
// Purrlox on the bus and no tray host: the paw's button, fed the countdown.
const paw = ext._paw;
paw._running = true;
paw._update();
const button = Main.panel.statusArea.purrlox;
if (!button || button.children[0].children[0].text !== '🐾') fail('no paw in the top bar');
paw._show({deepUnpack: () => ['24:59']});
if (button.purrloxClock.text !== '24:59' || !button.purrloxClock.visible) fail('no countdown');
paw._show({deepUnpack: () => ['<b>rm -rf</b>']});
if (button.purrloxClock.visible) fail('a label that is no countdown is shown');
paw._trayHost = true;
paw._update();
if (!button.gone) fail('two paws with a tray host');
ext.disable();
print('ok: the ES-module extension loads, lists front-most first and reads the pointer');
JS
# The export goes on a session bus of its own.
cd "$tmp" && dbus-run-session -- gjs -m check.js
