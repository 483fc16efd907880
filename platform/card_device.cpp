// The 3D card over OpenGL 3.3 core through EGL with no window: a framebuffer object of RGBA8 colour
// and 24-bit depth, one small shader for pre-transformed vertices, read back into 16-bit surfaces.
// States, texture bindings and fans are queued and replayed together: the queue's corners go up in
// one vertex buffer, and each run of fans between two changes is drawn with one call.
#include "platform/card_device.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>
#define GL_GLEXT_PROTOTYPES 1
#include <GL/glcorearb.h>

#include <algorithm>
#include <bit>
#include <cstring>
#include <mutex>
#include <vector>

#include "platform/surface.h"

namespace {

constexpr int max_devices = 16;

const char* const vertex_shader = R"(#version 330 core
layout(location = 0) in vec4 position;
layout(location = 1) in vec4 diffuse;
layout(location = 2) in vec4 specular;
layout(location = 3) in vec2 texel;
uniform vec2 target_size;
out vec4 colour;
out float vertex_fog;
out float eye_depth;
smooth out vec2 texel_perspective;
noperspective out vec2 texel_linear;
void main() {
    // Screen pixels to clip space; w restores the eye depth so that interpolation is perspective correct.
    // Rows go up the framebuffer as they go down the screen: the edge rule then takes a polygon's top
    // row and leaves its bottom one, and the frame is read back top row first.
    float w = 1.0 / position.w;
    vec2 ndc = (position.xy + 0.5) / target_size * 2.0 - 1.0;
    gl_Position = vec4(ndc * w, (position.z * 2.0 - 1.0) * w, w);
    colour = diffuse;
    vertex_fog = specular.a;
    eye_depth = w;
    texel_perspective = texel;
    texel_linear = texel;
}
)";

const char* const fragment_shader = R"(#version 330 core
in vec4 colour;
in float vertex_fog;
in float eye_depth;
smooth in vec2 texel_perspective;
noperspective in vec2 texel_linear;
uniform sampler2D picture;
uniform int colour_mode;
uniform int perspective;
uniform int alpha_test;
uniform float alpha_reference;
uniform int table_fog;
uniform float fog_start;
uniform float fog_end;
uniform vec3 fog_colour;
out vec4 result;
void main() {
    vec2 at = perspective != 0 ? texel_perspective : texel_linear;
    vec4 c = vec4(colour.rgb, 1.0);
    if (colour_mode != 0) {
        vec4 s = texture(picture, at);
        c = colour_mode == 1 ? vec4(s.rgb * colour.rgb, s.a) : s;
    }
    if (alpha_test != 0 && c.a < alpha_reference) discard;
    float f = vertex_fog;
    if (table_fog != 0) f = clamp((fog_end - eye_depth) / max(fog_end - fog_start, 1e-6), 0.0, 1.0);
    result = vec4(mix(fog_colour, c.rgb, f), c.a);
}
)";

struct uniforms {
    GLint target_size, picture, colour_mode, perspective, alpha_test, alpha_reference, table_fog, fog_start,
        fog_end, fog_colour;
};

// One queued step: a state set, a texture bound or a fan of the queue's corners.
struct card_step {
    enum kind_t { state, texture, fan } kind;
    uint32_t a, b;  // state and value; texture; first corner and count
};

struct card {
    EGLDisplay display = EGL_NO_DISPLAY;
    EGLContext context = EGL_NO_CONTEXT;
    GLuint framebuffer = 0, colour_buffer = 0, depth_buffer = 0;
    GLuint program = 0, vertex_array = 0, vertex_buffer = 0;
    uniforms u{};
    int width = 0, height = 0;
    bool depth = false;
    uint32_t states[PLAT_CARD_STATE_COUNT]{};  // as queued
    bool states_sent[PLAT_CARD_STATE_COUNT]{};  // queued since the defaults
    uint32_t applied[PLAT_CARD_STATE_COUNT]{};  // as OpenGL has them
    uint32_t texture = 0;  // bound, as queued
    bool texture_sent = false;
    std::vector<card_step> steps;
    std::vector<plat_card_vertex> corners;
    std::vector<GLint> run_firsts;
    std::vector<GLsizei> run_counts;
    int current_depth = 0;  // acquire nesting on the owning thread
};

