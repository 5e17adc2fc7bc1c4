// Switches the X server's only output to screen modes, making each mode first when the server
// does not have it, all on one connection: on Xvfb a mode made by `xrandr --newmode` is gone
// before the next call's `--addmode` can use it.
//   randr-mode --serve                 switch to each "W H [HZ]" read from standard input
//                                      (HZ: the mode's refresh rate, 60 when not given)
//   randr-mode --cycle N MS WINDOW W1 H1 W2 H2 ...
//       N switches MS milliseconds apart, going round the modes; after each, the time from the
//       server's screen-change notification to WINDOW's next move, printed with a summary.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>
#include <xcb/randr.h>
#include <xcb/xcb.h>

namespace {

[[noreturn]] void die(const std::string& why) {
    std::fprintf(stderr, "randr-mode: %s\n", why.c_str());
    std::exit(1);
}

struct Server {
    xcb_connection_t* c = nullptr;
    xcb_screen_t* screen = nullptr;
    uint8_t randrEvents = 0;
};

template <class T> struct Reply {
    T* p = nullptr;
    explicit Reply(T* r) : p(r) {}
    ~Reply() { std::free(p); }
    T* operator->() const { return p; }
    explicit operator bool() const { return p; }
};

// The refresh rate of a mode, in whole hertz.
int hertz(const xcb_randr_mode_info_t& m) {
    const double dots = double(m.htotal) * m.vtotal;
    return dots > 0 ? int(m.dot_clock / dots + 0.5) : 0;
}

xcb_randr_mode_t findOrMakeMode(Server& s, xcb_randr_output_t output, int w, int h, int hz) {
    Reply res(xcb_randr_get_screen_resources_current_reply(
        s.c, xcb_randr_get_screen_resources_current(s.c, s.screen->root), nullptr));
    if (!res) die("no RANDR screen resources");
    const xcb_randr_mode_info_t* modes = xcb_randr_get_screen_resources_current_modes(res.p);
    const int count = xcb_randr_get_screen_resources_current_modes_length(res.p);
    Reply info(xcb_randr_get_output_info_reply(
        s.c, xcb_randr_get_output_info(s.c, output, XCB_CURRENT_TIME), nullptr));
    if (!info) die("no output info");
    const xcb_randr_mode_t* outputModes = xcb_randr_get_output_info_modes(info.p);
    const int outputCount = xcb_randr_get_output_info_modes_length(info.p);
    for (int i = 0; i < count; ++i) {
        if (modes[i].width != w || modes[i].height != h || hertz(modes[i]) != hz) continue;
        const bool listed = std::find(outputModes, outputModes + outputCount, modes[i].id) !=
                            outputModes + outputCount;
        if (!listed) xcb_randr_add_output_mode(s.c, output, modes[i].id);
        return modes[i].id;
    }
    const std::string name =
        std::to_string(w) + "x" + std::to_string(h) + "_" + std::to_string(hz) + "_e2e";
    xcb_randr_mode_info_t mode{};
    mode.width = uint16_t(w);
    mode.height = uint16_t(h);
    mode.hsync_start = uint16_t(w + 48);
    mode.hsync_end = uint16_t(w + 80);
    mode.htotal = uint16_t(w + 160);
    mode.vsync_start = uint16_t(h + 3);
    mode.vsync_end = uint16_t(h + 8);
    mode.vtotal = uint16_t(h + 30);
    mode.dot_clock = uint32_t(mode.htotal) * mode.vtotal * uint32_t(hz);
    mode.name_len = uint16_t(name.size());
    Reply made(xcb_randr_create_mode_reply(
        s.c, xcb_randr_create_mode(s.c, s.screen->root, mode, uint32_t(name.size()), name.c_str()),
        nullptr));
    if (!made) die("the server refused to make mode " + name);
    xcb_randr_add_output_mode(s.c, output, made->mode);
    return made->mode;
}

void setMode(Server& s, int w, int h, int hz = 60) {
    Reply res(xcb_randr_get_screen_resources_current_reply(
        s.c, xcb_randr_get_screen_resources_current(s.c, s.screen->root), nullptr));
    if (!res || xcb_randr_get_screen_resources_current_outputs_length(res.p) < 1)
        die("the server has no RANDR output");
    const xcb_randr_output_t output = xcb_randr_get_screen_resources_current_outputs(res.p)[0];
    const xcb_randr_mode_t mode = findOrMakeMode(s, output, w, h, hz);
    Reply info(xcb_randr_get_output_info_reply(
        s.c, xcb_randr_get_output_info(s.c, output, XCB_CURRENT_TIME), nullptr));
    if (!info || info->crtc == XCB_NONE) die("the output drives no CRTC");
    Reply crtc(xcb_randr_get_crtc_info_reply(
        s.c, xcb_randr_get_crtc_info(s.c, info->crtc, XCB_CURRENT_TIME), nullptr));
    if (!crtc) die("no CRTC info");
    const auto screenSize = [&] {
        // 96 dots per inch.
        xcb_randr_set_screen_size(s.c, s.screen->root, uint16_t(w), uint16_t(h),
                                  uint32_t(w * 254 / 960), uint32_t(h * 254 / 960));
    };
    const auto crtcMode = [&] {
        Reply r(xcb_randr_set_crtc_config_reply(
            s.c,
            xcb_randr_set_crtc_config(s.c, info->crtc, XCB_CURRENT_TIME, res->config_timestamp, 0,
                                      0, mode, XCB_RANDR_ROTATION_ROTATE_0, 1, &output),
            nullptr));
        if (!r || r->status != XCB_RANDR_SET_CONFIG_SUCCESS) die("the CRTC refused the mode");
    };
    // The screen must hold the CRTC at every step.
    if (w >= crtc->width && h >= crtc->height) {
        screenSize();
        crtcMode();
    } else {
        crtcMode();
        screenSize();
    }
    xcb_flush(s.c);
}

double seconds() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

// Waits up to `limit` seconds for the screen-change notification, then for the window to move;
// answers the delay between the two in milliseconds, or -1.
double awaitMove(Server& s, xcb_window_t window, double limit) {
    const double deadline = seconds() + limit;
    double changedAt = -1;
    while (seconds() < deadline) {
        xcb_generic_event_t* e = xcb_poll_for_event(s.c);
        if (!e) {
            if (xcb_connection_has_error(s.c)) die("lost the X connection");
            std::this_thread::sleep_for(std::chrono::microseconds(200));
            continue;
        }
        const uint8_t type = e->response_type & ~0x80;
        const double at = seconds();
        if (type == s.randrEvents + XCB_RANDR_SCREEN_CHANGE_NOTIFY && changedAt < 0) {
            changedAt = at;
        } else if (type == XCB_CONFIGURE_NOTIFY && changedAt >= 0) {
            const auto* c = reinterpret_cast<xcb_configure_notify_event_t*>(e);
            if (c->window == window) {
                std::free(e);
                return (at - changedAt) * 1000;
            }
        }
        std::free(e);
    }
    return -1;
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    Server s;
    int screenNumber = 0;
    s.c = xcb_connect(nullptr, &screenNumber);
    if (xcb_connection_has_error(s.c)) die("cannot open the display");
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(s.c));
    for (int i = 0; i < screenNumber; ++i)
        xcb_screen_next(&it);
    s.screen = it.data;
    const auto* ext = xcb_get_extension_data(s.c, &xcb_randr_id);
    if (!ext || !ext->present) die("no RANDR extension");
    s.randrEvents = ext->first_event;
    Reply version(xcb_randr_query_version_reply(s.c, xcb_randr_query_version(s.c, 1, 5), nullptr));
    if (!version) die("RANDR does not answer");

