#include "ui/qt/X11Stacking.h"

#include <QApplication>
#include <QGuiApplication>
#include <QMetaObject>
#include <QTimer>
#include <QWidget>

#ifdef MOONRAKE_X11
#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <set>
#endif

namespace ui {

std::vector<QWidget*> WindowFamily(QWidget* window) {
    std::vector<QWidget*> family;
    if (window == nullptr) return family;
    family.push_back(window);
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (top == window || !top->isVisible()) continue;
        for (QWidget* up = top->parentWidget(); up != nullptr; up = up->parentWidget()) {
            if (up == window) {
                family.push_back(top);
                break;
            }
        }
    }
    return family;
}

#ifdef MOONRAKE_X11

namespace {

xcb_connection_t* Connection() {
    if (qGuiApp == nullptr || QGuiApplication::platformName() != QLatin1String("xcb")) {
        return nullptr;
    }
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 != nullptr ? x11->connection() : nullptr;
}

// A reply of the server, freed with the C library as libxcb wants. A request
// that fails (the window went away meanwhile) gives no reply; its error is
// taken here, or Qt would report it as a stray error of its own.
template <typename T>
struct Freed {
    void operator()(T* p) const { std::free(p); }
};
template <typename T>
using Reply = std::unique_ptr<T, Freed<T>>;

template <typename T, typename Cookie, typename Fetch>
Reply<T> Take(xcb_connection_t* c, Cookie cookie, Fetch fetch) {
    xcb_generic_error_t* error = nullptr;
    Reply<T> reply(fetch(c, cookie, &error));
    std::free(error);
    return reply;
}

struct Tree {
    bool ok = false;
    xcb_window_t root = XCB_NONE;
    xcb_window_t parent = XCB_NONE;
    std::vector<xcb_window_t> children;  // bottom first
};

Tree QueryTree(xcb_connection_t* c, xcb_window_t window) {
    Tree tree;
    auto reply = Take<xcb_query_tree_reply_t>(c, xcb_query_tree(c, window), xcb_query_tree_reply);
    if (!reply) return tree;
    tree.ok = true;
    tree.root = reply->root;
    tree.parent = reply->parent;
    const xcb_window_t* children = xcb_query_tree_children(reply.get());
    tree.children.assign(children, children + xcb_query_tree_children_length(reply.get()));
    return tree;
}

// The ancestor of `window` that is a child of the root: the window itself
// without a window manager, its frame under a reparenting one. XCB_NONE when
// the window is gone.
xcb_window_t TopLevel(xcb_connection_t* c, xcb_window_t window, xcb_window_t* root = nullptr) {
    // Frames nest a few levels at most; the bound only guards a tree that
    // changes under our feet.
    for (int depth = 0; depth < 32 && window != XCB_NONE; ++depth) {
        const Tree tree = QueryTree(c, window);
        if (!tree.ok || tree.parent == XCB_NONE) return XCB_NONE;
        if (root != nullptr) *root = tree.root;
        if (tree.parent == tree.root) return window;
        window = tree.parent;
    }
    return XCB_NONE;
}

// Where a window stands on its parent, border included.
struct Place {
    int x = 0, y = 0, width = 0, height = 0;

    bool operator==(const Place&) const = default;
    bool Overlaps(const Place& other) const {
        return x < other.x + other.width && other.x < x + width && y < other.y + other.height &&
               other.y < y + height;
    }
};

Place PlaceOf(const xcb_get_geometry_reply_t& geometry) {
    const int border = 2 * geometry.border_width;
    return {geometry.x, geometry.y, geometry.width + border, geometry.height + border};
}

std::vector<xcb_window_t> IdsOf(const std::vector<QWidget*>& windows) {
    std::vector<xcb_window_t> ids;
    for (QWidget* window : windows) {
        // internalWinId, not winId: asking must not create a native window.
        if (window != nullptr && window->internalWinId() != 0) {
            ids.push_back(static_cast<xcb_window_t>(window->internalWinId()));
        }
    }
    return ids;
}

}  // namespace

bool OnX11() {
    return Connection() != nullptr;
}

