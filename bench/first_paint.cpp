// Starts a program on the X display and reports how long its first top-level window took to show its first
// paint, and the program's peak resident memory at that moment:
//
//     first_paint PROGRAM [ARGUMENT...]   prints "MILLISECONDS KIB"
//
// The clock runs from just before the exec to the first X DAMAGE event that covers a large area of a window
// the program created at the top level. The program is then ended. Exits 1 if no paint came within ten
// seconds.
#include <xcb/damage.h>
#include <xcb/xcb.h>

#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>

extern char **environ;

namespace {

double nowMs()
{
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

// VmHWM of the process, in KiB; -1 when it cannot be read.
long peakKib(pid_t pid)
{
    char path[64];
    snprintf(path, sizeof path, "/proc/%d/status", int(pid));
    FILE *file = fopen(path, "r");
    if (!file)
        return -1;
    char line[256];
    long kib = -1;
    while (fgets(line, sizeof line, file))
        if (sscanf(line, "VmHWM: %ld kB", &kib) == 1)
            break;
    fclose(file);
    return kib;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc < 2) {
        fprintf(stderr, "usage: first_paint PROGRAM [ARGUMENT...]\n");
        return 2;
    }
    // A virtual X server busy with the last program's teardown may refuse a connection for a moment.
    xcb_connection_t *connection = xcb_connect(nullptr, nullptr);
    for (int attempt = 0; xcb_connection_has_error(connection) && attempt < 20; ++attempt) {
        xcb_disconnect(connection);
        poll(nullptr, 0, 50);
        connection = xcb_connect(nullptr, nullptr);
    }
    if (xcb_connection_has_error(connection)) {
        fprintf(stderr, "first_paint: no X display\n");
        return 2;
    }
    const xcb_query_extension_reply_t *damage = xcb_get_extension_data(connection, &xcb_damage_id);
    if (!damage || !damage->present) {
        fprintf(stderr, "first_paint: the X server has no DAMAGE extension\n");
        return 2;
    }
    free(xcb_damage_query_version_reply(connection,
        xcb_damage_query_version(connection, XCB_DAMAGE_MAJOR_VERSION, XCB_DAMAGE_MINOR_VERSION), nullptr));

    // New top-level windows are announced to the root's substructure listeners before they can be mapped.
    const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    const uint32_t events = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(connection, screen->root, XCB_CW_EVENT_MASK, &events);
    xcb_flush(connection);

    const double start = nowMs();
    pid_t pid;
    if (posix_spawnp(&pid, argv[1], nullptr, nullptr, argv + 1, environ) != 0) {
        perror("first_paint: spawn");
        return 2;
    }

    double painted = -1;
    long kib = -1;
    pollfd poller{xcb_get_file_descriptor(connection), POLLIN, 0};
    while (painted < 0 && nowMs() - start < 10000) {
        xcb_generic_event_t *event;
        while ((event = xcb_poll_for_event(connection))) {
            const int type = event->response_type & 0x7F;
            if (type == XCB_CREATE_NOTIFY) {
                const auto *created = reinterpret_cast<const xcb_create_notify_event_t *>(event);
                if (created->parent == screen->root && created->width >= 100 && created->height >= 100) {
                    xcb_damage_create(connection, xcb_generate_id(connection), created->window,
                        XCB_DAMAGE_REPORT_LEVEL_RAW_RECTANGLES);
                    xcb_flush(connection);
                }
            } else if (type == damage->first_event + XCB_DAMAGE_NOTIFY) {
                const auto *notify = reinterpret_cast<const xcb_damage_notify_event_t *>(event);
                if (notify->area.width >= 100 && notify->area.height >= 100 && painted < 0) {
                    painted = nowMs() - start;
                    kib = peakKib(pid);
                }
            }
            free(event);
        }
        if (painted < 0)
            poll(&poller, 1, 10);
    }

    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
    xcb_disconnect(connection);
    if (painted < 0) {
        fprintf(stderr, "first_paint: no paint from %s\n", argv[1]);
        return 1;
    }
    printf("%.2f %ld\n", painted, kib);
    return 0;
}
