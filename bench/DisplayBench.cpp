// Whole frames of the Linux program on each of its backends: the real full-screen window made
// through the platform interface, X11 on the display that DISPLAY names and Wayland on the
// compositor that WAYLAND_DISPLAY names, each output at the same size, the shipped landscape
// files, and the frame loop with no pause between frames. The CPU time is the whole process's
// (Mesa's rasterizer runs on threads of its own) per frame; the frame rate is on the wall clock.
#include "app/Program.h"
#include "platform/GlWindow.h"
#include "platform/Platform.h"
#include "terrain/Flight.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>

namespace {

using Clock = std::chrono::steady_clock;

// The program's frame advances the clock by about this much at 60 frames a second; both backends
// fly the same path.
constexpr uint32_t FRAME_MILLISECONDS = 16;
// Frames drawn before the timing starts: the first ones compile the rasterizer's shaders.
constexpr int WARM_UP_FRAMES = 10;
constexpr int TIMED_FRAMES = 240;

// X11 with this -delay pause runs near the rate at which sway asks for frames, so that its
// rasterizer's threads sleep between frames as they do on Wayland.
constexpr long PACED_DELAY_MICROSECONDS = 10000;

// Start-up as the entry point and startUp do it, with the backend forced and the -delay pause.
bool openProgramWindow(LinuxBackendRequest request, long delayMicroseconds) {
    glWindow.native.backendRequest = request;
    glWindow.native.frameDelayMicroseconds = delayMicroseconds;
    glWindow.create(640, 480, 32, 1, "Quellmoor");
    if (!glWindow.isReady()) {
        return false;
    }
    inputDevices.createInterface(glWindow.instance);
    inputDevices.openKeyboard(glWindow.window, 0);
    inputDevices.openMouse(glWindow.window, 0);
    setStartUpValues(viewer);
    // Loaded from the landscape files' folder, as the program runs; the benchmark's own paths
    // (its output file) stay relative to where it was started.
    const std::filesystem::path started = std::filesystem::current_path();
    std::filesystem::current_path(QUELLMOOR_APP_DIR);
    viewer.terrain.loadDefaultAssets(fallbackDataDirectory());
    std::filesystem::current_path(started);
    return true;
}

// Shut-down, and the window record back to its all-zero start for the next case.
void closeProgramWindow() {
    inputDevices.release();
    glWindow.destroy();
    delete[] glWindow.title;
    glWindow = GlWindow{};
}

// The frame loop's turn: the messages until the backend lets a frame be drawn (on Wayland, until
// the compositor asks for one), then the frame. False when the run was asked to end.
bool showFrame(uint32_t milliseconds) {
    for (PlatformMessage message = takeMessage(); message.taken; message = takeMessage()) {
        if (message.isQuit) {
            return false;
        }
    }
    drawFrame(viewer, milliseconds);
    inputDevices.poll();
    glWindow.swapBuffers();
    return true;
}

void wholeFrames(benchmark::State& state, const char* hostVariable, LinuxBackendRequest request,
                 long delayMicroseconds) {
    const char* host = std::getenv(hostVariable);
    if (host == nullptr || *host == 0) {
        state.SkipWithError("no host: the variable that names it is not set");
        return;
    }
    if (!openProgramWindow(request, delayMicroseconds)) {
        closeProgramWindow();
        state.SkipWithError("the program's window could not be made on this host");
        return;
    }
    uint32_t milliseconds = 0;
    bool running = true;
    for (int frame = 0; running && frame < WARM_UP_FRAMES; frame++) {
        running = showFrame(milliseconds += FRAME_MILLISECONDS);
    }
    inputDevices.discardBuffered();
    const Clock::time_point start = Clock::now();
    for (auto _ : state) {
        if (!running) {
            state.SkipWithError("the run was ended by its host");
            break;
        }
        running = showFrame(milliseconds += FRAME_MILLISECONDS);
    }
    const std::chrono::duration<double> wall = Clock::now() - start;
    state.counters["fps"] = static_cast<double>(state.iterations()) / wall.count();
    state.counters["width"] = glWindow.width;
    state.counters["height"] = glWindow.height;
    state.counters["delay_ms"] = static_cast<double>(delayMicroseconds) / 1000.0;
    closeProgramWindow();
}

// The CPU time of the process, not of this thread, and not the wall clock: Wayland's frames
// wait for the compositor, which costs no CPU time.
BENCHMARK_CAPTURE(wholeFrames, x11, "DISPLAY", LINUX_BACKEND_X11, 0)
    ->Name("display_frame/x11")
    ->Iterations(TIMED_FRAMES)
    ->MeasureProcessCPUTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(wholeFrames, x11_paced, "DISPLAY", LINUX_BACKEND_X11, PACED_DELAY_MICROSECONDS)
    ->Name("display_frame/x11_paced")
    ->Iterations(TIMED_FRAMES)
    ->MeasureProcessCPUTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(wholeFrames, wayland, "WAYLAND_DISPLAY", LINUX_BACKEND_WAYLAND, 0)
    ->Name("display_frame/wayland")
    ->Iterations(TIMED_FRAMES)
    ->MeasureProcessCPUTime()
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
