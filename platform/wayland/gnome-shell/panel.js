// The paw in the top bar, where no tray host shows Purrlox's item: while Purrlox runs and no
// StatusNotifierWatcher (the AppIndicator extension) is on the bus, a button with the paw and,
// while a timer runs, the countdown Purrlox pushes (it says nothing while none runs, nor while
// the button is hidden; the button reads the label when it shows). A click asks Purrlox for its
// menu window under the button.

const PurrloxLabelService = 'app.purrlox.Purrlox';
const PurrloxLabelPath = '/app/purrlox/Shell/Label';
const PurrloxLabelInterface = 'app.purrlox.Shell.Label';
const PurrloxTrayWatcher = 'org.kde.StatusNotifierWatcher';

class PurrloxPanelPaw {
    constructor(panel, makeButton) {
        this._panel = panel;
        this._makeButton = makeButton;
        this._button = null;
        this._clock = null;
        this._running = false;
        this._trayHost = false;
        this._watches = [];
        this._subscription = 0;
        this._text = '';
        this._told = false;
    }

    enable() {
        this._watches = [
            Gio.bus_watch_name(Gio.BusType.SESSION, PurrloxLabelService,
                Gio.BusNameWatcherFlags.NONE,
                () => {
                    this._running = true;
                    this._update();
                },
                () => {
                    this._running = false;
                    this._update();
                }),
            Gio.bus_watch_name(Gio.BusType.SESSION, PurrloxTrayWatcher,
                Gio.BusNameWatcherFlags.NONE,
                () => {
                    this._trayHost = true;
                    this._update();
                },
                () => {
                    this._trayHost = false;
                    this._update();
                }),
        ];
        this._subscription = Gio.DBus.session.signal_subscribe(PurrloxLabelService,
            PurrloxLabelInterface, 'LabelChanged', PurrloxLabelPath, null,
            Gio.DBusSignalFlags.NONE,
            (_c, _sender, _path, _iface, _name, params) => this._show(params));
    }

    disable() {
        this._watches.forEach(id => Gio.bus_unwatch_name(id));
        this._watches = [];
        if (this._subscription)
            Gio.DBus.session.signal_unsubscribe(this._subscription);
        this._subscription = 0;
        this._running = false;
        this._update();
    }

    // One paw, never two: a tray host shows Purrlox's own item.
    _update() {
        const wanted = this._running && !this._trayHost;
        if (wanted && !this._button) {
            this._button = this._makeButton();
            const box = new St.BoxLayout({style_class: 'panel-status-menu-box'});
            box.add_child(new St.Label({text: '🐾', y_align: Clutter.ActorAlign.CENTER}));
            // Tabular digits: the width stands still while the seconds change.
            this._clock = new St.Label({text: '', y_align: Clutter.ActorAlign.CENTER,
                style: 'font-feature-settings: "tnum"; margin-left: 4px;'});
            this._clock.visible = false;
            box.add_child(this._clock);
            this._button.add_child(box);
            this._button.purrloxClock = this._clock;
            this._button.connect('button-press-event', () => {
                this._open();
                return Clutter.EVENT_STOP;
            });
            this._panel.addToStatusArea('purrlox', this._button);
            this._setText(this._text);
            // Purrlox kept quiet while it was hidden.
            this._read();
        } else if (!wanted && this._button) {
            this._button.destroy();
            this._button = null;
            this._clock = null;
        }
    }

    _read() {
        Gio.DBus.session.call(PurrloxLabelService, PurrloxLabelPath, PurrloxLabelInterface,
            'GetLabel', null, new GLib.VariantType('(s)'), Gio.DBusCallFlags.NONE, 2000, null,
            (connection, result) => {
                try {
                    this._show(connection.call_finish(result));
                } catch (e) {
                    this._tellOnce(`Purrlox does not answer for its label: ${e.message}`);
                    this._setText('');
                }
            });
    }

    _show(params) {
        let text = '';
        try {
            [text] = params.deepUnpack();
        } catch (e) {
            text = null;
        }
        // A countdown or nothing; anything else shows the plain paw.
        if (typeof text !== 'string' || !/^(\d{1,4}:\d\d)?$/.test(text)) {
            this._tellOnce('Purrlox sent a label that is no countdown; showing the plain paw');
            text = '';
        }
        this._setText(text);
    }

    _setText(text) {
        this._text = text;
        if (!this._clock)
            return;
        this._clock.text = text;
        this._clock.visible = text !== '';
    }

    _open() {
        if (!this._button)
            return;
        const [x, y] = this._button.get_transformed_position();
        const [width, height] = this._button.get_transformed_size();
        Gio.DBus.session.call(PurrloxLabelService, PurrloxLabelPath, PurrloxLabelInterface,
            'Open', new GLib.Variant('(ii)', [Math.round(x + width / 2), Math.round(y + height)]),
            null, Gio.DBusCallFlags.NONE, 2000, null, (connection, result) => {
                try {
                    connection.call_finish(result);
                } catch (e) {
                    this._tellOnce(`Purrlox does not answer a click: ${e.message}`);
                }
            });
    }

    _tellOnce(line) {
        if (this._told)
            return;
        this._told = true;
        log(`Purrlox: ${line}`);
    }
}
