#include "gl_test.h"

void HeadlessGlTest::SetUp() {
    usePlatform(headless);
    static constexpr char kClassName[] = "HeadlessGlTest";
    WindowClass windowClass;
    windowClass.procedure = [](WindowHandle w, std::uint32_t m, std::uintptr_t wp,
                               std::intptr_t lp) { return platform().defWindowProc(w, m, wp, lp); };
    windowClass.className = kClassName;
    ASSERT_TRUE(headless.registerClass(windowClass));
    window = headless.createWindowEx(0, kClassName, "test", 0, 0, 0, kWidth, kHeight, nullptr);
    ASSERT_NE(window, nullptr);
    deviceContext = headless.getDC(window);
    PixelFormatDescriptor request;
    request.dwFlags = win32::PFD_DRAW_TO_WINDOW | win32::PFD_SUPPORT_OPENGL;
    const int format = headless.choosePixelFormat(deviceContext, request);
    ASSERT_TRUE(headless.setPixelFormat(deviceContext, format, request));
    renderingContext = headless.createContext(deviceContext);
    ASSERT_NE(renderingContext, nullptr);
    ASSERT_TRUE(headless.makeCurrent(deviceContext, renderingContext));
    headless.setFocus(window);
    glViewport(0, 0, kWidth, kHeight);
    useIdentityTransforms();
}

void HeadlessGlTest::TearDown() {
    headless.makeCurrent(nullptr, nullptr);
    headless.deleteContext(renderingContext);
    headless.releaseDC(window, deviceContext);
    headless.destroyWindow(window);
}

std::array<GLubyte, 4> HeadlessGlTest::pixelAt(int x, int y) const {
    std::array<GLubyte, 4> pixel{};
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel.data());
    return pixel;
}

void useIdentityTransforms() {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

std::vector<FeedbackPolygon> recordFeedback(const std::function<void()>& draw,
                                            std::size_t capacity) {
    std::vector<GLfloat> buffer(capacity);
    glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_4D_COLOR_TEXTURE, buffer.data());
    glRenderMode(GL_FEEDBACK);
    draw();
    const GLint used = glRenderMode(GL_RENDER);
    std::vector<FeedbackPolygon> polygons;
    if (used < 0) {
        ADD_FAILURE() << "feedback buffer overflow";
        return polygons;
    }
    constexpr std::size_t kVertexFloats = 12;
    std::size_t i = 0;
    const auto readVertex = [&] {
        FeedbackVertex vertex;
        std::copy_n(buffer.begin() + static_cast<std::ptrdiff_t>(i), kVertexFloats,
                    reinterpret_cast<float*>(&vertex));
        i += kVertexFloats;
        return vertex;
    };
    while (i < static_cast<std::size_t>(used)) {
        const auto token = static_cast<GLint>(buffer[i++]);
        if (token == GL_POLYGON_TOKEN) {
            const auto count = static_cast<std::size_t>(buffer[i++]);
            FeedbackPolygon polygon;
            for (std::size_t k = 0; k < count; ++k) {
                polygon.push_back(readVertex());
            }
            polygons.push_back(std::move(polygon));
        } else if (token == GL_POINT_TOKEN || token == GL_BITMAP_TOKEN ||
                   token == GL_DRAW_PIXEL_TOKEN || token == GL_COPY_PIXEL_TOKEN) {
            readVertex();
        } else if (token == GL_LINE_TOKEN || token == GL_LINE_RESET_TOKEN) {
            readVertex();
            readVertex();
        } else if (token == GL_PASS_THROUGH_TOKEN) {
            ++i;
        } else {
            ADD_FAILURE() << "unknown feedback token " << token;
            break;
        }
    }
    return polygons;
}
