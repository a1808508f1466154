#include "platform/sim/SimWindowSystem.h"

#include <algorithm>
#include <cstring>

#include "platform/TimerSchedule.h"

namespace platform::sim {
namespace {

bool SameNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto x = static_cast<unsigned char>(a[i]);
        auto y = static_cast<unsigned char>(b[i]);
        if (x >= 'A' && x <= 'Z') x = static_cast<unsigned char>(x + 32);
        if (y >= 'A' && y <= 'Z') y = static_cast<unsigned char>(y + 32);
        if (x != y) return false;
    }
    return true;
}

}  // namespace

SimWindowSystem::SimWindowSystem(Runtime& runtime)
    : runtime_(runtime), alive_(std::make_shared<SimWindowSystem*>(this)) {}

SimWindowSystem::~SimWindowSystem() {
    alive_.reset();
}

SimWindowSystem::Window* SimWindowSystem::Find(Hwnd handle) {
    auto it = windows_.find(handle);
    return it == windows_.end() ? nullptr : &it->second;
}

const SimWindowSystem::Window* SimWindowSystem::Find(Hwnd handle) const {
    auto it = windows_.find(handle);
    return it == windows_.end() ? nullptr : &it->second;
}

std::vector<Hwnd>& SimWindowSystem::SiblingsOf(Hwnd parent) {
    if (parent == 0) return topLevel_;
    return Find(parent)->children;
}

// --- WindowApi ---

Hwnd SimWindowSystem::FindWindowA(std::string_view className,
                                  std::optional<std::string_view> caption) {
    return FindWindowExA(0, 0, className, caption);
}

Hwnd SimWindowSystem::FindWindowExA(Hwnd parent, Hwnd childAfter, std::string_view className,
                                    std::optional<std::string_view> caption) {
    if (parent != 0 && !Find(parent)) return 0;
    const std::vector<Hwnd>& list = SiblingsOf(parent);
    auto it = list.begin();
    if (childAfter != 0) {
        it = std::find(list.begin(), list.end(), childAfter);
        if (it == list.end()) return 0;  // not a child of this parent
        ++it;
    }
    for (; it != list.end(); ++it) {
        const Window& w = *Find(*it);
        if (SameNoCase(w.className, className) && (!caption || SameNoCase(w.text, *caption))) {
            return w.handle;
        }
    }
    return 0;
}

LResult SimWindowSystem::SendMessageA(Hwnd window, unsigned message, WParam wParam, LParam lParam) {
    if (!Find(window)) return 0;
    return Dispatch(window, message, wParam, lParam);
}

bool SimWindowSystem::PostMessageA(Hwnd window, unsigned message, WParam wParam, LParam lParam) {
    if (!Find(window)) return false;
    Enqueue(Posted{window, message, wParam, lParam, {}}, postLatency_);
    return true;
}

int SimWindowSystem::GetWindowTextLengthA(Hwnd window) {
    const Window* w = Find(window);
    return w ? static_cast<int>(w->text.size()) : 0;
}

int SimWindowSystem::GetWindowTextA(Hwnd window, char* buffer, int maxCount) {
    const Window* w = Find(window);
    if (!buffer || maxCount <= 0) return 0;
    if (!w) {
        buffer[0] = '\0';
        return 0;
    }
    // Like user32 across processes: the window's caption, not whatever text a
    // control would answer to WM_GETTEXT.
    auto n = std::min(w->text.size(), static_cast<std::size_t>(maxCount - 1));
    std::memcpy(buffer, w->text.data(), n);
    buffer[n] = '\0';
    return static_cast<int>(n);
}

std::uint64_t SimWindowSystem::AddChangeListener(std::function<void()> onChange) {
    std::uint64_t id = nextListener_++;
    listeners_[id] = std::move(onChange);
    return id;
}

void SimWindowSystem::RemoveChangeListener(std::uint64_t id) {
    listeners_.erase(id);
}

// --- the owner's side ---

Hwnd SimWindowSystem::CreateWindow(Hwnd parent, std::string className, std::string caption,
                                   WndProc proc) {
    if (parent != 0 && !Find(parent)) return 0;
    Hwnd handle = nextHandle_;
    nextHandle_ += 4;
    windows_[handle] =
        Window{handle, parent, std::move(className), std::move(caption), std::move(proc), {}};
    SiblingsOf(parent).push_back(handle);
    return handle;
}

void SimWindowSystem::DestroyWindow(Hwnd window) {
    Window* w = Find(window);
    if (!w) return;
    std::vector<Hwnd> children = w->children;
    for (Hwnd child : children) DestroyWindow(child);
    std::vector<Hwnd>& siblings = SiblingsOf(Find(window)->parent);
    siblings.erase(std::remove(siblings.begin(), siblings.end(), window), siblings.end());
    windows_.erase(window);
}

void SimWindowSystem::BringToFront(Hwnd window) {
    Window* w = Find(window);
    if (!w) return;
    std::vector<Hwnd>& siblings = SiblingsOf(w->parent);
    siblings.erase(std::remove(siblings.begin(), siblings.end(), window), siblings.end());
    siblings.insert(siblings.begin(), window);
}

