// Test aid: asks an X window to close the way a window manager's close button does
// (WM_DELETE_WINDOW), which xdotool cannot send. Usage: x_close_request <window-id>
#include <X11/Xlib.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <window-id>\n", argv[0]);
    return 2;
  }
  Display* dpy = XOpenDisplay(nullptr);
  if (!dpy) {
    std::fprintf(stderr, "cannot open display\n");
    return 1;
  }
  const Window w = static_cast<Window>(std::strtoul(argv[1], nullptr, 0));
  XEvent ev{};
  ev.xclient.type = ClientMessage;
  ev.xclient.window = w;
  ev.xclient.message_type = XInternAtom(dpy, "WM_PROTOCOLS", False);
  ev.xclient.format = 32;
  ev.xclient.data.l[0] = static_cast<long>(XInternAtom(dpy, "WM_DELETE_WINDOW", False));
  ev.xclient.data.l[1] = CurrentTime;
  XSendEvent(dpy, w, False, NoEventMask, &ev);
  XSync(dpy, False);
  XCloseDisplay(dpy);
  return 0;
}
