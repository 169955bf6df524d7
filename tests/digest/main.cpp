// The digest probe: prints one digest per kind of result (heights, ray strips, decoded samples,
// resampled pictures) over a fixed, varied set of inputs. Every build must print the same
// digests, and every strip path the same strips: compare.sh runs the native and both Windows
// builds, the tests run every path here.
//
//   digest_probe [--map FILE] [--path plain|sse2|avx2] [--raw]
//
// --map names the shipped height map (quellmoorMap.tga in the working directory by default),
// --path runs the strips on that path only (every path this processor runs by default; the
// probe fails when two of them differ), --raw prints every value before the digests.
#include "Digest.h"
#include "ProbeInputs.h"

#include "terrain/Flight.h"
#include "terrain/Viewer.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

namespace {

// The shipped map, then maps made up to reach every case of the sampler: one texel, odd sides,
// every channel count, and no texels at all.
std::vector<std::unique_ptr<Image>> heightMaps(const char* shippedMap) {
    std::vector<std::unique_ptr<Image>> maps;
    maps.push_back(std::make_unique<Image>());
    maps.back()->load(shippedMap);
    ProbeRandom random(7u);
    const struct {
        int width, height, kind;
    } madeUp[] = {{1, 1, KIND_GREY}, {3, 2, KIND_GREY}, {17, 9, KIND_GREY},
                  {5, 7, KIND_RGB},  {4, 4, KIND_RGBA}, {64, 1, KIND_BGR}};
    for (const auto& m : madeUp) {
        maps.push_back(std::make_unique<Image>());
        makeRandomPicture(*maps.back(), m.width, m.height, m.kind, random);
    }
    maps.push_back(std::make_unique<Image>());
    return maps;
}

void addScratch(Digest& digest, const Terrain& terrain) {
    digest.add(terrain.cellX);
    digest.add(terrain.cellY);
    digest.add(terrain.fracX);
    digest.add(terrain.fracY);
    for (const float* texel :
         {terrain.texel00, terrain.texel10, terrain.texel01, terrain.texel11}) {
        digest.add(texel, 4);
    }
}

// heightAt at the edge coordinates, every pair of them, and at random points near and far.
void digestHeights(Digest& digest, Viewer& viewer,
                   const std::vector<std::unique_ptr<Image>>& maps) {
    Terrain& terrain = viewer.terrain;
    for (const auto& map : maps) {
        terrain.heightMap.copy(*map);
        const std::vector<float> edges = edgeCoordinates(map->width, map->height);
        for (float x : edges) {
            for (float y : edges) {
                digest.add(terrain.heightAt(x, y));
                addScratch(digest, terrain);
            }
        }
        ProbeRandom random(11u);
        for (float range : {2.0f, 1000.0f, 1.0e6f, 3.0e9f}) {
            for (int i = 0; i < 500; ++i) {
                const float x = random.between(-range, range);
                const float y = random.between(-range, range);
                digest.add(terrain.heightAt(x, y));
                addScratch(digest, terrain);
            }
        }
    }
}

void addStrip(Digest& digest, const RayStrip& strip, const Terrain& terrain) {
    digest.add(static_cast<int>(strip.size()));
    for (const StripVertex& v : strip) {
        const float values[8] = {v.position.x, v.position.y, v.position.z,  v.normal.x,
                                 v.normal.y,   v.normal.z,   v.texCoord[0], v.texCoord[1]};
        digest.add(values, 8);
    }
    addScratch(digest, terrain);
}

// Whole fans of the flight over the shipped map, then viewers far out, on the edges of the floor
// range and beyond it, with strips whose lengths leave every kind of remainder of vector lanes.
void digestStrips(Digest& digest, Viewer& viewer, const std::vector<std::unique_ptr<Image>>& maps) {
    // Each path starts from the scratch of a new terrain.
    Terrain& terrain = viewer.terrain;
    terrain.cellX = terrain.cellY = 0;
    terrain.fracX = terrain.fracY = 0.0f;
    for (float* texel : {terrain.texel00, terrain.texel10, terrain.texel01, terrain.texel11}) {
        std::fill(texel, texel + 4, 0.0f);
    }
    setStartUpValues(viewer);
    viewer.terrain.tilingSize = TERRAIN_TILING_SIZE;
    viewer.terrain.heightMap.copy(*maps.front());
    for (int place = 0; place < 12; ++place) {
        placeOnCircle(viewer, static_cast<uint32_t>(place) * 52361u);
        const float first = viewer.heading - viewer.fieldOfView * 0.5f;
        for (int i = 0; i <= viewer.raySegments; ++i) {
            const float fraction = static_cast<float>(i) / static_cast<float>(viewer.raySegments);
            addStrip(digest, viewer.buildRayStrip(first + fraction * viewer.fieldOfView),
                     viewer.terrain);
        }
    }
    const float infinity = 1.0f / 0.0f;
    const struct {
        float x, y;
    } origins[] = {{0.0f, 0.0f},
                   {-35.5f, 812.25f},
                   {10.0f, 20.0f},
                   {-0.004f, -0.003f},
                   {1073741800.0f, -1073741800.0f},
                   {3.0e7f, -3.0e7f},
                   {1.0e20f, 5.0f},
                   {infinity, 0.0f},
                   {0.0f, 0.0f / 0.0f},
                   {-1000.5f, 511.75f}};
    const int samples[] = {1, 3, 7, 8, 9, 13, 150, 301};
    const float steps[] = {0.0086602540f, 0.37f, 0.0f};
    const float tilings[] = {TERRAIN_TILING_SIZE, 0.0f, -1.5f};
    const float angles[] = {0.0f, 0.7f, -2.5f, 3.14159274f, 1.5707964f, 100.0f};
    int variant = 0;
    for (const auto& map : maps) {
        viewer.terrain.heightMap.copy(*map);
        for (const auto& origin : origins) {
            viewer.x = origin.x;
            viewer.y = origin.y;
            for (int count : samples) {
                ++variant;
                viewer.samplesPerRay = count;
                viewer.spacingStep = steps[variant % 3];
                viewer.nearDistance = steps[(variant / 3) % 3];
                viewer.terrain.tilingSize = tilings[(variant / 9) % 3];
                for (float angle : angles) {
                    addStrip(digest, viewer.buildRayStrip(angle), viewer.terrain);
                }
            }
        }
    }
}

void addPicture(Digest& digest, const Image& image) {
    digest.add(image.kind);
    digest.add(image.width);
    digest.add(image.height);
    digest.add(image.channels);
    digest.add(static_cast<int>(image.comment.size()));
    for (char c : image.comment) {
        digest.add(static_cast<int>(c));
    }
    if (image.pixels != nullptr && image.width > 0 && image.height > 0) {
        digest.add(image.pixels, static_cast<size_t>(image.width) *
                                     static_cast<size_t>(image.height) *
                                     static_cast<size_t>(image.channels));
    }
}

// Every file whole and cut short at every length.
void digestReaders(Digest& digest) {
    Image image;
    for (const ProbeFile& file : probeFiles()) {
        for (size_t size = 0; size <= file.bytes.size(); ++size) {
            switch (file.format) {
            case PROBE_TGA:
                image.loadTgaFromMemory(file.bytes.data(), size);
                break;
            case PROBE_BMP:
                image.loadBmpFromMemory(file.bytes.data(), size);
                break;
            default:
                image.loadPnmFromMemory(file.bytes.data(), size);
                break;
            }
            addPicture(digest, image);
        }
    }
}

// Power-of-two resizes of every kind each way, and bilinear samples and conversions on the way.
void digestResampling(Digest& digest) {
    ProbeRandom random(13u);
    const struct {
        int width, height, kind;
    } pictures[] = {{3, 5, KIND_RGB},   {300, 200, KIND_RGB}, {17, 9, KIND_GREY}, {1, 1, KIND_RGBA},
                    {33, 7, KIND_RGBA}, {64, 64, KIND_BGR},   {129, 3, KIND_BGRA}};
    for (const auto& p : pictures) {
        Image source;
        makeRandomPicture(source, p.width, p.height, p.kind, random);
        for (int i = 0; i < 50; ++i) {
            float sample[4] = {0.0f, 0.0f, 0.0f, 0.0f};
            source.sampleBilinear(sample, random.between(-2.0f, p.width + 2.0f),
                                  random.between(-2.0f, p.height + 2.0f));
            digest.add(sample, 4);
            for (int kind = KIND_RGB; kind <= KIND_HSV; ++kind) {
                float converted[4] = {sample[0], sample[1], sample[2], sample[3]};
                source.convertPixel(converted, kind);
                digest.add(converted, 4);
            }
        }
        for (int roundDown : {0, 1}) {
            for (int square : {0, 1}) {
                Image resized(source);
                resized.resizeToPowerOfTwo(roundDown, square);
                addPicture(digest, resized);
            }
        }
    }
}

void print(const Digest& digest) {
    std::printf("%s %016" PRIx64 "\n", digest.name(), digest.value());
}

} // namespace

