/* A plain top-level X window with a title, the target window of the tests, the benchmarks and
 * the demonstration: prints its window id once it is mapped and lives until it is killed. */
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <xcb/xcb.h>
#include <xcb/xcb_icccm.h>

static xcb_atom_t intern(xcb_connection_t *c, const char *name) {
    xcb_intern_atom_reply_t *r = xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, (uint16_t)strlen(name), name), NULL);
    xcb_atom_t atom = r ? r->atom : XCB_ATOM_NONE;
    free(r);
    return atom;
}

int main(int argc, char **argv) {
    const char *title = "sizewise_testclient";
    unsigned width = 300, height = 200;
    int x = 100, y = 100;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (strcmp(argv[i], "--title") == 0) {
            title = argv[i + 1];
        } else if (strcmp(argv[i], "--geometry") != 0 ||
                   sscanf(argv[i + 1], "%ux%u%d%d", &width, &height, &x, &y) != 4) {
            fprintf(stderr, "usage: sizewise_testclient [--title TITLE] [--geometry WxH+X+Y]\n");
            return 2;
        }
    }
    xcb_connection_t *c = xcb_connect(NULL, NULL);
    if (xcb_connection_has_error(c)) {
        fprintf(stderr, "sizewise_testclient: cannot open the display\n");
        return 1;
    }
    xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    xcb_window_t window = xcb_generate_id(c);
    uint32_t values[] = {screen->white_pixel, XCB_EVENT_MASK_STRUCTURE_NOTIFY};
    xcb_create_window(c, XCB_COPY_FROM_PARENT, window, screen->root, (int16_t)x, (int16_t)y, (uint16_t)width,
                      (uint16_t)height, 0, XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual,
                      XCB_CW_BACK_PIXEL | XCB_CW_EVENT_MASK, values);
    static const char wm_class[] = "sizewise_testclient\0sizewise_testclient";
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 8, sizeof wm_class,
                        wm_class);
    xcb_atom_t utf8 = intern(c, "UTF8_STRING");
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_NAME, utf8, 8, (uint32_t)strlen(title), title);
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, intern(c, "_NET_WM_NAME"), utf8, 8,
                        (uint32_t)strlen(title), title);
    xcb_icccm_wm_hints_t hints;
    memset(&hints, 0, sizeof hints);
    xcb_icccm_wm_hints_set_input(&hints, 1);
    xcb_icccm_set_wm_hints(c, window, &hints);
    /* The position and size the user gave, and no resize increments: sizes never snap. */
    xcb_size_hints_t size;
    memset(&size, 0, sizeof size);
    xcb_icccm_size_hints_set_position(&size, 1, x, y);
    xcb_icccm_size_hints_set_size(&size, 1, (int32_t)width, (int32_t)height);
    xcb_icccm_set_wm_normal_hints(c, window, &size);
    xcb_map_window(c, window);
    xcb_flush(c);
    xcb_generic_event_t *event;
    int announced = 0;
    while ((event = xcb_wait_for_event(c)) != NULL) {
        if ((event->response_type & 0x7f) == XCB_MAP_NOTIFY && !announced) {
            announced = 1;
            printf("%u\n", (unsigned)window);
            fflush(stdout);
        }
        free(event);
    }
    return 0;
}
