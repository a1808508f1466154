#include "media/dshow/DShowMediaPlayer.h"

#include <algorithm>
#include <cstdio>
#include <iostream>
#include <utility>

#include "platform/win32/Utf16.h"

// After the project's headers: windows.h defines macros (MessageBox, ...)
// that would rename what those headers declare.
#include <dshow.h>
#include <qedit.h>
#include <windows.h>

namespace media {

namespace {

constexpr std::int32_t kSilence = -10000;  // hundredths of a decibel
constexpr std::int32_t kFullBalance = 10000;

// Not in MinGW's headers; both filters come with DirectShow (qedit).
constexpr GUID kClsidNullRenderer = {
    0xc1f400a4, 0x3f08, 0x11d3, {0x9f, 0x0b, 0x00, 0x60, 0x08, 0x03, 0x9e, 0x37}};
constexpr GUID kClsidSampleGrabber = {
    0xc1f400a0, 0x3f08, 0x11d3, {0x9f, 0x0b, 0x00, 0x60, 0x08, 0x03, 0x9e, 0x37}};

// Owns one reference to a COM object.
template <class T>
class ComRef {
  public:
    ComRef() = default;
    ~ComRef() { Reset(); }
    ComRef(ComRef&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
    ComRef& operator=(ComRef&& other) noexcept {
        if (this != &other) {
            Reset();
            p_ = std::exchange(other.p_, nullptr);
        }
        return *this;
    }
    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;

    T* operator->() const { return p_; }
    T* get() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }
    // For calls that hand out a new reference.
    T** Out() {
        Reset();
        return &p_;
    }
    void** OutVoid() { return reinterpret_cast<void**>(Out()); }
    void Reset() {
        if (p_ != nullptr) std::exchange(p_, nullptr)->Release();
    }

  private:
    T* p_ = nullptr;
};

// A missing path or a folder is known to be unplayable without building a
// graph for it; anything else is left to DirectShow to judge.
bool IsFile(const std::wstring& path) {
    if (path.empty()) return false;
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

std::string Hex(HRESULT hr) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08lx", static_cast<unsigned long>(hr));
    return text;
}

ComRef<IPin> FirstFreePin(IBaseFilter* filter, PIN_DIRECTION direction) {
    ComRef<IEnumPins> pins;
    if (FAILED(filter->EnumPins(pins.Out()))) return {};
    ComRef<IPin> pin;
    while (pins->Next(1, pin.Out(), nullptr) == S_OK) {
        PIN_DIRECTION found;
        ComRef<IPin> peer;
        if (SUCCEEDED(pin->QueryDirection(&found)) && found == direction &&
            pin->ConnectedTo(peer.Out()) == VFW_E_NOT_CONNECTED) {
            return pin;
        }
    }
    return {};
}

ComRef<IBaseFilter> AddFilter(IGraphBuilder* builder, const GUID& clsid, const wchar_t* name,
                              HRESULT& hr) {
    ComRef<IBaseFilter> filter;
    hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter, filter.OutVoid());
    if (SUCCEEDED(hr)) hr = builder->AddFilter(filter.get(), name);
    if (FAILED(hr)) filter.Reset();
    return filter;
}

// Connects the first free output of `from` to the first free input of `to`,
// with whatever filters DirectShow puts between them.
HRESULT ConnectFilters(IGraphBuilder* builder, IBaseFilter* from, IBaseFilter* to) {
    ComRef<IPin> out = FirstFreePin(from, PINDIR_OUTPUT);
    ComRef<IPin> in = FirstFreePin(to, PINDIR_INPUT);
    if (!out || !in) return VFW_E_CANNOT_CONNECT;
    return builder->Connect(out.get(), in.get());
}

// Source, whatever decodes it, Null Renderer, and no clock. A Null Renderer
// takes any data, so left to itself DirectShow would hand it the file's
// still-compressed stream. A Sample Grabber that takes only PCM audio sits in
// front of it instead: to reach it, DirectShow must put in front the same
// splitter and decoder that RenderFile picks for the file. (A hand-picked
// MPEG-1 splitter and Layer-3 decoder would do as well on paper, but under
// Wine that chain deadlocks now and then when stopped while it decodes.)
HRESULT BuildUnclockedGraph(IGraphBuilder* builder, const std::wstring& path) {
    ComRef<IBaseFilter> source;
    HRESULT hr = builder->AddSourceFilter(path.c_str(), L"Source", source.Out());
    if (FAILED(hr)) return hr;
    ComRef<IBaseFilter> pcm = AddFilter(builder, kClsidSampleGrabber, L"PCM only", hr);
    if (FAILED(hr)) return hr;
    ComRef<ISampleGrabber> grabber;
    hr = pcm->QueryInterface(IID_ISampleGrabber, grabber.OutVoid());
    if (FAILED(hr)) return hr;
    AM_MEDIA_TYPE type{};
    type.majortype = MEDIATYPE_Audio;
    type.subtype = MEDIASUBTYPE_PCM;
    hr = grabber->SetMediaType(&type);
    if (FAILED(hr)) return hr;
    ComRef<IBaseFilter> renderer = AddFilter(builder, kClsidNullRenderer, L"Null Renderer", hr);
    if (FAILED(hr)) return hr;
    hr = ConnectFilters(builder, source.get(), pcm.get());
    if (FAILED(hr)) return hr;
    hr = ConnectFilters(builder, pcm.get(), renderer.get());
    if (FAILED(hr)) return hr;
    ComRef<IMediaFilter> timing;
    hr = builder->QueryInterface(IID_IMediaFilter, timing.OutVoid());
    if (FAILED(hr)) return hr;
    return timing->SetSyncSource(nullptr);
}

}  // namespace

