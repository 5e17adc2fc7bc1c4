// GNOME Shell 43 and 44 load extensions in the legacy format.
/* exported init */
const {Gio, GLib, Meta} = imports.gi;
const Main = imports.ui.main;

@PURRLOX_WINDOWS@
class PurrloxExtension {
    enable() {
        this._export = new PurrloxWindowExport(Main.layoutManager);
        this._export.enable();
    }

    disable() {
        this._export.disable();
        this._export = null;
    }
}

function init() {
    return new PurrloxExtension();
}
