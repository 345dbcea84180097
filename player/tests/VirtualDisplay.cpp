#include "VirtualDisplay.h"

#if VELMORA_HAVE_XTEST

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace player::testing {

namespace {

using namespace std::chrono_literals;

Display* xOf(void* display) {
    return static_cast<Display*>(display);
}

// The display number Xvfb writes to `fd` once it accepts clients; empty on failure.
std::string readDisplayNumber(int fd, std::chrono::milliseconds timeout) {
    std::string number;
    const auto until = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < until) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, 100) <= 0) {
            continue;
        }
        char c = 0;
        if (::read(fd, &c, 1) != 1) {
            return {};
        }
        if (c == '\n') {
            return number;
        }
        number += c;
    }
    return {};
}

std::optional<unsigned long> processOf(Display* d, Window w) {
    const Atom pidAtom = XInternAtom(d, "_NET_WM_PID", True);
    if (pidAtom == None) {
        return std::nullopt;
    }
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    std::optional<unsigned long> pid;
    if (XGetWindowProperty(d, w, pidAtom, 0, 1, False, XA_CARDINAL, &type, &format, &count, &after,
                           &data) == Success &&
        data != nullptr) {
        if (type == XA_CARDINAL && format == 32 && count == 1) {
            pid = *reinterpret_cast<unsigned long*>(data);
        }
    }
    if (data != nullptr) {
        XFree(data);
    }
    return pid;
}

} // namespace

VirtualDisplay::VirtualDisplay() {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) {
        problem_ = "no pipe";
        return;
    }
    server_ = ::fork();
    if (server_ == 0) {
        ::dup2(fds[1], 3);
        const int quiet = ::open("/dev/null", O_WRONLY);
        ::dup2(quiet, STDOUT_FILENO);
        ::dup2(quiet, STDERR_FILENO);
        char program[] = "Xvfb";
        char displayfd[] = "-displayfd";
        char three[] = "3";
        char screen[] = "-screen";
        char zero[] = "0";
        char size[] = "800x600x24";
        char nolisten[] = "-nolisten";
        char tcp[] = "tcp";
        char* argv[] = {program, displayfd, three, screen, zero, size, nolisten, tcp, nullptr};
        ::execvp(program, argv);
        ::_exit(127);
    }
    ::close(fds[1]);
    if (server_ < 0) {
        ::close(fds[0]);
        server_ = 0;
        problem_ = "cannot start a process";
        return;
    }
    const std::string number = readDisplayNumber(fds[0], 20s);
    ::close(fds[0]);
    if (number.empty()) {
        problem_ = "Xvfb is not installed or did not start";
        return;
    }
    name_ = ":" + number;
    Display* d = XOpenDisplay(name_.c_str());
    if (d == nullptr) {
        problem_ = "cannot connect to Xvfb on " + name_;
        return;
    }
    int event = 0;
    int error = 0;
    int major = 0;
    int minor = 0;
    if (!XTestQueryExtension(d, &event, &error, &major, &minor)) {
        XCloseDisplay(d);
        problem_ = "the X server has no XTest extension";
        return;
    }
    display_ = d;
}

VirtualDisplay::~VirtualDisplay() {
    if (display_ != nullptr) {
        XCloseDisplay(xOf(display_));
    }
    if (server_ > 0) {
        ::kill(server_, SIGTERM);
        ::waitpid(server_, nullptr, 0);
    }
}

void VirtualDisplay::sync() {
    XSync(xOf(display_), False);
}

unsigned long VirtualDisplay::windowOf(pid_t pid, std::chrono::milliseconds timeout) {
    Display* d = xOf(display_);
    const auto until = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < until) {
        Window root = 0;
        Window parent = 0;
        Window* children = nullptr;
        unsigned int count = 0;
        Window found = 0;
        if (XQueryTree(d, DefaultRootWindow(d), &root, &parent, &children, &count) != 0) {
            for (unsigned int i = 0; i < count && found == 0; ++i) {
                XWindowAttributes attributes;
                if (XGetWindowAttributes(d, children[i], &attributes) != 0 &&
                    attributes.map_state == IsViewable &&
                    processOf(d, children[i]) == static_cast<unsigned long>(pid)) {
                    found = children[i];
                }
            }
            if (children != nullptr) {
                XFree(children);
            }
        }
        if (found != 0) {
            return found;
        }
        std::this_thread::sleep_for(100ms);
    }
    return 0;
}

std::optional<VirtualDisplay::Geometry> VirtualDisplay::geometry(unsigned long window) {
    Display* d = xOf(display_);
    XWindowAttributes attributes;
    Window child = 0;
    Geometry g;
    if (XGetWindowAttributes(d, window, &attributes) == 0 ||
        !XTranslateCoordinates(d, window, DefaultRootWindow(d), 0, 0, &g.x, &g.y, &child)) {
        return std::nullopt;
    }
    g.width = attributes.width;
    g.height = attributes.height;
    return g;
}

std::optional<std::uint32_t> VirtualDisplay::pixel(int x, int y) {
    Display* d = xOf(display_);
    XImage* image = XGetImage(d, DefaultRootWindow(d), x, y, 1, 1, AllPlanes, ZPixmap);
    if (image == nullptr) {
        return std::nullopt;
    }
    const unsigned long value = XGetPixel(image, 0, 0);
    XDestroyImage(image);
    return static_cast<std::uint32_t>(value & 0xFFFFFF);
}

bool VirtualDisplay::waitForPixel(int x, int y, std::uint32_t rgb,
                                  std::chrono::milliseconds timeout) {
    const auto until = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < until) {
        if (pixel(x, y) == rgb) {
            return true;
        }
        std::this_thread::sleep_for(50ms);
    }
    return false;
}

void VirtualDisplay::moveMouse(int x, int y) {
    XTestFakeMotionEvent(xOf(display_), -1, x, y, CurrentTime);
    sync();
}

void VirtualDisplay::pressLeft() {
    XTestFakeButtonEvent(xOf(display_), 1, True, CurrentTime);
    sync();
}

void VirtualDisplay::releaseLeft() {
    XTestFakeButtonEvent(xOf(display_), 1, False, CurrentTime);
    sync();
}

} // namespace player::testing

#else

namespace player::testing {

// Built without Xlib and XTest: no display, and the tests that need one skip.
VirtualDisplay::VirtualDisplay() : problem_("built without the XTest headers (libxtst-dev)") {}
VirtualDisplay::~VirtualDisplay() = default;
void VirtualDisplay::sync() {}
unsigned long VirtualDisplay::windowOf(pid_t, std::chrono::milliseconds) {
    return 0;
}
std::optional<VirtualDisplay::Geometry> VirtualDisplay::geometry(unsigned long) {
    return {};
}
std::optional<std::uint32_t> VirtualDisplay::pixel(int, int) {
    return {};
}
bool VirtualDisplay::waitForPixel(int, int, std::uint32_t, std::chrono::milliseconds) {
    return false;
}
void VirtualDisplay::moveMouse(int, int) {}
void VirtualDisplay::pressLeft() {}
void VirtualDisplay::releaseLeft() {}

} // namespace player::testing

#endif
