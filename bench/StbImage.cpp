// The one compiled copy of stb_image, the reader that ours are measured against.
#define STB_IMAGE_IMPLEMENTATION
#include <stb/stb_image.h>