bool CoveredByOthers(const std::vector<QWidget*>& family) {
    xcb_connection_t* c = Connection();
    if (c == nullptr) return false;
    std::vector<QWidget*> shown;
    for (QWidget* window : family) {
        if (window != nullptr && window->isVisible()) shown.push_back(window);
    }
    xcb_window_t root = XCB_NONE;
    std::set<xcb_window_t> ours;
    for (xcb_window_t id : IdsOf(shown)) {
        const xcb_window_t top = TopLevel(c, id, &root);
        if (top != XCB_NONE) ours.insert(top);
    }
    if (ours.empty()) return false;
    const Tree stack = QueryTree(c, root);
    if (!stack.ok) return false;

    // Only what lies above the lowest of ours can cover any of them. Ask
    // for all of it at once: one round trip, not two per window.
    const auto lowest = std::find_if(stack.children.begin(), stack.children.end(),
                                     [&](xcb_window_t w) { return ours.count(w) != 0; });
    if (lowest == stack.children.end()) return false;
    struct Entry {
        xcb_window_t window;
        bool mine;
        xcb_get_window_attributes_cookie_t attributes;
        xcb_get_geometry_cookie_t geometry;
    };
    std::vector<Entry> above;
    for (auto it = lowest; it != stack.children.end(); ++it) {
        const bool mine = ours.count(*it) != 0;
        above.push_back({*it, mine, xcb_get_window_attributes(c, *it), xcb_get_geometry(c, *it)});
    }

    std::vector<Place> mineSoFar;  // our windows below the one looked at
    bool covered = false;
    for (const Entry& entry : above) {
        // Every reply is fetched, even once the answer is known, so that
        // none is left waiting on the connection.
        auto attributes = Take<xcb_get_window_attributes_reply_t>(c, entry.attributes,
                                                                  xcb_get_window_attributes_reply);
        auto geometry = Take<xcb_get_geometry_reply_t>(c, entry.geometry, xcb_get_geometry_reply);
        if (covered || !attributes || !geometry) continue;
        if (attributes->map_state != XCB_MAP_STATE_VIEWABLE ||
            attributes->_class == XCB_WINDOW_CLASS_INPUT_ONLY) {
            continue;
        }
        const Place place = PlaceOf(*geometry);
        if (entry.mine) {
            mineSoFar.push_back(place);
            continue;
        }
        covered = std::any_of(mineSoFar.begin(), mineSoFar.end(),
                              [&](const Place& mine) { return mine.Overlaps(place); });
    }
    return covered;
}

void SendRequests() {
    if (xcb_connection_t* c = Connection()) xcb_flush(c);
}

// --- the watch ------------------------------------------------------------------

struct X11StackingWatch::State {
    xcb_connection_t* connection = nullptr;
    struct Root {
        xcb_window_t window;
        // Qt did not ask for the root's substructure events; they exist
        // because of us, and Qt would take a child's ConfigureNotify
        // reported on the root for the root's own.
        bool oursAlone;
    };
    std::vector<Root> roots;
    // Children of a root known to be ours (frames of our windows, or our
    // windows themselves) or another client's; learned on first sight and
    // forgotten when they go away or change parents.
    std::set<xcb_window_t> ours;
    std::set<xcb_window_t> others;
    std::map<xcb_window_t, Place> ourPlaces;

    const Root* RootOf(xcb_window_t window) const {
        for (const Root& root : roots) {
            if (root.window == window) return &root;
        }
        return nullptr;
    }
};

X11StackingWatch::X11StackingWatch(Windows ours, std::function<void()> changed)
    : state_(std::make_unique<State>()), ours_(std::move(ours)), changed_(std::move(changed)) {
    xcb_connection_t* c = Connection();
    if (c == nullptr) return;
    state_->connection = c;
    for (auto it = xcb_setup_roots_iterator(xcb_get_setup(c)); it.rem > 0; xcb_screen_next(&it)) {
        const xcb_window_t root = it.data->root;
        auto attributes = Take<xcb_get_window_attributes_reply_t>(
            c, xcb_get_window_attributes(c, root), xcb_get_window_attributes_reply);
        if (!attributes) continue;
        // Added to what Qt selected on the root, never in its place.
        // SubstructureNotify may be selected by any number of clients
        // (SubstructureRedirect, the window manager's, by one only).
        const std::uint32_t mask = attributes->your_event_mask;
        const std::uint32_t wanted = mask | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_change_window_attributes(c, root, XCB_CW_EVENT_MASK, &wanted);
        state_->roots.push_back({root, (mask & XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY) == 0});
    }
    xcb_flush(c);
    if (!state_->roots.empty()) QCoreApplication::instance()->installNativeEventFilter(this);
}

X11StackingWatch::~X11StackingWatch() {
    // The filter takes itself off the event dispatcher as it goes. The roots
    // go back to what Qt had selected, if Qt is still there to ask.
    xcb_connection_t* c = state_->connection;
    if (c == nullptr || Connection() != c) return;
    for (const State::Root& root : state_->roots) {
        if (!root.oursAlone) continue;
        auto attributes = Take<xcb_get_window_attributes_reply_t>(
            c, xcb_get_window_attributes(c, root.window), xcb_get_window_attributes_reply);
        if (!attributes) continue;
        const std::uint32_t mask =
            attributes->your_event_mask & ~XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_change_window_attributes(c, root.window, XCB_CW_EVENT_MASK, &mask);
    }
    xcb_flush(c);
}

bool X11StackingWatch::Active() const {
    return !state_->roots.empty();
}

