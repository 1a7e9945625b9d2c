// X11 and pixel help for the end-to-end tests, for what xdotool cannot do
// and what ImageMagick does too slowly for polling:
//   sb-xhelper close WINDOW        asks the window to close the way a window
//                                  manager's close box does (WM_DELETE_WINDOW)
//   sb-xhelper wm                  a minimal window manager: maps windows,
//                                  gives them the focus, and honours SDL's
//                                  full-screen requests (_NET_WM_STATE)
//   sb-xhelper shot WINDOW|root OUT.ppm   the window's pixels, binary PPM
//   sb-xhelper count IMAGE QUESTION...    pixel counts, one line each (see
//                                  Answer below), many questions in one go
//                                  because polling a screen must be quick
// IMAGE is a binary PPM or an uncompressed 24/32-bit BMP.
// A bare Xvfb has no window manager, and without one a full-screen request
// changes nothing.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

namespace {

struct Image {
  int w = 0, h = 0;
  std::vector<uint32_t> px;  // 0xRRGGBB, rows from the top
  uint32_t At(int x, int y) const { return px[static_cast<size_t>(y) * w + x]; }
};

bool ReadFile(const char* path, std::vector<unsigned char>& data) {
  std::ifstream f(path, std::ios::binary);
  if (!f) return false;
  data.assign(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
  return true;
}

bool ParsePpm(const std::vector<unsigned char>& d, Image& img) {
  size_t i = 2;
  int v[3];
  for (int& n : v) {
    for (;;) {  // white space and comments
      while (i < d.size() && std::isspace(d[i])) ++i;
      if (i < d.size() && d[i] == '#')
        while (i < d.size() && d[i] != '\n') ++i;
      else
        break;
    }
    n = 0;
    if (i >= d.size() || !std::isdigit(d[i])) return false;
    while (i < d.size() && std::isdigit(d[i])) n = n * 10 + (d[i++] - '0');
  }
  ++i;  // the one white-space byte before the pixels
  img.w = v[0];
  img.h = v[1];
  if (v[2] != 255 || img.w <= 0 || img.h <= 0) return false;
  const size_t n = static_cast<size_t>(img.w) * img.h;
  if (d.size() < i + 3 * n) return false;
  img.px.resize(n);
  for (size_t p = 0; p < n; ++p, i += 3) img.px[p] = d[i] << 16 | d[i + 1] << 8 | d[i + 2];
  return true;
}

uint32_t Le(const std::vector<unsigned char>& d, size_t at, int bytes) {
  uint32_t v = 0;
  for (int b = bytes - 1; b >= 0; --b) v = v << 8 | d[at + b];
  return v;
}

bool ParseBmp(const std::vector<unsigned char>& d, Image& img) {
  if (d.size() < 54) return false;
  const uint32_t off = Le(d, 10, 4), bpp = Le(d, 28, 2), comp = Le(d, 30, 4);
  const int32_t w = static_cast<int32_t>(Le(d, 18, 4)), h = static_cast<int32_t>(Le(d, 22, 4));
  if ((bpp != 24 && bpp != 32) || (comp != 0 && comp != 3) || w <= 0 || h == 0) return false;
  img.w = w;
  img.h = h < 0 ? -h : h;
  const size_t stride = (static_cast<size_t>(w) * (bpp / 8) + 3) & ~size_t{3};
  if (d.size() < off + stride * img.h) return false;
  img.px.resize(static_cast<size_t>(img.w) * img.h);
  for (int y = 0; y < img.h; ++y) {
    const size_t row = off + stride * static_cast<size_t>(h < 0 ? y : img.h - 1 - y);
    for (int x = 0; x < w; ++x) {
      const size_t p = row + static_cast<size_t>(x) * (bpp / 8);
      img.px[static_cast<size_t>(y) * w + x] = d[p + 2] << 16 | d[p + 1] << 8 | d[p];
    }
  }
  return true;
}

bool Load(const char* path, Image& img) {
  std::vector<unsigned char> d;
  if (!ReadFile(path, d) || d.size() < 2) return false;
  if (d[0] == 'P' && d[1] == '6') return ParsePpm(d, img);
  if (d[0] == 'B' && d[1] == 'M') return ParseBmp(d, img);
  return false;
}

int Shot(Display* d, const char* which, const char* out) {
  const Window w = std::strcmp(which, "root") == 0
                       ? DefaultRootWindow(d)
                       : static_cast<Window>(std::strtoul(which, nullptr, 0));
  XWindowAttributes a;
  if (!XGetWindowAttributes(d, w, &a)) return 1;
  XImage* xi = XGetImage(d, w, 0, 0, static_cast<unsigned>(a.width),
                         static_cast<unsigned>(a.height), AllPlanes, ZPixmap);
  if (!xi) return 1;
  std::string data = "P6\n" + std::to_string(a.width) + " " + std::to_string(a.height) + "\n255\n";
  const size_t head = data.size();
  data.resize(head + 3 * static_cast<size_t>(a.width) * a.height);
  auto channel = [](unsigned long pixel, unsigned long mask) {
    if (!mask) return 0ul;
    int shift = 0;
    while (!((mask >> shift) & 1)) ++shift;
    const unsigned long max = mask >> shift;
    return ((pixel & mask) >> shift) * 255 / max;
  };
  size_t o = head;
  for (int y = 0; y < a.height; ++y) {
    for (int x = 0; x < a.width; ++x) {
      const unsigned long p = XGetPixel(xi, x, y);
      data[o++] = static_cast<char>(channel(p, xi->red_mask));
      data[o++] = static_cast<char>(channel(p, xi->green_mask));
      data[o++] = static_cast<char>(channel(p, xi->blue_mask));
    }
  }
  XDestroyImage(xi);
  std::ofstream f(out, std::ios::binary);
  f.write(data.data(), static_cast<std::streamsize>(data.size()));
  return f ? 0 : 1;
}

// One question about a rectangle of an image, written KIND:X,Y,W,H[,ARG...]:
//   nonblack:X,Y,W,H             pixels that are not black
//   colour:X,Y,W,H,RRGGBB[,TOL]  pixels within TOL (default 0) of the colour
//   tint:X,Y,W,H,RRGGBB          pixels not black and black in every channel
//                                the colour lacks (art drawn tinted by it)
//   diff:X,Y,W,H,IMAGE           pixels that differ from the other image
// The answer is a pixel count; -1 for a question that cannot be answered.
long Answer(const Image& img, const std::string& q) {
  const size_t colon = q.find(':');
  if (colon == std::string::npos) return -1;
  const std::string kind = q.substr(0, colon);
  std::vector<std::string> f;
  for (size_t at = colon + 1;;) {
    const size_t comma = q.find(',', at);
    f.push_back(q.substr(at, comma == std::string::npos ? std::string::npos : comma - at));
    if (comma == std::string::npos) break;
    at = comma + 1;
  }
  if (f.size() < 4) return -1;
  const int x = std::atoi(f[0].c_str()), y = std::atoi(f[1].c_str());
  const int x0 = std::max(x, 0), y0 = std::max(y, 0);
  const int x1 = std::min(x + std::atoi(f[2].c_str()), img.w);
  const int y1 = std::min(y + std::atoi(f[3].c_str()), img.h);
  uint32_t want = 0;
  int tol = 0;
  Image other;
  if (kind == "colour" || kind == "tint") {
    if (f.size() < 5) return -1;
    want = static_cast<uint32_t>(std::strtoul(f[4].c_str(), nullptr, 16));
    if (f.size() > 5) tol = std::atoi(f[5].c_str());
  } else if (kind == "diff") {
    if (f.size() < 5 || !Load(f[4].c_str(), other)) return -1;
  } else if (kind != "nonblack") {
    return -1;
  }
  long n = 0;
  for (int yy = y0; yy < y1; ++yy) {
    for (int xx = x0; xx < x1; ++xx) {
      const uint32_t p = img.At(xx, yy);
      if (kind == "nonblack") {
        n += p != 0;
      } else if (kind == "tint") {
        n += p != 0 && (p & ~want & 0xFFFFFF) == 0;
      } else if (kind == "diff") {
        n += xx >= other.w || yy >= other.h || p != other.At(xx, yy);
      } else {
        bool near = true;
        for (int sh = 0; sh < 24; sh += 8) {
          near = near && std::abs(static_cast<int>((p >> sh) & 255) -
                                  static_cast<int>((want >> sh) & 255)) <= tol;
        }
        n += near;
      }
    }
  }
  return n;
}

int Count(int argc, char** argv) {
  Image img;
  if (!Load(argv[2], img)) {
    std::fprintf(stderr, "sb-xhelper: cannot read %s\n", argv[2]);
    return 1;
  }
  int rc = 0;
  for (int i = 3; i < argc; ++i) {
    const long n = Answer(img, argv[i]);
    if (n < 0) {
      std::fprintf(stderr, "sb-xhelper: cannot answer %s\n", argv[i]);
      rc = 2;
    }
    std::printf("%ld\n", n);
  }
  return rc;
}

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
  const std::string cmd = argc > 1 ? argv[1] : "";
  if (cmd == "count" && argc >= 4) return Count(argc, argv);
  const bool close = cmd == "close" && argc == 3, wm = cmd == "wm" && argc == 2,
             shot = cmd == "shot" && argc == 4;
  if (!close && !wm && !shot) {
    std::fprintf(stderr,
                 "usage: sb-xhelper close WINDOW | wm | shot WINDOW|root OUT.ppm |\n"
                 "       count IMAGE KIND:X,Y,W,H[,ARG...]...\n");
    return 2;
  }
  Display* d = XOpenDisplay(nullptr);
  if (!d) {
    std::fprintf(stderr, "sb-xhelper: cannot open the display\n");
    return 1;
  }
  int rc = close  ? Close(d, static_cast<Window>(std::strtoul(argv[2], nullptr, 0)))
           : shot ? Shot(d, argv[2], argv[3])
                  : RunWm(d);
  XCloseDisplay(d);
  return rc;
}