std::mutex probe_mutex;
card the_card;

PFNEGLQUERYDEVICESEXTPROC query_devices() {
    return reinterpret_cast<PFNEGLQUERYDEVICESEXTPROC>(eglGetProcAddress("eglQueryDevicesEXT"));
}

PFNEGLQUERYDEVICESTRINGEXTPROC query_device_string() {
    return reinterpret_cast<PFNEGLQUERYDEVICESTRINGEXTPROC>(eglGetProcAddress("eglQueryDeviceStringEXT"));
}

PFNEGLGETPLATFORMDISPLAYEXTPROC platform_display() {
    return reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(eglGetProcAddress("eglGetPlatformDisplayEXT"));
}

struct found_device {
    EGLDeviceEXT device;
    bool software;
};

std::vector<found_device> egl_devices() {
    std::vector<found_device> found;
    auto query = query_devices();
    auto strings = query_device_string();
    if (!query || !strings) return found;
    EGLDeviceEXT devices[max_devices];
    EGLint count = 0;
    if (!query(max_devices, devices, &count)) return found;
    for (EGLint i = 0; i < count; ++i) {
        const char* extensions = strings(devices[i], EGL_EXTENSIONS);
        found.push_back({devices[i], extensions && std::strstr(extensions, "EGL_MESA_device_software")});
    }
    std::stable_sort(found.begin(), found.end(),
                     [](const found_device& a, const found_device& b) { return !a.software && b.software; });
    return found;
}

// An 8888 configuration with depth that can make OpenGL contexts.
EGLConfig choose_config(EGLDisplay display) {
    const EGLint wanted[] = {EGL_RED_SIZE,        8,  EGL_GREEN_SIZE,      8,
                             EGL_BLUE_SIZE,       8,  EGL_ALPHA_SIZE,      8,
                             EGL_DEPTH_SIZE,      24, EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT,
                             EGL_SURFACE_TYPE,    EGL_PBUFFER_BIT, EGL_NONE};
    EGLConfig config = nullptr;
    EGLint count = 0;
    if (!eglChooseConfig(display, wanted, &config, 1, &count) || count < 1) return nullptr;
    return config;
}

// Display and core-profile context of a device; false leaves nothing behind.
bool start_context(EGLDeviceEXT device, EGLDisplay* display, EGLContext* context) {
    auto get_display = platform_display();
    if (!get_display) return false;
    EGLDisplay d = get_display(EGL_PLATFORM_DEVICE_EXT, device, nullptr);
    EGLint major = 0, minor = 0;
    if (d == EGL_NO_DISPLAY || !eglInitialize(d, &major, &minor)) return false;
    EGLConfig config = choose_config(d);
    const EGLint attributes[] = {EGL_CONTEXT_MAJOR_VERSION, 3, EGL_CONTEXT_MINOR_VERSION, 3,
                                 EGL_CONTEXT_OPENGL_PROFILE_MASK, EGL_CONTEXT_OPENGL_CORE_PROFILE_BIT, EGL_NONE};
    EGLContext c = EGL_NO_CONTEXT;
    if (config && eglBindAPI(EGL_OPENGL_API)) c = eglCreateContext(d, config, EGL_NO_CONTEXT, attributes);
    if (c == EGL_NO_CONTEXT) return false;
    *display = d;
    *context = c;
    return true;
}

// The display stays initialised for the process: terminating it unloads the driver, and with it
// what the driver keeps for its life.
void stop_context(EGLDisplay display, EGLContext context) {
    eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    eglDestroyContext(display, context);
}