// One song's filter graph and the controls the player uses on it.
struct DShowMediaPlayer::Graph {
    ComRef<IGraphBuilder> builder;
    ComRef<IMediaControl> control;
    ComRef<IMediaPosition> position;
    ComRef<IMediaEventEx> events;
    ComRef<IBasicAudio> audio;  // none on the Null Renderer graph
    std::string path;           // for messages

    // Null and the reason when `path` cannot be built into a graph.
    static std::unique_ptr<Graph> Build(DShowGraph kind, const std::wstring& path, HRESULT& hr) {
        auto graph = std::make_unique<Graph>();
        hr = CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                              graph->builder.OutVoid());
        if (FAILED(hr)) return nullptr;
        hr = kind == DShowGraph::RenderFile ? graph->builder->RenderFile(path.c_str(), nullptr)
                                            : BuildUnclockedGraph(graph->builder.get(), path);
        if (FAILED(hr)) return nullptr;
        for (auto [iid, out] : {std::pair{&IID_IMediaControl, graph->control.OutVoid()},
                                std::pair{&IID_IMediaPosition, graph->position.OutVoid()},
                                std::pair{&IID_IMediaEventEx, graph->events.OutVoid()}}) {
            hr = graph->builder->QueryInterface(*iid, out);
            if (FAILED(hr)) return nullptr;
        }
        if (FAILED(graph->builder->QueryInterface(IID_IBasicAudio, graph->audio.OutVoid()))) {
            graph->audio.Reset();
        }
        // A file that also holds pictures would get a video window of its
        // own; the program plays sound only, so such a window stays hidden.
        ComRef<IVideoWindow> video;
        if (SUCCEEDED(graph->builder->QueryInterface(IID_IVideoWindow, video.OutVoid()))) {
            video->put_AutoShow(OAFALSE);
        }
        return graph;
    }

    ~Graph() {
        // Stop the streaming threads before the filters go away.
        if (control) control->Stop();
    }
};

DShowMediaPlayer::DShowMediaPlayer(platform::Runtime& runtime, DShowGraph graph)
    : graphKind_(graph),
      clock_(runtime, kEventPollInterval, kPositionQueryInterval, [this] { PollEvents(); }) {
    const HRESULT hr = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    // S_FALSE: this thread's apartment was already there; still ours to
    // release once. RPC_E_CHANGED_MODE: the thread is in the multi-threaded
    // apartment, where the filter graph works just as well.
    comOwned_ = SUCCEEDED(hr);
    comReady_ = comOwned_ || hr == RPC_E_CHANGED_MODE;
    if (!comReady_) std::cerr << "media player: COM is not available: " << Hex(hr) << '\n';
}

DShowMediaPlayer::~DShowMediaPlayer() {
    Unload();
    if (comOwned_) CoUninitialize();
}

std::int32_t DShowMediaPlayer::VolumeToDirectShow(std::int32_t volume) {
    return std::clamp(volume, kSilence, std::int32_t{0});
}

std::int32_t DShowMediaPlayer::BalanceToDirectShow(std::int32_t balance) {
    return std::clamp(balance, -kFullBalance, kFullBalance);
}

void DShowMediaPlayer::OpenAndPlay(const std::string& path) {
    if (!comReady_) return;
    Unload();
    const std::wstring file = platform::Utf16FromUtf8(path);
    if (!IsFile(file)) return;  // missing, a folder, or nothing at all

    HRESULT hr = S_OK;
    std::unique_ptr<Graph> graph = Graph::Build(graphKind_, file, hr);
    if (!graph) {
        std::cerr << "media player: cannot play " << path << ": " << Hex(hr) << '\n';
        return;
    }
    graph->path = path;
    graph_ = std::move(graph);
    RefreshLength();
    ApplyVolume();
    ApplyBalance();
    // Usually S_FALSE: the graph finishes starting on its own threads, and
    // its events tell us if it could not.
    hr = graph_->control->Run();
    if (FAILED(hr)) {
        std::cerr << "media player: cannot play " << path << ": " << Hex(hr) << '\n';
        Unload();
        return;
    }
    clock_.Started();
}

