#include "platform/x11/FrameRateOverlay.h"

#include "platform/GlWindow.h"
#include "platform/Platform.h"

#include <GL/gl.h>
#include <GL/glx.h>
#include <X11/Xlib.h>

#include <cstdio>
#include <cstring>

namespace {

// The printable ASCII characters get a display list each.
constexpr int FRAME_RATE_FIRST_GLYPH = 32;
constexpr int FRAME_RATE_GLYPH_COUNT = 96;
// Distance of the text's base line from the corner, in pixels.
constexpr int FRAME_RATE_MARGIN = 8;
// The blank's bitmap: one unset pixel (rows padded to 4 bytes).
constexpr GLubyte FRAME_RATE_BLANK_PIXEL[4] = {};

// The glyph lists go with the GL context when the window is destroyed, like the texture.
void makeGlyphs(NativeWindowState& native) {
    native.frameRateFontTried = 1;
    XFontStruct* font = XLoadQueryFont(native.session.display, "fixed");
    if (!font) {
        return;
    }
    const GLuint lists = glGenLists(FRAME_RATE_GLYPH_COUNT);
    if (lists) {
        glXUseXFont(font->fid, FRAME_RATE_FIRST_GLYPH, FRAME_RATE_GLYPH_COUNT,
                    static_cast<int>(lists));
        // Mesa compiles the blank's empty bitmap without its advance, which would run the words
        // together; a bitmap of one unset pixel keeps it.
        glNewList(lists + (' ' - FRAME_RATE_FIRST_GLYPH), GL_COMPILE);
        glBitmap(1, 1, 0.0f, 0.0f, static_cast<GLfloat>(font->max_bounds.width), 0.0f,
                 FRAME_RATE_BLANK_PIXEL);
        glEndList();
        native.frameRateGlyphs = lists;
    }
    XFreeFont(native.session.display, font);
}

void writeAt(int x, int y, const char* text) {
    glRasterPos2i(x, y);
    glCallLists(static_cast<GLsizei>(std::strlen(text)), GL_UNSIGNED_BYTE, text);
}

} // namespace

void drawFrameRate(GlWindow& window) {
    NativeWindowState& native = window.native;
    native.frameRate.frameShown(clockMilliseconds());
    if (!native.frameRateFontTried) {
        makeGlyphs(native);
    }
    if (!native.frameRateGlyphs) {
        return;
    }
    char text[32];
    std::snprintf(text, sizeof text, "%.1f fps",
                  static_cast<double>(native.frameRate.framesPerSecond));

    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    glPushAttrib(GL_ALL_ATTRIB_BITS);
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
    glListBase(native.frameRateGlyphs - FRAME_RATE_FIRST_GLYPH);
    // A dark shadow keeps the white text readable over sky and ground alike.
    glColor3f(0.0f, 0.0f, 0.0f);
    writeAt(FRAME_RATE_MARGIN + 1, FRAME_RATE_MARGIN - 1, text);
    glColor3f(1.0f, 1.0f, 1.0f);
    writeAt(FRAME_RATE_MARGIN, FRAME_RATE_MARGIN, text);
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glPopAttrib();
}
