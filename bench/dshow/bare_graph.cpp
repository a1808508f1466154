// The smallest mp3 player DirectShow allows: RenderFile, Run, wait for the
// end. The yardstick for what the program's own player costs on top of the
// graph itself: run both on the same song for the same time and compare the
// CPU they report (bench/dshow/measure-cpu does that under Wine).
//
//   bare_graph FILE [SECONDS]   plays FILE to its end, or for SECONDS

#include <dshow.h>
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "ProcessCpu.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: bare_graph FILE [SECONDS]\n");
        return 2;
    }
    const std::wstring path = dshowbench::WidenAnsi(argv[1]);
    const long bound = argc > 2 ? std::atol(argv[2]) : 0;

    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 1;
    IGraphBuilder* graph = nullptr;
    IMediaControl* control = nullptr;
    IMediaEvent* events = nullptr;
    HRESULT hr = CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER,
                                  IID_IGraphBuilder, reinterpret_cast<void**>(&graph));
    if (SUCCEEDED(hr)) hr = graph->RenderFile(path.c_str(), nullptr);
    if (SUCCEEDED(hr))
        hr = graph->QueryInterface(IID_IMediaControl, reinterpret_cast<void**>(&control));
    if (SUCCEEDED(hr))
        hr = graph->QueryInterface(IID_IMediaEvent, reinterpret_cast<void**>(&events));
    if (FAILED(hr)) {
        std::fprintf(stderr, "bare_graph: cannot play %s: 0x%08lx\n", argv[1],
                     static_cast<unsigned long>(hr));
        return 1;
    }

    dshowbench::Measuring();
    const double cpuBefore = dshowbench::ProcessCpuSeconds();
    const auto start = std::chrono::steady_clock::now();
    control->Run();
    long code = 0;
    // A bound of 0 waits for the end of the song, however long it is.
    events->WaitForCompletion(bound > 0 ? bound * 1000 : INFINITE, &code);
    const double wall =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const double cpu = dshowbench::ProcessCpuSeconds() - cpuBefore;
    control->Stop();

    dshowbench::Report("bare_graph", wall, cpu);
    events->Release();
    control->Release();
    graph->Release();
    CoUninitialize();
    return 0;
}