bool SimWindowSystem::IsWindow(Hwnd window) const {
    return Find(window) != nullptr;
}

Hwnd SimWindowSystem::Parent(Hwnd window) const {
    const Window* w = Find(window);
    return w ? w->parent : 0;
}

std::string SimWindowSystem::ClassName(Hwnd window) const {
    const Window* w = Find(window);
    return w ? w->className : std::string();
}

const std::string& SimWindowSystem::Text(Hwnd window) const {
    static const std::string kNone;
    const Window* w = Find(window);
    return w ? w->text : kNone;
}

void SimWindowSystem::SetText(Hwnd window, std::string ansi) {
    if (Window* w = Find(window)) w->text = std::move(ansi);
}

std::vector<Hwnd> SimWindowSystem::Children(Hwnd parent) const {
    if (parent == 0) return topLevel_;
    const Window* w = Find(parent);
    return w ? w->children : std::vector<Hwnd>{};
}

LResult SimWindowSystem::DefWindowProc(Hwnd window, unsigned message, WParam wParam,
                                       LParam lParam) {
    Window* w = Find(window);
    if (!w) return 0;
    switch (message) {
        case WM_SETTEXT: {
            const char* text = reinterpret_cast<const char*>(lParam);
            w->text = text ? text : "";
            return 1;
        }
        case WM_GETTEXT: {
            char* buffer = reinterpret_cast<char*>(lParam);
            if (!buffer || wParam == 0) return 0;
            auto n = std::min<std::size_t>(w->text.size(), wParam - 1);
            std::memcpy(buffer, w->text.data(), n);
            buffer[n] = '\0';
            return static_cast<LResult>(n);
        }
        case WM_GETTEXTLENGTH:
            return static_cast<LResult>(w->text.size());
        case WM_CLOSE:
            DestroyWindow(window);
            return 0;
        default:
            return 0;
    }
}

LResult SimWindowSystem::Dispatch(Hwnd window, unsigned message, WParam wParam, LParam lParam) {
    WndProc proc = Find(window)->proc;  // a copy: the procedure may destroy its window
    if (proc) return proc(window, message, wParam, lParam);
    return DefWindowProc(window, message, wParam, lParam);
}

void SimWindowSystem::QueueReaction(Task reaction, Millis delay) {
    Enqueue(Posted{0, 0, 0, 0, std::move(reaction)}, delay);
}

void SimWindowSystem::Enqueue(Posted item, Millis delay) {
    Millis due = runtime_.Monotonic() + std::max(delay, Millis{0});
    queue_.emplace(QueueKey{due, order_++}, std::move(item));
    ScheduleWake();
}

std::optional<Millis> SimWindowSystem::NextDue() const {
    if (queue_.empty()) return std::nullopt;
    return queue_.begin()->first.first;
}

void SimWindowSystem::ScheduleWake() {
    if (queue_.empty()) return;
    Millis due = queue_.begin()->first.first;
    if (wakeAt_ && *wakeAt_ <= due) return;  // the wake-up already coming is early enough
    wakeAt_ = due;
    std::uint64_t generation = ++wakeGeneration_;
    std::weak_ptr<SimWindowSystem*> alive = alive_;
    auto wake = [alive, generation] {
        if (auto self = alive.lock()) (*self)->Wake(generation);
    };
    Millis now = runtime_.Monotonic();
    if (due <= now) {
        runtime_.Post(std::move(wake));
    } else {
        runtime_.PostDelayed(due - now, std::move(wake));
    }
}

void SimWindowSystem::Wake(std::uint64_t generation) {
    if (generation != wakeGeneration_) return;  // replaced by an earlier one
    wakeAt_.reset();
    // One item a turn: the program's own work (a scanner reading the room)
    // gets its turn between two things the client does.
    if (!draining_) RunOne();
    ScheduleWake();
}

bool SimWindowSystem::RunOne(bool dueOrNot) {
    if (queue_.empty()) return false;
    if (!dueOrNot && queue_.begin()->first.first > runtime_.Monotonic()) return false;
    draining_ = true;
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset{draining_};
    Posted item = std::move(queue_.begin()->second);
    queue_.erase(queue_.begin());
    if (item.reaction) {
        RunGuarded(item.reaction);
    } else if (Find(item.window)) {
        RunGuarded([&] { Dispatch(item.window, item.message, item.wParam, item.lParam); });
    }
    return true;
}

void SimWindowSystem::Drain() {
    if (draining_) return;
    while (RunOne()) {
    }
    ScheduleWake();
}

void SimWindowSystem::Finish() {
    if (draining_) return;
    // Bounded: an owner that keeps queueing more for itself must not hang us.
    for (int i = 0; i < 1'000'000 && RunOne(true); ++i) {
    }
    ScheduleWake();
}

void SimWindowSystem::NotifyChanged() {
    std::vector<std::function<void()>> calls;
    calls.reserve(listeners_.size());
    for (auto& [id, fn] : listeners_) calls.push_back(fn);
    for (auto& fn : calls) fn();
}

}  // namespace platform::sim