void DShowMediaPlayer::TogglePause() {
    if (!clock_.SongUnderway()) return;
    const bool pause = clock_.State() == PlayState::Playing;
    const HRESULT hr = pause ? graph_->control->Pause() : graph_->control->Run();
    if (FAILED(hr)) {
        std::cerr << "media player: cannot " << (pause ? "pause " : "resume ") << graph_->path
                  << ": " << Hex(hr) << '\n';
        Unload();
        return;
    }
    clock_.Toggled();
}

void DShowMediaPlayer::Stop() {
    if (!clock_.SongUnderway()) return;
    Rewind();
}

void DShowMediaPlayer::NextEntry() {
    // OpenAndPlay loads one file, never a list of entries, so there is never
    // a next entry to move to.
}

void DShowMediaPlayer::SetVolume(std::int32_t volume) {
    volume_ = VolumeToDirectShow(volume);
    ApplyVolume();
}

void DShowMediaPlayer::SetBalance(std::int32_t balance) {
    balance_ = BalanceToDirectShow(balance);
    ApplyBalance();
}

void DShowMediaPlayer::SetMute(bool mute) {
    mute_ = mute;
    ApplyVolume();
}

double DShowMediaPlayer::Length() {
    return clock_.Length();
}

double DShowMediaPlayer::Position() {
    if (!clock_.SongUnderway()) return 0.0;
    // The progress timer may ask every 10 ms. A graph answers from its clock, or
    // on some systems by asking its renderer across threads; a fresh answer
    // every few ticks is as good for a bar that shows whole seconds.
    const auto now = std::chrono::steady_clock::now();
    if (clock_.PositionRecent(now)) return clock_.LastPosition();
    REFTIME position = 0.0;
    if (FAILED(graph_->position->get_CurrentPosition(&position)) || position < 0.0) {
        return clock_.LastPosition();
    }
    if (clock_.LengthKnown() && position >= clock_.Length()) {
        // A graph that has played to its end answers with the end of the
        // stream, which for a cut-off file can lie far beyond what played.
        // Its end event is waiting by then: take it now rather than show a
        // full bar until the next poll.
        PollEvents();
        if (!clock_.SongUnderway()) return 0.0;
        position = clock_.Length();
    }
    clock_.RememberPosition(position, now);
    return clock_.LastPosition();
}

DShowMediaPlayer::GraphAudio DShowMediaPlayer::ReadGraphAudio() const {
    GraphAudio read;
    if (!graph_ || !graph_->audio) return read;
    long volume = 0;
    long balance = 0;
    if (FAILED(graph_->audio->get_Volume(&volume)) ||
        FAILED(graph_->audio->get_Balance(&balance))) {
        return read;
    }
    read.reachable = true;
    read.volume = static_cast<std::int32_t>(volume);
    read.balance = static_cast<std::int32_t>(balance);
    return read;
}

void DShowMediaPlayer::PollEvents() {
    if (!graph_) return;
    long code = 0;
    LONG_PTR first = 0;
    LONG_PTR second = 0;
    while (graph_->events->GetEvent(&code, &first, &second, 0) == S_OK) {
        graph_->events->FreeEventParams(code, first, second);
        switch (code) {
            case EC_COMPLETE:
                // The end of the song rewinds it, like Stop; the file stays loaded.
                Rewind();
                return;
            case EC_ERRORABORT:
            case EC_ERRORABORTEX:
            case EC_USERABORT:
                std::cerr << "media player: playing " << graph_->path
                          << " failed: " << Hex(static_cast<HRESULT>(first)) << '\n';
                Unload();
                return;
            case EC_LENGTH_CHANGED:
                clock_.ForgetLength();
                break;
            default:
                break;
        }
    }
    if (!clock_.LengthKnown()) RefreshLength();
}

void DShowMediaPlayer::RefreshLength() {
    REFTIME duration = 0.0;
    if (graph_ && SUCCEEDED(graph_->position->get_Duration(&duration)) && duration > 0.0) {
        clock_.SetLength(duration);
    }
}

void DShowMediaPlayer::ApplyVolume() {
    if (graph_ && graph_->audio) graph_->audio->put_Volume(mute_ ? kSilence : volume_);
}

void DShowMediaPlayer::ApplyBalance() {
    if (graph_ && graph_->audio) graph_->audio->put_Balance(balance_);
}

void DShowMediaPlayer::Rewind() {
    graph_->control->Stop();
    graph_->position->put_CurrentPosition(0.0);
    // Whatever the graph said before it stopped belongs to the play that
    // ended; the next one starts from a clean queue.
    long code = 0;
    LONG_PTR first = 0;
    LONG_PTR second = 0;
    while (graph_->events->GetEvent(&code, &first, &second, 0) == S_OK) {
        graph_->events->FreeEventParams(code, first, second);
    }
    clock_.Rewound();
}

void DShowMediaPlayer::Unload() {
    clock_.Unloaded();
    graph_.reset();
}

}  // namespace media
