#include "platform/linux/FrameRateOverlay.h"

#include <GL/gl.h>

#include <cstdint>
#include <cstdio>

namespace {

// Each glyph is 5 columns by 7 rows, top row first, the left column in the high bit, drawn at
// twice its size so that it reads on a large screen.
constexpr int GLYPH_COLUMNS = 5;
constexpr int GLYPH_ROWS = 7;
constexpr int GLYPH_SCALE = 2;
// A glyph's advance: its width and one column between letters, so that the blank stands out.
constexpr int GLYPH_ADVANCE = (GLYPH_COLUMNS + 1) * GLYPH_SCALE;
// Distance of the text's base line from the corner, in pixels.
constexpr int FRAME_RATE_MARGIN = 8;

struct Glyph {
    char character;
    uint8_t rows[GLYPH_ROWS];
};

// Only what "%.1f fps" writes; any other character is left blank.
constexpr Glyph GLYPHS[] = {
    {'0', {0x0E, 0x11, 0x13, 0x15, 0x19, 0x11, 0x0E}},
    {'1', {0x04, 0x0C, 0x04, 0x04, 0x04, 0x04, 0x0E}},
    {'2', {0x0E, 0x11, 0x01, 0x02, 0x04, 0x08, 0x1F}},
    {'3', {0x1E, 0x01, 0x01, 0x0E, 0x01, 0x01, 0x1E}},
    {'4', {0x02, 0x06, 0x0A, 0x12, 0x1F, 0x02, 0x02}},
    {'5', {0x1F, 0x10, 0x1E, 0x01, 0x01, 0x11, 0x0E}},
    {'6', {0x06, 0x08, 0x10, 0x1E, 0x11, 0x11, 0x0E}},
    {'7', {0x1F, 0x01, 0x02, 0x04, 0x08, 0x08, 0x08}},
    {'8', {0x0E, 0x11, 0x11, 0x0E, 0x11, 0x11, 0x0E}},
    {'9', {0x0E, 0x11, 0x11, 0x0F, 0x01, 0x02, 0x0C}},
    {'.', {0x00, 0x00, 0x00, 0x00, 0x00, 0x0C, 0x0C}},
    {'f', {0x06, 0x09, 0x08, 0x1C, 0x08, 0x08, 0x08}},
    {'p', {0x00, 0x00, 0x1E, 0x11, 0x1E, 0x10, 0x10}},
    {'s', {0x00, 0x00, 0x0F, 0x10, 0x0E, 0x01, 0x1E}},
};

constexpr int BITMAP_WIDTH = GLYPH_COLUMNS * GLYPH_SCALE;
constexpr int BITMAP_HEIGHT = GLYPH_ROWS * GLYPH_SCALE;
constexpr int BITMAP_ROW_BYTES = (BITMAP_WIDTH + 7) / 8;

// The glyph of `character` enlarged, as glBitmap takes it: bottom row first, rows of whole bytes.
void enlarge(char character, GLubyte (&bitmap)[BITMAP_HEIGHT * BITMAP_ROW_BYTES]) {
    for (GLubyte& byte : bitmap) {
        byte = 0;
    }
    for (const Glyph& glyph : GLYPHS) {
        if (glyph.character != character) {
            continue;
        }
        for (int y = 0; y < BITMAP_HEIGHT; y++) {
            const uint8_t row = glyph.rows[GLYPH_ROWS - 1 - y / GLYPH_SCALE];
            for (int x = 0; x < BITMAP_WIDTH; x++) {
                if (row & (0x10 >> (x / GLYPH_SCALE))) {
                    bitmap[y * BITMAP_ROW_BYTES + x / 8] |= static_cast<GLubyte>(0x80 >> (x % 8));
                }
            }
        }
    }
}

void writeAt(int x, int y, const char* text) {
    glRasterPos2i(x, y);
    GLubyte bitmap[BITMAP_HEIGHT * BITMAP_ROW_BYTES];
    for (const char* c = text; *c; c++) {
        enlarge(*c, bitmap);
        glBitmap(BITMAP_WIDTH, BITMAP_HEIGHT, 0.0f, 0.0f, GLYPH_ADVANCE, 0.0f, bitmap);
    }
}

} // namespace

void drawFrameRate(float framesPerSecond) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f fps", static_cast<double>(framesPerSecond));

    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glDisable(GL_LIGHTING);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0.0, viewport[2], 0.0, viewport[3], -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    // A dark shadow keeps the white text readable over sky and ground alike.
    glColor3f(0.0f, 0.0f, 0.0f);
    writeAt(FRAME_RATE_MARGIN + 1, FRAME_RATE_MARGIN - 1, text);
    glColor3f(1.0f, 1.0f, 1.0f);
    writeAt(FRAME_RATE_MARGIN, FRAME_RATE_MARGIN, text);
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glPopClientAttrib();
    glPopAttrib();
}