std::vector<plat_card_device_info> probe() {
    std::vector<plat_card_device_info> list;
    for (const found_device& f : egl_devices()) {
        EGLDisplay display;
        EGLContext context;
        if (!start_context(f.device, &display, &context)) continue;
        if (eglBindAPI(EGL_OPENGL_API) && eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, context)) {
            const auto* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
            list.push_back({renderer ? renderer : "", f.software});
        }
        stop_context(display, context);
    }
    return list;
}

GLuint compile(GLenum kind, const char* source) {
    GLuint shader = glCreateShader(kind);
    glShaderSource(shader, 1, &source, nullptr);
    glCompileShader(shader);
    GLint ok = 0;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (!ok) {
        glDeleteShader(shader);
        return 0;
    }
    return shader;
}

bool build_program(card& c) {
    GLuint vertex = compile(GL_VERTEX_SHADER, vertex_shader);
    GLuint fragment = compile(GL_FRAGMENT_SHADER, fragment_shader);
    if (!vertex || !fragment) {
        glDeleteShader(vertex);
        glDeleteShader(fragment);
        return false;
    }
    c.program = glCreateProgram();
    glAttachShader(c.program, vertex);
    glAttachShader(c.program, fragment);
    glLinkProgram(c.program);
    glDeleteShader(vertex);
    glDeleteShader(fragment);
    GLint ok = 0;
    glGetProgramiv(c.program, GL_LINK_STATUS, &ok);
    if (!ok) return false;
    auto at = [&](const char* name) { return glGetUniformLocation(c.program, name); };
    c.u = {at("target_size"), at("picture"),   at("colour_mode"), at("perspective"), at("alpha_test"),
           at("alpha_reference"), at("table_fog"), at("fog_start"), at("fog_end"), at("fog_colour")};
    return true;
}

void build_vertex_layout(card& c) {
    glGenVertexArrays(1, &c.vertex_array);
    glBindVertexArray(c.vertex_array);
    glGenBuffers(1, &c.vertex_buffer);
    glBindBuffer(GL_ARRAY_BUFFER, c.vertex_buffer);
    const GLsizei stride = sizeof(plat_card_vertex);
    glEnableVertexAttribArray(0);
    glVertexAttribPointer(0, 4, GL_FLOAT, GL_FALSE, stride, reinterpret_cast<void*>(offsetof(plat_card_vertex, x)));
    // 0xAARRGGBB in memory is B, G, R, A: the BGRA size reads it in that order.
    glEnableVertexAttribArray(1);
    glVertexAttribPointer(1, GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE, stride,
                          reinterpret_cast<void*>(offsetof(plat_card_vertex, diffuse)));
    glEnableVertexAttribArray(2);
    glVertexAttribPointer(2, GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE, stride,
                          reinterpret_cast<void*>(offsetof(plat_card_vertex, specular)));
    glEnableVertexAttribArray(3);
    glVertexAttribPointer(3, 2, GL_FLOAT, GL_FALSE, stride, reinterpret_cast<void*>(offsetof(plat_card_vertex, tu)));
}

bool build_framebuffer(card& c) {
    glGenFramebuffers(1, &c.framebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, c.framebuffer);
    glGenRenderbuffers(1, &c.colour_buffer);
    glBindRenderbuffer(GL_RENDERBUFFER, c.colour_buffer);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, c.width, c.height);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, c.colour_buffer);
    if (c.depth) {
        glGenRenderbuffers(1, &c.depth_buffer);
        glBindRenderbuffer(GL_RENDERBUFFER, c.depth_buffer);
        glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, c.width, c.height);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, c.depth_buffer);
    }
    return glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
}

