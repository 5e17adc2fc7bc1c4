// GNOME Shell 45 and later load extensions as ES modules.
import Clutter from 'gi://Clutter';
import Gio from 'gi://Gio';
import GLib from 'gi://GLib';
import Meta from 'gi://Meta';
import St from 'gi://St';
import * as Main from 'resource:///org/gnome/shell/ui/main.js';
import * as PanelMenu from 'resource:///org/gnome/shell/ui/panelMenu.js';
import {Extension} from 'resource:///org/gnome/shell/extensions/extension.js';

@PURRLOX_WINDOWS@
@PURRLOX_PANEL@
export default class PurrloxExtension extends Extension {
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
