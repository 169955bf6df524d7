#include "Image.h"

namespace {

// Truncation of a float beyond the int range is undefined; such coordinates clamp to the edge
// pixel anyway, so bounding them (NaN included) to the largest floats below 2^31 changes nothing.
float boundCoordinate(float value) {
    const float limit = 2147483520.0f;
    if (!(value >= -limit)) {
        return value <= 0.0f ? -limit : limit;
    }
    return value > limit ? limit : value;
}

void convertToHsv(float* pixel) {
    const float r = pixel[0];
    const float g = pixel[1];
    const float b = pixel[2];
    const float mx = maxOfThree(pixel);
    const float mn = minOfThree(pixel);
    const float delta = mx - mn;
    if (mx == 0.0f) {
        return;
    }
    const float s = delta / mx;
    float h = 0.0f;
    // Equal components have no hue; 0 stands for it rather than the 0 / 0 of the formula.
    if (delta != 0.0f) {
        if (r == mx) {
            h = (g - b) / delta;
        } else if (g == mx) {
            h = (b - r) / delta + 2.0f;
        } else {
            h = (r - g) / delta + 4.0f;
        }
        h = h * 60.0f;
        if (h < 0.0f) {
            h = h + 360.0f;
        }
    }
    pixel[0] = h;
    pixel[1] = s;
    pixel[2] = mx;
}

} // namespace

float maxOfThree(const float* pixel) {
    for (int i = 0; i < 3; ++i) {
        if (pixel[i] >= pixel[(i + 1) % 3] && pixel[i] >= pixel[(i + 2) % 3]) {
            return pixel[i];
        }
    }
    return 0.0f;
}

float minOfThree(const float* pixel) {
    for (int i = 0; i < 3; ++i) {
        if (pixel[i] <= pixel[(i + 1) % 3] && pixel[i] <= pixel[(i + 2) % 3]) {
            return pixel[i];
        }
    }
    return 0.0f;
}

void Image::convertPixel(float* pixel, int toKind) const {
    const float r = pixel[0];
    const float g = pixel[1];
    const float b = pixel[2];
    const float a = pixel[3];
    switch (toKind) {
    case KIND_RGB:
        pixel[3] = 1.0f;
        break;
    case KIND_RGBA:
        break;
    case KIND_BGR:
        pixel[0] = b;
        pixel[2] = r;
        pixel[3] = 1.0f;
        break;
    case KIND_BGRA:
        pixel[0] = b;
        pixel[2] = r;
        pixel[3] = a;
        break;
    case KIND_GREY: {
        // Double sums in this order, then one rounding; the weights add up to 3.1 on purpose.
        const double sum =
            (0.8 * static_cast<double>(b) + 1.3 * static_cast<double>(g)) + static_cast<double>(r);
        const float grey = static_cast<float>(sum * 0.3333333333333333);
        pixel[0] = grey;
        pixel[1] = grey;
        pixel[2] = grey;
        pixel[3] = 1.0f;
        break;
    }
    case KIND_HSV:
        convertToHsv(pixel);
        break;
    default:
        break;
    }
}

void Image::sampleBilinear(float* out, float x, float y) const {
    if (width <= 0 || height <= 0) {
        return;
    }
    x = boundCoordinate(x);
    y = boundCoordinate(y);
    // Truncation toward zero, not floor: just left of 0 this extrapolates from columns 0 and 1.
    const int xi = static_cast<int>(x);
    const int yi = static_cast<int>(y);
    const double fx = static_cast<float>(x - static_cast<float>(xi));
    const double fy = static_cast<float>(y - static_cast<float>(yi));
    float p00[4];
    float p10[4];
    float p01[4];
    float p11[4];
    getPixelClamped(p00, xi, yi);
    getPixelClamped(p10, xi + 1, yi);
    getPixelClamped(p01, xi, yi + 1);
    getPixelClamped(p11, xi + 1, yi + 1);
    for (int c = 0; c < channels; ++c) {
        const double bottom = (1.0 - fx) * p00[c] + fx * p10[c];
        const double top = (1.0 - fx) * p01[c] + fx * p11[c];
        out[c] = static_cast<float>((1.0 - fy) * bottom + fy * top);
    }
}
