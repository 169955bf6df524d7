// Ray-strip vertices four at a time with SSE2, in the same operations and order as plainVertex,
// so that every value and its rounding are the same. Texels are read lane by lane: SSE2 has no
// gather.
#include "terrain/StripVertices.h"

#if defined(__x86_64__) || defined(__i386__)

#include <emmintrin.h>

#include <limits>

namespace {

constexpr int SSE2_LANES = 4;

// A coordinate's floor, its cell, and its two wrapped texel columns (or rows).
struct Axes {
    __m128 floorValue;
    __m128i first;
    __m128i second;
};

// The floor is the truncation, one lower below a non-integer negative value; the caller has made
// sure that every lane is within the direct range, where HeightSampler floors the same way.
__attribute__((always_inline)) inline Axes floorAndWrap(__m128 value, int period) {
    const __m128i truncated = _mm_cvttps_epi32(value);
    const __m128 whole = _mm_cvtepi32_ps(truncated);
    const __m128 below = _mm_cmpgt_ps(whole, value);
    Axes axes;
    // A whole number is never -0 here, so subtracting 0 keeps it as it is.
    axes.floorValue = _mm_sub_ps(whole, _mm_and_ps(below, _mm_set1_ps(1.0f)));
    __m128i cell = _mm_add_epi32(truncated, _mm_castps_si128(below));

    // Up to one period off the map the wrap is one add or subtract; farther, the remainder.
    const __m128i periods = _mm_set1_epi32(period);
    const __m128i negative = _mm_cmplt_epi32(cell, _mm_setzero_si128());
    __m128i first = _mm_add_epi32(cell, _mm_and_si128(negative, periods));
    first = _mm_sub_epi32(first, _mm_andnot_si128(_mm_cmplt_epi32(first, periods), periods));
    const __m128i outside =
        _mm_or_si128(_mm_cmplt_epi32(first, _mm_setzero_si128()),
                     _mm_cmpgt_epi32(first, _mm_sub_epi32(periods, _mm_set1_epi32(1))));
    if (_mm_movemask_epi8(outside) != 0) {
        alignas(16) int cells[SSE2_LANES];
        _mm_store_si128(reinterpret_cast<__m128i*>(cells), cell);
        for (int& lane : cells) {
            lane = wrapCell(lane, period);
        }
        first = _mm_load_si128(reinterpret_cast<const __m128i*>(cells));
    }
    axes.first = first;
    const __m128i next = _mm_add_epi32(first, _mm_set1_epi32(1));
    axes.second = _mm_andnot_si128(_mm_cmpeq_epi32(next, periods), next);
    return axes;
}

// The coordinate's place in its cell; adding +0 turns the -0 of a -0 coordinate into +0.
__m128 fraction(__m128 value, const Axes& axes) {
    return _mm_add_ps(_mm_sub_ps(value, axes.floorValue), _mm_setzero_ps());
}

// blendHeight, four lanes at a time.
__m128 blend(__m128 fracX, __m128 fracY, __m128 a, __m128 b, __m128 c, __m128 d) {
    const __m128 one = _mm_set1_ps(1.0f);
    const __m128 restX = _mm_sub_ps(one, fracX);
    const __m128 nearRow = _mm_add_ps(_mm_mul_ps(restX, a), _mm_mul_ps(fracX, b));
    const __m128 farRow = _mm_add_ps(_mm_mul_ps(fracX, d), _mm_mul_ps(restX, c));
    const __m128 restY = _mm_sub_ps(one, fracY);
    return _mm_mul_ps(_mm_add_ps(_mm_mul_ps(nearRow, restY), _mm_mul_ps(fracY, farRow)),
                      _mm_set1_ps(5.0f));
}

// The first channels of the four texels around one sample per lane: near row first.
struct Texels {
    alignas(16) float texel[4][SSE2_LANES];
};

void readTexels(const HeightSampler& sampler, const Axes& column, const Axes& row, Texels& texels) {
    alignas(16) int columns[2][SSE2_LANES];
    alignas(16) int rows[2][SSE2_LANES];
    _mm_store_si128(reinterpret_cast<__m128i*>(columns[0]), column.first);
    _mm_store_si128(reinterpret_cast<__m128i*>(columns[1]), column.second);
    _mm_store_si128(reinterpret_cast<__m128i*>(rows[0]), row.first);
    _mm_store_si128(reinterpret_cast<__m128i*>(rows[1]), row.second);
    const float* pixels = sampler.pixels();
    const ptrdiff_t channels = static_cast<ptrdiff_t>(sampler.channels());
    const ptrdiff_t rowFloats = static_cast<ptrdiff_t>(sampler.rowFloats());
    for (int lane = 0; lane < SSE2_LANES; ++lane) {
        const ptrdiff_t left = columns[0][lane] * channels;
        const ptrdiff_t right = columns[1][lane] * channels;
        const float* nearRow = pixels + rows[0][lane] * rowFloats;
        const float* farRow = pixels + rows[1][lane] * rowFloats;
        texels.texel[0][lane] = nearRow[left];
        texels.texel[1][lane] = nearRow[right];
        texels.texel[2][lane] = farRow[left];
        texels.texel[3][lane] = farRow[right];
    }
}

// True when every lane's coordinate lies in the same cell on both axes, so that its texels are
// the same ones: usual for a sample a hundredth of a unit from its vertex.
bool sameCells(const Axes& a, const Axes& b) {
    return _mm_movemask_epi8(_mm_cmpeq_epi32(a.first, b.first)) == 0xffff;
}

__m128 blendTexels(__m128 fracX, __m128 fracY, const Texels& texels) {
    return blend(fracX, fracY, _mm_load_ps(texels.texel[0]), _mm_load_ps(texels.texel[1]),
                 _mm_load_ps(texels.texel[2]), _mm_load_ps(texels.texel[3]));
}

__m128 select(__m128 mask, __m128 yes, __m128 no) {
    return _mm_or_ps(_mm_and_ps(mask, yes), _mm_andnot_ps(mask, no));
}

// True when all four lanes floor by truncation, as HeightSampler does within its direct range;
// false for a lane beyond it or not a number.
bool withinDirectRange(__m128 a, __m128 b, __m128 c, __m128 d) {
    const __m128 magnitude = _mm_castsi128_ps(_mm_set1_epi32(0x7fffffff));
    const __m128 limit = _mm_set1_ps(HeightSampler::LARGEST_DIRECT_CELL);
    const __m128 inside = _mm_and_ps(_mm_and_ps(_mm_cmple_ps(_mm_and_ps(a, magnitude), limit),
                                                _mm_cmple_ps(_mm_and_ps(b, magnitude), limit)),
                                     _mm_and_ps(_mm_cmple_ps(_mm_and_ps(c, magnitude), limit),
                                                _mm_cmple_ps(_mm_and_ps(d, magnitude), limit)));
    return _mm_movemask_ps(inside) == 0xf;
}

// Four vertices at the given distances; false, with nothing written, when a lane lies outside
// the direct range.
bool fourVertices(const HeightSampler& sampler, const StripRay& ray, const float* distances,
                  StripVertex* vertices) {
    const __m128 distance = _mm_loadu_ps(distances);
    const __m128 px = _mm_add_ps(_mm_mul_ps(distance, _mm_set1_ps(ray.cosA)), _mm_set1_ps(ray.x));
    const __m128 py = _mm_add_ps(_mm_mul_ps(distance, _mm_set1_ps(ray.sinA)), _mm_set1_ps(ray.y));
    const __m128 offset = _mm_set1_ps(STRIP_NORMAL_OFFSET);
    const __m128 besideX = _mm_add_ps(px, offset);
    const __m128 beyondY = _mm_add_ps(py, offset);
    if (!withinDirectRange(px, py, besideX, beyondY)) {
        return false;
    }
    const Axes column = floorAndWrap(px, sampler.mapWidth());
    const Axes columnBeside = floorAndWrap(besideX, sampler.mapWidth());
    const Axes row = floorAndWrap(py, sampler.mapHeight());
    const Axes rowBeyond = floorAndWrap(beyondY, sampler.mapHeight());
    Texels at;
    readTexels(sampler, column, row, at);
    Texels beside;
    if (!sameCells(columnBeside, column)) {
        readTexels(sampler, columnBeside, row, beside);
    }
    Texels beyond;
    if (!sameCells(rowBeyond, row)) {
        readTexels(sampler, column, rowBeyond, beyond);
    }

    const __m128 fracX = fraction(px, column);
    const __m128 fracY = fraction(py, row);
    const __m128 height = blendTexels(fracX, fracY, at);
    const __m128 heightBeside = blendTexels(fraction(besideX, columnBeside), fracY,
                                            sameCells(columnBeside, column) ? at : beside);
    const __m128 heightBeyond =
        blendTexels(fracX, fraction(beyondY, rowBeyond), sameCells(rowBeyond, row) ? at : beyond);

    // (alongX - position) x (alongY - position), written out as Vec3 does it.
    const __m128 ax = _mm_sub_ps(besideX, px);
    const __m128 ay = _mm_sub_ps(py, py);
    const __m128 az = _mm_sub_ps(heightBeside, height);
    const __m128 bx = _mm_sub_ps(px, px);
    const __m128 by = _mm_sub_ps(beyondY, py);
    const __m128 bz = _mm_sub_ps(heightBeyond, height);
    const __m128 nx = _mm_sub_ps(_mm_mul_ps(ay, bz), _mm_mul_ps(az, by));
    const __m128 ny = _mm_sub_ps(_mm_mul_ps(az, bx), _mm_mul_ps(ax, bz));
    const __m128 nz = _mm_sub_ps(_mm_mul_ps(ax, by), _mm_mul_ps(ay, bx));
    const __m128 lengthSquared =
        _mm_add_ps(_mm_add_ps(_mm_mul_ps(nx, nx), _mm_mul_ps(ny, ny)), _mm_mul_ps(nz, nz));
    // isnormal of a sum of squares: at least the smallest normal float and finite.
    const __m128 normal =
        _mm_and_ps(_mm_cmpge_ps(lengthSquared, _mm_set1_ps(std::numeric_limits<float>::min())),
                   _mm_cmple_ps(lengthSquared, _mm_set1_ps(std::numeric_limits<float>::max())));
    const __m128 inverse = _mm_div_ps(_mm_set1_ps(1.0f), _mm_sqrt_ps(lengthSquared));
    const __m128 zero = _mm_setzero_ps();
    __m128 first[4] = {px, py, height, select(normal, _mm_mul_ps(nx, inverse), zero)};
    __m128 second[4] = {select(normal, _mm_mul_ps(ny, inverse), zero),
                        select(normal, _mm_mul_ps(nz, inverse), _mm_set1_ps(1.0f)),
                        _mm_mul_ps(px, _mm_set1_ps(ray.inverseTiling)),
                        _mm_mul_ps(py, _mm_set1_ps(ray.inverseTiling))};
    // Lanes to vertices: each vertex is eight floats, position, normal, texture coordinate.
    _MM_TRANSPOSE4_PS(first[0], first[1], first[2], first[3]);
    _MM_TRANSPOSE4_PS(second[0], second[1], second[2], second[3]);
    for (int lane = 0; lane < SSE2_LANES; ++lane) {
        float* out = &vertices[lane].position.x;
        _mm_storeu_ps(out, first[lane]);
        _mm_storeu_ps(out + 4, second[lane]);
    }
    return true;
}

} // namespace

static_assert(sizeof(StripVertex) == 8 * sizeof(float), "a vertex is stored as eight floats");

void buildVerticesSse2(const HeightSampler& sampler, const StripRay& ray, StripVertex* vertices,
                       int count) {
    buildVerticesInGroups<SSE2_LANES, fourVertices>(sampler, ray, vertices, count);
}

#endif
