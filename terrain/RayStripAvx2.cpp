// Ray-strip vertices eight at a time with AVX2, in the same operations and order as plainVertex,
// so that every value and its rounding are the same; the texels come in by gathers. Only this
// file's own functions are compiled for AVX2, so the rest of the program runs on any x86.
#include "terrain/StripVertices.h"

#if defined(__x86_64__) || defined(__i386__)

#include <immintrin.h>

#include <limits>

// Only the functions marked so are compiled for AVX2 (a pragma would also be taken by GCC, but
// not by clang).
#define QUELLMOOR_AVX2 __attribute__((target("avx2")))

namespace {

constexpr int AVX2_LANES = 8;

// A coordinate's floor and its two wrapped texel columns (or rows), as offsets in floats.
struct Axes {
    __m256 floorValue;
    __m256i first;
    __m256i second;
};

// As the SSE2 path: the floor is the truncation, one lower below a non-integer negative value,
// and a cell up to one period off the map wraps with one add or subtract.
QUELLMOOR_AVX2 __attribute__((always_inline)) inline Axes floorAndWrap(__m256 value, int period,
                                                                       int stride) {
    const __m256i truncated = _mm256_cvttps_epi32(value);
    const __m256 whole = _mm256_cvtepi32_ps(truncated);
    const __m256 below = _mm256_cmp_ps(whole, value, _CMP_GT_OQ);
    Axes axes;
    axes.floorValue = _mm256_sub_ps(whole, _mm256_and_ps(below, _mm256_set1_ps(1.0f)));
    const __m256i cell = _mm256_add_epi32(truncated, _mm256_castps_si256(below));

    const __m256i periods = _mm256_set1_epi32(period);
    const __m256i zero = _mm256_setzero_si256();
    const __m256i negative = _mm256_cmpgt_epi32(zero, cell);
    __m256i first = _mm256_add_epi32(cell, _mm256_and_si256(negative, periods));
    first =
        _mm256_sub_epi32(first, _mm256_andnot_si256(_mm256_cmpgt_epi32(periods, first), periods));
    const __m256i outside =
        _mm256_or_si256(_mm256_cmpgt_epi32(zero, first),
                        _mm256_cmpgt_epi32(first, _mm256_sub_epi32(periods, _mm256_set1_epi32(1))));
    if (_mm256_movemask_epi8(outside) != 0) {
        alignas(32) int cells[AVX2_LANES];
        _mm256_store_si256(reinterpret_cast<__m256i*>(cells), cell);
        for (int& lane : cells) {
            lane = wrapCell(lane, period);
        }
        first = _mm256_load_si256(reinterpret_cast<const __m256i*>(cells));
    }
    const __m256i next = _mm256_add_epi32(first, _mm256_set1_epi32(1));
    const __m256i second = _mm256_andnot_si256(_mm256_cmpeq_epi32(next, periods), next);
    const __m256i strides = _mm256_set1_epi32(stride);
    axes.first = _mm256_mullo_epi32(first, strides);
    axes.second = _mm256_mullo_epi32(second, strides);
    return axes;
}

QUELLMOOR_AVX2 __m256 fraction(__m256 value, const Axes& axes) {
    return _mm256_add_ps(_mm256_sub_ps(value, axes.floorValue), _mm256_setzero_ps());
}

// The first channels of the four texels around each lane's sample, near row first.
struct Texels {
    __m256 a, b, c, d;
};

QUELLMOOR_AVX2 Texels gather(const float* pixels, const Axes& column, const Axes& row) {
    return {_mm256_i32gather_ps(pixels, _mm256_add_epi32(row.first, column.first), 4),
            _mm256_i32gather_ps(pixels, _mm256_add_epi32(row.first, column.second), 4),
            _mm256_i32gather_ps(pixels, _mm256_add_epi32(row.second, column.first), 4),
            _mm256_i32gather_ps(pixels, _mm256_add_epi32(row.second, column.second), 4)};
}

// True when every lane lies in the same cell on both axes, whose texels are then the same.
QUELLMOOR_AVX2 bool sameCells(const Axes& a, const Axes& b) {
    return _mm256_movemask_epi8(_mm256_cmpeq_epi32(a.first, b.first)) == -1;
}

// blendHeight, eight lanes at a time.
QUELLMOOR_AVX2 __m256 blend(__m256 fracX, __m256 fracY, const Texels& t) {
    const __m256 one = _mm256_set1_ps(1.0f);
    const __m256 restX = _mm256_sub_ps(one, fracX);
    const __m256 nearRow = _mm256_add_ps(_mm256_mul_ps(restX, t.a), _mm256_mul_ps(fracX, t.b));
    const __m256 farRow = _mm256_add_ps(_mm256_mul_ps(fracX, t.d), _mm256_mul_ps(restX, t.c));
    const __m256 restY = _mm256_sub_ps(one, fracY);
    return _mm256_mul_ps(_mm256_add_ps(_mm256_mul_ps(nearRow, restY), _mm256_mul_ps(fracY, farRow)),
                         _mm256_set1_ps(5.0f));
}

QUELLMOOR_AVX2 bool withinDirectRange(__m256 a, __m256 b, __m256 c, __m256 d) {
    const __m256 magnitude = _mm256_castsi256_ps(_mm256_set1_epi32(0x7fffffff));
    const __m256 limit = _mm256_set1_ps(HeightSampler::LARGEST_DIRECT_CELL);
    const __m256 all =
        _mm256_and_ps(_mm256_and_ps(_mm256_cmp_ps(_mm256_and_ps(a, magnitude), limit, _CMP_LE_OQ),
                                    _mm256_cmp_ps(_mm256_and_ps(b, magnitude), limit, _CMP_LE_OQ)),
                      _mm256_and_ps(_mm256_cmp_ps(_mm256_and_ps(c, magnitude), limit, _CMP_LE_OQ),
                                    _mm256_cmp_ps(_mm256_and_ps(d, magnitude), limit, _CMP_LE_OQ)));
    return _mm256_movemask_ps(all) == 0xff;
}

// Eight vectors of lanes become eight vertices of eight floats.
QUELLMOOR_AVX2 void storeVertices(__m256 (&v)[8], StripVertex* vertices) {
    const __m256 t0 = _mm256_unpacklo_ps(v[0], v[1]);
    const __m256 t1 = _mm256_unpackhi_ps(v[0], v[1]);
    const __m256 t2 = _mm256_unpacklo_ps(v[2], v[3]);
    const __m256 t3 = _mm256_unpackhi_ps(v[2], v[3]);
    const __m256 t4 = _mm256_unpacklo_ps(v[4], v[5]);
    const __m256 t5 = _mm256_unpackhi_ps(v[4], v[5]);
    const __m256 t6 = _mm256_unpacklo_ps(v[6], v[7]);
    const __m256 t7 = _mm256_unpackhi_ps(v[6], v[7]);
    const __m256 s0 = _mm256_shuffle_ps(t0, t2, _MM_SHUFFLE(1, 0, 1, 0));
    const __m256 s1 = _mm256_shuffle_ps(t0, t2, _MM_SHUFFLE(3, 2, 3, 2));
    const __m256 s2 = _mm256_shuffle_ps(t1, t3, _MM_SHUFFLE(1, 0, 1, 0));
    const __m256 s3 = _mm256_shuffle_ps(t1, t3, _MM_SHUFFLE(3, 2, 3, 2));
    const __m256 s4 = _mm256_shuffle_ps(t4, t6, _MM_SHUFFLE(1, 0, 1, 0));
    const __m256 s5 = _mm256_shuffle_ps(t4, t6, _MM_SHUFFLE(3, 2, 3, 2));
    const __m256 s6 = _mm256_shuffle_ps(t5, t7, _MM_SHUFFLE(1, 0, 1, 0));
    const __m256 s7 = _mm256_shuffle_ps(t5, t7, _MM_SHUFFLE(3, 2, 3, 2));
    const __m256 rows[8] = {
        _mm256_permute2f128_ps(s0, s4, 0x20), _mm256_permute2f128_ps(s1, s5, 0x20),
        _mm256_permute2f128_ps(s2, s6, 0x20), _mm256_permute2f128_ps(s3, s7, 0x20),
        _mm256_permute2f128_ps(s0, s4, 0x31), _mm256_permute2f128_ps(s1, s5, 0x31),
        _mm256_permute2f128_ps(s2, s6, 0x31), _mm256_permute2f128_ps(s3, s7, 0x31),
    };
    for (int lane = 0; lane < AVX2_LANES; ++lane) {
        _mm256_storeu_ps(&vertices[lane].position.x, rows[lane]);
    }
}

QUELLMOOR_AVX2 __m256 select(__m256 mask, __m256 yes, __m256 no) {
    return _mm256_blendv_ps(no, yes, mask);
}

QUELLMOOR_AVX2 bool eightVertices(const HeightSampler& sampler, const StripRay& ray,
                                  const float* distances, StripVertex* vertices) {
    const __m256 distance = _mm256_loadu_ps(distances);
    const __m256 px =
        _mm256_add_ps(_mm256_mul_ps(distance, _mm256_set1_ps(ray.cosA)), _mm256_set1_ps(ray.x));
    const __m256 py =
        _mm256_add_ps(_mm256_mul_ps(distance, _mm256_set1_ps(ray.sinA)), _mm256_set1_ps(ray.y));
    const __m256 offset = _mm256_set1_ps(STRIP_NORMAL_OFFSET);
    const __m256 besideX = _mm256_add_ps(px, offset);
    const __m256 beyondY = _mm256_add_ps(py, offset);
    if (!withinDirectRange(px, py, besideX, beyondY)) {
        return false;
    }
    const int channels = static_cast<int>(sampler.channels());
    const int rowFloats = static_cast<int>(sampler.rowFloats());
    const Axes column = floorAndWrap(px, sampler.mapWidth(), channels);
    const Axes columnBeside = floorAndWrap(besideX, sampler.mapWidth(), channels);
    const Axes row = floorAndWrap(py, sampler.mapHeight(), rowFloats);
    const Axes rowBeyond = floorAndWrap(beyondY, sampler.mapHeight(), rowFloats);

    const float* pixels = sampler.pixels();
    const Texels at = gather(pixels, column, row);
    const Texels beside = sameCells(columnBeside, column) ? at : gather(pixels, columnBeside, row);
    const Texels beyond = sameCells(rowBeyond, row) ? at : gather(pixels, column, rowBeyond);
    const __m256 fracX = fraction(px, column);
    const __m256 fracY = fraction(py, row);
    const __m256 height = blend(fracX, fracY, at);
    const __m256 heightBeside = blend(fraction(besideX, columnBeside), fracY, beside);
    const __m256 heightBeyond = blend(fracX, fraction(beyondY, rowBeyond), beyond);

    const __m256 ax = _mm256_sub_ps(besideX, px);
    const __m256 ay = _mm256_sub_ps(py, py);
    const __m256 az = _mm256_sub_ps(heightBeside, height);
    const __m256 bx = _mm256_sub_ps(px, px);
    const __m256 by = _mm256_sub_ps(beyondY, py);
    const __m256 bz = _mm256_sub_ps(heightBeyond, height);
    const __m256 nx = _mm256_sub_ps(_mm256_mul_ps(ay, bz), _mm256_mul_ps(az, by));
    const __m256 ny = _mm256_sub_ps(_mm256_mul_ps(az, bx), _mm256_mul_ps(ax, bz));
    const __m256 nz = _mm256_sub_ps(_mm256_mul_ps(ax, by), _mm256_mul_ps(ay, bx));
    const __m256 lengthSquared = _mm256_add_ps(
        _mm256_add_ps(_mm256_mul_ps(nx, nx), _mm256_mul_ps(ny, ny)), _mm256_mul_ps(nz, nz));
    const __m256 normal = _mm256_and_ps(
        _mm256_cmp_ps(lengthSquared, _mm256_set1_ps(std::numeric_limits<float>::min()), _CMP_GE_OQ),
        _mm256_cmp_ps(lengthSquared, _mm256_set1_ps(std::numeric_limits<float>::max()),
                      _CMP_LE_OQ));
    const __m256 inverse = _mm256_div_ps(_mm256_set1_ps(1.0f), _mm256_sqrt_ps(lengthSquared));
    const __m256 zero = _mm256_setzero_ps();
    __m256 lanes[8] = {
        px,
        py,
        height,
        select(normal, _mm256_mul_ps(nx, inverse), zero),
        select(normal, _mm256_mul_ps(ny, inverse), zero),
        select(normal, _mm256_mul_ps(nz, inverse), _mm256_set1_ps(1.0f)),
        _mm256_mul_ps(px, _mm256_set1_ps(ray.inverseTiling)),
        _mm256_mul_ps(py, _mm256_set1_ps(ray.inverseTiling)),
    };
    storeVertices(lanes, vertices);
    return true;
}

} // namespace

QUELLMOOR_AVX2 void buildVerticesAvx2(const HeightSampler& sampler, const StripRay& ray,
                                      StripVertex* vertices, int count) {
    buildVerticesInGroups<AVX2_LANES, eightVertices>(sampler, ray, vertices, count);
}

#endif
