#include "HeadlessBench.h"

#include "app/Program.h"
#include "platform/GlWindow.h"
#include "platform/Platform.h"
#include "platform/headless/HeadlessControl.h"
#include "terrain/Flight.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>

namespace {

using Clock = std::chrono::steady_clock;

// The program's frame advances the clock by about this much at 60 frames a second.
constexpr uint32_t FRAME_MILLISECONDS = 16;

// What start-up does before it loads the assets: the window with its GL context, then the input
// devices and the viewer's settings.
bool openProgramWindow() {
    resetHeadlessSystem();
    glWindow.create(640, 480, 32, 1, "Quellmoor");
    if (!glWindow.isReady()) {
        return false;
    }
    inputDevices.createInterface(glWindow.instance);
    inputDevices.openKeyboard(glWindow.window, 0);
    inputDevices.openMouse(glWindow.window, 0);
    setStartUpValues(viewer);
    return true;
}

// Shut-down, and the window record back to its all-zero start so that it can be created again.
void closeProgramWindow() {
    inputDevices.release();
    glWindow.destroy();
    delete[] glWindow.title;
    glWindow = GlWindow{};
}

// The frame loop's frame. A pbuffer's swap does not wait for the drawing, so glFinish does.
void showFrame(uint32_t milliseconds) {
    drawFrame(viewer, milliseconds);
    inputDevices.poll();
    glWindow.swapBuffers();
    glFinish();
}

// Runs in the landscape files' folder, as the program does, and goes back afterwards.
class InAppFolder {
  public:
    InAppFolder() : previous_(std::filesystem::current_path()) {
        std::filesystem::current_path(QUELLMOOR_APP_DIR);
    }
    ~InAppFolder() { std::filesystem::current_path(previous_); }
    InAppFolder(const InAppFolder&) = delete;
    InAppFolder& operator=(const InAppFolder&) = delete;

  private:
    std::filesystem::path previous_;
};

double millisecondsBetween(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double, std::milli>(to - from).count();
}

// Each pass starts from a fresh window and GL context, so that the first frame pays for
// everything that a first frame pays for.
void startUpToFirstFrame(benchmark::State& state) {
    InAppFolder folder;
    double assetMilliseconds = 0.0;
    double frameMilliseconds = 0.0;
    for (auto _ : state) {
        state.PauseTiming();
        closeProgramWindow();
        if (!openProgramWindow()) {
            state.SkipWithError("no headless window");
            break;
        }
        state.ResumeTiming();
        const Clock::time_point start = Clock::now();
        viewer.terrain.loadDefaultAssets(fallbackDataDirectory());
        const Clock::time_point loaded = Clock::now();
        showFrame(clockMilliseconds());
        const Clock::time_point shown = Clock::now();
        assetMilliseconds += millisecondsBetween(start, loaded);
        frameMilliseconds += millisecondsBetween(loaded, shown);
    }
    closeProgramWindow();
    state.counters["assets_ms"] =
        benchmark::Counter(assetMilliseconds, benchmark::Counter::kAvgIterations);
    state.counters["first_frame_ms"] =
        benchmark::Counter(frameMilliseconds, benchmark::Counter::kAvgIterations);
}
BENCHMARK(startUpToFirstFrame)
    ->Name("startup_first_frame")
    ->Iterations(1)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

void wholeFrames(benchmark::State& state) {
    InAppFolder folder;
    closeProgramWindow();
    if (!openProgramWindow()) {
        state.SkipWithError("no headless window");
        return;
    }
    viewer.terrain.loadDefaultAssets(fallbackDataDirectory());
    uint32_t milliseconds = 0;
    showFrame(milliseconds);
    for (auto _ : state) {
        milliseconds += FRAME_MILLISECONDS;
        showFrame(milliseconds);
    }
    closeProgramWindow();
}
BENCHMARK(wholeFrames)->Name("frame_whole")->UseRealTime()->Unit(benchmark::kMillisecond);

// The floor under any frame: clear to the sky colour and swap, nothing drawn.
void emptyFrames(benchmark::State& state) {
    closeProgramWindow();
    if (!openProgramWindow()) {
        state.SkipWithError("no headless window");
        return;
    }
    for (auto _ : state) {
        glClearColor(FLIGHT_CLEAR_RED, FLIGHT_CLEAR_GREEN, FLIGHT_CLEAR_BLUE, FLIGHT_CLEAR_ALPHA);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glWindow.swapBuffers();
        glFinish();
    }
    closeProgramWindow();
}
BENCHMARK(emptyFrames)->Name("frame_empty")->UseRealTime()->Unit(benchmark::kMillisecond);

} // namespace

std::string headlessRenderer() {
    std::string renderer;
    if (openProgramWindow()) {
        const GLubyte* name = glGetString(GL_RENDERER);
        if (name != nullptr) {
            renderer = reinterpret_cast<const char*>(name);
        }
    }
    closeProgramWindow();
    return renderer;
}