    if (args.size() == 1 && args[0] == "--serve") {
        // Xvfb drops a made mode, and goes back to its own, when the client that made it
        // leaves: one process serves a whole test. Each "W H" line is answered "ok W H".
        char line[128];
        while (std::fgets(line, sizeof line, stdin)) {
            int w = 0, h = 0, hz = 60;
            if (std::sscanf(line, "%d %d %d", &w, &h, &hz) < 2) break;
            setMode(s, w, h, hz);
            Reply sync(xcb_get_input_focus_reply(s.c, xcb_get_input_focus(s.c), nullptr));
            std::printf("ok %d %d\n", w, h);
            std::fflush(stdout);
        }
        xcb_disconnect(s.c);
        return 0;
    }
    if (args.size() < 6 || args[0] != "--cycle" || (args.size() - 4) % 2 != 0)
        die("usage: randr-mode --serve | randr-mode --cycle N MS WINDOW W1 H1 W2 H2 ...");
    const int n = std::atoi(args[1].c_str());
    const double interval = std::atof(args[2].c_str()) / 1000;
    const auto window = xcb_window_t(std::strtoul(args[3].c_str(), nullptr, 0));
    std::vector<std::pair<int, int>> modes;
    for (size_t i = 4; i + 1 < args.size(); i += 2)
        modes.emplace_back(std::atoi(args[i].c_str()), std::atoi(args[i + 1].c_str()));

    xcb_randr_select_input(s.c, s.screen->root, XCB_RANDR_NOTIFY_MASK_SCREEN_CHANGE);
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(s.c, s.screen->root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(s.c);
    std::vector<double> delays;
    int missed = 0;
    for (int i = 0; i < n; ++i) {
        const double start = seconds();
        const auto [w, h] = modes[size_t(i) % modes.size()];
        setMode(s, w, h);
        const double d = awaitMove(s, window, interval);
        if (d < 0)
            ++missed;
        else
            delays.push_back(d);
        const double left = interval - (seconds() - start);
        if (left > 0) std::this_thread::sleep_for(std::chrono::duration<double>(left));
    }
    std::sort(delays.begin(), delays.end());
    const auto pick = [&](double q) {
        return delays.empty() ? -1.0
                              : delays[std::min(delays.size() - 1, size_t(q * delays.size()))];
    };
    std::printf("switches %d moved %zu missed %d median_ms %.2f p90_ms %.2f max_ms %.2f\n", n,
                delays.size(), missed, pick(0.5), pick(0.9), delays.empty() ? -1.0 : delays.back());
    xcb_disconnect(s.c);
    return 0;
}