bool X11StackingWatch::nativeEventFilter(const QByteArray& eventType, void* message,
                                         qintptr* result) {
    (void)result;
    if (message == nullptr || eventType != "xcb_generic_event_t") return false;
    State& s = *state_;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);

    // The root a substructure event came through and the child it is about;
    // nothing else concerns us.
    xcb_window_t through = XCB_NONE, child = XCB_NONE;
    enum class Kind { Appeared, Configured, Gone, Reparented, Other } kind = Kind::Other;
    Place place;
    switch (event->response_type & 0x7F) {
        case XCB_CONFIGURE_NOTIFY: {
            const auto* e = reinterpret_cast<const xcb_configure_notify_event_t*>(event);
            through = e->event, child = e->window, kind = Kind::Configured;
            const int border = 2 * e->border_width;
            place = {e->x, e->y, e->width + border, e->height + border};
            break;
        }
        case XCB_MAP_NOTIFY: {
            const auto* e = reinterpret_cast<const xcb_map_notify_event_t*>(event);
            through = e->event, child = e->window, kind = Kind::Appeared;
            break;
        }
        case XCB_CIRCULATE_NOTIFY: {
            const auto* e = reinterpret_cast<const xcb_circulate_notify_event_t*>(event);
            through = e->event, child = e->window, kind = Kind::Appeared;
            break;
        }
        case XCB_DESTROY_NOTIFY: {
            const auto* e = reinterpret_cast<const xcb_destroy_notify_event_t*>(event);
            through = e->event, child = e->window, kind = Kind::Gone;
            break;
        }
        case XCB_REPARENT_NOTIFY: {
            const auto* e = reinterpret_cast<const xcb_reparent_notify_event_t*>(event);
            through = e->event, child = e->window, kind = Kind::Reparented;
            break;
        }
        case XCB_UNMAP_NOTIFY: {
            const auto* e = reinterpret_cast<const xcb_unmap_notify_event_t*>(event);
            through = e->event, child = e->window;
            break;
        }
        case XCB_CREATE_NOTIFY: {
            const auto* e = reinterpret_cast<const xcb_create_notify_event_t*>(event);
            through = e->parent, child = e->window;
            break;
        }
        case XCB_GRAVITY_NOTIFY: {
            const auto* e = reinterpret_cast<const xcb_gravity_notify_event_t*>(event);
            through = e->event, child = e->window;
            break;
        }
        default:
            return false;
    }
    const State::Root* root = s.RootOf(through);
    // The root's own events (its size) are Qt's.
    if (root == nullptr || child == through) return false;
    ++generation_;

    switch (kind) {
        case Kind::Gone:
            s.ours.erase(child);
            s.others.erase(child);
            s.ourPlaces.erase(child);
            break;
        case Kind::Reparented:
            // A window came under a frame or left it: which children of the
            // root are ours may have changed. Learn them afresh.
            s.ours.clear();
            s.others.clear();
            s.ourPlaces.erase(child);
            break;
        case Kind::Appeared:
        case Kind::Configured: {
            bool mine = s.ours.count(child) != 0;
            if (!mine && s.others.count(child) == 0) {
                // First sight of this child: find the frames of our windows
                // as they stand now.
                s.ours.clear();
                for (xcb_window_t id : IdsOf(ours_ ? ours_() : std::vector<QWidget*>{})) {
                    const xcb_window_t top = TopLevel(s.connection, id);
                    if (top != XCB_NONE) s.ours.insert(top);
                }
                mine = s.ours.count(child) != 0;
                if (!mine) s.others.insert(child);
            }
            if (!mine) {
                Changed();
            } else if (kind == Kind::Configured) {
                // Our own restacking (the raise that answers a change) is no
                // change; our window moved or grown may now meet one above.
                auto [it, first] = s.ourPlaces.try_emplace(child, place);
                if (first || !(it->second == place)) {
                    it->second = place;
                    Changed();
                }
            }
            break;
        }
        case Kind::Other:
            break;
    }
    return root->oursAlone;
}

#else  // no X11

bool OnX11() {
    return false;
}

bool CoveredByOthers(const std::vector<QWidget*>&) {
    return false;
}

void SendRequests() {}

struct X11StackingWatch::State {};

X11StackingWatch::X11StackingWatch(Windows ours, std::function<void()> changed)
    : state_(std::make_unique<State>()), ours_(std::move(ours)), changed_(std::move(changed)) {}

X11StackingWatch::~X11StackingWatch() = default;

bool X11StackingWatch::Active() const {
    return false;
}

bool X11StackingWatch::nativeEventFilter(const QByteArray&, void*, qintptr*) {
    return false;
}

#endif

void X11StackingWatch::CallAgainIn(std::chrono::milliseconds delay) {
    if (again_) return;
    again_ = true;
    QTimer::singleShot(delay, &context_, [this] {
        again_ = false;
        Changed();
    });
}

void X11StackingWatch::Changed() {
    if (pending_ || !changed_) return;
    pending_ = true;
    QMetaObject::invokeMethod(
        &context_,
        [this] {
            pending_ = false;
            changed_();
        },
        Qt::QueuedConnection);
}

}  // namespace ui
