/* A plain top-level X window with a settable title, used by the X11 tests as the
 * application whose window is watched and moved. Prints its window id once it is
 * mapped; reads "title TEXT" and "quit" lines on stdin. */
#define _POSIX_C_SOURCE 200809L

#include <errno.h>
#include <poll.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>
#include <xcb/xcb.h>
#include <xcb/xcb_icccm.h>

struct client {
    xcb_connection_t *c;
    xcb_window_t window;
    xcb_atom_t utf8_string, net_wm_name, wm_protocols, wm_delete_window;
    int net_wm_name_enabled;
};

static xcb_atom_t intern(xcb_connection_t *c, const char *name) {
    xcb_intern_atom_reply_t *r =
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, (uint16_t)strlen(name), name), NULL);
    xcb_atom_t atom = r ? r->atom : XCB_ATOM_NONE;
    free(r);
    return atom;
}

/* WM_NAME as a real client of this era writes it: Latin-1 STRING when every
 * character fits, otherwise the UTF-8 bytes labelled UTF8_STRING. */
static void set_wm_name(struct client *cl, const char *utf8) {
    size_t n = strlen(utf8);
    char *latin1 = malloc(n + 1);
    size_t out = 0;
    int fits = 1;
    for (size_t i = 0; i < n && fits; ++i) {
        unsigned char b = (unsigned char)utf8[i];
        if (b < 0x80) {
            latin1[out++] = (char)b;
        } else if ((b == 0xC2 || b == 0xC3) && i + 1 < n) {
            latin1[out++] = (char)(((b & 0x03) << 6) | ((unsigned char)utf8[i + 1] & 0x3F));
            ++i;
        } else {
            fits = 0;
        }
    }
    if (fits) {
        xcb_change_property(cl->c, XCB_PROP_MODE_REPLACE, cl->window, XCB_ATOM_WM_NAME,
                            XCB_ATOM_STRING, 8, (uint32_t)out, latin1);
    } else {
        xcb_change_property(cl->c, XCB_PROP_MODE_REPLACE, cl->window, XCB_ATOM_WM_NAME,
                            cl->utf8_string, 8, (uint32_t)n, utf8);
    }
    free(latin1);
}

static void set_title(struct client *cl, const char *utf8) {
    set_wm_name(cl, utf8);
    if (cl->net_wm_name_enabled) {
        xcb_change_property(cl->c, XCB_PROP_MODE_REPLACE, cl->window, cl->net_wm_name,
                            cl->utf8_string, 8, (uint32_t)strlen(utf8), utf8);
    }
    xcb_flush(cl->c);
}

/* Requests still in the output buffer are lost when the program exits right after
 * a flush; a round trip makes sure the server has them. */
static void finish(struct client *cl, int status) {
    free(xcb_get_input_focus_reply(cl->c, xcb_get_input_focus(cl->c), NULL));
    xcb_disconnect(cl->c);
    exit(status);
}

/* Returns 1 when the window manager or the user asked the window to close. */
static int handle_event(struct client *cl, xcb_generic_event_t *event, int *mapped) {
    switch (event->response_type & 0x7f) {
        case XCB_MAP_NOTIFY:
            if (!*mapped) {
                *mapped = 1;
                printf("%u\n", (unsigned)cl->window);
                fflush(stdout);
            }
            break;
        case XCB_CLIENT_MESSAGE: {
            xcb_client_message_event_t *m = (xcb_client_message_event_t *)event;
            if (m->type == cl->wm_protocols && m->data.data32[0] == cl->wm_delete_window) return 1;
            break;
        }
        default:
            break;
    }
    return 0;
}

/* Handles complete lines in buf; returns 1 on "quit". */
static int handle_lines(struct client *cl, char *buf, size_t *len) {
    char *start = buf;
    char *newline;
    int quit = 0;
    while (!quit && (newline = memchr(start, '\n', *len - (size_t)(start - buf))) != NULL) {
        *newline = '\0';
        if (strncmp(start, "title ", 6) == 0) set_title(cl, start + 6);
        else if (strcmp(start, "quit") == 0) quit = 1;
        start = newline + 1;
    }
    *len -= (size_t)(start - buf);
    memmove(buf, start, *len);
    return quit;
}

static void usage(void) {
    fprintf(stderr,
            "usage: sizewise_testclient [--title TITLE] [--geometry WxH+X+Y] "
            "[--no-net-wm-name] [--no-input]\n");
    exit(2);
}