void apply_defaults(card& c) {
    glViewport(0, 0, c.width, c.height);
    glUseProgram(c.program);
    glUniform2f(c.u.target_size, static_cast<float>(c.width), static_cast<float>(c.height));
    glUniform1i(c.u.picture, 0);
    glUniform1i(c.u.colour_mode, 0);
    glUniform1i(c.u.perspective, 1);
    glUniform1i(c.u.alpha_test, 0);
    glUniform1f(c.u.alpha_reference, 0);
    glUniform1i(c.u.table_fog, 0);
    glUniform3f(c.u.fog_colour, 0, 0, 0);
    glDepthRange(0, 1);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
    glDisable(GL_CULL_FACE);
    // Corners come with depths of their own; nothing is cut at the near or far plane.
    glEnable(GL_DEPTH_CLAMP);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    std::fill(std::begin(c.states), std::end(c.states), 0u);
    c.states[PLAT_CARD_SRC_BLEND] = plat_card_value::blend_one;
    c.states[PLAT_CARD_DEST_BLEND] = plat_card_value::blend_zero;
    c.states[PLAT_CARD_Z_FUNC] = plat_card_value::compare_less_equal;
    c.states[PLAT_CARD_Z_WRITE_ENABLE] = 1;
    c.states[PLAT_CARD_TEXTURE_PERSPECTIVE] = 1;
    c.states[PLAT_CARD_COLOUR_OP] = plat_card_value::op_select_arg1;
    c.states[PLAT_CARD_COLOUR_ARG1] = plat_card_value::arg_diffuse;
    c.states[PLAT_CARD_MIN_FILTER] = c.states[PLAT_CARD_MAG_FILTER] = plat_card_value::filter_linear;
    std::copy(std::begin(c.states), std::end(c.states), std::begin(c.applied));
    std::fill(std::begin(c.states_sent), std::end(c.states_sent), false);
    c.texture_sent = false;
}

void free_objects(card& c) {
    glDeleteBuffers(1, &c.vertex_buffer);
    glDeleteVertexArrays(1, &c.vertex_array);
    glDeleteProgram(c.program);
    glDeleteRenderbuffers(1, &c.depth_buffer);
    glDeleteRenderbuffers(1, &c.colour_buffer);
    glDeleteFramebuffers(1, &c.framebuffer);
}

// Blend factors by their classic numbers; numbers outside the table act as ONE (source) and ZERO.
GLenum blend_factor(uint32_t value, GLenum otherwise) {
    switch (value) {
    case plat_card_value::blend_zero: return GL_ZERO;
    case plat_card_value::blend_one: return GL_ONE;
    case plat_card_value::blend_src_colour: return GL_SRC_COLOR;
    case plat_card_value::blend_inv_src_colour: return GL_ONE_MINUS_SRC_COLOR;
    case plat_card_value::blend_dest_colour: return GL_DST_COLOR;
    case plat_card_value::blend_inv_dest_colour: return GL_ONE_MINUS_DST_COLOR;
    default: return otherwise;
    }
}

GLenum compare_function(uint32_t value) {
    return value == plat_card_value::compare_less ? GL_LESS : GL_LEQUAL;
}

// 0 diffuse only, 1 texture times diffuse, 2 texture only.
int colour_mode(const card& c) {
    const uint32_t op = c.applied[PLAT_CARD_COLOUR_OP];
    if (op == plat_card_value::op_modulate) return 1;
    if (op == plat_card_value::op_select_arg1 && c.applied[PLAT_CARD_COLOUR_ARG1] == plat_card_value::arg_texture)
        return 2;
    return 0;
}

GLint filter(uint32_t value) { return value == plat_card_value::filter_point ? GL_NEAREST : GL_LINEAR; }

