// SPDX-License-Identifier: GPL-3.0-or-later
/* Starts a program and waits for its window, named on the command line, to
 * be mapped on the X display: prints the milliseconds from the start of the
 * process to the MapNotify and, a moment later once the window has painted,
 * the process's memory from /proc/PID/smaps_rollup in kB: its private
 * memory (Private_Dirty: what it wrote, heap and copies, which no other
 * process shares and the kernel cannot drop), its anonymous memory, and its
 * proportional share of everything it maps (Pss); then ends the program.
 * Usage: mapwait WINDOW-NAME SETTLE-MS PROGRAM [ARGS...] */
#include <xcb/xcb.h>

#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

static double now_ms(void)
{
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

static xcb_atom_t atom(xcb_connection_t *c, const char *name)
{
    xcb_intern_atom_reply_t *r = xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, strlen(name), name), NULL);
    xcb_atom_t a = r ? r->atom : XCB_ATOM_NONE;
    free(r);
    return a;
}

/* Whether the window's _NET_WM_NAME (or WM_NAME) is the name. */
static int named(xcb_connection_t *c, xcb_window_t w, xcb_atom_t property, xcb_atom_t type, const char *name)
{
    xcb_get_property_reply_t *r =
        xcb_get_property_reply(c, xcb_get_property(c, 0, w, property, type, 0, 256), NULL);
    int match = r && xcb_get_property_value_length(r) == (int)strlen(name)
             && memcmp(xcb_get_property_value(r), name, strlen(name)) == 0;
    free(r);
    return match;
}

/* One field of smaps_rollup, in kB; -1 when it is missing. */
static long rollup_kb(pid_t pid, const char *field)
{
    char path[64], line[256];
    long kb = -1;
    snprintf(path, sizeof path, "/proc/%d/smaps_rollup", (int)pid);
    FILE *f = fopen(path, "r");
    const size_t length = strlen(field);
    while (f && fgets(line, sizeof line, f))
        if (strncmp(line, field, length) == 0 && line[length] == ':' && sscanf(line + length + 1, "%ld", &kb) == 1)
            break;
    if (f)
        fclose(f);
    return kb;
}

int main(int argc, char **argv)
{
    if (argc < 4) {
        fprintf(stderr, "usage: mapwait WINDOW-NAME SETTLE-MS PROGRAM [ARGS...]\n");
        return 2;
    }
    xcb_connection_t *c = xcb_connect(NULL, NULL);
    if (xcb_connection_has_error(c)) {
        fprintf(stderr, "mapwait: no X display\n");
        return 2;
    }
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(c, root, XCB_CW_EVENT_MASK, &mask);
    const xcb_atom_t netName = atom(c, "_NET_WM_NAME"), utf8 = atom(c, "UTF8_STRING");
    xcb_flush(c);

    const double start = now_ms();
    const pid_t pid = fork();
    if (pid == 0) {
        execvp(argv[3], argv + 3);
        _exit(127);
    }
    alarm(30);
    xcb_generic_event_t *e;
    while ((e = xcb_wait_for_event(c))) {
        const int type = e->response_type & 0x7f;
        if (type == XCB_MAP_NOTIFY) {
            const xcb_window_t w = ((xcb_map_notify_event_t *)e)->window;
            if (named(c, w, netName, utf8, argv[1]) || named(c, w, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, argv[1])) {
                const double mapped = now_ms() - start;
                usleep(atoi(argv[2]) * 1000);
                printf("%.1f %ld %ld %ld\n", mapped, rollup_kb(pid, "Private_Dirty"), rollup_kb(pid, "Anonymous"),
                       rollup_kb(pid, "Pss"));
                free(e);
                break;
            }
        }
        free(e);
    }
    kill(pid, SIGTERM);
    waitpid(pid, NULL, 0);
    xcb_disconnect(c);
    return 0;
}