int main(int argc, char **argv) {
    const char *title = "sizewise_testclient";
    unsigned width = 300, height = 200;
    int x = 100, y = 100;
    int input = 1;
    struct client cl = {0};
    cl.net_wm_name_enabled = 1;

    for (int i = 1; i < argc; ++i) {
        if (strcmp(argv[i], "--title") == 0 && i + 1 < argc) {
            title = argv[++i];
        } else if (strcmp(argv[i], "--geometry") == 0 && i + 1 < argc) {
            if (sscanf(argv[++i], "%ux%u%d%d", &width, &height, &x, &y) != 4 || width == 0 ||
                height == 0) {
                usage();
            }
        } else if (strcmp(argv[i], "--no-net-wm-name") == 0) {
            cl.net_wm_name_enabled = 0;
        } else if (strcmp(argv[i], "--no-input") == 0) {
            input = 0;
        } else {
            usage();
        }
    }

    int screen_number = 0;
    cl.c = xcb_connect(NULL, &screen_number);
    if (xcb_connection_has_error(cl.c)) {
        fprintf(stderr, "sizewise_testclient: cannot open the display\n");
        return 1;
    }
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(cl.c));
    for (int i = 0; i < screen_number; ++i) xcb_screen_next(&it);
    xcb_screen_t *screen = it.data;

    cl.utf8_string = intern(cl.c, "UTF8_STRING");
    cl.net_wm_name = intern(cl.c, "_NET_WM_NAME");
    cl.wm_protocols = intern(cl.c, "WM_PROTOCOLS");
    cl.wm_delete_window = intern(cl.c, "WM_DELETE_WINDOW");

    cl.window = xcb_generate_id(cl.c);
    uint32_t values[] = {screen->white_pixel, XCB_EVENT_MASK_STRUCTURE_NOTIFY};
    xcb_create_window(cl.c, XCB_COPY_FROM_PARENT, cl.window, screen->root, (int16_t)x, (int16_t)y,
                      (uint16_t)width, (uint16_t)height, 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
                      screen->root_visual, XCB_CW_BACK_PIXEL | XCB_CW_EVENT_MASK, values);

    static const char wm_class[] = "sizewise_testclient\0sizewise_testclient";
    xcb_change_property(cl.c, XCB_PROP_MODE_REPLACE, cl.window, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING,
                        8, sizeof wm_class, wm_class);
    set_title(&cl, title);

    xcb_icccm_wm_hints_t hints;
    memset(&hints, 0, sizeof hints);
    xcb_icccm_wm_hints_set_input(&hints, (uint8_t)input);
    xcb_icccm_wm_hints_set_normal(&hints);
    xcb_icccm_set_wm_hints(cl.c, cl.window, &hints);

    /* User-given position and size, and no resize increments: sizes must not snap. */
    xcb_size_hints_t size;
    memset(&size, 0, sizeof size);
    xcb_icccm_size_hints_set_position(&size, 1, x, y);
    xcb_icccm_size_hints_set_size(&size, 1, (int32_t)width, (int32_t)height);
    xcb_icccm_set_wm_normal_hints(cl.c, cl.window, &size);

    xcb_icccm_set_wm_protocols(cl.c, cl.window, cl.wm_protocols, 1, &cl.wm_delete_window);
    xcb_map_window(cl.c, cl.window);
    xcb_flush(cl.c);

    int mapped = 0;
    int stdin_open = 1;
    char buf[8192];
    size_t len = 0;
    for (;;) {
        xcb_generic_event_t *event;
        while ((event = xcb_poll_for_event(cl.c)) != NULL) {
            int close_requested = handle_event(&cl, event, &mapped);
            free(event);
            if (close_requested) finish(&cl, 0);
        }
        if (xcb_connection_has_error(cl.c)) return 1;
        xcb_flush(cl.c);

        struct pollfd fds[2] = {{xcb_get_file_descriptor(cl.c), POLLIN, 0},
                                {STDIN_FILENO, POLLIN, 0}};
        if (poll(fds, stdin_open ? 2 : 1, -1) < 0) {
            if (errno == EINTR) continue;
            return 1;
        }
        if (stdin_open && (fds[1].revents & (POLLIN | POLLHUP))) {
            if (len == sizeof buf) len = 0; /* a line longer than the buffer is dropped */
            ssize_t got = read(STDIN_FILENO, buf + len, sizeof buf - len);
            if (got <= 0) {
                stdin_open = 0;
            } else {
                len += (size_t)got;
                if (handle_lines(&cl, buf, &len)) finish(&cl, 0);
            }
        }
    }
}