void apply_state(card& c, plat_card_state state) {
    const uint32_t* s = c.applied;
    switch (state) {
    case PLAT_CARD_ALPHA_BLEND_ENABLE:
        if (s[state]) glEnable(GL_BLEND);
        else glDisable(GL_BLEND);
        break;
    case PLAT_CARD_SRC_BLEND:
    case PLAT_CARD_DEST_BLEND:
        glBlendFunc(blend_factor(s[PLAT_CARD_SRC_BLEND], GL_ONE), blend_factor(s[PLAT_CARD_DEST_BLEND], GL_ZERO));
        break;
    case PLAT_CARD_ALPHA_REF: glUniform1f(c.u.alpha_reference, static_cast<float>(s[state] & 0xFF) / 255.0f); break;
    case PLAT_CARD_ALPHA_TEST_ENABLE: glUniform1i(c.u.alpha_test, s[state] ? 1 : 0); break;
    case PLAT_CARD_Z_ENABLE:
        if (s[state] && c.depth) glEnable(GL_DEPTH_TEST);
        else glDisable(GL_DEPTH_TEST);
        break;
    case PLAT_CARD_Z_WRITE_ENABLE: glDepthMask(s[state] ? GL_TRUE : GL_FALSE); break;
    case PLAT_CARD_Z_FUNC: glDepthFunc(compare_function(s[state])); break;
    case PLAT_CARD_TEXTURE_PERSPECTIVE: glUniform1i(c.u.perspective, s[state] ? 1 : 0); break;
    case PLAT_CARD_FOG_TABLE_MODE: glUniform1i(c.u.table_fog, s[state] == plat_card_value::fog_linear); break;
    case PLAT_CARD_FOG_TABLE_START: glUniform1f(c.u.fog_start, std::bit_cast<float>(s[state])); break;
    case PLAT_CARD_FOG_TABLE_END: glUniform1f(c.u.fog_end, std::bit_cast<float>(s[state])); break;
    case PLAT_CARD_FOG_COLOUR:
        glUniform3f(c.u.fog_colour, static_cast<float>(s[state] >> 16 & 0xFF) / 255.0f,
                    static_cast<float>(s[state] >> 8 & 0xFF) / 255.0f, static_cast<float>(s[state] & 0xFF) / 255.0f);
        break;
    case PLAT_CARD_COLOUR_OP:
    case PLAT_CARD_COLOUR_ARG1:
    case PLAT_CARD_COLOUR_ARG2: glUniform1i(c.u.colour_mode, colour_mode(c)); break;
    case PLAT_CARD_MIN_FILTER:
    case PLAT_CARD_MAG_FILTER: {
        GLint bound = 0;
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
        if (bound) {
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter(s[PLAT_CARD_MIN_FILTER]));
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter(s[PLAT_CARD_MAG_FILTER]));
        }
        break;
    }
    default: break;  // the alpha stage, mip filter and stage 1 need nothing more here
    }
}

void bind_texture(const card& c, uint32_t texture) {
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, texture);
    if (texture) {
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter(c.applied[PLAT_CARD_MIN_FILTER]));
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter(c.applied[PLAT_CARD_MAG_FILTER]));
    }
}

void draw_run(card& c) {
    if (c.run_firsts.empty()) return;
    glMultiDrawArrays(GL_TRIANGLE_FAN, c.run_firsts.data(), c.run_counts.data(),
                      static_cast<GLsizei>(c.run_firsts.size()));
    c.run_firsts.clear();
    c.run_counts.clear();
}

// Replays the queue on the current context: its corners in one upload, its fans by runs.
void flush(card& c) {
    if (c.steps.empty()) return;
    if (!c.corners.empty()) {
        glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(c.corners.size() * sizeof(plat_card_vertex)),
                     c.corners.data(), GL_STREAM_DRAW);
    }
    for (const card_step& step : c.steps) {
        if (step.kind == card_step::fan) {
            c.run_firsts.push_back(static_cast<GLint>(step.a));
            c.run_counts.push_back(static_cast<GLsizei>(step.b));
            continue;
        }
        draw_run(c);
        if (step.kind == card_step::texture) {
            bind_texture(c, step.a);
        } else {
            c.applied[step.a] = step.b;
            apply_state(c, static_cast<plat_card_state>(step.a));
        }
    }
    draw_run(c);
    c.steps.clear();
    c.corners.clear();
}

}  // namespace

