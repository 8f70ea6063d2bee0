// Starts a program on the X display (a Windows program under Wine: `first_paint wine quillmark.exe`) and
// reports when its window first reached the screen, when that first frame was whole, and the program's peak
// resident memory at the first paint:
//
//     first_paint [--log] PROGRAM [ARGUMENT...]   prints "FIRST WHOLE KIB", the times in milliseconds from
//     just before the exec
//
// FIRST is the first X DAMAGE event that covers a large area of a window created at the top level. A toolkit
// may put a window on the screen piece by piece, the frame and background first and then each control as it
// paints (Wine does), so WHOLE is the last damage to that window before it stays still for Settle
// milliseconds (a caret blinks only every 500). The window may belong to any process: nothing here relies on
// the started one making it. The program is then ended. Exits 1 if no paint came within ten seconds. With
// --log, the lines the program wrote to its standard error go to this one's, each after "first", "whole" or
// "after" (written before the first paint, before the frame was whole, or after) and the milliseconds at
// which it came: for Wine's log of the DLLs a program loads, WINEDEBUG=+loaddll.
#include <xcb/damage.h>
#include <xcb/xcb.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <utility>
#include <vector>

extern char **environ;

namespace {

constexpr double Settle = 200;
constexpr double Limit = 10000;

double nowMs()
{
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

xcb_connection_t *connect()
{
    // A virtual X server busy with the last program's teardown may refuse a connection for a moment.
    xcb_connection_t *connection = xcb_connect(nullptr, nullptr);
    for (int attempt = 0; xcb_connection_has_error(connection) && attempt < 20; ++attempt) {
        xcb_disconnect(connection);
        poll(nullptr, 0, 50);
        connection = xcb_connect(nullptr, nullptr);
    }
    return connection;
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
    const bool log = argc > 1 && strcmp(argv[1], "--log") == 0;
    char **command = argv + (log ? 2 : 1);
    if (!*command) {
        fprintf(stderr, "usage: first_paint [--log] PROGRAM [ARGUMENT...]\n");
        return 2;
    }
    xcb_connection_t *connection = connect();
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

    int pipeEnds[2] = {-1, -1};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (log) {
        if (pipe2(pipeEnds, O_CLOEXEC) != 0) {
            perror("first_paint: pipe");
            return 2;
        }
        posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDERR_FILENO);
    }

    const double start = nowMs();
    pid_t pid;
    const int spawned = posix_spawnp(&pid, command[0], &actions, nullptr, command, environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        fprintf(stderr, "first_paint: cannot start %s: %s\n", command[0], strerror(spawned));
        return 2;
    }
    if (log)
        close(pipeEnds[1]);

    xcb_window_t window = XCB_NONE; // the one painted first
    double first = -1;
    double whole = -1;
    long kib = -1;
    std::vector<std::pair<double, std::string>> lines; // with the time each came in
    std::string partial;
    pollfd pollers[2] = {{xcb_get_file_descriptor(connection), POLLIN, 0}, {pipeEnds[0], POLLIN, 0}};
    for (;;) {
        const double now = nowMs() - start;
        if ((first >= 0 && now - whole >= Settle) || (first < 0 && now >= Limit))
            break;
        // What the program wrote first: a line written before a paint is read before it.
        char buffer[4096];
        ssize_t n;
        while (log && (pollers[1].revents & POLLIN) && (n = read(pipeEnds[0], buffer, sizeof buffer)) > 0) {
            partial.append(buffer, size_t(n));
            for (size_t end; (end = partial.find('\n')) != std::string::npos; partial.erase(0, end + 1))
                lines.emplace_back(nowMs() - start, partial.substr(0, end));
            pollers[1].revents = 0;
            poll(pollers + 1, 1, 0);
        }
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
                if (first < 0 && notify->area.width >= 100 && notify->area.height >= 100) {
                    window = notify->drawable;
                    first = whole = nowMs() - start;
                    kib = peakKib(pid);
                } else if (first >= 0 && notify->drawable == window) {
                    whole = nowMs() - start;
                }
            }
            free(event);
        }
        poll(pollers, log ? 2 : 1, 10);
    }

    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
    xcb_disconnect(connection);
    for (const auto &[time, line] : lines)
        fprintf(stderr, "%s %.1f %s\n",
            time < first || first < 0 ? "first"
                : time <= whole       ? "whole"
                                      : "after",
            time, line.c_str());
    if (first < 0) {
        fprintf(stderr, "first_paint: no paint from %s\n", command[0]);
        return 1;
    }
    printf("%.2f %.2f %ld\n", first, whole, kib);
    return 0;
}
