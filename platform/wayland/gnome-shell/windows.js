// Tells Purrlox, a desktop cat, where the windows are: under Wayland no client may list other
// clients' windows, so the Shell says it. Each window's frame as Mutter draws it, the stacking
// order, its state and the monitors go out as one signal whenever any of them changes; nothing
// runs while nothing changes. Purrlox reads the pointer on request, at most once a second.

const PurrloxPath = '/app/purrlox/Shell/Windows';
const PurrloxInterface = `<node>
  <interface name="app.purrlox.Shell.Windows">
    <method name="GetWindows"><arg type="s" direction="out" name="windows"/></method>
    <method name="GetPointer">
      <arg type="i" direction="out" name="x"/><arg type="i" direction="out" name="y"/>
    </method>
    <signal name="WindowsChanged"><arg type="s" name="windows"/></signal>
  </interface>
</node>`;

// Changes that move, resize, show, hide or restack one window.
const PurrloxWindowSignals = ['position-changed', 'size-changed', 'workspace-changed',
    'notify::minimized', 'notify::fullscreen', 'notify::above', 'notify::on-all-workspaces',
    'notify::maximized-horizontally', 'notify::maximized-vertically'];

class PurrloxWindowExport {
    constructor(layoutManager) {
        this._layout = layoutManager;
        this._exported = null;
        this._handlers = [];
        this._windows = new Map(); // MetaWindow -> its handler ids
        this._idle = 0;
        this._last = '';
        this._pointer = [0, 0];
        this._pointerAt = 0;
    }

    enable() {
        this._exported = Gio.DBusExportedObject.wrapJSObject(PurrloxInterface, this);
        this._exported.export(Gio.DBus.session, PurrloxPath);
        this._watch(global.display, 'window-created', (_d, win) => {
            this._track(win);
            this._changed();
        });
        this._watch(global.display, 'restacked', () => this._changed());
        this._watch(global.workspace_manager, 'active-workspace-changed', () => this._changed());
        this._watch(this._layout, 'monitors-changed', () => this._changed());
        this._watch(global.display, 'workareas-changed', () => this._changed());
        for (const actor of global.get_window_actors())
            this._track(actor.meta_window);
        this._changed();
    }

    disable() {
        if (this._idle)
            GLib.source_remove(this._idle);
        this._idle = 0;
        for (const [object, id] of this._handlers)
            object.disconnect(id);
        this._handlers = [];
        for (const [win, ids] of this._windows)
            ids.forEach(id => win.disconnect(id));
        this._windows.clear();
        if (this._exported)
            this._exported.unexport();
        this._exported = null;
        this._last = '';
    }

    // D-Bus: the whole list now.
    GetWindows() {
        return this._list();
    }

    // D-Bus: the pointer in the Shell's logical pixels, read at most once a second.
    GetPointer() {
        const now = GLib.get_monotonic_time();
        if (now - this._pointerAt >= 1000000) {
            const [x, y] = global.get_pointer();
            this._pointer = [x, y];
            this._pointerAt = now;
        }
        return this._pointer;
    }

    _watch(object, signal, handler) {
        this._handlers.push([object, object.connect(signal, handler)]);
    }

    _track(win) {
        // Menus, tooltips and Purrlox's own panels (all override-redirect) are not walked on.
        if (!win || win.is_override_redirect() || this._windows.has(win))
            return;
        const ids = PurrloxWindowSignals.map(s => win.connect(s, () => this._changed()));
        ids.push(win.connect('unmanaged', () => {
            ids.forEach(id => win.disconnect(id));
            this._windows.delete(win);
            this._changed();
        }));
        this._windows.set(win, ids);
    }

    // Many changes in one main-loop turn (a drag, a workspace switch) go out as one list, and
    // an unchanged list not at all.
    _changed() {
        if (this._idle || !this._exported)
            return;
        this._idle = GLib.idle_add(GLib.PRIORITY_DEFAULT, () => {
            this._idle = 0;
            const list = this._list();
            if (list !== this._last && this._exported) {
                this._last = list;
                this._exported.emit_signal('WindowsChanged', new GLib.Variant('(s)', [list]));
            }
            return GLib.SOURCE_REMOVE;
        });
    }

    _list() {
        const active = global.workspace_manager.get_active_workspace();
        const tracked = [...this._windows.keys()];
        const front = global.display.sort_windows_by_stacking(tracked).reverse();
        const windows = front.slice(0, 1000).map(win => {
            const r = win.get_frame_rect();
            const workspace = win.get_workspace();
            return {
                id: String(win.get_stable_sequence()),
                x: r.x, y: r.y, width: r.width, height: r.height,
                type: PurrloxWindowExport._type(win.get_window_type()),
                minimized: win.minimized,
                fullscreen: win.is_fullscreen(),
                above: win.is_above(),
                workspace: win.is_on_all_workspaces() || !workspace ? -1 : workspace.index(),
                shown: !win.minimized && win.located_on_workspace(active),
                pid: win.get_pid(),
                x11: win.get_client_type() === Meta.WindowClientType.X11,
            };
        });
        // Each monitor with its own work area (the top bar and docks on it cut away).
        const outputs = this._layout.monitors.map((m, i) => {
            const work = active.get_work_area_for_monitor
                ? active.get_work_area_for_monitor(i) : m;
            return [m.x, m.y, m.width, m.height, {
                work: [work.x, work.y, work.width, work.height],
                primary: i === this._layout.primaryIndex,
            }];
        });
        return JSON.stringify({version: 1, workspace: active.index(), outputs, windows});
    }

    static _type(type) {
        switch (type) {
        case Meta.WindowType.NORMAL: return 'normal';
        case Meta.WindowType.DIALOG:
        case Meta.WindowType.MODAL_DIALOG: return 'dialog';
        case Meta.WindowType.DESKTOP: return 'desktop';
        case Meta.WindowType.DOCK: return 'dock';
        default: return 'other';
        }
    }
}