std::vector<plat_card_device_info> plat_card_devices() {
    std::lock_guard<std::mutex> guard(probe_mutex);
    static bool probed = false;
    static std::vector<plat_card_device_info> devices;
    if (!probed) {
        devices = probe();
        probed = true;
    }
    return devices;
}

bool plat_card_open(int index, int width, int height, bool depth) {
    plat_card_close();
    if (width <= 0 || height <= 0 || index < 0) return false;
    const std::vector<found_device> found = egl_devices();
    if (index >= static_cast<int>(found.size())) return false;
    card& c = the_card;
    if (!start_context(found[index].device, &c.display, &c.context)) return false;
    c.width = width;
    c.height = height;
    c.depth = depth;
    bool ok = eglBindAPI(EGL_OPENGL_API) && eglMakeCurrent(c.display, EGL_NO_SURFACE, EGL_NO_SURFACE, c.context) && build_program(c);
    if (ok) {
        build_vertex_layout(c);
        ok = build_framebuffer(c);
    }
    if (ok) apply_defaults(c);
    eglMakeCurrent(c.display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    if (!ok) plat_card_close();
    return ok;
}

void plat_card_close() {
    card& c = the_card;
    if (c.context == EGL_NO_CONTEXT) return;
    if (eglBindAPI(EGL_OPENGL_API) && eglMakeCurrent(c.display, EGL_NO_SURFACE, EGL_NO_SURFACE, c.context))
        free_objects(c);
    stop_context(c.display, c.context);
    c = card{};
}

bool plat_card_is_open() { return the_card.context != EGL_NO_CONTEXT; }

bool plat_card_acquire() {
    card& c = the_card;
    if (c.context == EGL_NO_CONTEXT) return false;
    if (c.current_depth++ > 0) return true;
    // A thread's bound interface starts as OpenGL ES.
    if (!eglBindAPI(EGL_OPENGL_API) || !eglMakeCurrent(c.display, EGL_NO_SURFACE, EGL_NO_SURFACE, c.context)) {
        c.current_depth = 0;
        return false;
    }
    glBindFramebuffer(GL_FRAMEBUFFER, c.framebuffer);
    glBindVertexArray(c.vertex_array);
    glBindBuffer(GL_ARRAY_BUFFER, c.vertex_buffer);
    glUseProgram(c.program);
    return true;
}

void plat_card_release() {
    card& c = the_card;
    if (c.context == EGL_NO_CONTEXT || c.current_depth == 0 || --c.current_depth > 0) return;
    flush(c);
    glFlush();
    eglMakeCurrent(c.display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
}

plat_card_caps plat_card_read_caps() {
    plat_card_caps caps{};
    if (!plat_card_acquire()) return caps;
    auto text = [](GLenum name) {
        const auto* s = reinterpret_cast<const char*>(glGetString(name));
        return std::string(s ? s : "");
    };
    caps.vendor = text(GL_VENDOR);
    caps.renderer = text(GL_RENDERER);
    caps.version = text(GL_VERSION);
    GLint bits = 0;
    if (the_card.depth) {
        glGetFramebufferAttachmentParameteriv(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_FRAMEBUFFER_ATTACHMENT_DEPTH_SIZE,
                                              &bits);
    }
    caps.depth_bits = bits;
    GLint largest = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &largest);
    caps.min_texture = 1;
    caps.max_texture = largest;
    caps.dest_colour_blend = caps.table_fog = caps.vertex_fog = caps.alpha_textures = caps.linear_filter = true;
    GLint units = 0;
    glGetIntegerv(GL_MAX_TEXTURE_IMAGE_UNITS, &units);
    caps.multitexture = units >= 2;
    plat_card_release();
    return caps;
}

void plat_card_set_state(plat_card_state state, uint32_t value) {
    if (state < 0 || state >= PLAT_CARD_STATE_COUNT || !plat_card_acquire()) return;
    card& c = the_card;
    if (!c.states_sent[state] || c.states[state] != value) {
        c.states[state] = value;
        c.states_sent[state] = true;
        c.steps.push_back({card_step::state, static_cast<uint32_t>(state), value});
    }
    plat_card_release();
}

void plat_card_clear(uint32_t colour, bool with_depth, float depth) {
    if (!plat_card_acquire()) return;
    flush(the_card);
    glClearColor(static_cast<float>(colour >> 16 & 0xFF) / 255.0f, static_cast<float>(colour >> 8 & 0xFF) / 255.0f,
                 static_cast<float>(colour & 0xFF) / 255.0f, static_cast<float>(colour >> 24 & 0xFF) / 255.0f);
    GLbitfield mask = GL_COLOR_BUFFER_BIT;
    if (with_depth && the_card.depth) {
        glDepthMask(GL_TRUE);
        glClearDepth(depth);
        mask |= GL_DEPTH_BUFFER_BIT;
    }
    glClear(mask);
    glDepthMask(the_card.applied[PLAT_CARD_Z_WRITE_ENABLE] ? GL_TRUE : GL_FALSE);
    plat_card_release();
}

uint32_t plat_card_texture_create(int width, int height, const uint8_t* rgba) {
    if (width <= 0 || height <= 0 || !rgba || !plat_card_acquire()) return 0;
    flush(the_card);
    GLuint texture = 0;
    GLint previous = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &previous);
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter(the_card.applied[PLAT_CARD_MIN_FILTER]));
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter(the_card.applied[PLAT_CARD_MAG_FILTER]));
    if (glGetError() != GL_NO_ERROR) {
        glDeleteTextures(1, &texture);
        texture = 0;
    }
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(previous));
    plat_card_release();
    return texture;
}