int main(int argc, char** argv) {
    const char* mapFile = TERRAIN_MAP_FILE_NAME;
    bool raw = false;
    std::vector<StripPath> paths;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--map") == 0 && i + 1 < argc) {
            mapFile = argv[++i];
        } else if (std::strcmp(argv[i], "--raw") == 0) {
            raw = true;
        } else if (std::strcmp(argv[i], "--path") == 0 && i + 1 < argc) {
            ++i;
            for (int path = 0; path < STRIP_PATH_COUNT; ++path) {
                if (std::strcmp(argv[i], stripPathName(static_cast<StripPath>(path))) == 0) {
                    paths.push_back(static_cast<StripPath>(path));
                }
            }
            if (paths.empty() || !stripPathRuns(paths.back())) {
                std::fprintf(stderr, "digest_probe: no path %s here\n", argv[i]);
                return 2;
            }
        } else {
            std::fprintf(stderr, "usage: digest_probe [--map FILE] [--path plain|sse2|avx2] "
                                 "[--raw]\n");
            return 2;
        }
    }
    if (paths.empty()) {
        for (int path = 0; path < STRIP_PATH_COUNT; ++path) {
            if (stripPathRuns(static_cast<StripPath>(path))) {
                paths.push_back(static_cast<StripPath>(path));
            }
        }
    }
    FILE* rawOut = raw ? stdout : nullptr;

    // The viewer is large and, as in the program, lives for the whole run.
    static Viewer viewer;
    const std::vector<std::unique_ptr<Image>> maps = heightMaps(mapFile);
    if (!maps.front()->isLoaded()) {
        std::fprintf(stderr, "digest_probe: cannot read the height map %s\n", mapFile);
        return 1;
    }
    Digest heights("heights", rawOut);
    digestHeights(heights, viewer, maps);

    std::vector<Digest> strips;
    for (StripPath path : paths) {
        strips.emplace_back("strips", raw && path == paths.front() ? rawOut : nullptr);
        viewer.stripPath = path;
        digestStrips(strips.back(), viewer, maps);
    }
    Digest readers("readers", rawOut);
    digestReaders(readers);
    Digest resampling("resampling", rawOut);
    digestResampling(resampling);

    print(heights);
    print(strips.front());
    print(readers);
    print(resampling);
    int status = 0;
    std::fprintf(stderr, "digest_probe: strip paths");
    for (size_t i = 0; i < paths.size(); ++i) {
        const bool same = strips[i].value() == strips.front().value();
        std::fprintf(stderr, " %s%s", stripPathName(paths[i]), same ? "" : " (DIFFERS)");
        status = same ? status : 1;
    }
    std::fprintf(stderr, "\n");
    return status;
}
