// A window of "another program" for the whole-program tests to put the
// screensaver inside, as the screensaver daemon and a settings dialog do.
//   zavrio_e2e_parent_window X Y WIDTH HEIGHT
// Maps a grey top-level window and prints its id ("0x...") on a line of its
// own. Then reads commands, one per line, from standard input:
//   resize W H    changes the window's size
//   destroy       destroys the window (the process goes on)
// and ends at the end of its input.
#include <xcb/xcb.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <sstream>
#include <string>

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fprintf(stderr, "usage: %s X Y WIDTH HEIGHT\n", argv[0]);
        return 2;
    }
    const auto number = [&](int i) { return static_cast<std::int16_t>(std::atoi(argv[i])); };
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection)) {
        std::fprintf(stderr, "cannot connect to the X server\n");
        return 1;
    }
    xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    const xcb_window_t window = xcb_generate_id(connection);
    // Override-redirect: placed where asked, with no window manager in between.
    const std::uint32_t values[] = {0x808080, 1};
    xcb_create_window(connection, XCB_COPY_FROM_PARENT, window, screen->root, number(1), number(2),
                      static_cast<std::uint16_t>(number(3)), static_cast<std::uint16_t>(number(4)),
                      0, XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual,
                      XCB_CW_BACK_PIXEL | XCB_CW_OVERRIDE_REDIRECT, values);
    xcb_map_window(connection, window);
    // A round trip: the window exists for others once its id is printed.
    xcb_get_geometry_reply_t* synced =
        xcb_get_geometry_reply(connection, xcb_get_geometry(connection, window), nullptr);
    std::free(synced);
    std::printf("0x%x\n", window);
    std::fflush(stdout);

    std::string line;
    while (std::getline(std::cin, line)) {
        std::istringstream words(line);
        std::string command;
        words >> command;
        if (command == "resize") {
            std::uint32_t size[2] = {0, 0};
            words >> size[0] >> size[1];
            xcb_configure_window(connection, window,
                                 XCB_CONFIG_WINDOW_WIDTH | XCB_CONFIG_WINDOW_HEIGHT, size);
        } else if (command == "destroy") {
            xcb_destroy_window(connection, window);
        }
        xcb_flush(connection);
        std::printf("done %s\n", command.c_str());
        std::fflush(stdout);
    }
    xcb_disconnect(connection);
    return 0;
}