void plat_card_texture_destroy(uint32_t texture) {
    if (!texture || !plat_card_acquire()) return;
    card& c = the_card;
    flush(c);
    glDeleteTextures(1, &texture);
    // Deleting the bound texture unbinds it, and its name may come back for another.
    if (c.texture == texture) c.texture_sent = false;
    plat_card_release();
}

void plat_card_set_texture(uint32_t texture) {
    if (!plat_card_acquire()) return;
    card& c = the_card;
    if (!c.texture_sent || c.texture != texture) {
        c.texture = texture;
        c.texture_sent = true;
        c.steps.push_back({card_step::texture, texture, 0});
    }
    plat_card_release();
}

void plat_card_draw_fan(const plat_card_vertex* vertices, int count) {
    if (!vertices || count < 3 || !plat_card_acquire()) return;
    card& c = the_card;
    c.steps.push_back({card_step::fan, static_cast<uint32_t>(c.corners.size()), static_cast<uint32_t>(count)});
    c.corners.insert(c.corners.end(), vertices, vertices + count);
    plat_card_release();
}

bool plat_card_read_back(plat_surface* surface) {
    card& c = the_card;
    if (!surface || !surface->bits || !plat_card_acquire()) return false;
    flush(c);
    std::vector<uint8_t> rgba(static_cast<size_t>(c.width) * c.height * 4);
    glReadPixels(0, 0, c.width, c.height, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    const int width = std::min(c.width, surface->width), height = std::min(c.height, surface->height);
    for (int y = 0; y < height; ++y) {
        const uint8_t* from = rgba.data() + static_cast<size_t>(y) * c.width * 4;
        uint16_t* to = surface->bits + static_cast<size_t>(y) * surface->pitch_pixels;
        for (int x = 0; x < width; ++x, from += 4) {
            to[x] = static_cast<uint16_t>((from[0] >> 3) << 11 | (from[1] >> 2) << 5 | from[2] >> 3);
        }
    }
    plat_card_release();
    return true;
}
