// GNOME Shell 43 and 44 load extensions in the legacy format.
/* exported init */
const {Clutter, Gio, GLib, Meta, St} = imports.gi;
const Main = imports.ui.main;
const PanelMenu = imports.ui.panelMenu;

@PURRLOX_WINDOWS@
@PURRLOX_PANEL@
class PurrloxExtension {
    enable() {
        this._export = new PurrloxWindowExport(Main.layoutManager);
        this._export.enable();
        this._paw = new PurrloxPanelPaw(Main.panel,
            () => new PanelMenu.Button(0.0, 'Purrlox', true));
        this._paw.enable();
    }

    disable() {
        this._paw.disable();
        this._paw = null;
        this._export.disable();
        this._export = null;
    }
}

function init() {
    return new PurrloxExtension();
}
