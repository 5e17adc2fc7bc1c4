// GNOME Shell 45 and later load extensions as ES modules.
import Gio from 'gi://Gio';
import GLib from 'gi://GLib';
import Meta from 'gi://Meta';
import * as Main from 'resource:///org/gnome/shell/ui/main.js';
import {Extension} from 'resource:///org/gnome/shell/extensions/extension.js';

@PURRLOX_WINDOWS@
export default class PurrloxExtension extends Extension {
    enable() {
        this._export = new PurrloxWindowExport(Main.layoutManager);
        this._export.enable();
    }

    disable() {
        this._export.disable();
        this._export = null;
    }
}
