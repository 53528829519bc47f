// Asks a top-level window to close the way a window manager's close box does:
// a WM_DELETE_WINDOW client message. Usage: wm_close TITLE  (exact WM_NAME).
// Exits 0 when the message was sent, 1 when no such window exists.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdio>
#include <cstring>

namespace {

Window Find(Display* dpy, Window w, const char* title) {
  char* name = nullptr;
  if (XFetchName(dpy, w, &name) != 0 && name != nullptr) {
    const bool match = std::strcmp(name, title) == 0;
    XFree(name);
    XWindowAttributes attr;
    if (match && XGetWindowAttributes(dpy, w, &attr) != 0 && attr.map_state == IsViewable) {
      return w;
    }
  }
  Window root = 0;
  Window parent = 0;
  Window* children = nullptr;
  unsigned n = 0;
  if (XQueryTree(dpy, w, &root, &parent, &children, &n) == 0) return 0;
  Window found = 0;
  for (unsigned i = 0; i < n && found == 0; ++i) found = Find(dpy, children[i], title);
  if (children != nullptr) XFree(children);
  return found;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: wm_close TITLE\n");
    return 2;
  }
  Display* dpy = XOpenDisplay(nullptr);
  if (dpy == nullptr) {
    std::fprintf(stderr, "wm_close: cannot open display\n");
    return 2;
  }
  const Window w = Find(dpy, DefaultRootWindow(dpy), argv[1]);
  if (w == 0) {
    XCloseDisplay(dpy);
    return 1;
  }
  XEvent ev{};
  ev.xclient.type = ClientMessage;
  ev.xclient.window = w;
  ev.xclient.message_type = XInternAtom(dpy, "WM_PROTOCOLS", False);
  ev.xclient.format = 32;
  ev.xclient.data.l[0] = static_cast<long>(XInternAtom(dpy, "WM_DELETE_WINDOW", False));
  ev.xclient.data.l[1] = CurrentTime;
  XSendEvent(dpy, w, False, NoEventMask, &ev);
  XFlush(dpy);
  XCloseDisplay(dpy);
  std::printf("0x%lx\n", w);
  return 0;
}
