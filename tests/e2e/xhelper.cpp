// X11 help for the end-to-end tests, for what xdotool cannot do:
//   sb-xhelper close WINDOW  asks the window to close the way a window
//                            manager's close box does (WM_DELETE_WINDOW);
//   sb-xhelper wm            a minimal window manager: maps windows, gives
//                            them the focus, and honours the full-screen
//                            state requests that SDL sends (_NET_WM_STATE).
// A bare Xvfb has no window manager, and without one a full-screen request
// changes nothing.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>

namespace {

int IgnoreErrors(Display*, XErrorEvent*) {
  return 0;  // windows may vanish between an event and our answer
}

int Close(Display* d, Window w) {
  XEvent ev{};
  ev.xclient.type = ClientMessage;
  ev.xclient.window = w;
  ev.xclient.message_type = XInternAtom(d, "WM_PROTOCOLS", False);
  ev.xclient.format = 32;
  ev.xclient.data.l[0] = static_cast<long>(XInternAtom(d, "WM_DELETE_WINDOW", False));
  ev.xclient.data.l[1] = CurrentTime;
  if (!XSendEvent(d, w, False, NoEventMask, &ev)) return 1;
  XSync(d, False);
  return 0;
}

bool WantsFullScreen(Display* d, Window w, Atom state, Atom full) {
  Atom type;
  int format;
  unsigned long n = 0, after = 0;
  unsigned char* data = nullptr;
  bool yes = false;
  if (XGetWindowProperty(d, w, state, 0, 64, False, XA_ATOM, &type, &format, &n, &after, &data) ==
          Success &&
      data && format == 32) {
    const Atom* atoms = reinterpret_cast<const Atom*>(data);
    for (unsigned long i = 0; i < n; ++i) yes = yes || atoms[i] == full;
  }
  if (data) XFree(data);
  return yes;
}

struct Placement {
  int x = 0, y = 0, w = 0, h = 0;
  bool full = false;
};

int RunWm(Display* d) {
  const Window root = DefaultRootWindow(d);
  const int sw = DisplayWidth(d, DefaultScreen(d));
  const int sh = DisplayHeight(d, DefaultScreen(d));
  XSelectInput(d, root, SubstructureRedirectMask | SubstructureNotifyMask);
  XSync(d, False);
  XSetErrorHandler(IgnoreErrors);

  const Atom check = XInternAtom(d, "_NET_SUPPORTING_WM_CHECK", False);
  const Atom supported = XInternAtom(d, "_NET_SUPPORTED", False);
  const Atom wm_name = XInternAtom(d, "_NET_WM_NAME", False);
  const Atom utf8 = XInternAtom(d, "UTF8_STRING", False);
  const Atom state = XInternAtom(d, "_NET_WM_STATE", False);
  const Atom full = XInternAtom(d, "_NET_WM_STATE_FULLSCREEN", False);

  // Announce an EWMH window manager, so that clients ask it for full screen.
  Window me = XCreateSimpleWindow(d, root, -1, -1, 1, 1, 0, 0, 0);
  XChangeProperty(d, me, check, XA_WINDOW, 32, PropModeReplace,
                  reinterpret_cast<unsigned char*>(&me), 1);
  XChangeProperty(d, me, wm_name, utf8, 8, PropModeReplace,
                  reinterpret_cast<const unsigned char*>("sb-xhelper"), 10);
  Atom sup[] = {state, full};
  XChangeProperty(d, root, supported, XA_ATOM, 32, PropModeReplace,
                  reinterpret_cast<unsigned char*>(sup), 2);
  XChangeProperty(d, root, check, XA_WINDOW, 32, PropModeReplace,
                  reinterpret_cast<unsigned char*>(&me), 1);
  XSync(d, False);

  std::map<Window, Placement> windows;
  for (;;) {
    XEvent e;
    XNextEvent(d, &e);
    if (e.type == MapRequest) {
      Window w = e.xmaprequest.window;
      if (WantsFullScreen(d, w, state, full)) {
        // Created full screen: the state was set before mapping.
        Placement& p = windows[w];
        XWindowAttributes a;
        if (XGetWindowAttributes(d, w, &a)) {
          p = {(sw - a.width) / 2, (sh - a.height) / 2, a.width, a.height, true};
          XMoveResizeWindow(d, w, 0, 0, static_cast<unsigned>(sw), static_cast<unsigned>(sh));
          std::printf("mapped full screen: window 0x%lx\n", w);
          std::fflush(stdout);
        }
      }
      XMapWindow(d, w);
      XSetInputFocus(d, w, RevertToPointerRoot, CurrentTime);
    } else if (e.type == ConfigureRequest) {
      const XConfigureRequestEvent& r = e.xconfigurerequest;
      auto it = windows.find(r.window);
      if (it != windows.end() && it->second.full) continue;  // full screen is ours
      XWindowChanges c{};
      c.x = r.x;
      c.y = r.y;
      c.width = r.width;
      c.height = r.height;
      c.border_width = r.border_width;
      c.sibling = r.above;
      c.stack_mode = r.detail;
      XConfigureWindow(d, r.window, static_cast<unsigned>(r.value_mask), &c);
    } else if (e.type == DestroyNotify) {
      windows.erase(e.xdestroywindow.window);
    } else if (e.type == ClientMessage && e.xclient.message_type == state) {
      const long* l = e.xclient.data.l;
      if (static_cast<Atom>(l[1]) != full && static_cast<Atom>(l[2]) != full) continue;
      Window w = e.xclient.window;
      Placement& p = windows[w];
      const bool on = l[0] == 1 ? true : l[0] == 0 ? false : !p.full;  // add, remove, toggle
      if (on && !p.full) {
        XWindowAttributes a;
        Window child;
        if (!XGetWindowAttributes(d, w, &a)) continue;
        XTranslateCoordinates(d, w, root, 0, 0, &p.x, &p.y, &child);
        p.w = a.width;
        p.h = a.height;
        p.full = true;
        XMoveResizeWindow(d, w, 0, 0, static_cast<unsigned>(sw), static_cast<unsigned>(sh));
        XChangeProperty(d, w, state, XA_ATOM, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(&full), 1);
      } else if (!on && p.full) {
        p.full = false;
        XMoveResizeWindow(d, w, p.x, p.y, static_cast<unsigned>(p.w), static_cast<unsigned>(p.h));
        XChangeProperty(d, w, state, XA_ATOM, 32, PropModeReplace, nullptr, 0);
      }
      std::printf("%s full screen: window 0x%lx\n", on ? "enter" : "leave", w);
      std::fflush(stdout);
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  const bool close = argc == 3 && std::strcmp(argv[1], "close") == 0;
  const bool wm = argc == 2 && std::strcmp(argv[1], "wm") == 0;
  if (!close && !wm) {
    std::fprintf(stderr, "usage: sb-xhelper close WINDOW | sb-xhelper wm\n");
    return 2;
  }
  Display* d = XOpenDisplay(nullptr);
  if (!d) {
    std::fprintf(stderr, "sb-xhelper: cannot open the display\n");
    return 1;
  }
  int rc = close ? Close(d, static_cast<Window>(std::strtoul(argv[2], nullptr, 0))) : RunWm(d);
  XCloseDisplay(d);
  return rc;
}
